// Sub-scenarios in whole games, run headless: calls and returns, the depth limit, the loop check,
// and the right-click scenario with the conditions under which the right button starts it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/window_proc.h"
#include "test_game.h"

namespace tumu {
namespace {

using testing::Clicks;
using testing::Lines;
using testing::TestGame;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

// The executed lines that are not empty, as "DEPTH FILE LINE TEXT".
std::vector<std::string> RunTrace(const TestGame& game) {
  std::vector<std::string> lines;
  for (const std::string& line : game.Trace()) {
    if (line.starts_with("run\t") && !line.ends_with("\t")) lines.push_back(line.substr(4));
  }
  return lines;
}

TEST(SubScenario, ACallReturnsAfterItsNameLineAndCanBeMadeAgain) {
  TestGame game;
  game.WriteScenario("a.st1", Lines({"＃時間待ち", "0"}));
  EXPECT_EQ(game.Play(Lines({
      "＃別シナリオ", "a",  // 1-2
      "＃別シナリオ", "a",  // 3-4: returned, so no loop
      "＃別シナリオ", "missing",  // 5-6
      "＃終了",  // 7
  }), Clicks(1)), 0);
  EXPECT_THAT(RunTrace(game),
              ElementsAre("0\tstart.st1\t1\t＃別シナリオ", "1\ta.st1\t1\t＃時間待ち",
                          "0\tstart.st1\t3\t＃別シナリオ", "1\ta.st1\t1\t＃時間待ち",
                          "0\tstart.st1\t5\t＃別シナリオ", "0\tstart.st1\t7\t＃終了"));
  EXPECT_THAT(game.Errors(), ElementsAre("5\t別シナリオのファイルがありません\tmissing"));
  EXPECT_EQ(game.state().call_depth, 0);
}

TEST(SubScenario, TheNinetyFifthLevelIsTheLast) {
  TestGame game;
  for (int level = 1; level <= 96; ++level) {
    game.WriteScenario("s" + std::to_string(level) + ".st1",
                       Lines({"＃別シナリオ", "s" + std::to_string(level + 1)}));
  }
  EXPECT_EQ(game.Play(Lines({"＃別シナリオ", "s1", "＃終了"}), Clicks(1)), 0);
  // s95 runs at level 95; its call of s96 is refused, and every level returns.
  EXPECT_THAT(game.Errors(), ElementsAre("1\t別シナリオから別シナリオを９５階層以上呼んでいます\t"
                                         "（右クリックシナリオも含みます）"));
  const std::vector<std::string> runs = RunTrace(game);
  EXPECT_THAT(runs, Contains("95\ts95.st1\t1\t＃別シナリオ"));
  EXPECT_THAT(runs, Not(Contains(::testing::StartsWith("96\t"))));
  EXPECT_EQ(runs.back(), "0\tstart.st1\t3\t＃終了");
}

TEST(SubScenario, AScenarioThatWouldCallItselfIsRefused) {
  TestGame game;
  game.WriteScenario("a.st1", Lines({"＃別シナリオ", "b"}));
  game.WriteScenario("b.st1", Lines({"＃別シナリオ", "a", "＃別シナリオ", "start", "＃別シナリオ", "c"}));
  game.WriteScenario("c.st1", "");
  EXPECT_EQ(game.Play(Lines({"＃別シナリオ", "a", "＃終了"}), Clicks(2)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("2\t＃別シナリオの無限ループ（結果的に自分自身を呼んでいる）です\ta",
                          "4\t＃別シナリオの無限ループ（結果的に自分自身を呼んでいる）です\tstart"));
  EXPECT_THAT(RunTrace(game), Contains("2\tb.st1\t5\t＃別シナリオ"));
  EXPECT_EQ(RunTrace(game).back(), "0\tstart.st1\t3\t＃終了");
}

TEST(RightClickScenario, RunsDuringAPlainClickWaitAndGoesOnAfterTheWaitingLine) {
  TestGame game;
  game.WriteScenario("menu/menu.st1", Lines({"＃クリック待ち"}));
  EXPECT_EQ(game.Play(Lines({
      "＃シナリオのパス", "menu/",  // 1-2
      "＃右クリックシナリオ", "menu",  // 3-4: named with the path in force now
      "＃シナリオのパス", "",  // 5-6
      "＃右クリックシナリオ", "nothing",  // 7-8
      "＃クリック待ち",  // 9
      "＃クリック待ち",  // 10
      "＃終了",  // 11
  }), "click 1 1\nrclick 1 1\nrclick 1 1\nclick 1 1\nrclick 1 1\nclick 1 1\n"), 0);
  // The first right click runs the menu (the line -1 it starts from reads as an empty line); the
  // second, inside the menu, does nothing; the left click ends the menu's wait, and the awaited
  // click of line 9 is dropped. At line 10 the right button works again.
  EXPECT_THAT(game.Errors(), ElementsAre("7\t右クリックシナリオのファイルがありません\tnothing"));
  EXPECT_THAT(RunTrace(game),
              ElementsAre("0\tstart.st1\t1\t＃シナリオのパス", "0\tstart.st1\t3\t＃右クリックシナリオ",
                          "0\tstart.st1\t5\t＃シナリオのパス", "0\tstart.st1\t7\t＃右クリックシナリオ",
                          "0\tstart.st1\t9\t＃クリック待ち", "1\tmenu/menu.st1\t1\t＃クリック待ち",
                          "0\tstart.st1\t10\t＃クリック待ち", "1\tmenu/menu.st1\t1\t＃クリック待ち",
                          "0\tstart.st1\t11\t＃終了"));
  EXPECT_THAT(game.Trace(), Contains("run\t1\tmenu/menu.st1\t0\t"));
}

TEST(RightClickScenario, TheRightButtonDoesNothingWhileAnythingElseHoldsTheGame) {
  TestGame game;
  game.WriteScenario("menu.st1", "");
  ASSERT_EQ(game.Play(Lines({"＃右クリックシナリオ", "menu", "＃クリック待ち", "＃終了"})), 0);
  Engine& engine = game.engine();
  EngineState& s = engine.state;
  ASSERT_EQ(s.click_wait, 1);
  InputEvent right;
  right.type = InputEvent::Type::kRightDown;
  std::int32_t EngineState::* const holders[] = {
      &EngineState::right_click_active, &EngineState::choice_menu_active,
      &EngineState::back_screen_choice_active, &EngineState::fade_active,
      &EngineState::overlap_running, &EngineState::dialogue_active, &EngineState::text_active};
  for (std::int32_t EngineState::*holder : holders) {
    s.*holder = 1;
    HandleInputEvent(engine, right);
    EXPECT_EQ(s.call_depth, 0);
    s.*holder = 0;
  }
  s.click_wait = 0;
  HandleInputEvent(engine, right);
  EXPECT_EQ(s.call_depth, 0) << "no click is awaited";
  s.click_wait = 1;
  HandleInputEvent(engine, right);
  EXPECT_EQ(s.call_depth, 1);
  EXPECT_EQ(s.right_click_active, 1);
  EXPECT_EQ(s.right_click_depth, 1);
  EXPECT_EQ(s.click_wait, 0);
  EXPECT_EQ(s.current_line, -1);
  // Returns to the line after the awaited click.
  EXPECT_EQ(s.return_line_stack[0], 2);
}

TEST(RightClickScenario, AResumingLoadFromTheMenuLeavesTheRightButtonWorking) {
  TestGame game;
  game.WriteScenario("menu.st1", Lines({"＃ロード 復帰", "s.dat"}));
  EXPECT_EQ(game.Play(Lines({
      "＃右クリックシナリオ", "menu",  // 1-2
      "＃セーブ", "s.dat",  // 3-4
      "＃クリック待ち",  // 5: the load comes back here
      "＃終了",  // 6
  }), "rclick 1 1\nrclick 1 1\nclick 1 1\n"), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  int loads = 0;
  for (const std::string& line : game.Trace()) loads += line == "load\ts.dat" ? 1 : 0;
  EXPECT_EQ(loads, 2) << "the second right click opened the menu again";
  EXPECT_EQ(game.state().right_click_active, 0);
}

}  // namespace
}  // namespace tumu
