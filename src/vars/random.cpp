#include "vars/random.h"

namespace tumu {

void SeedRandom(EngineState& state, std::uint32_t seed) { state.random_state = seed; }

int NextRandom(EngineState& state) {
  state.random_state = state.random_state * 214013u + 2531011u;
  return static_cast<int>((state.random_state >> 16) & 0x7FFF);
}

}  // namespace tumu
