// Whole games, run headless, that declare, assign, substitute, type in and draw variables. Every
// expected value and report below is worked out by hand from the rules of the commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "test_game.h"
#include "vars/variables.h"

namespace tumu {
namespace {

using testing::Clicks;
using testing::Lines;
using testing::NumericSlots;
using testing::Repeat;
using testing::Sjis;
using testing::StringSlots;
using testing::TestGame;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// --- Declarations -------------------------------------------------------------------------------

TEST(Declarations, ScalarsArraysAndTheirFaults) {
  TestGame game;
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "A", "A", "A［3］",  // 1-4; 3: duplicate; 4: A:0: .. A:3: beside the scalar A
      "A［5］", "B［0］", "B［－2］",  // 5-7; 5: only element 0 is compared
      "C［5/2］", "N", "1.5",  // 8-10; 8: maximum 2: three elements; 10: the point makes it a name
      "123", "１２＋（３）　",  // 11-12; 12: full-width expression characters
      "＃絵", "E［3", "E］3［", "E［X］", "E［1/0］",  // 13-17; 13: a name inside the block
      "得点 ", "点［3］", "G［点［1］］",  // 18-20; 18: the blank is part of the name
      // 20: the maximum ends at the first closing bracket: 点［1, which names nothing
      "", "N＝４", "＃変数宣言", "D［N＋1］",  // 21-24; 24: maximum 5: six elements
      "F［N－4］", "", "＃絵＝7", "得点＝1", "＃終了",  // 25-29; 27: an assignment, not a picture
    }), Clicks(20)), 0);
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
                          "20\t配列の最大値の指定が間違っています\tG［点［1］］",
                          "25\t配列の最大値が０またはマイナスになりました\tF［N－4］",
                          "28\t該当する変数が宣言されていません\t得点"));
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("A=0", "A:0:=0", "A:1:=0", "A:2:=0", "A:3:=0", "C:0:=0", "C:1:=0",
                          "C:2:=0", "N=4", "1.5=0", "＃絵=7", "得点 =0", "点:0:=0", "点:1:=0",
                          "点:2:=0", "点:3:=0", "D:0:=0", "D:1:=0", "D:2:=0", "D:3:=0", "D:4:=0",
                          "D:5:=0"));
  EXPECT_EQ(game.state().declaring_numeric, 0);
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
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", name50, name51, wide25, wide26, base51 + "［3］", base52 + "［3］",  // 1-7
      base50 + "［10］", base51 + "［1＋9］", "", "＃変数宣言文字", string50, string51,  // 8-13
      "名前", "名前", "名前 ", "", base51 + "［3］＝8",  // 14-18; 16: another name
      base50 + "［10］＝9", "＃終了",  // 19-20
    }), Clicks(10)), 0);
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
      "後", "",  // 503-504; 503: the block is closed
      "＃変数宣言文字", "x", "",  // 505-507; 505: 500 is not above 500, so the block opens
      "＃終了",  // 508
    });
  TestGame game;
  EXPECT_EQ(game.Play(source, Clicks(5)), 0);
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
    EXPECT_EQ(game.Play(Lines({
        "＃変数宣言", "Z［9997］", "W［5］", "V", "", "＃変数宣言",  // 1-6; 4: the block was closed
        "＃終了",  // 7
      }), Clicks(5)), 0);
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
    EXPECT_EQ(game.Play(Lines({
        "＃変数宣言", "Z［9998］", "Y", "X", "U", "", "X＝3",  // 1-7; 3: slot 9999; 4: slot 10000
        "＃終了",  // 8
      }), Clicks(5)), 0);
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
      "＃変数宣言", "A", "", "＃変数宣言文字", "名前", "",  // 1-6; 2: no block is open
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
      "＃変数宣言", "A", "", "＃変数宣言文字", "名前", "", "A＝A＋1", "＃文字変数代入",  // 1-8
      "名前", "花子", "＃クリック待ち",  // 9-11
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
  // A, xi and 04M all fall into hash bucket 65 (65; 120 * 83 + 105; 48 * 83 * 83 + 52 * 83 + 77)
  // and keep their own values.
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "得点", "甲", "乙", "丙", "丁", "点［3］", "番号［2］", "A", "xi", "04M", "",
      "得点＝５", "得点＝得点＊２＋１", "甲＝７／２",  // 11; 3.5 -> 3
      "乙＝－７／２", "丙 ＝ 3", "点［1＋1］＝９",  // -3.5 -> -3; 点:2:
      "番号［1］＝2", "点［番号［1］＋1］＝点［2］＋1",  // 点:3: = 10
      "丁＝10－乙", "番号［0］＝1/3*3",  // 10-(-3); 1.000000
      "番号［2］＝(1/3)*3＋7",  // 7.999999
      "A＝1", "xi＝2", "04M＝3", "A＝A＋xi＊10", "＃終了",
    })), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("得点=11", "甲=3", "乙=-3", "丙=3", "丁=13", "点:0:=0", "点:1:=0",
                          "点:2:=9", "点:3:=10", "番号:0:=1", "番号:1:=2", "番号:2:=7", "A=21",
                          "xi=2", "04M=3"));
}

