// A configuration file of any bytes.
#include <cstdint>
#include <span>

#include "engine/config.h"
#include "engine/engine.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tumu::ApplyConfigText(tumu::fuzz::FuzzGame::Fresh().engine(),
                        std::span<const std::uint8_t>(data, size));
  return 0;
}
