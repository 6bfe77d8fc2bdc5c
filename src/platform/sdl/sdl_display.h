// The game's window: an SDL window and renderer that show our 640x480 RGB565 frames through a
// streaming texture, scaled as the scale mode says, with the aspect kept (black bars where the
// window's shape differs).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/frame_layout.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"

namespace tumu {

// Something the backend draws over the game's frame: the text input box.
class FrameOverlay {
 public:
  virtual ~FrameOverlay() = default;
  virtual bool Visible() const = 0;
  virtual void DrawOver(Surface565& frame) = 0;
};

// The window's pixels as the renderer produced them, in output pixels, bars included.
struct RenderedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // SDL_PIXELFORMAT_ARGB8888, rows without padding
};

// Reads the whole output of a renderer that has just drawn (before it presents: the buffer is
// undefined after), then presents. For the tests, which compare what a window shows.
bool ReadRendererOutput(SDL_Renderer* renderer, RenderedImage* image, std::string* error);

class SdlDisplay : public Display {
 public:
  // default_scale: the window scale when the game's configuration gives none (0 = the largest
  // that fits the desktop, at most 2). verbose: the drivers' own messages reach stderr. The beep
  // sounds through the game's audio.
  SdlDisplay(int default_scale, ScaleMode scale_mode, bool verbose, SdlAudio& audio);
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  bool Open(const WindowConfig& config, std::string* error) override;
  // Frames are converted when shown, so any desktop shows them; the game sees the depth it was
  // made for.
  int DesktopDepth() override { return 16; }
  // Shows the frame, unless it is the one already on the screen: a game that waits for a click
  // presents the same frame turn after turn, and that should cost next to nothing.
  void Present(const Surface565& frame) override;
  const Surface565& LastFrame() const override { return last_frame_; }
  void Beep() override;
  void Close() override;

  // What the player sees: the last frame with the overlay drawn over it (black before any frame).
  const Surface565& ShownFrame() const { return shown_; }
  // The scale the game's window gets when the game's configuration names none; the message
  // boxes are drawn at it too, so that their text is as large as the game's.
  int DefaultScale() const { return ChooseScale(WindowConfig()); }
  void set_overlay(FrameOverlay* overlay) { overlay_ = overlay; }
  // Shows the last frame again with the overlay as it is now.
  void Refresh();
  // Window and renderer events: exposure and size changes draw again; a renderer that lost its
  // textures gets them back.
  void HandleWindowEvent(const SDL_Event& event);
  void ToggleFullscreen();
  bool IsFullscreen() const;
  // A rectangle of the 640x480 screen in window coordinates.
  SDL_Rect ScreenToWindow(const Rect& rect) const;
  // The game pixel under a point of the window (points over the bars go to the nearest edge).
  Point WindowToScreen(int x, int y) const;
  // Where the frame is drawn in the renderer's output, as it is now.
  FrameLayout Layout() const;
  // Housekeeping between events (closes the audio device when the game has been quiet).
  void Idle() { audio_.Idle(); }

  SDL_Window* window() const { return window_; }
  Uint32 window_id() const { return window_ != nullptr ? SDL_GetWindowID(window_) : 0; }
  // Draws the shown frame once more and reads the result back from the renderer before it goes
  // to the screen (after presentation the renderer's buffer is undefined).
  bool ReadBack(RenderedImage* image, std::string* error);

 private:
  int ChooseScale(const WindowConfig& config) const;
  bool CreateTexture(std::string* error);
  void Upload();
  // Draws the texture where the layout puts it; the caller presents or reads back.
  void Draw();
  void Render();
  // The factors from window coordinates to output pixels (above 1 on high-density screens).
  void OutputPerWindow(double* x, double* y) const;

  int default_scale_;
  ScaleMode scale_mode_;
  bool verbose_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  // The texture holds 5-6-5 pixels for a renderer on a graphics device. SDL's software renderer
  // scales quickly only between surfaces of one format, so for it the texture takes the window's
  // format and each frame is converted when it is uploaded.
  Uint32 texture_format_ = SDL_PIXELFORMAT_RGB565;
  std::vector<std::uint8_t> converted_;
  Surface565 last_frame_;
  Surface565 shown_;
  FrameOverlay* overlay_ = nullptr;
  SdlAudio& audio_;
};

}  // namespace tumu
