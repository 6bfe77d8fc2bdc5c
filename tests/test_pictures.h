// Bitmap files written by the tests themselves: every header field under the test's control,
// plus short ways to make whole pictures from a colour rule.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/surface565.h"

namespace tumu::testing {

using Bytes = std::vector<std::uint8_t>;

// Colours the tests use, with their 5-6-5 pixels.
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr std::uint16_t kRed565 = 0xF800;
constexpr std::uint16_t kGreen565 = 0x07E0;
constexpr std::uint16_t kBlue565 = 0x001F;
constexpr std::uint16_t kWhite565 = 0xFFFF;
constexpr std::uint16_t kBlack565 = 0x0000;
// The background of many games: one flat colour, so that darkening shows exactly.
// (200, 120, 40) is 5-6-5 (25, 30, 5) = 0xCBC5; half of each channel (12, 15, 2) = 0x61E2;
// a half plus a quarter (12 + 6, 15 + 7, 2 + 1) = 0x92C3.
constexpr Rgb kBrown{200, 120, 40};
constexpr std::uint16_t kBrown565 = 0xCBC5;
constexpr std::uint16_t kBrownHalf = 0x61E2;
constexpr std::uint16_t kBrownThreeQuarters = 0x92C3;
// The default text colour (247, 247, 247): 5-6-5 (30, 61, 30).
constexpr std::uint16_t kText565 = 0xF7BE;
// The default dialogue frame's (100, 100, 255): 5-6-5 (12, 25, 31).
constexpr std::uint16_t kFrameBlue565 = 0x633F;

inline void PutU16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutU32(Bytes& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}
inline void SetU32(Bytes& out, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Writes a bitmap file the way a paint program would, with every field under the test's control.
struct BitmapFile {
  std::uint32_t header_size = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t planes = 1;
  std::uint16_t bits = 8;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  std::vector<Rgb> palette;
  // After a header shorter than 52 bytes, else inside it.
  std::vector<std::uint32_t> masks;
  Bytes pixels;
  bool marker = false;
  // Counted from "BM"; by default the pixel data follow the colour table.
  std::optional<std::uint32_t> pixel_offset;

  Bytes Build() const {
    Bytes out;
    if (marker) out = {'Z', 'Q'};
    const std::size_t base = out.size();
    out.push_back('B');
    out.push_back('M');
    PutU32(out, 0);  // file size, set below
    PutU32(out, 0);
    PutU32(out, 0);  // pixel-data offset, set below
    const std::size_t info = out.size();
    PutU32(out, header_size);
    if (header_size == 12) {
      PutU16(out, static_cast<std::uint32_t>(width));
      PutU16(out, static_cast<std::uint32_t>(height));
      PutU16(out, planes);
      PutU16(out, bits);
    } else {
      PutU32(out, static_cast<std::uint32_t>(width));
      PutU32(out, static_cast<std::uint32_t>(height));
      PutU16(out, planes);
      PutU16(out, bits);
      PutU32(out, compression);
      PutU32(out, static_cast<std::uint32_t>(pixels.size()));
      PutU32(out, 2835);
      PutU32(out, 2835);
      PutU32(out, colours_used);
      PutU32(out, 0);
      const bool masks_inside = header_size >= 52;
      if (masks_inside) {
        for (const std::uint32_t m : masks) PutU32(out, m);
      }
      out.resize(info + std::max<std::size_t>(header_size, 4), 0);
      if (!masks_inside) {
        for (const std::uint32_t m : masks) PutU32(out, m);
      }
    }
    for (const Rgb& c : palette) {
      out.push_back(static_cast<std::uint8_t>(c.blue));
      out.push_back(static_cast<std::uint8_t>(c.green));
      out.push_back(static_cast<std::uint8_t>(c.red));
      if (header_size != 12) out.push_back(0);
    }
    SetU32(out, base + 10, pixel_offset.value_or(static_cast<std::uint32_t>(out.size() - base)));
    out.insert(out.end(), pixels.begin(), pixels.end());
    SetU32(out, base + 2, static_cast<std::uint32_t>(out.size() - base));
    return out;
  }

  // The file as bytes for TestGame::WriteFile.
  std::string Text() const {
    const Bytes bytes = Build();
    return std::string(bytes.begin(), bytes.end());
  }
};

// A 24-bit picture whose pixel (x, y), counted from the top-left, has colour(x, y); the rows are
// stored bottom-up and padded to four bytes as in any bitmap file.
inline BitmapFile Picture24(int width, int height, const std::function<Rgb(int, int)>& colour,
                            bool marker = true) {
  BitmapFile f;
  f.width = width;
  f.height = height;
  f.bits = 24;
  f.marker = marker;
  const int stride = (width * 3 + 3) / 4 * 4;
  f.pixels.assign(static_cast<std::size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = f.pixels.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      row[x * 3] = static_cast<std::uint8_t>(c.blue);
      row[x * 3 + 1] = static_cast<std::uint8_t>(c.green);
      row[x * 3 + 2] = static_cast<std::uint8_t>(c.red);
    }
  }
  return f;
}

// An 8-bit picture through a colour table: pixel (x, y) from the top-left has palette entry
// index(x, y); rows stored bottom-up.
inline BitmapFile Picture8(int width, int height, std::vector<Rgb> palette,
                           const std::function<int(int, int)>& index, bool marker = false) {
  BitmapFile f;
  f.width = width;
  f.height = height;
  f.palette = std::move(palette);
  f.marker = marker;
  const int stride = (width + 3) / 4 * 4;
  f.pixels.assign(static_cast<std::size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = f.pixels.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>(index(x, y));
  }
  return f;
}

inline BitmapFile SolidPicture(int width, int height, Rgb colour, bool marker = true) {
  return Picture24(width, height, [colour](int, int) { return colour; }, marker);
}

}  // namespace tumu::testing
