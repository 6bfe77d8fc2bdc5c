// The variable display, played through whole headless games: the box's size and place, values
// in fixed width, redrawing when a shown variable changes, the faults, and a box too large for
// its surface.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
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

// A game drawn with the recording renderer, with the brown background "bg" among its files.
class DisplayGame : public TestGame {
 public:
  DisplayGame() {
    UseFakeText();
    WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  }
  // The texts drawn into the variable surface, as "TEXT@X,Y/HEIGHT" in UTF-8.
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> out;
    for (const FakeTextRenderer::Call& call : fake_text().calls) {
      if (call.surface != &engine().screen.variable_surface) continue;
      EXPECT_EQ(call.foreground, kText565);
      EXPECT_EQ(call.background, kWhite565);
      out.push_back(SjisToUtf8(call.text) + "@" + std::to_string(call.x) + "," +
                    std::to_string(call.y) + "/" + std::to_string(call.height));
    }
    return out;
  }
};

constexpr const char* kThreeLines =
    "＃変数宣言\n体力\n金\n\n体力＝25\n金＝-300\n"
    "＃変数表示\nＨＰ＃（体力）＃\n名前\n所持金＃（金）＃円\n\n";

TEST(VariableDisplay, ThreeLinesMakeABoxEightyHighAndAsWideAsTheWidestTextPlusTwenty) {
  DisplayGame game;
  EXPECT_EQ(game.Play(std::string("＃絵\nbg\n") + kThreeLines + "＃クリック待ち\n"), 0);
  EXPECT_TRUE(game.Errors().empty());
  // Numbers take eight columns. The fake font gives 16 pixels to a full-width character and 8 to
  // a half-width one: 32 + 64, 32, 48 + 64 + 16. Each text is drawn twice: measured, then again
  // over the box.
  const std::vector<std::string> once = {"ＨＰ      25@10,10/16", "名前@10,30/16",
                                         "所持金    -300円@10,50/16"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(game.BoxTexts(), twice);
  const EngineState& s = game.state();
  EXPECT_EQ(s.variable_box_width, 128 + 20);
  EXPECT_EQ(s.display_line_count, 3);
  EXPECT_EQ(s.variable_display_on, 1);
  // On the screen at (20, 20): 148 x 80, a 3-pixel blue border, the inside darkened; the first
  // text's first cell at (10, 10) in the box.
  ExpectPixels(game.LastFrame(), {{20, 20, kBlue565}, {167, 99, kBlue565}, {22, 50, kBlue565},
                                  {165, 97, kBlue565}, {23, 23, kBrownHalf}, {164, 96, kBrownHalf},
                                  {168, 50, kBrown565}, {50, 100, kBrown565}, {19, 19, kBrown565},
                                  {31, 32, kText565}});

  // Translucency off puts a black box behind the text.
  game.WriteScenario("start.st1",
                     std::string("＃絵\nbg\n＃半透明オフ\n") + kThreeLines + "＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  ExpectPixels(game.LastFrame(), {{23, 23, kBlack565}, {164, 96, kBlack565}, {20, 20, kBlue565},
                                  {168, 50, kBrown565}});
}

TEST(VariableDisplay, IsDrawnAnewOnlyAfterAShownValueChangedAndHiddenAtTheNextFrame) {
  DisplayGame game;
  EXPECT_EQ(game.Play(std::string(kThreeLines) +
                      "＃クリック待ち\n体力＝体力－5\n＃クリック待ち\n"
                      "＃クリック待ち\n", "click 5 5\nclick 5 5\nwait 500\n"), 0);
  // One rendering at the command, one at the first composition after the assignment, however
  // many frames were composed while the game waited.
  const std::vector<std::string> texts = game.BoxTexts();
  ASSERT_EQ(texts.size(), 12u);
  EXPECT_EQ(texts[0], "ＨＰ      25@10,10/16");
  EXPECT_EQ(texts[6], "ＨＰ      20@10,10/16");
  EXPECT_EQ(texts[9], "ＨＰ      20@10,10/16");
  EXPECT_EQ(game.state().variable_display_dirty, 0);

  // The off command hides the box at the next frame.
  EXPECT_EQ(game.Play(std::string("＃絵\nbg\n") + kThreeLines +
                      "＃クリック待ち\n＃変数表示オフ\n＃クリック待ち\n",
                      game.TakeShot("on.png") + "click 5 5\n"), 0);
  ExpectPixels(game.Shot("on.png"), {{20, 20, kBlue565}});
  ExpectPixels(game.LastFrame(), {{20, 20, kBrown565}});
  EXPECT_EQ(game.state().variable_display_on, 0);
}

