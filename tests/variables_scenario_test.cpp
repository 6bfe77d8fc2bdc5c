// Whole games, run headless, that declare, assign, substitute, type in and draw variables. Every
// expected value and report below is worked out by hand from the rules of the commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "fake_text_renderer.h"
#include "platform/sjis.h"
#include "test_game.h"
#include "vars/variables.h"

namespace tumu {
namespace {

using testing::FakeTextRenderer;
using testing::Sjis;
using testing::TestGame;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// A scenario from its lines, one per entry, so that line numbers can be read off the test.
std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string source;
  for (std::string_view line : lines) {
    source += line;
    source += '\n';
  }
  return source;
}

// Enough clicks to take the game past every error screen it shows.
std::string Clicks(int count) {
  std::string script;
  for (int i = 0; i < count; ++i) script += "click 1 1\n";
  return script;
}

// The numeric slots in use, in slot order, as "NAME=VALUE" (UTF-8).
std::vector<std::string> NumericSlots(TestGame& game) {
  std::vector<std::string> slots;
  const EngineState& s = game.state();
  for (int i = 0; i < s.numeric_count; ++i) {
    slots.push_back(SjisToUtf8(s.numeric_names[i].view()) + "=" +
                    std::to_string(s.numeric_values[i]));
  }
  return slots;
}

// The string variables, in slot order, as "NAME=VALUE" (UTF-8).
std::vector<std::string> StringSlots(TestGame& game) {
  std::vector<std::string> slots;
  const EngineState& s = game.state();
  for (int i = 0; i < s.string_count; ++i) {
    slots.push_back(SjisToUtf8(s.string_names[i].view()) + "=" +
                    SjisToUtf8(s.string_values[i].view()));
  }
  return slots;
}

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// --- Declarations -------------------------------------------------------------------------------

TEST(Declarations, ScalarsArraysAndTheirFaults) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",      // 1
                                      "A",               // 2
                                      "A",               // 3 duplicate
                                      "A［3］",          // 4 A:0: .. A:3: beside the scalar A
                                      "A［5］",          // 5 only element 0 is compared
                                      "B［0］",          // 6
                                      "B［－2］",        // 7
                                      "C［5/2］",        // 8 maximum 2: three elements
                                      "N",               // 9
                                      "1.5",             // 10 the point makes it a name
                                      "123",             // 11
                                      "１２＋（３）　",  // 12 full-width expression characters
                                      "＃絵",            // 13 a name inside the block
                                      "E［3",            // 14
                                      "E］3［",          // 15
                                      "E［X］",          // 16
                                      "E［1/0］",        // 17
                                      "得点 ",           // 18 the blank is part of the name
                                      "",                // 19
                                      "N＝４",           // 20
                                      "＃変数宣言",      // 21
                                      "D［N＋1］",       // 22 maximum 5: six elements
                                      "F［N－4］",       // 23
                                      "",                // 24
                                      "＃絵＝7",         // 25 an assignment, not a picture
                                      "得点＝1",         // 26
                                      "＃終了",          // 27
                                  }));
  EXPECT_EQ(game.Run(Clicks(20)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("3\t同じ名前の変数を宣言しています\tA",
                          "5\t同じ名前の配列変数を宣言しています\tA［5］",
                          "6\t配列の最大値が０またはマイナスになりました\tB［0］",
                          "7\t配列の最大値が０またはマイナスになりました\tB［－2］",
                          "11\t変数に数字を宣言しています\t123",
                          "12\t変数に数字を宣言しています\t１２＋（３）　",
                          "14\t配列変数に閉じカッコがありません\tE［3",
                          "15\t配列変数の閉じカッコの位置が変です\tE］3［",
                          "16\t配列の最大値の指定が間違っています\tE［X］",
                          "17\t配列の最大値の指定が間違っています\tE［1/0］",
                          "23\t配列の最大値が０またはマイナスになりました\tF［N－4］",
                          "26\t該当する変数が宣言されていません\t得点"));
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("A=0", "A:0:=0", "A:1:=0", "A:2:=0", "A:3:=0", "C:0:=0", "C:1:=0",
                          "C:2:=0", "N=4", "1.5=0", "＃絵=7", "得点 =0", "D:0:=0", "D:1:=0",
                          "D:2:=0", "D:3:=0", "D:4:=0", "D:5:=0"));
  EXPECT_EQ(game.state().declaring_numeric, 0);
}

TEST(Declarations, AnArrayMaximumEndsAtItsFirstClosingBracket) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",    // 1
                                      "点［3］",       // 2
                                      "D［点［1］］",  // 3 the maximum is 点［1, which names nothing
                                      "",              // 4
                                      "＃終了",        // 5
                                  }));
  EXPECT_EQ(game.Run(Clicks(2)), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("3\t配列の最大値の指定が間違っています\tD［点［1］］"));
  EXPECT_EQ(game.state().numeric_count, 4);
}

