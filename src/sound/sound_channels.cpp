#include "sound/sound_channels.h"

#include <string>
#include <vector>

#include "engine/engine.h"
#include "platform/sjis.h"
#include "sound/cd_tracks.h"

namespace tumu {

namespace {

// Any failure of a CD play other than a missing disc or track: a track file that will not play.
constexpr int kCdTrouble = 1;

const char* ChannelName(SoundChannel channel) {
  switch (channel) {
    case SoundChannel::kWave: return "wave";
    case SoundChannel::kLoop: return "loop";
    case SoundChannel::kMidi: return "midi";
    case SoundChannel::kCd: return "cd";
  }
  return "";
}

void TraceAudio(Engine& engine, SoundChannel channel, const std::string& what) {
  if (engine.log.tracing()) engine.log.Trace(std::string("audio\t") + ChannelName(channel) + "\t" + what);
}

}  // namespace

bool StartSound(Engine& engine, SoundChannel channel, std::string_view sjis_path, bool repeat,
                bool quiet) {
  const std::string name = SjisToUtf8(sjis_path);
  std::string problem = "there is no such file";
  const std::optional<std::string> path = engine.files.Resolve(sjis_path);
  if (path && engine.platform.audio.Play(channel, *path, repeat, &problem)) {
    TraceAudio(engine, channel, "play\t" + name);
    return true;
  }
  if (!quiet) engine.log.Info(std::string("the sound ") + name + " does not play: " + problem);
  return false;
}

void StopSound(Engine& engine, SoundChannel channel) {
  engine.platform.audio.Close(channel);
  TraceAudio(engine, channel, "stop");
}

int PlayCd(Engine& engine, int from, int to) {
  const CdDisc disc = FindCdTracks(engine.files.game_dir(), engine.options.cd_dir);
  std::vector<std::string> files;
  const int error = CdTracksToPlay(disc, from, to, &files);
  const std::string what = "CD track " + std::to_string(from) +
                           (to == 0 ? " to the end" : " to " + std::to_string(to));
  if (error != 0) {
    std::string folders;
    for (const std::string& folder : disc.folders) folders += (folders.empty() ? "" : ", ") + folder;
    engine.log.Info(what + ": " + (disc.tracks.empty() ? "no track files" : "no such track") +
                    " in " + folders);
    return error;
  }
  std::string problem;
  if (!engine.platform.audio.PlayTracks(files, &problem)) {
    engine.log.Info(what + " does not play: " + problem);
    return kCdTrouble;
  }
  TraceAudio(engine, SoundChannel::kCd, "play\t" + std::to_string(from));
  return 0;
}

}  // namespace tumu
