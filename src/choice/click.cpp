#include "choice/click.h"

#include <string>

#include "engine/engine.h"
#include "picture/picture_loader.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

// Where the mark stands unless "＃クリックマーク" says otherwise.
constexpr int kHomeX = 530;
constexpr int kHomeY = 370;

struct AxisMessages {
  std::string_view missing;
  std::string_view missing_second;
  std::string_view undeclared;
};

// Stores a coordinate in the variable named on the current line; false after a report.
bool StoreCoordinate(Engine& engine, int value, const AxisMessages& messages) {
  EngineState& s = engine.state;
  const std::string_view name = CurrentLine(engine);
  if (name.empty()) {
    ReportScenarioError(engine, messages.missing, messages.missing_second);
    return false;
  }
  const std::int32_t slot = FindVariable(s, name);
  if (slot < 0) {
    ReportScenarioError(engine, messages.undeclared, name);
    return false;
  }
  s.numeric_values[static_cast<std::size_t>(slot)] = value;
  return true;
}

// The value of a position line of the mark; false after a report.
bool MarkPosition(Engine& engine, std::string_view missing, std::string_view file, int* value) {
  const std::string line(NextLine(engine));
  if (line.empty()) {
    ReportScenarioError(engine, missing, file);
    return false;
  }
  return EvaluateScenarioExpression(engine, line, line, value);
}

}  // namespace

void HandleClickPosition(Engine& engine) { engine.state.click_position_active = 1; }

void StoreClickPosition(Engine& engine, int x, int y) {
  EngineState& s = engine.state;
  s.click_position_active = 0;
  // The frame driver has already stepped past the command onto the line naming X.
  if (!StoreCoordinate(engine, x,
                       {"＃クリック位置のＸを代入する変数が"_sj, "指定されていません"_sj,
                        "＃クリック位置のＸを代入する 変数 が宣言されていません"_sj})) {
    return;
  }
  NextLine(engine);
  if (!StoreCoordinate(engine, y,
                       {"＃クリック位置のＹを代入する変数が"_sj, "指定されていません"_sj,
                        "＃クリック位置のＹを代入する 変数 が宣言されていません"_sj})) {
    return;
  }
  NextLine(engine);
}

void LoadClickMark(Engine& engine) {
  EngineState& s = engine.state;
  const bool positioned = FindText(CurrentLine(engine), "位置"_sj) != kNotFound;
  const std::string file(NextLine(engine));
  if (file.empty()) {
    ReportScenarioError(engine, "＃クリックマークの"_sj, "ファイル名が指定されていません"_sj);
    return;
  }
  if (!LoadPictureIntoSurface(engine, engine.screen.click_mark_surface, file, kScreenWidth, 160)) {
    ReportScenarioError(engine, "＃クリックマークのファイル名が違います"_sj, file);
    return;
  }
  int y = kHomeY;
  if (positioned) {
    int x = 0;
    if (!MarkPosition(engine, "＃クリックマークのＸ位置指定がありません"_sj, file, &x)) return;
    s.click_mark_home_x = x;
    if (!MarkPosition(engine, "＃クリックマークのＹ位置指定がありません"_sj, file, &y)) return;
  } else {
    s.click_mark_home_x = kHomeX;
  }
  s.click_mark_home_y = y;
  s.click_mark_x = s.click_mark_home_x;
  s.click_mark_y = y;
  s.click_mark_enabled = 1;
  s.click_mark_frame = 1;
  s.click_mark_step = 1;
}

void HandleClickMarkOff(Engine& engine) {
  EngineState& s = engine.state;
  s.click_mark_enabled = 0;
  s.click_mark_frame = 0;
  s.click_mark_step = 0;
  s.click_mark_shown = 0;
}

void UpdateClickMarkVisibility(Engine& engine) {
  EngineState& s = engine.state;
  if (s.click_mark_enabled != 1) return;
  const bool plain_click_wait =
      s.click_wait == 1 && s.back_screen_choice_active != 1 && s.choice_menu_active != 1;
  const bool other_click_wait = s.picture_scroll_click == 1 || s.person_scroll_click == 1 ||
                                s.foreground_scroll_click == 1 || s.click_position_active == 1;
  s.click_mark_shown = plain_click_wait || other_click_wait ? 1 : 0;
}

void DrawClickMark(Engine& engine) {
  const EngineState& s = engine.state;
  if (!s.click_mark_shown) return;
  // The mark's strip holds its frames 210 pixels apart, each 80 x 80.
  constexpr int kFrameSize = 80;
  constexpr int kFrameSpacing = 210;
  CopyRectKeyed(engine.screen.back_surface, s.click_mark_x, s.click_mark_y,
                engine.screen.click_mark_surface,
                {(s.click_mark_frame - 1) * kFrameSpacing, 0, kFrameSize, kFrameSize});
}

}  // namespace tumu
