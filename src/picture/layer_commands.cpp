#include "picture/layer_commands.h"

#include <algorithm>
#include <string>

#include "engine/engine.h"
#include "engine/format.h"
#include "engine/compose.h"
#include "picture/picture_loader.h"
#include "platform/sjis_literal.h"
#include "vars/evaluator.h"
#include "vars/expression.h"

namespace tumu {

using namespace literals;

namespace {

std::string WithKeyword(const char* format_sjis, std::string_view keyword) {
  return Sprintf(format_sjis, std::string(keyword).c_str());
}

// A position line: a faulty expression is reported and counts as 0; the command goes on.
int PositionFromLine(Engine& engine, const std::string& line) {
  int value = 0;
  return EvaluateScenarioExpression(engine, line, line, &value) ? value : 0;
}

}  // namespace

void StopScroll(Engine& engine, int layer) {
  const auto index = static_cast<std::size_t>(layer);
  engine.state.scroll[index].scroll_active = 0;
  engine.pictures.scroll_picture[index].reset();
}

void StopPersonAnimation(Engine& engine) {
  engine.state.person_anim_on = 0;
  engine.state.person_frame = 0;
}

void StopForegroundAnimation(Engine& engine) {
  engine.state.foreground_anim_on = 0;
  engine.state.foreground_frame = 0;
}

bool LoadLayerPicture(Engine& engine, Surface565& layer, std::string_view keyword) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  const std::string command(CurrentLine(engine));
  const bool masked = FindBytes(command, "マスク"_sj) != kNotFound;
  const bool add = masked || FindBytes(command, "追加"_sj) != kNotFound;
  const bool positioned = FindBytes(command, "位置"_sj) != kNotFound;

  const std::string name(NextLine(engine));
  if (name.empty()) {
    ReportScenarioError(engine, WithKeyword("%sのファイルが指定されていません"_sj.c_str(), keyword), "");
    return false;
  }
  int x = 0;
  int y = 0;
  if (positioned) {
    const std::string x_line(NextLine(engine));
    if (x_line.empty()) {
      ReportScenarioError(engine, WithKeyword("%sのＸ位置が指定されていません"_sj.c_str(), keyword), name);
      return false;
    }
    x = std::min(PositionFromLine(engine, x_line), kScreenWidth - 1);
    const std::string y_line(NextLine(engine));
    if (y_line.empty()) {
      ReportScenarioError(engine, WithKeyword("%sのＹ位置が指定されていません"_sj.c_str(), keyword), name);
      return false;
    }
    y = std::min(PositionFromLine(engine, y_line), kScreenHeight - 1);
  }
  // A negative position cuts the picture on that side instead.
  const int source_x = x < 0 ? -x : 0;
  const int source_y = y < 0 ? -y : 0;
  x = std::max(x, 0);
  y = std::max(y, 0);

  if (!add) {
    FillSurfaceRect(screen, layer, 0, 0, layer.width(), layer.height(), s.mask_r, s.mask_g,
                    s.mask_b);
  }
  Surface565& source = masked ? screen.mask_surface : screen.work_surface;
  if (!LoadPictureIntoSurface(engine, source, name, kScreenWidth, kScreenHeight)) {
    ReportScenarioError(engine, WithKeyword("%sのファイル名が違います"_sj.c_str(), keyword), name);
    return false;
  }
  CopyRectKeyed(layer, x, y, source,
                {source_x, source_y, kScreenWidth - x, kScreenHeight - y});
  Compose(engine, true);
  return true;
}

void HandleBackground(Engine& engine) {
  const std::string name(NextLine(engine));
  if (!LoadPictureIntoSurface(engine, engine.screen.background_surface, name, kScreenWidth,
                              kScreenHeight)) {
    ReportScenarioError(engine, "＃絵のファイル名が違います"_sj, name);
    return;
  }
  engine.state.background_on = 1;
  StopScroll(engine, kBackgroundLayer);
  Compose(engine, true);
}

void HandlePerson(Engine& engine) {
  StopPersonAnimation(engine);
  StopScroll(engine, kPersonLayer);
  engine.state.person_on = 1;
  LoadLayerPicture(engine, engine.screen.person_surface, "＃人物"_sj);
}

void HandleForeground(Engine& engine) {
  StopForegroundAnimation(engine);
  StopScroll(engine, kForegroundLayer);
  engine.state.foreground_on = 1;
  LoadLayerPicture(engine, engine.screen.foreground_surface, "＃前景"_sj);
}

void HandleFrontmost(Engine& engine) {
  engine.state.frontmost_on = 1;
  engine.state.text_translucent = 0;
  LoadLayerPicture(engine, engine.screen.frontmost_surface, "＃最前景"_sj);
}

void HandleBackgroundOff(Engine& engine) {
  StopScroll(engine, kBackgroundLayer);
  engine.state.background_on = 0;
}

void HandlePersonOff(Engine& engine) {
  engine.state.person_on = 0;
  StopScroll(engine, kPersonLayer);
}

void HandleForegroundOff(Engine& engine) {
  engine.state.foreground_on = 0;
  StopScroll(engine, kForegroundLayer);
}

void HandleFrontmostOff(Engine& engine) { engine.state.frontmost_on = 0; }

void HandleMaskColor(Engine& engine) {
  EngineState& s = engine.state;
  int rgb[3] = {};
  for (int& component : rgb) {
    const std::string line(NextLine(engine));
    if (!EvaluateScenarioExpression(engine, line, line, &component)) return;
    component = std::clamp(component, 0, 255);
  }
  s.mask_r = rgb[0];
  s.mask_g = rgb[1];
  s.mask_b = rgb[2];
  SetLayerColorKeys(engine.screen, s.mask_r, s.mask_g, s.mask_b);
}

void HandleTranslucencyOn(Engine& engine) { engine.state.translucency_on = 1; }
void HandleTranslucencyOff(Engine& engine) { engine.state.translucency_on = 0; }

}  // namespace tumu
