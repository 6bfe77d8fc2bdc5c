// The back-screen choice, played through headless games: how colours are named, the choice lines
// and their reports, the hover picture and sound, the click, and how it looks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "choice/back_screen.h"
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

// Left half red, right half blue, a black band along the bottom.
Rgb RedBlueBlack(int x, int y) {
  if (y >= 440) return kBlack;
  return x < 320 ? kRed : kBlue;
}

TEST(BackScreen, ColoursAreNamedByTheGradesOfTheirComponents) {
  struct Named {
    Rgb colour;
    const char* name;
  };
  const Named graded[] = {
      {{0, 0, 128}, "暗い青"},   {{128, 128, 128}, "グレー"},     {{171, 86, 0}, "オレンジ"},
      {{171, 85, 0}, "赤"},      {{170, 170, 170}, "グレー"},     {{255, 255, 255}, "白"},
      {{0, 0, 0}, "黒"},         {{86, 0, 171}, "青紫"},          {{171, 86, 171}, "明るいマゼンタ"},
      {{0, 171, 86}, "青緑"},    {{85, 170, 255}, "マリン"},      {{86, 86, 0}, "暗い黄"},
  };
  for (const Named& n : graded) {
    EXPECT_EQ(SjisToUtf8(ColorName(n.colour.red, n.colour.green, n.colour.blue)), n.name);
  }

  // On the 16-bit screen a pixel reads back scaled from its 5-6-5 channels, and the grades apply
  // to what is read back: red and blue of 170 come back as 172, green of 86 as 85.
  const Rgb painted[] = {{0, 0, 128}, {171, 86, 0}, {171, 85, 0}, {170, 170, 170}};
  const Named read_back[] = {
      {{0, 0, 131}, "暗い青"},
      {{172, 85, 0}, "赤"},
      {{172, 85, 0}, "赤"},
      {{172, 170, 172}, "明るいマゼンタ"},
  };
  TestGame game;
  game.UseFakeText();
  game.WriteFile("back.sb1", Picture24(640, 480, [&](int x, int) {
                   return painted[std::min(x / 100, 3)];
                 }).Text());
  EXPECT_EQ(game.Play(BackScreenScenario({"白"})), 0);
  for (int stripe = 0; stripe < 4; ++stripe) {
    SCOPED_TRACE(stripe);
    ReadPixelColor(game.engine(), game.engine().screen.work_surface, stripe * 100 + 50, 10);
    const EngineState& s = game.state();
    EXPECT_EQ((Rgb{s.picked_red, s.picked_green, s.picked_blue}), read_back[stripe].colour);
    EXPECT_EQ(SjisToUtf8(ColorName(s.picked_red, s.picked_green, s.picked_blue)),
              read_back[stripe].name);
  }
}

struct LineCase {
  std::vector<std::string> lines;
  std::string report;  // without its line number; empty when the choice opens
};

TEST(BackScreen, ChoiceLinesAndTheirReports) {
  const char* every_colour[] = {
      "オレンジ", "黄緑",     "青緑",       "マリン",       "青紫",     "赤紫",   "明るい赤",
      "明るい緑", "明るい青", "明るい黄",   "明るいシアン", "明るいマゼン", "暗い赤", "暗い緑",
      "暗い青",   "暗い黄",   "暗いシアン", "暗いマゼン",   "赤",       "緑",     "青",
      "黄",       "シアン",   "マゼン",     "黒",           "白",       "グレ"};
  const std::vector<std::string> all(std::begin(every_colour), std::end(every_colour));
  std::vector<std::string> too_many = all;
  too_many.push_back("赤");
  const LineCase cases[] = {
      {all, ""},
      {too_many, "選択肢（裏画面）は２７色までです\t"},
      {{"赤紫＃絵（hover）＃", "赤＃音（bell）＃"}, ""},  // longer names first
      {{"明るいマゼンタ", "明るいマゼンダ"}, "同じ色を指定しています\t明るいマゼンタ"},
      {{"グレイ", "グレー"}, "同じ色を指定しています\tグレー"},
      {{"紫"}, "＃裏画面選択の色指定が違います\t紫"},
      {{"赤＃音（bell"}, "＃選択裏画面時の「音」は ＃音（ ）＃ で囲んでください\t赤＃音（bell"},
      {{"赤＃絵（hover"}, "＃選択裏画面時の「絵」は ＃音（ ）＃ で囲んでください\t赤＃絵（hover"},
      {{"赤＃絵（hover）＃", "青＃音（none）＃"}, "＃選択裏画面の音ファイルがありません\tnone"},
      {{"赤＃絵（none）＃＃音（bell）＃"}, "＃選択裏画面の絵のファイルがありません\tnone"},
      {{}, "＃選択裏画面の\t「色」が指定されていません"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.lines.empty() ? "no lines" : c.lines.back());
    TestGame game;
    game.UseFakeText();
    game.WriteFile("back.sb1", Picture24(640, 480, RedBlueBlack).Text());
    game.WriteFile("hover.sb1", SolidPicture(640, 480, kWhite).Text());
    game.WriteFile("bell.sw1", "RIFF");
    EXPECT_EQ(game.Play(BackScreenScenario(c.lines)), 0);
    std::vector<std::string> reports;
    for (const std::string& e : game.Errors()) reports.push_back(e.substr(e.find('\t') + 1));
    if (c.report.empty()) {
      EXPECT_THAT(reports, IsEmpty());
      EXPECT_EQ(game.state().back_screen_choice_active, 1);
    } else {
      EXPECT_THAT(reports, ElementsAre(c.report));
      EXPECT_EQ(game.state().back_screen_choice_active, 0);
    }
  }

  // The back screen itself must be named and found.
  TestGame game;
  game.UseFakeText();
  EXPECT_EQ(game.Play("＃選択裏画面\n\n赤\n＃＃＃＃\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃選択裏画面の\t「裏画面」が指定されていません"));
  EXPECT_EQ(game.Play("＃選択裏画面\nback\n赤\n\n＃＃＃＃\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃選択裏画面の「裏画面」ファイル名が違います\tback"));
}

