// EngineState: the one record of everything the running game is. Fields carry the names the
// subsystems use for them; tables and texts have the fixed sizes that the scenario format relies
// on (a scenario line holds 94 bytes, a game 10000 numeric variables, ...).
#pragma once

#include <array>
#include <cstdint>

#include "engine/fixed_text.h"
#include "engine/scenario_store.h"
#include "platform/sjis_literal.h"

namespace tumu {

inline constexpr int kMaxLineBytes = 94;
inline constexpr int kMaxLineEnds = 4500;
inline constexpr int kCallStackSize = 96;
inline constexpr int kNumericSlots = 10200;
inline constexpr int kNameBytes = 55;
inline constexpr int kHashBuckets = 5000;
inline constexpr int kStringSlots = 900;
inline constexpr int kStringValueBytes = 105;
inline constexpr int kDisplayLineSlots = 45;
inline constexpr int kChoiceSlots = 96;
inline constexpr int kWipeMaskSlots = 53;
inline constexpr int kPartialSlots = 4;

inline constexpr std::string_view kDefaultWindowTitle =
    sjis_detail::kConverted<"簡単ゲーム作成アプリケーション 「ツムギノート」（Ver 01.50）">;
using PathText = FixedText<256>;

// One of the four partial-picture slots.
struct PartialSlot {
  std::int32_t partial_on = 0;
  std::int32_t partial_x = 0;
  std::int32_t partial_y = 0;
  std::int32_t partial_anim_on = 0;
  std::int32_t partial_frame = 0;
  std::int32_t partial_anim_random = 0;
  std::int32_t partial_anim_sound = 0;
  std::int32_t partial_anim_step = 0;
  std::int32_t partial_frame_count = 0;
};

// The scroll record of one layer. The picture itself is held by the engine beside the state.
struct ScrollRecord {
  std::int32_t scroll_active = 0;
  std::int32_t scroll_width = 0;
  std::int32_t scroll_height = 0;
  std::int32_t scroll_x = 0;
  std::int32_t scroll_y = 0;
  std::int32_t scroll_dx = 0;
  std::int32_t scroll_dy = 0;
  std::int32_t scroll_wraps = 0;
};

struct EngineState {
  // --- Start-up and the core (scenario store, call stack, paths).
  std::int32_t current_line = 0;
  std::int32_t line_count = 0;
  std::int32_t packaged_mode = 0;
  FixedText<256> window_title{kDefaultWindowTitle};
  std::int32_t window_mode = 0;
  std::int32_t color_depth = 16;
  PathText scenario_ext, picture_ext, sound_ext, midi_ext;
  PathText scenario_dir, picture_dir, sound_dir, midi_dir;
  std::array<FixedText<210>, kCallStackSize> scenario_file_stack;
  std::array<std::int32_t, kCallStackSize> return_line_stack{};
  std::int32_t call_depth = 0;
  ScenarioStore scenario_buffer;

  // --- Labels, frame driver, dispatcher, errors.
  std::int32_t block_check_reported = 0;
  std::int32_t restart_notice = 0;
  std::uint32_t anim_last_tick = 0;
  std::int32_t skip_mode = 1;
  std::int32_t time_wait_active = 0;
  std::uint32_t time_wait_start = 0;
  std::int32_t time_wait_ms = 0;
  std::int32_t error_halt = 0;

  // --- Sub-scenarios.
  FixedText<212> right_click_file;
  std::int32_t right_click_set = 0;
  std::int32_t right_click_active = 0;
  std::int32_t right_click_depth = 0;

  // --- Variables.
  std::array<FixedText<kNameBytes>, kNumericSlots> numeric_names;
  std::array<std::int32_t, kNumericSlots> numeric_values{};
  std::int32_t numeric_count = 0;
  std::array<std::int16_t, kNumericSlots> name_hash_heads{};
  std::array<std::int16_t, kNumericSlots> name_hash_next{};
  std::array<FixedText<kNameBytes>, kStringSlots> string_names;
  std::array<FixedText<kStringValueBytes>, kStringSlots> string_values;
  std::int32_t string_count = 0;
  std::int32_t declaring_numeric = 0;
  std::int32_t declaring_strings = 0;
  std::int32_t save_load_used = 0;
  std::int32_t input_dialog_open = 0;
  std::int32_t input_target = 0;
  FixedText<80> input_text;
  std::uint32_t random_state = 1;

