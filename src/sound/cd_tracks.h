// The game's audio CD, emulated from ripped track files. For track N the first existing file
// among trackNN, trackN, track_NN, track_N with the endings .ogg .flac .opus .mp3 .wav (any case)
// stands for the track; the folders are searched in order: the one the player named, then cd/,
// CD/, music/ and BGM/ in the game folder.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tumu {

// The error numbers of the CD device: no disc at all, and a track the disc does not have.
inline constexpr int kCdNotReady = 262;
inline constexpr int kCdNoSuchTrack = 282;

struct CdDisc {
  std::map<int, std::string> tracks;  // track number -> file on disk
  std::vector<std::string> folders;   // where they were looked for, for the log
};

CdDisc FindCdTracks(const std::string& game_dir, const std::string& cd_dir);

// The files that "play from `from` to `to`" plays (to = 0: to the end of the disc): 0, or the
// error number. Like a disc, the play has to end on a track the disc has, so the track after the
// last one is out of range.
int CdTracksToPlay(const CdDisc& disc, int from, int to, std::vector<std::string>* files);

}  // namespace tumu
