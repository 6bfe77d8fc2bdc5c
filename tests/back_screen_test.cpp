// The back-screen choice, played through headless games: how colours are named, the choice lines
// and their reports, the hover picture and sound, the click, and how it looks.
#include "choice/back_screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "golden.h"
#include "platform/sjis.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A back-screen choice over "back" with the given choice lines; label K runs "//K".
std::string BackScreenScenario(const std::vector<std::string>& choices,
                               std::string_view command = "＃選択裏画面") {
  std::string source = std::string(command) + "\nback\n";
  for (const std::string& choice : choices) source += choice + "\n";
  source += "\n＃0\n//0\n";
  for (std::size_t k = 1; k <= choices.size(); ++k) {
    source += "＃" + std::to_string(k) + "\n//" + std::to_string(k) + "\n";
  }
  return source + "＃＃＃＃\n＃終了\n";
}

// The back screen "back": left half red, right half blue, a black band along the bottom; the
// sound "bell": a wave of 80 silent 8-bit samples.
void WriteBackScreen(TestGame& game) {
  game.UseFakeText();
  game.WriteFile("back.sb1", Picture24(640, 480, [](int x, int y) {
                               return y >= 440 ? kBlack : x < 320 ? kRed : kBlue;
                             }).Text());
  Bytes wave;
  auto text = [&wave](std::string_view s) { wave.insert(wave.end(), s.begin(), s.end()); };
  text("RIFF");
  PutU32(wave, 36 + 80);
  text("WAVEfmt ");
  PutU32(wave, 16);
  PutU16(wave, 1);     // PCM
  PutU16(wave, 1);     // mono
  PutU32(wave, 8000);  // samples and bytes per second
  PutU32(wave, 8000);
  PutU16(wave, 1);
  PutU16(wave, 8);
  text("data");
  PutU32(wave, 80);
  wave.insert(wave.end(), 80, 0x80);
  game.WriteFile("bell.sw1", std::string(wave.begin(), wave.end()));
}

TEST(BackScreen, ColoursAreNamedByTheGradesOfTheirComponentsAsReadBack) {
  const std::pair<Rgb, const char*> graded[] = {
      {{0, 0, 128}, "暗い青"},     {{171, 86, 0}, "オレンジ"},         {{171, 85, 0}, "赤"},
      {{170, 170, 170}, "グレー"}, {{171, 86, 171}, "明るいマゼンタ"}, {{0, 171, 86}, "青緑"},
  };
  for (const auto& [c, name] : graded) {
    EXPECT_EQ(SjisToUtf8(ColorName(c.red, c.green, c.blue)), name);
  }

  // The screen keeps 5-6-5 pixels and the grades apply to what is read back: 128 comes back as
  // 131, green 86 as 85, red and blue 170 and 171 as 172.
  const std::pair<Rgb, const char*> read_back[] = {{{0, 0, 131}, "暗い青"},
                                                   {{172, 85, 0}, "赤"},
                                                   {{172, 85, 0}, "赤"},
                                                   {{172, 170, 172}, "明るいマゼンタ"}};
  TestGame game;
  game.UseFakeText();
  game.WriteFile("back.sb1", Picture24(640, 480, [&](int x, int) {
                               return graded[std::min(x / 100, 3)].first;
                             }).Text());
  EXPECT_EQ(game.Play(BackScreenScenario({"白"})), 0);
  for (int stripe = 0; stripe < 4; ++stripe) {
    ReadPixelColor(game.engine(), game.engine().screen.work_surface, stripe * 100 + 50, 10);
    const EngineState& s = game.state();
    EXPECT_EQ((Rgb{s.picked_red, s.picked_green, s.picked_blue}), read_back[stripe].first);
    EXPECT_EQ(SjisToUtf8(ColorName(s.picked_red, s.picked_green, s.picked_blue)),
              read_back[stripe].second);
  }
}

