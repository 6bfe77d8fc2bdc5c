#include "sound/cd_tracks.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace tumu {

namespace {

constexpr int kLastCdTrack = 99;
constexpr std::array<std::string_view, 5> kEndings = {".ogg", ".flac", ".opus", ".mp3", ".wav"};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The track number a file name gives ("Track_07.OGG" gives 7), or 0.
int TrackNumberOf(const std::string& lower_name) {
  std::string_view name = lower_name;
  if (!name.starts_with("track")) return 0;
  name.remove_prefix(5);
  if (name.starts_with("_")) name.remove_prefix(1);
  int number = 0;
  std::size_t digits = 0;
  while (digits < name.size() && digits < 3 && std::isdigit(static_cast<unsigned char>(name[digits]))) {
    number = number * 10 + (name[digits++] - '0');
  }
  if (digits == 0 || number < 1 || number > kLastCdTrack) return 0;
  const std::string_view ending = name.substr(digits);
  for (std::string_view known : kEndings) {
    if (ending == known) return number;
  }
  return 0;
}

}  // namespace

CdDisc FindCdTracks(const std::string& game_dir, const std::string& cd_dir) {
  namespace fs = std::filesystem;
  CdDisc disc;
  if (!cd_dir.empty()) disc.folders.push_back(cd_dir);
  for (const char* sub : {"cd", "CD", "music", "BGM"}) disc.folders.push_back((fs::path(game_dir) / sub).string());

  // Each folder's files by their lower-case names; the first folder that has a track wins.
  for (const std::string& folder : disc.folders) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      if (!it->is_regular_file(error)) continue;
      const std::string lower = Lower(it->path().filename().string());
      if (TrackNumberOf(lower) != 0) files.emplace(lower, it->path().string());
    }
    if (files.empty()) continue;
    for (int track = 1; track <= kLastCdTrack; ++track) {
      if (disc.tracks.contains(track)) continue;
      char padded[16];
      std::snprintf(padded, sizeof(padded), "%02d", track);
      const std::string plain = std::to_string(track);
      for (const std::string& stem : {"track" + std::string(padded), "track" + plain,
                                      "track_" + std::string(padded), "track_" + plain}) {
        for (std::string_view ending : kEndings) {
          const auto found = files.find(stem + std::string(ending));
          if (found != files.end() && !disc.tracks.contains(track)) {
            disc.tracks.emplace(track, found->second);
          }
        }
      }
    }
  }
  return disc;
}

int CdTracksToPlay(const CdDisc& disc, int from, int to, std::vector<std::string>* files) {
  files->clear();
  if (disc.tracks.empty()) return kCdNotReady;
  const int last = disc.tracks.rbegin()->first;
  if (!disc.tracks.contains(from) || (to != 0 && (to <= from || to > last))) return kCdNoSuchTrack;
  const int final_track = to == 0 ? last : to - 1;
  for (auto it = disc.tracks.find(from); it != disc.tracks.end() && it->first <= final_track; ++it) {
    files->push_back(it->second);
  }
  return 0;
}

}  // namespace tumu
