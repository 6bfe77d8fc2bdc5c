#pragma once

namespace tumu {

struct Engine;

// One step of every running animation, scroll and transition, run once per animation interval.
void AdvanceEffects(Engine& engine);

// Whether AdvanceEffects has anything to advance (so that an idle player need not wake for it).
bool EffectsRunning(const Engine& engine);

}  // namespace tumu
