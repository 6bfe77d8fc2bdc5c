#include "picture/transitions.h"

#include <array>
#include <optional>
#include <string>

#include "engine/engine.h"
#include "picture/layer_commands.h"
#include "picture/picture_loader.h"
#include "platform/file_lookup.h"
#include "platform/sjis.h"
#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

namespace {

constexpr int kMaxWipeMasks = 50;
constexpr int kFullBrightness = 4;

constexpr std::array<std::string_view, kScrollingLayers> kWrongNameMessages = {
    "＃絵のファイル名が違います"_sj, "＃人物のファイル名が違います"_sj,
    "＃前景のファイル名が違います"_sj};

std::int32_t& PendingFlag(EngineState& s, int layer) {
  switch (layer) {
    case kBackgroundLayer:
      return s.pending_background_set;
    case kPersonLayer:
      return s.pending_person_set;
    default:
      return s.pending_foreground_set;
  }
}

Surface565& LayerSurface(Screen& screen, int layer) {
  switch (layer) {
    case kBackgroundLayer:
      return screen.background_surface;
    case kPersonLayer:
      return screen.person_surface;
    default:
      return screen.foreground_surface;
  }
}

std::int32_t& LayerOn(EngineState& s, int layer) {
  switch (layer) {
    case kBackgroundLayer:
      return s.background_on;
    case kPersonLayer:
      return s.person_on;
    default:
      return s.foreground_on;
  }
}

// Reads the picture as the layer's new picture; reported when it cannot be read.
bool LoadPendingPicture(Engine& engine, int layer, const std::string& name) {
  Surface565& pending = engine.pictures.pending_picture[static_cast<std::size_t>(layer)];
  pending.Release();
  const std::optional<Picture> picture = LoadPictureFile(engine, name);
  if (!picture) {
    ReportScenarioError(engine, kWrongNameMessages[static_cast<std::size_t>(layer)], name);
    return false;
  }
  pending = Surface565(kScreenWidth, kScreenHeight);
  PutPictureIntoSurface(engine, pending, *picture, kScreenWidth, kScreenHeight);
  pending.set_color_key(LayerSurface(engine.screen, layer).color_key());
  return true;
}

void ClearPendingFlags(EngineState& s) {
  for (int layer = 0; layer < kScrollingLayers; ++layer) PendingFlag(s, layer) = 0;
}

// The three lines of a whole-scene change: background, person, foreground. A line beginning with
// "そのまま" keeps that layer; a picture that cannot be read is reported and the next line goes on.
void LoadSceneLines(Engine& engine) {
  for (int layer = 0; layer < kScrollingLayers; ++layer) {
    const std::string name(NextLine(engine));
    if (StartsWith(name, "そのまま"_sj)) continue;
    if (LoadPendingPicture(engine, layer, name)) PendingFlag(engine.state, layer) = 1;
  }
}

void StartSingleOverlap(Engine& engine, int layer) {
  EngineState& s = engine.state;
  if (!LoadPendingPicture(engine, layer, std::string(NextLine(engine)))) return;
  s.click_wait = 1;
  s.overlap_running = 1;
  ClearPendingFlags(s);
  PendingFlag(s, layer) = 1;
  s.transition_level = 0;
}

// A fade from the given brightness; the scenario waits for it as for a click.
void StartFade(Engine& engine, std::int32_t EngineState::*direction, int level) {
  EngineState& s = engine.state;
  s.fade_active = 1;
  s.click_wait = 1;
  s.*direction = 1;
  s.transition_level = level;
}

// The mask of the wipe step that begins now, read once for the whole step.
void LoadWipeMask(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view name = s.wipe_mask_names[static_cast<std::size_t>(s.wipe_step - 1)].view();
  if (!LoadPictureIntoSurface(engine, engine.screen.mask_surface, name, kScreenWidth,
                              kScreenHeight)) {
    ReportScenarioError(engine, "マスクのファイル名が違います（パスも確認してください）"_sj, name);
    s.wipe_running = 0;
  }
}

}  // namespace

