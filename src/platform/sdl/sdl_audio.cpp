#include "platform/sdl/sdl_audio.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/sdl/quiet_stderr.h"
#include "platform/sdl/sdl_beep.h"
#include "platform/sound_files.h"

namespace tumu {

namespace {

constexpr int kSampleRate = 44100;
constexpr int kOutputChannels = 2;
constexpr int kChunkFrames = 1024;
// Mixer channels: the one-shot wave, the simple player, the beep.
constexpr int kWaveMix = 0;
constexpr int kLoopMix = 1;
constexpr int kBeepMix = 2;
constexpr int kMixChannels = 3;
constexpr std::uint32_t kKeepOpenMs = 3000;
constexpr std::size_t kRememberedChunks = 8;
constexpr std::uint64_t kLargestWaveFile = 256u << 20;
constexpr int kBeepMs = 80;
constexpr int kBeepHz = 880;

std::size_t Index(SoundChannel channel) { return static_cast<std::size_t>(channel); }

int MixVolume(int percent) { return std::clamp(percent, 0, 100) * MIX_MAX_VOLUME / 100; }

std::string SdlProblem(const char* what) { return std::string(what) + ": " + Mix_GetError(); }

bool IsFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// FluidSynth's own chatter would reach the player's terminal; the player says what matters.
void QuietFluidSynth() {
  for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
}

void SaySoundfontUnusable(const std::string& soundfont) {
  std::fprintf(stderr,
               "tumu: cannot load the soundfont %s, so MIDI music is silent: give another with "
               "--soundfont FILE\n",
               soundfont.c_str());
}

}  // namespace

std::string FindSoundfont(const std::string& given) {
  if (!given.empty()) return given;
  if (const char* listed = SDL_getenv("SDL_SOUNDFONTS")) {
    std::string_view rest = listed;
    while (!rest.empty()) {
      const std::size_t cut = rest.find_first_of(":;");
      const std::string candidate(rest.substr(0, cut));
      if (IsFile(candidate)) return candidate;
      rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }
  }
  for (const char* preferred : {"/usr/share/sounds/sf2/default-GM.sf2",
                                "/usr/share/sounds/sf3/default-GM.sf3"}) {
    if (IsFile(preferred)) return preferred;
  }
  for (const char* folder : {"/usr/share/sounds/sf2", "/usr/share/sounds/sf3"}) {
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
      const std::string ext = it->path().extension().string();
      if ((ext == ".sf2" || ext == ".sf3") && IsFile(it->path().string())) found.push_back(it->path().string());
    }
    if (!found.empty()) return *std::min_element(found.begin(), found.end());
  }
  return "";
}

SdlAudio::SdlAudio(Clock& clock, SdlAudioOptions options)
    : clock_(clock), options_(std::move(options)), silent_(clock) {}

SdlAudio::~SdlAudio() {
  if (soundfont_loader_.joinable()) soundfont_loader_.join();
  CloseDevice();
  chunks_.clear();
  beep_.reset();
  if (player_ != nullptr) delete_fluid_player(player_);
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (fluid_settings_ != nullptr) delete_fluid_settings(fluid_settings_);
  if (mixer_initialised_) Mix_Quit();
  if (started_audio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudio::OpenDevice() {
  if (device_ == Device::kOpen) return true;
  if (device_ == Device::kUnavailable) return false;
  std::string failure;
  {
    // Drivers that are tried and fail say so loudly; whether one works is told below.
    const QuietStderr quiet(!options_.verbose);
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failure = SDL_GetError();
      } else {
        started_audio_ = true;
      }
    }
    if (failure.empty() && !mixer_initialised_) {
      // Decoders for the ripped CD tracks; a kind that is missing fails when a track of it plays.
      Mix_Init(MIX_INIT_OGG | MIX_INIT_FLAC | MIX_INIT_MP3 | MIX_INIT_OPUS);
      mixer_initialised_ = true;
    }
    // No changes allowed: SDL converts to whatever the device takes, and the MIDI mix can rely
    // on 16-bit stereo at 44.1 kHz.
    if (failure.empty() &&
        Mix_OpenAudioDevice(kSampleRate, AUDIO_S16SYS, kOutputChannels, kChunkFrames, nullptr, 0) != 0) {
      failure = Mix_GetError();
    }
  }
  if (!failure.empty()) {
    std::fprintf(stderr, "tumu: no audio device (%s): the game plays without sound\n", failure.c_str());
    device_ = Device::kUnavailable;
    return false;
  }
  // SDL falls back to the silent driver when no sound server answers; say so, unless the
  // player asked for it.
  const char* driver = SDL_GetCurrentAudioDriver();
  const char* asked = std::getenv("SDL_AUDIODRIVER");
  const bool dummy_asked = asked != nullptr && std::string_view(asked) == "dummy";
  if (!told_of_dummy_ && !dummy_asked && driver != nullptr && std::string_view(driver) == "dummy") {
    std::fprintf(stderr, "tumu: the audio driver is \"dummy\": the game plays without sound\n");
    told_of_dummy_ = true;
  }
  Mix_AllocateChannels(kMixChannels);
  for (int channel : {kWaveMix, kLoopMix, kBeepMix}) Mix_Volume(channel, MixVolume(options_.sound_volume));
  Mix_VolumeMusic(MixVolume(options_.music_volume));
  Mix_SetPostMix(MixMidi, this);
  device_ = Device::kOpen;
  quiet_ = false;
  return true;
}

