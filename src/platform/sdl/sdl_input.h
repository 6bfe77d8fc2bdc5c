// Player input for the SDL backend: SDL events turned into the game's events, the keys that
// belong to the player program itself (full screen, screenshots), and the idle wait between turns.
#pragma once

#include <SDL.h>

#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_text_input.h"

namespace tumu {

class SdlInput : public Input {
 public:
  // The longest idle wait: a safety net should the game forget to say when it is due next.
  static constexpr std::uint32_t kLongestWaitMs = 250;

  SdlInput(SdlDisplay& display, SdlTextInput& text_input, std::string screenshot_dir);

  std::optional<InputEvent> Poll() override;
  // While the game waits, sleeps until an event arrives or the game's next timed work is due.
  void AfterTurn(const TurnStatus& status) override;
  bool ControlHeld() const override { return control_held_; }

  void set_screenshot_dir(std::string dir) { screenshot_dir_ = std::move(dir); }
  // Writes what is on the screen as the next numbered PNG of the screenshot folder and tells the
  // path on stderr. Returns the path, or an empty string on failure.
  std::string WriteScreenshot();

 private:
  std::optional<InputEvent> Translate(const SDL_Event& event);
  std::optional<InputEvent> TranslateKey(const SDL_KeyboardEvent& key);
  InputEvent MouseEvent(InputEvent::Type type, int x, int y) const;

  SdlDisplay& display_;
  SdlTextInput& text_input_;
  std::string screenshot_dir_;
  bool control_held_ = false;
};

}  // namespace tumu
