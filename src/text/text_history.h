// The pages of prose the player has been shown, oldest first, for the player's backlog. It lives
// beside the game's state, not in it: nothing the game does reads it and saves do not carry it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tumu {

class TextHistory {
 public:
  // Enough to read back through a long scene; older pages are forgotten.
  static constexpr std::size_t kMaxPages = 200;
  // More rows than any window can show: a text window that never starts a new page stops being
  // recorded rather than growing without end.
  static constexpr std::size_t kMaxRowsPerPage = 64;

  using Page = std::vector<std::string>;  // rows of Shift-JIS text

  // The window was cleared for a new page.
  void StartPage();
  // A piece of text drawn on the page: the first of a row, or one more piece of the last row.
  // Empty pieces leave no row.
  void Add(bool starts_row, std::string_view sjis);

  const std::deque<Page>& pages() const { return pages_; }
  // Characters recorded so far (a two-byte character counts once).
  std::uint64_t characters() const { return characters_; }

 private:
  std::deque<Page> pages_;
  bool page_started_ = false;
  bool dropping_row_ = false;  // the row being written did not fit on its page
  std::uint64_t characters_ = 0;
};

}  // namespace tumu
