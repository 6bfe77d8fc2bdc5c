#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/compose.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"
#include "vars/random.h"
#include "vars/variable_commands.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

void HandleRandom(Engine& engine) {
  EngineState& s = engine.state;
  const std::string name(NextLine(engine));
  if (name.empty()) {
    ReportScenarioError(engine, "＃ランダムで使用する"_sj, "「変数」が指定されていません"_sj);
    return;
  }
  const std::int32_t slot = FindVariable(s, name);
  if (slot < 0) {
    ReportScenarioError(engine, "該当する変数が宣言されていません"_sj, name);
    return;
  }
  const std::string maximum_line(NextLine(engine));
  if (maximum_line.empty()) {
    ReportScenarioError(engine, "＃ランダムで使用する"_sj, "「最大数」が指定されていません"_sj);
    return;
  }
  int maximum = 0;
  if (!EvaluateScenarioExpression(engine, maximum_line, maximum_line, &maximum)) return;
  if (maximum < 1) {
    ReportScenarioError(engine, "乱数の最大値は１以上にしてください"_sj, maximum_line);
    return;
  }
  s.numeric_values[static_cast<std::size_t>(slot)] = NextRandom(s) % maximum + 1;
}

void HandleReshuffle(Engine& engine) {
  EngineState& s = engine.state;
  const std::string line(NextLine(engine));
  if (line.empty()) {
    ReportScenarioError(engine, "＃切り直しで使用する"_sj, "「変数」が指定されていません"_sj);
    return;
  }
  const ElementResolution resolved = ResolveElementReferences(engine, line);
  const int count = resolved.status == ElementResolution::Status::kResolved
                        ? resolved.last_subscript
                        : -1;
  if (FindText(line, "］"_sj) == kNotFound || count < 1) {
    ReportScenarioError(engine, "変数の配列が異常です"_sj, line);
    return;
  }
  const std::int32_t last = FindVariable(s, resolved.text);
  if (last < 0) {
    ReportScenarioError(engine, "該当する変数が宣言されていません"_sj, resolved.text);
    return;
  }
  // Elements 1 .. N sit in the N slots that end at element N. A name that merely looks like an
  // element key could stand too early in the table for that: nothing to shuffle then.
  if (last - count + 1 < 0) {
    ReportScenarioError(engine, "変数の配列が異常です"_sj, line);
    return;
  }
  std::vector<int> pool(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) pool[static_cast<std::size_t>(i)] = i + 1;
  for (int k = 0; k < count; ++k) {
    const int r = NextRandom(s) % static_cast<int>(pool.size());
    s.numeric_values[static_cast<std::size_t>(last - k)] = pool[static_cast<std::size_t>(r)];
    pool.erase(pool.begin() + r);
  }
}

void HandleMachineCheck(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  Clock& clock = engine.platform.clock;
  auto draw_once = [&] {
    FillSurfaceRect(screen, screen.work_surface, 0, 0, kScreenWidth, kScreenHeight, 0, 0, 0);
    Compose(engine, true);
  };
  draw_once();
  std::uint32_t sum = 0;
  for (int i = 0; i < 5; ++i) {
    const std::uint32_t start = clock.Ticks();
    draw_once();
    sum += clock.Ticks() - start;
  }
  const std::string name(NextLine(engine));
  if (name.empty()) {
    ReportScenarioError(engine, "スペックを代入する変数を指定してください"_sj, "");
    return;
  }
  const std::int32_t slot = FindVariable(s, name);
  if (slot < 0) {
    ReportScenarioError(engine, "該当する変数が宣言されていません"_sj, name);
    return;
  }
  s.numeric_values[static_cast<std::size_t>(slot)] = static_cast<std::int32_t>(sum / 5);
}

}  // namespace tumu
