#include "platform/surface565.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tumu {

namespace {

int Clamp255(int v) { return std::clamp(v, 0, 255); }

// The bit position just above the mask's highest set bit: trailing zeros plus the run of ones.
int TopOfMask(std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  return shift + std::countr_one(mask >> shift);
}

std::uint32_t ChannelFromComponent(std::uint32_t mask, int component) {
  const int top = TopOfMask(mask);
  const auto c = static_cast<std::uint32_t>(Clamp255(component));
  const std::uint32_t value = top >= 8 ? c << (top - 8) : c >> (8 - top);
  return value & mask;
}

int ComponentFromChannel(std::uint32_t mask, std::uint16_t pixel) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint32_t max = mask >> shift;
  return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

// The bits of each channel that stay inside it after a right shift by `by`.
std::uint16_t ShiftMask(const PixelFormat& f, int by) {
  return static_cast<std::uint16_t>(((f.red_mask >> by) & f.red_mask) |
                                    ((f.green_mask >> by) & f.green_mask) |
                                    ((f.blue_mask >> by) & f.blue_mask));
}

// Clips a copy of source_rect to (x, y) against both surfaces. Returns false when nothing is left.
bool ClipCopy(const Surface565& dest, int& x, int& y, const Surface565& source, Rect& r) {
  if (r.x < 0) {
    x -= r.x;
    r.width += r.x;
    r.x = 0;
  }
  if (r.y < 0) {
    y -= r.y;
    r.height += r.y;
    r.y = 0;
  }
  r.width = std::min(r.width, source.width() - r.x);
  r.height = std::min(r.height, source.height() - r.y);
  if (x < 0) {
    r.x -= x;
    r.width += x;
    x = 0;
  }
  if (y < 0) {
    r.y -= y;
    r.height += y;
    y = 0;
  }
  r.width = std::min(r.width, dest.width() - x);
  r.height = std::min(r.height, dest.height() - y);
  return r.width > 0 && r.height > 0;
}

// The row loops below run over every pixel of the screen several times per frame. One build must
// run on every x86-64 machine, so each loop is also compiled for the wider vectors of newer ones,
// and the best that the machine has is chosen when the program starts.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TUMU_WIDE_VECTORS __attribute__((target_clones("default", "avx2", "arch=x86-64-v4")))
#else
#define TUMU_WIDE_VECTORS
#endif

TUMU_WIDE_VECTORS void KeyedRow(std::uint16_t* to, const std::uint16_t* from, int width,
                                std::uint16_t key) {
  for (int i = 0; i < width; ++i) {
    const std::uint16_t p = from[i];
    to[i] = p == key ? to[i] : p;
  }
}

TUMU_WIDE_VECTORS void QuarterRow(std::uint16_t* p, int width, std::uint16_t quarter) {
  for (int i = 0; i < width; ++i) p[i] = static_cast<std::uint16_t>((p[i] >> 2) & quarter);
}

TUMU_WIDE_VECTORS void HalfRow(std::uint16_t* p, int width, std::uint16_t half) {
  for (int i = 0; i < width; ++i) p[i] = static_cast<std::uint16_t>((p[i] >> 1) & half);
}

TUMU_WIDE_VECTORS void ThreeQuartersRow(std::uint16_t* p, int width, std::uint16_t half,
                                        std::uint16_t quarter) {
  for (int i = 0; i < width; ++i) {
    p[i] = static_cast<std::uint16_t>(((p[i] >> 1) & half) + ((p[i] >> 2) & quarter));
  }
}

bool ClipToSurface(const Surface565& s, Rect& r) {
  const int x0 = std::max(r.x, 0);
  const int y0 = std::max(r.y, 0);
  const int x1 = std::min(r.x + r.width, s.width());
  const int y1 = std::min(r.y + r.height, s.height());
  if (x1 <= x0 || y1 <= y0) return false;
  r = {x0, y0, x1 - x0, y1 - y0};
  return true;
}

}  // namespace

std::uint16_t ColorToPixel(const PixelFormat& format, int red, int green, int blue) {
  return static_cast<std::uint16_t>(ChannelFromComponent(format.red_mask, red) |
                                    ChannelFromComponent(format.green_mask, green) |
                                    ChannelFromComponent(format.blue_mask, blue));
}

Rgb PixelToColor(const PixelFormat& format, std::uint16_t pixel) {
  return {ComponentFromChannel(format.red_mask, pixel),
          ComponentFromChannel(format.green_mask, pixel),
          ComponentFromChannel(format.blue_mask, pixel)};
}

