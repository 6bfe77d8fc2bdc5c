#include "platform/timed_audio.h"

#include <algorithm>

#include "platform/sound_files.h"

namespace tumu {

namespace {

std::size_t Index(SoundChannel channel) { return static_cast<std::size_t>(channel); }

}  // namespace

void TimedAudio::Start(SoundChannel channel, std::uint64_t length_us, bool repeat) {
  sounds_[Index(channel)] = Sound{true, repeat, clock_.Ticks(), length_us};
}

bool TimedAudio::Play(SoundChannel channel, const std::string& path, bool repeat,
                      std::string* problem) {
  Close(channel);
  const SoundKind kind = channel == SoundChannel::kMidi ? SoundKind::kMidi
                         : channel == SoundChannel::kCd ? SoundKind::kTrack
                                                        : SoundKind::kWave;
  const auto length = SoundFileLengthUs(kind, path, problem);
  if (!length) return false;
  Start(channel, *length, repeat);
  return true;
}

bool TimedAudio::PlayTracks(const std::vector<std::string>& paths, std::string* problem) {
  Close(SoundChannel::kCd);
  std::uint64_t total = 0;
  for (const std::string& path : paths) {
    const auto length = SoundFileLengthUs(SoundKind::kTrack, path, problem);
    if (!length) return false;
    total += *length;
  }
  Start(SoundChannel::kCd, total, false);
  return true;
}

ChannelState TimedAudio::State(SoundChannel channel) {
  const Sound& sound = sounds_[Index(channel)];
  if (!sound.open) return ChannelState::kClosed;
  if (sound.repeat) return ChannelState::kPlaying;
  // A sound of 1.5 ms has ended for a listener once 2 ms have passed.
  const std::uint64_t elapsed_us = std::uint64_t{clock_.Ticks() - sound.start} * 1000;
  return elapsed_us < sound.length_us ? ChannelState::kPlaying : ChannelState::kStopped;
}

void TimedAudio::Close(SoundChannel channel) { sounds_[Index(channel)] = Sound{}; }

std::optional<std::uint32_t> TimedAudio::MsUntilASoundEnds() {
  std::optional<std::uint32_t> soonest;
  for (const Sound& sound : sounds_) {
    if (!sound.open || sound.repeat) continue;
    // The first tick at which the whole sound has been heard.
    const std::uint64_t end_ms = (sound.length_us + 999) / 1000;
    const std::uint64_t elapsed_ms = clock_.Ticks() - sound.start;
    if (elapsed_ms >= end_ms) continue;
    const auto left = static_cast<std::uint32_t>(std::min<std::uint64_t>(end_ms - elapsed_ms, 1u << 30));
    soonest = soonest ? std::min(*soonest, left) : left;
  }
  return soonest;
}

}  // namespace tumu