  // --- Text and dialogue windows.
  std::int32_t dialogue_x = 20;
  std::int32_t dialogue_y = 360;
  std::int32_t dialogue_width = 600;
  std::int32_t dialogue_height = 100;
  std::int32_t dialogue_translucent = 1;
  std::int32_t dialogue_visible = 0;
  std::int32_t custom_frame = 0;
  std::int32_t dialogue_active = 0;
  std::int32_t text_active = 0;
  std::int32_t dialogue_no_wait = 0;
  std::int32_t text_no_wait = 0;
  std::int32_t page_line_count = 0;
  std::int32_t text_y = 0;
  std::int32_t text_red = 247;
  std::int32_t text_green = 247;
  std::int32_t text_blue = 247;
  std::int32_t font_size = 18;
  std::int32_t text_translucent = 0;

  // --- Variable display.
  std::array<LineText, kDisplayLineSlots> display_lines;
  std::int32_t display_line_count = 0;
  std::int32_t variable_display_on = 0;
  std::int32_t variable_display_dirty = 0;
  std::int32_t variable_box_width = 0;

  // --- Choices, branches, click commands.
  std::int32_t choice_menu_active = 0;
  std::int32_t choice_count = 0;
  std::int32_t menu_rows = 9;
  std::int32_t menu_width = 400;
  std::int32_t menu_height = 100;
  std::int32_t hovered_choice = 0;
  std::int32_t previous_hovered_choice = 0;
  std::int32_t choice_timer_active = 0;
  std::int32_t choice_time_limit = 0;
  std::uint32_t choice_timer_start = 0;
  std::int32_t back_screen_choice_active = 0;
  std::int32_t hover_picture_shown = 0;
  std::array<FixedText<256>, kChoiceSlots> choice_color_names;
  std::array<FixedText<256>, kChoiceSlots> hover_picture_names;
  std::array<FixedText<256>, kChoiceSlots> hover_sound_names;
  std::int32_t click_wait = 0;
  std::int32_t click_position_active = 0;
  std::int32_t click_mark_enabled = 0;
  std::int32_t click_mark_shown = 0;
  std::int32_t click_mark_frame = 0;
  std::int32_t click_mark_step = 1;
  std::int32_t click_mark_x = 530;
  std::int32_t click_mark_y = 370;
  std::int32_t click_mark_home_x = 0;
  std::int32_t click_mark_home_y = 0;

  // --- Layers.
  std::int32_t background_on = 0;
  std::int32_t person_on = 0;
  std::int32_t foreground_on = 0;
  std::int32_t frontmost_on = 0;
  std::int32_t mask_r = 255;
  std::int32_t mask_g = 255;
  std::int32_t mask_b = 255;
  std::int32_t translucency_on = 1;

  // --- Partial pictures.
  std::array<PartialSlot, kPartialSlots> partial{};

  // --- Transitions.
  std::int32_t pending_background_set = 0;
  std::int32_t pending_person_set = 0;
  std::int32_t pending_foreground_set = 0;
  std::int32_t overlap_running = 0;
  std::int32_t transition_level = 0;
  std::int32_t fade_active = 0;
  std::int32_t fading_out = 0;
  std::int32_t fading_in = 0;
  std::int32_t wipe_running = 0;
  std::int32_t wipe_step = 0;
  std::int32_t wipe_mask_count = 0;
  std::array<FixedText<256>, kWipeMaskSlots> wipe_mask_names;

  // --- Animation.
  std::int32_t anim_interval = 40;
  std::int32_t person_anim_on = 0;
  std::int32_t person_frame = 0;
  std::int32_t person_frame_count = 0;
  std::int32_t person_anim_random = 0;
  std::int32_t person_anim_sound = 0;
  std::int32_t person_anim_loop = 0;
  std::int32_t person_anim_step = 1;
  std::int32_t foreground_anim_on = 0;
  std::int32_t foreground_frame = 0;
  std::int32_t foreground_frame_count = 0;
  std::int32_t foreground_anim_random = 0;
  std::int32_t foreground_anim_sound = 0;
  std::int32_t foreground_anim_step = 1;

  // --- Scrolls: background, person, foreground.
  std::array<ScrollRecord, 3> scroll{};
  std::int32_t picture_scroll_click = 0;
  std::int32_t person_scroll_click = 0;
  std::int32_t foreground_scroll_click = 0;

  // --- Sound.
  std::int32_t wave_device_open = 0;
  std::int32_t wave_loop_on = 0;
  PathText wave_loop_file;
  std::int32_t midi_playing = 0;
  PathText midi_file;
  std::int32_t cd_playing = 0;
  std::int32_t cd_loop = 0;
  std::int32_t cd_track = 0;

  // --- Display (pixel format of the back surface, the last colour read back).
  std::uint32_t red_mask = 0, green_mask = 0, blue_mask = 0;
  std::int32_t red_shift = 0, green_shift = 0, blue_shift = 0;
  std::int32_t red_max = 0, green_max = 0, blue_max = 0;
  std::int32_t picked_red = 0, picked_green = 0, picked_blue = 0;
};

}  // namespace tumu
