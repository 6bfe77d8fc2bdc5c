#include "vars/variables.h"

#include <algorithm>

#include "platform/sjis_literal.h"

namespace tumu {
namespace {

using namespace literals;

bool IsPlainExpressionByte(char c) {
  return c == ' ' || c == '\t' || c == '%' || c == '/' || c == '*' || c == '-' || c == '+' ||
         c == '(' || c == ')' || (c >= '0' && c <= '9');
}

// The full-width characters that a numeric expression may hold, each two bytes.
constexpr std::string_view kFullWidthExpressionCharacters[] = {
    "１"_sj, "２"_sj, "３"_sj, "４"_sj, "５"_sj, "６"_sj, "７"_sj, "８"_sj, "９"_sj, "０"_sj,
    "％"_sj, "／"_sj, "＊"_sj, "－"_sj, "＋"_sj, "（"_sj, "）"_sj, "　"_sj,
};

bool IsFullWidthExpressionCharacter(std::string_view text, std::size_t pos) {
  if (pos + 1 >= text.size()) return false;
  const std::string_view pair = text.substr(pos, 2);
  return std::find(std::begin(kFullWidthExpressionCharacters),
                   std::end(kFullWidthExpressionCharacters),
                   pair) != std::end(kFullWidthExpressionCharacters);
}

bool IsSlot(std::int32_t index) { return index >= 0 && index < kNumericSlots; }

}  // namespace

std::int32_t HashVariableName(std::string_view name) {
  std::uint32_t h = 0;
  for (const char c : name) {
    // Bytes of two-byte characters (0x80 and up) count negative, as the game's signed chars did.
    const auto byte = static_cast<std::int32_t>(static_cast<std::int8_t>(c));
    h = h * 83u + static_cast<std::uint32_t>(byte);
  }
  return static_cast<std::int32_t>(h % static_cast<std::uint32_t>(kUsedHashBuckets));
}

void IndexVariableName(EngineState& state, std::string_view name, std::int32_t index) {
  if (!IsSlot(index)) return;
  const std::int32_t bucket = HashVariableName(name);
  state.name_hash_next[index] = state.name_hash_heads[bucket];
  state.name_hash_heads[bucket] = static_cast<std::int16_t>(index);
}

std::int32_t FindVariable(const EngineState& state, std::string_view name) {
  std::int32_t i = state.name_hash_heads[HashVariableName(name)];
  // A chain visits each slot at most once; the step bound only guards against a damaged index.
  for (std::int32_t steps = 0; IsSlot(i) && steps < kNumericSlots; ++steps) {
    if (state.numeric_names[i] == name) return i;
    i = state.name_hash_next[i];
  }
  return -1;
}

std::int32_t FindStringVariable(const EngineState& state, std::string_view name) {
  // The walk goes one slot past the first free one, so an empty name finds a free slot.
  const std::int32_t last = std::clamp(state.string_count + 1, 0, kStringSlots - 1);
  for (std::int32_t i = 0; i <= last; ++i) {
    if (state.string_names[i] == name) return i;
  }
  return -1;
}

void RebuildVariableIndex(EngineState& state) {
  // Emptied first, so that a slot is never linked twice (which would make its chain a loop).
  ResetVariableIndex(state);
  const std::int32_t count = std::clamp(state.numeric_count, 0, kNumericSlots);
  for (std::int32_t i = 0; i < count; ++i) IndexVariableName(state, state.numeric_names[i], i);
}

void ResetVariableIndex(EngineState& state) {
  state.name_hash_heads.fill(-1);
  // The links are rewritten when a slot is indexed; -2 marks them as unused meanwhile.
  state.name_hash_next.fill(-2);
}

void ResetVariables(EngineState& state) {
  state.numeric_values.fill(0);
  for (auto& name : state.numeric_names) name.clear();
  for (auto& name : state.string_names) name.clear();
  for (auto& value : state.string_values) value.clear();
  state.numeric_count = 0;
  state.string_count = 0;
}

bool HasNameCharacter(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size() && text[pos] != '\0';) {
    if (IsPlainExpressionByte(text[pos])) {
      pos += 1;
    } else if (IsFullWidthExpressionCharacter(text, pos)) {
      pos += 2;
    } else {
      return true;
    }
  }
  return false;
}

std::int32_t AddNumericVariable(EngineState& state, std::string_view name) {
  const std::int32_t slot = state.numeric_count;
  if (!IsSlot(slot)) return -1;
  state.numeric_names[slot] = name;
  IndexVariableName(state, state.numeric_names[slot], slot);
  state.numeric_count = slot + 1;
  return slot;
}

}  // namespace tumu
