// The picture layers, each drawing itself onto the back surface. The order in which they are
// drawn is the frame's recipe (engine/compose.h), not theirs.
#pragma once

#include "platform/surface565.h"

namespace tumu {

struct Engine;

// The background picture, or black when none is shown. A scrolling layer first takes its window
// of the scroll picture.
void DrawBackgroundLayer(Engine& engine);
// The present frame of one of the four partial-picture slots (0..3), when it is on, onto the back
// surface or the incoming scene of a transition. Clipped to the screen.
void DrawPartialSlot(Engine& engine, int slot, Surface565& target);
// The person and the foreground in their present animation frames.
void DrawPersonLayer(Engine& engine);
void DrawForegroundLayer(Engine& engine);
// The hover picture of the back-screen choice, when one is shown.
void DrawHoverPicture(Engine& engine);
// The fade's darkening of the whole frame, when a fade is on.
void DrawFade(Engine& engine);

// A window's background on the back surface: darkened to half when translucency is on, else
// black. Clipped to the screen.
void DarkenOrBlacken(Engine& engine, const Rect& rect);

}  // namespace tumu
