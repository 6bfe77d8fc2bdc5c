// Choice menus played through headless games: the layouts and their limits, where a click lands,
// the bar, time limits, the automatic player, and how the menus look.
#include "choice/choice_menu.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/window_proc.h"
#include "golden.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A menu of `count` choices "選択K"; label K runs "//K", and "//後" follows the block.
std::string MenuScenario(int count, std::string_view first_label = "＃1") {
  std::string source = "＃選択\n";
  for (int k = 1; k <= count; ++k) source += "選択" + std::to_string(k) + "\n";
  source += "\n" + std::string(first_label) + "\n//1\n";
  for (int k = 2; k <= count; ++k) {
    source += "＃" + std::to_string(k) + "\n//" + std::to_string(k) + "\n";
  }
  return source + "＃＃＃＃\n//後\n＃終了\n";
}

std::string Click(Point p) {
  return "click " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
}

// The fake cells, except that a text "wN" measures exactly N pixels.
class WidthRenderer : public FakeTextRenderer {
 public:
  int DrawText(Surface565& surface, int x, int y, std::string_view sjis, int height,
               std::uint16_t foreground, std::uint16_t background) override {
    const int cells =
        FakeTextRenderer::DrawText(surface, x, y, sjis, height, foreground, background);
    return sjis.starts_with("w") ? std::stoi(std::string(sjis.substr(1))) : cells;
  }
};

class MenuGame : public TestGame {
 public:
  MenuGame() {
    make_text_renderer = [] { return std::make_unique<WidthRenderer>(); };
  }
};

TEST(ChoiceMenu, AClickRunsItsLabelAndLeavesTheBlockAtTheNextLabel) {
  MenuGame game;
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(game.Play(MenuScenario(3), Click({120, 193 + 20 * k})), 0);
    EXPECT_THAT(game.RunTexts("//"), ElementsAre("//" + std::to_string(k), "//後"));
    EXPECT_THAT(game.Errors(), IsEmpty());
  }
  // A label written with full-width digits is found all the same.
  EXPECT_EQ(game.Play(MenuScenario(3, "＃１"), Click({120, 213})), 0);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//1", "//後"));
  // Without its label: the report, then the game goes on after the choice list, where the first
  // label leaves the block.
  EXPECT_EQ(game.Play(MenuScenario(3, "＃9"), Click({120, 213}) + "click 1 1\n"), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("5\t該当ラベルがありません\t＃選択～＃＃＃＃をチェックしてください"));
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//後"));
}

TEST(ChoiceMenu, NineTenAndNineteenChoicesMakeOneTwoAndThreeColumns) {
  struct Layout {
    int count, width, height;
    std::vector<std::pair<Point, int>> points;  // a screen point and the choice it lands on
  };
  const Layout layouts[] = {
      // "選択9" is 40 pixels wide. The border strip under the last row takes the last choice.
      {9,
       46,
       186,
       {{{146, 203}, 1}, {{147, 203}, 0}, {{120, 202}, 0}, {{120, 383}, 9}, {{120, 384}, 0}}},
      {10, 331, 106, {{{263, 203}, 1}, {{264, 203}, 6}, {{431, 300}, 10}}},
      // Seven, seven and five rows.
      {19,
       496,
       146,
       {{{263, 323}, 7}, {{428, 323}, 14}, {{429, 203}, 15}, {{429, 283}, 19}, {{429, 303}, 0}}},
  };
  for (const Layout& c : layouts) {
    SCOPED_TRACE(c.count);
    MenuGame game;
    EXPECT_EQ(game.Play(MenuScenario(c.count)), 0);
    EXPECT_EQ(game.state().menu_width, c.width);
    EXPECT_EQ(game.state().menu_height, c.height);
    for (const auto& [point, choice] : c.points) {
      EXPECT_EQ(ChoiceAt(game.engine(), point.x, point.y), choice) << point.x << "," << point.y;
    }
    // The last choice, clicked by a script, runs its label.
    EXPECT_EQ(game.Play(MenuScenario(c.count), Click(ChoicePoint(game.engine(), c.count))), 0);
    EXPECT_THAT(game.RunTexts("//"), ElementsAre("//" + std::to_string(c.count), "//後"));
  }
}

