#include "choice/choice_menu.h"

#include <algorithm>
#include <string>

#include "engine/engine.h"
#include "engine/format.h"
#include "engine/scenario.h"
#include "picture/layer_drawing.h"
#include "platform/sjis_literal.h"
#include "platform/text_renderer.h"
#include "vars/expression.h"

namespace tumu {

using namespace literals;

namespace {

// The menu's fixed geometry.
constexpr int kMenuX = 100;
constexpr int kMenuY = 200;
constexpr int kRowHeight = 20;
constexpr int kBorder = 3;
constexpr int kColumnWidth = 160;
constexpr int kColumnGap = 5;
constexpr int kWidestMenu = 500;
constexpr int kOneColumnMost = 9;
constexpr int kTwoColumnsMost = 18;

int ColumnCount(int choices) {
  if (choices <= kOneColumnMost) return 1;
  return choices <= kTwoColumnsMost ? 2 : 3;
}

// Rows of the column a menu of that many choices fills first.
int RowsPerColumn(const EngineState& s) {
  return ColumnCount(s.choice_count) == 1 ? s.choice_count : s.menu_rows;
}

// Left edge of a column inside the menu box.
int ColumnOffset(int column) { return kBorder + column * (kColumnWidth + kColumnGap); }

// Draws the choice texts into the menu's text surface; gives the widest text's width.
int DrawChoiceTexts(Engine& engine, int command_line) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  const std::uint16_t ink = ColorToPixel(screen.format, 247, 247, 247);
  const std::uint16_t transparent = ColorToPixel(screen.format, 255, 255, 255);
  const int rows = RowsPerColumn(s);
  int widest = 0;
  for (int i = 0; i < s.choice_count; ++i) {
    const int width = engine.text->DrawText(
        screen.choice_text_surface, ColumnOffset(i / rows), kRowHeight * (i % rows) + kBorder,
        ScenarioLine(engine, command_line + 1 + i), kDefaultFontHeight, ink, transparent);
    widest = std::max(widest, width);
  }
  return widest;
}

// The menu's width from its widest text, or a report when a text does not fit its column.
bool SetMenuWidth(Engine& engine, int widest, int command_line) {
  EngineState& s = engine.state;
  const int columns = ColumnCount(s.choice_count);
  if (columns == 1) {
    s.menu_width = widest + 2 * kBorder;
    if (s.menu_width <= kWidestMenu) return true;
    ReportScenarioError(engine, "選択肢の文字が長すぎます"_sj,
                        ScenarioLine(engine, command_line + s.choice_count));
  } else if (widest <= kColumnWidth) {
    s.menu_width = columns == 2 ? kColumnGap + 2 * (kColumnWidth + kBorder)
                                : 3 * kColumnWidth + 2 * (kColumnGap + kBorder);
    return true;
  } else {
    ReportScenarioError(engine, "選択肢の文字が長すぎます"_sj,
                        columns == 2 ? "１０択以上は約２０（全角１０）文字以下です"_sj
                                     : "１９択以上は約２０（全角１０）文字以下です"_sj);
  }
  s.current_line = command_line;
  s.menu_width = kWidestMenu;
  return false;
}

}  // namespace

int CountListLines(Engine& engine) {
  EngineState& s = engine.state;
  int count = 0;
  while (s.current_line < s.line_count && !CurrentLine(engine).empty()) {
    ++count;
    ++s.current_line;
  }
  return count;
}

void OpenChoiceMenu(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  const int command_line = s.current_line;
  s.choice_menu_active = 0;
  s.choice_count = 0;
  ClearSurfaceWhite(screen, screen.choice_text_surface);

  if (NextLine(engine).empty()) {
    ReportScenarioError(engine, "＃選択に選択肢がありません"_sj, "");
    return;
  }
  const int count = CountListLines(engine);
  if (count > kMostChoices) {
    ReportScenarioError(engine, "選択肢は２７個までです"_sj, CurrentLine(engine));
    s.current_line = command_line;
    s.choice_count = kMostChoices;
    return;
  }
  s.choice_count = count;
  const int columns = ColumnCount(count);
  if (columns > 1) s.menu_rows = (count + columns - 1) / columns;
  s.menu_height = RowsPerColumn(s) * kRowHeight + 2 * kBorder;

  if (!SetMenuWidth(engine, DrawChoiceTexts(engine, command_line), command_line)) return;

  // A blue frame around a transparent box.
  FillSurfaceRect(screen, screen.choice_back_surface, 0, 0, screen.choice_back_surface.width(),
                  screen.choice_back_surface.height(), 0, 0, 255);
  FillSurfaceRect(screen, screen.choice_back_surface, kBorder, kBorder, s.menu_width - 2 * kBorder,
                  s.menu_height - 2 * kBorder, 255, 255, 255);

  const std::string_view command = ScenarioLine(engine, command_line);
  if (FindText(command, "＃時間（"_sj) != kNotFound && !ParseChoiceTimeLimit(engine, command)) {
    return;
  }
  s.choice_menu_active = 1;
  s.current_line = command_line + count;
}

