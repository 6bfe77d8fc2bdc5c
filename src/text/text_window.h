#pragma once

namespace tumu {

struct Engine;

// The default frame of the dialogue window: a 2-pixel light blue border around its rectangle.
void DrawDefaultDialogueFrame(Engine& engine);

}  // namespace tumu
