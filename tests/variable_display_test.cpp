// The variable display, played through whole headless games: the box's size and place, values
// in fixed width, redrawing when a shown variable changes, the faults, and a box too large for
// its surface.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_text_renderer.h"
#include "golden.h"
#include "platform/sjis.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using testing::FakeTextRenderer;
using testing::SolidPicture;
using testing::TestGame;
using ::testing::ElementsAre;

// (200, 120, 40) is 0xCBC5 and 0x61E2 at half brightness.
constexpr Rgb kBrown{200, 120, 40};
constexpr std::uint16_t kBrown565 = 0xCBC5;
constexpr std::uint16_t kBrownHalf = 0x61E2;
constexpr std::uint16_t kBlue565 = 0x001F;
constexpr std::uint16_t kText565 = 0xF7BE;  // (247, 247, 247)

void UseFakeText(TestGame& game) {
  game.make_text_renderer = [] { return std::make_unique<FakeTextRenderer>(); };
}

// The texts drawn into the variable surface, as "TEXT@X,Y/HEIGHT" in UTF-8.
std::vector<std::string> BoxTexts(TestGame& game) {
  std::vector<std::string> out;
  const auto& fake = dynamic_cast<FakeTextRenderer&>(*game.engine().text);
  for (const FakeTextRenderer::Call& call : fake.calls) {
    if (call.surface != &game.engine().screen.variable_surface) continue;
    EXPECT_EQ(call.foreground, kText565);
    EXPECT_EQ(call.background, 0xFFFF);
    out.push_back(SjisToUtf8(call.text) + "@" + std::to_string(call.x) + "," +
                  std::to_string(call.y) + "/" + std::to_string(call.height));
  }
  return out;
}

constexpr const char* kThreeLines =
    "＃変数宣言\n体力\n金\n\n体力＝25\n金＝-300\n"
    "＃変数表示\nＨＰ＃（体力）＃\n名前\n所持金＃（金）＃円\n\n";