TEST(ChoiceMenu, TheBarFollowsTheMouseAndAClickOnNoChoiceChoosesNothing) {
  // Eleven choices make six rows: choice 7 heads the second column, 168 pixels in.
  MenuGame game;
  EXPECT_EQ(game.Play(MenuScenario(11), "settle\nmove 300 210\n" + game.TakeShot("bar.png")), 0);
  ExpectPixels(game.Shot("bar.png"), {{268, 203, kRed565},
                                      {427, 222, kRed565},
                                      {267, 203, kBlack565},
                                      {268, 223, kBlack565},
                                      {102, 210, kBlue565}});
  // The sixth row of the second column would be choice 12.
  EXPECT_EQ(game.Play(MenuScenario(11), "click 300 308\n"), 0);
  EXPECT_EQ(game.state().choice_menu_active, 1);
  EXPECT_THAT(game.RunTexts("//"), IsEmpty());
  // The click that acknowledges an error also cancels the menu, and leaves the error showing.
  game.state().error_halt = 1;
  InputEvent click;
  click.type = InputEvent::Type::kLeftDown;
  HandleInputEvent(game.engine(), click);
  EXPECT_EQ(game.state().choice_menu_active, 0);
  EXPECT_EQ(game.state().error_halt, 1);
}

TEST(ChoiceMenu, LimitsOfCountAndWidthAreReportedOnTheLineThatEndedTheList) {
  auto menu = [](int count, std::string_view first) {
    std::string source = "＃選択\n" + std::string(first) + "\n";
    for (int k = 2; k <= count; ++k) source += "選択\n";
    return source + "\n＃1\n＃＃＃＃\n";
  };
  const std::pair<std::string, std::string> cases[] = {
      {menu(12, "w160"), ""},
      {menu(12, "w161"),
       "14\t選択肢の文字が長すぎます\t１０択以上は約２０（全角１０）文字以下です"},
      {menu(19, "w161"),
       "21\t選択肢の文字が長すぎます\t１９択以上は約２０（全角１０）文字以下です"},
      {menu(3, "w494"), ""},
      {menu(3, "w495"), "5\t選択肢の文字が長すぎます\t選択"},
      {menu(27, "選択"), ""},
      {menu(28, "選択"), "30\t選択肢は２７個までです\t"},
      {"＃選択\n\nA\n＃＃＃＃\n", "2\t＃選択に選択肢がありません\t"},
  };
  for (const auto& [scenario, report] : cases) {
    SCOPED_TRACE(report);
    MenuGame game;
    EXPECT_EQ(game.Play(scenario), 0);
    EXPECT_EQ(game.Errors(), report.empty() ? std::vector<std::string>{} : std::vector{report});
    EXPECT_EQ(game.state().choice_menu_active, report.empty() ? 1 : 0);
    EXPECT_EQ(game.state().click_wait, 1) << "whether it opened or not, the game waits";
  }
}

TEST(TimedChoice, RunsOutToLabelZeroOrReportsItsTime) {
  const std::pair<std::string, std::string> cases[] = {
      {"＃選択　＃時間（　２０＊３　）＃　急いで", ""},
      {"＃選択＃時間（残り）＃", "3\tERR:該当する 残り が宣言されていません\t残り"},
      {"＃選択＃時間（1－2）＃", "3\t時間制限の時間がマイナスです\t＃選択＃時間（1－2）＃"},
      {"＃選択＃時間（100）",
       "3\t＃選択時の「時間」は ＃時間（ ）＃ で囲んでください\t＃選択＃時間（100）"},
  };
  for (const auto& [command, report] : cases) {
    SCOPED_TRACE(command);
    MenuGame game;
    EXPECT_EQ(game.Play(command + "\nA\n\n＃0\n//0\n＃1\n＃＃＃＃\n//後\n＃終了\n"), 0);
    EXPECT_EQ(game.Errors(), report.empty() ? std::vector<std::string>{} : std::vector{report});
    const std::vector<std::string> ran_out = {"//0", "//後"};
    EXPECT_EQ(game.RunTexts("//"), report.empty() ? ran_out : std::vector<std::string>{});
  }
  // A limit of 0 runs out on the first turn on which the clock has moved.
  MenuGame game;
  const std::string zero = "＃選択＃時間（0）＃\nA\n\n＃0\n//0\n＃＃＃＃\n";
  EXPECT_EQ(game.Play(zero, "", 0), 3);
  EXPECT_EQ(game.state().choice_menu_active, 1);
  EXPECT_EQ(game.Play(zero, "", 1), 3);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//0"));

  // Without "＃0" the report comes when the time is up; the game then goes on after the choice
  // list (its first label leaves the block) rather than at the scenario's first line.
  EXPECT_EQ(game.Play("＃選択＃時間（10）＃\nA\n\n＃1\n//1\n＃＃＃＃\n//後\n＃終了\n", "click 1 1"),
            0);
  EXPECT_THAT(game.Errors(), ElementsAre("3\t時間制限の該当ラベル（＃０）がありません\t"
                                         "＃選択～＃＃＃＃をチェックしてください"));
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//後"));
  EXPECT_THAT(game.RunLines(), ::testing::Contains(1).Times(1));
}

