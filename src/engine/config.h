#pragma once

#include <cstdint>
#include <span>

namespace tumu {

struct Engine;

// Reads "tumu.ini" (the window title and the window mode) when the game has one, and asks the
// player for the window mode when the file says so and `may_ask` is true.
void ApplyConfig(Engine& engine, bool may_ask);
void ReadConfigFile(Engine& engine);
// Applies the settings of the text of a configuration file.
void ApplyConfigText(Engine& engine, std::span<const std::uint8_t> bytes);

}  // namespace tumu
