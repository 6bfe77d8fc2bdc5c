#include <string>

#include "engine/engine.h"
#include "platform/sjis_literal.h"
#include "vars/variable_commands.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

// The input box sits where the game's dialog stood: at (100, 100) dialog units of the window,
// 120 x 14 units, which is (150, 162) and 180 x 23 pixels with the usual dialog font.
constexpr Rect kInputBoxPlace{150, 162, 180, 23};
// The box reads at most 80 bytes with the terminating zero.
constexpr std::size_t kMaxInputBytes = 79;

}  // namespace

void HandleAssignString(Engine& engine) {
  EngineState& s = engine.state;
  const std::string name(NextLine(engine));
  if (name.empty()) {
    ReportScenarioError(engine, "＃文字変数代入の文字変数が"_sj, "指定されていません"_sj);
    return;
  }
  const std::int32_t slot = FindStringVariable(s, name);
  if (slot < 0) {
    ReportScenarioError(engine, "該当する変数（文字）が宣言されていません"_sj, name);
    return;
  }
  const std::string_view text = NextLine(engine);
  if (text.empty()) {
    ReportScenarioError(engine, "「＃文字変数代入」の"_sj, "代入する文字が指定されていません"_sj);
    return;
  }
  s.string_values[static_cast<std::size_t>(slot)].assign(text);
}

void HandleTextInput(Engine& engine) {
  EngineState& s = engine.state;
  if (s.window_mode == 0) {
    ReportScenarioError(engine, "フル・スクリーンでは文字入力はできません"_sj, CurrentLine(engine));
    return;
  }
  const std::string_view name = NextLine(engine);
  s.input_target = FindStringVariable(s, name);
  if (s.input_target < 0) {
    ReportScenarioError(engine, "該当する文字変数が宣言されていません"_sj, name);
    return;
  }
  engine.platform.text_input.Open(kInputBoxPlace);
  s.input_dialog_open = 1;
}

void InputBoxCommand(Engine& engine, std::string_view utf8_text) {
  EngineState& s = engine.state;
  if (s.input_dialog_open != 1) return;
  const std::string sjis = Utf8ToSjis(utf8_text);
  const std::string_view kept = TruncateOnCharBoundary(sjis, kMaxInputBytes);
  s.input_dialog_open = 0;
  s.variable_display_dirty = 1;
  s.input_text.assign(kept);
  if (s.input_target >= 0 && s.input_target < kStringSlots) {
    s.string_values[static_cast<std::size_t>(s.input_target)].assign(kept);
  }
  engine.platform.text_input.Close();
}

}  // namespace tumu
