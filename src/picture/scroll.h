// Scrolls: the background, the person or the foreground shows a 640 x 480 window that moves over
// a larger picture, wrapping around its edges or stopping at them, until a click stops it.
#pragma once

#include "picture/bitmap_decoder.h"
#include "platform/surface565.h"

namespace tumu {

struct Engine;

// The scroll command of a layer (kBackgroundLayer, kPersonLayer, kForegroundLayer): starts the
// scroll, or with "クリック" in its line waits for the click that stops it.
void RunScrollCommand(Engine& engine, int layer);

// The click that a scroll of the layer waits for: stops it there and stores the window's
// position in the variables named on the lines after the command.
void ScrollClick(Engine& engine, int layer);

// Moves every running scroll one step on.
void AdvanceScrolls(Engine& engine);

// Before a scrolling layer is drawn: its window of the scroll picture into the layer's surface.
void RedrawScrollingLayer(Engine& engine, int layer, Surface565& layer_surface);

// Draws the 640 x 480 window at (x, y) of the picture into the surface, with one wrapped copy to
// the right, one below and one diagonally where the window passes the picture's edges.
void DrawScrollPicture(Surface565& surface, int x, int y, const Picture& picture);

}  // namespace tumu
