#include "engine/reading_comfort.h"

#include <algorithm>
#include <string>

#include "engine/engine.h"
#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

namespace {

const PixelFormat kFormat;
const std::uint16_t kPanelPixel = ColorToPixel(kFormat, 20, 24, 44);
const std::uint16_t kBorderPixel = ColorToPixel(kFormat, 110, 120, 170);
const std::uint16_t kTextPixel = ColorToPixel(kFormat, 240, 240, 240);
const std::uint16_t kDimTextPixel = ColorToPixel(kFormat, 150, 155, 180);

// The backlog: a panel over the darkened game, the page's rows in it, a page count above and
// the keys below.
constexpr Rect kPanel{32, 24, 576, 432};
constexpr int kPanelMargin = 16;
constexpr int kSmallTextHeight = 16;
constexpr int kRowTextHeight = 18;
constexpr int kRowPitch = 24;
constexpr int kFirstRowTop = 44;
constexpr int kHintTop = kPanel.height - 30;
constexpr int kRowsShown = (kHintTop - 8 - kFirstRowTop) / kRowPitch;

// The marks of the running aids, in the top right corner.
constexpr Rect kMark{kScreenWidth - 64, 8, 56, 22};

InputEvent KeyEvent(Key key) {
  InputEvent event;
  event.type = InputEvent::Type::kKeyDown;
  event.key = key;
  return event;
}

bool IsEarlier(Key key) { return key == Key::kWheelUp || key == Key::kPageUp; }
bool IsLater(Key key) { return key == Key::kWheelDown || key == Key::kPageDown; }

}  // namespace

ReadingComfort::ReadingComfort(Platform inner) : inner_(inner), display_(*this), input_(*this) {}

Platform ReadingComfort::platform() {
  return {inner_.clock, display_, input_, inner_.text_input, inner_.audio, inner_.message_boxes};
}

// --- Drawing over the game's frame.

const Surface565& ReadingComfort::GameFrame() const {
  return game_frame_kept_ ? game_frame_ : inner_.display.LastFrame();
}

bool ReadingComfort::DrawsOverFrame() const {
  return backlog_open() || auto_advance_ || FastForwarding();
}

void ReadingComfort::Present(const Surface565& frame) {
  // Nothing drawn over it: the frame goes through as it is, at no cost.
  if (!DrawsOverFrame()) {
    game_frame_kept_ = false;
    inner_.display.Present(frame);
    return;
  }
  if (game_frame_.width() != frame.width() || game_frame_.height() != frame.height()) {
    game_frame_ = Surface565(frame.width(), frame.height());
  }
  CopyRect(game_frame_, 0, 0, frame, WholeSurface(frame));
  game_frame_kept_ = true;
  Redraw();
}

void ReadingComfort::Redraw() {
  const Surface565& game = GameFrame();
  if (game.empty()) return;
  if (!DrawsOverFrame()) {
    // Unless something was drawn over it, the game's frame is on the screen already.
    if (game_frame_kept_) inner_.display.Present(game_frame_);
    return;
  }
  if (!game_frame_kept_) {
    // The frame that went through unchanged is the game's: keep it before drawing over it.
    game_frame_ = Surface565(game.width(), game.height());
    CopyRect(game_frame_, 0, 0, game, WholeSurface(game));
    game_frame_kept_ = true;
  }
  if (shown_.width() != game_frame_.width() || shown_.height() != game_frame_.height()) {
    shown_ = Surface565(game_frame_.width(), game_frame_.height());
  }
  CopyRect(shown_, 0, 0, game_frame_, WholeSurface(game_frame_));
  DrawOver(shown_);
  inner_.display.Present(shown_);
}

void ReadingComfort::DrawOver(Surface565& frame) {
  if (engine_ == nullptr) return;
  if (backlog_open()) {
    DrawBacklog(frame);
  } else if (FastForwarding()) {
    DrawMark(frame, "SKIP");
  } else if (auto_advance_) {
    DrawMark(frame, "AUTO");
  }
}

void ReadingComfort::DrawMark(Surface565& frame, std::string_view label) {
  frame.FillRect(kMark, kBorderPixel);
  frame.FillRect({kMark.x + 1, kMark.y + 1, kMark.width - 2, kMark.height - 2}, kPanelPixel);
  TextRenderer& text = *engine_->text;
  const int width = text.MeasureText(label, kSmallTextHeight);
  text.DrawText(frame, kMark.x + (kMark.width - width) / 2,
                kMark.y + (kMark.height - kSmallTextHeight) / 2, label, kSmallTextHeight,
                kTextPixel, kPanelPixel);
}

