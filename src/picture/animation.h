// Animation of the person and the foreground by switching between prepared whole-screen frames,
// of the partial pictures through the frames of their strips, and the animation speed.
#pragma once

namespace tumu {

struct Engine;

void HandlePersonAnimationPrepare(Engine& engine);
void HandlePersonAnimationOn(Engine& engine);
void HandlePersonAnimationOff(Engine& engine);
void HandleForegroundAnimationPrepare(Engine& engine);
void HandleForegroundAnimationOn(Engine& engine);
void HandleForegroundAnimationOff(Engine& engine);
void HandleAnimationSpeed(Engine& engine);

// One step of each running animation, as the effects advance them.
void AdvancePersonAnimation(Engine& engine);
void AdvanceForegroundAnimation(Engine& engine);
void AdvancePartialAnimations(Engine& engine);

}  // namespace tumu
