// The scenario store: loading a scenario file into it, its labels and blocks, and the scrambling
// of packaged scenario files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tumu {

struct Engine;

inline constexpr std::uint8_t kScrambleKey = 0x5C;

// Loads the scenario file (the complete name) into the store. 1 on success, 0 when it cannot be
// opened (reported) or when a fatal limit stopped the program.
int LoadScenario(Engine& engine, std::string_view path);
// The same for the bytes of a file already read (path is what the reports name).
int LoadScenarioBytes(Engine& engine, std::span<const std::uint8_t> bytes, std::string_view path);

// Labels and blocks.
std::string NormalizeLabel(std::string_view line);
void NormalizeScenarioLines(Engine& engine);
void CheckBlockBalance(Engine& engine);
int FindInBlock(const Engine& engine, std::string_view target, int level);
int FindLabel(const Engine& engine, std::string_view name);
bool IsLabelLine(std::string_view line);

// Packaged scenario files as the authoring tool writes them: every byte XOR the key, and every
// resulting 0x0A stored as 0x0D 0x0A. The source is read as text (CR LF as LF).
std::vector<std::uint8_t> ScrambleScenario(std::span<const std::uint8_t> plain);
// The reverse: stored CR LF read as LF, then XOR. Plain text comes out with LF line ends.
std::vector<std::uint8_t> UnscrambleScenario(std::span<const std::uint8_t> stored);

}  // namespace tumu
