// Packaged picture files (".sb1"): the marker, then a Windows bitmap.
#pragma once

#include "demo/bytes.h"
#include "demo/canvas.h"

namespace demo {

enum class Layer {
  kOpaque,  // a background: every colour is drawn
  kKeyed,   // drawn over other layers: only kClear is transparent
};

// An 8-bit picture stored run-length compressed, with a palette of its own colours (reduced to
// 256 when it has more). On a keyed layer a colour that the 16-bit screen would turn into the
// transparent white is nudged away from it, so highlights stay visible.
Bytes PictureFile(const Canvas& canvas, Layer layer);

}  // namespace demo
