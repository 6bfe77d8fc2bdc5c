#include "choice/click.h"

#include "engine/engine.h"

namespace tumu {

void UpdateClickMarkVisibility(Engine& engine) {
  EngineState& s = engine.state;
  if (s.click_mark_enabled != 1) return;
  const bool plain_click_wait =
      s.click_wait == 1 && s.back_screen_choice_active != 1 && s.choice_menu_active != 1;
  const bool other_click_wait = s.picture_scroll_click == 1 || s.person_scroll_click == 1 ||
                                s.foreground_scroll_click == 1 || s.click_position_active == 1;
  s.click_mark_shown = plain_click_wait || other_click_wait ? 1 : 0;
}

void DrawClickMark(Engine& engine) {
  const EngineState& s = engine.state;
  if (!s.click_mark_shown) return;
  // The mark's strip holds its frames 210 pixels apart, each 80 x 80.
  constexpr int kFrameSize = 80;
  constexpr int kFrameSpacing = 210;
  CopyRectKeyed(engine.screen.back_surface, s.click_mark_x, s.click_mark_y,
                engine.screen.click_mark_surface,
                {(s.click_mark_frame - 1) * kFrameSpacing, 0, kFrameSize, kFrameSize});
}

}  // namespace tumu
