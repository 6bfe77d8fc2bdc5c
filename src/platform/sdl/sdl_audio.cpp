#include "platform/sdl/sdl_audio.h"

namespace tumu {

void SdlAudio::PlayWave(const std::string&) {}
bool SdlAudio::WaveStopped() { return true; }
void SdlAudio::CloseWave() {}
void SdlAudio::PlayLoop(const std::string&, bool) {}
void SdlAudio::StopLoop() {}
void SdlAudio::PlaySimpleOnce(const std::string&) {}
void SdlAudio::PlayMidi(const std::string&) {}
bool SdlAudio::MidiStopped() { return true; }
void SdlAudio::CloseMidi() {}
int SdlAudio::PlayCd(int, int) { return kNoDisc; }
bool SdlAudio::CdStopped() { return true; }
void SdlAudio::StopCd() {}
void SdlAudio::CloseCd() {}

}  // namespace tumu
