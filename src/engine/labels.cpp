// Labels and blocks. There is no index: every search walks the store, testing each line by its
// prefix alone, whatever its context (a prose line that looks like a label is one).
#include <string>

#include "engine/engine.h"
#include "engine/format.h"
#include "engine/scenario.h"
#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

namespace {

constexpr std::string_view kFullWidthDigits[] = {"０"_sj, "１"_sj, "２"_sj, "３"_sj, "４"_sj,
                                                 "５"_sj, "６"_sj, "７"_sj, "８"_sj, "９"_sj};

// The ASCII digit of a full-width digit at the start of text, or 0.
char FullWidthDigitAt(std::string_view text) {
  for (int d = 0; d < 10; ++d) {
    if (StartsWith(text, kFullWidthDigits[d])) return static_cast<char>('0' + d);
  }
  return 0;
}

// The change of the nesting count that a line makes: both opener tests count separately.
int BlockDelta(std::string_view line) {
  int delta = 0;
  if (StartsWith(line, "＃選択"_sj)) ++delta;
  if (StartsWith(line, "＃分岐"_sj)) ++delta;
  if (StartsWith(line, "＃＃＃＃"_sj)) --delta;
  return delta;
}

}  // namespace

bool IsLabelLine(std::string_view line) {
  if (!StartsWith(line, "＃"_sj)) return false;
  const std::string_view rest = line.substr(2);
  return (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') || FullWidthDigitAt(rest) != 0;
}

std::string NormalizeLabel(std::string_view line) {
  std::string digits;
  std::size_t pos = 2;
  while (pos < line.size()) {
    const char c = line[pos];
    if (c >= '0' && c <= '9') {
      digits += c;
      pos += 1;
    } else if (const char d = FullWidthDigitAt(line.substr(pos)); d != 0) {
      digits += d;
      pos += 2;
    } else {
      break;
    }
  }
  return std::string("＃"_sj.view()) + digits;
}

void NormalizeScenarioLines(Engine& engine) {
  EngineState& s = engine.state;
  const int last = std::min(s.line_count, kScenarioSlots - 1);
  for (int i = 0; i <= last; ++i) {
    LineText& slot = s.scenario_buffer[static_cast<std::size_t>(i)];
    if (IsLabelLine(slot.view())) {
      slot.assign(NormalizeLabel(slot.view()));
    } else if (StartsWith(slot.view(), "＃＃＃＃"_sj)) {
      slot.assign("＃＃＃＃"_sj);
    }
  }
}

void CheckBlockBalance(Engine& engine) {
  EngineState& s = engine.state;
  const int last = std::min(s.line_count, kScenarioSlots - 1);
  int count = 0;
  for (int i = 0; i <= last; ++i) {
    count += BlockDelta(ScenarioLine(engine, i));
    if (count < 0) {
      ReportScenarioError(engine, "「＃＃＃＃」が多いか位置が違います。"_sj,
                          Sprintf("%d 行目の「＃＃＃＃」をチェックしてください"_sj.c_str(), i + 1));
      s.block_check_reported = 1;
      return;
    }
  }
  if (count > 0) {
    ReportScenarioError(engine, Sprintf("「＃＃＃＃」が %d 個 足りません"_sj.c_str(), count),
                        "シナリオを再チェックしてください"_sj);
    s.block_check_reported = 1;
  }
}

int FindInBlock(const Engine& engine, std::string_view target, int level) {
  const EngineState& s = engine.state;
  int count = 0;
  for (int i = s.current_line + 1; i < kScenarioSlots; ++i) {
    const std::string_view line = ScenarioLine(engine, i);
    count += BlockDelta(line);
    if (i >= s.line_count) return -1;
    if (count == level && line == target) return i;
  }
  return -1;
}

int FindLabel(const Engine& engine, std::string_view name) {
  const EngineState& s = engine.state;
  for (int i = 1; i < s.line_count && i < kScenarioSlots; ++i) {
    if (ScenarioLine(engine, i) == name && StartsWith(ScenarioLine(engine, i - 1), "＃ラベル"_sj)) {
      return i;
    }
  }
  return -1;
}

}  // namespace tumu