TEST(Declarations, NameLengthsAndStringDuplicates) {
  const std::string name50(50, 'a');
  const std::string name51(51, 'b');
  const std::string wide25 = Repeat("あ", 25);
  const std::string wide26 = Repeat("い", 26);
  const std::string string50(50, 'c');
  const std::string string51(51, 'd');
  // Array base names have no limit of their own, only the keys must fit their 54 bytes:
  // 51 bytes + ":3:" is 54, 52 bytes + ":3:" is 55, 50 bytes + ":10:" is 54, 51 + ":10:" is 55.
  const std::string base51(51, 'f');
  const std::string base52(52, 'g');
  const std::string base50(50, 'h');
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",              // 1
                                      name50,                    // 2
                                      name51,                    // 3
                                      wide25,                    // 4
                                      wide26,                    // 5
                                      base51 + "［3］",          // 6
                                      base52 + "［3］",          // 7
                                      base50 + "［10］",         // 8
                                      base51 + "［1＋9］",       // 9
                                      "",                        // 10
                                      "＃変数宣言文字",          // 11
                                      string50,                  // 12
                                      string51,                  // 13
                                      "名前",                    // 14
                                      "名前",                    // 15
                                      "名前 ",                   // 16 another name
                                      "",                        // 17
                                      base51 + "［3］＝8",       // 18
                                      base50 + "［10］＝9",      // 19
                                      "＃終了",                  // 20
                                  }));
  EXPECT_EQ(game.Run(Clicks(10)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("3\t変数名が５０（全角２５）文字を超えています\t" + name51,
                          "5\t変数名が５０（全角２５）文字を超えています\t" + wide26,
                          "7\t配列変数の名前が長すぎます\t" + base52 + "［3］",
                          "9\t配列変数の名前が長すぎます\t" + base51 + "［1＋9］",
                          "13\t文字変数名が５０（全角２５）文字を超えています\t" + string51,
                          "15\t同じ名前の文字変数を宣言しています\t名前"));
  const std::vector<std::string> slots = NumericSlots(game);
  ASSERT_EQ(slots.size(), 2u + 4u + 11u);
  EXPECT_EQ(slots[0], name50 + "=0");
  EXPECT_EQ(slots[1], wide25 + "=0");
  EXPECT_EQ(slots[2], base51 + ":0:=0");
  EXPECT_EQ(slots[5], base51 + ":3:=8");
  EXPECT_EQ(slots[6], base50 + ":0:=0");
  EXPECT_EQ(slots[16], base50 + ":10:=9");
  EXPECT_THAT(StringSlots(game), ElementsAre(string50 + "=", "名前=", "名前 ="));
}

TEST(Declarations, TheFiveHundredFirstStringVariableEndsTheBlock) {
  std::string source = "＃変数宣言文字\n";  // line 1; names s1 .. s501 on lines 2 .. 502
  for (int i = 1; i <= 501; ++i) source += "s" + std::to_string(i) + "\n";
  source += Lines({
      "後",              // 503: the block is closed
      "",                // 504
      "＃変数宣言文字",  // 505: 500 is not above 500, so the block opens
      "x",               // 506
      "",                // 507
      "＃終了",          // 508
  });
  TestGame game;
  game.WriteScenario("start.st1", source);
  EXPECT_EQ(game.Run(Clicks(5)), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("502\t文字変数は５００個までです\ts501",
                                         "503\tシナリオ上のミスです。\t後",
                                         "506\t文字変数は５００個までです\tx"));
  EXPECT_EQ(game.state().string_count, 500);
  EXPECT_EQ(SjisToUtf8(game.state().string_names[499].view()), "s500");
  EXPECT_TRUE(game.state().string_names[500].empty());
}

TEST(Declarations, TheTotalOfTenThousandNumericSlots) {
  {
    // 9998 elements, then an array that gets two of its six before the table is full.
    TestGame game;
    game.WriteScenario("start.st1", Lines({
                                        "＃変数宣言",  // 1
                                        "Z［9997］",   // 2
                                        "W［5］",      // 3
                                        "V",           // 4 the block was closed
                                        "",            // 5
                                        "＃変数宣言",  // 6
                                        "＃終了",      // 7
                                    }));
    EXPECT_EQ(game.Run(Clicks(5)), 0);
    EXPECT_THAT(game.Errors(),
                ElementsAre("3\t配列変数作成中に変数のトータルが10000を超えました\t"
                            "シナリオをもう一度チェックして下さい",
                            "4\tシナリオ上のミスです。\tV",
                            "6\tすでに変数のトータルは\t10000個を超えています"));
    EXPECT_EQ(game.state().numeric_count, 10000);
    EXPECT_EQ(SjisToUtf8(game.state().numeric_names[9997].view()), "Z:9997:");
    EXPECT_EQ(SjisToUtf8(game.state().numeric_names[9999].view()), "W:1:");
    EXPECT_EQ(game.state().declaring_numeric, 0);
  }
  {
    // A scalar may still take slot 10000; it stays, and the block ends.
    TestGame game;
    game.WriteScenario("start.st1", Lines({
                                        "＃変数宣言",  // 1
                                        "Z［9998］",   // 2
                                        "Y",           // 3 slot 9999
                                        "X",           // 4 slot 10000
                                        "U",           // 5
                                        "",            // 6
                                        "X＝3",        // 7
                                        "＃終了",      // 8
                                    }));
    EXPECT_EQ(game.Run(Clicks(5)), 0);
    EXPECT_THAT(game.Errors(),
                ElementsAre("4\t変数のトータルが10000を超えました\tシナリオをもう一度チェックして下さい",
                            "5\tシナリオ上のミスです。\tU"));
    EXPECT_EQ(game.state().numeric_count, 10001);
    EXPECT_EQ(SjisToUtf8(game.state().numeric_names[10000].view()), "X");
    EXPECT_EQ(game.state().numeric_values[10000], 3);
  }
}

