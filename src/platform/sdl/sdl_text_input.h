// The text input box of the SDL backend: drawn by us over the game's frame, fed by SDL's text
// events so that an input method can compose Japanese text into it.
#pragma once

#include <SDL.h>

#include <optional>

#include "platform/input_box.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_display.h"

namespace tumu {

class SdlTextInput : public TextInput, public FrameOverlay {
 public:
  SdlTextInput(SdlDisplay& display, TextRenderer* renderer);
  ~SdlTextInput() override;
  SdlTextInput(const SdlTextInput&) = delete;
  SdlTextInput& operator=(const SdlTextInput&) = delete;

  void Open(const Rect& place) override;
  void Close() override;
  bool IsOpen() const override { return box_.is_open(); }

  bool Visible() const override { return box_.is_open(); }
  void DrawOver(Surface565& frame) override { box_.Draw(frame, renderer_); }

  void set_renderer(TextRenderer* renderer) { renderer_ = renderer; }
  const InputBox& box() const { return box_; }

  // While the box is open every key comes here. Enter gives the typed text and closes the box;
  // Backspace takes back a character; other keys do nothing.
  std::optional<InputEvent> HandleKey(const SDL_KeyboardEvent& key);
  // Text committed by the keyboard or the input method.
  void HandleText(const char* utf8);
  // What the input method is composing, with its cursor in characters.
  void HandleComposition(const char* utf8, int cursor);
  // Tells the input method where the box is, after the window moved or changed size.
  void PlaceCandidateWindow();

 private:
  SdlDisplay& display_;
  TextRenderer* renderer_;
  InputBox box_;
};

}  // namespace tumu
