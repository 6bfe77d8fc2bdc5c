// The player's log (stderr) and the trace file of a run. Both are UTF-8.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tumu {

class EngineLog {
 public:
  // verbose: log everything on stderr; headless: log scenario errors on stderr even when quiet.
  EngineLog(bool verbose, bool headless) : verbose_(verbose), headless_(headless) {}

  // Opens the trace file; false when it cannot be created.
  bool OpenTrace(const std::string& path);
  bool tracing() const { return trace_ != nullptr; }
  bool verbose() const { return verbose_; }

  // Something worth knowing when --verbose is given.
  void Info(std::string_view utf8);
  // A scenario error or a failure the player should see in headless runs.
  void Error(std::string_view utf8);
  // One line of the trace file (a line end is added).
  void Trace(std::string_view utf8);

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  bool verbose_;
  bool headless_;
  std::unique_ptr<std::FILE, FileCloser> trace_;
};

}  // namespace tumu
