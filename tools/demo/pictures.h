// The demo's pictures, all drawn in code.
#pragma once

#include <functional>
#include <string>

#include "demo/bitmap_file.h"
#include "demo/canvas.h"

namespace demo {

// Receives each finished picture with its name as the scenarios write it (UTF-8).
using PictureSink = std::function<void(const std::string& name, const Canvas&, Layer)>;

// Backgrounds: the title sky, the harbour at dusk and at night, the street (wider than the screen,
// for the scroll), the square with its back screen, the attic, the lighthouse from below and from
// its top.
void DrawBackgrounds(const PictureSink& emit);

// Everything drawn over a background: Mio and her animation frames, the partial-picture strips,
// the click mark, the dialogue frame, the wipe masks, the falling stars, the constellations, the
// darkness of the attic and the hover pictures of the square.
void DrawFigures(const PictureSink& emit);

}  // namespace demo
