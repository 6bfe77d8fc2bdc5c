// The numeric and string variables of a game and the hash index over the numeric names.
//
// Every expression and every substituted text looks names up, so numeric names are found through
// a hash of 5000 buckets whose chains run through one 16-bit link per slot. Saves record the
// tables slot by slot, so the slot order and the index layout are part of the game's behaviour.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/state.h"

namespace tumu {

// Buckets of the name index actually used (the heads table has room for more).
inline constexpr std::int32_t kUsedHashBuckets = 5000;

// The bucket of a name: h = h * 83 + byte, with bytes as signed 8-bit values, modulo 2^32.
std::int32_t HashVariableName(std::string_view name);
// Links slot `index` at the front of the chain of `name`'s bucket.
void IndexVariableName(EngineState& state, std::string_view name, std::int32_t index);
// The numeric slot named exactly `name`, or -1.
std::int32_t FindVariable(const EngineState& state, std::string_view name);
// The string variable named exactly `name`, or -1. An empty name finds the first free slot,
// whose value is empty.
std::int32_t FindStringVariable(const EngineState& state, std::string_view name);
// Links slots 0 .. numeric_count - 1 again, in ascending order (after a load).
void RebuildVariableIndex(EngineState& state);
// Empties every bucket.
void ResetVariableIndex(EngineState& state);
// Clears every value, every name slot and both counts. Callers follow it with ResetVariableIndex.
void ResetVariables(EngineState& state);
// True when the text holds a character that cannot be part of a plain numeric expression
// (digits, "%/*-+()", blanks and tabs, their full-width forms and the full-width blank).
bool HasNameCharacter(std::string_view text);
// Puts `name` into the next free numeric slot and indexes it; the slot, or -1 when every slot is
// taken. The name is stored as the slot holds it (at most 54 bytes).
std::int32_t AddNumericVariable(EngineState& state, std::string_view name);

}  // namespace tumu