Surface565::Surface565(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pitch_((std::max(width, 0) + 1) & ~1),
      pixels_(static_cast<std::size_t>(pitch_) * height_) {}

Surface565& Surface565::operator=(const Surface565& other) {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  pitch_ = other.pitch_;
  color_key_ = other.color_key_;
  written_ = true;
  pixels_.resize(other.pixels_.size());
  // memcpy rather than the vector's own copy, whose memmove goes byte by byte in sanitizer builds.
  if (!pixels_.empty()) {
    std::memcpy(pixels_.data(), other.pixels_.data(), pixels_.size() * sizeof(std::uint16_t));
  }
  return *this;
}

void Surface565::RestoreFrom(const Surface565& original) {
  if (written_ || pixels_.size() != original.pixels_.size()) {
    *this = original;
  } else {
    width_ = original.width_;
    height_ = original.height_;
    pitch_ = original.pitch_;
    color_key_ = original.color_key_;
  }
  written_ = false;
}

void Surface565::Fill(std::uint16_t value) {
  written_ = true;
  std::fill(pixels_.begin(), pixels_.end(), value);
}

void Surface565::FillRect(const Rect& rect, std::uint16_t value) {
  Rect r = rect;
  if (!ClipToSurface(*this, r)) return;
  for (int y = r.y; y < r.y + r.height; ++y) std::fill_n(row(y) + r.x, r.width, value);
}

void Surface565::Release() {
  width_ = height_ = pitch_ = 0;
}

void CopyRect(Surface565& dest, int x, int y, const Surface565& source, const Rect& source_rect) {
  Rect r = source_rect;
  if (!ClipCopy(dest, x, y, source, r)) return;
  const std::size_t bytes = static_cast<std::size_t>(r.width) * sizeof(std::uint16_t);
  // Rows of two surfaces never overlap, and memcpy is the faster call (in sanitizer builds by far:
  // their memmove goes byte by byte).
  const bool same = &dest == &source;
  for (int row = 0; row < r.height; ++row) {
    std::uint16_t* to = dest.row(y + row) + x;
    const std::uint16_t* from = source.row(r.y + row) + r.x;
    if (same) {
      std::memmove(to, from, bytes);
    } else {
      std::memcpy(to, from, bytes);
    }
  }
}

void CopyRectKeyed(Surface565& dest, int x, int y, const Surface565& source,
                   const Rect& source_rect) {
  if (!source.color_key()) {
    CopyRect(dest, x, y, source, source_rect);
    return;
  }
  const std::uint16_t key = *source.color_key();
  Rect r = source_rect;
  if (!ClipCopy(dest, x, y, source, r)) return;
  for (int row = 0; row < r.height; ++row) {
    KeyedRow(dest.row(y + row) + x, source.row(r.y + row) + r.x, r.width, key);
  }
}

void DarkenRect(Surface565& surface, const PixelFormat& format, const Rect& rect, int mode) {
  if (mode >= 4) return;
  Rect r = rect;
  if (!ClipToSurface(surface, r)) return;
  if (mode <= 0) {
    surface.FillRect(r, 0);
    return;
  }
  const std::uint16_t half = ShiftMask(format, 1);
  const std::uint16_t quarter = ShiftMask(format, 2);
  for (int y = r.y; y < r.y + r.height; ++y) {
    std::uint16_t* p = surface.row(y) + r.x;
    switch (mode) {
      case 1:
        QuarterRow(p, r.width, quarter);
        break;
      case 2:
        HalfRow(p, r.width, half);
        break;
      default:
        ThreeQuartersRow(p, r.width, half, quarter);
        break;
    }
  }
}

void CrossFade(Surface565& dest, const PixelFormat& format, const Surface565& outgoing,
               const Surface565& incoming, int level) {
  if (level < 0 || level > 3) return;
  const int width = std::min({dest.width(), outgoing.width(), incoming.width()});
  const int height = std::min({dest.height(), outgoing.height(), incoming.height()});
  const std::uint16_t half = ShiftMask(format, 1);
  const std::uint16_t quarter = ShiftMask(format, 2);
  for (int y = 0; y < height; ++y) {
    const std::uint16_t* o = outgoing.row(y);
    const std::uint16_t* n = incoming.row(y);
    std::uint16_t* d = dest.row(y);
    switch (level) {
      case 0:
        std::memmove(d, o, static_cast<std::size_t>(width) * sizeof(std::uint16_t));
        break;
      case 1:
        for (int i = 0; i < width; ++i) {
          d[i] = static_cast<std::uint16_t>(((n[i] >> 2) & quarter) + ((o[i] >> 1) & half) +
                                            ((o[i] >> 2) & quarter));
        }
        break;
      case 2:
        for (int i = 0; i < width; ++i) {
          d[i] = static_cast<std::uint16_t>(((n[i] >> 1) & half) + ((o[i] >> 1) & half));
        }
        break;
      default:
        for (int i = 0; i < width; ++i) {
          d[i] = static_cast<std::uint16_t>(((o[i] >> 2) & quarter) + ((n[i] >> 1) & half) +
                                            ((n[i] >> 2) & quarter));
        }
        break;
    }
  }
}

}  // namespace tumu
