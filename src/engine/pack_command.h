#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tumu {

// `tumu pack scramble IN OUT` and `tumu pack unscramble IN OUT`: turns a readable scenario into
// the packaged form the player loads, and back. Returns the exit status.
int RunPackCommand(const std::vector<std::string>& args);

// Whether text is well-formed UTF-8 with at least one character beyond ASCII (plain ASCII is
// Shift-JIS as well).
bool LooksLikeUtf8(std::span<const std::uint8_t> text);

}  // namespace tumu