TEST(Assignment, FaultsAreReportedAndChangeNothingAndWhereTheDispatcherTakesTheEqualSign) {
  TestGame game;
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "甲", "点［3］", "番号［1］", "＃時間待ち", "",  // 1-6; 5: a name
      "甲＝5", "甲 乙＝1", " 甲＝1", "甲＝1=2", "甲＝1　", "点［4］＝１", "点［1＝１",  // 7-13
      "甲＝未定義＋1", "甲＝1.5", "未定義＝1",  // 14-16
      "未定義＝未定2", "点［X］＝1",  // 17-18; 17: the right side is looked at first
      "点［1/0］＝1", "甲＝点［番号［9］］", "甲＝点］1", "甲＝5000000*3",  // 19-22
      "甲＝点［－1］", "点］2［＝1", "甲＝",  // 23-25; 23: "-" ends the name 点:
      "＃時間待ち＝５", "// 甲＝1",  // 26-27; 26: an assignment, not a wait; 27: a comment
      "甲=1",  // 28 a half-width sign makes no assignment
      "ａ、", "＃文章",  // 29-30; 29: bytes 81 81 inside, not the sign ＝
      "甲＝2", "", "＃終了",  // 31-33; 31: text of the block
    }), Clicks(30)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("8\t左辺に文字が二つ以上あります\t甲 乙",
                          "9\t左辺に文字が二つ以上あります\t 甲",
                          "10\t「＝」は全角のみです\t甲＝1=2",
                          "11\tスペースに関してだけは半角にして下さい\t甲＝1　",
                          "12\t該当する変数が宣言されていません\t点:4:",
                          "13\t左辺の配列変数が閉じていません\t点［1",
                          "14\tERR:該当する 未定義 が宣言されていません\t甲＝未定義＋1",
                          "15\tERR:該当する .5 が宣言されていません\t甲＝1.5",
                          "16\t該当する変数が宣言されていません\t未定義",
                          "17\tERR:該当する 未定2 が宣言されていません\t未定義＝未定2",
                          "18\tERR:該当する X が宣言されていません\t点［X］",
                          "19\tERR:０で割っています\t点［1/0］",
                          "20\t配列変数の中身が間違っています\t点［番号:9:］",
                          "21\tERR:カッコ［　の数が足りません\t甲＝点］1",
                          "22\tERR:絶対値が１千万を超しました\t甲＝5000000*3",
                          "23\tERR:該当する 点: が宣言されていません\t甲＝点［－1］",
                          "24\t左辺の配列変数が閉じていません\t点］2［",
                          "25\tERR:計算結果？\t甲＝",
                          "28\tシナリオ上のミスです。\t甲=1",
                          "29\tシナリオ上のミスです。\tａ、"));
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("甲=5", "点:0:=0", "点:1:=0", "点:2:=0", "点:3:=0", "番号:0:=0",
                          "番号:1:=0", "＃時間待ち=5"));
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
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "a", "甲", "乙", "", "a＝－10000000", "甲＝7", "乙＝7",  // 1-8
      "甲＝" + alternating(14), "乙＝" + alternating(15),  // 9-10; 9: a - a + ... - a = 0
      "乙＝" + alternating(22), "＃終了",  // 11-12
    }), Clicks(3)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("10\tERR:計算式が長すぎます\t乙＝" + alternating(15),
                          "11\tERR:計算式が長すぎます\t乙＝" + alternating(22)));
  EXPECT_THAT(NumericSlots(game), ElementsAre("a=-10000000", "甲=0", "乙=7"));
}