TEST(Declarations, AreRefusedOnceASaveOrLoadHasRunEvenAfterARestart) {
  TestGame game;
  // The save and load commands are the only ones that set the guard; here the game has made a
  // save before its scenario starts.
  game.before_start = [](Engine& engine) { engine.state.save_load_used = 1; };
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",      // 1
                                      "A",               // 2 no block is open
                                      "",                // 3
                                      "＃変数宣言文字",  // 4
                                      "名前",            // 5
                                      "",                // 6
                                  }));
  // Two passes: the end of the scenario starts it again, with the guard still set.
  EXPECT_EQ(game.Run(Clicks(9)), 0);
  const std::vector<std::string> pass = {
      "1\t「＃変数宣言」は「＃セーブ・ロード」の前にしてください\t（ロード時にデータを破壊する恐れがあります）",
      "2\tシナリオ上のミスです。\tA",
      "4\t「＃変数宣言（文字）」は「＃セーブ・ロード」の前にしてください\t（ロード時にデータを破壊する恐れがあります）",
      "5\tシナリオ上のミスです。\t名前",
  };
  const std::string notice = "10\tシナリオが終了しました。\t始めから実行します。";
  std::vector<std::string> expected = pass;
  expected.push_back(notice);
  expected.insert(expected.end(), pass.begin(), pass.end());
  expected.push_back(notice);
  EXPECT_THAT(game.Errors(), ElementsAreArray(expected));
  EXPECT_EQ(game.state().numeric_count, 0);
  EXPECT_EQ(game.state().string_count, 0);
  EXPECT_EQ(game.state().save_load_used, 1);
}

TEST(Declarations, ARestartForgetsNamesAndValues) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",      // 1
                                      "A",               // 2
                                      "",                // 3
                                      "＃変数宣言文字",  // 4
                                      "名前",            // 5
                                      "",                // 6
                                      "A＝A＋1",         // 7
                                      "＃文字変数代入",  // 8
                                      "名前",            // 9
                                      "花子",            // 10
                                      "＃クリック待ち",  // 11
                                  }));
  // The click wait, the end notice, and the click wait of the second pass.
  EXPECT_EQ(game.Run(Clicks(2)), 0);
  // No duplicate reports: the second pass declares into empty tables.
  EXPECT_THAT(game.Errors(), ElementsAre("15\tシナリオが終了しました。\t始めから実行します。"));
  EXPECT_THAT(NumericSlots(game), ElementsAre("A=1"));
  EXPECT_THAT(StringSlots(game), ElementsAre("名前=花子"));
}

// --- Assignment --------------------------------------------------------------------------------

TEST(Assignment, StoresTheTruncatedValueOfTheRightSide) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",                    // 1
                                      "得点",                          // 2
                                      "甲",                            // 3
                                      "乙",                            // 4
                                      "丙",                            // 5
                                      "丁",                            // 6
                                      "点［3］",                       // 7
                                      "番号［2］",                     // 8
                                      "",                              // 9
                                      "得点＝５",                      // 10
                                      "得点＝得点＊２＋１",            // 11 11
                                      "甲＝７／２",                    // 12 3.5 -> 3
                                      "乙＝－７／２",                  // 13 -3.5 -> -3
                                      "丙 ＝ 3",                       // 14
                                      "点［1＋1］＝９",                // 15 点:2:
                                      "番号［1］＝2",                  // 16
                                      "点［番号［1］＋1］＝点［2］＋1",  // 17 点:3: = 10
                                      "丁＝10－乙",                    // 18 10-(-3)
                                      "番号［0］＝1/3*3",              // 19 1.000000
                                      "番号［2］＝(1/3)*3＋7",         // 20 7.999999
                                      "＃終了",                        // 21
                                  }));
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("得点=11", "甲=3", "乙=-3", "丙=3", "丁=13", "点:0:=0", "点:1:=0",
                          "点:2:=9", "点:3:=10", "番号:0:=1", "番号:1:=2", "番号:2:=7"));
}

TEST(Assignment, FaultsAreReportedAndChangeNothing) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",            // 1
                                      "甲",                    // 2
                                      "点［3］",               // 3
                                      "番号［1］",             // 4
                                      "",                      // 5
                                      "甲＝5",                 // 6
                                      "甲 乙＝1",              // 7
                                      " 甲＝1",                // 8
                                      "甲＝1=2",               // 9
                                      "甲＝1　",               // 10
                                      "点［4］＝１",           // 11
                                      "点［1＝１",             // 12
                                      "甲＝未定義＋1",         // 13
                                      "甲＝1.5",               // 14
                                      "未定義＝1",             // 15
                                      "未定義＝未定2",         // 16 the right side is looked at first
                                      "点［X］＝1",            // 17
                                      "点［1/0］＝1",          // 18
                                      "甲＝点［番号［9］］",   // 19
                                      "甲＝点］1",             // 20
                                      "甲＝5000000*3",         // 21
                                      "甲＝点［－1］",         // 22 "-" ends the name 点:
                                      "点］2［＝1",            // 23
                                      "甲＝",                  // 24
                                      "＃終了",                // 25
                                  }));
  EXPECT_EQ(game.Run(Clicks(30)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("7\t左辺に文字が二つ以上あります\t甲 乙",
                          "8\t左辺に文字が二つ以上あります\t 甲",
                          "9\t「＝」は全角のみです\t甲＝1=2",
                          "10\tスペースに関してだけは半角にして下さい\t甲＝1　",
                          "11\t該当する変数が宣言されていません\t点:4:",
                          "12\t左辺の配列変数が閉じていません\t点［1",
                          "13\tERR:該当する 未定義 が宣言されていません\t甲＝未定義＋1",
                          "14\tERR:該当する .5 が宣言されていません\t甲＝1.5",
                          "15\t該当する変数が宣言されていません\t未定義",
                          "16\tERR:該当する 未定2 が宣言されていません\t未定義＝未定2",
                          "17\tERR:該当する X が宣言されていません\t点［X］",
                          "18\tERR:０で割っています\t点［1/0］",
                          "19\t配列変数の中身が間違っています\t点［番号:9:］",
                          "20\tERR:カッコ［　の数が足りません\t甲＝点］1",
                          "21\tERR:絶対値が１千万を超しました\t甲＝5000000*3",
                          "22\tERR:該当する 点: が宣言されていません\t甲＝点［－1］",
                          "23\t左辺の配列変数が閉じていません\t点］2［",
                          "24\tERR:計算結果？\t甲＝"));
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("甲=5", "点:0:=0", "点:1:=0", "点:2:=0", "点:3:=0", "番号:0:=0",
                          "番号:1:=0"));
}

