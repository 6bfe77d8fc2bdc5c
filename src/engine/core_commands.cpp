#include "engine/core_commands.h"

#include "engine/engine.h"
#include "engine/scenario.h"
#include "engine/shutdown.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"

namespace tumu {

using namespace literals;

void HandleComment(Engine&) {}

void HandleLabelDefinition(Engine& engine) { NextLine(engine); }

void HandleGo(Engine& engine) {
  const std::string_view name = NextLine(engine);
  const int target = FindLabel(engine, name);
  if (target < 0) {
    ReportScenarioError(engine, "該当するラベルが見つかりません"_sj, name);
    return;
  }
  engine.state.current_line = target;
}

void HandleLabelReached(Engine& engine) {
  // The end of one alternative of a choice or branch: go on after the block. Without a closing
  // "＃＃＃＃" the search gives -1, and the scenario goes on at its first line.
  engine.state.current_line = FindInBlock(engine, "＃＃＃＃"_sj, -1);
}

void HandleBlockEnd(Engine&) {}

void HandleTimeWait(Engine& engine) {
  EngineState& s = engine.state;
  const std::string line(NextLine(engine));
  if (line.empty()) {
    ReportScenarioError(engine, "時間待ちの時間が指定されていません"_sj, "指定単位はミリ秒です"_sj);
    return;
  }
  int value = 0;
  if (!EvaluateScenarioExpression(engine, line, line, &value)) return;
  s.time_wait_ms = value;
  s.time_wait_start = engine.platform.clock.Ticks();
  s.time_wait_active = 1;
}

void HandlePicturePath(Engine& engine) { engine.state.picture_dir.assign(NextLine(engine)); }
void HandleSoundPath(Engine& engine) { engine.state.sound_dir.assign(NextLine(engine)); }
void HandleScenarioPath(Engine& engine) { engine.state.scenario_dir.assign(NextLine(engine)); }

void HandleSkipOn(Engine& engine) { engine.state.skip_mode = 1; }
void HandleSkipOff(Engine& engine) { engine.state.skip_mode = 0; }

void HandleEnd(Engine& engine) { ShutDown(engine); }

void HandleDumpScenario(Engine& engine) { DumpScenario(engine); }

}  // namespace tumu