// ---- The automatic player.

void PlayAutomatically(TestGame& game, std::optional<std::uint32_t> seed = std::nullopt) {
  game.headless.auto_play = true;
  game.headless.auto_seed = seed;
}

TEST(AutoPlay, AnswersEveryWaitAndEndsAtTheRestartNotice) {
  MenuGame game;
  PlayAutomatically(game);
  // The back screen: a black band, then blue on the left and red on the right.
  game.WriteFile("back.sb1", Picture24(640, 480, [](int x, int y) {
                               return y < 10 ? kBlack : x < 320 ? kBlue : kRed;
                             }).Text());
  EXPECT_EQ(game.Play("＃変数宣言\nX\nY\n\n"
                      "＃選択\n北\n南\n\n＃1\n//北\n＃2\n//南\n＃＃＃＃\n"
                      "＃選択＃時間（100）＃\n東\n\n＃0\n//時間切れ\n＃1\n//東\n＃＃＃＃\n"
                      "＃選択裏画面\nback\n赤\n青\n\n＃1\n//赤\n＃2\n//青\n＃＃＃＃\n"
                      "＃クリック位置\nX\nY\n＃セリフ\n終わり\n\n"),
            0);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//北", "//時間切れ", "//青"));
  EXPECT_THAT(game.Errors(), ElementsAre(::testing::HasSubstr("シナリオが終了しました。")));
  // An empty start scenario ends at once.
  EXPECT_EQ(game.Play(""), 0);
  EXPECT_EQ(game.Errors().size(), 1u);
}

TEST(AutoPlay, ASeedPicksChoicesAtRandomWithoutTouchingTheGamesNumbers) {
  const std::string loop =
      "＃変数宣言\n回\n一\n二\n三\n乱\n\n＃ラベル\n頭\n"
      "＃選択\nA\nB\nC\n\n＃1\n一＝一＋1\n＃2\n二＝二＋1\n＃3\n三＝三＋1\n＃＃＃＃\n"
      "回＝回＋1\n＃分岐範囲\n回\n30\n\n＃0\n＃GO\n頭\n＃1\n＃＃＃＃\n＃ランダム\n乱\n1000\n＃終了"
      "\n";
  MenuGame first, seeded;
  PlayAutomatically(first);
  PlayAutomatically(seeded, 7);
  EXPECT_EQ(first.Play(loop), 0);
  EXPECT_EQ(seeded.Play(loop), 0);
  const auto& picked = seeded.state().numeric_values;
  EXPECT_EQ(first.state().numeric_values[1], 30);
  EXPECT_EQ(picked[1] + picked[2] + picked[3], 30);
  EXPECT_GT(picked[1], 0);
  EXPECT_GT(picked[2] + picked[3], 0);
  EXPECT_EQ(picked[4], first.state().numeric_values[4]) << "the game drew the same number";
}

TEST(GoldenFrame, MenusOfOneTwoAndThreeColumnsWithTheBar) {
  struct Case {
    const char* name;
    std::vector<const char*> choices;
    Point mouse;
    std::uint32_t crc;
  };
  const Case cases[] = {
      {"menu_one_column",
       {"宿屋に泊まる", "酒場で話を聞く", "そのまま夜道を行く"},
       {150, 235},
       0x89B1FFA9},
      {"menu_two_columns",
       {"東", "西", "南", "北", "上", "下", "右", "左", "前", "後", "内", "外"},
       {300, 250},
       0x04D20E3A},
      {"menu_three_columns",
       {"一",   "二",   "三",   "四",   "五",   "六",   "七",   "八",   "九",   "十",
        "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十"},
       {500, 230},
       0xF9B41DE3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestGame game;
    game.WriteFile("bg.sb1", Picture24(640, 480, [](int x, int) {
                               return x / 80 % 2 ? Rgb{60, 130, 90} : Rgb{200, 170, 110};
                             }).Text());
    std::string scenario = "＃絵\nbg\n＃選択\n";
    for (const char* choice : c.choices) scenario += std::string(choice) + "\n";
    EXPECT_EQ(game.Play(scenario + "\n＃1\n＃＃＃＃\n",
                        "settle\nmove " + std::to_string(c.mouse.x) + " " +
                            std::to_string(c.mouse.y) + "\n" + game.TakeShot("menu.png")),
              0);
    ExpectFrame(game.Shot("menu.png"), c.name, c.crc);
  }
}

}  // namespace
}  // namespace tumu
