// Japanese text drawn onto our surfaces: FreeType glyphs of a Gothic font, found through
// fontconfig. Glyphs are monochrome, so a text drawn over a surface's colour key leaves every
// pixel either the text colour or the background colour, and the key stays exact.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/surface565.h"

namespace tumu {

// What a freshly taken drawing context uses when nothing is selected (the error screen writes
// with it): this font 16 pixels high, black text on an opaque white background.
inline constexpr int kDefaultFontHeight = 16;
inline constexpr std::uint16_t kDefaultTextPixel = 0x0000;
inline constexpr std::uint16_t kDefaultBackgroundPixel = 0xFFFF;

class TextRenderer {
 public:
  virtual ~TextRenderer() = default;

  // Opens font_path, or when it is empty the Japanese Gothic font that fontconfig finds.
  // Returns null and sets *error when no usable font is found.
  static std::unique_ptr<TextRenderer> Open(const std::string& font_path, std::string* error);

  // The file the glyphs come from.
  virtual const std::string& font_file() const = 0;

  // Draws a Shift-JIS text with the top-left corner of its character cells at (x, y), the cells
  // pixel_height high, in opaque mode: the text's box (its measured width by pixel_height) is
  // filled with background, then the glyphs are set in foreground. Ink that reaches past the box
  // is cut at the box, and everything is clipped to the surface: nothing outside the box changes.
  // Bytes that are no character take the room of a missing-glyph box. Returns the text's width
  // (0 for a height below 1).
  virtual int DrawText(Surface565& surface, int x, int y, std::string_view sjis, int pixel_height,
                       std::uint16_t foreground, std::uint16_t background) = 0;

  // The width of a Shift-JIS text as the font measures it at that height: the sum of the glyph
  // advances in whole pixels (no kerning).
  virtual int MeasureText(std::string_view sjis, int pixel_height) = 0;
};

}  // namespace tumu
