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

// The path on disk for a sound file named by the game (empty when it does not exist).
std::string AudioPath(Engine& engine, std::string_view sjis_path);

}  // namespace tumu
