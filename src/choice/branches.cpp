#include "choice/branches.h"

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/format.h"
#include "engine/scenario.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

constexpr int kMostBounds = 99;
constexpr int kMostValues = 100;

// Moves current_line onto the label of the block, or reports that the block lacks it.
void JumpToLabel(Engine& engine, int number, std::string_view check_hint) {
  const int line = FindInBlock(engine, Sprintf("＃%d"_sj.c_str(), number), 0);
  if (line < 0) {
    ReportScenarioError(engine, "該当ラベルがありません"_sj, check_hint);
    return;
  }
  engine.state.current_line = line;
}

bool ValueOfLine(Engine& engine, int line_index, int* value) {
  const std::string line(ScenarioLine(engine, line_index));
  return EvaluateScenarioExpression(engine, line, line, value);
}

}  // namespace

void BranchByRange(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view base = NextLine(engine);
  if (base.empty()) {
    ReportScenarioError(engine, "＃分岐範囲で分岐の基準となる"_sj,
                        "「変数」が指定されていません"_sj);
    return;
  }
  if (!HasNameCharacter(base)) {
    ReportScenarioError(engine, "＃分岐範囲の基準となる「変数」が「数」です"_sj, base);
    return;
  }
  int value = 0;
  if (!ValueOfLine(engine, s.current_line, &value)) return;
  if (NextLine(engine).empty()) {
    ReportScenarioError(engine, "区間を区切る数がありません"_sj,
                        "（パラメータの直後にリターンがあります）"_sj);
    return;
  }
  const int first_bound = s.current_line;
  int bound_count = 0;
  for (; !CurrentLine(engine).empty(); ++s.current_line) {
    if (bound_count == kMostBounds) {
      ReportScenarioError(engine, "＃分岐範囲は１００区間までです"_sj, "（区切り数は９９まで）"_sj);
      return;
    }
    ++bound_count;
  }
  std::vector<int> bounds(static_cast<std::size_t>(bound_count));
  for (int i = 0; i < bound_count; ++i) {
    if (!ValueOfLine(engine, first_bound + i, &bounds[static_cast<std::size_t>(i)])) return;
  }
  for (int i = 0; i + 1 < bound_count; ++i) {
    if (bounds[static_cast<std::size_t>(i)] >= bounds[static_cast<std::size_t>(i) + 1]) {
      ReportScenarioError(engine, "範囲の大小関係が間違っています"_sj,
                          ScenarioLine(engine, first_bound + i));
      return;
    }
  }
  // "＃0" below the first bound, else the number of the last bound reached.
  int label = 0;
  while (label < bound_count && value >= bounds[static_cast<std::size_t>(label)]) ++label;
  JumpToLabel(engine, label, "＃選択～＃＃＃＃をチェックしてください"_sj);
}

void BranchToLargest(Engine& engine) {
  EngineState& s = engine.state;
  int count = 0;
  int chosen = 1;  // also with no values at all
  int largest = 0;
  std::string_view line = NextLine(engine);
  while (!line.empty()) {
    int value = 0;
    if (!ValueOfLine(engine, s.current_line, &value)) return;
    ++count;
    if (count == 1 || value > largest) {
      largest = value;
      chosen = count;
    }
    line = NextLine(engine);
    if (count > kMostValues) {
      ReportScenarioError(engine, "＃分岐範囲は１００までです"_sj, line);
      return;
    }
  }
  JumpToLabel(engine, chosen, "＃分岐最大～＃＃＃＃をチェックしてください"_sj);
}

void BranchByText(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view name = NextLine(engine);
  if (name.empty()) {
    ReportScenarioError(engine, "＃分岐文字の文字変数が"_sj, "指定されていません"_sj);
    return;
  }
  const std::int32_t slot = FindStringVariable(s, name);
  if (slot < 0) {
    ReportScenarioError(engine, "該当する文字変数が宣言されていません"_sj, name);
    return;
  }
  const bool same = s.string_values[static_cast<std::size_t>(slot)].view() == NextLine(engine);
  JumpToLabel(engine, same ? 1 : 0, "＃分岐文字～＃＃＃＃をチェックしてください"_sj);
}

}  // namespace tumu
