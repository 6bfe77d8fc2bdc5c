// The store's label and block index against plain walks of the lines: every search must give the
// line that the walk from the start gives, in odd scenarios and in many random ones.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/scenario.h"
#include "fake_text_renderer.h"
#include "label_scan.h"
#include "platform/headless/headless_platform.h"
#include "test_game.h"

namespace tumu {
namespace {

using testing::ScanFindInBlock;
using testing::ScanFindLabel;
using testing::Sjis;

// An engine that only loads scenarios (plain text, normalised as after any load).
class Store {
 public:
  Store() : backend_(HeadlessOptions{}) {
    Options options;
    options.headless = true;
    engine_ = std::make_unique<Engine>(backend_.platform(),
                                       std::make_unique<testing::FakeTextRenderer>(), options);
  }
  void Load(const std::string& utf8_source) {
    const std::string sjis = Sjis(utf8_source);
    ASSERT_EQ(LoadScenarioBytes(*engine_,
                                {reinterpret_cast<const std::uint8_t*>(sjis.data()), sjis.size()},
                                "start.st1"),
              1);
  }
  Engine& engine() { return *engine_; }
  EngineState& state() { return engine_->state; }

  // Every search from every line, for every line text and a few more, at every level that
  // matters, against the walk. Returns the number of searches compared.
  int CompareEverySearch(const std::vector<std::string>& extra_targets = {}) {
    const ScenarioStore& store = state().scenario_buffer;
    const int line_count = state().line_count;
    std::set<std::string> targets(extra_targets.begin(), extra_targets.end());
    for (int i = 0; i < line_count; ++i) targets.emplace(store[static_cast<std::size_t>(i)].view());
    int compared = 0;
    for (const std::string& target : targets) {
      EXPECT_EQ(store.FindLabel(target, line_count), ScanFindLabel(store, target, line_count))
          << SjisToUtf8(target);
      for (int from = -3; from <= line_count + 1; ++from) {
        for (int level : {-2, -1, 0, 1}) {
          state().current_line = from;
          const int indexed = FindInBlock(engine(), target, level);
          const int scanned = ScanFindInBlock(store, target, from, level, line_count);
          if (indexed != scanned) {
            ADD_FAILURE() << "target " << SjisToUtf8(target) << " from " << from << " level "
                          << level << ": " << indexed << " instead of " << scanned;
            return compared;
          }
          ++compared;
        }
      }
    }
    return compared;
  }

