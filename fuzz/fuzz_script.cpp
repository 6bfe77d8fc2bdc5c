// A headless input script of any bytes.
#include <cstdint>
#include <string_view>

#include "platform/headless/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tumu::ParsedScript script =
      tumu::ParseScript(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const tumu::ScriptEvent& e : script.events) {
    if (e.x < 0 || e.x > 639 || e.y < 0 || e.y > 479) __builtin_trap();
  }
  return 0;
}
