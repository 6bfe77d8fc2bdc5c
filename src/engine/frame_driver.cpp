#include "engine/frame_driver.h"

#include <algorithm>

#include "choice/back_screen.h"
#include "choice/choice_menu.h"
#include "choice/click.h"
#include "engine/dispatcher.h"
#include "engine/engine.h"
#include "engine/scenario.h"
#include "engine/compose.h"
#include "picture/effects.h"
#include "platform/sjis_literal.h"
#include "sound/sound.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

// How often a player that waits still polls its sounds, so that loops restart promptly.
constexpr std::uint32_t kSoundPollMs = 10;

void EndOfScenario(Engine& engine) {
  EngineState& s = engine.state;
  if (s.call_depth < 0) {
    ReportScenarioError(engine, "シナリオＮＯがマイナスになりました"_sj, "予期しないエラーです"_sj);
    s.call_depth = 0;
    s.current_line = 0;
  } else if (s.call_depth == 0) {
    ReportScenarioError(engine, "シナリオが終了しました。"_sj, "始めから実行します。"_sj);
    s.current_line = 0;
    s.restart_notice = 1;
    ResetVariables(s);
    ResetVariableIndex(s);
    ResetForRestart(engine);
  } else {
    s.call_depth -= 1;
    const std::string_view caller =
        s.scenario_file_stack[static_cast<std::size_t>(s.call_depth)].view();
    if (!LoadScenario(engine, caller)) {
      ReportScenarioError(engine, "前のシナリオが見つかりません"_sj, caller);
    }
    if (s.right_click_active == 1 && s.call_depth < s.right_click_depth) {
      s.right_click_active = 0;
    }
    s.current_line = s.return_line_stack[static_cast<std::size_t>(s.call_depth)] + 1;
  }
}

// What an automatic player does to answer the wait, in the order the left button's cases are
// taken: the click that acknowledges an error, a click position, a back screen, a menu.
void SetAutomaticAnswer(const Engine& engine, TurnStatus& status) {
  const EngineState& s = engine.state;
  status.played_to_end = s.restart_notice == 1;
  status.answer_is_text = s.input_dialog_open == 1;
  if (s.error_halt == 1) return;
  if (s.click_position_active == 1) {
    status.answer_x = kScreenWidth / 2;
    status.answer_y = kScreenHeight / 2;
  } else if (s.back_screen_choice_active == 1) {
    const std::optional<Point> region = FirstBackScreenRegion(engine);
    status.has_answer = region.has_value();
    if (region) {
      status.answer_x = region->x;
      status.answer_y = region->y;
    }
  } else if (s.choice_menu_active == 1) {
    for (int k = 1; k <= s.choice_count; ++k) {
      status.choice_points.push_back(ChoicePoint(engine, k));
    }
    if (!status.choice_points.empty()) {
      status.answer_x = status.choice_points.front().x;
      status.answer_y = status.choice_points.front().y;
    }
  }
}

}  // namespace

bool ScenarioHeld(const Engine& engine) {
  const EngineState& s = engine.state;
  return s.click_wait || s.choice_menu_active || s.back_screen_choice_active ||
         s.time_wait_active || s.fading_in || s.fading_out || s.overlap_running ||
         s.input_dialog_open || s.wipe_running || s.picture_scroll_click ||
         s.person_scroll_click || s.foreground_scroll_click || s.click_position_active;
}

