#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/options.h"
#include "platform/headless/script.h"
#include "test_game.h"

namespace tumu {
namespace {

CommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CommandLine, ReadsEveryOption) {
  const CommandLine c = Parse({"--window", "--scale", "2", "--font", "f.ttf", "--soundfont", "s.sf2",
                               "--cd-dir", "cd", "--save-dir", "sv", "--headless", "--script", "in.txt",
                               "--seed", "4294967295", "--trace", "t", "--dump-vars", "v",
                               "--screenshot", "p.png", "--max-ms", "5", "--shots", "dir", "--verbose",
                               "game"});
  ASSERT_EQ(c.action, CommandLine::Action::kRun) << c.error;
  const Options& o = c.options;
  EXPECT_EQ(o.window_mode, 1);
  EXPECT_EQ(o.scale, 2);
  EXPECT_EQ(o.font, "f.ttf");
  EXPECT_EQ(o.soundfont, "s.sf2");
  EXPECT_EQ(o.cd_dir, "cd");
  EXPECT_EQ(o.save_dir, "sv");
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.script, "in.txt");
  EXPECT_EQ(o.seed, 4294967295u);
  EXPECT_EQ(o.trace, "t");
  EXPECT_EQ(o.dump_vars, "v");
  EXPECT_EQ(o.screenshot, "p.png");
  EXPECT_EQ(o.max_ms, 5u);
  EXPECT_EQ(o.shots_dir, "dir");
  EXPECT_TRUE(o.verbose);
  EXPECT_EQ(o.game_dir, "game");
  EXPECT_EQ(Parse({"--fullscreen"}).options.window_mode, 0);
  EXPECT_EQ(Parse({}).options.game_dir, ".");
  EXPECT_EQ(Parse({"--help"}).action, CommandLine::Action::kHelp);
  EXPECT_EQ(Parse({"--version"}).action, CommandLine::Action::kVersion);
  EXPECT_EQ(Parse({"pack", "scramble", "a", "b"}).action, CommandLine::Action::kPack);
}

TEST(CommandLine, ReadsTheDisplayAndVolumeOptions) {
  const CommandLine c = Parse({"--scale-mode", "pixel", "--music-volume", "0", "--sound-volume",
                               "100", "--scale-mode", "smooth"});
  ASSERT_EQ(c.action, CommandLine::Action::kRun) << c.error;
  EXPECT_EQ(c.options.scale_mode, ScaleMode::kSmooth) << "the last one given wins";
  EXPECT_EQ(c.options.music_volume, 0);
  EXPECT_EQ(c.options.sound_volume, 100);
  EXPECT_EQ(Parse({}).options.scale_mode, ScaleMode::kFit);
  EXPECT_EQ(Parse({}).options.music_volume, 100);
  EXPECT_EQ(Parse({"--scale-mode", "fit"}).options.scale_mode, ScaleMode::kFit);
  const CommandLine check = Parse({"--check-display", "--verbose"});
  EXPECT_EQ(check.action, CommandLine::Action::kCheckDisplay);
  EXPECT_TRUE(check.options.verbose);
  for (const char* bad : {"101", "-1", "half", ""}) {
    EXPECT_EQ(Parse({"--music-volume", bad}).action, CommandLine::Action::kError) << bad;
    EXPECT_EQ(Parse({"--sound-volume", bad}).action, CommandLine::Action::kError) << bad;
  }
  EXPECT_EQ(Parse({"--sound-volume"}).action, CommandLine::Action::kError);
}

TEST(CommandLine, RefusesBadOptions) {
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"--scale"}, {"--scale", "0"}, {"--scale", "x"}, {"--seed", "-1"},
           {"--seed", "4294967296"}, {"--max-ms", "1e3"}, {"--font"}, {"a", "b"},
           {"--script", "s"}, {"--headless", "--auto", "--script", "s"}, {"pack", "zip", "a", "b"},
           {"pack", "scramble", "a"}, {"--scale-mode", "Pixel"}, {"--scale-mode"},
           {"--music-volume", "101"}, {"--sound-volume", "-1"}, {"--sound-volume"}}) {
    const CommandLine c = Parse(bad);
    EXPECT_EQ(c.action, CommandLine::Action::kError) << bad[0];
    EXPECT_FALSE(c.error.empty());
  }
}

TEST(Script, ReadsEveryLineKindAndNamesTheFirstMalformedLine) {
  const ParsedScript s = ParseScript(
      "# a comment\n\nclick 1 2\n  rclick 639 479 # trailing\nmove 0 0\nkey space\nkey escape\n"
      "key enter\ntype 山田 #1\r\nsettle\nwait 250\nscreenshot out dir/a.png\n");
  ASSERT_TRUE(s.ok) << s.error;
  ASSERT_EQ(s.events.size(), 10u);
  EXPECT_EQ(s.events[0].kind, ScriptEvent::Kind::kClick);
  EXPECT_EQ(s.events[0].line, 3);
  EXPECT_EQ(s.events[1].kind, ScriptEvent::Kind::kRightClick);
  EXPECT_EQ(s.events[1].x, 639);
  EXPECT_EQ(s.events[3].key, Key::kSpace);
  EXPECT_EQ(s.events[5].key, Key::kEnter);
  EXPECT_EQ(s.events[6].kind, ScriptEvent::Kind::kType);
  EXPECT_EQ(s.events[6].text, "山田 #1") << "typed text runs to the end of the line";
  EXPECT_EQ(s.events[8].ms, 250u);
  EXPECT_EQ(s.events[9].text, "out dir/a.png");

  // Names the first malformed line.
  const char* bad[] = {"click 1", "click 640 0", "click 0 480", "click -1 0", "move a b",
                       "key tab", "key", "wait", "wait -5", "settle now", "screenshot",
                       "dance 1 2", "click 1 2 3"};
  for (const char* line : bad) {
    const ParsedScript s = ParseScript(std::string("settle\n\n") + line + "\nclick 1 1\n");
    EXPECT_FALSE(s.ok) << line;
    EXPECT_EQ(s.error_line, 3) << line;
  }
}

TEST(StartUp, AWindowOnADesktopThatIsNot16BitsIsRefusedWithItsDepth) {
  testing::TestGame game;
  game.WriteScenario("start.st1", "＃終了\n");
  game.WriteFile("tumu.ini", testing::Sjis("＃ウインドウ\n"));
  game.headless.desktop_depth = 32;
  EXPECT_EQ(game.Run(), 1);
  ASSERT_EQ(game.backend().message_boxes.shown.size(), 1u);
  EXPECT_THAT(game.backend().message_boxes.shown[0],
              ::testing::HasSubstr("現在の画面は 32ビットです\nこのゲームは１６ビットカラーでお楽しみください"));
}

}  // namespace
}  // namespace tumu
