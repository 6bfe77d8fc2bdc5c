#include "platform/message_box.h"

#include <algorithm>

#include "platform/sjis.h"

namespace tumu {

namespace {

struct Choice {
  BoxAnswer answer;
  const char* label;  // UTF-8
};

// The game's questions name their buttons ("choosing No gives full screen", in Japanese), so the
// labels are the Japanese ones whatever the desktop's language.
std::vector<Choice> ChoicesOf(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::kOk:
      return {{BoxAnswer::kOk, "OK"}};
    case BoxButtons::kYesNo:
      return {{BoxAnswer::kYes, "はい"}, {BoxAnswer::kNo, "いいえ"}};
    case BoxButtons::kYesNoCancel:
      return {{BoxAnswer::kYes, "はい"}, {BoxAnswer::kNo, "いいえ"},
              {BoxAnswer::kCancel, "キャンセル"}};
  }
  return {{BoxAnswer::kOk, "OK"}};
}

// Control characters (a tab in a line of the configuration file that is shown back) would draw
// as missing-glyph boxes; they read as blanks.
std::string Printable(std::string sjis) {
  for (std::size_t pos = 0; pos < sjis.size(); pos += CharLength(sjis, pos)) {
    const auto byte = static_cast<unsigned char>(sjis[pos]);
    if (byte < 0x20 || byte == 0x7F) sjis[pos] = ' ';
  }
  return sjis;
}

bool Inside(const Rect& rect, int x, int y) {
  return x >= rect.x && y >= rect.y && x < rect.x + rect.width && y < rect.y + rect.height;
}

}  // namespace

// Greys whose red, green and blue keep the same share in 5-6-5 pixels, so that they stay grey.
MessageBoxColors BoxColors() {
  const PixelFormat format;
  return {
      .paper = ColorToPixel(format, 255, 255, 255),
      .strip = ColorToPixel(format, 247, 247, 247),
      .ink = ColorToPixel(format, 0, 0, 0),
      .button = ColorToPixel(format, 231, 231, 231),
      .button_border = ColorToPixel(format, 165, 165, 165),
      .focus = ColorToPixel(format, 229, 241, 251),
      .focus_border = ColorToPixel(format, 0, 120, 215),
      .held = ColorToPixel(format, 196, 224, 247),
  };
}

MessageBox::MessageBox(std::string_view text, BoxButtons buttons, TextRenderer& renderer)
    : renderer_(renderer) {
  BreakLines(text, kMaxWidth - 2 * kMargin);

  int text_width = 0;
  for (const std::string& line : lines_) {
    text_width = std::max(text_width, renderer_.MeasureText(line, kTextHeight));
  }
  int label_width = 0;
  for (const Choice& choice : ChoicesOf(buttons)) {
    Button button;
    button.answer = choice.answer;
    button.label = Utf8ToSjis(choice.label);
    label_width = std::max(label_width, renderer_.MeasureText(button.label, kTextHeight));
    buttons_.push_back(std::move(button));
  }
  // Buttons of one width look like one row.
  const int button_width = std::max(kMinButtonWidth, label_width + 2 * kMargin);
  for (Button& button : buttons_) button.place = {0, 0, button_width, kButtonHeight};
  const int count = static_cast<int>(buttons_.size());
  const int row_width = count * button_width + (count - 1) * kButtonGap;

  // Not widened for the caption: the title bar is the desktop's, drawn at its own size whatever
  // the box's scale, and it shortens a long caption by itself.
  width_ = std::max(text_width, row_width) + 2 * kMargin;
  width_ = std::clamp(width_, kMinWidth, kMaxWidth);
  const int text_height =
      lines_.empty() ? 0 : static_cast<int>(lines_.size()) * kLineHeight - (kLineHeight - kTextHeight);
  strip_top_ = kMargin + text_height + kMargin;
  height_ = strip_top_ + kStripPadding + kButtonHeight + kStripPadding;
  PlaceButtons();
}

