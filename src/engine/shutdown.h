#pragma once

namespace tumu {

struct Engine;

// Ends the program: silences every sound, frees the pictures, releases the display and closes
// the window; the main loop then ends at its next pass.
void ShutDown(Engine& engine);
// Writes the scenario as the engine holds it (descrambled, normalised) to "debug1.txt".
void DumpScenario(Engine& engine);

}  // namespace tumu
