#include "text/variable_display.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "picture/layer_drawing.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"

namespace tumu {

using namespace literals;

namespace {

constexpr int kMaxDisplayLines = 20;
constexpr int kBoxLeft = 20;
constexpr int kBoxTop = 20;
constexpr int kMargin = 10;
constexpr int kRowHeight = 20;
constexpr int kBorder = 3;

void DrawTexts(Engine& engine, const std::vector<std::string>& texts, std::vector<int>* widths) {
  Screen& screen = engine.screen;
  const std::uint16_t foreground = ColorToPixel(screen.format, 247, 247, 247);
  const std::uint16_t background = ColorToPixel(screen.format, 255, 255, 255);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const int width = engine.text->DrawText(screen.variable_surface, kMargin,
                                            kMargin + kRowHeight * static_cast<int>(i), texts[i],
                                            kDefaultFontHeight, foreground, background);
    if (widths) widths->push_back(width);
  }
}

}  // namespace

void OpenVariableDisplay(Engine& engine) {
  EngineState& s = engine.state;
  for (LineText& slot : s.display_lines) slot.clear();
  if (NextLine(engine).empty()) {
    ReportScenarioError(engine, "表示するべき変数がありません"_sj, "＃変数表示の後をチェックしてください"_sj);
  } else {
    int count = 0;
    bool too_many = false;
    for (std::string_view line = CurrentLine(engine); !line.empty(); line = NextLine(engine)) {
      if (count == kMaxDisplayLines) {
        ReportScenarioError(engine, "表示する変数の行が多すぎます"_sj, line);
        too_many = true;
        break;
      }
      s.display_lines[static_cast<std::size_t>(count++)].assign(line);
    }
    if (!too_many) {
      s.display_line_count = count;
      RenderVariableDisplay(engine);
    }
  }
  s.variable_display_on = 1;
}

void HandleVariableDisplayOff(Engine& engine) { engine.state.variable_display_on = 0; }

int VariableBoxHeight(const Engine& engine) {
  return 2 * (kMargin + kRowHeight / 2 * engine.state.display_line_count);
}

void RenderVariableDisplay(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  s.variable_box_width = 0;
  std::vector<std::string> texts;
  const int count = std::clamp(s.display_line_count, 0, kDisplayLineSlots);
  for (int i = 0; i < count; ++i) {
    texts.push_back(SubstituteTextVariables(engine, s.display_lines[static_cast<std::size_t>(i)].view(), 2)
                        .value_or(std::string()));
  }
  ClearSurfaceWhite(screen, screen.variable_surface);
  std::vector<int> widths;
  DrawTexts(engine, texts, &widths);
  const int widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
  s.variable_box_width = widest + 2 * kMargin;
  const int height = VariableBoxHeight(engine);
  FillSurfaceRect(screen, screen.variable_surface, 0, 0, s.variable_box_width, height, 0, 0, 255);
  FillSurfaceRect(screen, screen.variable_surface, kBorder, kBorder,
                  s.variable_box_width - 2 * kBorder, height - 2 * kBorder, 255, 255, 255);
  DrawTexts(engine, texts, nullptr);
}

void DrawVariableDisplay(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  if (s.variable_display_on != 1) return;
  if (s.variable_display_dirty == 1) {
    RenderVariableDisplay(engine);
    s.variable_display_dirty = 0;
  }
  // The surface holds a box of at most 400 x 300; a larger one is cut to it.
  const int width = std::min(s.variable_box_width, screen.variable_surface.width());
  const int height = std::min(VariableBoxHeight(engine), screen.variable_surface.height());
  DarkenOrBlacken(engine, {kBoxLeft, kBoxTop, width, height});
  CopyRectKeyed(screen.back_surface, kBoxLeft, kBoxTop, screen.variable_surface,
                {0, 0, width, height});
}

}  // namespace tumu
