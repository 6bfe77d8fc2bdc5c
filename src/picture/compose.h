#pragma once

namespace tumu {

struct Engine;

// Rebuilds the back surface from every layer and window, back to front, and presents it when
// `present` is true. Does nothing while the error screen is shown.
void Compose(Engine& engine, bool present);

}  // namespace tumu
