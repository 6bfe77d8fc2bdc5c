// Labels and blocks. Every line is tested by its prefix alone, whatever its context (a prose line
// that looks like a label is one). The searches go through the store's index.
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
    const std::string_view line = ScenarioLine(engine, i);
    if (IsLabelLine(line)) {
      s.scenario_buffer.Edit(static_cast<std::size_t>(i)).assign(NormalizeLabel(line));
    } else if (StartsWith(line, "＃＃＃＃"_sj) && line != "＃＃＃＃"_sj) {
      s.scenario_buffer.Edit(static_cast<std::size_t>(i)).assign("＃＃＃＃"_sj);
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
  return s.scenario_buffer.FindInBlock(target, s.current_line, level, s.line_count);
}

int FindLabel(const Engine& engine, std::string_view name) {
  const EngineState& s = engine.state;
  return s.scenario_buffer.FindLabel(name, s.line_count);
}

}  // namespace tumu