void HandleBackgroundOverlap(Engine& engine) { StartSingleOverlap(engine, kBackgroundLayer); }

void HandlePersonOverlap(Engine& engine) {
  StopPersonAnimation(engine);
  StartSingleOverlap(engine, kPersonLayer);
}

void HandleForegroundOverlap(Engine& engine) {
  StopForegroundAnimation(engine);
  StartSingleOverlap(engine, kForegroundLayer);
}

void HandleOverlapAll(Engine& engine) {
  EngineState& s = engine.state;
  ClearPendingFlags(s);
  LoadSceneLines(engine);
  s.transition_level = 0;
  s.click_wait = 1;
  s.overlap_running = 1;
}

void HandleWipePattern(Engine& engine) {
  EngineState& s = engine.state;
  s.wipe_mask_count = 0;
  s.wipe_step = 0;
  for (auto& name : s.wipe_mask_names) name.assign("");
  int count = 0;
  for (std::string line(NextLine(engine)); !line.empty(); line = std::string(NextLine(engine))) {
    const std::string path =
        std::string(s.picture_dir.view()) + line + std::string(s.picture_ext.view());
    if (engine.files.FileExists(path) != kFileRegular) {
      ReportScenarioError(engine, "マスクのファイル名が間違っています"_sj, line);
      return;
    }
    s.wipe_mask_names[static_cast<std::size_t>(count)].assign(line);
    ++count;
    if (count > kMaxWipeMasks) {
      ReportScenarioError(engine, "ワイプで使用できるファイル数は"_sj, "５０までです"_sj);
      return;
    }
  }
  s.wipe_mask_count = count;
}

void HandleWipe(Engine& engine) {
  EngineState& s = engine.state;
  ClearPendingFlags(s);
  if (s.wipe_mask_count == 0) {
    ReportScenarioError(engine, "ワイプパターンが定義されていません"_sj,
                        "＃ワイプは＃ワイプパターンの後に使用してください"_sj);
  }
  LoadSceneLines(engine);
  s.wipe_running = 1;
  s.wipe_step = 0;
}

void HandleFadeOut(Engine& engine) {
  StartFade(engine, &EngineState::fading_out, kFullBrightness);
}

void HandleFadeIn(Engine& engine) { StartFade(engine, &EngineState::fading_in, 0); }

void AdvanceTransition(Engine& engine) {
  EngineState& s = engine.state;
  if (s.fading_in) {
    s.transition_level += 1;
    if (s.transition_level >= kFullBrightness) {
      s.fade_active = 0;
      s.click_wait = 0;
      s.fading_in = 0;
    }
  } else if (s.fading_out) {
    // The screen stays black (the fade stays on) until the next fade-in.
    s.transition_level -= 1;
    if (s.transition_level < 1) {
      s.fading_out = 0;
      s.click_wait = 0;
    }
  } else if (s.overlap_running) {
    s.transition_level += 1;
    if (s.transition_level >= kFullBrightness) {
      s.click_wait = 0;
      s.overlap_running = 0;
      CommitPendingPictures(engine);
    }
  } else if (s.wipe_running) {
    s.wipe_step += 1;
    if (s.wipe_step > s.wipe_mask_count) {
      s.click_wait = 0;
      s.wipe_running = 0;
      CommitPendingPictures(engine);
    } else {
      LoadWipeMask(engine);
    }
  }
}

void CommitPendingPictures(Engine& engine) {
  EngineState& s = engine.state;
  for (int layer = 0; layer < kScrollingLayers; ++layer) {
    if (PendingFlag(s, layer) != 1) continue;
    Surface565& pending = engine.pictures.pending_picture[static_cast<std::size_t>(layer)];
    CopyRect(LayerSurface(engine.screen, layer), 0, 0, pending, WholeSurface(pending));
    pending.Release();
    LayerOn(s, layer) = 1;
    StopScroll(engine, layer);
    if (layer == kPersonLayer) StopPersonAnimation(engine);
    if (layer == kForegroundLayer) StopForegroundAnimation(engine);
  }
}

}  // namespace tumu
