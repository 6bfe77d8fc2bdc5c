#include "vars/evaluator.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/sjis.h"
#include "platform/sjis_literal.h"
#include "test_game.h"

namespace tumu {
namespace {

using testing::Repeat;
using namespace literals;

// Byte-exact comparison of Shift-JIS texts that shows both as UTF-8 when they differ.
::testing::AssertionResult SameText(std::string_view actual, std::string_view expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got \"" << SjisToUtf8(actual) << "\" (" << actual.size()
                                     << " bytes), expected \"" << SjisToUtf8(expected) << "\" ("
                                     << expected.size() << " bytes)";
}

struct Case {
  std::string_view expression;
  std::string_view result;
};

void ExpectResults(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_TRUE(SameText(EvaluateExpression(c.expression), c.result))
        << "expression: " << SjisToUtf8(c.expression);
  }
}

std::string Sj(std::string_view sjis) { return std::string(sjis); }

TEST(EvaluateExpression, PrecedenceSignsNumbersAndGroups) {
  ExpectResults({
      {"1+2*3", "7.000000"}, {"(1+2)*3", "9.000000"}, {"10-2-3", "5.000000"}, {"7%3", "1.000000"},
      {"-7%3", "-1.000000"}, {"7/2", "3.500000"}, {"-7/2", "-3.500000"}, {"7/2*2", "7.000000"},
      {"2*3*4", "24.000000"}, {"2*(3+4)", "14.000000"}, {"((2))", "2.000000"},
      {" 1 +  2 ", "3.000000"}, {"7.9%2.9", "1.000000"}, {"-7.9%2", "-1.000000"},
      // Minus binds to the number.
      {"2*-3", "-6.000000"}, {"+5-3", "2.000000"}, {"-(2)", "-2.000000"}, {"- -3", "3.000000"},
      {"2--3", "5.000000"}, {"2- - -3", "-1.000000"}, {"0*-1", "-0.000000"},
      // A plus that opens the expression is a sign; alone it signs the end marker, which is 0.
      {"+", "0.000000"},
      // Numbers are read up to the second point.
      {"1.5.3", "1.500000"}, {"5.", "5.000000"}, {".5", "0.500000"}, {".+1", "1.000000"},
      {"007", "7.000000"},
      // Groups pass through their six-decimal text.
      {"1/3*3", "1.000000"},
      // 1/3 becomes the text 0.333333, read back as the float nearest 0.333333.
      {"(1/3)*3", "0.999999"}, {"(2/3)*3", "2.000001"},
  });
  EXPECT_EQ(IntegerAtFront(EvaluateExpression("(1/3)*3")), 0);
}

TEST(EvaluateExpression, SinglePrecision) {
  ExpectResults({
      // Above 2^20 floats are 1/8 apart, above 2^22 1/4 apart.
      {"1000000.1", "1000000.125000"}, {"4000000.3", "4000000.250000"},
      // 16777217 = 2^24 + 1 lies halfway between two floats and rounds to the even 2^24.
      {"16777217-16777216", "0.000000"}, {"16777216+1+1-16777216", "0.000000"},
      // Floats near ten million are 1 apart; halfway cases round to the even neighbour.
      {"9999999+0.5", "10000000.000000"}, {"8388609+0.5", "8388610.000000"},
      // 3.3f = 13841203 / 2^22; its square, 10.8899996852..., rounds to 11418992 / 2^20.
      {"3.3*3.3", "10.889999"},
      // 1.1f + 12.3f = 13.4000002145..., rounded to 14050919 / 2^20 = 13.4000005722...
      {"1.1+12.3", "13.400001"},
  });
  EXPECT_EQ(IntegerAtFront(EvaluateExpression("9999999+0.5")), 10000000);
}

TEST(EvaluateExpression, DivisionByZeroTestsTheStoredDivisor) {
  ExpectResults({
      {"5/0", "ERR:０で割っています"_sj}, {"5/0.000001", "ERR:０で割っています"_sj},
      // 0.00001 is stored as 0.0000099999997...: times 100000 it truncates to 0.
      {"5/0.00001", "ERR:０で割っています"_sj}, {"5/-0.00001", "ERR:０で割っています"_sj},
      // 0.00002 is stored as 0.0000199999995; 5 divided by it is 250000.006, nearest float 250000.
      {"5/0.00002", "250000.000000"}, {"5%0.5", "ERR:０では剰余できません"_sj},
      {"5%-0.9", "ERR:０では剰余できません"_sj}, {"5%0", "ERR:０では剰余できません"_sj},
  });
}

TEST(EvaluateExpression, ValuesBeyondInt32AndSinglePrecision) {
  const std::string huge = "1" + std::string(39, '0');  // beyond the largest float: infinity
  ExpectResults({
      // Remainder operands are clamped to the int32 range: 3000000000 counts as 2147483647.
      {"3000000000%7", "1.000000"}, {"-3000000000%7", "-2.000000"}, {"7%3000000000", "7.000000"},
      {"-3000000000%-1", "0.000000"},
  });
  EXPECT_EQ(EvaluateExpression("5/" + huge), "0.000000");
  EXPECT_TRUE(SameText(EvaluateExpression(huge), "ERR:絶対値が１千万を超しました"_sj));
  // Infinity times zero is not a number, which the range check refuses too.
  EXPECT_TRUE(SameText(EvaluateExpression(huge + "*0"), "ERR:絶対値が１千万を超しました"_sj));
}

TEST(EvaluateExpression, RangeCheckOnEachFlatResultAndMistakes) {
  ExpectResults({
      {"10000000", "10000000.000000"}, {"-10000000", "-10000000.000000"},
      {"10000001", "ERR:絶対値が１千万を超しました"_sj},
      {"5000000*3", "ERR:絶対値が１千万を超しました"_sj},
      // Only the final value of a flat expression is checked...
      {"20000000-15000000", "5000000.000000"},
      // ... but every group is one.
      {"(20000000)-15000000",
       "ERR:計算中に発生 ->  ERR:絶対値が１千万を超しました-15000000"_sj},
      // Mistakes.
      {"2(3)", "ERR:数字が二つ並んでいます"_sj}, {"3 4", "ERR:数字が二つ並んでいます"_sj},
      {"*3", "ERR:先頭に＊か／、％が入力されています"_sj},
      {"/3", "ERR:先頭に＊か／、％が入力されています"_sj},
      {"%3", "ERR:先頭に＊か／、％が入力されています"_sj},
      {"3-", "ERR:引き算の後が数ではありません"_sj}, {"-", "ERR:引き算の後が数ではありません"_sj},
      {"3+", "ERR:足し算の前後が数ではありません"_sj},
      {"++3", "ERR:足し算の前後が数ではありません"_sj},
      {"3%", "ERR:剰余の前後が数ではありません"_sj},
      {"3/", "ERR:割り算の前後が数ではありません"_sj},
      {"3/*2", "ERR:割り算の前後が数ではありません"_sj},
      {"3*", "ERR:掛け算の前後が数ではありません"_sj},
      {"3*/2", "ERR:掛け算の前後が数ではありません"_sj}, {"", "ERR:計算結果？"_sj},
      {"   ", "ERR:計算結果？"_sj}, {"(1+2", "ERR:カッコの数があっていません"_sj},
      {"1+2)", "ERR:カッコの数があっていません"_sj},
      {")1+2(", "ERR:閉じカッコの前にカッコがありません"_sj}, {"a", "ERR:入力時の文字ミス"_sj},
      {"1+x", "ERR:入力時の文字ミス"_sj}, {"1\t+2", "ERR:入力時の文字ミス"_sj},
      {"１+2"_sj, "ERR:入力時の文字ミス"_sj}, {"()", "ERR:計算中に発生 ->  ERR:計算結果？"_sj},
      {"(1+(x))", "ERR:計算中に発生 -> (1+ ERR:入力時の文字ミス)"_sj},
  });
}

TEST(EvaluateExpression, TextEndsAtAZeroByte) {
  EXPECT_EQ(EvaluateExpression(std::string_view("1+2\0x", 5)), "3.000000");
  EXPECT_EQ(EvaluateFlat(std::string_view("4\0*", 3)), "4.000000");
}

TEST(EvaluateFlat, AtMost200TokensWhileMinusesFoldInTheTokenArrays) {
  // 100 signs and 100 numbers: 200 tokens.
  EXPECT_EQ(EvaluateFlat(Repeat("+1", 100)), "100.000000");
  EXPECT_EQ(EvaluateExpression(Repeat("+1", 100)), "100.000000");
  // 101 numbers and 100 operators: 201 tokens.
  const std::string too_many = Repeat("1+", 100) + "1";
  EXPECT_TRUE(SameText(EvaluateFlat(too_many), "ERR:計算式が長すぎます"_sj));
  EXPECT_TRUE(SameText(EvaluateExpression(too_many), "ERR:計算式が長すぎます"_sj));
  // Blanks are not tokens.
  EXPECT_EQ(EvaluateFlat(Repeat("+ 1", 80)), "80.000000");
  // A bad character is reported before the length.
  EXPECT_TRUE(SameText(EvaluateFlat(too_many + "x"), "ERR:入力時の文字ミス"_sj));

  // Minuses fold while the token arrays hold them.
  // 202 minuses and the number fill the 203 token slots, then fold into one number.
  EXPECT_EQ(EvaluateFlat(std::string(202, '-') + "3"), "3.000000");
  EXPECT_EQ(EvaluateFlat(std::string(201, '-') + "3"), "-3.000000");
  // One more does not fit.
  EXPECT_TRUE(SameText(EvaluateFlat(std::string(203, '-') + "3"), "ERR:計算式が長すぎます"_sj));
  EXPECT_TRUE(SameText(EvaluateFlat(std::string(240, '-') + "x"), "ERR:入力時の文字ミス"_sj));
}

TEST(EvaluateExpression, WorkingTextHolds255Bytes) {
  // "(1)" becomes " 1.000000": the text grows by 6 bytes.
  EXPECT_EQ(EvaluateExpression(std::string(246, ' ') + "(1)"), "1.000000");
  EXPECT_TRUE(
      SameText(EvaluateExpression(std::string(247, ' ') + "(1)"), "ERR:計算式が長すぎます"_sj));
  std::string groups = "(1)";
  for (int i = 0; i < 59; ++i) groups += "+(1)";
  EXPECT_TRUE(SameText(EvaluateExpression(groups), "ERR:計算式が長すぎます"_sj));
  EXPECT_EQ(EvaluateExpression("(1)+(1)+(1)"), "3.000000");

  // Input past 255 bytes is dropped, parentheses included.
  EXPECT_EQ(EvaluateExpression("1+1" + std::string(252, ' ') + "x"), "2.000000");
  EXPECT_TRUE(SameText(EvaluateExpression("1+1" + std::string(251, ' ') + "x"),
                       "ERR:入力時の文字ミス"_sj));
  EXPECT_EQ(EvaluateExpression("1" + std::string(254, ' ') + ")"), "1.000000");
  EXPECT_EQ(EvaluateFlat("1+1" + std::string(252, ' ') + "+1"), "2.000000");
  EXPECT_EQ(EvaluateFlat("1+1" + std::string(250, ' ') + "+1"), "3.000000");
}

TEST(EvaluateExpression, GroupMessageIsCutTo255BytesOnACharacter) {
  const std::string prefix = Sj("ERR:計算中に発生 -> "_sj);
  // The rebuilt text is 231 blanks and the 20-byte message: 251 bytes, 271 with the prefix.
  const std::string cut_at_ascii = EvaluateExpression(std::string(230, ' ') + "(x)");
  EXPECT_TRUE(SameText(cut_at_ascii, prefix + std::string(231, ' ') + "ERR:"));
  EXPECT_EQ(cut_at_ascii.size(), 255u);
  // Three blanks fewer: byte 255 would be the first byte of 力, which is left out whole.
  const std::string cut_at_kanji = EvaluateExpression(std::string(227, ' ') + "(x)");
  EXPECT_TRUE(SameText(cut_at_kanji, prefix + std::string(228, ' ') + Sj("ERR:入"_sj)));
  EXPECT_EQ(cut_at_kanji.size(), 254u);
}

TEST(IntegerAtFront, TruncatesTowardZero) {
  EXPECT_EQ(IntegerAtFront("3.500000"), 3);
  EXPECT_EQ(IntegerAtFront("-3.500000"), -3);
  EXPECT_EQ(IntegerAtFront("0.999999"), 0);
  EXPECT_EQ(IntegerAtFront("-0.999999"), 0);
  EXPECT_EQ(IntegerAtFront("-10000000.000000"), -10000000);
  EXPECT_EQ(IntegerAtFront("+5"), 5);
  EXPECT_EQ(IntegerAtFront("12abc"), 12);
  EXPECT_EQ(IntegerAtFront(""), 0);
  EXPECT_EQ(IntegerAtFront("-"), 0);
  EXPECT_EQ(IntegerAtFront(".5"), 0);
  EXPECT_EQ(IntegerAtFront(" 5"), 0);
  EXPECT_EQ(IntegerAtFront("99999999999"), 2147483647);
  EXPECT_EQ(IntegerAtFront("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(IntegerAtFront("-99999999999"), -2147483647 - 1);
}

}  // namespace
}  // namespace tumu
