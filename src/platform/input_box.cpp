#include "platform/input_box.h"

#include <algorithm>

#include "platform/sjis.h"

namespace tumu {

namespace {

constexpr int kPadding = 2;  // between the border and the text

// Byte offset of the character with the given index in UTF-8 text (the end when there are fewer).
std::size_t Utf8Offset(std::string_view text, int index) {
  std::size_t pos = 0;
  for (int i = 0; i < index && pos < text.size(); ++i) {
    pos += std::max<std::size_t>(1, Utf8SequenceLength(static_cast<unsigned char>(text[pos])));
  }
  return std::min(pos, text.size());
}

}  // namespace

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

void InputBox::Open(const Rect& place) {
  open_ = true;
  place_ = place;
  text_.clear();
  text_sjis_bytes_ = 0;
  composition_.clear();
  composition_cursor_ = 0;
}

void InputBox::Close() {
  open_ = false;
  composition_.clear();
  composition_cursor_ = 0;
}

bool InputBox::Append(std::string_view utf8) {
  bool all = true;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(utf8[pos]));
    bool valid = length > 0 && pos + length <= utf8.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
      valid = (static_cast<unsigned char>(utf8[pos + i]) & 0xC0) == 0x80;
    }
    if (!valid) {
      all = false;
      ++pos;
      continue;
    }
    const std::string_view character = utf8.substr(pos, length);
    pos += length;
    const auto first = static_cast<unsigned char>(character[0]);
    if (first < 0x20 || first == 0x7F) {
      all = false;
      continue;
    }
    const std::size_t sjis_bytes = Utf8ToSjis(character).size();
    if (text_sjis_bytes_ + sjis_bytes > kMaxSjisBytes) return false;
    text_.append(character);
    text_sjis_bytes_ += sjis_bytes;
  }
  return all;
}

void InputBox::Backspace() {
  if (text_.empty()) return;
  std::size_t pos = text_.size() - 1;
  while (pos > 0 && (static_cast<unsigned char>(text_[pos]) & 0xC0) == 0x80) --pos;
  text_.erase(pos);
  text_sjis_bytes_ = Utf8ToSjis(text_).size();
}

void InputBox::SetComposition(std::string_view utf8, int cursor) {
  composition_.assign(utf8);
  composition_cursor_ = std::max(cursor, 0);
}

void InputBox::Draw(Surface565& frame, TextRenderer* renderer) const {
  if (!open_) return;
  const PixelFormat format;
  const std::uint16_t white = ColorToPixel(format, 255, 255, 255);
  const std::uint16_t black = ColorToPixel(format, 0, 0, 0);
  const std::uint16_t blue = ColorToPixel(format, 0, 0, 255);

  frame.FillRect(place_, black);
  const Rect inside{place_.x + 1, place_.y + 1, place_.width - 2, place_.height - 2};
  if (inside.width <= 0 || inside.height <= 0) return;

  // The text is set on a surface of the box's inside, so that it is cut at the border.
  Surface565 field(inside.width, inside.height);
  field.Fill(white);
  const int text_y = (inside.height - kTextHeight) / 2;
  int text_width = 0;
  int composition_width = 0;
  int caret_in_composition = 0;
  std::string sjis_text;
  std::string sjis_composition;
  if (renderer != nullptr) {
    sjis_text = Utf8ToSjis(text_);
    sjis_composition = Utf8ToSjis(composition_);
    text_width = renderer->MeasureText(sjis_text, kTextHeight);
    composition_width = renderer->MeasureText(sjis_composition, kTextHeight);
    const std::string before_cursor =
        Utf8ToSjis(std::string_view(composition_).substr(
            0, Utf8Offset(composition_, composition_cursor_)));
    caret_in_composition = renderer->MeasureText(before_cursor, kTextHeight);
  }
  const int caret = text_width + caret_in_composition;
  // Scroll left just enough that the caret stays inside.
  const int room = inside.width - 2 * kPadding - 1;
  const int x0 = kPadding - std::max(0, caret - room);
  if (renderer != nullptr) {
    renderer->DrawText(field, x0, text_y, sjis_text, kTextHeight, black, white);
    if (!sjis_composition.empty()) {
      renderer->DrawText(field, x0 + text_width, text_y, sjis_composition, kTextHeight, blue,
                         white);
      field.FillRect({x0 + text_width, text_y + kTextHeight - 1, composition_width, 1}, blue);
    }
  }
  field.FillRect({x0 + caret, text_y, 1, kTextHeight}, black);
  CopyRect(frame, inside.x, inside.y, field, WholeSurface(field));
}

}  // namespace tumu
