#include "engine/sub_scenario.h"

#include <algorithm>
#include <string>

#include "engine/engine.h"
#include "engine/scenario.h"
#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

namespace {

using StackName = FixedText<210>;

StackName ComposeScenarioName(const Engine& engine, std::string_view name_line) {
  return StackName(ScenarioFileName(engine, name_line));
}

bool IsOnCallStack(const EngineState& s, std::string_view name) {
  const int depth = std::clamp(s.call_depth, 0, kCallStackSize - 1);
  for (int level = 0; level <= depth; ++level) {
    if (s.scenario_file_stack[static_cast<std::size_t>(level)].view() == name) return true;
  }
  return false;
}

}  // namespace

std::string ScenarioFileName(const Engine& engine, std::string_view name_line) {
  const EngineState& s = engine.state;
  std::string name(s.scenario_dir.view());
  name += name_line;
  name += s.scenario_ext.view();
  return name;
}

int CallSubScenario(Engine& engine, CallMode mode) {
  EngineState& s = engine.state;
  if (s.call_depth >= kMaxCallDepth) {
    ReportScenarioError(engine, "別シナリオから別シナリオを９５階層以上呼んでいます"_sj,
                        "（右クリックシナリオも含みます）"_sj);
    // The name line is an argument, not a scenario line: it is passed as after any refusal.
    if (mode == CallMode::kCommand) s.current_line += 1;
    return 0;
  }
  const StackName name = mode == CallMode::kRightButton
                             ? StackName(s.right_click_file.view())
                             : ComposeScenarioName(engine, NextLine(engine));
  if (IsOnCallStack(s, name.view())) {
    ReportScenarioError(engine, "＃別シナリオの無限ループ（結果的に自分自身を呼んでいる）です"_sj,
                        CurrentLine(engine));
    return 0;
  }
  // A right-click call comes while a click is awaited, one line past the line that waits: after
  // the return, the game goes on as if that click had come.
  s.return_line_stack[static_cast<std::size_t>(s.call_depth)] =
      mode == CallMode::kRightButton ? s.current_line - 1 : s.current_line;
  s.call_depth += 1;
  if (mode == CallMode::kRightButton) {
    s.right_click_active = 1;
    s.right_click_depth = s.call_depth;
  }
  s.scenario_file_stack[static_cast<std::size_t>(s.call_depth)] = name.view();
  if (!LoadScenario(engine, name.view())) return 0;
  s.click_wait = 0;
  s.dialogue_active = 0;
  s.page_line_count = 0;
  s.choice_menu_active = 0;
  // The frame driver's step onto the next line starts the called scenario at its line 0.
  s.current_line = -1;
  return 1;
}

void HandleCallScenario(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view name_line = ScenarioLine(engine, s.current_line + 1);
  if (engine.files.FileExists(ComposeScenarioName(engine, name_line).view()) != kFileRegular) {
    ReportScenarioError(engine, "別シナリオのファイルがありません"_sj, name_line);
    s.current_line += 1;
    return;
  }
  CallSubScenario(engine, CallMode::kCommand);
}

void HandleRightClickScenario(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view name_line = ScenarioLine(engine, s.current_line + 1);
  const StackName file = ComposeScenarioName(engine, name_line);
  if (engine.files.FileExists(file.view()) != kFileRegular) {
    ReportScenarioError(engine, "右クリックシナリオのファイルがありません"_sj, name_line);
    s.current_line += 1;
    return;
  }
  s.current_line += 1;
  s.right_click_file = file.view();
  s.right_click_set = 1;
}

void StartRightClickScenario(Engine& engine) {
  const EngineState& s = engine.state;
  const bool busy = s.right_click_active == 1 || s.choice_menu_active == 1 ||
                    s.back_screen_choice_active == 1 || s.fade_active == 1 ||
                    s.overlap_running == 1 || s.dialogue_active == 1 || s.text_active == 1;
  if (busy || s.right_click_set != 1 || s.click_wait != 1) return;
  CallSubScenario(engine, CallMode::kRightButton);
}

}  // namespace tumu
