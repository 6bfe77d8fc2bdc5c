// The branch commands, played through headless games: which label each one takes, and every
// limit and report.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_game.h"

namespace tumu {
namespace {

using testing::TestGame;

// A game that declares 値 = `value` and the string 名 = 太郎, then runs `branch` followed by the
// labels 0 .. 3 (and 50 and 100), each running the comment "//K".
std::string BranchGame(int value, const std::string& branch) {
  std::string source = "＃変数宣言\n値\n\n値＝" + std::to_string(value) +
                       "\n＃変数宣言文字\n名\n\n＃文字変数代入\n名\n太郎\n" + branch + "\n";
  for (int k : {0, 1, 2, 3, 50, 100}) {
    source += "＃" + std::to_string(k) + "\n//" + std::to_string(k) + "\n";
  }
  return source + "＃＃＃＃\n＃終了\n";
}

// The reports of the last run without their line numbers.
std::vector<std::string> Reports(const TestGame& game) {
  std::vector<std::string> reports;
  for (const std::string& error : game.Errors()) {
    reports.push_back(error.substr(error.find('\t') + 1));
  }
  return reports;
}

// Lines of the numbers from..to, one per line.
std::string Numbers(int from, int to) {
  std::string lines;
  for (int n = from; n <= to; ++n) lines += std::to_string(n) + "\n";
  return lines;
}

struct BranchCase {
  int value;
  std::string branch;
  std::string label;   // the comment of the label taken, or empty
  std::string report;  // the first report, or empty
};

TEST(Branches, EachCommandTakesItsLabelOrReports) {
  const std::string range = "＃分岐範囲\n値\n10\n20\n30\n";
  const BranchCase cases[] = {
      {5, range, "//0", ""},
      {10, range, "//1", ""},
      {19, range, "//1", ""},
      {20, range, "//2", ""},
      {30, range, "//3", ""},
      {1000, range, "//3", ""},
      {-7, "＃分岐範囲\n値＋10\n1\n4\n", "//1", ""},  // an expression on a variable: 3
      {5, "＃分岐範囲\n値\n10\n10\n", "", "範囲の大小関係が間違っています\t10"},
      {5, "＃分岐範囲\n5\n10\n", "", "＃分岐範囲の基準となる「変数」が「数」です\t5"},
      {5, "＃分岐範囲\n\n10\n", "", "＃分岐範囲で分岐の基準となる\t「変数」が指定されていません"},
      {5, "＃分岐範囲\n値\n", "",
       "区間を区切る数がありません\t（パラメータの直後にリターンがあります）"},
      {5, "＃分岐範囲\n値\n10\n値値\n", "", "ERR:該当する 値値 が宣言されていません\t値値"},
      // 99 bounds make 100 ranges; a 100th bound is one too many.
      {50, "＃分岐範囲\n値\n" + Numbers(1, 99), "//50", ""},
      {50, "＃分岐範囲\n値\n" + Numbers(1, 100), "",
       "＃分岐範囲は１００区間までです\t（区切り数は９９まで）"},
      {0, "＃分岐最大\n3\n7\n7\n", "//2", ""},
      {0, "＃分岐最大\n", "//1", ""},
      {0, "＃分岐最大\n" + Numbers(1, 100), "//100", ""},
      {0, "＃分岐最大\n" + Numbers(1, 101), "", "＃分岐範囲は１００までです\t"},
      {0, "＃分岐最大\n1\n2\n3\n4\n", "",
       "該当ラベルがありません\t＃分岐最大～＃＃＃＃をチェックしてください"},
      {0, "＃分岐文字\n名\n太郎\n", "//1", ""},
      {0, "＃分岐文字\n名\n太郎 \n", "//0", ""},
      {0, "＃分岐文字\n姓\n太郎\n", "", "該当する文字変数が宣言されていません\t姓"},
      {0, "＃分岐文字\n\n太郎\n", "", "＃分岐文字の文字変数が\t指定されていません"},
  };
  for (const BranchCase& c : cases) {
    SCOPED_TRACE(c.branch.substr(0, 40) + " with " + std::to_string(c.value));
    TestGame game;
    game.UseFakeText();
    EXPECT_EQ(game.Play(BranchGame(c.value, c.branch)), 0);
    const std::vector<std::string> reports = Reports(game);
    if (c.report.empty()) {
      EXPECT_THAT(game.RunTexts("//"), ::testing::ElementsAre(c.label));
      EXPECT_THAT(reports, ::testing::IsEmpty());
    } else {
      ASSERT_FALSE(reports.empty());
      EXPECT_EQ(reports[0], c.report);
    }
  }
}

TEST(Branches, FullWidthLabelsAreFoundAndNestedBlocksRunInside) {
  TestGame game;
  game.UseFakeText();
  // Label 2 written in full width holds a block of its own; after the label's lines the next
  // label leaves the outer block.
  std::string scenario = BranchGame(25, "＃分岐範囲\n値\n10\n20\n");
  scenario.replace(scenario.find("＃2\n"), 4,
                   "＃２\n//前\n＃分岐最大\n1\n\n＃１\n//中\n＃＃＃＃\n");
  EXPECT_EQ(game.Play(scenario), 0);
  EXPECT_THAT(game.RunTexts("//"), ::testing::ElementsAre("//前", "//中", "//2"));
  EXPECT_THAT(game.Errors(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace tumu
