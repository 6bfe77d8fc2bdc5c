// What a player or an author sees when a run goes wrong: exit statuses, files that cannot be
// written, the terminal of a game that loops, the reasons given for unreadable pictures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/log.h"
#include "engine/pack_command.h"
#include "picture/bitmap_decoder.h"
#include "platform/sjis.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using testing::Repeat;
using testing::Sjis;
using testing::TestGame;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string ReadAll(std::FILE* f) {
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

TEST(ExitStatus, OutputsThatCannotBeWrittenFailTheRun) {
  struct Case {
    const char* what;
    std::function<void(TestGame&)> ask;
    std::string script;
  };
  const Case cases[] = {
      {"--dump-vars", [](TestGame& g) { g.options.dump_vars = g.Path("no/such/vars.txt"); }, ""},
      {"--screenshot", [](TestGame& g) { g.options.screenshot = g.Path("no/such/shot.png"); }, ""},
      {"a screenshot of the script", [](TestGame&) {}, "settle\nscreenshot /nonexistent/x.png\n"
                                                      "click 1 1\n"},
      {"--shots", [](TestGame& g) { g.headless.shots_dir = g.Path("no/such"); }, ""},
      {"--shots on a file", [](TestGame& g) {
         g.WriteFile("file", "");
         g.headless.shots_dir = g.Path("file");
       }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestGame game;
    c.ask(game);
    // The game waits once, so that a frame exists, and then ends by itself.
    EXPECT_EQ(game.Play("＃クリック待ち\n＃終了\n", c.script.empty() ? "click 1 1\n" : c.script), 1);
    EXPECT_FALSE(std::filesystem::exists(game.Path("no"))) << "no folder above the last one";
  }

  // The same outputs where they can be written: status 0, and --shots makes its last folder.
  TestGame game;
  game.options.dump_vars = game.Path("vars.txt");
  game.options.screenshot = game.Path("shot.png");
  game.headless.shots_dir = game.Path("shots");
  EXPECT_EQ(game.Play("＃変数宣言\n点\n\n＃クリック待ち\n＃終了\n", "click 1 1\n"), 0);
  EXPECT_EQ(game.ReadFile("vars.txt"), "num\t点\t0\n");
  EXPECT_TRUE(std::filesystem::exists(game.Path("shot.png")));
  EXPECT_TRUE(std::filesystem::exists(game.Path("shots/shot-0001.png")));
}

TEST(ExitStatus, AMissingGameFolderIsNamedAsSuch) {
  for (bool as_file : {false, true}) {
    TestGame game;
    const std::string folder = game.Path("game");
    if (as_file) game.WriteFile("game", "");
    game.options.game_dir = folder;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(game.Run(), 1);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, HasSubstr("the game folder " + folder +
                                (as_file ? " is not a folder" : " does not exist")));
    EXPECT_TRUE(game.backend().message_boxes.shown.empty()) << "not a missing start scenario";
  }
}

TEST(Log, ARepeatedMessageIsPrintedOnceWithItsCount) {
  std::FILE* terminal = std::tmpfile();
  ASSERT_NE(terminal, nullptr);
  {
    EngineLog log(/*verbose=*/false, /*headless=*/true, terminal);
    for (int i = 0; i < 50; ++i) {
      log.Error("error: 3 start.st1: 同じ");
      log.Error("error: 4 start.st1: もう一つ");
    }
    log.Info("not shown without --verbose");
    log.Error("once");
  }
  EXPECT_EQ(ReadAll(terminal),
            "tumu: error: 3 start.st1: 同じ\n"
            "tumu: error: 4 start.st1: もう一つ\n"
            "tumu: once\n"
            "tumu: error: 3 start.st1: 同じ (49 more times)\n"
            "tumu: error: 4 start.st1: もう一つ (49 more times)\n");
  std::fclose(terminal);
}

TEST(Log, AGameThatLoopsOnAnErrorKeepsEveryReportInTheTrace) {
  TestGame game;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(game.Play("＃ラベル\n上\n地の文\n＃GO\n上\n", Repeat("click 1 1\n", 20)), 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(game.Errors().size(), 21u);
  const std::string report = "error: 3 start.st1: シナリオ上のミスです。\t地の文";
  EXPECT_EQ(said, "tumu: " + report + "\ntumu: " + report + " (20 more times)\n");
}

TEST(Pack, WarnsWhenTheScenarioToScrambleLooksLikeUtf8) {
  struct Case {
    std::string text;
    bool utf8;
  };
  const Case cases[] = {
      {"＃終了\n", true},
      {Sjis("＃終了\n"), false},
      {"plain ASCII\n", false},
      {"\xE3\x81", false},         // cut short
      {"\xC0\xAF", false},         // an overlong form
      {"\xE3\x81\x82\x81", false}, // a stray follow byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LooksLikeUtf8({reinterpret_cast<const std::uint8_t*>(c.text.data()), c.text.size()}),
              c.utf8)
        << c.text;
  }
  TestGame game;
  game.WriteFile("utf8.txt", "＃終了\n");
  game.WriteFile("sjis.txt", Sjis("＃終了\n"));
  for (const char* name : {"utf8.txt", "sjis.txt"}) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunPackCommand({"scramble", game.Path(name), game.Path("out.st1")}), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("looks like UTF-8") != std::string::npos, name == std::string("utf8.txt"))
        << said;
  }
}

TEST(DumpScenario, AFileThatCannotBeOpenedIsReportedWithItsName) {
  for (bool save_dir_is_file : {false, true}) {
    TestGame game;
    if (save_dir_is_file) {
      game.WriteFile("saves", "");
      game.options.save_dir = game.Path("saves");
    } else {
      std::filesystem::create_directory(game.Path("debug1.txt"));
    }
    EXPECT_EQ(game.Play("＃鳴砂テスト\n＃終了\n", "click 1 1\n"), 0);
    EXPECT_THAT(game.Errors(), ElementsAre("1\tファイルのオープンに失敗しました\tdebug1.txt"));
  }
}

TEST(Pictures, VerboseRunsSayWhyAPictureCannotBeRead) {
  auto picture = [](auto change) {
    testing::BitmapFile file;
    file.width = 2;
    file.height = 2;
    file.bits = 24;
    file.pixels = testing::Bytes(16, 0);
    change(file);
    return file.Build();
  };
  auto cut = [](testing::Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
  };
  const testing::Bytes whole = picture([](testing::BitmapFile&) {});
  struct Case {
    testing::Bytes file;
    const char* why;
  };
  const Case cases[] = {
      {testing::Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       "not a bitmap"},
      {cut(whole, 16), "truncated: too short for a bitmap"},
      {cut(whole, 40), "truncated: the pixels lie past the end"},
      {picture([](testing::BitmapFile& f) { f.width = 40000; }), "too large"},
      {picture([](testing::BitmapFile& f) { f.bits = 7; }), "unsupported depth"},
      {picture([](testing::BitmapFile& f) { f.compression = 4; }), "unsupported compression"},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(DecodePackagedPicture(c.file, PixelFormat{}, &why));
    EXPECT_EQ(why, c.why);
  }
  EXPECT_TRUE(DecodePackagedPicture(whole, PixelFormat{}));

  TestGame game;
  game.options.verbose = true;
  game.WriteFile("e.sb1", "GIF89a" + std::string(40, ' '));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(game.Play("＃絵\ne\n＃終了\n", "click 1 1\n"), 0);
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              HasSubstr("picture unreadable: e.sb1 (not a bitmap)"));
}

}  // namespace
}  // namespace tumu
