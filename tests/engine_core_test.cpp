// Whole games, run headless: start-up, the loader, labels and jumps, the frame driver, errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/scenario.h"
#include "golden.h"
#include "platform/sjis.h"
#include "test_game.h"

namespace tumu {
namespace {

using testing::Sjis;
using testing::TestGame;
using ::testing::ElementsAre;

// The title of a game whose configuration names none.
constexpr const char* kDefaultTitle = "簡単ゲーム作成アプリケーション 「ツムギノート」（Ver 01.50）";

std::string Line(const TestGame& game, int index) {
  return SjisToUtf8(const_cast<TestGame&>(game).state().scenario_buffer[index].view());
}

TEST(StartUp, RefusesAGameWithoutStartScenario) {
  for (bool as_directory : {false, true}) {
    TestGame game;
    game.WriteScenario("start.txt", "＃終了\n", false);
    if (as_directory) game.WriteFile("start.st1/x", "");
    EXPECT_EQ(game.Run(), 1);
    ASSERT_EQ(game.backend().message_boxes.shown.size(), 1u);
    // The box carries the default title: the configuration is read after the start file.
    EXPECT_EQ(game.backend().message_boxes.shown[0],
              std::string(kDefaultTitle) + "\nstartシナリオがありません");
    EXPECT_EQ(game.backend().display.presents(), 0) << "no window was opened";
  }
}

TEST(StartUp, AnEmptyStartFileStartsTheGameAndRestartsIt) {
  TestGame game;
  game.WriteFile("start.st1", "");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_EQ(game.state().line_count, 3);
  EXPECT_EQ(game.state().packaged_mode, 1);
  EXPECT_EQ(SjisToUtf8(game.state().picture_ext.view()), ".sb1");
  EXPECT_TRUE(game.backend().display.config().fullscreen) << "no tumu.ini: full screen";
  // The notice shows the line past the end: the three empty lines ran.
  EXPECT_THAT(game.Errors(), ElementsAre("4\tシナリオが終了しました。\t始めから実行します。"));
}

TEST(FrameDriver, RestartsAtTheEndWithANoticeAndChecksTheBlocksAgain) {
  TestGame game;
  // A stray block end makes the balance check report at line 0, before each run.
  EXPECT_EQ(game.Play("＃時間待ち\n10\n＃＃＃＃\n", "click 5 5\nclick 5 5\nclick 5 5\n"), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("1\t「＃＃＃＃」が多いか位置が違います。\t3 行目の「＃＃＃＃」をチェックしてください",
                          "7\tシナリオが終了しました。\t始めから実行します。",
                          "1\t「＃＃＃＃」が多いか位置が違います。\t3 行目の「＃＃＃＃」をチェックしてください",
                          "7\tシナリオが終了しました。\t始めから実行します。"));
  // The notice came after the wait, and the scenario ran twice from its first line.
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 3, 4, 5, 6, 1, 3, 4, 5, 6));
  EXPECT_GE(game.backend().clock.now(), 22u);
}

TEST(Labels, GoFindsANameNormalisedOnBothSidesAndLabelsLeaveThroughTheirBlockEnds) {
  TestGame game;
  EXPECT_EQ(game.Play("＃GO\n＃１2　遠く\n＃終了\n＃ラベル\n＃1２ここ\n＃ＧＯ\nない\n＃終了\n",
                      "click 1 1"), 0);
  EXPECT_EQ(Line(game, 1), "＃12");
  EXPECT_EQ(Line(game, 4), "＃12");
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 6, 8));
  // The report stands on the name line; the game goes on after it.
  EXPECT_THAT(game.Errors(), ElementsAre("7\t該当するラベルが見つかりません\tない"));

  // A label reached in sequence leaves through its own block end.
  game.WriteScenario("start.st1",
                     "＃GO\n中\n＃分岐範囲\n＃ラベル\n中\n＃１ 選んだ\n＃分岐最大\n＃1\n＃＃＃＃ 内側\n"
                     "＃＃＃＃\n＃終了\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(Line(game, 5), "＃1");
  EXPECT_EQ(Line(game, 8), "＃＃＃＃");
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 6, 11));

  // A label with no block end goes back to the first line.
  game.WriteScenario("start.st1", "＃時間待ち\n5\n＃2\n＃終了\n");
  // The second pass runs into the label again; the run ends on the time budget.
  EXPECT_EQ(game.Run("", 40), 3);
  const std::vector<int> lines = game.RunLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], 1);
  EXPECT_EQ(lines[1], 3);
  EXPECT_EQ(lines[2], 1) << "after -1 the driver's step lands on line 0";

  // Balance check counts missing block ends.
  EXPECT_EQ(game.Play("＃終了\n＃選択\n＃分岐文字\n", "click 1 1"), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("1\t「＃＃＃＃」が 2 個 足りません\tシナリオを再チェックしてください"));
}

