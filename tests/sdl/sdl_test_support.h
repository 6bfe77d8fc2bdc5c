// What the SDL tests share: the player's input made into SDL events, and the comparison of what a
// window shows with the surface it was given.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_display.h"
#include "platform/surface565.h"

namespace tumu::testing {

// A shown ARGB pixel reduced to the top 5, 6 and 5 bits of its channels.
inline std::uint16_t To565(std::uint32_t argb) {
  return static_cast<std::uint16_t>((((argb >> 19) & 0x1F) << 11) | (((argb >> 10) & 0x3F) << 5) |
                                    ((argb >> 3) & 0x1F));
}

inline std::uint16_t Shown(const RenderedImage& image, int x, int y) {
  return To565(image.argb[static_cast<std::size_t>(y) * image.width + x]);
}

// Checks a region of the image against the surface, the image showing surface pixel (x, y) at
// (left + x * scale, top + y * scale); names the first pixels that differ.
inline void ExpectShows(const RenderedImage& image, const Surface565& surface, int scale = 1,
                        int left = 0, int top = 0) {
  ASSERT_GE(image.width, left + surface.width() * scale);
  ASSERT_GE(image.height, top + surface.height() * scale);
  int mismatches = 0;
  for (int y = 0; y < surface.height() * scale; ++y) {
    for (int x = 0; x < surface.width() * scale; ++x) {
      const std::uint16_t shown = Shown(image, left + x, top + y);
      const std::uint16_t given = surface.pixel(x / scale, y / scale);
      if (shown != given && ++mismatches <= 5) {
        ADD_FAILURE() << "surface pixel (" << x / scale << ", " << y / scale << "): shown "
                      << std::hex << shown << ", given " << given;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

inline void Push(SDL_Event event) {
  event.common.timestamp = SDL_GetTicks();
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

inline SDL_Event KeyboardEvent(Uint32 window, SDL_Keycode sym, Uint16 mod, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.windowID = window;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = sym;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
  event.key.keysym.mod = mod;
  return event;
}

inline void PushKey(Uint32 window, SDL_Keycode sym, Uint16 mod = KMOD_NONE, bool repeat = false) {
  SDL_Event event = KeyboardEvent(window, sym, mod, true);
  event.key.repeat = repeat ? 1 : 0;
  Push(event);
}

// mod: the modifiers still held after the key went up.
inline void PushKeyUp(Uint32 window, SDL_Keycode sym, Uint16 mod) {
  Push(KeyboardEvent(window, sym, mod, false));
}

// Notches of the mouse wheel: positive away from the player.
inline void PushWheel(Uint32 window, int notches, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.windowID = window;
  event.wheel.y = notches;
  event.wheel.direction = direction;
  Push(event);
}

inline void PushButton(Uint32 window, int x, int y, Uint8 button = SDL_BUTTON_LEFT,
                       bool down = true) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = window;
  event.button.button = button;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  Push(event);
}

inline void PushMotion(Uint32 window, int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = window;
  event.motion.x = x;
  event.motion.y = y;
  Push(event);
}

inline void PushWindowEvent(Uint32 window, SDL_WindowEventID what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = window;
  event.window.event = what;
  Push(event);
}

// What Ctrl+C in the terminal and the desktop's quit request send.
inline void PushQuit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  Push(event);
}

inline const char* KeyName(Key key) {
  switch (key) {
    case Key::kEscape: return "escape";
    case Key::kSpace: return "space";
    case Key::kEnter: return "enter";
    case Key::kA: return "a";
    case Key::kPageUp: return "page-up";
    case Key::kPageDown: return "page-down";
    case Key::kWheelUp: return "wheel-up";
    case Key::kWheelDown: return "wheel-down";
    case Key::kOther: break;
  }
  return "other";
}

// The game's input events as short texts: "move X,Y", "left X,Y", "right X,Y", "key NAME",
// "close", "text TEXT".
inline std::vector<std::string> Describe(const std::vector<InputEvent>& events) {
  std::vector<std::string> out;
  for (const InputEvent& e : events) {
    const std::string at = std::to_string(e.x) + "," + std::to_string(e.y);
    switch (e.type) {
      case InputEvent::Type::kMouseMove: out.push_back("move " + at); break;
      case InputEvent::Type::kLeftDown: out.push_back("left " + at); break;
      case InputEvent::Type::kRightDown: out.push_back("right " + at); break;
      case InputEvent::Type::kKeyDown:
        out.push_back(std::string("key ") + KeyName(e.key));
        break;
      case InputEvent::Type::kClose: out.push_back("close"); break;
      case InputEvent::Type::kTextEntered: out.push_back("text " + e.text); break;
      case InputEvent::Type::kEndRun: out.push_back("end"); break;
    }
  }
  return out;
}

}  // namespace tumu::testing