void ReadingComfort::DrawBacklog(Surface565& frame) {
  const auto& pages = engine_->text_history.pages();
  const int page_number = std::clamp(*backlog_page_, 0, static_cast<int>(pages.size()) - 1);
  DarkenRect(frame, kFormat, WholeSurface(frame), 1);

  // Drawn on a surface of the panel's size, so that long rows are cut at its edge.
  Surface565 panel(kPanel.width, kPanel.height);
  panel.Fill(kBorderPixel);
  panel.FillRect({1, 1, kPanel.width - 2, kPanel.height - 2}, kPanelPixel);
  TextRenderer& text = *engine_->text;
  const int inner_width = kPanel.width - 2 * kPanelMargin;
  const std::string count =
      std::to_string(page_number + 1) + " / " + std::to_string(pages.size());
  text.DrawText(panel, kPanelMargin, 12, "Backlog", kSmallTextHeight, kDimTextPixel, kPanelPixel);
  text.DrawText(panel, kPanelMargin + inner_width - text.MeasureText(count, kSmallTextHeight), 12,
                count, kSmallTextHeight, kDimTextPixel, kPanelPixel);

  const TextHistory::Page& page = pages[static_cast<std::size_t>(page_number)];
  const bool cut = static_cast<int>(page.size()) > kRowsShown;
  const int rows = cut ? kRowsShown - 1 : static_cast<int>(page.size());
  for (int i = 0; i < rows; ++i) {
    text.DrawText(panel, kPanelMargin, kFirstRowTop + i * kRowPitch,
                  page[static_cast<std::size_t>(i)], kRowTextHeight, kTextPixel, kPanelPixel);
  }
  if (cut) {
    text.DrawText(panel, kPanelMargin, kFirstRowTop + rows * kRowPitch, "…"_sj, kRowTextHeight,
                  kDimTextPixel, kPanelPixel);
  }
  text.DrawText(panel, kPanelMargin, kHintTop,
                "Wheel up, PgUp: earlier  Wheel down, PgDn: later  Click, Esc: back",
                kSmallTextHeight, kDimTextPixel, kPanelPixel);
  CopyRect(frame, kPanel.x, kPanel.y, panel, WholeSurface(panel));
}

// --- Input.

bool ReadingComfort::PlainClickWait() const {
  if (engine_ == nullptr) return false;
  const EngineState& s = engine_->state;
  // Only a wait that a plain click or Space ends: not a menu, not a position to click, not the
  // input box, and never the error screen or the end-of-scenario notice, which the player must
  // see.
  return s.click_wait == 1 && s.error_halt != 1 && s.restart_notice != 1 &&
         s.choice_menu_active != 1 && s.back_screen_choice_active != 1 &&
         s.click_position_active != 1 && s.input_dialog_open != 1 &&
         s.picture_scroll_click != 1 && s.person_scroll_click != 1 &&
         s.foreground_scroll_click != 1;
}

bool ReadingComfort::FastForwarding() const {
  // A game that switched skipping off keeps it off.
  return engine_ != nullptr && engine_->state.skip_mode == 1 && inner_.input.ControlHeld();
}

std::optional<InputEvent> ReadingComfort::Poll() {
  if (FastForwarding() != fast_forward_shown_) {
    fast_forward_shown_ = !fast_forward_shown_;
    Redraw();
  }
  while (std::optional<InputEvent> event = inner_.input.Poll()) {
    if (event->type == InputEvent::Type::kKeyDown && TakeKey(event->key)) {
      if (!backlog_open()) continue;
      if (std::optional<InputEvent> close = ShowBacklog()) return close;
      continue;
    }
    if (event->type == InputEvent::Type::kMouseMove) {
      mouse_x_ = event->x;
      mouse_y_ = event->y;
    }
    return event;
  }
  return Answer();
}