TEST(ErrorScreen, IsRedWithAWhiteBoxAndTextAndGoesOnAfterAClick) {
  TestGame game;
  game.WriteScenario("start.st1",
                     "＃絵のパス\nえ\\\n地の文は外に書けない\n＃時間待ち\n1\n＃終了\n");
  EXPECT_EQ(game.Run(game.TakeShot("red.png") + "click 300 300\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("3\tシナリオ上のミスです。\t地の文は外に書けない"));
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 3, 4, 6));
  EXPECT_EQ(game.backend().display.beeps(), 1);
  const Surface565 frame = game.Shot("red.png");
  testing::ExpectPixels(frame, {{5, 5, 0xF800}, {639, 479, 0xF800}, {19, 300, 0xF800},
                                {20, 250 + 209, 0xFFFF}, {619, 459, 0xFFFF}, {620, 300, 0xF800}});
  // The message is written at (100, 100) in black on white.
  int black = 0;
  for (int y = 100; y < 116; ++y) {
    for (int x = 100; x < 300; ++x) black += frame.pixel(x, y) == 0;
  }
  EXPECT_GT(black, 50);
}

TEST(Loader, KeepsLinesOfNinetyFourBytesAndDropsTabs) {
  TestGame game;
  const std::string long_line(94, 'a');
  game.WriteScenario("start.st1", "＃GO\nX\n\t＃ラ\tベル\t\nX\n" + long_line + "\t\t\n＃終了");
  // The 94-byte line is not a command: it is reported, then the game ends.
  EXPECT_EQ(game.Run("click 1 1"), 0);
  EXPECT_EQ(Line(game, 2), "＃ラベル");
  EXPECT_EQ(Line(game, 4), long_line);
  EXPECT_EQ(game.state().line_count, 6 + 2);
}

TEST(Loader, ALineOfNinetyFiveBytesStopsTheGame) {
  TestGame game;
  // The game did not end by itself: the run fails.
  EXPECT_EQ(game.Play("＃終了\n" + std::string(95, 'b') + "\n"), 1);
  EXPECT_THAT(game.Errors(),
              ElementsAre("1\tシナリオに９５文字を超えた行が存在します\tstart.st1",
                          "1\tシナリオは１行９４（全角４７）文字までです\t無理に実行するはメモリー上、危険です",
                          "1\tメモリーが破壊される恐れがあるので\t安全の為、３秒後に強制終了します"));
  EXPECT_TRUE(game.RunLines().empty()) << "no line of the scenario ran";
  EXPECT_EQ(game.backend().clock.now(), 11000u) << "paused 5 + 3 + 3 seconds";
  EXPECT_EQ(game.state().line_count, 1);
}

TEST(Loader, TheFourThousandFiveHundredthLineEndStopsTheGame) {
  {
    TestGame game;
    std::string source = "＃終了\n";
    for (int i = 1; i < 4499; ++i) source += "\n";
    source += "last line without an end";
    EXPECT_EQ(game.Play(source), 0);
    EXPECT_TRUE(game.Errors().empty());
    EXPECT_EQ(game.state().line_count, 4499 + 3);
  }
  {
    TestGame game;
    EXPECT_EQ(game.Play("＃終了\n" + std::string(4499, '\n')), 1);
    ASSERT_EQ(game.Errors().size(), 3u);
    EXPECT_EQ(game.Errors()[0], "1\tシナリオが４５００行を超えています\tstart.st1");
    EXPECT_EQ(game.Errors()[1],
              "1\t長いシナリオは＃別シナリオなどを使って\t分割するようにしてください");
  }
}

TEST(Loader, ReadsStoredBytesAsATextStreamBeforeDescrambling) {
  TestGame game;
  // Plain bytes chosen for what they become when stored: "Q" is stored as 0x0D, "V" as 0x0A (and
  // so written as 0x0D 0x0A), "F" and the second byte of 認 as 0x1A. A plain CR scrambles to 0x51.
  EXPECT_EQ(game.Play("＃GO\n確認F\nQV\nab\rcd\n＃ラベル\n確認F\n＃終了\n"), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(Line(game, 1), "確認F");
  EXPECT_EQ(Line(game, 2), "QV");
  EXPECT_EQ(Line(game, 3), "ab\rcd");
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 7));
}

