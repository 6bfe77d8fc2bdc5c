// The sound of the SDL backend: one audio device, through SDL2_mixer, that mixes the one-shot
// wave, the simple player's channel, the beep, the ripped CD tracks (streamed as SDL_mixer's
// music) and MIDI music, which FluidSynth renders with a soundfont into the mixed stream.
//
// The device opens at the first sound and closes again once the game has been quiet for a while
// (an open device keeps a thread running). Without a device, every sound keeps its length on the
// clock but nothing is heard; without a soundfont, the same holds for MIDI music.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/timed_audio.h"

namespace tumu {

struct SdlAudioOptions {
  // An SF2/SF3 soundfont for MIDI; empty: the first of SDL_SOUNDFONTS, else an installed GM
  // soundfont.
  std::string soundfont;
  int music_volume = 100;  // MIDI and CD audio, 0-100
  int sound_volume = 100;  // wave sounds and the beep, 0-100
  bool verbose = false;    // the audio drivers' own messages reach stderr
};

// The soundfont MIDI plays with: the one given, else the first existing file of SDL_SOUNDFONTS
// (separated by ':' or ';'), else the installed GM soundfont; empty when there is none.
std::string FindSoundfont(const std::string& given);

class SdlAudio final : public Audio {
 public:
  SdlAudio(Clock& clock, SdlAudioOptions options);
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  bool Play(SoundChannel channel, const std::string& path, bool repeat,
            std::string* problem) override;
  bool PlayTracks(const std::vector<std::string>& paths, std::string* problem) override;
  ChannelState State(SoundChannel channel) override;
  void Close(SoundChannel channel) override;

  // The platform's default beep, mixed with the game's sounds.
  void Beep();
  // Housekeeping between events: lets the device go after a quiet while.
  void Idle();

 private:
  struct ChunkFree {
    void operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }
  };
  struct MusicFree {
    void operator()(Mix_Music* music) const { Mix_FreeMusic(music); }
  };
  struct LoadedChunk {
    std::string path;
    std::unique_ptr<Mix_Chunk, ChunkFree> chunk;
  };
  enum class Device { kClosed, kOpen, kUnavailable };

  bool OpenDevice();
  void CloseDevice();
  bool Sounding();
  Mix_Chunk* LoadChunk(const std::string& path, std::string* problem);
  bool PlayMidi(const std::string& path, std::string* problem);
  // Whether MIDI can be heard: the soundfont is ready, or loading (begun here the first time).
  bool SoundfontUsable();
  // On the loader's thread: loads the soundfont, then starts the piece that waited for it.
  void LoadSoundfont(const std::string& soundfont);
  // Under midi_mutex_, with the synthesizer ready.
  bool StartPlayer(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t size);
  bool StartNextTrack(std::string* problem);
  static void SDLCALL MixMidi(void* self, Uint8* stream, int length);

  Clock& clock_;
  SdlAudioOptions options_;
  TimedAudio silent_;  // channels that play without being heard
  std::array<bool, kSoundChannels> on_silent_{};
  std::array<bool, kSoundChannels> open_{};

  Device device_ = Device::kClosed;
  bool started_audio_ = false;  // we brought up SDL's audio and take it down again
  bool mixer_initialised_ = false;
  bool told_of_dummy_ = false;
  std::uint32_t quiet_since_ = 0;
  bool quiet_ = false;

  std::vector<LoadedChunk> chunks_;  // the latest wave files, newest last
  std::string failed_path_;           // the last wave file that could not be played, and why
  std::string failed_problem_;
  std::vector<std::int16_t> beep_samples_;
  std::unique_ptr<Mix_Chunk, ChunkFree> beep_;

  std::unique_ptr<Mix_Music, MusicFree> track_;
  std::deque<std::string> tracks_to_come_;

  // MIDI: the synthesizer lives as long as the backend; a player per piece. Loading a soundfont
  // takes a tenth of a second or more, so it loads on a thread of its own the first time a piece
  // plays, and the game goes on drawing meanwhile; the piece starts when the soundfont is ready.
  // The device's thread renders the music, so what follows is only touched under midi_mutex_.
  enum class Synth { kNotLoaded, kLoading, kReady, kUnavailable };
  std::mutex midi_mutex_;
  std::thread soundfont_loader_;
  Synth synth_state_ = Synth::kNotLoaded;
  fluid_settings_t* fluid_settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  struct WaitingPiece {
    std::vector<std::uint8_t> bytes;
    std::size_t offset = 0;
    std::size_t size = 0;
  };
  std::optional<WaitingPiece> waiting_piece_;  // asked for while the soundfont loads
  std::string midi_path_;                      // the piece playing, to play silently instead
  bool midi_repeat_ = false;
  // The piece is over for a listener once its length has been rendered; the player itself
  // reports the end only after the last notes had two seconds to fade.
  std::uint64_t midi_length_us_ = 0;
  std::uint64_t midi_frames_ = 0;
  std::vector<float> midi_buffer_;
};

}  // namespace tumu
