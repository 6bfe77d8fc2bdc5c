// The picture commands of the layers: background, person, foreground and frontmost pictures,
// their off commands, the mask colour and the translucency switch.
#pragma once

#include <string_view>

#include "platform/surface565.h"

namespace tumu {

struct Engine;

void HandleBackground(Engine& engine);
void HandlePerson(Engine& engine);
void HandleForeground(Engine& engine);
void HandleFrontmost(Engine& engine);
void HandleBackgroundOff(Engine& engine);
void HandlePersonOff(Engine& engine);
void HandleForegroundOff(Engine& engine);
void HandleFrontmostOff(Engine& engine);
void HandleMaskColor(Engine& engine);
void HandleTranslucencyOn(Engine& engine);
void HandleTranslucencyOff(Engine& engine);

// Loads the picture named on the next line into a layer, with the options of the command line:
// "追加" keeps the layer's contents, "位置" reads X and Y, "マスク" keeps them only where the new
// picture is black. `keyword` names the command in the reports.
bool LoadLayerPicture(Engine& engine, Surface565& layer, std::string_view keyword);

// Layers 0, 1, 2: the background, the person, the foreground.
void StopScroll(Engine& engine, int layer);
void StopPersonAnimation(Engine& engine);
void StopForegroundAnimation(Engine& engine);

}  // namespace tumu
