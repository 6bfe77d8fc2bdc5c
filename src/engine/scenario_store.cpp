#include "engine/scenario_store.h"

#include <algorithm>

#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

namespace {

// Nesting counts stay within ±2 per line, so they fit the key's 16 bits once shifted.
constexpr int kDepthBias = 0x8000;
constexpr std::uint64_t kLowBits = 0xFFFF;

std::uint32_t HashText(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text) {
    hash ^= static_cast<std::uint8_t>(c);
    hash *= 16777619u;
  }
  return hash;
}

std::uint64_t MakeKey(std::uint32_t hash, std::uint64_t depth_bits, std::uint64_t index) {
  return (std::uint64_t{hash} << 32) | (depth_bits << 16) | index;
}

}  // namespace

int BlockDelta(std::string_view line) {
  int delta = 0;
  if (StartsWith(line, "＃選択"_sj)) ++delta;
  if (StartsWith(line, "＃分岐"_sj)) ++delta;
  if (StartsWith(line, "＃＃＃＃"_sj)) --delta;
  return delta;
}

bool IsLabelKeywordLine(std::string_view line) { return StartsWith(line, "＃ラベル"_sj); }

void ScenarioStore::Clear() {
  for (LineText& line : lines_) line.clear();
  stale_ = true;
}

void ScenarioStore::RebuildIfStale(int line_count) const {
  const int count = std::clamp(line_count, 0, kScenarioSlots);
  if (!stale_ && indexed_count_ == count) return;
  int depth = 0;
  name_count_ = 0;
  for (int i = 0; i < count; ++i) {
    const std::string_view line = lines_[static_cast<std::size_t>(i)].view();
    depth += BlockDelta(line);
    depth_[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(depth);
    const std::uint32_t hash = HashText(line);
    block_keys_[static_cast<std::size_t>(i)] =
        MakeKey(hash, static_cast<std::uint64_t>(depth + kDepthBias), static_cast<std::uint64_t>(i));
    if (i >= 1 && IsLabelKeywordLine(lines_[static_cast<std::size_t>(i - 1)].view())) {
      name_keys_[static_cast<std::size_t>(name_count_++)] =
          MakeKey(hash, 0, static_cast<std::uint64_t>(i));
    }
  }
  std::sort(block_keys_.begin(), block_keys_.begin() + count);
  std::sort(name_keys_.begin(), name_keys_.begin() + name_count_);
  indexed_count_ = count;
  stale_ = false;
}

int ScenarioStore::FirstMatch(const Key* keys, int count, Key low, Key high,
                              std::string_view text) const {
  for (const Key* k = std::lower_bound(keys, keys + count, low); k != keys + count && *k <= high;
       ++k) {
    const auto index = static_cast<std::size_t>(*k & kLowBits);
    if (lines_[index].view() == text) return static_cast<int>(index);
  }
  return -1;
}

int ScenarioStore::FindInBlock(std::string_view target, int from, int level,
                               int line_count) const {
  const int limit = std::min(line_count, kScenarioSlots);
  if (std::int64_t{from} + 1 >= limit) return -1;
  // Lines before the first are empty and change no count.
  if (from < -1) {
    if (target.empty() && level == 0) return from + 1;
    from = -1;
  }
  RebuildIfStale(line_count);
  const std::int64_t base = from >= 0 ? depth_[static_cast<std::size_t>(from)] : 0;
  const std::int64_t depth_bits = base + level + kDepthBias;
  if (depth_bits < 0 || depth_bits > static_cast<std::int64_t>(kLowBits)) return -1;
  const std::uint32_t hash = HashText(target);
  const auto bits = static_cast<std::uint64_t>(depth_bits);
  return FirstMatch(block_keys_.data(), indexed_count_,
                    MakeKey(hash, bits, static_cast<std::uint64_t>(from + 1)),
                    MakeKey(hash, bits, kLowBits), target);
}

int ScenarioStore::FindLabel(std::string_view name, int line_count) const {
  const int limit = std::min(line_count, kScenarioSlots);
  if (limit <= 1) return -1;
  RebuildIfStale(line_count);
  const std::uint32_t hash = HashText(name);
  return FirstMatch(name_keys_.data(), name_count_, MakeKey(hash, 0, 0),
                    MakeKey(hash, kLowBits, kLowBits), name);
}

}  // namespace tumu