 private:
  HeadlessPlatform backend_;
  std::unique_ptr<Engine> engine_;
};

TEST(LabelIndex, GivesTheLineOfThePlainSearchInOddScenarios) {
  const std::string cases[] = {
      // Duplicate labels and names: the first from the top wins.
      "＃ラベル\n甲\n＃ラベル\n甲\n＃選択\n＃1\n＃1\n＃＃＃＃\n＃1\n",
      // Labels inside nested blocks, block ends with comments, openers of every kind.
      "＃選択\nはい\nいいえ\n\n＃1\n＃分岐範囲\n＃1\n＃2\n＃＃＃＃ 内\n＃2\n＃選択裏画面\n＃2\n"
      "＃＃＃＃\n＃＃＃＃ 外\n＃2\n",
      // Full-width and mixed digits, a label line with words behind it, a name that is a label.
      "＃１２　遠く\n＃1２ここ\n＃ラベル\n＃１\n＃GO\n＃1\n＃０\n＃0\n",
      // Names with trailing blanks (ASCII and full-width) are other names.
      "＃ラベル\n名 \n＃ラベル\n名　\n＃ラベル\n名\n",
      // A name and a label on the last line of the file, without a line end.
      "＃選択\n＃＃＃＃\n＃ラベル\n最後",
      "＃分岐\n\n＃3",
      // More block ends than openers, an opener never closed, an empty label name.
      "＃＃＃＃\n＃1\n＃＃＃＃\n＃選択\n＃1\n＃ラベル\n\n＃ラベル\n",
      // A "＃ラベル" line as the name of another, and a name line right at the first line.
      "名\n＃ラベル\n＃ラベル\n名\n",
      "",
  };
  for (const std::string& source : cases) {
    SCOPED_TRACE(source);
    Store store;
    store.Load(source);
    EXPECT_GT(store.CompareEverySearch({Sjis("＃1"), Sjis("＃＃＃＃"), Sjis("名"), ""}), 0);
  }
}

TEST(LabelIndex, GivesTheLineOfThePlainSearchInRandomScenarios) {
  const std::vector<std::string> vocabulary = {
      "＃選択",  "＃分岐範囲", "＃分岐最大", "＃＃＃＃", "＃＃＃＃ 注", "＃1",     "＃１",
      "＃2",     "＃２x",      "＃10",       "＃ラベル", "＃ラベル 注", "甲",      "甲 ",
      "乙",      "＃GO",       "",           "",         "地の文",      "＃選択裏画面"};
  std::mt19937 random(1234);
  int compared = 0;
  for (int round = 0; round < 40; ++round) {
    std::string source;
    const int lines = static_cast<int>(random() % 120);
    for (int i = 0; i < lines; ++i) source += vocabulary[random() % vocabulary.size()] + "\n";
    SCOPED_TRACE(source);
    Store store;
    store.Load(source);
    compared += store.CompareEverySearch();
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(compared, 10000);
}

TEST(LabelIndex, FollowsEveryChangeOfTheStore) {
  Store store;
  store.Load("＃ラベル\n甲\n＃1\n＃＃＃＃\n");
  EngineState& s = store.state();
  EXPECT_EQ(FindLabel(store.engine(), Sjis("甲")), 1);

  // A slot written directly, and a shorter line count.
  s.scenario_buffer.Edit(1).assign(Sjis("乙"));
  EXPECT_EQ(FindLabel(store.engine(), Sjis("甲")), -1);
  EXPECT_EQ(FindLabel(store.engine(), Sjis("乙")), 1);
  s.current_line = 0;
  EXPECT_EQ(FindInBlock(store.engine(), Sjis("＃1"), 0), 2);
  s.line_count = 2;
  EXPECT_EQ(FindInBlock(store.engine(), Sjis("＃1"), 0), -1);

  // Another scenario loaded over it.
  store.Load("\n\n＃ラベル\n甲\n");
  EXPECT_EQ(FindLabel(store.engine(), Sjis("甲")), 3);
  EXPECT_EQ(FindLabel(store.engine(), Sjis("乙")), -1);
}

TEST(LabelIndex, SearchesReachTheLastSlotOfTheStore) {
  Store store;
  EngineState& s = store.state();
  s.scenario_buffer.Clear();
  const std::size_t last = kScenarioSlots - 1;
  s.scenario_buffer.Edit(last - 3).assign(Sjis("＃選択"));
  s.scenario_buffer.Edit(last - 2).assign(Sjis("＃ラベル"));
  s.scenario_buffer.Edit(last - 1).assign(Sjis("＃1"));
  s.scenario_buffer.Edit(last).assign(Sjis("＃＃＃＃"));
  s.line_count = kScenarioSlots + 10;  // never read past the store
  EXPECT_EQ(FindLabel(store.engine(), Sjis("＃1")), kScenarioSlots - 2);
  s.current_line = kScenarioSlots - 4;
  EXPECT_EQ(FindInBlock(store.engine(), Sjis("＃1"), 0), kScenarioSlots - 2);
  EXPECT_EQ(FindInBlock(store.engine(), Sjis("＃＃＃＃"), -1), kScenarioSlots - 1);
  s.current_line = kScenarioSlots - 1;
  EXPECT_EQ(FindInBlock(store.engine(), Sjis("＃＃＃＃"), -1), -1);
}

}  // namespace
}  // namespace tumu
