// The record of the prose pages shown, which the player's backlog reads.
#include "text/text_history.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"
#include "test_game.h"

namespace tumu {
namespace {

using testing::Sjis;
using Pages = std::vector<std::vector<std::string>>;

Pages Utf8Pages(const TextHistory& history) {
  Pages pages;
  for (const TextHistory::Page& page : history.pages()) {
    pages.emplace_back();
    for (const std::string& row : page) pages.back().push_back(SjisToUtf8(row));
  }
  return pages;
}

TEST(TextHistory, ForgetsTheOldestPagesAndStopsARunawayPage) {
  TextHistory history;
  for (std::size_t i = 0; i < TextHistory::kMaxPages + 5; ++i) {
    history.StartPage();
    history.Add(true, std::to_string(i));
  }
  ASSERT_EQ(history.pages().size(), TextHistory::kMaxPages);
  EXPECT_EQ(history.pages().front().front(), "5");
  for (std::size_t i = 0; i < TextHistory::kMaxRowsPerPage + 3; ++i) {
    history.Add(true, "row");
    history.Add(false, std::to_string(i));  // pieces of a row left out stay out
  }
  // The page's first row is "204"; then rows up to the limit.
  const TextHistory::Page& last = history.pages().back();
  EXPECT_EQ(last.size(), TextHistory::kMaxRowsPerPage);
  EXPECT_EQ(last.back(), "row" + std::to_string(TextHistory::kMaxRowsPerPage - 2));
}

// What the windows record as they draw: a dialogue page that fills up and goes on on a new page,
// a row of several styles, and a text window continued with "追加".
TEST(TextHistory, RecordsThePagesAsTheWindowsShowThem) {
  testing::TestGame game;
  game.UseFakeText();
  game.options.trace.clear();
  EXPECT_EQ(game.Play("＃変数宣言文字\n名前\n\n＃文字変数代入\n名前\n花子\n"
                      "＃セリフ\n一\n二\n三\n四\n五\n\n"
                      "＃文章\n”（名前）”さん\n＃文字 赤 追加\nようこそ\n\n"
                      "＃文章 追加\n続きの行\n\n"
                      "＃終了\n",
                      "click 1 1\nclick 1 1\nclick 1 1\nclick 1 1\n"),
            0);
  EXPECT_EQ(Utf8Pages(game.engine().text_history),
            (Pages{{"一", "二", "三", "四"}, {"五"}, {"花子さんようこそ", "続きの行"}}));
}

}  // namespace
}  // namespace tumu