TEST(Assignment, AnExpressionPastTheWorkingTextIsRefused) {
  // a becomes "(-10000000)", 11 bytes, and its group then " -10000000.000000", 17 bytes. With
  // k of them and k - 1 signs the working text ends at 18k - 1 bytes: 251 for 14, 269 for 15.
  // 22 of them pass 255 bytes already in the expansion (12k - 1 = 263).
  const auto alternating = [](int count) {
    std::string text = "a";
    for (int i = 1; i < count; ++i) text += i % 2 == 1 ? "-a" : "+a";
    return text;
  };
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",                // 1
                                      "a",                         // 2
                                      "甲",                        // 3
                                      "乙",                        // 4
                                      "",                          // 5
                                      "a＝－10000000",             // 6
                                      "甲＝7",                     // 7
                                      "乙＝7",                     // 8
                                      "甲＝" + alternating(14),    // 9 a - a + ... - a = 0
                                      "乙＝" + alternating(15),    // 10
                                      "乙＝" + alternating(22),    // 11
                                      "＃終了",                    // 12
                                  }));
  EXPECT_EQ(game.Run(Clicks(3)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("10\tERR:計算式が長すぎます\t乙＝" + alternating(15),
                          "11\tERR:計算式が長すぎます\t乙＝" + alternating(22)));
  EXPECT_THAT(NumericSlots(game), ElementsAre("a=-10000000", "甲=0", "乙=7"));
}

TEST(Assignment, NamesOfOneHashBucketKeepTheirOwnValues) {
  // A, xi and 04M all fall into bucket 65 (65; 120 * 83 + 105; 48 * 83 * 83 + 52 * 83 + 77).
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",  // 1
                                      "A",           // 2
                                      "xi",          // 3
                                      "04M",         // 4
                                      "",            // 5
                                      "A＝1",        // 6
                                      "xi＝2",       // 7
                                      "04M＝3",      // 8
                                      "A＝A＋xi＊10",  // 9
                                      "＃終了",      // 10
                                  }));
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  EXPECT_THAT(NumericSlots(game), ElementsAre("A=21", "xi=2", "04M=3"));
}

TEST(Assignment, WhereTheDispatcherTakesALineWithTheEqualSign) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",     // 1
                                      "＃時間待ち",     // 2 a name
                                      "甲",             // 3
                                      "",               // 4
                                      "＃時間待ち＝５",  // 5 an assignment, not a wait
                                      "// 甲＝1",       // 6 a comment
                                      "甲=1",           // 7 a half-width sign makes no assignment
                                      "ａ、",           // 8 bytes 81 81 inside, not the sign ＝
                                      "＃文章",         // 9
                                      "甲＝2",          // 10 text of the block
                                      "",               // 11
                                      "＃終了",         // 12
                                  }));
  EXPECT_EQ(game.Run(Clicks(5)), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("7\tシナリオ上のミスです。\t甲=1",
                                         "8\tシナリオ上のミスです。\tａ、"));
  EXPECT_THAT(NumericSlots(game), ElementsAre("＃時間待ち=5", "甲=0"));
}

// --- Substitution into text --------------------------------------------------------------------

// Runs a game whose texts are drawn by a recording renderer; gives what was drawn (UTF-8).
std::vector<std::string> RunAndRecordTexts(TestGame& game, const std::string& script) {
  FakeTextRenderer* fake = nullptr;
  game.before_start = [&fake](Engine& engine) {
    auto renderer = std::make_unique<FakeTextRenderer>();
    fake = renderer.get();
    engine.text = std::move(renderer);
  };
  EXPECT_EQ(game.Run(script), 0);
  std::vector<std::string> drawn;
  if (fake != nullptr) {
    for (const std::string& text : fake->drawn) drawn.push_back(SjisToUtf8(text));
  }
  return drawn;
}

