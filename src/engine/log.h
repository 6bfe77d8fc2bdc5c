// The player's log (stderr) and the trace file of a run. Both are UTF-8.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tumu {

class EngineLog {
 public:
  // verbose: log everything on stderr; headless: log scenario errors on stderr even when quiet.
  EngineLog(bool verbose, bool headless, std::FILE* terminal = stderr)
      : verbose_(verbose), headless_(headless), terminal_(terminal) {}
  EngineLog(const EngineLog&) = delete;
  EngineLog& operator=(const EngineLog&) = delete;
  ~EngineLog() { Flush(); }

  // Opens the trace file; false when it cannot be created.
  bool OpenTrace(const std::string& path);
  bool tracing() const { return trace_ != nullptr; }
  bool verbose() const { return verbose_; }

  // Something worth knowing when --verbose is given.
  void Info(std::string_view utf8);
  // A scenario error or a failure the player should see in headless runs.
  void Error(std::string_view utf8);
  // One line of the trace file (a line end is added). The trace keeps every line.
  void Trace(std::string_view utf8);
  // Says how often each message that came again was held back (at the end of a run).
  void Flush();

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  // A game that loops can give the same message turn after turn: the terminal shows it once,
  // and Flush() tells how many more times it came.
  void Print(std::string_view utf8);

  bool verbose_;
  bool headless_;
  std::FILE* terminal_;
  std::unique_ptr<std::FILE, FileCloser> trace_;
  std::unordered_map<std::string, long> repeats_;  // message -> times held back
  std::vector<std::string> held_order_;            // messages held back, in order of the first
};

}  // namespace tumu
