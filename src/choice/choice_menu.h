// The choice menu: up to 27 choices in one, two or three columns in a box at (100, 200), a red
// bar under the choice the mouse is on, and a jump to the label of the choice clicked (or to
// "＃0" when the menu's time limit runs out).
#pragma once

#include <optional>
#include <string_view>

#include "platform/platform.h"

namespace tumu {

struct Engine;

// A menu or a back screen offers at most this many choices.
inline constexpr int kMostChoices = 27;

// "＃選択": lays out and draws the menu from the choice lines after the command and opens it.
void OpenChoiceMenu(Engine& engine);

// Counts the choice lines from current_line: the lines up to the first empty line or the end of
// the scenario. current_line is left on the line that ended them.
int CountListLines(Engine& engine);

// The number of the choice under a screen point, or 0.
int ChoiceAt(const Engine& engine, int x, int y);
// A screen point on choice k (1 .. choice_count) of the open menu, where a player would click it.
Point ChoicePoint(const Engine& engine, int k);
// The line of the label of hovered_choice in the block, or -1 after a report. Clears
// hovered_choice.
int ChosenChoiceLine(Engine& engine);

// Sets the time limit written between "＃時間（" and "）＃" in the command line. True when a
// valid limit was set; false after a report.
bool ParseChoiceTimeLimit(Engine& engine, std::string_view command_line);
// Run on every turn: ends a timed choice whose time has run out with a jump to "＃0".
void CheckChoiceTimeout(Engine& engine);

// The text between the first opening mark and the first closing mark after it.
std::optional<std::string_view> ExtractBetween(std::string_view text, std::string_view open,
                                               std::string_view close);

// The open menu on the back surface: its darkened box, frame, bar and texts.
void DrawChoiceMenu(Engine& engine);

}  // namespace tumu
