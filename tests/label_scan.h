// The label and block searches as plain walks of the lines from the start, the way the game
// searched before its store kept an index: what the indexed searches must give, line for line.
#pragma once

#include <string_view>

#include "engine/scenario_store.h"
#include "platform/sjis.h"
#include "platform/sjis_literal.h"

namespace tumu::testing {

inline std::string_view ScannedLine(const ScenarioStore& store, int index) {
  if (index < 0 || index >= kScenarioSlots) return {};
  return store[static_cast<std::size_t>(index)].view();
}

inline int ScanFindInBlock(const ScenarioStore& store, std::string_view target, int from,
                           int level, int line_count) {
  using namespace literals;
  int count = 0;
  for (int i = from + 1; i < kScenarioSlots; ++i) {
    const std::string_view line = ScannedLine(store, i);
    if (StartsWith(line, "＃選択"_sj)) ++count;
    if (StartsWith(line, "＃分岐"_sj)) ++count;
    if (StartsWith(line, "＃＃＃＃"_sj)) --count;
    if (i >= line_count) return -1;
    if (count == level && line == target) return i;
  }
  return -1;
}

inline int ScanFindLabel(const ScenarioStore& store, std::string_view name, int line_count) {
  using namespace literals;
  for (int i = 1; i < line_count && i < kScenarioSlots; ++i) {
    if (ScannedLine(store, i) == name && StartsWith(ScannedLine(store, i - 1), "＃ラベル"_sj)) {
      return i;
    }
  }
  return -1;
}

}  // namespace tumu::testing
