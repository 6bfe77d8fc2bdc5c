#include "engine/window_proc.h"

#include "engine/engine.h"
#include "engine/shutdown.h"
#include "picture/layer_commands.h"
#include "picture/scroll.h"
#include "vars/variable_commands.h"

namespace tumu {

namespace {

void LeftButtonDown(Engine& engine, int, int) {
  EngineState& s = engine.state;
  // A scroll that waits for the click stops there; one scroll per click, the background first.
  if (s.picture_scroll_click == 1) {
    ScrollClick(engine, kBackgroundLayer);
    return;
  }
  if (s.person_scroll_click == 1) {
    ScrollClick(engine, kPersonLayer);
    return;
  }
  if (s.foreground_scroll_click == 1) {
    ScrollClick(engine, kForegroundLayer);
    return;
  }
  // A plain click: it ends a click wait, the error screen and the end-of-scenario notice.
  s.click_wait = 0;
  s.error_halt = 0;
  s.restart_notice = 0;
}

void KeyDown(Engine& engine, Key key) {
  switch (key) {
    case Key::kEscape:
      ShutDown(engine);
      break;
    case Key::kSpace:
      if (engine.state.skip_mode == 1) engine.state.click_wait = 0;
      break;
    default:
      break;
  }
}

}  // namespace

void HandleInputEvent(Engine& engine, const InputEvent& event) {
  if (engine.quit) return;
  switch (event.type) {
    case InputEvent::Type::kMouseMove:
      break;
    case InputEvent::Type::kLeftDown:
      LeftButtonDown(engine, event.x, event.y);
      break;
    case InputEvent::Type::kRightDown:
      break;
    case InputEvent::Type::kKeyDown:
      KeyDown(engine, event.key);
      break;
    case InputEvent::Type::kClose:
      ShutDown(engine);
      break;
    case InputEvent::Type::kTextEntered:
      InputBoxCommand(engine, event.text);
      break;
    case InputEvent::Type::kEndRun:
      break;
  }
}

}  // namespace tumu
