#include "engine/settings.h"

#include <gtest/gtest.h>

#include "engine/options.h"

namespace tumu {
namespace {

using Args = std::vector<std::string>;

TEST(Settings, EveryKeyBecomesItsOptionAndTheCommandLineWins) {
  const Settings s = ParseSettings(
      "\xEF\xBB\xBF# my settings\r\n"
      "scale = 3\r\n"
      "\n"
      "  scale-mode=smooth  \n"
      "fullscreen = Yes\n"
      "font = ~/fonts/a b.ttf\n"
      "soundfont = /usr/share/sounds/sf2/x.sf2\n"
      "cd-dir = music=here\n"
      "music-volume = 40\n"
      "sound-volume = 0",
      "/home/me");
  EXPECT_TRUE(s.problems.empty());
  EXPECT_EQ(s.args, (Args{"--scale", "3", "--scale-mode", "smooth", "--fullscreen", "--font",
                          "/home/me/fonts/a b.ttf", "--soundfont",
                          "/usr/share/sounds/sf2/x.sf2", "--cd-dir", "music=here",
                          "--music-volume", "40", "--sound-volume", "0"}));

  Args args = s.args;
  for (const char* arg : {"--scale", "1", "--window", "game"}) args.emplace_back(arg);
  const CommandLine c = ParseCommandLine(args);
  ASSERT_EQ(c.action, CommandLine::Action::kRun) << c.error;
  EXPECT_EQ(c.options.scale, 1);
  EXPECT_EQ(c.options.window_mode, 1);
  EXPECT_EQ(c.options.scale_mode, ScaleMode::kSmooth);
  EXPECT_EQ(c.options.font, "/home/me/fonts/a b.ttf");
  EXPECT_EQ(c.options.cd_dir, "music=here");
  EXPECT_EQ(c.options.music_volume, 40);
  EXPECT_EQ(c.options.sound_volume, 0);
  EXPECT_EQ(c.options.game_dir, "game");
}

TEST(Settings, ABadLineIsToldWithItsNumberAndTheOthersStillCount) {
  const Settings s = ParseSettings(
      "scale = 2\n"
      "scale 3\n"
      "zoom = 2\n"
      "scale-mode = stretch\n"
      "music-volume = 101\n"
      "fullscreen = maybe\n"
      "font =\n"
      "# scale = 9\n"
      "sound-volume = 50\n"
      "scale = 0\n",
      "");
  EXPECT_EQ(s.args, (Args{"--scale", "2", "--sound-volume", "50"}));
  ASSERT_EQ(s.problems.size(), 7u);
  const int lines[] = {2, 3, 4, 5, 6, 7, 10};
  for (std::size_t i = 0; i < s.problems.size(); ++i) {
    EXPECT_EQ(s.problems[i].line, lines[i]) << s.problems[i].message;
  }
  EXPECT_EQ(s.problems[1].message, "unknown setting \"zoom\"");
  EXPECT_NE(s.problems[2].message.find("pixel, fit or smooth"), std::string::npos);
  EXPECT_NE(s.problems[3].message.find("0 to 100"), std::string::npos);
}

TEST(Settings, AreFoundInTheConfigFolder) {
  EXPECT_EQ(SettingsPath("/cfg", "/home/me"), "/cfg/tumu/tumu.conf");
  // Unset or relative: the default under the home folder.
  EXPECT_EQ(SettingsPath("cfg", "/home/me"), "/home/me/.config/tumu/tumu.conf");
  EXPECT_EQ(SettingsPath(nullptr, nullptr), "");
}

}  // namespace
}  // namespace tumu
