// Message boxes of the SDL backend. They also work before the game's window exists (the start-up
// messages come before it).
//
// SDL's own message box draws with the X server's core fonts, which on today's desktops have no
// Japanese, so the game's messages would show as empty boxes. Ours is a small window of its own
// with the box drawn by us (platform/message_box.h) in the game's font.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_display.h"

namespace tumu {

// One box on the screen: its window, and the box drawn into it at a whole scale.
class SdlBoxWindow {
 public:
  // The box is borrowed and must outlive the window; scale is a whole factor of its pixels.
  SdlBoxWindow(MessageBox& box, int scale);
  ~SdlBoxWindow();
  SdlBoxWindow(const SdlBoxWindow&) = delete;
  SdlBoxWindow& operator=(const SdlBoxWindow&) = delete;

  // Opens the window, centred on a display and kept above the owner's window when there is one,
  // and shows the box. On failure returns false and sets *error.
  bool Open(const std::string& caption, int display, SDL_Window* owner, std::string* error);

  Uint32 id() const { return id_; }
  SDL_Window* window() const { return window_; }
  MessageBox& box() { return box_; }
  int scale() const { return scale_; }
  // Draws the box as it is now and shows it.
  void Show();
  // After the renderer lost its textures.
  void Reset();
  // The window's pixels, read from the renderer before they go to the screen.
  bool ReadBack(RenderedImage* image, std::string* error);

 private:
  bool CreateTexture(std::string* error);
  // Draws the box into the renderer's buffer without showing it.
  void Render();

  MessageBox& box_;
  int scale_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  Uint32 id_ = 0;
  Surface565 picture_;
};

class SdlMessageBoxes : public MessageBoxes {
 public:
  SdlMessageBoxes(SdlDisplay& display, TextRenderer* renderer)
      : display_(display), renderer_(renderer) {}

  // Shows the box and waits, serving only the box, until the player answers: the game waits as
  // it did behind the old modal boxes. Enter and Space answer with the focused button (the first
  // at the start), Escape and closing the box with the last, Y and N with Yes and No. Without a
  // renderer, or when no window can be opened, SDL's own box is shown; when that fails too the
  // message goes to stderr and the answer is the first button.
  BoxAnswer Show(const std::string& caption, const std::string& text,
                 BoxButtons buttons) override;

  void set_renderer(TextRenderer* renderer) { renderer_ = renderer; }
  // Called when a box is on the screen, before it waits for the player: tests read the window
  // back here and queue the player's answer.
  void set_on_shown(std::function<void(SdlBoxWindow&)> on_shown) {
    on_shown_ = std::move(on_shown);
  }

 private:
  // Serves the box until it is answered; keeps what belongs to others in *kept.
  BoxAnswer RunModal(SdlBoxWindow& window, std::vector<SDL_Event>* kept);
  BoxAnswer ShowSystemBox(const std::string& caption, const std::string& text,
                          BoxButtons buttons);

  SdlDisplay& display_;
  TextRenderer* renderer_;
  std::function<void(SdlBoxWindow&)> on_shown_;
};

}  // namespace tumu
