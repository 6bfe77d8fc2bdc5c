#include "picture/layer_drawing.h"

#include "engine/engine.h"
#include "picture/layer_commands.h"
#include "picture/scroll.h"

namespace tumu {

namespace {

constexpr int kPartialFrameWidth = 210;
constexpr int kPartialFrameHeight = 160;

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

void DrawWholeKeyed(Engine& engine, const Surface565& layer) {
  CopyRectKeyed(engine.screen.back_surface, 0, 0, layer, WholeSurface(layer));
}

}  // namespace

void DrawBackgroundLayer(Engine& engine) {
  Screen& screen = engine.screen;
  if (engine.state.background_on) {
    RedrawScrollingLayer(engine, kBackgroundLayer, screen.background_surface);
    CopyRect(screen.back_surface, 0, 0, screen.background_surface,
             WholeSurface(screen.background_surface));
  } else {
    screen.back_surface.Fill(ColorToPixel(screen.format, 0, 0, 0));
  }
}

void DrawPartialSlot(Engine& engine, int slot, Surface565& target) {
  const PartialSlot& p = engine.state.partial[static_cast<std::size_t>(slot)];
  if (!p.partial_on) return;
  const Surface565& source = engine.screen.partial_surface[static_cast<std::size_t>(slot)];
  const Rect frame{(p.partial_frame - 1) * kPartialFrameWidth, 0, kPartialFrameWidth,
                   kPartialFrameHeight};
  CopyRectKeyed(target, p.partial_x, p.partial_y, source, frame);
}

void DrawPersonLayer(Engine& engine) {
  if (!engine.state.person_on) return;
  RedrawScrollingLayer(engine, kPersonLayer, engine.screen.person_surface);
  if (const Surface565* person = PersonFrameSurface(engine)) DrawWholeKeyed(engine, *person);
}

void DrawForegroundLayer(Engine& engine) {
  if (!engine.state.foreground_on) return;
  RedrawScrollingLayer(engine, kForegroundLayer, engine.screen.foreground_surface);
  if (const Surface565* foreground = ForegroundFrameSurface(engine)) {
    DrawWholeKeyed(engine, *foreground);
  }
}

void DrawHoverPicture(Engine& engine) {
  if (engine.state.hover_picture_shown == 1) DrawWholeKeyed(engine, engine.screen.incoming_surface);
}

void DrawFade(Engine& engine) {
  const EngineState& s = engine.state;
  if (!s.fade_active) return;
  Screen& screen = engine.screen;
  DarkenRect(screen.back_surface, screen.format, {0, 0, kScreenWidth, kScreenHeight},
             s.transition_level);
}

void DarkenOrBlacken(Engine& engine, const Rect& rect) {
  Screen& screen = engine.screen;
  if (engine.state.translucency_on == 1) {
    DarkenRect(screen.back_surface, screen.format, rect, 2);
  } else {
    screen.back_surface.FillRect(rect, ColorToPixel(screen.format, 0, 0, 0));
  }
}

}  // namespace tumu
