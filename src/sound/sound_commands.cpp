#include <cstdint>
#include <string>

#include "engine/engine.h"
#include "engine/format.h"
#include "engine/scenario.h"
#include "platform/sjis.h"
#include "platform/sjis_literal.h"
#include "sound/cd_tracks.h"
#include "sound/sound.h"
#include "sound/sound_channels.h"
#include "vars/expression.h"

namespace tumu {

using namespace literals;

namespace {

std::string Compose(const PathText& dir, std::string_view name, const PathText& ext) {
  return std::string(dir.view()) + std::string(name) + std::string(ext.view());
}

bool IsGameFile(Engine& engine, std::string_view path) {
  return engine.files.FileExists(path) == kFileRegular;
}

// The track after `track`, as the device's 32-bit arithmetic gives it.
int NextTrack(int track) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(track) + 1u);
}

}  // namespace

void HandleSound(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view name = NextLine(engine);
  StopSound(engine, SoundChannel::kWave);
  // Only the loop's playback stops: the loop poll starts it again from its beginning.
  StopSound(engine, SoundChannel::kLoop);
  const std::string path = Compose(s.sound_dir, name, s.sound_ext);
  if (!IsGameFile(engine, path)) {
    ReportScenarioError(engine, "音のファイルがありません"_sj, name);
    return;
  }
  StartSound(engine, SoundChannel::kWave, path, /*repeat=*/false);
  s.wave_device_open = 1;
}

void HandleSoundLoop(Engine& engine) {
  EngineState& s = engine.state;
  StopSound(engine, SoundChannel::kWave);
  StopSound(engine, SoundChannel::kLoop);
  const std::string_view name = NextLine(engine);
  const std::string path = Compose(s.sound_dir, name, s.sound_ext);
  if (!IsGameFile(engine, path)) {
    ReportScenarioError(engine, "音ループのファイルがありません"_sj, name);
    return;
  }
  s.wave_loop_on = 1;
  s.wave_loop_file.assign(path);
  StartSound(engine, SoundChannel::kLoop, s.wave_loop_file.view(), /*repeat=*/true);
}

void HandleSoundStop(Engine& engine) {
  EngineState& s = engine.state;
  s.wave_loop_on = 0;
  s.wave_device_open = 0;
  StopSound(engine, SoundChannel::kWave);
  StopSound(engine, SoundChannel::kLoop);
}

void HandleMidi(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view command = CurrentLine(engine);
  if (ContainsText(command, "のパス"_sj)) {
    s.midi_dir.assign(NextLine(engine));
    return;
  }
  s.midi_playing = 0;
  if (ContainsText(command, "止め"_sj)) {
    StopSound(engine, SoundChannel::kMidi);
    return;
  }
  StopSound(engine, SoundChannel::kMidi);
  const bool loop = ContainsText(command, "ループ"_sj);
  const std::string_view name = NextLine(engine);
  const std::string path = Compose(s.midi_dir, name, s.midi_ext);
  if (!IsGameFile(engine, path)) {
    ReportScenarioError(engine, "ＭＩＤＩファイルがありません"_sj, name);
    return;
  }
  StartSound(engine, SoundChannel::kMidi, path, /*repeat=*/false);
  if (loop) {
    s.midi_playing = 1;
    s.midi_file.assign(path);
  }
}

void HandleCd(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view command = CurrentLine(engine);
  s.cd_loop = ContainsText(command, "ループ"_sj) ? 1 : 0;
  const bool confirm = ContainsText(command, "確認"_sj);
  StopSound(engine, SoundChannel::kCd);
  const std::string track_line(NextLine(engine));
  if (track_line.empty()) {
    ReportScenarioError(engine, "＃ＣＤのトラックが指定されていません"_sj, "");
    return;
  }
  int track = 0;
  if (!EvaluateScenarioExpression(engine, track_line, track_line, &track)) return;
  s.cd_track = track;
  std::string_view label;
  if (confirm) {
    label = NextLine(engine);
    if (label.empty()) {
      ReportScenarioError(engine, "ＣＤ確認時のラベルが指定されていません"_sj, "");
      return;
    }
  }
  int error = PlayCd(engine, track, NextTrack(track));
  // The last track has no next one to stop at: play to the end of the disc instead.
  if (error != 0) error = PlayCd(engine, track, 0);
  if (error == 0) {
    s.cd_playing = 1;
    return;
  }
  if (confirm) {
    const int target = FindLabel(engine, label);
    if (target < 0) {
      ReportScenarioError(engine, "ＣＤ確認時のラベルが見つかりません"_sj, label);
    } else {
      s.current_line = target;
    }
  } else if (error == kCdNotReady) {
    ReportScenarioError(engine, "ＣＤが入っていないか、"_sj, "ＣＤの準備が出来ていません"_sj);
  } else if (error == kCdNoSuchTrack) {
    ReportScenarioError(engine, "音楽トラックがないか、無効なトラックです"_sj,
                        Sprintf("%d トラック"_sj.c_str(), track));
  } else {
    ReportScenarioError(engine, "ＣＤ上でのトラブルです"_sj,
                        "別のソフトで使用している可能性もあります"_sj);
  }
}

void HandleCdStop(Engine& engine) {
  EngineState& s = engine.state;
  StopSound(engine, SoundChannel::kCd);
  s.cd_loop = 0;
  s.cd_playing = 0;
}

}  // namespace tumu