TEST(TextSubstitution, NumbersAndStringVariablesInDialogueAndVariableDisplay) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",                  // 1
                                      "得点",                        // 2
                                      "負",                          // 3
                                      "大",                          // 4
                                      "",                            // 5
                                      "＃変数宣言文字",              // 6
                                      "名前",                        // 7
                                      "自己",                        // 8
                                      "甲",                          // 9
                                      "乙",                          // 10
                                      "",                            // 11
                                      "得点＝42",                    // 12
                                      "負＝－3",                     // 13
                                      "大＝10000000",                // 14
                                      "＃文字変数代入",              // 15
                                      "名前",                        // 16
                                      "  太郎  ",                    // 17 blanks are kept
                                      "＃文字変数代入",              // 18
                                      "自己",                        // 19
                                      "あ”（自己）”い",              // 20 names itself
                                      "＃文字変数代入",              // 21
                                      "甲",                          // 22
                                      "”（乙）”",                    // 23
                                      "＃文字変数代入",              // 24
                                      "乙",                          // 25
                                      "”（甲）”＃（得点）＃",        // 26 a ring through 甲
                                      "＃セリフ",                    // 27
                                      "残り＃（得点）＃点",          // 28
                                      "”（名前）”さん",              // 29
                                      "[”（自己）”]",                // 30
                                      "”（甲）”/”（乙）”",            // 31
                                      "",                            // 32
                                      "＃変数表示",                  // 33
                                      "残り＃（得点）＃点",          // 34
                                      "A＃（負）＃B",                // 35
                                      "＃（大）＃|＃（－大）＃|＃（1）＃",  // 36
                                      "",                            // 37
                                      "得点＝７",                    // 38 marks the display
                                      "＃クリック待ち",              // 39
                                      "＃終了",                      // 40
                                  }));
  const std::vector<std::string> drawn = RunAndRecordTexts(game, Clicks(3));
  EXPECT_THAT(game.Errors(), IsEmpty());
  // Text windows write numbers as they are...
  EXPECT_THAT(drawn, Contains("残り42点"));
  EXPECT_THAT(drawn, Contains("  太郎  さん"));
  // ...and put each value in once: text that came from a variable is not searched again, and
  // numeric references come before string ones, so one inside a value stays as written.
  EXPECT_THAT(drawn, Contains("[あ”（自己）”い]"));
  EXPECT_THAT(drawn, Contains("”（乙）”/”（甲）”＃（得点）＃"));
  // The variable display right-aligns every number in eight columns.
  EXPECT_THAT(drawn, Contains("残り      42点"));
  EXPECT_THAT(drawn, Contains("A      -3B"));
  EXPECT_THAT(drawn, Contains("10000000|-10000000|       1"));
  // The assignment marked the display, and the click wait's frame drew it again.
  EXPECT_THAT(drawn, Contains("残り       7点"));
}

TEST(TextSubstitution, TheVariableDisplayFollowsEveryCommandThatChangesAVariable) {
  TestGame game;
  game.options.window_mode = 1;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",      // 1
                                      "一",              // 2
                                      "札［2］",         // 3
                                      "",                // 4
                                      "＃変数宣言文字",  // 5
                                      "名前",            // 6
                                      "",                // 7
                                      "＃変数表示",      // 8
                                      "＃（一）＃/＃（札［1］）＃＃（札［2］）＃/”（名前）”",  // 9
                                      "",                // 10
                                      "＃ランダム",      // 11 drawn again at once
                                      "一",              // 12
                                      "32768",           // 13
                                      "＃切り直し",      // 14 drawn again at once
                                      "札［2］",         // 15
                                      "＃文字変数代入",  // 16 drawn again with the next frame
                                      "名前",            // 17
                                      "太郎",            // 18
                                      "＃文字入力",      // 19 the box's frames show 太郎
                                      "名前",            // 20
                                      "＃クリック待ち",  // 21 shows what was typed
                                      "＃終了",          // 22
                                  }));
  const std::vector<std::string> drawn = RunAndRecordTexts(game, "type 花子\n" + Clicks(1));
  EXPECT_THAT(game.Errors(), IsEmpty());
  std::vector<std::string> shown;
  for (const std::string& text : drawn) {
    if (shown.empty() || shown.back() != text) shown.push_back(text);
  }
  // 41 % 32768 + 1; then 18467 % 2 = 1 puts 2 into element 2 and leaves 1 for element 1.
  EXPECT_THAT(shown, ElementsAre("       0/       0       0/", "      42/       0       0/",
                                 "      42/       1       2/", "      42/       1       2/太郎",
                                 "      42/       1       2/花子"));
}

TEST(TextSubstitution, FaultsAreReportedWithTheTextLine) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言文字",     // 1
                                      "名前",               // 2
                                      "",                   // 3
                                      "＃変数宣言",         // 4
                                      "配［1］",            // 5
                                      "",                   // 6
                                      "＃文章",             // 7
                                      "残り＃（得点）点",   // 8
                                      "残り）＃＃（得点",   // 9
                                      "＃（無い）＃",       // 10
                                      "”（無名）”",         // 11
                                      "”（名前",           // 12
                                      "）”x”（名前）”",     // 13
                                      "＃（1/0）＃",        // 14
                                      "＃（配［2］）＃",    // 15
                                      "＃（配［配［1］］）＃",  // 16 配:0: is declared
                                      "＃（）＃",           // 17
                                      "”（）”",             // 18 the empty name is a free slot
                                      "",                   // 19
                                      "＃終了",             // 20
                                  }));
  EXPECT_EQ(game.Run(Clicks(15)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("8\t変数の閉じカッコがありません\t残り＃（得点）点",
                          "9\t閉じカッコの位置が変です\t残り）＃＃（得点",
                          "10\tERR:該当する 無い が宣言されていません\t＃（無い）＃",
                          "11\t該当する文字変数が宣言されていません\t無名",
                          "12\t文字変数の閉じカッコがありません\t”（名前",
                          "13\t閉じカッコの位置が変です\t）”x”（名前）”",
                          "14\tERR:０で割っています\t＃（1/0）＃",
                          "15\tERR:該当する 配:2: が宣言されていません\t＃（配［2］）＃",
                          "17\tERR:計算結果？\t＃（）＃"));
}

// --- Numbers in commands -----------------------------------------------------------------------