void MessageBox::BreakLines(std::string_view text, int room) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view utf8_line = text.substr(start, end - start);
    if (!utf8_line.empty() && utf8_line.back() == '\r') utf8_line.remove_suffix(1);
    const std::string line = Printable(Utf8ToSjis(utf8_line));
    // Wrapped by characters, as Japanese text is: there are no spaces to break at.
    std::string current;
    for (std::size_t pos = 0; pos < line.size();) {
      const std::size_t length = CharLength(line, pos);
      const std::string_view character(line.data() + pos, length);
      pos += length;
      std::string longer = current;
      longer.append(character);
      if (!current.empty() && renderer_.MeasureText(longer, kTextHeight) > room) {
        lines_.push_back(std::move(current));
        current.assign(character);
      } else {
        current = std::move(longer);
      }
    }
    lines_.push_back(std::move(current));
    start = end + 1;
  }
  // The game ends its messages with blank lines to keep them off the buttons; the strip of
  // buttons already does that.
  while (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
}

void MessageBox::PlaceButtons() {
  // Along the bottom, to the right, in the order given.
  int x = width_ - kMargin;
  for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
    x -= it->place.width;
    it->place.x = x;
    it->place.y = strip_top_ + kStripPadding;
    x -= kButtonGap;
  }
}

Rect MessageBox::LinePlace(std::size_t index) const {
  const int width = index < lines_.size() ? renderer_.MeasureText(lines_[index], kTextHeight) : 0;
  return {kMargin, kMargin + static_cast<int>(index) * kLineHeight, width, kTextHeight};
}

std::optional<std::size_t> MessageBox::ButtonAt(int x, int y) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (Inside(buttons_[i].place, x, y)) return i;
  }
  return std::nullopt;
}

std::optional<BoxAnswer> MessageBox::PressKey(BoxKey key) {
  const std::size_t count = buttons_.size();
  switch (key) {
    case BoxKey::kEnter:
      return buttons_[focus_].answer;
    case BoxKey::kEscape:
      return CloseAnswer();
    case BoxKey::kYes:
    case BoxKey::kNo: {
      const BoxAnswer wanted = key == BoxKey::kYes ? BoxAnswer::kYes : BoxAnswer::kNo;
      for (const Button& button : buttons_) {
        if (button.answer == wanted) return wanted;
      }
      return std::nullopt;
    }
    case BoxKey::kNext:
      focus_ = (focus_ + 1) % count;
      return std::nullopt;
    case BoxKey::kPrevious:
      focus_ = (focus_ + count - 1) % count;
      return std::nullopt;
  }
  return std::nullopt;
}

void MessageBox::PressMouse(int x, int y) {
  held_ = ButtonAt(x, y);
  if (held_) focus_ = *held_;
}

std::optional<BoxAnswer> MessageBox::ReleaseMouse(int x, int y) {
  const std::optional<std::size_t> held = held_;
  held_.reset();
  if (!held || ButtonAt(x, y) != held) return std::nullopt;
  return buttons_[*held].answer;
}

void MessageBox::Draw(Surface565& surface) const {
  const MessageBoxColors colors = BoxColors();
  surface.FillRect({0, 0, width_, strip_top_}, colors.paper);
  surface.FillRect({0, strip_top_, width_, height_ - strip_top_}, colors.strip);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].empty()) continue;
    const Rect place = LinePlace(i);
    renderer_.DrawText(surface, place.x, place.y, lines_[i], kTextHeight, colors.ink, colors.paper);
  }
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const Button& button = buttons_[i];
    const bool focused = i == focus_;
    const int border = focused ? 2 : 1;
    std::uint16_t face = focused ? colors.focus : colors.button;
    if (held_ == i) face = colors.held;
    const Rect& place = button.place;
    surface.FillRect(place, focused ? colors.focus_border : colors.button_border);
    surface.FillRect({place.x + border, place.y + border, place.width - 2 * border,
                      place.height - 2 * border},
                     face);
    const int label_width = renderer_.MeasureText(button.label, kTextHeight);
    renderer_.DrawText(surface, place.x + (place.width - label_width) / 2,
                       place.y + (place.height - kTextHeight) / 2, button.label, kTextHeight,
                       colors.ink, face);
  }
}

}  // namespace tumu
