#include "picture/scroll.h"

#include <string>

#include "engine/engine.h"
#include "picture/layer_commands.h"
#include "picture/picture_loader.h"
#include "platform/sjis.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

// What tells the three scrolls apart: their flags and the words of their reports.
struct ScrollLayer {
  std::int32_t EngineState::*on;
  std::int32_t EngineState::*click;
  std::string_view not_scrolling;
  std::string_view click_needs_scroll;
  std::string_view x_undeclared;
  std::string_view y_missing;
  std::string_view y_undeclared;
};

constexpr ScrollLayer kScrollLayers[kScrollingLayers] = {
    {&EngineState::background_on, &EngineState::picture_scroll_click,
     "絵画面はスクロールしていません"_sj, "＃絵スクロールクリック命令はスクロール中に有効です"_sj,
     "絵スクロールのＸを代入する 変数 が宣言されていません"_sj, "絵スクロールのＹを代入する変数が"_sj,
     "絵スクロールのＹを代入する 変数 が宣言されていません"_sj},
    {&EngineState::person_on, &EngineState::person_scroll_click,
     "人物画面はスクロールしていません"_sj, "＃人物スクロールクリック命令はスクロール中に有効です"_sj,
     "人物スクロールのＸを代入する 変数 が宣言されていません"_sj,
     "人物スクロールのＹを代入する変数が"_sj,
     "人物スクロールのＹを代入する 変数 が宣言されていません"_sj},
    {&EngineState::foreground_on, &EngineState::foreground_scroll_click,
     "前景画面はスクロールしていません"_sj, "＃前景スクロールクリック命令はスクロール中に有効です"_sj,
     "前景スクロールのＸを代入する 変数 が宣言されていません"_sj,
     "前景スクロールのＹを代入する変数が"_sj,
     "前景スクロールのＹを代入する 変数 が宣言されていません"_sj},
};

ScrollRecord& Record(Engine& engine, int layer) {
  return engine.state.scroll[static_cast<std::size_t>(layer)];
}

// A distance line; false when it is missing or faulty (reported).
bool ReadDistance(Engine& engine, std::string_view missing_message, std::int32_t* distance) {
  const std::string line(NextLine(engine));
  if (line.empty()) {
    ReportScenarioError(engine, missing_message, "");
    return false;
  }
  int value = 0;
  if (!EvaluateScenarioExpression(engine, line, line, &value)) return false;
  *distance = value;
  return true;
}

void StartScroll(Engine& engine, int layer) {
  ScrollRecord& r = Record(engine, layer);
  std::optional<Picture>& picture = engine.pictures.scroll_picture[static_cast<std::size_t>(layer)];
  picture.reset();
  const std::string name(NextLine(engine));
  picture = LoadPictureFile(engine, name);
  if (!picture) {
    ReportScenarioError(engine, "スクロールのファイル名が違います"_sj, name);
    return;
  }
  r.scroll_width = picture->width;
  r.scroll_height = picture->height;
  if (!ReadDistance(engine, "スクロールの移動距離（Ｘ）が指定されていません"_sj, &r.scroll_dx) ||
      !ReadDistance(engine, "スクロールの移動距離（Ｙ）が指定されていません"_sj, &r.scroll_dy)) {
    return;
  }
  // A scroll to the left starts at the picture's right edge, one upwards at its bottom.
  r.scroll_x = r.scroll_dx < 0 ? r.scroll_width - kScreenWidth : 0;
  r.scroll_y = r.scroll_dy < 0 ? r.scroll_height - kScreenHeight : 0;
  r.scroll_active = 1;
}

// Brings a coordinate that left the picture back in from the other side.
std::int32_t Wrap(std::int32_t position, std::int32_t size) {
  if (size <= 0) return position;
  if (position < 0) return position % size + size;
  if (position > size) return position % size;
  return position;
}