TEST(CommandExpressions, TimeWaitTakesVariablesAndNestedElements) {
  {
    TestGame game;
    game.WriteScenario("start.st1", Lines({
                                        "＃変数宣言",      // 1
                                        "待ち",            // 2
                                        "間［3］",         // 3
                                        "番号［1］",       // 4
                                        "",                // 5
                                        "待ち＝100",       // 6
                                        "間［2］＝300",    // 7
                                        "番号［1］＝2",    // 8
                                        "＃時間待ち",      // 9
                                        "待ち＊２",        // 10: 200 ms
                                        "＃時間待ち",      // 11
                                        "間［番号［1］］",  // 12: 300 ms
                                        "＃終了",          // 13
                                    }));
    EXPECT_EQ(game.Run(), 0);
    EXPECT_THAT(game.Errors(), IsEmpty());
    // Each wait ends on the first turn after its time has passed: 201 + 301 ms.
    EXPECT_GE(game.backend().clock.now(), 502u);
    EXPECT_LE(game.backend().clock.now(), 504u);
  }
  {
    TestGame game;
    game.WriteScenario("start.st1", Lines({
                                        "＃時間待ち",  // 1
                                        "無い",        // 2
                                        "＃時間待ち",  // 3
                                        "配［9］",     // 4
                                        "＃時間待ち",  // 5
                                        "配［X］",     // 6
                                        "＃終了",      // 7
                                    }));
    EXPECT_EQ(game.Run(Clicks(5)), 0);
    EXPECT_THAT(game.Errors(),
                ElementsAre("2\tERR:該当する 無い が宣言されていません\t無い",
                            "4\tERR:該当する 配:9: が宣言されていません\t配［9］",
                            "6\t配列変数の中身が間違っています\t配［X］"));
  }
}

// --- String commands and text input ------------------------------------------------------------

TEST(StringCommands, AssignStringAndItsFaults) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言文字",  // 1
                                      "名前",            // 2
                                      "",                // 3
                                      "＃文字変数代入",  // 4
                                      "",                // 5
                                      "＃文字変数代入",  // 6
                                      "誰",              // 7
                                      "",                // 8
                                      "＃文字変数代入",  // 9
                                      "名前",            // 10
                                      "",                // 11
                                      "＃文字変数代入",  // 12
                                      "名前",            // 13
                                      " 前後に空白 ",    // 14
                                      "＃終了",          // 15
                                  }));
  EXPECT_EQ(game.Run(Clicks(5)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("5\t＃文字変数代入の文字変数が\t指定されていません",
                          "7\t該当する変数（文字）が宣言されていません\t誰",
                          "11\t「＃文字変数代入」の\t代入する文字が指定されていません"));
  EXPECT_THAT(StringSlots(game), ElementsAre("名前= 前後に空白 "));
}

TEST(StringCommands, TheyActInsideDeclarationBlocks) {
  TestGame game;
  game.options.window_mode = 1;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言文字",  // 1
                                      "名前",            // 2
                                      "＃文字入力",      // 3 a command, not a name
                                      "名前",            // 4
                                      "場所",            // 5
                                      "",                // 6
                                      "＃変数宣言",      // 7
                                      "数",              // 8
                                      "＃文字変数代入",  // 9
                                      "場所",            // 10
                                      "東京",            // 11
                                      "",                // 12
                                      "＃終了",          // 13
                                  }));
  EXPECT_EQ(game.Run("type 太郎\n"), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  EXPECT_THAT(StringSlots(game), ElementsAre("名前=太郎", "場所=東京"));
  EXPECT_THAT(NumericSlots(game), ElementsAre("数=0"));
}

TEST(TextInput, TypedTextIsStoredUpToSeventyNineBytes) {
  TestGame game;
  game.options.window_mode = 1;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言文字",  // 1
                                      "名前",            // 2
                                      "空",              // 3
                                      "長",              // 4
                                      "全角",            // 5
                                      "混ぜ",            // 6
                                      "外字",            // 7
                                      "",                // 8
                                      "＃文字変数代入",  // 9
                                      "空",              // 10
                                      "前の値",          // 11
                                      "＃文字入力",      // 12
                                      "名前",            // 13
                                      "＃文字入力",      // 14
                                      "空",              // 15
                                      "＃文字入力",      // 16
                                      "長",              // 17
                                      "＃文字入力",      // 18
                                      "全角",            // 19
                                      "＃文字入力",      // 20
                                      "外字",            // 21
                                      "＃文字入力",      // 22
                                      "混ぜ",            // 23
                                      "＃終了",          // 24
                                  }));
  const std::string wide50 = Repeat("あ", 50);
  EXPECT_EQ(game.Run("type 太郎\n"
                     "type\n"
                     "type " + std::string(100, 'x') + "\n"
                     "type " + wide50 + "\n"
                     "type 😀a\n"
                     "type a" + wide50 + "\n"),
            0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  // 79 bytes: 79 letters; 39 full-width characters (78 bytes, the 40th would be cut in two);
  // one letter and 39 full-width characters.
  EXPECT_THAT(StringSlots(game),
              ElementsAre("名前=太郎", "空=", "長=" + std::string(79, 'x'),
                          "全角=" + Repeat("あ", 39), "混ぜ=a" + Repeat("あ", 39),
                          "外字=?a"));
  EXPECT_EQ(SjisToUtf8(game.state().input_text.view()), "a" + Repeat("あ", 39));
  EXPECT_EQ(game.state().input_dialog_open, 0);
  EXPECT_FALSE(game.backend().text_input.IsOpen());
}

TEST(TextInput, TheScenarioWaitsForEnter) {
  TestGame game;
  game.options.window_mode = 1;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言文字",  // 1
                                      "名前",            // 2
                                      "",                // 3
                                      "＃文字入力",      // 4
                                      "名前",            // 5
                                      "＃終了",          // 6
                                  }));
  // Nothing is typed: time passes and the box stays open.
  EXPECT_EQ(game.Run("wait 100\n"), 0);
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 2, 3, 4));
  EXPECT_EQ(game.state().input_dialog_open, 1);
  EXPECT_TRUE(game.backend().text_input.IsOpen());
  EXPECT_FALSE(game.engine().quit);
}