TEST(BackScreen, ChoiceLinesAndTheirReports) {
  const std::vector<std::string> all = {
      "オレンジ", "黄緑",     "青緑",       "マリン",       "青紫",         "赤紫",   "明るい赤",
      "明るい緑", "明るい青", "明るい黄",   "明るいシアン", "明るいマゼン", "暗い赤", "暗い緑",
      "暗い青",   "暗い黄",   "暗いシアン", "暗いマゼン",   "赤",           "緑",     "青",
      "黄",       "シアン",   "マゼン",     "黒",           "白",           "グレ"};
  std::vector<std::string> too_many = all;
  too_many.push_back("赤");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {all, ""},  // "赤紫" is not "赤": longer names are tried first
      {too_many, "選択肢（裏画面）は２７色までです\t"},
      {{"明るいマゼンタ", "明るいマゼンダ"}, "同じ色を指定しています\t明るいマゼンタ"},
      {{"紫"}, "＃裏画面選択の色指定が違います\t紫"},
      {{"赤＃音（bell"}, "＃選択裏画面時の「音」は ＃音（ ）＃ で囲んでください\t赤＃音（bell"},
      {{"赤＃絵（back"}, "＃選択裏画面時の「絵」は ＃音（ ）＃ で囲んでください\t赤＃絵（back"},
      {{"赤＃絵（back）＃", "青＃音（none）＃"}, "＃選択裏画面の音ファイルがありません\tnone"},
      {{"赤＃絵（none）＃＃音（bell）＃"}, "＃選択裏画面の絵のファイルがありません\tnone"},
      {{}, "＃選択裏画面の\t「色」が指定されていません"},
  };
  for (const auto& [lines, report] : cases) {
    SCOPED_TRACE(report);
    TestGame game;
    WriteBackScreen(game);
    EXPECT_EQ(game.Play(BackScreenScenario(lines)), 0);
    std::vector<std::string> reports;
    for (const std::string& e : game.Errors()) reports.push_back(e.substr(e.find('\t') + 1));
    EXPECT_EQ(reports, report.empty() ? std::vector<std::string>{} : std::vector{report});
    EXPECT_EQ(game.state().back_screen_choice_active, report.empty() ? 1 : 0);
  }
  TestGame game;
  EXPECT_EQ(game.Play("＃選択裏画面\n\n赤\n＃＃＃＃\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃選択裏画面の\t「裏画面」が指定されていません"));
  EXPECT_EQ(game.Play("＃選択裏画面\nback\n赤\n\n＃＃＃＃\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃選択裏画面の「裏画面」ファイル名が違います\tback"));
}

TEST(BackScreen, TheHoverPictureAndSoundFollowTheMouseAndAClickChooses) {
  TestGame game;
  WriteBackScreen(game);
  game.WriteFile("hover.sb1", Picture24(640, 480, [](int x, int y) {
                                return x < 100 && y < 100 ? kGreen : kWhite;
                              }).Text());
  const std::string scenario = BackScreenScenario({"赤＃絵（hover）＃＃音（bell）＃", "青"});
  // Within the red region the sound plays once; the black band is no choice and hides the
  // picture; coming back plays it again; blue has no sound of its own and beeps.
  EXPECT_EQ(game.Play(scenario, "settle\nmove 10 10\nmove 200 300\n" + game.TakeShot("over.png") +
                                    "move 10 470\n" + game.TakeShot("off.png") +
                                    "move 10 10\nmove 400 10\nclick 10 470\n"),
            0);
  const std::vector<std::string> trace = game.Trace();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "audio\tloop\tplay\tbell.sw1"), 2);
  EXPECT_EQ(game.backend().display.beeps(), 1);
  ExpectPixels(game.Shot("over.png"), {{50, 50, kGreen565}, {150, 50, kBlack565}});
  ExpectPixels(game.Shot("off.png"), {{50, 50, kBlack565}});
  // The click on the black band chose nothing.
  EXPECT_EQ(game.state().back_screen_choice_active, 1);
  EXPECT_THAT(game.RunTexts("//"), IsEmpty());

  for (const auto& [click, label] : {std::pair{"click 300 100", "//1"}, {"click 600 400", "//2"}}) {
    EXPECT_EQ(game.Play(scenario, click), 0);
    EXPECT_THAT(game.RunTexts("//"), ElementsAre(label));
  }
  // A time limit runs out to "＃0" as a menu's does.
  EXPECT_EQ(game.Play(BackScreenScenario({"赤"}, "＃選択裏画面＃時間（50）＃")), 0);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//0"));
}

TEST(GoldenFrame, ABackScreenChoiceWithItsHoverPicture) {
  TestGame game;
  // A sky over a meadow with two houses; the back screen paints the doors, which the hover
  // picture lights in yellow (the rest of it is the mask colour).
  auto door = [](int x, int y, int left) {
    return y >= 280 && y < 360 && x >= left && x < left + 60;
  };
  game.WriteFile("scene.sb1", Picture24(640, 480, [](int x, int y) {
                                const bool house = (x >= 100 && x < 260) || (x >= 380 && x < 540);
                                if (house && y >= 200 && y < 360) return Rgb{150, 90, 60};
                                return y < 240 ? Rgb{120, 170, 230} : Rgb{90, 160, 70};
                              }).Text());
  game.WriteFile("back.sb1", Picture24(640, 480, [&](int x, int y) {
                               return door(x, y, 150) ? kRed : door(x, y, 430) ? kBlue : kBlack;
                             }).Text());
  game.WriteFile("lit.sb1", Picture24(640, 480, [&](int x, int y) {
                              return door(x, y, 150) ? Rgb{250, 220, 80} : kWhite;
                            }).Text());
  EXPECT_EQ(game.Play("＃絵\nscene\n" + BackScreenScenario({"赤＃絵（lit）＃", "青"}),
                      "settle\nmove 180 320\n" + game.TakeShot("lit.png")),
            0);
  ExpectFrame(game.Shot("lit.png"), "back_screen_hover", 0xE515A889);
}

}  // namespace
}  // namespace tumu
