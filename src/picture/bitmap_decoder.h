// Our own reader of the game's picture files: Windows bitmap files, uncompressed or run-length
// compressed, optionally behind the two-byte "ZQ" marker of packaged games.
//
// Picture files come from the game folder and are outside data: every size and offset is checked
// against the file before it is used, and a file that does not hold together is simply unreadable.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/surface565.h"

namespace tumu {

// A decoded picture: pixels in the display's 5-6-5 format, rows top-down, `width` pixels per row.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint16_t> pixels;
};

// What one picture may allocate. Scroll pictures can be several screens wide or tall, so the
// limits are generous, but a forged header cannot ask for gigabytes.
inline constexpr int kMaxPictureSide = 32768;
inline constexpr std::int64_t kMaxPicturePixels = 32LL * 1024 * 1024;

// Both decoders give nothing for a file that is unreadable: not a bitmap, headers that point
// outside the file, sizes beyond the limits above, planes other than 1, bit counts other than
// 1, 4, 8, 16, 24 and 32, compressions the game cannot show (embedded JPEG or PNG, bit fields
// other than at 16 or 32 bits, run-length data at another depth or top-down). Pixel data that
// end early are not an error: the pixels they miss are colour index 0 (black without a colour
// table), as the run-length expansion leaves the pixels its data do not reach.
//
// When `why` is given, a refusal says there why the file is unreadable, for the author.
//
// A packaged picture file (".sb1"): an optional two-byte marker "ZQ", then a bitmap file.
std::optional<Picture> DecodePackagedPicture(std::span<const std::uint8_t> file,
                                             const PixelFormat& format,
                                             std::string* why = nullptr);
// A plain bitmap file (games that are not packaged): no marker.
std::optional<Picture> DecodeBitmapFile(std::span<const std::uint8_t> file,
                                        const PixelFormat& format, std::string* why = nullptr);

// Expand run-length pixel data into `height` uncompressed rows at the standard stride
// ((bits x width + 31) / 32) x 4 bytes, the first decoded row stored first. A run that reaches the
// end of a row goes on at the start of the next; end of line, end of bitmap and delta write runs
// of colour index 0; every command is read at an even offset of `data`. RLE4 rows hold the width
// rounded up to an even number of pixels, high nibble first; RLE8 rows hold `width` pixels.
// Decoding stops after the last row, at the end of `data` or at the end of `out`, whichever
// comes first; bytes the data never reach are left as they are (the loader passes zeros).
void DecodeRle4(std::span<const std::uint8_t> data, int width, int height,
                std::span<std::uint8_t> out);
void DecodeRle8(std::span<const std::uint8_t> data, int width, int height,
                std::span<std::uint8_t> out);

// Copies the rectangle `source` of the picture to (x, y) of the surface, clipped to both
// (a plain copy, no colour key).
void DrawPicture(Surface565& dest, int x, int y, const Picture& picture, const Rect& source);

}  // namespace tumu
