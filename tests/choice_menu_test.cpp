// Choice menus played through headless games: the layouts and their limits, where a click lands,
// the bar, time limits, the automatic player, and how the menus look.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "choice/choice_menu.h"
#include "engine/window_proc.h"
#include "golden.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A menu of `count` choices "選択K"; label K runs the comment "//K", and "//後" follows the block.
// The labels may be written with full-width digits.
std::string MenuScenario(int count, bool full_width_labels = false) {
  static constexpr const char* kWideDigits[] = {"０", "１", "２", "３", "４",
                                                "５", "６", "７", "８", "９"};
  std::string source = "＃選択\n";
  for (int k = 1; k <= count; ++k) source += "選択" + std::to_string(k) + "\n";
  source += "\n";
  for (int k = 1; k <= count; ++k) {
    std::string digits = std::to_string(k);
    if (full_width_labels) {
      std::string wide;
      for (char d : digits) wide += kWideDigits[d - '0'];
      digits = wide;
    }
    source += "＃" + digits + "\n//" + std::to_string(k) + "\n";
  }
  return source + "＃＃＃＃\n//後\n＃終了\n";
}

std::string Click(Point p) {
  return "click " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
}

// The text renderer of the fake cells, except that a text "wN" measures exactly N pixels.
class WidthRenderer : public FakeTextRenderer {
 public:
  int DrawText(Surface565& surface, int x, int y, std::string_view sjis, int pixel_height,
               std::uint16_t foreground, std::uint16_t background) override {
    const int cells = FakeTextRenderer::DrawText(surface, x, y, sjis, pixel_height, foreground,
                                                 background);
    return sjis.starts_with("w") ? std::stoi(std::string(sjis.substr(1))) : cells;
  }
};

class MenuGame : public TestGame {
 public:
  MenuGame() { make_text_renderer = [] { return std::make_unique<WidthRenderer>(); }; }
  // Plays the menu and the script; the engine stays at the menu when the script has no click.
  void PlayMenu(int count, std::string_view script = "") {
    EXPECT_EQ(Play(MenuScenario(count), script), 0);
  }
};

TEST(ChoiceMenu, AClickRunsItsLabelAndLeavesTheBlockAtTheNextLabel) {
  MenuGame game;
  game.PlayMenu(3);
  const Point choice[] = {{}, ChoicePoint(game.engine(), 1), ChoicePoint(game.engine(), 2),
                          ChoicePoint(game.engine(), 3)};
  for (int k = 1; k <= 3; ++k) {
    game.PlayMenu(3, Click(choice[k]));
    EXPECT_THAT(game.RunTexts("//"), ElementsAre("//" + std::to_string(k), "//後"));
    EXPECT_THAT(game.Errors(), IsEmpty());
    EXPECT_EQ(game.state().click_wait, 0);
  }
  // Labels written with full-width digits are found all the same.
  EXPECT_EQ(game.Play(MenuScenario(3, /*full_width_labels=*/true), Click(choice[2])), 0);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//2", "//後"));

  // A choice without its label: the report, then the game goes on after the choice list, where
  // the first label leaves the block.
  EXPECT_EQ(game.Play("＃選択\nA\nB\n\n＃1\n//1\n＃＃＃＃\n//後\n＃終了\n",
                      "click 105 233\nclick 1 1\n"),
            0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("4\t該当ラベルがありません\t＃選択～＃＃＃＃をチェックしてください"));
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//後"));
}

struct LayoutCase {
  int count;
  int width, height, rows;
  std::vector<std::pair<Point, int>> points;  // a screen point and the choice it lands on
};

