// Starting and stopping the platform's sound channels for the game: names as the scenario
// composes them, the trace lines, and why a sound did not start (--verbose).
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace tumu {

struct Engine;

// Starts a game file (dir + name + extension, Shift-JIS) on a channel. With `quiet`, a file that
// cannot be played is not logged: the polls retry the same file on every turn.
bool StartSound(Engine& engine, SoundChannel channel, std::string_view sjis_path, bool repeat,
                bool quiet = false);
void StopSound(Engine& engine, SoundChannel channel);

// "play cdaudio from `from` to `to`" (to = 0: to the end of the disc): 0 when it plays, else the
// error number of the CD device.
int PlayCd(Engine& engine, int from, int to);

}  // namespace tumu
