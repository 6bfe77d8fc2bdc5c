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
// Draws the box: rendered anew when marked, over its darkened place.
void DrawVariableDisplay(Engine& engine);

}  // namespace tumu