// --- Substitution into text --------------------------------------------------------------------

// Runs a game whose texts are drawn by a recording renderer; gives what was drawn (UTF-8).
std::vector<std::string> RunAndRecordTexts(TestGame& game, const std::string& script) {
  game.UseFakeText();
  EXPECT_EQ(game.Run(script), 0);
  std::vector<std::string> drawn;
  for (const std::string& text : game.fake_text().drawn) drawn.push_back(SjisToUtf8(text));
  return drawn;
}

TEST(TextSubstitution, NumbersAndStringVariablesInDialogueAndVariableDisplay) {
  TestGame game;
  game.WriteScenario("start.st1", Lines({
      "＃変数宣言", "得点", "負", "大", "", "＃変数宣言文字", "名前", "自己", "甲", "乙",  // 1-10
      "", "得点＝42", "負＝－3", "大＝10000000", "＃文字変数代入", "名前",  // 11-16
      "  太郎  ", "＃文字変数代入", "自己",  // 17-19; 17: blanks are kept
      "あ”（自己）”い", "＃文字変数代入", "甲", "”（乙）”",  // 20-23; 20: names itself
      "＃文字変数代入", "乙", "”（甲）”＃（得点）＃", "＃セリフ",  // 24-27; 26: a ring through 甲
      "残り＃（得点）＃点", "”（名前）”さん", "[”（自己）”]", "”（甲）”/”（乙）”", "",  // 28-32
      "＃変数表示", "残り＃（得点）＃点", "A＃（負）＃B",  // 33-35
      "＃（大）＃|＃（－大）＃|＃（1）＃", "", "得点＝７",  // 36-38; 38: marks the display
      "＃クリック待ち", "＃終了",  // 39-40
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
      "＃変数宣言", "一", "札［2］", "", "＃変数宣言文字", "名前", "", "＃変数表示",  // 1-8
      "＃（一）＃/＃（札［1］）＃＃（札［2］）＃/”（名前）”", "",  // 9-10
      "＃ランダム", "一", "32768",  // 11-13; 11: drawn again at once
      "＃切り直し", "札［2］",  // 14-15; 14: drawn again at once
      "＃文字変数代入", "名前", "太郎",  // 16-18; 16: drawn again with the next frame
      "＃文字入力", "名前",  // 19-20; 19: the box's frames show 太郎
      "＃クリック待ち", "＃終了",  // 21-22; 21: shows what was typed
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
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言文字", "名前", "", "＃変数宣言", "配［1］", "", "＃文章",  // 1-7
      "残り＃（得点）点", "残り）＃＃（得点", "＃（無い）＃", "”（無名）”", "”（名前",  // 8-12
      "）”x”（名前）”", "＃（1/0）＃", "＃（配［2］）＃",  // 13-15
      "＃（配［配［1］］）＃", "＃（）＃",  // 16-17; 16: 配:0: is declared
      "”（）”", "", "＃終了",  // 18-20; 18: the empty name is a free slot
    }), Clicks(15)), 0);
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
    EXPECT_EQ(game.Play(Lines({
        "＃変数宣言", "待ち", "間［3］", "番号［1］", "", "待ち＝100", "間［2］＝300",  // 1-7
        "番号［1］＝2", "＃時間待ち", "待ち＊２", "＃時間待ち",  // 8-11; 10: 200 ms
        "間［番号［1］］", "＃終了",  // 12-13; 12: 300 ms
      })), 0);
    EXPECT_THAT(game.Errors(), IsEmpty());
    // Each wait ends on the first turn after its time has passed: 201 + 301 ms.
    EXPECT_GE(game.backend().clock.now(), 502u);
    EXPECT_LE(game.backend().clock.now(), 504u);
  }
  {
    TestGame game;
    EXPECT_EQ(game.Play(Lines({
        "＃時間待ち", "無い", "＃時間待ち", "配［9］", "＃時間待ち", "配［X］", "＃終了",  // 1-7
      }), Clicks(5)), 0);
    EXPECT_THAT(game.Errors(),
                ElementsAre("2\tERR:該当する 無い が宣言されていません\t無い",
                            "4\tERR:該当する 配:9: が宣言されていません\t配［9］",
                            "6\t配列変数の中身が間違っています\t配［X］"));
  }
}