TEST(VariableDisplay, TwentyOneLinesAreTooManyAndNoneIsAFault) {
  DisplayGame game;
  std::string source = "＃変数表示\n";
  for (int i = 1; i <= 21; ++i) source += "行" + std::to_string(i) + "\n";
  source += "\n";
  EXPECT_EQ(game.Play(source), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("22\t表示する変数の行が多すぎます\t行21"));
  const EngineState& s = game.state();
  EXPECT_EQ(s.display_line_count, 0) << "left as it was";
  EXPECT_EQ(SjisToUtf8(s.display_lines[19].view()), "行20");
  EXPECT_EQ(s.variable_display_on, 1);
  EXPECT_TRUE(game.BoxTexts().empty()) << "nothing was rendered";

  // Twenty are fine.
  source = "＃変数表示\n";
  for (int i = 1; i <= 20; ++i) source += "行" + std::to_string(i) + "\n";
  EXPECT_EQ(game.Play(source + "\n＃クリック待ち\n"), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(game.state().display_line_count, 20);

  // An empty list is reported and empties the lines but not their count.
  EXPECT_EQ(game.Play("＃変数表示\n一\n二\n\n＃変数表示\n\n＃クリック待ち\n"), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("6\t表示するべき変数がありません\t＃変数表示の後をチェックしてください"));
  EXPECT_EQ(game.state().display_line_count, 2);
  EXPECT_TRUE(game.state().display_lines[0].view().empty());
  EXPECT_EQ(game.state().variable_display_on, 1);
}

TEST(VariableDisplay, ABoxLargerThanItsSurfaceIsCutToIt) {
  DisplayGame game;
  // Twenty rows (420 pixels) of thirty full-width characters (480 + 20 pixels): the surface holds
  // 400 x 300 of it.
  std::string source = "＃絵\nbg\n＃変数表示\n";
  for (int i = 0; i < 20; ++i) source += "ああああああああああああああああああああああああああああああ\n";
  EXPECT_EQ(game.Play(source + "\n＃クリック待ち\n"), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(game.state().variable_box_width, 500);
  const Surface565& frame = game.LastFrame();
  // Nothing at all outside (20, 20)-(419, 319).
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (x >= 20 && x < 420 && y >= 20 && y < 320) continue;
      ASSERT_EQ(frame.pixel(x, y), kBrown565) << x << "," << y;
    }
  }
  // Inside, the surface's last row is darkened, and the left border runs on to the cut.
  ExpectPixels(frame, {{20, 20, kBlue565}, {24, 318, kBrownHalf}, {419, 25, kBrownHalf},
                       {20, 319, kBlue565}});
}

TEST(GoldenFrame, AVariableDisplay) {
  TestGame game;
  game.WriteFile("bg.sb1", Picture24(640, 480, [](int x, int y) {
                   return Rgb{60 + x / 8, 90 + y / 8, 140};
                 }).Text());
  EXPECT_EQ(game.Play("＃絵\nbg\n＃変数宣言\n体力\n魔力\n日数\n\n体力＝120\n魔力＝-45\n日数＝7\n"
                      "＃変数表示\n体力　＃（体力）＃\n魔力　＃（魔力）＃\n旅の＃（日数）＃日目\n\n"
                      "＃クリック待ち\n"), 0);
  EXPECT_TRUE(game.Errors().empty());
  const Surface565& frame = game.LastFrame();
  ExpectFrame(frame, "variable_display", 0x4D0097BA);
  const int width = game.state().variable_box_width;
  // Border corners of the 80-pixel-high box, text inside its three rows only.
  ExpectPixels(frame, {{20, 20, kBlue565}, {20 + width - 1, 99, kBlue565}});
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
  for (const int row_ink : ink) EXPECT_GT(row_ink, 40);
  EXPECT_EQ(stray, 0);
}

}  // namespace
}  // namespace tumu
