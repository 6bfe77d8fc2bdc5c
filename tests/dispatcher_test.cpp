#include "engine/dispatcher.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/sjis.h"
#include "test_game.h"

namespace tumu {
namespace {

using testing::Sjis;

int RowOf(std::string_view utf8_line) {
  const CommandRow* row = MatchKeyword(Sjis(utf8_line));
  return row == nullptr ? -1 : row->number;
}

TEST(CommandTable, HoldsEveryKeywordOnceInOrder) {
  const auto table = CommandTable();
  ASSERT_EQ(table.size(), 94u) << "93 keyword rows and the assignment test";
  std::set<int> numbers;
  int previous = 0;
  for (const CommandRow& row : table) {
    if (row.number == 0) {
      EXPECT_EQ(previous, 6) << "the assignment test stands between the jump and the time wait";
      continue;
    }
    EXPECT_EQ(row.number, previous + 1);
    previous = row.number;
    numbers.insert(row.number);
  }
  EXPECT_EQ(numbers.size(), 93u);
}

TEST(CommandTable, NoKeywordHidesALaterOne) {
  // A keyword that is a prefix of a later one would take its lines first.
  const auto table = CommandTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    for (std::size_t j = i + 1; j < table.size(); ++j) {
      if (table[i].match != CommandRow::Match::kPrefix) continue;
      for (std::string_view earlier : table[i].forms) {
        for (std::string_view later : table[j].forms) {
          if (earlier.empty() || later.empty()) continue;
          EXPECT_FALSE(StartsWith(later, earlier))
              << SjisToUtf8(earlier) << " (row " << table[i].number << ") hides "
              << SjisToUtf8(later) << " (row " << table[j].number << ")";
        }
      }
    }
  }
}

TEST(CommandTable, TellsLookAlikeKeywordsApart) {
  EXPECT_EQ(RowOf("＃音のパス"), 9);
  EXPECT_EQ(RowOf("＃音ループ"), 45);
  EXPECT_EQ(RowOf("＃音"), 47);
  EXPECT_EQ(RowOf("＃絵のパス"), 8);
  EXPECT_EQ(RowOf("＃絵オフ"), 11);
  EXPECT_EQ(RowOf("＃絵オーバーラップ"), 59);
  EXPECT_EQ(RowOf("＃絵スクロール"), 63);
  EXPECT_EQ(RowOf("＃絵 追加"), 66);
  EXPECT_EQ(RowOf("＃選択裏画面"), 41);
  EXPECT_EQ(RowOf("＃選択 ＃時間（100）＃"), 42);
  EXPECT_EQ(RowOf("＃変数宣言文字"), 36);
  EXPECT_EQ(RowOf("＃変数宣言"), 37);
  EXPECT_EQ(RowOf("＃部分絵1オフ"), 16);
  EXPECT_EQ(RowOf("＃部分絵１"), 70);
  EXPECT_EQ(RowOf("＃ＧＯ"), 6);
  EXPECT_EQ(RowOf("＃GO"), 6);
  EXPECT_EQ(RowOf("＃7"), 78);
  EXPECT_EQ(RowOf("＃＃＃＃"), 79);
  EXPECT_EQ(RowOf("＃クリックマークオフ"), 86);
  EXPECT_EQ(RowOf("＃クリック位置"), 90);
  EXPECT_EQ(RowOf("// ＃絵"), 1);
  EXPECT_EQ(RowOf("地の文"), -1);
  EXPECT_EQ(RowOf("#GO"), -1) << "the sign is full-width";
}

TEST(CommandTable, AnEqualSignTurnsACommandIntoAnAssignment) {
  EXPECT_EQ(RowOf("＃絵＝1"), 0);
  EXPECT_EQ(RowOf("得点＝得点＋１"), 0);
  EXPECT_EQ(RowOf("＃GO＝"), 6) << "the jump is tested before the assignment";
  EXPECT_EQ(RowOf("＃絵=1"), 66) << "a half-width = does not count";
  // ＝ is 0x81 0x81: a lone 0x81 second byte must not be mistaken for its start.
  EXPECT_EQ(RowOf("＃絵\x81"), 66);
}

TEST(CommandTable, BlockCommandsActInsideBlocksAndComeFirst) {
  const auto table = BlockCommandTable();
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(SjisToUtf8(table[1].forms[0]), "＃文字変数代入");
  EXPECT_EQ(SjisToUtf8(table[2].forms[0]), "＃文字入力");
  EXPECT_EQ(SjisToUtf8(table[3].forms[0]), "＃文字") << "the short keyword is tested last";
}

}  // namespace
}  // namespace tumu
