#include "text/text_history.h"

#include "platform/sjis.h"

namespace tumu {

void TextHistory::StartPage() { page_started_ = true; }

void TextHistory::Add(bool starts_row, std::string_view sjis) {
  if (sjis.empty()) return;
  // A page is kept once something is written on it, so that clearing alone leaves no empty page.
  if (page_started_ || pages_.empty()) {
    page_started_ = false;
    pages_.emplace_back();
    if (pages_.size() > kMaxPages) pages_.pop_front();
    starts_row = true;
  }
  for (std::size_t pos = 0; pos < sjis.size(); pos += CharLength(sjis, pos)) ++characters_;
  Page& page = pages_.back();
  if (starts_row || page.empty()) {
    dropping_row_ = page.size() == kMaxRowsPerPage;
    if (!dropping_row_) page.emplace_back();
  }
  if (!dropping_row_) page.back() += sjis;
}

}  // namespace tumu