// --- String commands and text input ------------------------------------------------------------

TEST(StringCommands, ActInsideDeclarationBlocksAndReportTheirFaults) {
  TestGame game;
  game.options.window_mode = 1;
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言文字", "名前", "＃文字入力", "名前", "場所", "",  // 1-6; 3: a command, not a name
      "＃変数宣言", "数", "＃文字変数代入", "場所", " 東京 ", "",  // 7-12; 11: blanks are kept
      "＃文字変数代入", "", "＃文字変数代入", "誰", "", "＃文字変数代入", "名前", "",  // 13-20
      "＃終了",  // 21
    }), "type 太郎\n" + Clicks(5)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("14\t＃文字変数代入の文字変数が\t指定されていません",
                          "16\t該当する変数（文字）が宣言されていません\t誰",
                          "20\t「＃文字変数代入」の\t代入する文字が指定されていません"));
  EXPECT_THAT(StringSlots(game), ElementsAre("名前=太郎", "場所= 東京 "));
  EXPECT_THAT(NumericSlots(game), ElementsAre("数=0"));
}

TEST(TextInput, TheScenarioWaitsForEnterAndTypedTextIsStoredUpToSeventyNineBytes) {
  TestGame game;
  game.options.window_mode = 1;
  game.WriteScenario("start.st1", Lines({
      "＃変数宣言文字", "名前", "空", "長", "全角", "混ぜ", "外字", "", "＃文字変数代入",  // 1-9
      "空", "前の値", "＃文字入力", "名前", "＃文字入力", "空", "＃文字入力", "長",  // 10-17
      "＃文字入力", "全角", "＃文字入力", "外字", "＃文字入力", "混ぜ", "＃終了",  // 18-24
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

  // The scenario waits for enter.
  game.options.window_mode = 1;
  game.WriteScenario("start.st1", Lines({
      "＃変数宣言文字", "名前", "", "＃文字入力", "名前", "＃終了",  // 1-6
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
    EXPECT_EQ(game.Play(Lines({
        "＃変数宣言文字", "名前", "", "＃文字入力", "名前",  // 1-5; 5: runs as a line of its own
        "＃終了",  // 6
      }), "type 無視される\n" + Clicks(3)), 0);
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
    EXPECT_EQ(game.Play(Lines({
        "＃文字入力", "誰", "＃終了",  // 1-3
      }), Clicks(2)), 0);
    EXPECT_THAT(game.Errors(), ElementsAre("2\t該当する文字変数が宣言されていません\t誰"));
    EXPECT_FALSE(game.backend().text_input.IsOpen());
  }
}

// --- Random numbers, reshuffle, machine check ----------------------------------------------------

TEST(Random, FaultsStoreAndDrawNothingThenDrawsComeFromTheSeededGenerator) {
  // Seeded with 1, the generator gives 41, 18467, 6334, 26500, 19169.
  TestGame game;
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "一", "二", "三", "四", "五", "点［2］", "", "五＝－5",  // 1-9
      "＃ランダム", "", "＃ランダム", "点［2］", "",  // 10-14; 13: brackets are not expanded here
      "＃ランダム", "五", "", "＃ランダム", "五", "0", "＃ランダム", "五", "1－4",  // 15-23
      "＃ランダム", "五", "X",  // 24-26
      "＃ランダム", "一", "32768", "＃ランダム", "二", "３２７６８",  // 27-32; 29: the first draw
      "＃ランダム", "点:2:", "16384＊2",  // 33-35; 34: the element key, written out
      "＃ランダム", "三", "100000",  // 36-38; 38: still below 32768: 26500 + 1
      "＃ランダム", "四", "1", "＃終了",  // 39-42
    }), Clicks(10)), 0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("11\t＃ランダムで使用する\t「変数」が指定されていません",
                          "13\t該当する変数が宣言されていません\t点［2］",
                          "17\t＃ランダムで使用する\t「最大数」が指定されていません",
                          "20\t乱数の最大値は１以上にしてください\t0",
                          "23\t乱数の最大値は１以上にしてください\t1－4",
                          "26\tERR:該当する X が宣言されていません\tX"));
  EXPECT_THAT(NumericSlots(game), ElementsAre("一=42", "二=18468", "三=26501", "四=1", "五=-5",
                                              "点:0:=0", "点:1:=0", "点:2:=6335"));
}

TEST(Reshuffle, PermutesElementsOneToNUpToTheNamedOneAndFaultsShuffleNothing) {
  TestGame game;
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "札［5］", "", "札［0］＝99", "＃切り直し", "札［5］", "＃終了",  // 1-7
    })), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  // Element 5 first: 41 % 5 = 1 takes 2 from 1..5; 18467 % 4 = 3 takes 5; 6334 % 3 = 1 takes 3;
  // 26500 % 2 = 0 takes 1; 4 is left for element 1.
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("札:0:=99", "札:1:=4", "札:2:=1", "札:3:=3", "札:4:=5", "札:5:=2"));

  // Naming an earlier element permutes only up to it.
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "札［5］", "組［4］", "一", "番号［1］", "", "札［0］＝99",  // 1-7
      "札［4］＝77", "札［5］＝88", "番号［1］＝4", "＃ランダム",  // 8-11; 11: takes the draw 41
      "一", "32768", "＃切り直し", "札［1＋2］", "＃切り直し",  // 12-16; 15: element 3
      "組［番号［1］］", "＃終了",  // 17-18; 17: the outer subscript, 4, counts
    })), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  // Element 3 first: 18467 % 3 = 2 takes 3 from 1..3; 6334 % 2 = 0 takes 1; 26500 % 1 leaves 2.
  // Then 組 from element 4: 19169 % 4 = 1 takes 2; 15724 % 3 = 1 takes 3; 11478 % 2 = 0 takes
  // 1; 4 is left.
  EXPECT_THAT(NumericSlots(game),
              ElementsAre("札:0:=99", "札:1:=2", "札:2:=1", "札:3:=3", "札:4:=77", "札:5:=88",
                          "組:0:=0", "組:1:=4", "組:2:=1", "組:3:=3", "組:4:=2", "一=42",
                          "番号:0:=0", "番号:1:=4"));

  // Faults shuffle nothing and draw nothing.
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "札［5］", "", "＃切り直し", "", "＃切り直し", "札", "＃切り直し",  // 1-8
      "札［0］", "＃切り直し", "札［X］", "＃切り直し", "札［9］", "＃切り直し", "札］",  // 9-15
      "＃切り直し", "札［－2］", "＃ランダム", "札:0:",  // 16-19
      "32768", "＃終了",  // 20-21; 20: the first draw of the game
    }), Clicks(10)), 0);
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
  EXPECT_EQ(game.Play(head + Lines({"＃マシンチェック", "速さ", "＃終了"})), 0);
  EXPECT_THAT(game.Errors(), IsEmpty());
  // One untimed frame and five timed ones; no time passes on the virtual clock while a line runs.
  EXPECT_EQ(game.backend().display.presents() - plain.backend().display.presents(), 6);
  EXPECT_THAT(NumericSlots(game), ElementsAre("速さ=0"));

  TestGame faults;
  EXPECT_EQ(faults.Play(head + Lines({
      "＃マシンチェック", "", "＃マシンチェック", "遅さ", "＃終了",  // 5-9
    }), Clicks(3)), 0);
  EXPECT_THAT(faults.Errors(),
              ElementsAre("6\tスペックを代入する変数を指定してください\t",
                          "8\t該当する変数が宣言されていません\t遅さ"));
  EXPECT_THAT(NumericSlots(faults), ElementsAre("速さ=-1"));
}

// --- What a run leaves behind ------------------------------------------------------------------

TEST(DumpVars, ListsNumericSlotsThenStringVariables) {
  TestGame game;
  game.options.dump_vars = game.Path("vars.txt");
  EXPECT_EQ(game.Play(Lines({
      "＃変数宣言", "A", "点［1］", "", "＃変数宣言文字", "名前", "空", "", "A＝5",  // 1-9
      "点［1］＝－2", "＃文字変数代入", "名前", "太郎 と 花子", "＃終了",  // 10-14
    })), 0);
  EXPECT_EQ(game.ReadFile("vars.txt"),
            "num\tA\t5\nnum\t点:0:\t0\nnum\t点:1:\t-2\nstr\t名前\t太郎 と 花子\nstr\t空\t\n");
}

}  // namespace
}  // namespace tumu
