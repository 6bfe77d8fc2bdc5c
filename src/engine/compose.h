// The frame's recipe: which layer, window, menu and effect is drawn onto the back surface in
// which order. Each of them draws only itself; this is the one place that knows the order.
#pragma once

namespace tumu {

struct Engine;

// Rebuilds the back surface from every layer and window, back to front, and presents it when
// `present` is true. Does nothing while the error screen is shown.
void Compose(Engine& engine, bool present);

// While an overlap or wipe runs: builds the incoming scene (the layers with their new pictures)
// on the incoming surface, and keeps the outgoing scene, composed so far on the back surface, on
// the work surface.
void ComposeIncoming(Engine& engine);

}  // namespace tumu
