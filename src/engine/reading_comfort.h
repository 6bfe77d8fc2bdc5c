// The player's reading aids, layered over the engine's display and input:
//   fast-forward: while a Ctrl key is held, each click wait is answered at once, as Space answers
//     it, and only while the game allows skipping;
//   auto-advance: the A key switches on answering click waits by themselves after a pause that
//     grows with the text shown since the last wait;
//   backlog: the mouse wheel up or Page Up shows the earlier pages of prose over the game; the
//     wheel down past the newest page, a click or Escape closes it.
// The aids answer waits only with the events the player's own keys and clicks would send, and
// draw only over the frame on its way to the screen. While the backlog is shown the game does
// not run at all, so nothing of its state can change.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace tumu {

struct Engine;

class ReadingComfort {
 public:
  static constexpr std::uint32_t kAutoAdvanceBaseMs = 1500;
  static constexpr std::uint32_t kAutoAdvancePerCharacterMs = 60;

  explicit ReadingComfort(Platform inner);
  ReadingComfort(const ReadingComfort&) = delete;
  ReadingComfort& operator=(const ReadingComfort&) = delete;

  // The services to give the engine: the inner ones, with the display and the input wrapped.
  Platform platform();
  // The engine whose waits the aids answer and whose text the backlog shows.
  void Attach(const Engine& engine) { engine_ = &engine; }

  bool auto_advance() const { return auto_advance_; }
  bool backlog_open() const { return backlog_page_.has_value(); }
  // The page shown, counted from the oldest kept (0).
  int backlog_page() const { return backlog_page_.value_or(-1); }

 private:
  class LayerDisplay final : public Display {
   public:
    explicit LayerDisplay(ReadingComfort& owner) : owner_(owner) {}
    bool Open(const WindowConfig& config, std::string* error) override {
      return owner_.inner_.display.Open(config, error);
    }
    int DesktopDepth() override { return owner_.inner_.display.DesktopDepth(); }
    void Present(const Surface565& frame) override { owner_.Present(frame); }
    const Surface565& LastFrame() const override { return owner_.GameFrame(); }
    void Beep() override { owner_.inner_.display.Beep(); }
    void Close() override { owner_.inner_.display.Close(); }

   private:
    ReadingComfort& owner_;
  };

  class LayerInput final : public Input {
   public:
    explicit LayerInput(ReadingComfort& owner) : owner_(owner) {}
    std::optional<InputEvent> Poll() override { return owner_.Poll(); }
    void AfterTurn(const TurnStatus& status) override { owner_.AfterTurn(status); }
    bool ControlHeld() const override { return owner_.inner_.input.ControlHeld(); }

   private:
    ReadingComfort& owner_;
  };

  void Present(const Surface565& frame);
  const Surface565& GameFrame() const;
  // Shows the game's last frame again with the aids' drawing as it is now.
  void Redraw();
  bool DrawsOverFrame() const;
  void DrawOver(Surface565& frame);
  void DrawMark(Surface565& frame, std::string_view label);
  void DrawBacklog(Surface565& frame);

  std::optional<InputEvent> Poll();
  void AfterTurn(const TurnStatus& status);
  // Takes the aids' own keys; false for events that belong to the game.
  bool TakeKey(Key key);
  // Shows the backlog until the player closes it; gives back a close request that ended it.
  std::optional<InputEvent> ShowBacklog();
  // Handles one event while the backlog is shown.
  void BacklogEvent(const InputEvent& event);
  // The event that answers the current click wait now, if an aid does.
  std::optional<InputEvent> Answer();
  bool PlainClickWait() const;
  bool FastForwarding() const;

  Platform inner_;
  LayerDisplay display_;
  LayerInput input_;
  const Engine* engine_ = nullptr;

  Surface565 game_frame_;      // the game's last frame, while the aids draw over it
  bool game_frame_kept_ = false;
  Surface565 shown_;
  bool fast_forward_shown_ = false;

  bool auto_advance_ = false;
  bool answered_ = false;  // an aid answered a wait since the last turn
  bool in_click_wait_ = false;
  std::uint32_t wait_started_ = 0;
  std::uint32_t wait_ms_ = 0;
  std::uint64_t characters_at_last_wait_ = 0;
  TurnStatus last_status_;
  int mouse_x_ = 0;
  int mouse_y_ = 0;

  std::optional<int> backlog_page_;
};

}  // namespace tumu
