#include "platform/contact_sheet.h"

#include <algorithm>

namespace tumu {

namespace {

// Each thumbnail pixel is the average of a square of frame pixels, channel by channel.
Surface565 Shrink(const Surface565& frame, int factor) {
  Surface565 small(std::max(1, frame.width() / factor), std::max(1, frame.height() / factor));
  for (int y = 0; y < small.height(); ++y) {
    for (int x = 0; x < small.width(); ++x) {
      int red = 0;
      int green = 0;
      int blue = 0;
      int count = 0;
      for (int dy = 0; dy < factor && y * factor + dy < frame.height(); ++dy) {
        const std::uint16_t* row = frame.row(y * factor + dy);
        for (int dx = 0; dx < factor && x * factor + dx < frame.width(); ++dx) {
          const std::uint16_t p = row[x * factor + dx];
          red += p >> 11;
          green += (p >> 5) & 0x3F;
          blue += p & 0x1F;
          ++count;
        }
      }
      const auto average = [count](int sum) { return (sum + count / 2) / count; };
      small.set_pixel(x, y,
                      static_cast<std::uint16_t>((average(red) << 11) | (average(green) << 5) |
                                                 average(blue)));
    }
  }
  return small;
}

}  // namespace

bool ContactSheet::Add(const Surface565& frame) {
  if (frame.empty() || count() >= kMaxFrames) return false;
  thumbnails_.push_back(Shrink(frame, kShrink));
  return true;
}

Surface565 ContactSheet::Compose() const {
  if (thumbnails_.empty()) return {};
  int cell_width = 0;
  int cell_height = 0;
  for (const Surface565& t : thumbnails_) {
    cell_width = std::max(cell_width, t.width());
    cell_height = std::max(cell_height, t.height());
  }
  const int columns = std::min(count(), kColumns);
  const int rows = (count() + kColumns - 1) / kColumns;
  Surface565 sheet(kGap + columns * (cell_width + kGap), kGap + rows * (cell_height + kGap));
  sheet.Fill(0x2104);  // a dark grey between the frames
  for (int i = 0; i < count(); ++i) {
    const Surface565& t = thumbnails_[static_cast<std::size_t>(i)];
    CopyRect(sheet, kGap + (i % kColumns) * (cell_width + kGap),
             kGap + (i / kColumns) * (cell_height + kGap), t, WholeSurface(t));
  }
  return sheet;
}

}  // namespace tumu
