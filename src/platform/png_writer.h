// Frames written as PNG files: screenshots, and the frames that tests keep when a comparison fails.
#pragma once

#include <string>

#include "platform/surface565.h"

namespace tumu {

// Writes the surface as an 8-bit RGB PNG. Each 5- or 6-bit channel is widened by repeating its
// top bits, so black stays 0, the top value becomes 255, and the file shows the colours a display
// shows for the frame. On failure returns false, sets *error and leaves no file behind.
bool WritePng(const std::string& path, const Surface565& frame, std::string* error);

}  // namespace tumu
