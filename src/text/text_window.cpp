#include "text/text_window.h"

#include "engine/engine.h"

namespace tumu {

void DrawDefaultDialogueFrame(Engine& engine) {
  const EngineState& s = engine.state;
  Screen& screen = engine.screen;
  ClearSurfaceWhite(screen, screen.dialogue_frame_surface);
  FillSurfaceRect(screen, screen.dialogue_frame_surface, s.dialogue_x, s.dialogue_y,
                  s.dialogue_width, s.dialogue_height, 100, 100, 255);
  FillSurfaceRect(screen, screen.dialogue_frame_surface, s.dialogue_x + 2, s.dialogue_y + 2,
                  s.dialogue_width - 4, s.dialogue_height - 4, 255, 255, 255);
}

}  // namespace tumu