TEST(Loader, AMissingSubScenarioFileIsReported) {
  TestGame game;
  game.WriteScenario("start.st1", "＃終了\n");
  ASSERT_EQ(game.Run(), 0);
  game.state().current_line = 4;
  EXPECT_EQ(LoadScenario(game.engine(), Sjis("ない.st1")), 0);
  EXPECT_EQ(game.state().line_count, 4) << "the old scenario stays";
}

TEST(Config, WindowKeywordsTitlesAndErrors) {
  struct Case {
    const char* ini;
    std::vector<BoxAnswer> answers;
    int window_mode;
    const char* title;
    std::size_t boxes;
  };
  const Case cases[] = {
      {"＃ウインドウ\n", {}, 1, kDefaultTitle, 0},
      {"＃ウィンドウ\n", {}, 1, kDefaultTitle, 0},
      {"＃ウインドウ選択\n", {BoxAnswer::kYes}, 1, kDefaultTitle, 1},
      {"＃ウィンドウ 選択\n", {BoxAnswer::kNo}, 0, kDefaultTitle, 1},
      {"// 注\n／／注\n\n＃ゲーム名\n＃そのまま題名\n", {}, 0, "＃そのまま題名", 0},
      {"＃ゲームタイトル\n一\n＃ゲーム名\n二\n", {}, 0, "二", 0},
      {"＃ゲームタイトル", {}, 0, "", 0},
      {"＃ゲーム名\n題\n 字下げ\n", {}, 0, "題", 1},
      // A plain file ends at the byte 1A: the faulty line after it is never read.
      {"＃ウインドウ\n\x1a\n間違いの行\n", {}, 1, kDefaultTitle, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    TestGame game;
    game.WriteScenario("start.st1", "＃終了\n");
    game.WriteFile("tumu.ini", Sjis(c.ini));
    game.box_answers = c.answers;
    EXPECT_EQ(game.Run(), 0);
    EXPECT_EQ(game.state().window_mode, c.window_mode);
    EXPECT_EQ(SjisToUtf8(game.state().window_title.view()), c.title);
    EXPECT_EQ(game.backend().display.config().title, c.title);
    EXPECT_EQ(game.backend().display.config().fullscreen, c.window_mode == 0);
    EXPECT_EQ(game.backend().message_boxes.shown.size(), c.boxes);
  }
}

TEST(Config, LineLimits) {
  struct Case {
    std::string ini;
    int window_mode;
    const char* box;  // the start of the message, or "" when there is none
  };
  const Case cases[] = {
      // A 95-byte line is accepted; a 96-byte line rejects the file.
      {Sjis("＃ウインドウ\n//" + std::string(93, 'x') + "\n"), 1, ""},
      {Sjis("＃ウインドウ\n//" + std::string(94, 'x') + "\n"), 0,
       "INIファイルに９５文字を超えた行があります"},
      // 200 line ends are allowed; 201 reject the file.
      {Sjis("＃ウインドウ") + std::string(200, '\n'), 1, ""},
      {Sjis("＃ウインドウ") + std::string(201, '\n'), 0, "INIファイルの行数が２００行を超えています"},
  };
  for (const Case& c : cases) {
    TestGame game;
    game.WriteScenario("start.st1", "＃終了\n");
    game.WriteFile("tumu.ini", c.ini);
    EXPECT_EQ(game.Run(), 0);
    EXPECT_EQ(game.state().window_mode, c.window_mode) << c.box;
    const std::vector<std::string>& shown = game.backend().message_boxes.shown;
    if (*c.box == '\0') {
      EXPECT_TRUE(shown.empty());
    } else {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_THAT(shown[0], ::testing::HasSubstr(c.box));
    }
  }
}

TEST(Config, AZeroByteEndsALineButItsBytesStillCount) {
  using namespace std::string_literals;
  struct Case {
    std::string ini;
    int window_mode;
    const char* title;
    std::size_t boxes;
  };
  const Case cases[] = {
      {Sjis("＃ウインドウ") + "\0"s + Sjis("ごみ\n"), 1, kDefaultTitle, 0},
      {Sjis("＃ゲーム名\n題") + "\0"s + Sjis("名の続き\n"), 0, "題", 0},
      {"\0"s + Sjis("設定ミス\n＃ウインドウ\n"), 1, kDefaultTitle, 0},
      // 12 bytes, the zero and 83 more make 96: the whole file is refused.
      {Sjis("＃ウインドウ") + "\0"s + std::string(83, 'x') + "\n", 0, kDefaultTitle, 1},
  };
  for (const Case& c : cases) {
    TestGame game;
    game.WriteScenario("start.st1", "＃終了\n");
    game.WriteFile("tumu.ini", c.ini);
    EXPECT_EQ(game.Run(), 0);
    EXPECT_EQ(game.state().window_mode, c.window_mode);
    EXPECT_EQ(SjisToUtf8(game.state().window_title.view()), c.title);
    EXPECT_EQ(game.backend().message_boxes.shown.size(), c.boxes);
  }
}

TEST(Config, TheCommandLineOverridesTheFileAndNeverAsks) {
  TestGame game;
  game.WriteScenario("start.st1", "＃終了\n");
  game.WriteFile("tumu.ini", Sjis("＃ウインドウ選択\n"));
  game.options.window_mode = 0;
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.backend().message_boxes.shown.empty());
  EXPECT_TRUE(game.backend().display.config().fullscreen);
}

