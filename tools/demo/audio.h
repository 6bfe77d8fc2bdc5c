// The demo's sounds, synthesised here: wave files (".sw1" and the ripped CD track) and a MIDI
// file (".sm1") written byte by byte.
#pragma once

#include "demo/bytes.h"

namespace demo {

Bytes SeaLoopWave();          // the sea at the harbour, made to loop
Bytes ChimeWave();            // a star picked up: two bell notes
Bytes DoorWave();             // the lighthouse door creaking open
Bytes PluckWave(int step);    // a soft plucked note, step 0..2 of a rising set (hover sounds)
Bytes EndingTrackWave();      // the ending theme, as a ripped CD track
Bytes StarSongMidi();         // the game's tune: music box, harp, pad and flute, with tempo changes

}  // namespace demo
