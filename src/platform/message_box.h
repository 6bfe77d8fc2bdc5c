// The look and the keyboard of the game's message boxes (a missing start file, errors in the
// configuration file, the window-or-full-screen question), laid out and drawn by us with the
// game's Japanese font: the text then reads the same on every desktop, whatever fonts its own
// dialogs have. A backend shows the picture in a window of its own and feeds it the player's keys
// and clicks.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/surface565.h"
#include "platform/text_renderer.h"

namespace tumu {

// The keys a box understands, whatever the backend calls them.
enum class BoxKey {
  kEnter,     // Enter or Space: the focused button
  kEscape,    // the last button (Cancel, No, or OK)
  kYes,       // Y
  kNo,        // N
  kNext,      // Tab, Right, Down
  kPrevious,  // Shift+Tab, Left, Up
};

class MessageBox {
 public:
  static constexpr int kTextHeight = kDefaultFontHeight;
  static constexpr int kLineHeight = kTextHeight + 4;
  static constexpr int kMargin = 16;
  static constexpr int kMaxWidth = 640;
  static constexpr int kMinWidth = 240;
  static constexpr int kButtonHeight = kTextHeight + 12;
  static constexpr int kMinButtonWidth = 88;
  static constexpr int kButtonGap = 8;
  // Space above and below the buttons, inside the strip that holds them.
  static constexpr int kStripPadding = 12;

  struct Button {
    BoxAnswer answer = BoxAnswer::kOk;
    std::string label;  // Shift-JIS, as drawn
    Rect place;
  };

  // Lays the box out: the UTF-8 text broken into lines at "\n" and wrapped where a line would
  // make the box wider than kMaxWidth, the buttons in a strip along the bottom. The renderer is
  // borrowed for measuring and drawing and must outlive the box.
  MessageBox(std::string_view text, BoxButtons buttons, TextRenderer& renderer);

  int width() const { return width_; }
  int height() const { return height_; }
  // The lines as drawn, in Shift-JIS, one after the other from the top margin.
  const std::vector<std::string>& lines() const { return lines_; }
  Rect LinePlace(std::size_t index) const;
  const std::vector<Button>& buttons() const { return buttons_; }

  // The button that Enter answers with; the first one at the start.
  std::size_t focus() const { return focus_; }
  // The index of the button under a point of the box, if any.
  std::optional<std::size_t> ButtonAt(int x, int y) const;

  // A key: Enter answers with the focused button, Escape with the last, Y and N with Yes and No
  // where the box has them; Tab and the arrows move the focus round the buttons.
  std::optional<BoxAnswer> PressKey(BoxKey key);
  // A mouse button pressed on a button takes the focus there and holds the button down; released
  // over the same button it answers with it. Sliding off before the release takes the click back.
  void PressMouse(int x, int y);
  std::optional<BoxAnswer> ReleaseMouse(int x, int y);
  // Closing the box's window counts as the last button, as Escape does.
  BoxAnswer CloseAnswer() const { return buttons_.back().answer; }

  // Draws the whole box onto the surface from its top-left corner (clipped to the surface).
  void Draw(Surface565& surface) const;

 private:
  void BreakLines(std::string_view text, int room);
  void PlaceButtons();

  TextRenderer& renderer_;
  std::vector<std::string> lines_;
  std::vector<Button> buttons_;
  int width_ = 0;
  int height_ = 0;
  int strip_top_ = 0;
  std::size_t focus_ = 0;
  std::optional<std::size_t> held_;
};

// The colours a box is drawn in; nothing else appears in it.
struct MessageBoxColors {
  std::uint16_t paper;          // behind the text
  std::uint16_t strip;          // behind the buttons
  std::uint16_t ink;            // text and labels
  std::uint16_t button;         // a button's face
  std::uint16_t button_border;  // its edge
  std::uint16_t focus;          // the focused button's face
  std::uint16_t focus_border;   // its edge, twice as thick
  std::uint16_t held;           // the face of a button held down by the mouse
};
MessageBoxColors BoxColors();

}  // namespace tumu
