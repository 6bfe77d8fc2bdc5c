// The save file: the game's variables and its place in the scenario, as Shift-JIS text.
//
// Players keep saves for years and carry them between machines, so the layout is fixed to the
// byte: marker lines, two lines per variable and per level of the sub-scenario stack, decimal
// numbers, CR LF line ends. Reading takes LF and CR LF alike.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tumu {

struct Engine;
struct EngineState;

inline constexpr int kMaxSaveLines = 23190;
inline constexpr int kMaxSaveLineBytes = 210;

// The save file of the game as it stands now.
std::string FormatSaveFile(const EngineState& state);

// The complete lines of a save file (bytes after the last line end form none), or the fault that
// stopped the reading.
struct SaveLines {
  enum class Fault { kNone, kTooManyLines, kLineTooLong };
  Fault fault = Fault::kNone;
  std::vector<std::string_view> lines;  // views into the bytes read, without their line ends
};
SaveLines SplitSaveLines(std::string_view bytes);

// Whether a file whose numeric section holds `numeric_count` slots fits the declared variables:
// the same number, and every declared name stands as a whole line somewhere in the file.
bool CheckSaveMatchesGame(const EngineState& state, std::int64_t numeric_count,
                          std::span<const std::string_view> lines);

// Writes the save file `name` (in the save folder). 1 when written; 0 after a report, with any
// save that was there before left as it was.
int SaveGame(Engine& engine, std::string_view name);
// Restores the variables from the save file `name` (the save folder, then the game folder) and,
// when resuming, the sub-scenario stack and the line. 1 on success; 0 after a report, with
// nothing of the game changed.
int LoadGame(Engine& engine, std::string_view name, bool resume);
// The same for the bytes of a save file already read.
int LoadGameBytes(Engine& engine, std::string_view bytes, std::string_view name, bool resume);

}  // namespace tumu
