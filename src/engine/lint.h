// `tumu lint [--json] GAME_DIR`: reads every scenario of a game, from "start.st1" through the
// scenarios it calls, and tells its author what would stop or surprise the game when it runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/text_renderer.h"

namespace tumu {

struct LintFinding {
  std::string file;  // the scenario as the game names it
  int line = 0;      // counted from 1
  bool error = true;  // else a warning
  std::string message;  // UTF-8
};

// The findings for the game in game_dir, scenario by scenario in the order the game reaches them,
// line by line within each. The scenarios are walked without being played: every command is
// checked by the engine's own handlers on a game of its own, which writes no file.
std::vector<LintFinding> LintGame(const std::string& game_dir, std::unique_ptr<TextRenderer> text);

class Linter;

// Lints game after game on one engine of its own: making an engine and its surfaces takes longer
// than linting a small game. Each game's findings are as LintGame gives them.
class GameLinter {
 public:
  explicit GameLinter(std::unique_ptr<TextRenderer> text);
  ~GameLinter();
  std::vector<LintFinding> Lint(const std::string& game_dir);

 private:
  std::unique_ptr<Linter> linter_;
};

// One line per finding: "FILE:LINE: error|warning: message".
std::string FindingsAsText(const std::vector<LintFinding>& findings);
// {"findings": [{"file", "line", "severity", "message"}...], "errors": N, "warnings": N}
std::string FindingsAsJson(const std::vector<LintFinding>& findings);

// The sub-command: prints the findings; 1 when one of them is an error, 2 for bad arguments.
int RunLintCommand(const std::vector<std::string>& args);

}  // namespace tumu
