// The default beep of the SDL backend: a short soft tone on an audio device of its own, opened at
// the first beep and closed again once the game has been quiet for a while.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace tumu {

// A sine tone with soft edges (mono, signed 16-bit samples), so that it does not click.
std::vector<std::int16_t> MakeBeepTone(int sample_rate, int duration_ms, int frequency_hz);

class SdlBeeper {
 public:
  // verbose: lets the audio drivers' own messages reach stderr while the device is opened.
  explicit SdlBeeper(bool verbose) : verbose_(verbose) {}
  ~SdlBeeper();
  SdlBeeper(const SdlBeeper&) = delete;
  SdlBeeper& operator=(const SdlBeeper&) = delete;

  // Starts the tone (again from its beginning). Without audio it does nothing.
  void Beep();
  // Lets the device go a few seconds after the last beep: an open device keeps a thread running.
  void Idle();

 private:
  // Brings up SDL's audio when needed and opens the beep's device.
  bool OpenDevice();
  void Release();

  bool verbose_;
  SDL_AudioDeviceID device_ = 0;
  bool started_audio_ = false;  // we brought up SDL's audio and take it down again
  bool unavailable_ = false;    // opening failed once: the player has no sound here
  std::uint32_t last_beep_ = 0;
  std::vector<std::int16_t> tone_;
};

}  // namespace tumu
