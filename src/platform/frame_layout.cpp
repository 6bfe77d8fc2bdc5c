#include "platform/frame_layout.h"

#include <algorithm>

namespace tumu {

namespace {

Rect Centred(int output_width, int output_height, int width, int height) {
  return {(output_width - width) / 2, (output_height - height) / 2, width, height};
}

// The largest 4:3 rectangle that fits, centred.
Rect Fitted(int output_width, int output_height) {
  // Compare the aspects without rounding: the window is relatively taller or wider than 4:3.
  if (static_cast<long>(output_width) * kScreenHeight <=
      static_cast<long>(output_height) * kScreenWidth) {
    const int height = std::max(1, output_width * kScreenHeight / kScreenWidth);
    return Centred(output_width, output_height, output_width, height);
  }
  const int width = std::max(1, output_height * kScreenWidth / kScreenHeight);
  return Centred(output_width, output_height, width, output_height);
}

bool WholeMultiple(const Rect& target) {
  return target.width % kScreenWidth == 0 && target.height % kScreenHeight == 0 &&
         target.width / kScreenWidth == target.height / kScreenHeight;
}

}  // namespace

FrameLayout LayOutFrame(int output_width, int output_height, ScaleMode mode) {
  output_width = std::max(output_width, 1);
  output_height = std::max(output_height, 1);
  FrameLayout layout;
  if (mode == ScaleMode::kPixel) {
    const int scale = std::min(output_width / kScreenWidth, output_height / kScreenHeight);
    if (scale >= 1) {
      layout.target =
          Centred(output_width, output_height, kScreenWidth * scale, kScreenHeight * scale);
      return layout;
    }
  }
  layout.target = Fitted(output_width, output_height);
  layout.smooth = mode == ScaleMode::kSmooth || !WholeMultiple(layout.target);
  return layout;
}

Point OutputToScreen(const Rect& target, int x, int y) {
  if (target.width <= 0 || target.height <= 0) return {};
  // The game pixel drawn at an output pixel is the one under that pixel's centre, as the
  // renderer samples it.
  const auto screen = [](int offset, int size, int screen_size) {
    if (offset < 0) return 0;
    const long scaled = (2L * offset + 1) * screen_size / (2L * size);
    return static_cast<int>(std::min<long>(scaled, screen_size - 1));
  };
  return {screen(x - target.x, target.width, kScreenWidth),
          screen(y - target.y, target.height, kScreenHeight)};
}

Rect ScreenToOutput(const Rect& target, const Rect& rect) {
  const auto output = [](int value, int origin, int size, int screen_size) {
    return origin + static_cast<int>((static_cast<long>(value) * size + screen_size / 2) /
                                     screen_size);
  };
  const int left = output(rect.x, target.x, target.width, kScreenWidth);
  const int top = output(rect.y, target.y, target.height, kScreenHeight);
  const int right = output(rect.x + rect.width, target.x, target.width, kScreenWidth);
  const int bottom = output(rect.y + rect.height, target.y, target.height, kScreenHeight);
  return {left, top, right - left, bottom - top};
}

}  // namespace tumu
