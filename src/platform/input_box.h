// The one-line text input box that a game opens to let the player type a name: its text, the
// composition of an input method, and its look, drawn over the game's frame by the backend.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/surface565.h"
#include "platform/text_renderer.h"

namespace tumu {

class InputBox {
 public:
  // The game keeps at most this many bytes of the typed text in Shift-JIS; the box takes no more,
  // so that the player sees what the game will get.
  static constexpr std::size_t kMaxSjisBytes = 79;
  static constexpr int kTextHeight = kDefaultFontHeight;

  // Opens the box empty at a place of the screen.
  void Open(const Rect& place);
  void Close();
  bool is_open() const { return open_; }
  const Rect& place() const { return place_; }

  // Adds typed UTF-8 text character by character while it fits; control characters are left out.
  // Returns false when some of it did not fit (or was not text).
  bool Append(std::string_view utf8);
  // Removes the last character (not the last byte).
  void Backspace();
  // What the input method is composing, with its cursor counted in characters; empty ends it.
  void SetComposition(std::string_view utf8, int cursor);

  const std::string& text() const { return text_; }
  const std::string& composition() const { return composition_; }

  // Draws the box onto the frame: white, a black 1-pixel border, the text in black, the
  // composition in blue and underlined, and a caret; the text scrolls to keep the caret in view.
  // Without a renderer only the box and the caret are drawn.
  void Draw(Surface565& frame, TextRenderer* renderer) const;

 private:
  bool open_ = false;
  Rect place_;
  std::string text_;
  std::size_t text_sjis_bytes_ = 0;
  std::string composition_;
  int composition_cursor_ = 0;
};

// Length in bytes of the UTF-8 sequence that starts with this byte; 0 for a byte that cannot
// start one.
std::size_t Utf8SequenceLength(unsigned char lead);

}  // namespace tumu
