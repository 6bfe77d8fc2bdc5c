// The frame's recipe: which layer, window, menu and effect is drawn onto the back surface in
// which order. Each of them draws only itself; this is the one place that knows the order.
#pragma once

namespace tumu {

struct Engine;

// Rebuilds the back surface from every layer and window, back to front, and presents it when
// `present` is true. Does nothing while the error screen is shown.
void Compose(Engine& engine, bool present);

}  // namespace tumu
