// The keyword table and DispatchLine, which executes the scenario line at current_line.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace tumu {

struct Engine;
struct EngineState;

using CommandHandler = void (*)(Engine&);

struct CommandRow {
  enum class Match {
    kPrefix,          // the line begins with one of the forms
    kHoldsEqualSign,  // the line holds a full-width "＝" anywhere: an assignment
    kLabelLine,       // "＃" and an ASCII digit (label lines are normalised at load)
  };
  // What a command does beyond acting on the game's state and reading its argument lines, so
  // that a tool can walk a scenario without playing it (the author's lint).
  enum class Flow {
    kInPlace,            // goes on after its argument lines
    kJump,               // "＃GO": to the named label on the next line
    kLabelReached,       // a label line reached in sequence: leaves its block
    kChoice,             // choices up to an empty line, each to its label ＃1, ＃2, ...
    kBackScreenChoice,   // a picture, then colours up to an empty line, each to its label
    kBranchByRange,      // a value, then bounds up to an empty line: labels ＃0 ... ＃bounds
    kBranchToLargest,    // values up to an empty line: labels ＃1 ... ＃values
    kBranchByText,       // a string variable and a text: labels ＃0 and ＃1
    kCall,               // plays the scenario named on the next line
    kSave,               // writes the save file named on the next line
    kLoad,               // reads the save file named on the next line
    kCdTrack,            // plays a CD track; "確認" jumps to a label when there is no disc
    kDeclaration,        // opens a declaration block
    kEnd,                // ends the program
    kWritesDump,         // writes a file of its own
  };
  int number;  // the row's place among the keywords; 0 for the assignment test
  std::array<std::string_view, 2> forms;
  Match match;
  CommandHandler handler;  // null: a command this player does not carry out yet
  Flow flow = Flow::kInPlace;
};

// The keywords in the order they are tested; the first row that takes a line wins.
std::span<const CommandRow> CommandTable();
// The commands that act even inside a text, dialogue or declaration block.
std::span<const CommandRow> BlockCommandTable();
// The row of the keyword table that takes a line, or null (stage 3 only).
const CommandRow* MatchKeyword(std::string_view line);

// The row whose handler DispatchLine runs for a line, given the blocks open now; null for an
// empty line, a line of an open block and a line that matches nothing.
const CommandRow* CommandOfLine(const EngineState& state, std::string_view line);

void DispatchLine(Engine& engine);

}  // namespace tumu
