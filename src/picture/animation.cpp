#include "picture/animation.h"

#include <string>

#include "engine/engine.h"
#include "picture/layer_commands.h"
#include "picture/picture_loader.h"
#include "platform/sjis.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"
#include "vars/random.h"

namespace tumu {

using namespace literals;

namespace {

// A resting animation runs through its frames about once in this many steps ("ランダム": the
// blinking of an eye).
constexpr int kRandomChance = 35;
constexpr int kPartialFrames = 3;

// Whether a resting animation moves on at this step: by chance, or while a wave sound plays (the
// lips move while the voice speaks).
int RestingStep(EngineState& s, std::int32_t random, std::int32_t sound, std::int32_t step) {
  if (random) return NextRandom(s) % kRandomChance == 0 ? 1 : 0;
  if (sound) return s.wave_device_open == 1 ? 1 : 0;
  return step;
}

// Frames that run up to the last and back down to frame 1 (frame 0 shows only at the start),
// resting on frame 1 with the random or sound option.
void StepBackAndForth(EngineState& s, std::int32_t& frame, std::int32_t& step, int count,
                      std::int32_t random, std::int32_t sound) {
  if (frame == 1) step = RestingStep(s, random, sound, step);
  frame += step;
  if (frame >= count) {
    step = -1;
  } else if (frame < 2) {
    step = 1;
  }
}

// Reads one frame file into a surface; an empty or unreadable line is reported.
bool LoadFrame(Engine& engine, Surface565& surface, std::string_view line,
               std::string_view message) {
  if (line.empty() || !LoadPictureIntoSurface(engine, surface, line, kScreenWidth, kScreenHeight)) {
    ReportScenarioError(engine, message, line);
    return false;
  }
  return true;
}

// The fields of the two animated layers.
struct AnimatedLayer {
  int layer;
  std::int32_t EngineState::*frame_count;
  std::int32_t EngineState::*anim_on;
  std::int32_t EngineState::*on;
  std::int32_t EngineState::*step;
  std::int32_t EngineState::*random;
  std::int32_t EngineState::*sound;
  std::string_view not_prepared;
};

constexpr AnimatedLayer kPersonAnimation = {
    kPersonLayer,          &EngineState::person_frame_count, &EngineState::person_anim_on,
    &EngineState::person_on, &EngineState::person_anim_step,  &EngineState::person_anim_random,
    &EngineState::person_anim_sound, "＃人物アニメ準備がされていません"_sj};
constexpr AnimatedLayer kForegroundAnimation = {
    kForegroundLayer,          &EngineState::foreground_frame_count,
    &EngineState::foreground_anim_on, &EngineState::foreground_on,
    &EngineState::foreground_anim_step, &EngineState::foreground_anim_random,
    &EngineState::foreground_anim_sound, "＃前景アニメ準備がされていません"_sj};

// The animation-on command: shows the layer and starts its prepared frames, with the options of
// the command line. Sound and random cannot go together: both are dropped and the animation runs
// plain. False when nothing has been prepared.
bool StartAnimation(Engine& engine, const AnimatedLayer& a) {
  EngineState& s = engine.state;
  const std::string command(CurrentLine(engine));
  if (s.*a.frame_count == 0) {
    ReportScenarioError(engine, a.not_prepared, command);
    return false;
  }
  s.*a.anim_on = 1;
  s.*a.on = 1;
  StopScroll(engine, a.layer);
  s.*a.step = 1;
  s.*a.random = ContainsText(command, "ランダム"_sj) ? 1 : 0;
  s.*a.sound = ContainsText(command, "音"_sj) ? 1 : 0;
  if (s.*a.random && s.*a.sound) {
    ReportScenarioError(engine, "アニメは「音」「ランダム」の共有はできません"_sj, command);
    s.*a.random = 0;
    s.*a.sound = 0;
  }
  return true;
}

}  // namespace

void HandlePersonAnimationPrepare(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  constexpr std::string_view kMessage = "＃人物アニメ準備のファイル名が違います"_sj;
  s.person_frame_count = 0;
  for (int frame = 1; frame <= 3; ++frame) {
    const std::string line(NextLine(engine));
    if (frame == 3 && line.empty()) return;  // two frames are enough; the empty line ends them
    if (!LoadFrame(engine, screen.person_anim_surface[static_cast<std::size_t>(frame - 1)], line,
                   kMessage)) {
      return;
    }
    s.person_frame_count = frame;
  }
}

void HandlePersonAnimationOn(Engine& engine) {
  if (!StartAnimation(engine, kPersonAnimation)) return;
  engine.state.person_anim_loop = ContainsText(CurrentLine(engine), "ループ"_sj) ? 1 : 0;
}

void HandlePersonAnimationOff(Engine& engine) { StopPersonAnimation(engine); }

void HandleForegroundAnimationPrepare(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  constexpr std::string_view kMessage = "＃前景アニメ準備のファイル名が違います"_sj;
  s.foreground_frame_count = 0;
  if (!LoadFrame(engine, screen.foreground_surface, std::string(NextLine(engine)), kMessage)) {
    return;
  }
  if (!LoadFrame(engine, screen.foreground_anim_surface, std::string(NextLine(engine)),
                 kMessage)) {
    return;
  }
  s.foreground_frame_count = 1;
}

void HandleForegroundAnimationOn(Engine& engine) { StartAnimation(engine, kForegroundAnimation); }

void HandleForegroundAnimationOff(Engine& engine) { StopForegroundAnimation(engine); }

void HandleAnimationSpeed(Engine& engine) {
  const std::string line(NextLine(engine));
  if (line.empty()) {
    ReportScenarioError(engine, "＃アニメスピードの数字がありません"_sj,
                        "１／１０００秒単位で指定できます。"_sj);
    return;
  }
  int interval = 0;
  if (!EvaluateScenarioExpression(engine, line, line, &interval)) return;
  engine.state.anim_interval = interval > 0 ? interval : 0;
}

void AdvancePersonAnimation(Engine& engine) {
  EngineState& s = engine.state;
  if (!s.person_anim_on) return;
  if (!s.person_anim_loop) {
    StepBackAndForth(s, s.person_frame, s.person_anim_step, s.person_frame_count,
                     s.person_anim_random, s.person_anim_sound);
    return;
  }
  // Looping: up to the last frame, then straight back to frame 1.
  if (s.person_frame == 1) {
    s.person_anim_step =
        RestingStep(s, s.person_anim_random, s.person_anim_sound, s.person_anim_step);
  }
  s.person_frame += s.person_anim_step;
  if (s.person_frame > s.person_frame_count) s.person_frame = 1;
}

void AdvanceForegroundAnimation(Engine& engine) {
  EngineState& s = engine.state;
  if (!s.foreground_anim_on) return;
  if (s.foreground_frame == 0) {
    s.foreground_anim_step = RestingStep(s, s.foreground_anim_random, s.foreground_anim_sound,
                                         s.foreground_anim_step);
  }
  s.foreground_frame += s.foreground_anim_step;
  if (s.foreground_frame > s.foreground_frame_count) s.foreground_frame = 0;
}

void AdvancePartialAnimations(Engine& engine) {
  EngineState& s = engine.state;
  for (PartialSlot& p : s.partial) {
    if (!p.partial_anim_on) continue;
    StepBackAndForth(s, p.partial_frame, p.partial_anim_step, kPartialFrames,
                     p.partial_anim_random, p.partial_anim_sound);
  }
}

}  // namespace tumu
