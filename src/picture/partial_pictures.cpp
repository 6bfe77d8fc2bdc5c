#include "picture/partial_pictures.h"

#include <string>

#include "engine/compose.h"
#include "engine/engine.h"
#include "picture/picture_loader.h"
#include "platform/sjis.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"

namespace tumu {

using namespace literals;

namespace {

// A slot's surface holds a strip of up to three frames side by side.
constexpr int kStripWidth = 640;
constexpr int kStripHeight = 160;
constexpr int kPartialFrames = 3;

PartialSlot& SlotState(Engine& engine, int slot) {
  return engine.state.partial[static_cast<std::size_t>(slot)];
}

// One position line. A fault leaves the slot's old position.
bool ReadPosition(Engine& engine, std::string_view missing_message, std::string_view name,
                  std::int32_t* position) {
  const std::string line(NextLine(engine));
  if (line.empty()) {
    ReportScenarioError(engine, missing_message, name);
    return false;
  }
  int value = 0;
  if (!EvaluateScenarioExpression(engine, line, line, &value)) return false;
  *position = value;
  return true;
}

// Reads the file, X and Y lines into the slot. The callers go on whatever happened: a fault has
// been reported by then.
void LoadPartialPicture(Engine& engine, int slot) {
  const std::string name(NextLine(engine));
  if (name.empty()) {
    ReportScenarioError(engine, "部分絵（又はアニメ）の"_sj, "ファイル名が指定されていません"_sj);
    return;
  }
  Surface565& strip = engine.screen.partial_surface[static_cast<std::size_t>(slot)];
  if (!LoadPictureIntoSurface(engine, strip, name, kStripWidth, kStripHeight)) {
    ReportScenarioError(engine, "＃部分絵（又はアニメ）のファイル名が違います"_sj, name);
    return;
  }
  PartialSlot& p = SlotState(engine, slot);
  if (!ReadPosition(engine, "＃部分絵（又はアニメ）のＸ位置指定がありません"_sj, name, &p.partial_x)) {
    return;
  }
  ReadPosition(engine, "＃部分絵（又はアニメ）のＹ位置指定がありません"_sj, name, &p.partial_y);
}

}  // namespace

void ShowPartialPicture(Engine& engine, int slot) {
  LoadPartialPicture(engine, slot);
  PartialSlot& p = SlotState(engine, slot);
  p.partial_anim_on = 0;
  p.partial_frame = 1;
  p.partial_on = 1;
  Compose(engine, true);
}

void ShowPartialAnimation(Engine& engine, int slot) {
  PartialSlot& p = SlotState(engine, slot);
  const std::string_view command = CurrentLine(engine);
  // Random blinking wins over moving with the sound; a line with both is no fault here.
  p.partial_anim_random = ContainsText(command, "ランダム"_sj) ? 1 : 0;
  p.partial_anim_sound = !p.partial_anim_random && ContainsText(command, "音"_sj) ? 1 : 0;
  LoadPartialPicture(engine, slot);
  p.partial_anim_on = 1;
  p.partial_frame = 1;
  p.partial_anim_step = 1;
  p.partial_frame_count = kPartialFrames;
  p.partial_on = 1;
  Compose(engine, true);
}

void HidePartialPicture(Engine& engine, int slot) {
  PartialSlot& p = SlotState(engine, slot);
  p.partial_anim_on = 0;
  p.partial_on = 0;
}

void StopPartialAnimation(Engine& engine, int slot) {
  PartialSlot& p = SlotState(engine, slot);
  p.partial_frame = 1;
  p.partial_anim_on = 0;
}

}  // namespace tumu
