#pragma once

namespace tumu {

struct Engine;

// Shows the click mark while the game waits for a plain click (not while a menu is open).
void UpdateClickMarkVisibility(Engine& engine);

}  // namespace tumu
