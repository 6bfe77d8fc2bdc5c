#pragma once

#include <string>
#include <vector>

namespace tumu {

// `tumu pack scramble IN OUT` and `tumu pack unscramble IN OUT`: turns a readable scenario into
// the packaged form the player loads, and back. Returns the exit status.
int RunPackCommand(const std::vector<std::string>& args);

}  // namespace tumu