int ChoiceAt(const Engine& engine, int x, int y) {
  const EngineState& s = engine.state;
  if (x < kMenuX || x > kMenuX + s.menu_width || y < kMenuY + kBorder ||
      y > kMenuY + s.menu_height - kBorder) {
    return 0;
  }
  int row = (y - (kMenuY + kBorder)) / kRowHeight + 1;
  const int columns = ColumnCount(s.choice_count);
  // A point in the border strip under the last row of a single column counts as the last row.
  if (columns == 1) return std::min(row, s.choice_count);
  row = std::min(row, s.menu_rows);
  if (columns == 3 && x > kMenuX + kBorder + 2 * kColumnWidth + kColumnGap) {
    row += 2 * s.menu_rows;
  } else if (x > kMenuX + kBorder + kColumnWidth) {
    row += s.menu_rows;
  }
  return row > s.choice_count ? 0 : row;
}

Point ChoicePoint(const Engine& engine, int k) {
  const EngineState& s = engine.state;
  const int rows = std::max(RowsPerColumn(s), 1);
  const int column = (k - 1) / rows;
  const int row = (k - 1) % rows;
  const int x =
      ColumnCount(s.choice_count) == 1 ? s.menu_width / 2 : ColumnOffset(column) + kColumnWidth / 2;
  return {kMenuX + x, kMenuY + kBorder + row * kRowHeight + kRowHeight / 2};
}

int ChosenChoiceLine(Engine& engine) {
  EngineState& s = engine.state;
  const int line = FindInBlock(engine, Sprintf("＃%d"_sj.c_str(), s.hovered_choice), 0);
  s.hovered_choice = 0;
  if (line < 0) {
    ReportScenarioError(engine, "該当ラベルがありません"_sj,
                        "＃選択～＃＃＃＃をチェックしてください"_sj);
  }
  return line;
}

bool ParseChoiceTimeLimit(Engine& engine, std::string_view command_line) {
  EngineState& s = engine.state;
  const std::optional<std::string_view> written =
      ExtractBetween(command_line, "＃時間（"_sj, "）＃"_sj);
  if (!written) {
    ReportScenarioError(engine, "＃選択時の「時間」は ＃時間（ ）＃ で囲んでください"_sj,
                        command_line);
    return false;
  }
  const std::string expression(*written);
  int limit = 0;
  if (!EvaluateScenarioExpression(engine, expression, expression, &limit)) return false;
  if (limit < 0) {
    ReportScenarioError(engine, "時間制限の時間がマイナスです"_sj, command_line);
    return false;
  }
  s.choice_timer_active = 1;
  s.choice_time_limit = limit;
  s.choice_timer_start = engine.platform.clock.Ticks();
  return true;
}

void CheckChoiceTimeout(Engine& engine) {
  EngineState& s = engine.state;
  if (s.choice_timer_active != 1) return;
  if (s.choice_menu_active != 1 && s.back_screen_choice_active != 1) {
    s.choice_timer_active = 0;  // the player chose in time
    return;
  }
  const std::uint32_t elapsed = engine.platform.clock.Ticks() - s.choice_timer_start;
  if (elapsed <= static_cast<std::uint32_t>(s.choice_time_limit)) return;
  s.choice_timer_active = 0;
  s.choice_menu_active = 0;
  s.back_screen_choice_active = 0;
  s.hover_picture_shown = 0;
  s.click_wait = 0;
  s.hovered_choice = 0;
  const int line = FindInBlock(engine, "＃0"_sj, 0);
  if (line < 0) {
    // The game goes on after the choice list (its next label leaves the block), not at the
    // scenario's first line.
    ReportScenarioError(engine, "時間制限の該当ラベル（＃０）がありません"_sj,
                        "＃選択～＃＃＃＃をチェックしてください"_sj);
    return;
  }
  s.current_line = line + 1;
}

std::optional<std::string_view> ExtractBetween(std::string_view text, std::string_view open,
                                               std::string_view close) {
  const std::size_t start = FindText(text, open);
  if (start == kNotFound) return std::nullopt;
  const std::string_view rest = text.substr(start + open.size());
  const std::size_t end = FindText(rest, close);
  if (end == kNotFound) return std::nullopt;
  return rest.substr(0, end);
}

void DrawChoiceMenu(Engine& engine) {
  const EngineState& s = engine.state;
  if (s.choice_menu_active != 1) return;
  Screen& screen = engine.screen;
  const Rect box{0, 0, s.menu_width, s.menu_height};
  DarkenOrBlacken(engine, {kMenuX, kMenuY, s.menu_width, s.menu_height});
  CopyRectKeyed(screen.back_surface, kMenuX, kMenuY, screen.choice_back_surface, box);
  if (s.hovered_choice >= 1) {
    if (ColumnCount(s.choice_count) == 1) {
      CopyRect(screen.back_surface, kMenuX + kBorder,
               kMenuY + kBorder + (s.hovered_choice - 1) * kRowHeight, screen.choice_bar_surface,
               {0, 0, s.menu_width - 2 * kBorder, kRowHeight});
    } else if (s.menu_rows > 0) {
      const int remainder = s.hovered_choice % s.menu_rows;
      const int row = remainder == 0 ? s.menu_rows - 1 : remainder - 1;
      const int column = std::min((s.hovered_choice - 1) / s.menu_rows, 2);
      CopyRect(screen.back_surface, kMenuX + ColumnOffset(column),
               kMenuY + kBorder + row * kRowHeight, screen.choice_bar_surface,
               {0, 0, kColumnWidth, kRowHeight});
    }
  }
  CopyRectKeyed(screen.back_surface, kMenuX, kMenuY, screen.choice_text_surface, box);
}

}  // namespace tumu
