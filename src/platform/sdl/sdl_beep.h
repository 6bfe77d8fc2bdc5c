// The tone of the SDL backend's default beep (the audio backend plays it with the game's sounds).
#pragma once

#include <cstdint>
#include <vector>

namespace tumu {

// A sine tone with soft edges (mono, signed 16-bit samples), so that it does not click.
std::vector<std::int16_t> MakeBeepTone(int sample_rate, int duration_ms, int frequency_hz);

}  // namespace tumu
