// The engine's one random generator, shared by the random commands and the animations.
#pragma once

#include <cstdint>

#include "engine/state.h"

namespace tumu {

void SeedRandom(EngineState& state, std::uint32_t seed);
// A number from 0 to 32767.
int NextRandom(EngineState& state);

}  // namespace tumu
