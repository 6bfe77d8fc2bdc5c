#include "text/window_drawing.h"

#include "engine/engine.h"
#include "picture/layer_drawing.h"

namespace tumu {

void DrawTextWindow(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  if (!s.frontmost_on) return;
  if (s.text_translucent == 1 && s.translucency_on == 1) {
    DarkenRect(screen.back_surface, screen.format, {0, 0, kScreenWidth, kScreenHeight}, 3);
  }
  CopyRectKeyed(screen.back_surface, 0, 0, screen.frontmost_surface,
                WholeSurface(screen.frontmost_surface));
}

void DrawDialogueWindow(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  if (!s.dialogue_visible) return;
  if (s.dialogue_translucent == 1) {
    DarkenOrBlacken(engine, {s.dialogue_x, s.dialogue_y, s.dialogue_width, s.dialogue_height});
  }
  CopyRectKeyed(screen.back_surface, s.dialogue_x, s.dialogue_y, screen.dialogue_text_surface,
                {0, 0, s.dialogue_width, s.dialogue_height});
  CopyRectKeyed(screen.back_surface, 0, 0, screen.dialogue_frame_surface,
                WholeSurface(screen.dialogue_frame_surface));
}

}  // namespace tumu