TEST(VariableDisplay, ThreeLinesMakeABoxEightyHighAndAsWideAsTheWidestTextPlusTwenty) {
  TestGame game;
  UseFakeText(game);
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteScenario("start.st1", std::string("＃絵\nbg\n") + kThreeLines + "＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  // Numbers take eight columns. The fake font gives 16 pixels to a full-width character and 8 to
  // a half-width one: 32 + 64, 32, 48 + 64 + 16. Each text is drawn twice: measured, then again
  // over the box.
  const std::vector<std::string> once = {"ＨＰ      25@10,10/16", "名前@10,30/16",
                                         "所持金    -300円@10,50/16"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(BoxTexts(game), twice);
  const EngineState& s = game.state();
  EXPECT_EQ(s.variable_box_width, 128 + 20);
  EXPECT_EQ(s.display_line_count, 3);
  EXPECT_EQ(s.variable_display_on, 1);

  // On the screen at (20, 20): 148 x 80, a 3-pixel blue border, the inside darkened.
  const Surface565& frame = game.backend().display.LastFrame();
  EXPECT_EQ(frame.pixel(20, 20), kBlue565);
  EXPECT_EQ(frame.pixel(167, 99), kBlue565);
  EXPECT_EQ(frame.pixel(22, 50), kBlue565);
  EXPECT_EQ(frame.pixel(165, 97), kBlue565);
  EXPECT_EQ(frame.pixel(23, 23), kBrownHalf);
  EXPECT_EQ(frame.pixel(164, 96), kBrownHalf);
  EXPECT_EQ(frame.pixel(168, 50), kBrown565);
  EXPECT_EQ(frame.pixel(50, 100), kBrown565);
  EXPECT_EQ(frame.pixel(19, 19), kBrown565);
  // The first text's first cell, (10, 10) in the box.
  EXPECT_EQ(frame.pixel(31, 32), kText565);
}

TEST(VariableDisplay, IsDrawnAnewOnlyAfterAShownValueChanged) {
  TestGame game;
  UseFakeText(game);
  game.WriteScenario("start.st1", std::string(kThreeLines) +
                                      "＃クリック待ち\n体力＝体力－5\n＃クリック待ち\n"
                                      "＃クリック待ち\n");
  EXPECT_EQ(game.Run("click 5 5\nclick 5 5\nwait 500\n"), 0);
  // One rendering at the command, one at the first composition after the assignment, however
  // many frames were composed while the game waited.
  const std::vector<std::string> texts = BoxTexts(game);
  ASSERT_EQ(texts.size(), 12u);
  EXPECT_EQ(texts[0], "ＨＰ      25@10,10/16");
  EXPECT_EQ(texts[6], "ＨＰ      20@10,10/16");
  EXPECT_EQ(texts[9], "ＨＰ      20@10,10/16");
  EXPECT_EQ(game.state().variable_display_dirty, 0);
}

TEST(VariableDisplay, TheOffCommandHidesTheBoxAtTheNextFrame) {
  TestGame game;
  UseFakeText(game);
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteScenario("start.st1", std::string("＃絵\nbg\n") + kThreeLines +
                                      "＃クリック待ち\n＃変数表示オフ\n＃クリック待ち\n");
  EXPECT_EQ(game.Run("settle\nscreenshot " + game.Path("on.png") + "\nclick 5 5\n"), 0);
  const Surface565 on = testing::ReadPng(game.Path("on.png"));
  ASSERT_FALSE(on.empty());
  EXPECT_EQ(on.pixel(20, 20), kBlue565);
  EXPECT_EQ(game.backend().display.LastFrame().pixel(20, 20), kBrown565);
  EXPECT_EQ(game.state().variable_display_on, 0);
}

TEST(VariableDisplay, TranslucencyOffPutsABlackBoxBehindTheText) {
  TestGame game;
  UseFakeText(game);
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteScenario("start.st1",
                     std::string("＃絵\nbg\n＃半透明オフ\n") + kThreeLines + "＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  const Surface565& frame = game.backend().display.LastFrame();
  EXPECT_EQ(frame.pixel(23, 23), 0x0000);
  EXPECT_EQ(frame.pixel(164, 96), 0x0000);
  EXPECT_EQ(frame.pixel(20, 20), kBlue565);
  EXPECT_EQ(frame.pixel(168, 50), kBrown565);
}

TEST(VariableDisplay, TwentyOneLinesAreTooMany) {
  TestGame game;
  UseFakeText(game);
  std::string source = "＃変数表示\n";
  for (int i = 1; i <= 21; ++i) source += "行" + std::to_string(i) + "\n";
  source += "\n";
  game.WriteScenario("start.st1", source);
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("22\t表示する変数の行が多すぎます\t行21"));
  const EngineState& s = game.state();
  EXPECT_EQ(s.display_line_count, 0) << "left as it was";
  EXPECT_EQ(SjisToUtf8(s.display_lines[19].view()), "行20");
  EXPECT_EQ(s.variable_display_on, 1);
  EXPECT_TRUE(BoxTexts(game).empty()) << "nothing was rendered";

  // Twenty are fine.
  source = "＃変数表示\n";
  for (int i = 1; i <= 20; ++i) source += "行" + std::to_string(i) + "\n";
  game.WriteScenario("start.st1", source + "\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(game.state().display_line_count, 20);
}

TEST(VariableDisplay, AnEmptyListIsReportedAndEmptiesTheLinesButNotTheirCount) {
  TestGame game;
  UseFakeText(game);
  game.WriteScenario("start.st1", "＃変数表示\n一\n二\n\n＃変数表示\n\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("6\t表示するべき変数がありません\t＃変数表示の後をチェックしてください"));
  const EngineState& s = game.state();
  EXPECT_EQ(s.display_line_count, 2);
  EXPECT_TRUE(s.display_lines[0].view().empty());
  EXPECT_EQ(s.variable_display_on, 1);
}

TEST(VariableDisplay, ABoxLargerThanItsSurfaceIsCutToIt) {
  TestGame game;
  UseFakeText(game);
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  // Twenty rows (420 pixels) of thirty full-width characters (480 + 20 pixels): the surface holds
  // 400 x 300 of it.
  std::string source = "＃絵\nbg\n＃変数表示\n";
  for (int i = 0; i < 20; ++i) source += "ああああああああああああああああああああああああああああああ\n";
  game.WriteScenario("start.st1", source + "\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(game.state().variable_box_width, 500);
  const Surface565& frame = game.backend().display.LastFrame();
  // Nothing at all outside (20, 20)-(419, 319).
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (x >= 20 && x < 420 && y >= 20 && y < 320) continue;
      ASSERT_EQ(frame.pixel(x, y), kBrown565) << x << "," << y;
    }
  }
  EXPECT_EQ(frame.pixel(20, 20), kBlue565);
  EXPECT_EQ(frame.pixel(24, 318), kBrownHalf) << "the surface's last row, inside the box";
  EXPECT_EQ(frame.pixel(419, 25), kBrownHalf);
  EXPECT_EQ(frame.pixel(20, 319), kBlue565) << "the left border runs on to the cut";
}

TEST(GoldenFrame, AVariableDisplay) {
  TestGame game;
  game.WriteFile("bg.sb1", testing::Picture24(640, 480, [](int x, int y) {
                   return Rgb{60 + x / 8, 90 + y / 8, 140};
                 }).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃変数宣言\n体力\n魔力\n日数\n\n体力＝120\n魔力＝-45\n日数＝7\n"
                     "＃変数表示\n体力　＃（体力）＃\n魔力　＃（魔力）＃\n旅の＃（日数）＃日目\n\n"
                     "＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  const Surface565& frame = game.backend().display.LastFrame();
  testing::ExpectFrame(frame, "variable_display", 0x4D0097BA);
  const int width = game.state().variable_box_width;
  // Border corners of the 80-pixel-high box, text inside its three rows only.
  EXPECT_EQ(frame.pixel(20, 20), kBlue565);
  EXPECT_EQ(frame.pixel(20 + width - 1, 99), kBlue565);
  int ink[3] = {};
  int stray = 0;
  for (int y = 23; y < 97; ++y) {
    for (int x = 23; x < 20 + width - 3; ++x) {
      if (frame.pixel(x, y) != kText565) continue;
      const int row = (y - 30) / 20;
      if (y >= 30 && (y - 30) % 20 < 16 && row < 3) {
        ++ink[row];
      } else {
        ++stray;
      }
    }
  }
  EXPECT_GT(ink[0], 40);
  EXPECT_GT(ink[1], 40);
  EXPECT_GT(ink[2], 40);
  EXPECT_EQ(stray, 0);
}

}  // namespace
}  // namespace tumu
