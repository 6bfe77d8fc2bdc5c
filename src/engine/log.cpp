#include "engine/log.h"

namespace tumu {

bool EngineLog::OpenTrace(const std::string& path) {
  trace_.reset(std::fopen(path.c_str(), "w"));
  return trace_ != nullptr;
}

void EngineLog::Info(std::string_view utf8) {
  if (!verbose_) return;
  std::fprintf(stderr, "tumu: %.*s\n", static_cast<int>(utf8.size()), utf8.data());
}

void EngineLog::Error(std::string_view utf8) {
  if (!verbose_ && !headless_) return;
  std::fprintf(stderr, "tumu: %.*s\n", static_cast<int>(utf8.size()), utf8.data());
}

void EngineLog::Trace(std::string_view utf8) {
  if (!trace_) return;
  std::fwrite(utf8.data(), 1, utf8.size(), trace_.get());
  std::fputc('\n', trace_.get());
  std::fflush(trace_.get());
}

}  // namespace tumu