void SdlAudio::CloseDevice() {
  if (device_ != Device::kOpen) return;
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  track_.reset();
  tracks_to_come_.clear();
  Mix_SetPostMix(nullptr, nullptr);
  Mix_CloseAudio();
  device_ = Device::kClosed;
}

bool SdlAudio::Sounding() {
  if (Mix_Playing(-1) > 0 || Mix_PlayingMusic() || !tracks_to_come_.empty()) return true;
  const std::lock_guard lock(midi_mutex_);
  return waiting_piece_ ||
         (player_ != nullptr && fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING);
}

void SdlAudio::Idle() {
  if (device_ != Device::kOpen) return;
  if (Sounding()) {
    quiet_ = false;
    return;
  }
  const std::uint32_t now = clock_.Ticks();
  if (!quiet_) {
    quiet_ = true;
    quiet_since_ = now;
  } else if (now - quiet_since_ > kKeepOpenMs) {
    CloseDevice();
  }
}

void SdlAudio::Beep() {
  if (!OpenDevice()) return;
  if (!beep_) {
    // The tone is mono; the device takes stereo.
    const std::vector<std::int16_t> tone = MakeBeepTone(kSampleRate, kBeepMs, kBeepHz);
    beep_samples_.clear();
    for (std::int16_t sample : tone) beep_samples_.insert(beep_samples_.end(), {sample, sample});
    beep_.reset(Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(beep_samples_.data()),
                                  static_cast<Uint32>(beep_samples_.size() * sizeof(std::int16_t))));
  }
  if (beep_) Mix_PlayChannel(kBeepMix, beep_.get(), 0);
}

namespace {

Mix_Chunk* ReadChunk(const std::string& path, std::string* problem) {
  // Our own reader checks the file first: SDL would take a truncated or odd file as it comes.
  const std::unique_ptr<FileSource> file = FileSource::Open(path, problem);
  if (!file || !ReadWaveInfo(*file, problem)) return nullptr;
  const auto bytes = ReadAll(*file, kLargestWaveFile, problem);
  if (!bytes) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size())), 1);
  if (chunk == nullptr) *problem = SdlProblem("SDL cannot read it");
  return chunk;
}

}  // namespace

Mix_Chunk* SdlAudio::LoadChunk(const std::string& path, std::string* problem) {
  const auto known = std::find_if(chunks_.begin(), chunks_.end(),
                                  [&](const LoadedChunk& c) { return c.path == path; });
  if (known != chunks_.end()) {
    std::rotate(known, known + 1, chunks_.end());
    return chunks_.back().chunk.get();
  }
  // The loop poll asks for a file that failed again on every turn: the answer stays the same.
  if (path == failed_path_) {
    *problem = failed_problem_;
    return nullptr;
  }
  Mix_Chunk* chunk = ReadChunk(path, problem);
  if (chunk == nullptr) {
    failed_path_ = path;
    failed_problem_ = *problem;
    return nullptr;
  }
  // Forget the oldest file that is not sounding.
  if (chunks_.size() >= kRememberedChunks) {
    const auto unused = std::find_if(chunks_.begin(), chunks_.end(), [](const LoadedChunk& c) {
      for (int channel : {kWaveMix, kLoopMix}) {
        if (Mix_Playing(channel) && Mix_GetChunk(channel) == c.chunk.get()) return false;
      }
      return true;
    });
    if (unused != chunks_.end()) chunks_.erase(unused);
  }
  chunks_.push_back({path, std::unique_ptr<Mix_Chunk, ChunkFree>(chunk)});
  return chunk;
}

