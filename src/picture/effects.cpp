#include "picture/effects.h"

#include "engine/engine.h"
#include "picture/animation.h"
#include "picture/scroll.h"
#include "picture/transitions.h"

namespace tumu {

namespace {

void AdvanceClickMark(EngineState& s) {
  if (s.click_mark_enabled != 1) return;
  s.click_mark_frame += s.click_mark_step;
  if (s.click_mark_frame >= 3) {
    s.click_mark_step = -1;
  } else if (s.click_mark_frame <= 1) {
    s.click_mark_step = 1;
  }
}

}  // namespace

void AdvanceEffects(Engine& engine) {
  AdvancePersonAnimation(engine);
  AdvanceForegroundAnimation(engine);
  AdvancePartialAnimations(engine);
  AdvanceClickMark(engine.state);
  AdvanceScrolls(engine);
  AdvanceTransition(engine);
}

bool EffectsRunning(const Engine& engine) {
  const EngineState& s = engine.state;
  if (s.click_mark_enabled == 1 || s.person_anim_on || s.foreground_anim_on) return true;
  for (const PartialSlot& p : s.partial) {
    if (p.partial_anim_on) return true;
  }
  for (const ScrollRecord& r : s.scroll) {
    if (r.scroll_active) return true;
  }
  return s.fading_in || s.fading_out || s.overlap_running || s.wipe_running;
}

}  // namespace tumu
