#include "picture/compose.h"

#include "engine/engine.h"
#include "text/text_window.h"
#include "text/variable_display.h"

namespace tumu {

namespace {

constexpr int kPartialFrameWidth = 210;
constexpr int kPartialFrameHeight = 160;

void DrawPartialSlot(Engine& engine, int slot) {
  const PartialSlot& p = engine.state.partial[static_cast<std::size_t>(slot)];
  if (!p.partial_on) return;
  const Surface565& source = engine.screen.partial_surface[static_cast<std::size_t>(slot)];
  const Rect frame{(p.partial_frame - 1) * kPartialFrameWidth, 0, kPartialFrameWidth,
                   kPartialFrameHeight};
  CopyRectKeyed(engine.screen.back_surface, p.partial_x, p.partial_y, source, frame);
}

const Surface565* PersonFrameSurface(Engine& engine) {
  const int frame = engine.state.person_frame;
  if (frame == 0) return &engine.screen.person_surface;
  if (frame >= 1 && frame <= 3) {
    return &engine.screen.person_anim_surface[static_cast<std::size_t>(frame - 1)];
  }
  return nullptr;
}

const Surface565* ForegroundFrameSurface(Engine& engine) {
  switch (engine.state.foreground_frame) {
    case 0:
      return &engine.screen.foreground_surface;
    case 1:
      return &engine.screen.foreground_anim_surface;
    default:
      return nullptr;
  }
}

void DrawClickMark(Engine& engine) {
  const EngineState& s = engine.state;
  if (!s.click_mark_shown) return;
  constexpr int kFrameSize = 80;
  constexpr int kFrameSpacing = 210;
  CopyRectKeyed(engine.screen.back_surface, s.click_mark_x, s.click_mark_y,
                engine.screen.click_mark_surface,
                {(s.click_mark_frame - 1) * kFrameSpacing, 0, kFrameSize, kFrameSize});
}

}  // namespace

void DarkenOrBlacken(Engine& engine, const Rect& rect) {
  Screen& screen = engine.screen;
  if (engine.state.translucency_on == 1) {
    DarkenRect(screen.back_surface, screen.format, rect, 2);
  } else {
    screen.back_surface.FillRect(rect, ColorToPixel(screen.format, 0, 0, 0));
  }
}

void Compose(Engine& engine, bool present) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  Surface565& back = screen.back_surface;
  if (s.error_halt == 1 || back.empty()) return;

  if (s.background_on) {
    CopyRect(back, 0, 0, screen.background_surface, WholeSurface(screen.background_surface));
  } else {
    back.Fill(ColorToPixel(screen.format, 0, 0, 0));
  }
  DrawPartialSlot(engine, 0);
  DrawPartialSlot(engine, 1);
  if (s.person_on) {
    if (const Surface565* person = PersonFrameSurface(engine)) {
      CopyRectKeyed(back, 0, 0, *person, WholeSurface(*person));
    }
  }
  DrawPartialSlot(engine, 2);
  DrawPartialSlot(engine, 3);
  if (s.foreground_on) {
    if (const Surface565* foreground = ForegroundFrameSurface(engine)) {
      CopyRectKeyed(back, 0, 0, *foreground, WholeSurface(*foreground));
    }
  }
  if (s.hover_picture_shown == 1) {
    CopyRectKeyed(back, 0, 0, screen.incoming_surface, WholeSurface(screen.incoming_surface));
  }
  ComposeTextWindow(engine);
  ComposeDialogueWindow(engine);
  ComposeVariableDisplay(engine);
  if (s.error_halt == 1) return;  // rendering the display reported a fault: its screen stays
  DrawClickMark(engine);
  if (s.fade_active) {
    DarkenRect(back, screen.format, {0, 0, kScreenWidth, kScreenHeight}, s.transition_level);
  }
  if (present) PresentFrame(engine);
}

}  // namespace tumu