void FrameTurn(Engine& engine) {
  EngineState& s = engine.state;
  Clock& clock = engine.platform.clock;
  if (s.current_line == 0) {
    s.click_wait = 0;
    if (s.block_check_reported == 0 && s.restart_notice == 0) CheckBlockBalance(engine);
  }
  CheckChoiceTimeout(engine);
  PollWaveSound(engine);
  PollCdAudio(engine);
  PollSoundLoop(engine);
  PollMidi(engine);
  UpdateClickMarkVisibility(engine);
  if (s.error_halt == 1) {
    engine.last_turn_waited = true;
    return;
  }

  if (ScenarioHeld(engine)) {
    const std::uint32_t now = clock.Ticks();
    if (now - s.anim_last_tick > static_cast<std::uint32_t>(s.anim_interval)) {
      AdvanceEffects(engine);
      s.anim_last_tick = now;
    }
    Compose(engine, true);
    if (s.time_wait_active == 1) {
      const auto elapsed = static_cast<std::int32_t>(clock.Ticks() - s.time_wait_start);
      if (elapsed > s.time_wait_ms) s.time_wait_active = 0;
    }
    engine.last_turn_waited = true;
    return;
  }

  engine.last_turn_waited = false;
  s.block_check_reported = 0;
  DispatchLine(engine);
  s.current_line += 1;
  if (s.current_line >= 4510) {
    ReportScenarioError(engine, "シナリオが４５００行を超えました"_sj, "予期しないエラーです"_sj);
    s.current_line = 0;
  } else if (s.current_line < 0) {
    ReportScenarioError(engine, "シナリオがマイナスになりました"_sj, "予期しないエラーです"_sj);
    // Left negative, the next turn would run a line that does not exist: start over instead.
    s.current_line = 0;
  }
  if (s.current_line < s.line_count) return;
  EndOfScenario(engine);
}

void ResetForRestart(Engine& engine) {
  EngineState& s = engine.state;
  StopSoundsForRestart(engine);
  s.background_on = 0;
  s.person_on = 0;
  s.foreground_on = 0;
  s.dialogue_visible = 0;
  s.variable_display_on = 0;
  s.frontmost_on = 0;
  for (PartialSlot& p : s.partial) p.partial_on = 0;
  s.fade_active = 0;
  s.transition_level = 0;
  s.fading_out = 0;
  s.fading_in = 0;
  s.overlap_running = 0;
  s.wave_loop_on = 0;
  s.wave_device_open = 0;
  s.cd_loop = 0;
  s.cd_track = 0;
  s.cd_playing = 0;
  s.person_anim_on = 0;
  s.foreground_anim_on = 0;
  for (PartialSlot& p : s.partial) p.partial_anim_on = 0;
  s.translucency_on = 1;
  s.anim_interval = 40;
}

TurnStatus ComputeTurnStatus(const Engine& engine) {
  const EngineState& s = engine.state;
  TurnStatus status;
  status.waiting = s.error_halt == 1 || ScenarioHeld(engine);
  const bool waits_for_player =
      s.error_halt || s.click_wait || s.choice_menu_active || s.back_screen_choice_active ||
      s.click_position_active || s.picture_scroll_click || s.person_scroll_click ||
      s.foreground_scroll_click || s.input_dialog_open;
  const bool ends_by_itself = s.time_wait_active || s.fading_in || s.fading_out ||
                              s.overlap_running || s.wipe_running || s.choice_timer_active;
  // Nothing advances under the error screen, not even a transition: only the player's click
  // ends it.
  status.settled = (s.error_halt == 1 || (waits_for_player && !ends_by_itself)) &&
                   engine.last_turn_waited;
  if (!status.waiting) return status;

  const std::uint32_t now = engine.platform.clock.Ticks();
  std::optional<std::uint32_t> due;
  auto due_in = [&due](std::int64_t ms) {
    const auto clamped = static_cast<std::uint32_t>(std::clamp<std::int64_t>(ms, 0, 1 << 30));
    due = due ? std::min(*due, clamped) : clamped;
  };
  if (s.time_wait_active) {
    due_in(static_cast<std::int64_t>(s.time_wait_ms) + 1 -
           static_cast<std::int32_t>(now - s.time_wait_start));
  }
  if (s.choice_timer_active) {
    due_in(static_cast<std::int64_t>(s.choice_time_limit) + 1 - (now - s.choice_timer_start));
  }
  if (EffectsRunning(engine)) {
    due_in(static_cast<std::int64_t>(s.anim_interval) + 1 - (now - s.anim_last_tick));
  }
  if (s.wave_device_open || s.cd_playing || s.midi_playing || s.wave_loop_on) {
    due_in(engine.platform.audio.MsUntilASoundEnds().value_or(kSoundPollMs));
  }
  status.next_due_ms = due;
  if (engine.options.auto_play && status.settled) SetAutomaticAnswer(engine, status);
  return status;
}

}  // namespace tumu
