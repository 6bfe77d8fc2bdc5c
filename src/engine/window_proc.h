#pragma once

#include "platform/platform.h"

namespace tumu {

struct Engine;

// What the player does, turned into changes of the engine's flags. Never runs scenario lines.
void HandleInputEvent(Engine& engine, const InputEvent& event);

}  // namespace tumu
