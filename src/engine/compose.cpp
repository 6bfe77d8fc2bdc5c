#include "engine/compose.h"

#include "choice/choice_menu.h"
#include "choice/click.h"
#include "engine/engine.h"
#include "picture/layer_drawing.h"
#include "picture/transition_drawing.h"
#include "text/variable_display.h"
#include "text/window_drawing.h"

namespace tumu {

namespace {

void DrawPartialSlots(Engine& engine, int first_slot, Surface565& target) {
  DrawPartialSlot(engine, first_slot, target);
  DrawPartialSlot(engine, first_slot + 1, target);
}

}  // namespace

void Compose(Engine& engine, bool present) {
  EngineState& s = engine.state;
  Surface565& back = engine.screen.back_surface;
  if (s.error_halt == 1 || back.empty()) return;

  DrawBackgroundLayer(engine);
  DrawPartialSlots(engine, 0, back);
  DrawPersonLayer(engine);
  DrawPartialSlots(engine, 2, back);
  DrawForegroundLayer(engine);
  if (s.wipe_running) {
    ComposeIncoming(engine);
    DrawWipeStep(engine);
  } else if (s.overlap_running) {
    ComposeIncoming(engine);
    DrawCrossFade(engine);
  }
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

void ComposeIncoming(Engine& engine) {
  Surface565& incoming = engine.screen.incoming_surface;
  DrawIncomingBackground(engine);
  DrawPartialSlots(engine, 0, incoming);
  DrawIncomingPerson(engine);
  DrawPartialSlots(engine, 2, incoming);
  DrawIncomingForeground(engine);
  KeepOutgoingScene(engine);
}

}  // namespace tumu
