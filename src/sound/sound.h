// The audio state of the game and the polls that close finished sounds and restart looping ones.
#pragma once

#include <string>
#include <string_view>

namespace tumu {

struct Engine;

void PollWaveSound(Engine& engine);
void PollCdAudio(Engine& engine);
void PollSoundLoop(Engine& engine);
void PollMidi(Engine& engine);

// The hover sound of a back-screen choice: the wave sound_dir + name + sound_ext played once on
// the simple player (which interrupts the background loop), or the beep when the name is empty.
void PlayHoverSound(Engine& engine, std::string_view sjis_name);

// The path on disk for a sound file named by the game (empty when it does not exist).
std::string AudioPath(Engine& engine, std::string_view sjis_path);

}  // namespace tumu
