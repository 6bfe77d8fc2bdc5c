#include "engine/compose.h"

#include "choice/choice_menu.h"
#include "choice/click.h"
#include "engine/engine.h"
#include "picture/layer_drawing.h"
#include "text/variable_display.h"
#include "text/window_drawing.h"

namespace tumu {

void Compose(Engine& engine, bool present) {
  EngineState& s = engine.state;
  if (s.error_halt == 1 || engine.screen.back_surface.empty()) return;

  DrawBackgroundLayer(engine);
  DrawPartialSlot(engine, 0);
  DrawPartialSlot(engine, 1);
  DrawPersonLayer(engine);
  DrawPartialSlot(engine, 2);
  DrawPartialSlot(engine, 3);
  DrawForegroundLayer(engine);
  DrawHoverPicture(engine);
  DrawTextWindow(engine);
  DrawDialogueWindow(engine);
  DrawVariableDisplay(engine);
  if (s.error_halt == 1) return;  // rendering the display reported a fault: its screen stays
  DrawChoiceMenu(engine);
  DrawClickMark(engine);
  DrawFade(engine);
  if (present) PresentFrame(engine);
}

}  // namespace tumu
