// Sub-scenarios: a scenario calls another with "＃別シナリオ" and goes on after the call when the
// other one has run off its end; the player's right button calls the game's right-click
// scenario the same way. Only the running scenario is held in the store; the call stack keeps
// file names and return lines.
#pragma once

#include <string>
#include <string_view>

namespace tumu {

struct Engine;

// The deepest level a call may reach (the start scenario is level 0).
inline constexpr int kMaxCallDepth = 95;

enum class CallMode {
  kCommand = 1,      // "＃別シナリオ", the name on the next line
  kRightButton = 2,  // the right button, the right-click scenario named earlier
};

// The file of a scenario named on a line, with the scenario folder and extension in force now.
std::string ScenarioFileName(const Engine& engine, std::string_view name_line);

// Loads the called scenario one level deeper; it starts at its first line on the next turn.
// 1 when it was loaded, 0 after a report.
int CallSubScenario(Engine& engine, CallMode mode);

// "＃別シナリオ" and "＃右クリックシナリオ".
void HandleCallScenario(Engine& engine);
void HandleRightClickScenario(Engine& engine);

// The right button: calls the right-click scenario when the game waits for a plain click outside
// every menu, transition and text block, and no right-click scenario runs yet.
void StartRightClickScenario(Engine& engine);

}  // namespace tumu