bool SdlAudio::Play(SoundChannel channel, const std::string& path, bool repeat,
                    std::string* problem) {
  Close(channel);
  const std::size_t i = Index(channel);
  if (channel == SoundChannel::kCd) return PlayTracks({path}, problem);
  const bool audible = OpenDevice() && (channel != SoundChannel::kMidi || SoundfontUsable());
  if (!audible) {
    on_silent_[i] = silent_.Play(channel, path, repeat, problem);
    return on_silent_[i];
  }
  if (channel == SoundChannel::kMidi) {
    midi_path_ = path;
    midi_repeat_ = repeat;
    open_[i] = PlayMidi(path, problem);
    return open_[i];
  }
  Mix_Chunk* chunk = LoadChunk(path, problem);
  if (chunk == nullptr) return false;
  const int mix = channel == SoundChannel::kWave ? kWaveMix : kLoopMix;
  if (Mix_PlayChannel(mix, chunk, repeat ? -1 : 0) < 0) {
    *problem = SdlProblem("SDL cannot play it");
    return false;
  }
  open_[i] = true;
  return true;
}

bool SdlAudio::SoundfontUsable() {
  const std::lock_guard lock(midi_mutex_);
  if (synth_state_ == Synth::kNotLoaded) {
    const std::string soundfont = FindSoundfont(options_.soundfont);
    if (soundfont.empty()) {
      std::fprintf(stderr,
                   "tumu: no soundfont, so MIDI music is silent: give one with --soundfont FILE or "
                   "SDL_SOUNDFONTS, or install a GM soundfont (timgm6mb-soundfont)\n");
      synth_state_ = Synth::kUnavailable;
    } else if (!IsFile(soundfont)) {
      SaySoundfontUnusable(soundfont);
      synth_state_ = Synth::kUnavailable;
    } else {
      synth_state_ = Synth::kLoading;
      soundfont_loader_ = std::thread([this, soundfont] { LoadSoundfont(soundfont); });
    }
  }
  return synth_state_ != Synth::kUnavailable;
}

void SdlAudio::LoadSoundfont(const std::string& soundfont) {
  QuietFluidSynth();
  fluid_settings_t* settings = new_fluid_settings();
  if (settings != nullptr) fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
  fluid_synth_t* synth = settings != nullptr ? new_fluid_synth(settings) : nullptr;
  const bool loaded = synth != nullptr && fluid_synth_sfload(synth, soundfont.c_str(), 1) != FLUID_FAILED;
  if (!loaded) SaySoundfontUnusable(soundfont);
  const std::lock_guard lock(midi_mutex_);
  fluid_settings_ = settings;
  synth_ = synth;
  synth_state_ = loaded ? Synth::kReady : Synth::kUnavailable;
  // Without a soundfont the waiting piece is left for State() to play silently.
  if (loaded && waiting_piece_) {
    if (!StartPlayer(waiting_piece_->bytes, waiting_piece_->offset, waiting_piece_->size)) {
      midi_length_us_ = 0;  // over at once
    }
    waiting_piece_.reset();
  }
}

bool SdlAudio::StartPlayer(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                           std::size_t size) {
  player_ = new_fluid_player(synth_);
  if (player_ == nullptr ||
      fluid_player_add_mem(player_, bytes.data() + offset, size) != FLUID_OK ||
      fluid_player_play(player_) != FLUID_OK) {
    if (player_ != nullptr) delete_fluid_player(player_);
    player_ = nullptr;
    return false;
  }
  return true;
}

bool SdlAudio::PlayMidi(const std::string& path, std::string* problem) {
  const std::unique_ptr<FileSource> file = FileSource::Open(path, problem);
  if (!file) return false;
  auto bytes = ReadAll(*file, kLargestMidiFile, problem);
  if (!bytes) return false;
  const auto midi = ReadMidiInfo(*bytes, problem);
  if (!midi) return false;
  const std::lock_guard lock(midi_mutex_);
  midi_length_us_ = midi->length_us;
  midi_frames_ = 0;
  if (synth_state_ == Synth::kLoading) {
    waiting_piece_ = WaitingPiece{std::move(*bytes), midi->smf_offset, midi->smf_size};
    return true;
  }
  if (!StartPlayer(*bytes, midi->smf_offset, midi->smf_size)) {
    *problem = "the synthesizer cannot play it";
    return false;
  }
  return true;
}

