#pragma once

#include "engine/state.h"

namespace tumu {

void ResetVariables(EngineState& state);
void ResetVariableIndex(EngineState& state);

}  // namespace tumu