TEST(TextInput, FullScreenAndUndeclaredNamesAreRefused) {
  {
    TestGame game;  // no tumu.ini: full screen
    game.WriteScenario("start.st1", Lines({
                                        "＃変数宣言文字",  // 1
                                        "名前",            // 2
                                        "",                // 3
                                        "＃文字入力",      // 4
                                        "名前",            // 5 runs as a line of its own
                                        "＃終了",          // 6
                                    }));
    EXPECT_EQ(game.Run("type 無視される\n" + Clicks(3)), 0);
    EXPECT_THAT(game.Errors(),
                ElementsAre("4\tフル・スクリーンでは文字入力はできません\t＃文字入力",
                            "5\tシナリオ上のミスです。\t名前"));
    EXPECT_EQ(game.state().input_dialog_open, 0);
    EXPECT_FALSE(game.backend().text_input.IsOpen());
    EXPECT_THAT(StringSlots(game), ElementsAre("名前="));
  }
  {
    TestGame game;
    game.WriteFile("tumu.ini", Sjis("＃ウインドウ\n"));
    game.WriteScenario("start.st1", Lines({
                                        "＃文字入力",  // 1
                                        "誰",          // 2
                                        "＃終了",      // 3
                                    }));
    EXPECT_EQ(game.Run(Clicks(2)), 0);
    EXPECT_THAT(game.Errors(), ElementsAre("2\t該当する文字変数が宣言されていません\t誰"));
    EXPECT_FALSE(game.backend().text_input.IsOpen());
  }
}

// --- Random numbers, reshuffle, machine check ----------------------------------------------------

TEST(Random, DrawsFromTheSeededGenerator) {
  // Seeded with 1, the generator gives 41, 18467, 6334, 26500, 19169.
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",  // 1
                                      "一",          // 2
                                      "二",          // 3
                                      "三",          // 4
                                      "四",          // 5
                                      "点［2］",     // 6
                                      "",            // 7
                                      "＃ランダム",  // 8
                                      "一",          // 9
                                      "32768",       // 10
                                      "＃ランダム",  // 11
                                      "二",          // 12
                                      "３２７６８",  // 13
                                      "＃ランダム",  // 14
                                      "点:2:",       // 15 the element key, written out
                                      "16384＊2",    // 16
                                      "＃ランダム",  // 17
                                      "三",          // 18
                                      "100000",      // 19 still below 32768: 26500 + 1
                                      "＃ランダム",  // 20
                                      "四",          // 21
                                      "1",           // 22
                                      "＃終了",      // 23
                                  }));
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  EXPECT_THAT(NumericSlots(game), ElementsAre("一=42", "二=18468", "三=26501", "四=1", "点:0:=0",
                                              "点:1:=0", "点:2:=6335"));
}

TEST(Random, FaultsStoreNothingAndDrawNothing) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",  // 1
                                      "一",          // 2
                                      "点［2］",     // 3
                                      "",            // 4
                                      "一＝－5",     // 5
                                      "＃ランダム",  // 6
                                      "",            // 7
                                      "＃ランダム",  // 8
                                      "点［2］",     // 9 brackets are not expanded here
                                      "",            // 10
                                      "＃ランダム",  // 11
                                      "一",          // 12
                                      "",            // 13
                                      "＃ランダム",  // 14
                                      "一",          // 15
                                      "0",           // 16
                                      "＃ランダム",  // 17
                                      "一",          // 18
                                      "1－4",        // 19
                                      "＃ランダム",  // 20
                                      "一",          // 21
                                      "X",           // 22
                                      "＃ランダム",  // 23
                                      "点:1:",       // 24
                                      "32768",       // 25 the first draw of the game
                                      "＃終了",      // 26
                                  }));
  EXPECT_EQ(game.Run(Clicks(10)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("7\t＃ランダムで使用する\t「変数」が指定されていません",
                          "9\t該当する変数が宣言されていません\t点［2］",
                          "13\t＃ランダムで使用する\t「最大数」が指定されていません",
                          "16\t乱数の最大値は１以上にしてください\t0",
                          "19\t乱数の最大値は１以上にしてください\t1－4",
                          "22\tERR:該当する X が宣言されていません\tX"));
  EXPECT_THAT(NumericSlots(game), ElementsAre("一=-5", "点:0:=0", "点:1:=42", "点:2:=0"));
}

TEST(Reshuffle, PermutesElementsOneToNAndLeavesElementZero) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",  // 1
                                      "札［5］",     // 2
                                      "",            // 3
                                      "札［0］＝99",  // 4
                                      "＃切り直し",  // 5
                                      "札［5］",     // 6
                                      "＃終了",      // 7
                                  }));
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  const std::vector<std::string> slots = NumericSlots(game);
  ASSERT_EQ(slots.size(), 6u);
  EXPECT_EQ(slots[0], "札:0:=99");
  std::vector<int> values;
  for (int i = 1; i <= 5; ++i) values.push_back(game.state().numeric_values[i]);
  std::vector<int> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_THAT(sorted, ElementsAre(1, 2, 3, 4, 5));
  // Element 5 first: 41 % 5 = 1 takes 2 from 1..5; 18467 % 4 = 3 takes 5; 6334 % 3 = 1 takes 3;
  // 26500 % 2 = 0 takes 1; 4 is left for element 1.
  EXPECT_THAT(values, ElementsAre(4, 1, 3, 5, 2));
}

