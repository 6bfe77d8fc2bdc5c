#include "platform/sdl/sdl_display.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/sdl/quiet_stderr.h"
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

SdlDisplay::SdlDisplay(int default_scale, ScaleMode scale_mode, bool verbose, SdlAudio& audio)
    : default_scale_(default_scale),
      scale_mode_(scale_mode),
      verbose_(verbose),
      shown_(kScreenWidth, kScreenHeight),
      audio_(audio) {}

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
  // High-density screens get the frame at their own resolution; the mouse is mapped through the
  // same layout, in output pixels.
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (config.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  {
    // The graphics drivers tried on the way to a working one report each failure themselves.
    const QuietStderr quiet(!verbose_);
    window_ = SDL_CreateWindow(config.title.c_str(), SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, kScreenWidth * scale, kScreenHeight * scale,
                               flags);
    if (window_ != nullptr) {
      renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
      if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    }
  }
  if (window_ == nullptr) {
    *error = std::string("cannot open the window: ") + SDL_GetError();
    return false;
  }
  SDL_SetWindowMinimumSize(window_, kScreenWidth / 2, kScreenHeight / 2);
  if (renderer_ == nullptr) {
    *error = std::string("cannot draw into the window: ") + SDL_GetError();
    Close();
    return false;
  }
  KeepGraphicsDriversLoaded();
  if (!CreateTexture(error)) {
    Close();
    return false;
  }
  // SDL listens for text from the start; only the input box should, or an input method would
  // swallow the game's keys.
  SDL_StopTextInput();
  Refresh();
  return true;
}

bool SdlDisplay::CreateTexture(std::string* error) {
  texture_format_ = SDL_PIXELFORMAT_RGB565;
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0) {
    const Uint32 window_format = SDL_GetWindowPixelFormat(window_);
    if (window_format != SDL_PIXELFORMAT_UNKNOWN && !SDL_ISPIXELFORMAT_INDEXED(window_format)) {
      texture_format_ = window_format;
    }
  }
  texture_ = SDL_CreateTexture(renderer_, texture_format_, SDL_TEXTUREACCESS_STREAMING,
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
  const bool first = last_frame_.empty();
  if (first) last_frame_ = Surface565(kScreenWidth, kScreenHeight);
  CopyRect(last_frame_, 0, 0, frame, WholeSurface(frame));
  Refresh();
  // How long the player takes to show the game is measured up to this line.
  if (first && verbose_) std::fprintf(stderr, "tumu: the first frame is on the screen\n");
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
  const int pitch = shown_.pitch() * static_cast<int>(sizeof(std::uint16_t));
  if (texture_format_ == SDL_PIXELFORMAT_RGB565) {
    SDL_UpdateTexture(texture_, nullptr, shown_.row(0), pitch);
    return;
  }
  const int converted_pitch = kScreenWidth * SDL_BYTESPERPIXEL(texture_format_);
  converted_.resize(static_cast<std::size_t>(converted_pitch) * kScreenHeight);
  SDL_ConvertPixels(kScreenWidth, kScreenHeight, SDL_PIXELFORMAT_RGB565, shown_.row(0), pitch,
                    texture_format_, converted_.data(), converted_pitch);
  SDL_UpdateTexture(texture_, nullptr, converted_.data(), converted_pitch);
}

FrameLayout SdlDisplay::Layout() const {
  int width = kScreenWidth;
  int height = kScreenHeight;
  if (renderer_ != nullptr) SDL_GetRendererOutputSize(renderer_, &width, &height);
  return LayOutFrame(width, height, scale_mode_);
}

void SdlDisplay::Draw() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (texture_ == nullptr) return;
  const FrameLayout layout = Layout();
  SDL_SetTextureScaleMode(texture_, layout.smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
  const SDL_Rect target{layout.target.x, layout.target.y, layout.target.width,
                        layout.target.height};
  SDL_RenderCopy(renderer_, texture_, nullptr, &target);
}

void SdlDisplay::Render() {
  if (renderer_ == nullptr) return;
  Draw();
  SDL_RenderPresent(renderer_);
}

void SdlDisplay::HandleWindowEvent(const SDL_Event& event) {
  if (renderer_ == nullptr) return;
  switch (event.type) {
    case SDL_WINDOWEVENT:
      if (event.window.windowID != window_id()) return;
      switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
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
      if (CreateTexture(&error)) Upload();
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
  Render();
}

void SdlDisplay::OutputPerWindow(double* x, double* y) const {
  *x = 1;
  *y = 1;
  if (renderer_ == nullptr) return;
  int window_width = 0;
  int window_height = 0;
  int output_width = 0;
  int output_height = 0;
  SDL_GetWindowSize(window_, &window_width, &window_height);
  SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
  if (window_width > 0 && window_height > 0 && output_width > 0 && output_height > 0) {
    *x = static_cast<double>(output_width) / window_width;
    *y = static_cast<double>(output_height) / window_height;
  }
}

SDL_Rect SdlDisplay::ScreenToWindow(const Rect& rect) const {
  const Rect output = ScreenToOutput(Layout().target, rect);
  double x_scale = 1;
  double y_scale = 1;
  OutputPerWindow(&x_scale, &y_scale);
  const auto window = [](int value, double scale) {
    return static_cast<int>(std::lround(value / scale));
  };
  const int left = window(output.x, x_scale);
  const int top = window(output.y, y_scale);
  return {left, top, window(output.x + output.width, x_scale) - left,
          window(output.y + output.height, y_scale) - top};
}

Point SdlDisplay::WindowToScreen(int x, int y) const {
  double x_scale = 1;
  double y_scale = 1;
  OutputPerWindow(&x_scale, &y_scale);
  return OutputToScreen(Layout().target, static_cast<int>(std::floor(x * x_scale)),
                        static_cast<int>(std::floor(y * y_scale)));
}

void SdlDisplay::Beep() { audio_.Beep(); }

bool SdlDisplay::ReadBack(RenderedImage* image, std::string* error) {
  if (renderer_ == nullptr || texture_ == nullptr) {
    *error = "no window";
    return false;
  }
  Draw();
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
