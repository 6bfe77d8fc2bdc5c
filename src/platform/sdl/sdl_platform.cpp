#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <glob.h>

#include <cstdlib>
#include <string_view>

#include "platform/sdl/quiet_stderr.h"

namespace tumu {

namespace {

// Whether OpenGL would run on a graphics device: a render node of the kernel's DRM, or NVIDIA's
// own driver. Without one, mesa draws OpenGL on the processor.
bool HasGraphicsDevice() {
  const char* forced = std::getenv("LIBGL_ALWAYS_SOFTWARE");
  if (forced != nullptr && *forced != '\0' && std::string_view(forced) != "0") return false;
  for (const char* pattern : {"/dev/dri/renderD*", "/dev/nvidia[0-9]*"}) {
    glob_t found{};
    const bool any = ::glob(pattern, 0, nullptr, &found) == 0 && found.gl_pathc > 0;
    ::globfree(&found);
    if (any) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<SdlPlatform> SdlPlatform::Create(const SdlOptions& options, std::string* error) {
  // The window's close button is the game's close request; SDL's own quit event is kept for
  // signals (Ctrl+C in the terminal), so one request never arrives twice.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // Compositions longer than SDL's fixed event buffer arrive whole.
  SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
  // A windowed adventure game gains nothing from turning the desktop's compositor off, and a
  // game waiting for a click should not keep the screen saver away.
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_APP_NAME, "tumu");
  // OpenGL on the processor (mesa's llvmpipe) takes a third of a second to start, for loading
  // LLVM and compiling its shaders, and then scales one 640x480 picture no better than SDL's own
  // software renderer, which starts at once. The variables SDL_RENDER_DRIVER and
  // SDL_FRAMEBUFFER_ACCELERATION still choose, as hints from the environment outrank these.
  if (!HasGraphicsDevice()) {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
  if (!StartVideo(options.verbose, error)) {
    SDL_Quit();
    return nullptr;
  }
  return std::make_unique<SdlPlatform>(Passkey(), options);
}

bool SdlPlatform::StartVideo(bool verbose, std::string* error) {
  // When SDL cannot reach the display it falls back to drivers that show nothing; a player would
  // face a game running in an invisible window. Those count only when asked for by name. The X
  // server may also refuse a connection now and then when connections come in quick succession
  // (SDL makes several), so a failure is tried again after a pause.
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  const bool driver_asked = asked != nullptr && *asked != '\0';
  for (int attempt = 0; attempt < kVideoAttempts; ++attempt) {
    if (attempt > 0) SDL_Delay(kVideoRetryMs);
    int result = 0;
    {
      const QuietStderr quiet(!verbose);
      result = SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    if (result != 0) {
      *error = std::string("no display to play on: ") + SDL_GetError();
      continue;
    }
    const std::string_view driver = SDL_GetCurrentVideoDriver();
    if (driver_asked || (driver != "offscreen" && driver != "dummy")) return true;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    *error = "no display to play on (is DISPLAY or WAYLAND_DISPLAY set?)";
  }
  return false;
}

SdlPlatform::SdlPlatform(Passkey, const SdlOptions& options)
    : audio_(clock_, options.audio),
      display_(options.scale, options.scale_mode, options.verbose, audio_),
      text_input_(display_, options.text_renderer),
      input_(display_, text_input_, options.screenshot_dir),
      message_boxes_(display_, options.text_renderer) {}

SdlPlatform::Session::~Session() {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
}

}  // namespace tumu
