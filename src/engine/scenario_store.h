// The scenario store: the lines of the loaded scenario in fixed slots, and an index of its label
// and block lines, so that a jump costs the same wherever its label stands.
//
// Lines are written only through Edit() and Clear(), which mark the index stale; the next search
// rebuilds it from the lines. The searches give exactly what a walk of the lines would give: the
// first matching line, tested by the same prefixes and byte comparisons.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/fixed_text.h"

namespace tumu {

inline constexpr int kScenarioSlots = 4990;
inline constexpr int kScenarioSlotBytes = 105;
using LineText = FixedText<kScenarioSlotBytes>;

// The change of the nesting count that a line makes: "＃選択" and "＃分岐" each open (tested
// separately), "＃＃＃＃" closes.
int BlockDelta(std::string_view line);
// Whether the line is the first line of a named label ("＃ラベル").
bool IsLabelKeywordLine(std::string_view line);

class ScenarioStore {
 public:
  const LineText& operator[](std::size_t index) const { return lines_[index]; }
  static constexpr std::size_t size() { return kScenarioSlots; }
  auto begin() const { return lines_.cbegin(); }
  auto end() const { return lines_.cend(); }

  // The slot to write.
  LineText& Edit(std::size_t index) {
    stale_ = true;
    return lines_[index];
  }
  // Makes every line empty.
  void Clear();

  // The first line after `from`, before `line_count`, that equals `target` and stands at `level`
  // relative to the nesting count at `from` (counted from the line after it), or -1.
  int FindInBlock(std::string_view target, int from, int level, int line_count) const;
  // The first name line (a line after a "＃ラベル" line) from line 1 on, before `line_count`,
  // that equals `name`, or -1.
  int FindLabel(std::string_view name, int line_count) const;

 private:
  // Keys sort lines by the hash of their text, then (for block lines) their nesting count, then
  // their index; equal texts are told apart from collisions by comparing the lines.
  using Key = std::uint64_t;
  void RebuildIfStale(int line_count) const;
  // The line of the first key in [low, high] whose line is `text`, or -1.
  int FirstMatch(const Key* keys, int count, Key low, Key high, std::string_view text) const;

  std::array<LineText, kScenarioSlots> lines_;

  // The index, valid for the lines below `indexed_count` while not stale.
  mutable bool stale_ = true;
  mutable int indexed_count_ = -1;
  mutable std::array<std::int16_t, kScenarioSlots> depth_{};  // nesting count after each line
  mutable std::array<Key, kScenarioSlots> block_keys_{};      // every line: text, depth, index
  mutable std::array<Key, kScenarioSlots> name_keys_{};       // name lines: text, index
  mutable int name_count_ = 0;
};

}  // namespace tumu
