// The drawing of overlaps and wipes: the incoming scene built layer by layer on the incoming
// surface, the outgoing scene kept on the work surface, and the two ways the one replaces the
// other on the back surface. The order of the steps is the frame's recipe (engine/compose.h).
#pragma once

namespace tumu {

struct Engine;

// The new background, else the present one, else black.
void DrawIncomingBackground(Engine& engine);
// The new person, else the present person's first frame (not its current animation frame).
void DrawIncomingPerson(Engine& engine);
// The new foreground, else the present foreground's first frame.
void DrawIncomingForeground(Engine& engine);
// The scene composed so far on the back surface becomes the outgoing scene.
void KeepOutgoingScene(Engine& engine);

// The wipe's present step: the incoming scene wherever the step's mask has the mask colour, the
// outgoing scene wherever it is black.
void DrawWipeStep(Engine& engine);
// The overlap's present level of the blend of the outgoing and the incoming scene.
void DrawCrossFade(Engine& engine);

}  // namespace tumu
