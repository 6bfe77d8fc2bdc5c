#include "engine/log.h"

namespace tumu {

namespace {

// Messages remembered for the count of repeats; past that many different ones, new messages are
// printed every time (a run that never repeats itself cannot flood the terminal with repeats).
constexpr std::size_t kRememberedMessages = 1024;

}  // namespace

bool EngineLog::OpenTrace(const std::string& path) {
  trace_.reset(std::fopen(path.c_str(), "w"));
  return trace_ != nullptr;
}

void EngineLog::Info(std::string_view utf8) {
  if (verbose_) Print(utf8);
}

void EngineLog::Error(std::string_view utf8) {
  if (verbose_ || headless_) Print(utf8);
}

void EngineLog::Print(std::string_view utf8) {
  const auto seen = repeats_.find(std::string(utf8));
  if (seen != repeats_.end()) {
    if (seen->second++ == 0) held_order_.push_back(seen->first);
    return;
  }
  if (repeats_.size() < kRememberedMessages) repeats_.emplace(utf8, 0);
  std::fprintf(terminal_, "tumu: %.*s\n", static_cast<int>(utf8.size()), utf8.data());
}

void EngineLog::Flush() {
  for (const std::string& message : held_order_) {
    long& count = repeats_[message];
    std::fprintf(terminal_, "tumu: %s (%ld more times)\n", message.c_str(), count);
    count = 0;
  }
  held_order_.clear();
}

void EngineLog::Trace(std::string_view utf8) {
  if (!trace_) return;
  std::fwrite(utf8.data(), 1, utf8.size(), trace_.get());
  std::fputc('\n', trace_.get());
  std::fflush(trace_.get());
}

}  // namespace tumu