TEST(BackScreen, TheHoverPictureAndSoundFollowTheMouseAndAClickChooses) {
  TestGame game;
  game.UseFakeText();
  game.WriteFile("back.sb1", Picture24(640, 480, RedBlueBlack).Text());
  game.WriteFile("hover.sb1", Picture24(640, 480, [](int x, int y) {
                   return x < 100 && y < 100 ? kGreen : kWhite;
                 }).Text());
  game.WriteFile("bell.sw1", "RIFF");
  const std::string scenario = BackScreenScenario({"赤＃絵（hover）＃＃音（bell）＃", "青"});
  // Within the red region the sound plays once; the black band is no choice and hides the
  // picture; coming back plays it again; blue has no sound of its own and beeps.
  EXPECT_EQ(game.Play(scenario, "settle\nmove 10 10\nmove 200 300\n" + game.TakeShot("over.png") +
                                    "move 10 470\n" + game.TakeShot("off.png") +
                                    "move 10 10\nmove 400 10\nclick 10 470\n"),
            0);
  const std::vector<std::string> trace = game.Trace();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "audio\twave\tplay\tbell.sw1"), 2);
  EXPECT_EQ(game.backend().display.beeps(), 1);
  ExpectPixels(game.Shot("over.png"), {{50, 50, kGreen565}, {150, 50, kBlack565}});
  ExpectPixels(game.Shot("off.png"), {{50, 50, kBlack565}});
  EXPECT_EQ(game.state().hover_picture_shown, 0);
  // The click on the black band chose nothing.
  EXPECT_EQ(game.state().back_screen_choice_active, 1);
  EXPECT_THAT(game.RunTexts("//"), IsEmpty());

  for (const auto& [click, label] : {std::pair{"click 300 100", "//1"}, {"click 600 400", "//2"}}) {
    EXPECT_EQ(game.Play(scenario, click), 0);
    EXPECT_THAT(game.RunTexts("//"), ElementsAre(label));
    EXPECT_EQ(game.state().click_wait, 0);
  }

  // A time limit runs out to "＃0" as a menu's does.
  EXPECT_EQ(game.Play(BackScreenScenario({"赤"}, "＃選択裏画面＃時間（50）＃")), 0);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//0"));
}

TEST(GoldenFrame, ABackScreenChoiceWithItsHoverPicture) {
  TestGame game;
  // The scene: a sky over a meadow with two houses; the back screen paints the houses' doors.
  game.WriteFile("scene.sb1", Picture24(640, 480, [](int x, int y) {
                   const bool left_house = x >= 100 && x < 260 && y >= 200 && y < 360;
                   const bool right_house = x >= 380 && x < 540 && y >= 200 && y < 360;
                   if (left_house || right_house) return Rgb{150, 90, 60};
                   return y < 240 ? Rgb{120, 170, 230} : Rgb{90, 160, 70};
                 }).Text());
  game.WriteFile("back.sb1", Picture24(640, 480, [](int x, int y) {
                   if (y >= 280 && y < 360 && x >= 150 && x < 210) return kRed;
                   if (y >= 280 && y < 360 && x >= 430 && x < 490) return kBlue;
                   return kBlack;
                 }).Text());
  // The hover picture lights the left door in yellow; the rest is the mask colour.
  game.WriteFile("lit.sb1", Picture24(640, 480, [](int x, int y) {
                   return y >= 280 && y < 360 && x >= 150 && x < 210 ? Rgb{250, 220, 80} : kWhite;
                 }).Text());
  EXPECT_EQ(game.Play("＃絵\nscene\n" + BackScreenScenario({"赤＃絵（lit）＃", "青"}),
                      "settle\nmove 180 320\n" + game.TakeShot("lit.png")),
            0);
  ExpectFrame(game.Shot("lit.png"), "back_screen_hover", 0xE515A889);
}

}  // namespace
}  // namespace tumu
