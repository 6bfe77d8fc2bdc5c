#include "platform/sdl/sdl_beep.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/sdl/quiet_stderr.h"

namespace tumu {

namespace {

constexpr int kSampleRate = 44100;
constexpr int kBeepMs = 80;
constexpr int kBeepHz = 880;
constexpr double kAmplitude = 0.25 * 32767;
constexpr int kEdgeMs = 5;
constexpr std::uint32_t kKeepOpenMs = 3000;

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

SdlBeeper::~SdlBeeper() { Release(); }

bool SdlBeeper::OpenDevice() {
  // Drivers that are tried and fail say so loudly; whether one works is told by the caller.
  const QuietStderr quiet(!verbose_);
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    started_audio_ = true;
  }
  SDL_AudioSpec want{};
  want.freq = kSampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 1024;
  // No changes allowed: SDL converts to whatever the device takes.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  return device_ != 0;
}

void SdlBeeper::Beep() {
  if (unavailable_) return;
  if (device_ == 0) {
    if (!OpenDevice()) {
      std::fprintf(stderr, "tumu: no sound for the beep: %s\n", SDL_GetError());
      unavailable_ = true;
      Release();
      return;
    }
    if (tone_.empty()) tone_ = MakeBeepTone(kSampleRate, kBeepMs, kBeepHz);
    SDL_PauseAudioDevice(device_, 0);
  }
  SDL_ClearQueuedAudio(device_);
  SDL_QueueAudio(device_, tone_.data(), static_cast<Uint32>(tone_.size() * sizeof(tone_[0])));
  last_beep_ = SDL_GetTicks();
}

void SdlBeeper::Idle() {
  if (device_ == 0) return;
  if (SDL_GetQueuedAudioSize(device_) == 0 && SDL_GetTicks() - last_beep_ > kKeepOpenMs) {
    Release();
  }
}

void SdlBeeper::Release() {
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);
    device_ = 0;
  }
  if (started_audio_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    started_audio_ = false;
  }
}

}  // namespace tumu
