#include "engine/engine.h"
#include "sound/sound.h"

namespace tumu {

std::string AudioPath(Engine& engine, std::string_view sjis_path) {
  return engine.files.Resolve(sjis_path).value_or(std::string());
}

void PlayHoverSound(Engine& engine, std::string_view sjis_name) {
  if (sjis_name.empty()) {
    engine.platform.display.Beep();
    return;
  }
  const EngineState& s = engine.state;
  const std::string name =
      std::string(s.sound_dir.view()) + std::string(sjis_name) + std::string(s.sound_ext.view());
  const std::string path = AudioPath(engine, name);
  engine.platform.audio.PlaySimpleOnce(path);
  if (!path.empty()) engine.log.Trace("audio\tloop\tplay\t" + SjisToUtf8(name));
}

void PollWaveSound(Engine& engine) {
  EngineState& s = engine.state;
  if (s.wave_device_open != 1) return;
  if (engine.platform.audio.WaveStopped()) {
    engine.platform.audio.CloseWave();
    s.wave_device_open = 0;
  }
}

void PollCdAudio(Engine& engine) {
  EngineState& s = engine.state;
  Audio& audio = engine.platform.audio;
  if (s.cd_playing != 1 || !audio.CdStopped()) return;
  if (s.cd_loop == 1) {
    // The last track of a disc has no next track to stop at: play it to the end instead.
    if (audio.PlayCd(s.cd_track, s.cd_track + 1) != 0) audio.PlayCd(s.cd_track, 0);
  } else {
    audio.CloseCd();
    s.cd_playing = 0;
  }
}

void PollSoundLoop(Engine& engine) {
  EngineState& s = engine.state;
  if (s.wave_loop_on != 1) return;
  engine.platform.audio.PlayLoop(AudioPath(engine, s.wave_loop_file.view()), /*no_stop=*/true);
}

void PollMidi(Engine& engine) {
  EngineState& s = engine.state;
  Audio& audio = engine.platform.audio;
  if (s.midi_playing != 1 || !audio.MidiStopped()) return;
  // Looping music starts again from the top whenever it ends.
  audio.CloseMidi();
  audio.PlayMidi(AudioPath(engine, s.midi_file.view()));
}

}  // namespace tumu
