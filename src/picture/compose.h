#pragma once

#include "platform/surface565.h"

namespace tumu {

struct Engine;

// Rebuilds the back surface from every layer and window, back to front, and presents it when
// `present` is true. Does nothing while the error screen is shown.
void Compose(Engine& engine, bool present);

// A window's background on the back surface: darkened to half when translucency is on, else
// black. Clipped to the screen.
void DarkenOrBlacken(Engine& engine, const Rect& rect);

}  // namespace tumu
