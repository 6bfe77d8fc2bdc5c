// The audio channels of the SDL backend. For now they are silent: every sound is over as soon as
// it starts and there is no CD, so games run on and never wait for a sound.
#pragma once

#include "platform/platform.h"

namespace tumu {

class SdlAudio : public Audio {
 public:
  // The error number of a missing disc.
  static constexpr int kNoDisc = 262;

  void PlayWave(const std::string& path) override;
  bool WaveStopped() override;
  void CloseWave() override;
  void PlayLoop(const std::string& path, bool no_stop) override;
  void StopLoop() override;
  void PlaySimpleOnce(const std::string& path) override;
  void PlayMidi(const std::string& path) override;
  bool MidiStopped() override;
  void CloseMidi() override;
  int PlayCd(int from, int to) override;
  bool CdStopped() override;
  void StopCd() override;
  void CloseCd() override;
};

}  // namespace tumu
