#include "picture/transition_drawing.h"

#include "engine/engine.h"
#include "picture/layer_commands.h"

namespace tumu {

namespace {

const Surface565& Pending(const Engine& engine, int layer) {
  return engine.pictures.pending_picture[static_cast<std::size_t>(layer)];
}

// A keyed layer of the incoming scene: its new picture, else what the layer shows at frame 0.
void DrawIncomingLayer(Engine& engine, int layer, std::int32_t pending_set, std::int32_t on,
                       const Surface565& present) {
  Surface565& incoming = engine.screen.incoming_surface;
  if (pending_set) {
    const Surface565& picture = Pending(engine, layer);
    CopyRectKeyed(incoming, 0, 0, picture, WholeSurface(picture));
  } else if (on) {
    CopyRectKeyed(incoming, 0, 0, present, WholeSurface(present));
  }
}

}  // namespace

void DrawIncomingBackground(Engine& engine) {
  const EngineState& s = engine.state;
  Screen& screen = engine.screen;
  const Surface565* background = s.pending_background_set ? &Pending(engine, kBackgroundLayer)
                                 : s.background_on        ? &screen.background_surface
                                                          : nullptr;
  // An opaque background covers the whole scene; only without one does it start black.
  if (background == nullptr || background->empty()) {
    screen.incoming_surface.Fill(ColorToPixel(screen.format, 0, 0, 0));
  }
  if (background != nullptr) {
    CopyRect(screen.incoming_surface, 0, 0, *background, WholeSurface(*background));
  }
}

void DrawIncomingPerson(Engine& engine) {
  const EngineState& s = engine.state;
  DrawIncomingLayer(engine, kPersonLayer, s.pending_person_set, s.person_on,
                    engine.screen.person_surface);
}

void DrawIncomingForeground(Engine& engine) {
  const EngineState& s = engine.state;
  DrawIncomingLayer(engine, kForegroundLayer, s.pending_foreground_set, s.foreground_on,
                    engine.screen.foreground_surface);
}

void KeepOutgoingScene(Engine& engine) {
  Screen& screen = engine.screen;
  CopyRect(screen.work_surface, 0, 0, screen.back_surface, WholeSurface(screen.back_surface));
}

void DrawWipeStep(Engine& engine) {
  Screen& screen = engine.screen;
  // Step 0 has no mask. The mask of every later step was read when the step began.
  if (engine.state.wipe_step > 0) {
    CopyRectKeyed(screen.work_surface, 0, 0, screen.mask_surface,
                  WholeSurface(screen.mask_surface));
  }
  CopyRect(screen.back_surface, 0, 0, screen.incoming_surface,
           WholeSurface(screen.incoming_surface));
  CopyRectKeyed(screen.back_surface, 0, 0, screen.work_surface,
                WholeSurface(screen.work_surface));
}

void DrawCrossFade(Engine& engine) {
  Screen& screen = engine.screen;
  CrossFade(screen.back_surface, screen.format, screen.work_surface, screen.incoming_surface,
            engine.state.transition_level);
}

}  // namespace tumu
