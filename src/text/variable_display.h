// The variable display: a box in the top-left corner that shows up to 20 lines with the values
// of variables in them, taken anew at every rendering.
#pragma once

namespace tumu {

struct Engine;

void OpenVariableDisplay(Engine& engine);
void HandleVariableDisplayOff(Engine& engine);
void RenderVariableDisplay(Engine& engine);
// The box's height on the screen for the current number of lines.
int VariableBoxHeight(const Engine& engine);
// The compositor's part: re-render when marked, darken the box, draw it.
void ComposeVariableDisplay(Engine& engine);

}  // namespace tumu
