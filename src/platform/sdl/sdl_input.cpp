#include "platform/sdl/sdl_input.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/png_writer.h"

namespace tumu {

namespace {

constexpr int kLastScreenshotNumber = 9999;

InputEvent KeyEvent(Key key) {
  InputEvent event;
  event.type = InputEvent::Type::kKeyDown;
  event.key = key;
  return event;
}

InputEvent CloseEvent() {
  InputEvent event;
  event.type = InputEvent::Type::kClose;
  return event;
}

bool IsEnter(SDL_Keycode sym) { return sym == SDLK_RETURN || sym == SDLK_KP_ENTER; }

}  // namespace

InputEvent SdlInput::MouseEvent(InputEvent::Type type, int x, int y) const {
  const Point point = display_.WindowToScreen(x, y);
  InputEvent event;
  event.type = type;
  event.x = point.x;
  event.y = point.y;
  return event;
}

SdlInput::SdlInput(SdlDisplay& display, SdlTextInput& text_input, std::string screenshot_dir)
    : display_(display), text_input_(text_input), screenshot_dir_(std::move(screenshot_dir)) {}

std::optional<InputEvent> SdlInput::Poll() {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    if (auto translated = Translate(event)) return translated;
  }
  display_.Idle();
  return std::nullopt;
}

std::optional<InputEvent> SdlInput::Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      return CloseEvent();
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) control_held_ = false;
      // Only the game's own window: a message box's window is closed by its answer.
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        if (event.window.windowID != display_.window_id()) return std::nullopt;
        return CloseEvent();
      }
      display_.HandleWindowEvent(event);
      if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) text_input_.PlaceCandidateWindow();
      return std::nullopt;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      display_.HandleWindowEvent(event);
      return std::nullopt;
    case SDL_MOUSEMOTION:
      return MouseEvent(InputEvent::Type::kMouseMove, event.motion.x, event.motion.y);
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) {
        return MouseEvent(InputEvent::Type::kLeftDown, event.button.x, event.button.y);
      }
      if (event.button.button == SDL_BUTTON_RIGHT) {
        return MouseEvent(InputEvent::Type::kRightDown, event.button.x, event.button.y);
      }
      return std::nullopt;
    case SDL_MOUSEWHEEL: {
      const int notches =
          event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      if (notches == 0) return std::nullopt;
      return KeyEvent(notches > 0 ? Key::kWheelUp : Key::kWheelDown);
    }
    case SDL_KEYDOWN:
      control_held_ = (event.key.keysym.mod & KMOD_CTRL) != 0;
      return TranslateKey(event.key);
    case SDL_KEYUP:
      // The modifiers of a key event are those after it: releasing one Ctrl of two keeps Ctrl.
      control_held_ = (event.key.keysym.mod & KMOD_CTRL) != 0;
      return std::nullopt;
    case SDL_TEXTINPUT:
      text_input_.HandleText(event.text.text);
      return std::nullopt;
    case SDL_TEXTEDITING:
      text_input_.HandleComposition(event.edit.text, event.edit.start);
      return std::nullopt;
    case SDL_TEXTEDITING_EXT:
      // Long compositions come in memory that is ours to free.
      text_input_.HandleComposition(event.editExt.text != nullptr ? event.editExt.text : "",
                                    event.editExt.start);
      SDL_free(event.editExt.text);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<InputEvent> SdlInput::TranslateKey(const SDL_KeyboardEvent& key) {
  const SDL_Keycode sym = key.keysym.sym;
  // The player program's own keys work everywhere and never reach the game.
  const bool toggle = sym == SDLK_F11 || (IsEnter(sym) && (key.keysym.mod & KMOD_ALT) != 0);
  if (toggle || sym == SDLK_F12) {
    if (key.repeat != 0) return std::nullopt;
    if (toggle) {
      display_.ToggleFullscreen();
      text_input_.PlaceCandidateWindow();
    } else {
      WriteScreenshot();
    }
    return std::nullopt;
  }
  if (text_input_.IsOpen()) return text_input_.HandleKey(key);
  switch (sym) {
    case SDLK_ESCAPE:
      if (key.repeat != 0) return std::nullopt;
      return KeyEvent(Key::kEscape);
    case SDLK_SPACE:
      // Held down, Space keeps ending click waits, as the key's repeat always did.
      return KeyEvent(Key::kSpace);
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      if (key.repeat != 0) return std::nullopt;
      return KeyEvent(Key::kEnter);
    case SDLK_a:
      if (key.repeat != 0) return std::nullopt;
      return KeyEvent(Key::kA);
    case SDLK_PAGEUP:
      return KeyEvent(Key::kPageUp);
    case SDLK_PAGEDOWN:
      return KeyEvent(Key::kPageDown);
    default:
      return std::nullopt;
  }
}

void SdlInput::AfterTurn(const TurnStatus& status) {
  if (!status.waiting) return;
  std::uint32_t timeout = kLongestWaitMs;
  if (status.next_due_ms.has_value()) timeout = std::min(*status.next_due_ms, timeout);
  if (timeout == 0) return;
  // SDL sleeps on the display connection here; an event already queued returns at once.
  SDL_WaitEventTimeout(nullptr, static_cast<int>(timeout));
}

std::string SdlInput::WriteScreenshot() {
  namespace fs = std::filesystem;
  const fs::path dir = screenshot_dir_.empty() ? fs::path(".") : fs::path(screenshot_dir_);
  std::error_code ec;
  fs::create_directories(dir, ec);
  fs::path path;
  for (int number = 1; number <= kLastScreenshotNumber; ++number) {
    char name[32];
    std::snprintf(name, sizeof(name), "screenshot-%04d.png", number);
    const fs::path candidate = dir / name;
    if (!fs::exists(candidate, ec)) {
      path = candidate;
      break;
    }
  }
  if (path.empty()) {
    std::fprintf(stderr, "tumu: no free screenshot name left in %s\n", dir.c_str());
    return {};
  }
  std::string error;
  if (!WritePng(path.string(), display_.ShownFrame(), &error)) {
    std::fprintf(stderr, "tumu: screenshot not written: %s\n", error.c_str());
    return {};
  }
  std::fprintf(stderr, "tumu: screenshot %s\n", path.c_str());
  return path.string();
}

}  // namespace tumu
