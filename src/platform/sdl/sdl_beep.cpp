#include "platform/sdl/sdl_beep.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tumu {

namespace {

constexpr double kAmplitude = 0.25 * 32767;
constexpr int kEdgeMs = 5;

}  // namespace

std::vector<std::int16_t> MakeBeepTone(int sample_rate, int duration_ms, int frequency_hz) {
  const int count = sample_rate * duration_ms / 1000;
  const int edge = std::max(1, sample_rate * kEdgeMs / 1000);
  std::vector<std::int16_t> samples(static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    // A raised-cosine fade at both ends.
    const int from_edge = std::min(i, count - 1 - i);
    const double envelope =
        from_edge >= edge ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * from_edge / edge);
    const double phase = 2.0 * std::numbers::pi * frequency_hz * i / sample_rate;
    samples[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>(std::lround(kAmplitude * envelope * std::sin(phase)));
  }
  return samples;
}

}  // namespace tumu