void SDLCALL SdlAudio::MixMidi(void* self, Uint8* stream, int length) {
  auto& audio = *static_cast<SdlAudio*>(self);
  const std::lock_guard lock(audio.midi_mutex_);
  // The player goes on for a while after the last event, for the last notes to fade.
  if (audio.player_ == nullptr || fluid_player_get_status(audio.player_) != FLUID_PLAYER_PLAYING) return;
  const int frames = length / static_cast<int>(kOutputChannels * sizeof(std::int16_t));
  std::vector<float>& buffer = audio.midi_buffer_;
  if (buffer.size() < static_cast<std::size_t>(frames) * 2) buffer.resize(static_cast<std::size_t>(frames) * 2);
  std::fill(buffer.begin(), buffer.begin() + frames * 2, 0.0f);
  fluid_synth_write_float(audio.synth_, frames, buffer.data(), 0, 2, buffer.data(), 1, 2);
  audio.midi_frames_ += static_cast<std::uint64_t>(frames);
  const float gain = 32767.0f * static_cast<float>(std::clamp(audio.options_.music_volume, 0, 100)) / 100.0f;
  auto* out = reinterpret_cast<std::int16_t*>(stream);
  for (int i = 0; i < frames * 2; ++i) {
    const float mixed = static_cast<float>(out[i]) + buffer[static_cast<std::size_t>(i)] * gain;
    out[i] = static_cast<std::int16_t>(std::clamp(mixed, -32768.0f, 32767.0f));
  }
}

bool SdlAudio::StartNextTrack(std::string* problem) {
  while (!tracks_to_come_.empty()) {
    const std::string path = tracks_to_come_.front();
    tracks_to_come_.pop_front();
    track_.reset(Mix_LoadMUS(path.c_str()));
    if (track_ && Mix_PlayMusic(track_.get(), 0) == 0) return true;
    *problem = SdlProblem(("cannot play " + path).c_str());
    track_.reset();
  }
  return false;
}

bool SdlAudio::PlayTracks(const std::vector<std::string>& paths, std::string* problem) {
  Close(SoundChannel::kCd);
  const std::size_t i = Index(SoundChannel::kCd);
  if (!OpenDevice()) {
    on_silent_[i] = silent_.PlayTracks(paths, problem);
    return on_silent_[i];
  }
  // The first track must play; a later one that will not is skipped when its turn comes.
  tracks_to_come_.assign(paths.begin(), paths.end());
  open_[i] = !tracks_to_come_.empty() && StartNextTrack(problem);
  if (!open_[i]) tracks_to_come_.clear();
  return open_[i];
}

ChannelState SdlAudio::State(SoundChannel channel) {
  const std::size_t i = Index(channel);
  if (on_silent_[i]) return silent_.State(channel);
  if (!open_[i]) return ChannelState::kClosed;
  if (device_ != Device::kOpen) return ChannelState::kStopped;
  switch (channel) {
    case SoundChannel::kWave:
      return Mix_Playing(kWaveMix) ? ChannelState::kPlaying : ChannelState::kStopped;
    case SoundChannel::kLoop:
      return Mix_Playing(kLoopMix) ? ChannelState::kPlaying : ChannelState::kStopped;
    case SoundChannel::kMidi: {
      std::unique_lock lock(midi_mutex_);
      if (waiting_piece_) {
        if (synth_state_ == Synth::kLoading) return ChannelState::kPlaying;
        // The soundfont would not load: the piece goes on silently, for as long as it lasts.
        waiting_piece_.reset();
        lock.unlock();
        open_[i] = false;
        std::string problem;
        on_silent_[i] = silent_.Play(channel, midi_path_, midi_repeat_, &problem);
        return on_silent_[i] ? silent_.State(channel) : ChannelState::kStopped;
      }
      const bool ended = player_ == nullptr ||
                         fluid_player_get_status(player_) == FLUID_PLAYER_DONE ||
                         midi_frames_ * 1000000 / kSampleRate >= midi_length_us_;
      return ended ? ChannelState::kStopped : ChannelState::kPlaying;
    }
    case SoundChannel::kCd: {
      if (Mix_PlayingMusic()) return ChannelState::kPlaying;
      std::string problem;
      return StartNextTrack(&problem) ? ChannelState::kPlaying : ChannelState::kStopped;
    }
  }
  return ChannelState::kClosed;
}

void SdlAudio::Close(SoundChannel channel) {
  const std::size_t i = Index(channel);
  silent_.Close(channel);
  on_silent_[i] = false;
  if (!open_[i]) return;
  open_[i] = false;
  if (device_ != Device::kOpen && channel != SoundChannel::kMidi) return;
  switch (channel) {
    case SoundChannel::kWave:
      Mix_HaltChannel(kWaveMix);
      break;
    case SoundChannel::kLoop:
      Mix_HaltChannel(kLoopMix);
      break;
    case SoundChannel::kMidi: {
      const std::lock_guard lock(midi_mutex_);
      waiting_piece_.reset();
      if (player_ != nullptr) {
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
      }
      if (synth_state_ == Synth::kReady) {
        fluid_synth_all_sounds_off(synth_, -1);
        fluid_synth_system_reset(synth_);
      }
      break;
    }
    case SoundChannel::kCd:
      Mix_HaltMusic();
      track_.reset();
      tracks_to_come_.clear();
      break;
  }
}

}  // namespace tumu
