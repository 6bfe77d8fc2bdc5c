#pragma once

#include "platform/platform.h"

namespace tumu {

struct Engine;

// One turn of the game: the polls, then either one scenario line, or (while something holds the
// scenario) the effects on their clock and a fresh frame.
void FrameTurn(Engine& engine);
// Stops the sounds and clears the shown state for a fresh start of the scenario.
void ResetForRestart(Engine& engine);
// Whether something holds the scenario (it runs no lines).
bool ScenarioHeld(const Engine& engine);
// What the backend needs to pace the loop after a turn.
TurnStatus ComputeTurnStatus(const Engine& engine);

}  // namespace tumu