TEST(ChoiceMenu, NineTenAndNineteenChoicesMakeOneTwoAndThreeColumns) {
  const LayoutCase cases[] = {
      // "選択9" is 40 pixels wide: the box is 46 wide, 9 rows of 20 and the borders high.
      {9, 46, 186, 9,
       {{{100, 203}, 1}, {{146, 203}, 1}, {{147, 203}, 0}, {{99, 203}, 0}, {{120, 202}, 0},
        {{120, 363}, 9},
        // The border strip under the last row takes the last choice.
        {{120, 383}, 9}, {{120, 384}, 0}}},
      {10, 331, 106, 5,
       {{{263, 203}, 1}, {{264, 203}, 6}, {{264, 283}, 10}, {{431, 300}, 10}, {{432, 210}, 0}}},
      // Seven, seven and five rows.
      {19, 496, 146, 7,
       {{{263, 323}, 7}, {{264, 203}, 8}, {{428, 323}, 14}, {{429, 203}, 15}, {{429, 283}, 19},
        {{429, 303}, 0}, {{596, 343}, 0}}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.count);
    MenuGame game;
    game.PlayMenu(c.count);
    const EngineState& s = game.state();
    EXPECT_EQ(s.choice_menu_active, 1);
    EXPECT_EQ(s.choice_count, c.count);
    EXPECT_EQ(s.menu_width, c.width);
    EXPECT_EQ(s.menu_height, c.height);
    if (c.count > 9) {
      EXPECT_EQ(s.menu_rows, c.rows);
    }
    for (const auto& [point, choice] : c.points) {
      EXPECT_EQ(ChoiceAt(game.engine(), point.x, point.y), choice) << point.x << "," << point.y;
    }
    // The last choice, clicked by a script, runs its label.
    game.PlayMenu(c.count, Click(ChoicePoint(game.engine(), c.count)));
    EXPECT_THAT(game.RunTexts("//"), ElementsAre("//" + std::to_string(c.count), "//後"));
  }
}

TEST(ChoiceMenu, TheBarFollowsTheMouseAndAClickOnAnEmptyCellChoosesNothing) {
  // Eleven choices: six rows, choice 7 heads the second column, 168 pixels in.
  MenuGame game;
  game.PlayMenu(11, "settle\nmove 300 210\n" + game.TakeShot("bar.png"));
  EXPECT_EQ(game.state().hovered_choice, 7);
  ExpectPixels(game.Shot("bar.png"), {{268, 203, kRed565}, {427, 222, kRed565},
                                      {100, 210, kBlue565}, {102, 210, kBlue565}, {103, 210, kBlack565}, {267, 203, kBlack565}, {268, 223, kBlack565},
                                      {103, 203, kBlack565}});
  // The sixth row of the second column would be choice 12.
  game.PlayMenu(11, "click 300 308\n");
  EXPECT_EQ(game.state().choice_menu_active, 1);
  EXPECT_THAT(game.RunTexts("//"), IsEmpty());

  // The click that acknowledges an error also cancels the menu, and leaves the error showing.
  game.state().error_halt = 1;
  InputEvent click;
  click.type = InputEvent::Type::kLeftDown;
  click.x = 50;
  click.y = 50;
  HandleInputEvent(game.engine(), click);
  EXPECT_EQ(game.state().choice_menu_active, 0);
  EXPECT_EQ(game.state().error_halt, 1);
}

struct LimitCase {
  std::string scenario;
  std::string error;
  bool menu_open;
};

TEST(ChoiceMenu, LimitsOfCountAndWidthAreReported) {
  auto menu = [](int count, std::string_view long_choice) {
    std::string source = "＃選択\n" + std::string(long_choice) + "\n";
    for (int k = 2; k <= count; ++k) source += "選択" + std::to_string(k) + "\n";
    return source + "\n＃1\n＃＃＃＃\n";
  };
  // A fault in the layout is reported on the line that ended the list.
  const LimitCase cases[] = {
      {menu(12, "w160"), "", true},
      {menu(12, "w161"), "14\t選択肢の文字が長すぎます\t１０択以上は約２０（全角１０）文字以下です", false},
      {menu(19, "w161"), "21\t選択肢の文字が長すぎます\t１９択以上は約２０（全角１０）文字以下です", false},
      {menu(3, "w494"), "", true},
      {menu(3, "w495"), "5\t選択肢の文字が長すぎます\t選択3", false},
      {menu(27, "選択1"), "", true},
      {menu(28, "選択1"), "30\t選択肢は２７個までです\t", false},
      {"＃選択\n\nA\n＃＃＃＃\n", "2\t＃選択に選択肢がありません\t", false},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.scenario.substr(0, 20));
    MenuGame game;
    EXPECT_EQ(game.Play(c.scenario), 0);
    const std::vector<std::string> errors = game.Errors();
    if (c.error.empty()) {
      EXPECT_THAT(errors, IsEmpty());
    } else {
      ASSERT_FALSE(errors.empty());
      EXPECT_EQ(errors[0], c.error);
    }
    EXPECT_EQ(game.state().choice_menu_active, c.menu_open ? 1 : 0);
    // Whether it opened or not, the game waits for a click.
    EXPECT_EQ(game.state().click_wait, 1);
  }
}

