#include <cstdint>
#include <string>

#include "engine/engine.h"
#include "sound/sound.h"
#include "sound/sound_channels.h"

namespace tumu {

void PlayHoverSound(Engine& engine, std::string_view sjis_name) {
  if (sjis_name.empty()) {
    engine.platform.display.Beep();
    return;
  }
  const EngineState& s = engine.state;
  const std::string path =
      std::string(s.sound_dir.view()) + std::string(sjis_name) + std::string(s.sound_ext.view());
  StartSound(engine, SoundChannel::kLoop, path, /*repeat=*/false);
}

void PollWaveSound(Engine& engine) {
  EngineState& s = engine.state;
  if (s.wave_device_open != 1) return;
  // A sound whose file could not be played never opened: it counts as over, so that an animation
  // that moves its mouth while a sound plays does not go on for ever.
  if (engine.platform.audio.State(SoundChannel::kWave) != ChannelState::kPlaying) {
    StopSound(engine, SoundChannel::kWave);
    s.wave_device_open = 0;
  }
}

void PollCdAudio(Engine& engine) {
  EngineState& s = engine.state;
  if (s.cd_playing != 1 || engine.platform.audio.State(SoundChannel::kCd) != ChannelState::kStopped) {
    return;
  }
  if (s.cd_loop == 1) {
    const int next = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.cd_track) + 1u);
    if (PlayCd(engine, s.cd_track, next) != 0) PlayCd(engine, s.cd_track, 0);
  } else {
    StopSound(engine, SoundChannel::kCd);
    s.cd_playing = 0;
  }
}

void PollSoundLoop(Engine& engine) {
  EngineState& s = engine.state;
  // The simple player leaves a loop alone while anything sounds on it; once a single sound has
  // taken its place and ended, or a sound command stopped it, the loop starts from the top.
  if (s.wave_loop_on != 1 || engine.platform.audio.State(SoundChannel::kLoop) == ChannelState::kPlaying) {
    return;
  }
  StartSound(engine, SoundChannel::kLoop, s.wave_loop_file.view(), /*repeat=*/true, /*quiet=*/true);
}

void PollMidi(Engine& engine) {
  EngineState& s = engine.state;
  if (s.midi_playing != 1 || engine.platform.audio.State(SoundChannel::kMidi) != ChannelState::kStopped) {
    return;
  }
  // Looping music starts again from the top whenever it ends.
  StopSound(engine, SoundChannel::kMidi);
  StartSound(engine, SoundChannel::kMidi, s.midi_file.view(), /*repeat=*/false, /*quiet=*/true);
}

void StopSoundsForRestart(Engine& engine) {
  StopSound(engine, SoundChannel::kLoop);
  StopSound(engine, SoundChannel::kWave);
  StopSound(engine, SoundChannel::kCd);
}

void StopAllSounds(Engine& engine) {
  StopSoundsForRestart(engine);
  StopSound(engine, SoundChannel::kMidi);
}

}  // namespace tumu
