// The two prose windows, each drawing itself onto the back surface.
#pragma once

namespace tumu {

struct Engine;

// The text window: the frontmost layer with its rows, over a darkened screen when translucent.
void DrawTextWindow(Engine& engine);
// The dialogue window: its background, its text and its frame.
void DrawDialogueWindow(Engine& engine);

}  // namespace tumu
