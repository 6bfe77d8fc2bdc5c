// The click position and the click mark, played through headless games.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "golden.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ClickPosition, TheClickIsStoredInTheTwoVariablesAndTheGameGoesOn) {
  TestGame game;
  game.UseFakeText();
  const std::string declared = "＃変数宣言\nX\nY\n\n";
  EXPECT_EQ(game.Play(declared + "＃クリック位置\nX\nY\n//後\n＃終了\n", "click 100 50\n"), 0);
  EXPECT_EQ(game.state().numeric_values[0], 100);
  EXPECT_EQ(game.state().numeric_values[1], 50);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//後"));
  EXPECT_EQ(game.state().click_position_active, 0);

  const std::pair<std::string, std::string> faults[] = {
      {"Z\nY\n", "6\t＃クリック位置のＸを代入する 変数 が宣言されていません\tZ"},
      {"\nY\n", "6\t＃クリック位置のＸを代入する変数が\t指定されていません"},
      {"X\nZ\n", "7\t＃クリック位置のＹを代入する 変数 が宣言されていません\tZ"},
      {"X\n\n", "7\t＃クリック位置のＹを代入する変数が\t指定されていません"},
  };
  for (const auto& [lines, report] : faults) {
    SCOPED_TRACE(report);
    EXPECT_EQ(game.Play(declared + "＃クリック位置\n" + lines + "＃終了\n", "click 100 50\n"), 0);
    EXPECT_THAT(game.Errors(), ElementsAre(report));
  }
}

// The mark's strip: frame 1 red, frame 2 green, frame 3 blue, 210 pixels apart, the rest the
// mask colour.
void WriteMark(TestGame& game) {
  game.WriteFile("mark.sb1", Picture24(640, 160, [](int x, int y) {
                               if (y >= 80 || x % 210 >= 80) return kWhite;
                               return x < 210 ? kRed : x < 420 ? kGreen : kBlue;
                             }).Text());
}

TEST(ClickMark, ShowsWhileTheGameWaitsForAClickAndAnimatesThereAndBack) {
  TestGame game;
  game.UseFakeText();
  WriteMark(game);
  std::string script = "settle\n";
  for (int shot = 0; shot < 5; ++shot) {
    script += "screenshot " + game.Path("frame" + std::to_string(shot) + ".png") + "\nwait 45\n";
  }
  EXPECT_EQ(
      game.Play("＃クリックマーク\nmark\n＃クリック待ち\n＃クリックマークオフ\n＃クリック待ち\n",
                script + "click 1 1\n" + game.TakeShot("off.png")),
      0);
  // One step every animation tick: 1, 2, 3, 2, 1, drawn at (530, 370).
  const std::uint16_t expected[] = {kRed565, kGreen565, kBlue565, kGreen565, kRed565};
  for (int shot = 0; shot < 5; ++shot) {
    SCOPED_TRACE(shot);
    ExpectPixels(game.Shot("frame" + std::to_string(shot) + ".png"),
                 {{530, 370, expected[shot]}, {609, 449, expected[shot]}, {610, 449, kBlack565}});
  }
  // Off hides it at once, in the very next wait.
  ExpectPixels(game.Shot("off.png"), {{530, 370, kBlack565}});
  EXPECT_EQ(game.state().click_mark_enabled, 0);

  // Not while a menu waits.
  EXPECT_EQ(game.Play("＃クリックマーク\nmark\n＃選択\nA\n\n＃1\n＃＃＃＃\n"), 0);
  EXPECT_EQ(game.state().click_wait, 1);
  EXPECT_EQ(game.state().click_mark_shown, 0);
  ExpectPixels(game.LastFrame(), {{530, 370, kBlack565}});

  // Where "位置" puts it, and under the last row of a text block (text_y 140 after seven rows).
  EXPECT_EQ(game.Play("＃クリックマーク位置\nmark\n100\n25＋25\n＃クリック待ち\n"), 0);
  ExpectPixels(game.LastFrame(), {{100, 50, kRed565}, {99, 50, kBlack565}, {100, 49, kBlack565}});
  EXPECT_EQ(game.Play("＃クリックマーク\nmark\n＃文章\n一\n二\n三\n四\n五\n六\n七\n\n"), 0);
  ExpectPixels(game.LastFrame(), {{10, 150, kRed565}, {89, 229, kRed565}});
}

TEST(ClickMark, FaultsAreReportedAndLeaveTheMarkAsItWas) {
  const std::pair<std::string, std::string> faults[] = {
      {"＃クリックマーク\n\n", "2\t＃クリックマークの\tファイル名が指定されていません"},
      {"＃クリックマーク\nnone\n", "2\t＃クリックマークのファイル名が違います\tnone"},
      {"＃クリックマーク位置\nmark\n\n", "3\t＃クリックマークのＸ位置指定がありません\tmark"},
      {"＃クリックマーク位置\nmark\n5\n\n", "4\t＃クリックマークのＹ位置指定がありません\tmark"},
      {"＃クリックマーク位置\nmark\n5\nどこ\n", "4\tERR:該当する どこ が宣言されていません\tどこ"},
  };
  for (const auto& [scenario, report] : faults) {
    SCOPED_TRACE(report);
    TestGame game;
    game.UseFakeText();
    WriteMark(game);
    EXPECT_EQ(game.Play(scenario), 0);
    EXPECT_THAT(game.Errors(), ElementsAre(report));
    EXPECT_EQ(game.state().click_mark_enabled, 0);
  }
}

}  // namespace
}  // namespace tumu
