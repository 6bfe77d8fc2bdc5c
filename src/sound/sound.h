// The game's sound: the sound commands, the polls that close finished sounds and restart looping
// ones, and the stops of a restart and of the shutdown. Sounds go through the platform's audio
// channels; every start and stop is written to the trace.
#pragma once

#include <string>
#include <string_view>

namespace tumu {

struct Engine;

// "＃音", "＃音ループ", "＃音止め", "＃ＭＩＤＩ", "＃ＣＤ", "＃ＣＤ止め".
void HandleSound(Engine& engine);
void HandleSoundLoop(Engine& engine);
void HandleSoundStop(Engine& engine);
void HandleMidi(Engine& engine);
void HandleCd(Engine& engine);
void HandleCdStop(Engine& engine);

void PollWaveSound(Engine& engine);
void PollCdAudio(Engine& engine);
void PollSoundLoop(Engine& engine);
void PollMidi(Engine& engine);

// The hover sound of a back-screen choice: the wave sound_dir + name + sound_ext played once on
// the simple player (which interrupts the background loop), or the beep when the name is empty.
void PlayHoverSound(Engine& engine, std::string_view sjis_name);

// The restart of the start scenario silences the waves and the CD; MIDI music plays on.
void StopSoundsForRestart(Engine& engine);
// The shutdown silences everything.
void StopAllSounds(Engine& engine);

}  // namespace tumu
