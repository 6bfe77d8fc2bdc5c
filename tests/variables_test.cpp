#include "vars/variables.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/sjis.h"
#include "platform/sjis_literal.h"
#include "vars/evaluator.h"
#include "vars/substitution.h"

namespace tumu {
namespace {

using namespace literals;
using ::testing::ElementsAre;

std::unique_ptr<EngineState> FreshState() {
  auto state = std::make_unique<EngineState>();
  ResetVariables(*state);
  ResetVariableIndex(*state);
  return state;
}

testing::AssertionResult SameText(std::string_view actual, std::string_view expected) {
  if (actual == expected) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "got \"" << SjisToUtf8(actual) << "\", expected \""
                                     << SjisToUtf8(expected) << "\"";
}

std::string Sj(std::string_view sjis) { return std::string(sjis); }

TEST(HashVariableName, BucketsWorkedOutByHand) {
  EXPECT_EQ(HashVariableName(""), 0);
  EXPECT_EQ(HashVariableName("A"), 65);
  EXPECT_EQ(HashVariableName("AB"), 461);  // 65 * 83 + 66 = 5461
  // 得点 is 0x93 0xBE 0x93 0x5F, counted as -109, -66, -109, 95:
  // ((-109 * 83 - 66) * 83 - 109) * 83 + 95 = -62788409 = 4232178887 mod 2^32 -> 3887.
  EXPECT_EQ(HashVariableName("得点"_sj), 3887);
  // h passes 2^32 at the sixth byte: 3122996083 * 83 + 70 = 259208674959 = 1510637199 mod 2^32.
  EXPECT_EQ(HashVariableName("ABCDEF"), 2199);
}

// The slot FindVariable gives for each name, -1 for none.
std::vector<int> Found(const EngineState& state, std::initializer_list<std::string_view> names) {
  std::vector<int> slots;
  for (std::string_view name : names) slots.push_back(FindVariable(state, name));
  return slots;
}

// Bucket 65's chain from its head, slot by slot.
std::vector<int> Chain65(const EngineState& state) {
  std::vector<int> chain;
  for (int i = state.name_hash_heads[65]; i != -1 && chain.size() < 10; i = state.name_hash_next[i]) {
    chain.push_back(i);
  }
  return chain;
}

TEST(VariableIndex, NamesOfOneBucketShareAChain) {
  auto state = FreshState();
  // A (65), xi (120 * 83 + 105 = 10065) and 04M (48 * 6889 + 52 * 83 + 77 = 335065) all fall in
  // bucket 65.
  ASSERT_EQ(HashVariableName("xi"), 65);
  ASSERT_EQ(HashVariableName("04M"), 65);
  EXPECT_EQ(AddNumericVariable(*state, "A"), 0);
  EXPECT_EQ(AddNumericVariable(*state, "B"), 1);
  EXPECT_EQ(AddNumericVariable(*state, "xi"), 2);
  EXPECT_EQ(state->numeric_count, 3);
  // The newest slot heads the chain.
  EXPECT_THAT(Chain65(*state), ElementsAre(2, 0));
  EXPECT_EQ(state->name_hash_heads[66], 1);
  // Names are compared whole, byte for byte.
  EXPECT_THAT(Found(*state, {"A", "B", "xi", "04M", "a", "A ", "Ａ"_sj}),
              ElementsAre(0, 1, 2, -1, -1, -1, -1));
}

TEST(VariableIndex, ResetEmptiesBucketsAndRebuildRestoresThem) {
  auto state = FreshState();
  AddNumericVariable(*state, "A");
  AddNumericVariable(*state, "点:0:"_sj);
  AddNumericVariable(*state, "xi");

  ResetVariableIndex(*state);
  EXPECT_THAT(Found(*state, {"A", "xi"}), ElementsAre(-1, -1));
  EXPECT_EQ(state->name_hash_heads[65], -1);

  RebuildVariableIndex(*state);
  EXPECT_THAT(Found(*state, {"A", "点:0:"_sj, "xi"}), ElementsAre(0, 1, 2));
  EXPECT_THAT(Chain65(*state), ElementsAre(2, 0));
  // A second rebuild gives the same chains, not a slot linked to itself.
  RebuildVariableIndex(*state);
  EXPECT_THAT(Chain65(*state), ElementsAre(2, 0));
  EXPECT_EQ(FindVariable(*state, "04M"), -1);

  // A restart forgets old names and values.
  state->numeric_values[0] = 7;
  state->string_names[0] = "名前"_sj;
  state->string_values[0] = "太郎"_sj;
  state->string_count = 1;
  ResetVariables(*state);
  ResetVariableIndex(*state);
  EXPECT_EQ(state->numeric_count, 0);
  EXPECT_EQ(state->string_count, 0);
  EXPECT_EQ(state->numeric_values[0], 0);
  EXPECT_TRUE(state->numeric_names[1].empty());
  EXPECT_TRUE(state->string_names[0].empty());
  EXPECT_TRUE(state->string_values[0].empty());
  // The slot that held A now holds C.
  EXPECT_EQ(AddNumericVariable(*state, "C"), 0);
  EXPECT_THAT(Found(*state, {"C", "A", "点:0:"_sj}), ElementsAre(0, -1, -1));
}

TEST(VariableIndex, AddingStopsWhenEverySlotIsTaken) {
  auto state = FreshState();
  state->numeric_count = kNumericSlots - 1;
  EXPECT_EQ(AddNumericVariable(*state, "last"), kNumericSlots - 1);
  EXPECT_EQ(FindVariable(*state, "last"), kNumericSlots - 1);
  EXPECT_EQ(AddNumericVariable(*state, "more"), -1);
  EXPECT_EQ(state->numeric_count, kNumericSlots);
  EXPECT_EQ(FindVariable(*state, "more"), -1);
}

TEST(FindStringVariable, WalksSlotsInOrder) {
  auto state = FreshState();
  state->string_names[0] = "名前"_sj;
  state->string_names[1] = "場所"_sj;
  state->string_count = 2;
  EXPECT_EQ(FindStringVariable(*state, "名前"_sj), 0);
  EXPECT_EQ(FindStringVariable(*state, "場所"_sj), 1);
  EXPECT_EQ(FindStringVariable(*state, "名"_sj), -1);
  // An empty name matches the first free slot, whose value is empty.
  EXPECT_EQ(FindStringVariable(*state, ""), 2);
}

TEST(HasNameCharacter, OnlyExpressionCharactersAreNotNames) {
  // The point is not an expression character; a lead byte at the end is not a full-width digit.
  for (std::string_view text :
       {"A"_sj.view(), "得点"_sj.view(), "12a"_sj.view(), "1.5"_sj.view(), "Ａ"_sj.view(),
        "１２×３"_sj.view(), std::string_view("1\x82")}) {
    EXPECT_TRUE(HasNameCharacter(text)) << SjisToUtf8(text);
  }
  for (std::string_view text : {""_sj.view(), "123"_sj.view(), " \t(1+2)*3-4/5%6"_sj.view(),
                                "１２３＋（４５６）"_sj.view(), "７８９０％／＊－　"_sj.view()}) {
    EXPECT_FALSE(HasNameCharacter(text)) << SjisToUtf8(text);
  }
}

class Substitution : public testing::Test {
 protected:
  void SetUp() override {
    state_ = FreshState();
    Declare("得点"_sj, -3);
    Declare("点:2:"_sj, 9);
    Declare("得点１"_sj, 4);
    Declare("メ"_sj, 1);
  }
  void Declare(std::string_view name, std::int32_t value) {
    state_->numeric_values[AddNumericVariable(*state_, name)] = value;
  }
  std::string Substitute(std::string_view expression) {
    return SubstituteVariableValues(*state_, expression);
  }
  std::unique_ptr<EngineState> state_;
};

TEST_F(Substitution, NamesBecomeParenthesisedValues) {
  EXPECT_EQ(Substitute("10-得点"_sj), "10-(-3)");
  EXPECT_EQ(EvaluateExpression(Substitute("10-得点"_sj)), "13.000000");
  EXPECT_EQ(Substitute("点:2:*2"_sj), "(9)*2");
  EXPECT_EQ(Substitute("得点 得点\t得点"_sj), "(-3) (-3) (-3)");
  // Full-width digits belong to a name; full-width operators end it.
  EXPECT_EQ(Substitute("得点１＋得点"_sj), "(4)+(-3)");
  EXPECT_EQ(EvaluateExpression(Substitute("得点１＊（得点－１）"_sj)), "-16.000000");
  state_->numeric_values[0] = -2147483647 - 1;
  EXPECT_EQ(Substitute("得点"_sj), "(-2147483648)");
}

TEST_F(Substitution, FullWidthDigitsAndOperatorsBecomeHalfWidth) {
  EXPECT_EQ(Substitute("１２３４５６７８９０"_sj), "1234567890");
  EXPECT_EQ(Substitute("（１＋２）＊３－４／５％６"_sj), "(1+2)*3-4/5%6");
  EXPECT_EQ(Substitute("　1\t+ 2"_sj), " 1 + 2");
  EXPECT_EQ(Substitute(""), "");
}

TEST_F(Substitution, UndeclaredNameIsNamedInTheMessage) {
  EXPECT_TRUE(SameText(Substitute("10-残り"_sj), "ERR:該当する 残り が宣言されていません"_sj));
  // A point starts a name, so decimal fractions cannot be written.
  EXPECT_TRUE(SameText(Substitute("1.5"), "ERR:該当する .5 が宣言されていません"_sj));
  // The full-width blank belongs to a name.
  EXPECT_TRUE(
      SameText(Substitute("得点　＋１"_sj), "ERR:該当する 得点　 が宣言されていません"_sj));
  // The walk stops at the first undeclared name.
  EXPECT_TRUE(SameText(Substitute("A+B"), "ERR:該当する A が宣言されていません"_sj));
}

TEST_F(Substitution, NameEndsAtAnOperatorPairEvenInsideACharacter) {
  // メ is 0x83 0x81; with "i" (0x69) after it, its second byte and the "i" read as （ (0x81 0x69),
  // so the name is the lone first byte.
  EXPECT_TRUE(SameText(Substitute("メi"_sj),
                       Sj("ERR:該当する "_sj) + "\x83" + Sj(" が宣言されていません"_sj)));
  EXPECT_EQ(Substitute("メ+1"_sj), "(1)+1");
}

TEST_F(Substitution, ExpansionHolds255Bytes) {
  EXPECT_EQ(Substitute(std::string(255, '7')), std::string(255, '7'));
  EXPECT_TRUE(SameText(Substitute(std::string(256, '7')), "ERR:計算式が長すぎます"_sj));
  // 得点 (4 bytes) becomes (-3) (4 bytes); 得点１ (6 bytes) becomes (4) (3 bytes).
  EXPECT_EQ(Substitute(std::string(251, ' ') + Sj("得点"_sj)), std::string(251, ' ') + "(-3)");
  EXPECT_TRUE(SameText(Substitute(std::string(252, ' ') + Sj("得点"_sj)),
                       "ERR:計算式が長すぎます"_sj));
  std::string many;
  for (int i = 0; i < 60; ++i) many += Sj("得点+"_sj);
  EXPECT_TRUE(SameText(Substitute(many), "ERR:計算式が長すぎます"_sj));
}

}  // namespace
}  // namespace tumu
