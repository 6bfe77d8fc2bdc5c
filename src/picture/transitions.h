// Transitions: overlaps that cross-fade to a scene with new pictures, wipes that reveal the new
// scene through a sequence of mask pictures, and fades to and from black. They advance one step
// per animation interval while the scenario waits for them.
#pragma once

namespace tumu {

struct Engine;

void HandleBackgroundOverlap(Engine& engine);
void HandlePersonOverlap(Engine& engine);
void HandleForegroundOverlap(Engine& engine);
void HandleOverlapAll(Engine& engine);
void HandleWipePattern(Engine& engine);
void HandleWipe(Engine& engine);
void HandleFadeOut(Engine& engine);
void HandleFadeIn(Engine& engine);

// One step of the first running transition (fade in, fade out, overlap, wipe).
void AdvanceTransition(Engine& engine);

// At the end of an overlap or wipe: each layer with a new picture takes it and is shown, its
// scroll and its animation stop.
void CommitPendingPictures(Engine& engine);

}  // namespace tumu
