#include "platform/sdl/sdl_display.h"

#include <cmath>
#include <cstring>

#include "platform/sdl/sdl_leak_checks.h"

namespace tumu {

namespace {

// Room left for a title bar when the window scale is chosen: window managers put their
// decorations outside the size we ask for.
constexpr int kTitleBarAllowance = 40;
constexpr int kLargestAutomaticScale = 2;

bool SameFrame(const Surface565& a, const Surface565& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  const std::size_t row_bytes = static_cast<std::size_t>(a.width()) * sizeof(std::uint16_t);
  for (int y = 0; y < a.height(); ++y) {
    if (std::memcmp(a.row(y), b.row(y), row_bytes) != 0) return false;
  }
  return true;
}

}  // namespace

SdlDisplay::SdlDisplay(int default_scale)
    : default_scale_(default_scale), shown_(kScreenWidth, kScreenHeight) {}

SdlDisplay::~SdlDisplay() { Close(); }

int SdlDisplay::ChooseScale(const WindowConfig& config) const {
  if (config.scale > 0) return config.scale;
  if (default_scale_ > 0) return default_scale_;
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  for (int scale = kLargestAutomaticScale; scale > 1; --scale) {
    if (kScreenWidth * scale <= usable.w &&
        kScreenHeight * scale + kTitleBarAllowance <= usable.h) {
      return scale;
    }
  }
  return 1;
}

bool SdlDisplay::Open(const WindowConfig& config, std::string* error) {
  Close();
  const int scale = ChooseScale(config);
  Uint32 flags = SDL_WINDOW_RESIZABLE;
  if (config.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  window_ = SDL_CreateWindow(config.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             kScreenWidth * scale, kScreenHeight * scale, flags);
  if (window_ == nullptr) {
    *error = std::string("cannot open the window: ") + SDL_GetError();
    return false;
  }
  SDL_SetWindowMinimumSize(window_, kScreenWidth / 2, kScreenHeight / 2);
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    *error = std::string("cannot draw into the window: ") + SDL_GetError();
    Close();
    return false;
  }
  KeepGraphicsDriversLoaded();
  // A logical size scales the frame to the window with the aspect kept and maps the mouse back.
  SDL_RenderSetLogicalSize(renderer_, kScreenWidth, kScreenHeight);
  if (!CreateTexture(error)) {
    Close();
    return false;
  }
  // SDL listens for text from the start; only the input box should, or an input method would
  // swallow the game's keys.
  SDL_StopTextInput();
  UpdateScaleMode();
  Refresh();
  return true;
}

bool SdlDisplay::CreateTexture(std::string* error) {
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                               kScreenWidth, kScreenHeight);
  if (texture_ == nullptr) {
    *error = std::string("cannot make the screen texture: ") + SDL_GetError();
    return false;
  }
  return true;
}

void SdlDisplay::Close() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

void SdlDisplay::Present(const Surface565& frame) {
  // The game composes every frame on its 640x480 back surface; nothing else is shown.
  if (frame.width() != kScreenWidth || frame.height() != kScreenHeight) return;
  if (SameFrame(frame, last_frame_)) return;
  if (last_frame_.empty()) last_frame_ = Surface565(kScreenWidth, kScreenHeight);
  CopyRect(last_frame_, 0, 0, frame, WholeSurface(frame));
  Refresh();
}

void SdlDisplay::Refresh() {
  if (last_frame_.empty()) {
    shown_.Fill(0);
  } else {
    CopyRect(shown_, 0, 0, last_frame_, WholeSurface(last_frame_));
  }
  if (overlay_ != nullptr && overlay_->Visible()) overlay_->DrawOver(shown_);
  Upload();
  Render();
}

void SdlDisplay::Upload() {
  if (texture_ == nullptr) return;
  SDL_UpdateTexture(texture_, nullptr, shown_.row(0),
                    shown_.pitch() * static_cast<int>(sizeof(std::uint16_t)));
}

void SdlDisplay::Render() {
  if (renderer_ == nullptr) return;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

void SdlDisplay::UpdateScaleMode() {
  if (renderer_ == nullptr || texture_ == nullptr) return;
  // Whole multiples keep the pixels sharp; any other size looks better smoothed than with
  // pixels of uneven widths.
  float scale_x = 1;
  float scale_y = 1;
  SDL_RenderGetScale(renderer_, &scale_x, &scale_y);
  const bool whole = scale_x == std::floor(scale_x) && scale_y == std::floor(scale_y);
  SDL_SetTextureScaleMode(texture_, whole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
}

void SdlDisplay::HandleWindowEvent(const SDL_Event& event) {
  if (renderer_ == nullptr) return;
  switch (event.type) {
    case SDL_WINDOWEVENT:
      if (event.window.windowID != window_id()) return;
      switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          UpdateScaleMode();
          Render();
          break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
          Render();
          break;
        default:
          break;
      }
      break;
    case SDL_RENDER_TARGETS_RESET:
      Upload();
      Render();
      break;
    case SDL_RENDER_DEVICE_RESET: {
      // The texture is gone with the device.
      SDL_DestroyTexture(texture_);
      texture_ = nullptr;
      std::string error;
      if (CreateTexture(&error)) {
        UpdateScaleMode();
        Upload();
      }
      Render();
      break;
    }
    default:
      break;
  }
}

bool SdlDisplay::IsFullscreen() const {
  return window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlDisplay::ToggleFullscreen() {
  if (window_ == nullptr) return;
  SDL_SetWindowFullscreen(window_, IsFullscreen() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  UpdateScaleMode();
  Render();
}

SDL_Rect SdlDisplay::ScreenToWindow(const Rect& rect) const {
  if (renderer_ == nullptr) return {rect.x, rect.y, rect.width, rect.height};
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  SDL_RenderLogicalToWindow(renderer_, static_cast<float>(rect.x), static_cast<float>(rect.y),
                            &left, &top);
  SDL_RenderLogicalToWindow(renderer_, static_cast<float>(rect.x + rect.width),
                            static_cast<float>(rect.y + rect.height), &right, &bottom);
  return {left, top, right - left, bottom - top};
}

void SdlDisplay::Beep() { beeper_.Beep(); }

bool SdlDisplay::ReadBack(RenderedImage* image, std::string* error) {
  if (renderer_ == nullptr || texture_ == nullptr) {
    *error = "no window";
    return false;
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  return ReadRendererOutput(renderer_, image, error);
}

bool ReadRendererOutput(SDL_Renderer* renderer, RenderedImage* image, std::string* error) {
  // The whole output, bars included; SDL reads only the part inside the viewport and leaves the
  // rest of the buffer as it was.
  if (SDL_GetRendererOutputSize(renderer, &image->width, &image->height) != 0) {
    *error = std::string("cannot read the window back: ") + SDL_GetError();
    return false;
  }
  image->argb.assign(static_cast<std::size_t>(image->width) * image->height, 0);
  const SDL_Rect all{0, 0, image->width, image->height};
  const int result = SDL_RenderReadPixels(renderer, &all, SDL_PIXELFORMAT_ARGB8888,
                                          image->argb.data(), image->width * 4);
  if (result != 0) *error = std::string("cannot read the window back: ") + SDL_GetError();
  SDL_RenderPresent(renderer);
  return result == 0;
}

}  // namespace tumu
