#pragma once

namespace tumu {

struct Engine;

// Shows the click mark while the game waits for a plain click (not while a menu is open).
void UpdateClickMarkVisibility(Engine& engine);
// Draws the current frame of the click mark onto the back surface while it is shown.
void DrawClickMark(Engine& engine);

}  // namespace tumu
