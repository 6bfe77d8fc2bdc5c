// Where the game's 640x480 frame goes in a window of any size, how it is filtered there, and how a
// point of the window maps back to a game pixel. Pure arithmetic, shared by drawing and the mouse
// so that the two can never disagree.
#pragma once

#include "platform/platform.h"

namespace tumu {

struct FrameLayout {
  Rect target;          // the frame's rectangle in output pixels; black bars around it
  bool smooth = false;  // filtered scaling rather than whole pixels
};

// pixel: the largest whole multiple that fits (a window smaller than the screen shows the whole
// frame shrunk); fit: as large as fits with the aspect kept, sharp at whole multiples and smoothed
// between them; smooth: as fit, always filtered.
FrameLayout LayOutFrame(int output_width, int output_height, ScaleMode mode);

// The game pixel drawn at an output pixel; points over the bars go to the nearest edge.
Point OutputToScreen(const Rect& target, int x, int y);
// A rectangle of the screen in output pixels (edges rounded to the nearest output pixel).
Rect ScreenToOutput(const Rect& target, const Rect& rect);

}  // namespace tumu