void AdvanceScroll(ScrollRecord& r) {
  std::int32_t x = r.scroll_x + r.scroll_dx;
  std::int32_t y = r.scroll_y + r.scroll_dy;
  if (r.scroll_wraps == 0) {
    // Held at the edges: the window rests there and the scroll stays on.
    const std::int32_t free_x = x;
    const std::int32_t free_y = y;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (x + kScreenWidth > r.scroll_width) x = r.scroll_width - kScreenWidth;
    if (y + kScreenHeight > r.scroll_height) y = r.scroll_height - kScreenHeight;
    if (x != free_x || y != free_y) {
      r.scroll_dx = 0;
      r.scroll_dy = 0;
    }
  }
  r.scroll_x = Wrap(x, r.scroll_width);
  r.scroll_y = Wrap(y, r.scroll_height);
}

// The variable named on the current line receives the value; false when it is not declared.
bool StoreInVariable(Engine& engine, std::int32_t value, std::string_view undeclared_message) {
  const std::string_view name = CurrentLine(engine);
  const std::int32_t slot = FindVariable(engine.state, name);
  if (slot < 0) {
    ReportScenarioError(engine, undeclared_message, name);
    return false;
  }
  engine.state.numeric_values[static_cast<std::size_t>(slot)] = value;
  return true;
}

}  // namespace

void RunScrollCommand(Engine& engine, int layer) {
  EngineState& s = engine.state;
  const ScrollLayer& words = kScrollLayers[layer];
  const std::string_view command = CurrentLine(engine);
  if (ContainsBytes(command, "クリック"_sj)) {
    if (!Record(engine, layer).scroll_active) {
      ReportScenarioError(engine, words.not_scrolling, words.click_needs_scroll);
      return;
    }
    s.*words.click = 1;
    return;
  }
  Record(engine, layer).scroll_wraps = ContainsBytes(command, "ループオフ"_sj) ? 0 : 1;
  StartScroll(engine, layer);
  s.*words.on = 1;
}

void ScrollClick(Engine& engine, int layer) {
  EngineState& s = engine.state;
  const ScrollLayer& words = kScrollLayers[layer];
  ScrollRecord& r = Record(engine, layer);
  r.scroll_active = 0;
  r.scroll_dx = 0;
  r.scroll_dy = 0;
  StopScroll(engine, layer);
  s.*words.click = 0;
  // The frame driver has stepped past the command: the current line names the X variable, or is
  // the empty line that ends the command. After a fault the driver runs the line it stopped on.
  if (!CurrentLine(engine).empty()) {
    if (!StoreInVariable(engine, r.scroll_x, words.x_undeclared)) return;
    if (NextLine(engine).empty()) {
      ReportScenarioError(engine, words.y_missing, "指定されていません"_sj);
      return;
    }
    if (!StoreInVariable(engine, r.scroll_y, words.y_undeclared)) return;
  }
  s.current_line += 1;
}

void AdvanceScrolls(Engine& engine) {
  for (ScrollRecord& r : engine.state.scroll) {
    if (r.scroll_active) AdvanceScroll(r);
  }
}

void RedrawScrollingLayer(Engine& engine, int layer, Surface565& layer_surface) {
  const ScrollRecord& r = Record(engine, layer);
  const std::optional<Picture>& picture =
      engine.pictures.scroll_picture[static_cast<std::size_t>(layer)];
  // A scroll whose picture failed to load goes on moving over nothing.
  if (!r.scroll_active || !picture) return;
  DrawScrollPicture(layer_surface, r.scroll_x, r.scroll_y, *picture);
}

void DrawScrollPicture(Surface565& surface, int x, int y, const Picture& picture) {
  const int width = picture.width;
  const int height = picture.height;
  DrawPicture(surface, 0, 0, picture, {x, y, kScreenWidth, kScreenHeight});
  const bool past_right = x + kScreenWidth > width;
  const bool past_bottom = y + kScreenHeight > height;
  if (past_right) DrawPicture(surface, width - x, 0, picture, {0, y, kScreenWidth, kScreenHeight});
  if (past_bottom) {
    DrawPicture(surface, 0, height - y, picture, {x, 0, kScreenWidth, kScreenHeight});
  }
  if (past_right && past_bottom) {
    DrawPicture(surface, width - x, height - y, picture, {0, 0, kScreenWidth, kScreenHeight});
  }
}

}  // namespace tumu
