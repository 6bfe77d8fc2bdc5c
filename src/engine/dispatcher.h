// The keyword table and DispatchLine, which executes the scenario line at current_line.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace tumu {

struct Engine;

using CommandHandler = void (*)(Engine&);

struct CommandRow {
  enum class Match {
    kPrefix,          // the line begins with one of the forms
    kHoldsEqualSign,  // the line holds a full-width "＝" anywhere: an assignment
    kLabelLine,       // "＃" and an ASCII digit (label lines are normalised at load)
  };
  int number;  // the row's place among the keywords; 0 for the assignment test
  std::array<std::string_view, 2> forms;
  Match match;
  CommandHandler handler;  // null: a command this player does not carry out yet
};

// The keywords in the order they are tested; the first row that takes a line wins.
std::span<const CommandRow> CommandTable();
// The commands that act even inside a text, dialogue or declaration block.
std::span<const CommandRow> BlockCommandTable();
// The row of the keyword table that takes a line, or null (stage 3 only).
const CommandRow* MatchKeyword(std::string_view line);

void DispatchLine(Engine& engine);

}  // namespace tumu