TEST(Commands, TimeWaitRunsOnTheVirtualClockAndNeedsATime) {
  TestGame game;
  EXPECT_EQ(game.Play("＃時間待ち\n500\n＃終了\n"), 0);
  EXPECT_GE(game.backend().clock.now(), 501u);
  EXPECT_LE(game.backend().clock.now(), 502u);

  // Time wait without a time is reported.
  EXPECT_EQ(game.Play("＃時間待ち\n\n＃終了\n", "click 1 1"), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("2\t時間待ちの時間が指定されていません\t指定単位はミリ秒です"));
}

TEST(Commands, PathsAreUsedAsWrittenAndShownOnTheErrorScreen) {
  TestGame game;
  EXPECT_EQ(game.Play("＃絵のパス\ne\\ \n＃音のパス\n\n＃シナリオのパス\nsc/\n＃終了\n"), 0);
  EXPECT_EQ(game.state().picture_dir.view(), "e\\ ");
  EXPECT_EQ(game.state().sound_dir.view(), "");
  EXPECT_EQ(game.state().scenario_dir.view(), "sc/");
}

TEST(Commands, DumpWritesTheScenarioAsHeld) {
  TestGame game;
  game.WriteScenario("start.st1",
                     "＃鳴砂テスト\n＃GO\n終\n＃分岐範囲\n＃１番　です\n＃＃＃＃ 終わり\n＃ラベル\n終\n"
                     "\t＃終了\t");
  game.WriteFile("debug1.txt", std::string(500, 'x'));
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(SjisToUtf8(game.ReadFile("debug1.txt")),
            "＃鳴砂テスト\r\n＃GO\r\n終\r\n＃分岐範囲\r\n＃1\r\n＃＃＃＃\r\n＃ラベル\r\n終\r\n"
            "＃終了\r\n\r\n\r\n");
}

TEST(Commands, SkipDecidesWhetherSpaceEndsAClickWait) {
  TestGame game;
  game.WriteScenario("start.st1", "＃スキップオフ\n間違い\n＃終了\n");
  // The error screen is a click wait: Space does not end it while skipping is off...
  EXPECT_EQ(game.Run("key space\nsettle\n"), 0);
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 2));
  TestGame again;
  EXPECT_EQ(again.Play("＃スキップ\n＃時間待ち\n5\n＃終了\n"), 0);
  EXPECT_EQ(again.state().skip_mode, 1);
}

TEST(Input, EscapeAndTheCloseRequestEndTheGame) {
  TestGame game;
  EXPECT_EQ(game.Play("間違い\n＃終了\n", "key escape\nclick 1 1\n"), 0);
  EXPECT_THAT(game.RunLines(), ElementsAre(1));
  EXPECT_TRUE(game.engine().quit);
}

TEST(Headless, RunsOutOfTimeOnAnEndlessLoop) {
  TestGame game;
  EXPECT_EQ(game.Play("＃ラベル\nA\n＃GO\nA\n", "", 50), 3);
}

}  // namespace
}  // namespace tumu
