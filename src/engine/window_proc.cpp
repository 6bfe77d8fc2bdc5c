#include "engine/window_proc.h"

#include "choice/back_screen.h"
#include "choice/choice_menu.h"
#include "choice/click.h"
#include "engine/engine.h"
#include "engine/shutdown.h"
#include "engine/sub_scenario.h"
#include "picture/layer_commands.h"
#include "picture/scroll.h"
#include "vars/variable_commands.h"

namespace tumu {

namespace {

void MouseMove(Engine& engine, int x, int y) {
  EngineState& s = engine.state;
  if (s.back_screen_choice_active == 1) {
    HoverBackScreen(engine, x, y);
  } else if (s.choice_menu_active == 1) {
    s.hovered_choice = ChoiceAt(engine, x, y);
  }
}

// The label of the clicked choice runs next; after a missing label, the line after this one.
void TakeChoice(Engine& engine) {
  EngineState& s = engine.state;
  s.choice_timer_active = 0;
  const int line = ChosenChoiceLine(engine);
  if (line > 0) s.current_line = line;
  s.current_line += 1;
}

// A click on no choice does nothing, except that the click that acknowledges an error also
// cancels the choice.
void LeftButtonDown(Engine& engine, int x, int y) {
  EngineState& s = engine.state;
  if (s.click_position_active == 1) {
    StoreClickPosition(engine, x, y);
  } else if (s.picture_scroll_click == 1) {
    ScrollClick(engine, kBackgroundLayer);
  } else if (s.person_scroll_click == 1) {
    ScrollClick(engine, kPersonLayer);
  } else if (s.foreground_scroll_click == 1) {
    ScrollClick(engine, kForegroundLayer);
  } else if (s.back_screen_choice_active == 1) {
    ReadPixelColor(engine, engine.screen.work_surface, x, y);
    s.hovered_choice = BackScreenChoiceAt(engine);
    if (s.hovered_choice > 0) {
      s.click_wait = 0;
      s.back_screen_choice_active = 0;
      s.hover_picture_shown = 0;
      TakeChoice(engine);
    } else if (s.error_halt == 1) {
      s.back_screen_choice_active = 0;
    }
  } else if (s.choice_menu_active == 1) {
    s.hovered_choice = ChoiceAt(engine, x, y);
    if (s.hovered_choice > 0) {
      s.click_wait = 0;
      s.choice_menu_active = 0;
      TakeChoice(engine);
    } else if (s.error_halt == 1) {
      s.choice_menu_active = 0;
    }
  } else {
    // A plain click: it ends a click wait, the error screen and the end-of-scenario notice.
    s.click_wait = 0;
    s.error_halt = 0;
    s.restart_notice = 0;
  }
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
      MouseMove(engine, event.x, event.y);
      break;
    case InputEvent::Type::kLeftDown:
      LeftButtonDown(engine, event.x, event.y);
      break;
    case InputEvent::Type::kRightDown:
      StartRightClickScenario(engine);
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
