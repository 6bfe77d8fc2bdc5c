#pragma once

namespace tumu {

struct Engine;

// Starts the game in the engine's folder and plays it until it ends. Returns the exit status:
// 0 when the game ended, 1 when it could not start or could not go on (a scenario refused by the
// loader, an output file that cannot be written), 3 when a headless run ran out of time.
int RunGame(Engine& engine);

// The steps of a start before the main loop; false when the game cannot start. They are, in
// order: the variables, the start file, the configuration and the display (false when the game
// cannot start); the work surfaces; the start scenario.
bool StartGame(Engine& engine);
bool OpenGame(Engine& engine);
void PrepareScreen(Engine& engine);
// What PrepareScreen draws on the surfaces it made, as the game's settings ask: the colour keys,
// the default dialogue frame, the choice bar and the white person layer.
void PaintStartSurfaces(Engine& engine);
void LoadStartScenario(Engine& engine);
// Runs the main loop until the game ends; returns the exit status.
int RunMainLoop(Engine& engine);
// What a run leaves behind when it ends: --dump-vars and --screenshot. False when one of them
// could not be written (each failure is said on stderr).
bool WriteRunOutputs(Engine& engine);

}  // namespace tumu