struct TimeCase {
  std::string command;
  std::vector<std::string> comments;
  std::vector<std::string> errors;
};

TEST(TimedChoice, RunsOutToLabelZeroOrReportsItsTime) {
  const TimeCase cases[] = {
      {"＃選択＃時間（0）＃", {"//0", "//後"}, {}},
      {"＃選択　＃時間（　２０＊３　）＃　急いで", {"//0", "//後"}, {}},
      {"＃選択＃時間（残り）＃", {}, {"3\tERR:該当する 残り が宣言されていません\t残り"}},
      {"＃選択＃時間（1－2）＃", {}, {"3\t時間制限の時間がマイナスです\t＃選択＃時間（1－2）＃"}},
      {"＃選択＃時間（100）", {},
       {"3\t＃選択時の「時間」は ＃時間（ ）＃ で囲んでください\t＃選択＃時間（100）"}},
  };
  for (const TimeCase& c : cases) {
    SCOPED_TRACE(c.command);
    MenuGame game;
    EXPECT_EQ(game.Play(c.command + "\nA\n\n＃0\n//0\n＃1\n//1\n＃＃＃＃\n//後\n＃終了\n"), 0);
    EXPECT_EQ(game.RunTexts("//"), c.comments);
    std::vector<std::string> errors = game.Errors();
    EXPECT_EQ(errors, c.errors);
    EXPECT_EQ(game.state().choice_timer_active, 0);
  }

  // Without "＃0" the report comes when the time is up; the game then goes on after the choice
  // list (its first label leaves the block) rather than at the scenario's first line.
  MenuGame game;
  EXPECT_EQ(game.Play("＃選択＃時間（10）＃\nA\n\n＃1\n//1\n＃＃＃＃\n//後\n＃終了\n", "click 1 1"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("3\t時間制限の該当ラベル（＃０）がありません\t"
                                         "＃選択～＃＃＃＃をチェックしてください"));
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//後"));
  EXPECT_THAT(game.RunTexts("＃選択"), ElementsAre("＃選択＃時間（10）＃"));
}

TEST(TimedChoice, ALimitOfZeroEndsOnTheFirstTurnTheClockMoves) {
  MenuGame game;
  const std::string scenario = "＃選択＃時間（0）＃\nA\n\n＃0\n//0\n＃＃＃＃\n";
  // A run that stops before the clock has moved leaves the menu waiting.
  EXPECT_EQ(game.Play(scenario, "", 0), 3);
  EXPECT_EQ(game.state().choice_menu_active, 1);
  EXPECT_EQ(game.state().click_wait, 1);
  // One millisecond later it has run out.
  EXPECT_EQ(game.Play(scenario, "", 1), 3);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//0"));
  EXPECT_EQ(game.state().choice_menu_active, 0);
}

// ---- The automatic player.

void PlayAutomatically(TestGame& game, std::optional<std::uint32_t> seed = std::nullopt) {
  game.options.auto_play = true;
  game.headless.auto_play = true;
  game.headless.auto_seed = seed;
}

TEST(AutoPlay, AnswersEveryWaitAndEndsAtTheRestartNotice) {
  MenuGame game;
  PlayAutomatically(game);
  // The back screen: a black band, then blue on the left and red on the right.
  game.WriteFile("back.sb1", Picture24(640, 480, [](int x, int y) {
                   if (y < 10) return kBlack;
                   return x < 320 ? kBlue : kRed;
                 }).Text());
  const int status = game.Play(
      "＃変数宣言\nX\nY\n\n"
      "＃選択\n北\n南\n\n＃1\n//北\n＃2\n//南\n＃＃＃＃\n"
      "＃選択＃時間（100）＃\n東\n西\n\n＃0\n//時間切れ\n＃1\n//東\n＃＃＃＃\n"
      "＃選択裏画面\nback\n赤\n青\n\n＃1\n//赤\n＃2\n//青\n＃＃＃＃\n"
      "＃クリック位置\nX\nY\n＃セリフ\n終わり\n\n");
  EXPECT_EQ(status, 0);
  EXPECT_THAT(game.RunTexts("//"), ElementsAre("//北", "//時間切れ", "//青"));
  EXPECT_THAT(game.Errors(), ElementsAre(::testing::HasSubstr("シナリオが終了しました。")));
  EXPECT_EQ(game.state().restart_notice, 1);

  // An empty start scenario ends at once.
  EXPECT_EQ(game.Play(""), 0);
  EXPECT_EQ(game.Errors().size(), 1u);
}

TEST(AutoPlay, ASeedPicksChoicesAtRandomWithoutTouchingTheGamesNumbers) {
  const std::string loop =
      "＃変数宣言\n回\n一\n二\n三\n乱\n\n＃ラベル\n頭\n"
      "＃選択\nA\nB\nC\n\n＃1\n一＝一＋1\n＃2\n二＝二＋1\n＃3\n三＝三＋1\n＃＃＃＃\n"
      "回＝回＋1\n＃分岐範囲\n回\n30\n\n＃0\n＃GO\n頭\n＃1\n＃＃＃＃\n"
      "＃ランダム\n乱\n1000\n＃終了\n";
  auto counts = [](TestGame& game) {
    const EngineState& s = game.state();
    return std::vector<int>{s.numeric_values[1], s.numeric_values[2], s.numeric_values[3]};
  };
  MenuGame first;
  PlayAutomatically(first);
  EXPECT_EQ(first.Play(loop), 0);
  EXPECT_THAT(counts(first), ElementsAre(30, 0, 0));
  MenuGame seeded;
  PlayAutomatically(seeded, 7);
  EXPECT_EQ(seeded.Play(loop), 0);
  const std::vector<int> picked = counts(seeded);
  EXPECT_EQ(picked[0] + picked[1] + picked[2], 30);
  EXPECT_GT(picked[1] + picked[2], 0);
  EXPECT_GT(picked[0], 0);
  EXPECT_EQ(seeded.state().numeric_values[4], first.state().numeric_values[4]);
  EXPECT_THAT(seeded.Errors(), IsEmpty());
}

// ---- How menus look, in the real font, over a picture.

void PlayOnStripes(TestGame& game, const std::string& scenario, const std::string& script) {
  game.WriteFile("bg.sb1", Picture24(640, 480, [](int x, int) {
                   return x / 80 % 2 ? Rgb{60, 130, 90} : Rgb{200, 170, 110};
                 }).Text());
  EXPECT_EQ(game.Play("＃絵\nbg\n" + scenario, script), 0);
}

TEST(GoldenFrame, MenusOfOneTwoAndThreeColumnsWithTheBar) {
  struct Case {
    const char* name;
    std::vector<const char*> choices;
    Point mouse;
    std::uint32_t crc;
  };
  const Case cases[] = {
      {"menu_one_column", {"宿屋に泊まる", "酒場で話を聞く", "そのまま夜道を行く"}, {150, 235},
       0x89B1FFA9},
      {"menu_two_columns",
       {"東", "西", "南", "北", "上", "下", "右", "左", "前", "後", "内", "外"}, {300, 250}, 0x04D20E3A},
      {"menu_three_columns",
       {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "十二", "十三", "十四",
        "十五", "十六", "十七", "十八", "十九", "二十"},
       {500, 230}, 0xF9B41DE3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestGame game;
    std::string scenario = "＃選択\n";
    for (const char* choice : c.choices) scenario += std::string(choice) + "\n";
    scenario += "\n＃1\n＃＃＃＃\n";
    PlayOnStripes(game, scenario,
                  "settle\nmove " + std::to_string(c.mouse.x) + " " + std::to_string(c.mouse.y) +
                      "\n" + game.TakeShot("menu.png"));
    ExpectFrame(game.Shot("menu.png"), c.name, c.crc);
  }
}

}  // namespace
}  // namespace tumu
