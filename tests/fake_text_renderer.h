// A text renderer for tests: every character is a cell (8 pixels wide for a one-byte character,
// 16 for a two-byte one) holding a solid block, so that where text lands can be checked exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sjis.h"
#include "platform/text_renderer.h"

namespace tumu::testing {

class FakeTextRenderer : public TextRenderer {
 public:
  // One DrawText call: where, how high and in which colours a text was drawn.
  struct Call {
    const Surface565* surface = nullptr;
    int x = 0;
    int y = 0;
    int height = 0;
    std::string text;
    std::uint16_t foreground = 0;
    std::uint16_t background = 0;
  };

  const std::string& font_file() const override { return file_; }

  int DrawText(Surface565& surface, int x, int y, std::string_view sjis, int pixel_height,
               std::uint16_t foreground, std::uint16_t background) override {
    drawn.emplace_back(sjis);
    calls.push_back({&surface, x, y, pixel_height, std::string(sjis), foreground, background});
    int width = 0;
    for (std::size_t pos = 0; pos < sjis.size();) {
      const std::size_t length = CharLength(sjis, pos);
      const int cell = length == 2 ? 16 : 8;
      surface.FillRect({x + width, y, cell, pixel_height}, background);
      surface.FillRect({x + width + 1, y + 2, cell - 2, pixel_height - 4}, foreground);
      width += cell;
      pos += length;
    }
    return width;
  }

  int MeasureText(std::string_view sjis, int) override {
    int width = 0;
    for (std::size_t pos = 0; pos < sjis.size(); pos += CharLength(sjis, pos)) {
      width += CharLength(sjis, pos) == 2 ? 16 : 8;
    }
    return width;
  }

  // Every Shift-JIS text drawn, in order.
  std::vector<std::string> drawn;
  std::vector<Call> calls;

 private:
  std::string file_ = "fake";
};

}  // namespace tumu::testing