bool ReadingComfort::TakeKey(Key key) {
  if (key == Key::kA) {
    auto_advance_ = !auto_advance_;
    // The pause is counted from now: switching it on does not end a wait at once.
    wait_started_ = inner_.clock.Ticks();
    Redraw();
    return true;
  }
  if (IsEarlier(key)) {
    const std::size_t pages = engine_ != nullptr ? engine_->text_history.pages().size() : 0;
    // Only while the game waits for the player, so that nothing that runs by itself is held up,
    // and never over the input box, which has the keyboard.
    if (pages > 0 && last_status_.settled && engine_->state.input_dialog_open != 1) {
      // The newest page is usually the one on the screen: start with the one before it.
      backlog_page_ = static_cast<int>(pages >= 2 ? pages - 2 : 0);
    }
    return true;
  }
  return IsLater(key);
}

std::optional<InputEvent> ReadingComfort::ShowBacklog() {
  Redraw();
  TurnStatus paused;
  paused.waiting = true;
  paused.settled = true;
  while (backlog_open()) {
    std::optional<InputEvent> event = inner_.input.Poll();
    if (!event) {
      // Sleeps until the player does something.
      inner_.input.AfterTurn(paused);
      continue;
    }
    if (event->type == InputEvent::Type::kClose || event->type == InputEvent::Type::kEndRun) {
      backlog_page_.reset();
      Redraw();
      return event;
    }
    BacklogEvent(*event);
  }
  Redraw();
  // Reading the backlog was not reading the page: its pause starts again.
  wait_started_ = inner_.clock.Ticks();
  return std::nullopt;
}

void ReadingComfort::BacklogEvent(const InputEvent& event) {
  switch (event.type) {
    case InputEvent::Type::kMouseMove:
      mouse_x_ = event.x;
      mouse_y_ = event.y;
      return;
    case InputEvent::Type::kLeftDown:
    case InputEvent::Type::kRightDown:
      backlog_page_.reset();
      return;
    case InputEvent::Type::kKeyDown:
      break;
    default:
      return;
  }
  const int newest = static_cast<int>(engine_->text_history.pages().size()) - 1;
  if (event.key == Key::kEscape || (IsLater(event.key) && *backlog_page_ >= newest)) {
    backlog_page_.reset();
    return;
  }
  if (IsLater(event.key)) {
    *backlog_page_ += 1;
  } else if (IsEarlier(event.key)) {
    *backlog_page_ = std::max(*backlog_page_ - 1, 0);
  } else {
    return;
  }
  Redraw();
}

std::optional<InputEvent> ReadingComfort::Answer() {
  // Once between two turns of the game: should a wait outlast its answer, the game still runs.
  if (answered_ || !PlainClickWait()) return std::nullopt;
  std::optional<InputEvent> answer;
  if (FastForwarding()) {
    // As the player's own Space would.
    answer = KeyEvent(Key::kSpace);
  } else if (auto_advance_ && inner_.clock.Ticks() - wait_started_ >= wait_ms_) {
    // As the player's own click would, where the mouse is.
    answer.emplace();
    answer->type = InputEvent::Type::kLeftDown;
    answer->x = mouse_x_;
    answer->y = mouse_y_;
  }
  answered_ = answer.has_value();
  return answer;
}

void ReadingComfort::AfterTurn(const TurnStatus& status) {
  last_status_ = status;
  answered_ = false;
  TurnStatus paced = status;
  const bool waiting = PlainClickWait();
  if (waiting && !in_click_wait_) {
    // The pause grows with the text shown since the last wait began.
    const std::uint64_t characters = engine_->text_history.characters();
    const std::uint64_t shown = characters - characters_at_last_wait_;
    characters_at_last_wait_ = characters;
    // A screen holds far fewer characters; the bound keeps the pause in range whatever happens.
    constexpr std::uint64_t kMostCharacters = 10000;
    wait_ms_ = static_cast<std::uint32_t>(
        kAutoAdvanceBaseMs + std::min(shown, kMostCharacters) * kAutoAdvancePerCharacterMs);
    wait_started_ = inner_.clock.Ticks();
  }
  in_click_wait_ = waiting;
  if (waiting && FastForwarding()) {
    paced.next_due_ms = 0;
  } else if (waiting && auto_advance_) {
    const std::uint32_t elapsed = inner_.clock.Ticks() - wait_started_;
    const std::uint32_t left = elapsed >= wait_ms_ ? 0 : wait_ms_ - elapsed;
    paced.next_due_ms = paced.next_due_ms ? std::min(*paced.next_due_ms, left) : left;
  }
  inner_.input.AfterTurn(paced);
}

}  // namespace tumu
