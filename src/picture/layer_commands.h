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

// The three full-screen layers that scroll and take part in transitions, in their drawing order.
inline constexpr int kBackgroundLayer = 0;
inline constexpr int kPersonLayer = 1;
inline constexpr int kForegroundLayer = 2;
inline constexpr int kScrollingLayers = 3;

// Ends the layer's scroll and lets its picture go; the layer keeps the window drawn last.
void StopScroll(Engine& engine, int layer);
// The animation stops at frame 0; the prepared frames stay for the next animation-on command.
void StopPersonAnimation(Engine& engine);
void StopForegroundAnimation(Engine& engine);

}  // namespace tumu
