// Sound without a sound device: nothing is heard, but every sound lasts exactly as long as its
// file plays, on the clock it is given. The headless backend plays this way on its virtual clock;
// the SDL backend falls back to it when it has no device (or no soundfont for MIDI), so that a
// game that waits for a sound or loops its music behaves as it would with sound.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tumu {

class TimedAudio final : public Audio {
 public:
  explicit TimedAudio(Clock& clock) : clock_(clock) {}

  bool Play(SoundChannel channel, const std::string& path, bool repeat,
            std::string* problem) override;
  bool PlayTracks(const std::vector<std::string>& paths, std::string* problem) override;
  ChannelState State(SoundChannel channel) override;
  void Close(SoundChannel channel) override;
  std::optional<std::uint32_t> MsUntilASoundEnds() override;

 private:
  struct Sound {
    bool open = false;
    bool repeat = false;
    std::uint32_t start = 0;
    std::uint64_t length_us = 0;
  };
  void Start(SoundChannel channel, std::uint64_t length_us, bool repeat);

  Clock& clock_;
  std::array<Sound, kSoundChannels> sounds_;
};

}  // namespace tumu