TEST(Reshuffle, NamingAnEarlierElementPermutesOnlyUpToIt) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",       // 1
                                      "札［5］",          // 2
                                      "組［4］",          // 3
                                      "一",               // 4
                                      "番号［1］",        // 5
                                      "",                 // 6
                                      "札［0］＝99",      // 7
                                      "札［4］＝77",      // 8
                                      "札［5］＝88",      // 9
                                      "番号［1］＝4",     // 10
                                      "＃ランダム",       // 11 takes the draw 41
                                      "一",               // 12
                                      "32768",            // 13
                                      "＃切り直し",       // 14
                                      "札［1＋2］",       // 15 element 3
                                      "＃切り直し",       // 16
                                      "組［番号［1］］",  // 17 the outer subscript, 4, counts
                                      "＃終了",           // 18
                                  }));
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  // Element 3 first: 18467 % 3 = 2 takes 3 from 1..3; 6334 % 2 = 0 takes 1; 26500 % 1 leaves 2.
  // Then 組 from element 4: 19169 % 4 = 1 takes 2; 15724 % 3 = 1 takes 3; 11478 % 2 = 0 takes
  // 1; 4 is left.
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("札:0:=99", "札:1:=2", "札:2:=1", "札:3:=3", "札:4:=77", "札:5:=88",
                          "組:0:=0", "組:1:=4", "組:2:=1", "組:3:=3", "組:4:=2", "一=42",
                          "番号:0:=0", "番号:1:=4"));
}

TEST(Reshuffle, FaultsShuffleNothingAndDrawNothing) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",  // 1
                                      "札［5］",     // 2
                                      "",            // 3
                                      "＃切り直し",  // 4
                                      "",            // 5
                                      "＃切り直し",  // 6
                                      "札",          // 7
                                      "＃切り直し",  // 8
                                      "札［0］",     // 9
                                      "＃切り直し",  // 10
                                      "札［X］",     // 11
                                      "＃切り直し",  // 12
                                      "札［9］",     // 13
                                      "＃切り直し",  // 14
                                      "札］",        // 15
                                      "＃切り直し",  // 16
                                      "札［－2］",   // 17
                                      "＃ランダム",  // 18
                                      "札:0:",       // 19
                                      "32768",       // 20 the first draw of the game
                                      "＃終了",      // 21
                                  }));
  EXPECT_EQ(game.Run(Clicks(10)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("5\t＃切り直しで使用する\t「変数」が指定されていません",
                          "7\t変数の配列が異常です\t札",
                          "9\t変数の配列が異常です\t札［0］",
                          "11\t配列変数の中身が間違っています\t札［X］",
                          "11\t変数の配列が異常です\t札［X］",
                          "13\t該当する変数が宣言されていません\t札:9:",
                          "15\t変数の配列が異常です\t札］",
                          "17\t変数の配列が異常です\t札［－2］"));
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("札:0:=42", "札:1:=0", "札:2:=0", "札:3:=0", "札:4:=0", "札:5:=0"));
}

TEST(MachineCheck, DrawsSixFramesAndStoresTheAverage) {
  const std::string head = Lines({"＃変数宣言", "速さ", "", "速さ＝－1"});
  TestGame plain;
  plain.WriteScenario("start.st1", head + "＃終了\n");
  ASSERT_EQ(plain.Run(), 0);
  TestGame game;
  game.WriteScenario("start.st1", head + Lines({"＃マシンチェック", "速さ", "＃終了"}));
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  // One untimed frame and five timed ones; no time passes on the virtual clock while a line runs.
  EXPECT_EQ(game.backend().display.presents() - plain.backend().display.presents(), 6);
  EXPECT_THAT(NumericSlots(game), ElementsAre("速さ=0"));

  TestGame faults;
  faults.WriteScenario("start.st1", head + Lines({
                                               "＃マシンチェック",  // 5
                                               "",                  // 6
                                               "＃マシンチェック",  // 7
                                               "遅さ",              // 8
                                               "＃終了",            // 9
                                           }));
  EXPECT_EQ(faults.Run(Clicks(3)), 0);
  EXPECT_THAT(faults.Errors(),
              ElementsAre("6\tスペックを代入する変数を指定してください\t",
                          "8\t該当する変数が宣言されていません\t遅さ"));
  EXPECT_THAT(NumericSlots(faults), ElementsAre("速さ=-1"));
}

// --- What a run leaves behind ------------------------------------------------------------------

TEST(DumpVars, ListsNumericSlotsThenStringVariables) {
  TestGame game;
  game.options.dump_vars = game.Path("vars.txt");
  game.WriteScenario("start.st1", Lines({
                                      "＃変数宣言",      // 1
                                      "A",               // 2
                                      "点［1］",         // 3
                                      "",                // 4
                                      "＃変数宣言文字",  // 5
                                      "名前",            // 6
                                      "空",              // 7
                                      "",                // 8
                                      "A＝5",            // 9
                                      "点［1］＝－2",    // 10
                                      "＃文字変数代入",  // 11
                                      "名前",            // 12
                                      "太郎 と 花子",    // 13
                                      "＃終了",          // 14
                                  }));
  EXPECT_EQ(game.Run(), 0);
  EXPECT_EQ(game.ReadFile("vars.txt"),
            "num\tA\t5\nnum\t点:0:\t0\nnum\t点:1:\t-2\nstr\t名前\t太郎 と 花子\nstr\t空\t\n");
}

}  // namespace
}  // namespace tumu
