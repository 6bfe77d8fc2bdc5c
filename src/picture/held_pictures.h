// Pictures that outlive the command that loaded them: the whole picture behind each running
// scroll, and the new scene of an overlap or wipe until the transition gives it to its layer.
#pragma once

#include <array>
#include <optional>

#include "picture/bitmap_decoder.h"
#include "platform/surface565.h"

namespace tumu {

struct HeldPictures {
  // The background, the person and the foreground, in the layer order of EngineState::scroll.
  std::array<std::optional<Picture>, 3> scroll_picture;
  // The new picture of each layer, already put onto a screen-sized surface in the mask colour
  // (what it does not cover is transparent), so that every frame of the transition only copies
  // it. Empty while the layer has none.
  std::array<Surface565, 3> pending_picture;
};

}  // namespace tumu
