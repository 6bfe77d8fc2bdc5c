// The SDL backend's sound, heard through SDL's "disk" audio driver, which writes the mixed output
// to a file: each kind of sound must be audible in it, alone and all at once. Then the dummy
// driver, a machine without a device, MIDI without a soundfont, and the synthesizer's own idea of
// when a real piece ends.
#include "platform/sdl/sdl_audio.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <optional>
#include <thread>

#include "../test_sounds.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sound_files.h"

namespace tumu {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// Pitches far enough apart to be told apart in the mix: a wave, a flute note (A5) and a CD track.
constexpr double kWaveHz = 330;
constexpr double kMidiHz = 880;
constexpr double kCdHz = 1500;
constexpr int kMidiNote = 81;
constexpr int kRate = 44100;

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class SdlAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tumu_audio_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    Write("wave.sw1", SineWave(22050, 1, 3000, kWaveHz));
    Write("piece.sm1", OneNoteMidi(3000, kMidiNote));
    Write("track02.wav", SineWave(kRate, 2, 3000, kCdHz));
    Write("short.sw1", SineWave(22050, 1, 300, kWaveHz));
    Write("short.sm1", OneNoteMidi(300, kMidiNote));
    Write("short.wav", SineWave(kRate, 2, 300, kCdHz));
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const char* name) const { return (dir_ / name).string(); }
  void Write(const char* name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }

  // Plays what `start` starts through the disk driver for `ms` and gives the recording as mono
  // samples from -1 to 1.
  std::vector<double> Record(const SdlAudioOptions& options, int ms,
                             const std::function<void(SdlAudio&)>& start) {
    const std::string file = Path("recording.raw");
    fs::remove(file);
    {
      const ScopedEnv driver("SDL_AUDIODRIVER", "disk");
      const ScopedEnv output("SDL_DISKAUDIOFILE", file);
      SdlAudio audio(clock_, options);
      start(audio);
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<double> mono;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
      const auto left = static_cast<std::int16_t>((bytes[i] & 0xFF) | (bytes[i + 1] << 8));
      const auto right = static_cast<std::int16_t>((bytes[i + 2] & 0xFF) | (bytes[i + 3] << 8));
      mono.push_back((left + right) / 2.0 / 32768.0);
    }
    return mono;
  }

  void Play(SdlAudio& audio, SoundChannel channel, const char* name, bool repeat = false) {
    std::string problem;
    EXPECT_TRUE(audio.Play(channel, Path(name), repeat, &problem)) << name << ": " << problem;
  }

  SdlClock clock_;
  fs::path dir_;
};

// The amplitude of the strongest tone within 10 Hz of `hz` in a stretch of the recording (a
// Hann-windowed single-frequency transform: a full-scale sine gives 1).
double Tone(const std::vector<double>& samples, std::size_t from, std::size_t count, double hz) {
  double best = 0;
  for (double f = hz - 10; f <= hz + 10; f += 1) {
    double re = 0, im = 0, weight = 0;
    for (std::size_t i = 0; i < count && from + i < samples.size(); ++i) {
      const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / count);
      const double phase = 2 * std::numbers::pi * f * static_cast<double>(i) / kRate;
      re += samples[from + i] * w * std::cos(phase);
      im += samples[from + i] * w * std::sin(phase);
      weight += w;
    }
    if (weight > 0) best = std::max(best, 2 * std::hypot(re, im) / weight);
  }
  return best;
}

struct Heard {
  double wave, midi, cd;
};

// The three tones in the last 300 ms of a recording but its final 50 ms.
Heard Listen(const std::vector<double>& samples) {
  const std::size_t count = kRate * 3 / 10;
  EXPECT_GT(samples.size(), count + kRate / 20) << "the recording is too short";
  const std::size_t from = samples.size() > count + kRate / 20 ? samples.size() - count - kRate / 20 : 0;
  return {Tone(samples, from, count, kWaveHz), Tone(samples, from, count, kMidiHz),
          Tone(samples, from, count, kCdHz)};
}

constexpr double kAudible = 0.01;  // -40 dB of full scale
constexpr double kSilent = 0.002;

TEST_F(SdlAudioTest, EachSoundIsAudibleAloneAndAllThreeAtOnceInOneDevice) {
  const SdlAudioOptions options;
  const Heard wave = Listen(Record(options, 800, [&](SdlAudio& a) { Play(a, SoundChannel::kWave, "wave.sw1"); }));
  const Heard midi = Listen(Record(options, 800, [&](SdlAudio& a) { Play(a, SoundChannel::kMidi, "piece.sm1"); }));
  const Heard cd = Listen(Record(options, 800, [&](SdlAudio& a) {
    std::string problem;
    EXPECT_TRUE(a.PlayTracks({Path("track02.wav")}, &problem)) << problem;
  }));
  const Heard all = Listen(Record(options, 800, [&](SdlAudio& a) {
    Play(a, SoundChannel::kMidi, "piece.sm1");
    Play(a, SoundChannel::kLoop, "wave.sw1", /*repeat=*/true);
    std::string problem;
    EXPECT_TRUE(a.PlayTracks({Path("track02.wav")}, &problem)) << problem;
  }));
  std::printf("tone amplitudes (wave, MIDI, CD): wave alone %.4f %.4f %.4f; MIDI alone %.4f %.4f %.4f; "
              "CD alone %.4f %.4f %.4f; all %.4f %.4f %.4f\n",
              wave.wave, wave.midi, wave.cd, midi.wave, midi.midi, midi.cd, cd.wave, cd.midi, cd.cd,
              all.wave, all.midi, all.cd);
  EXPECT_GT(wave.wave, kAudible);
  EXPECT_LT(wave.midi, kSilent);
  EXPECT_LT(wave.cd, kSilent);
  EXPECT_GT(midi.midi, kAudible);
  EXPECT_LT(midi.wave, kSilent);
  EXPECT_LT(midi.cd, kSilent);
  EXPECT_GT(cd.cd, kAudible);
  EXPECT_LT(cd.wave, kSilent);
  EXPECT_LT(cd.midi, kSilent);
  EXPECT_GT(all.wave, kAudible);
  EXPECT_GT(all.midi, kAudible);
  EXPECT_GT(all.cd, kAudible);
}

// The soundfont loads on a thread while the game goes on: a piece stopped before it is ready must
// never start afterwards. The wave shows that the recording hears what plays.
TEST_F(SdlAudioTest, APieceStoppedWhileTheSoundfontLoadsStaysSilent) {
  const Heard heard = Listen(Record({}, 1000, [&](SdlAudio& a) {
    Play(a, SoundChannel::kMidi, "piece.sm1");
    Play(a, SoundChannel::kWave, "wave.sw1");
    a.Close(SoundChannel::kMidi);
    EXPECT_EQ(a.State(SoundChannel::kMidi), ChannelState::kClosed);
  }));
  EXPECT_LT(heard.midi, kSilent);
  EXPECT_GT(heard.wave, kAudible);
}

TEST_F(SdlAudioTest, VolumesScaleMusicAndSoundsApartAndTheBeepSharesTheDevice) {
  SdlAudioOptions options;
  options.sound_volume = 0;
  options.music_volume = 50;
  const Heard heard = Listen(Record(options, 800, [&](SdlAudio& a) {
    Play(a, SoundChannel::kWave, "wave.sw1");
    std::string problem;
    EXPECT_TRUE(a.PlayTracks({Path("track02.wav")}, &problem)) << problem;
  }));
  EXPECT_LT(heard.wave, kSilent) << "sound volume 0";
  EXPECT_NEAR(heard.cd, 0.15, 0.02) << "the track's 0.3 at half volume";

  // The beep is 80 ms of 880 Hz.
  const std::vector<double> beep = Record({}, 300, [](SdlAudio& a) { a.Beep(); });
  double loudest = 0;
  for (std::size_t from = 0; from + kRate / 20 < beep.size(); from += kRate / 100) {
    loudest = std::max(loudest, Tone(beep, from, kRate / 20, 880));
  }
  EXPECT_GT(loudest, 0.1);
}

TEST_F(SdlAudioTest, TheDummyDriverPlaysEverythingAtOnceForAsLongAsTheFilesLast) {
  const ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlAudio audio(clock_, {});
  ::testing::internal::CaptureStderr();
  // MIDI first: loading the soundfont takes longer than the other sounds last.
  Play(audio, SoundChannel::kMidi, "short.sm1");
  Play(audio, SoundChannel::kWave, "short.sw1");
  Play(audio, SoundChannel::kLoop, "short.sw1", /*repeat=*/true);
  std::string problem;
  EXPECT_TRUE(audio.PlayTracks({Path("short.wav")}, &problem)) << problem;
  audio.Beep();
  const std::string log = ::testing::internal::GetCapturedStderr();
  // The silent driver was asked for, so nothing is said of it.
  EXPECT_EQ(log.find("dummy"), std::string::npos) << log;
  for (SoundChannel channel : {SoundChannel::kWave, SoundChannel::kLoop, SoundChannel::kMidi, SoundChannel::kCd}) {
    EXPECT_EQ(audio.State(channel), ChannelState::kPlaying) << static_cast<int>(channel);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  EXPECT_EQ(audio.State(SoundChannel::kWave), ChannelState::kStopped);
  EXPECT_EQ(audio.State(SoundChannel::kLoop), ChannelState::kPlaying) << "a loop goes on";
  EXPECT_EQ(audio.State(SoundChannel::kCd), ChannelState::kStopped);
  // The piece starts once the soundfont has loaded on its thread, which may take a while on a
  // busy machine; then it lasts its 300 ms.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (audio.State(SoundChannel::kMidi) == ChannelState::kPlaying &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(audio.State(SoundChannel::kMidi), ChannelState::kStopped);
  audio.Close(SoundChannel::kLoop);
  EXPECT_EQ(audio.State(SoundChannel::kLoop), ChannelState::kClosed);
  // Files that must not play are refused with a reason, as in the headless player.
  Write("cut.sw1", SineWave(22050, 1, 300, kWaveHz).substr(0, 500));
  EXPECT_FALSE(audio.Play(SoundChannel::kWave, Path("cut.sw1"), false, &problem));
  EXPECT_NE(problem.find("truncated"), std::string::npos) << problem;
  EXPECT_EQ(audio.State(SoundChannel::kWave), ChannelState::kClosed);
  Write("bad.sm1", "MThd");
  EXPECT_FALSE(audio.Play(SoundChannel::kMidi, Path("bad.sm1"), false, &problem));
  EXPECT_FALSE(audio.PlayTracks({Path("bad.sm1")}, &problem));
}

TEST_F(SdlAudioTest, TheDeviceClosesAfterAQuietWhileAndOpensAgainForTheNextSound) {
  const ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  HeadlessClock quiet_clock;  // the quiet while is measured on this clock
  SdlAudio audio(quiet_clock, {});
  const auto device_open = [] {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    return Mix_QuerySpec(&rate, &format, &channels) != 0;
  };
  EXPECT_FALSE(device_open()) << "no device before the first sound";
  Play(audio, SoundChannel::kWave, "short.sw1");
  EXPECT_TRUE(device_open());
  audio.Idle();
  quiet_clock.Advance(5000);
  audio.Idle();
  EXPECT_TRUE(device_open()) << "a sound plays";
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  audio.Idle();
  quiet_clock.Advance(3000);
  audio.Idle();
  EXPECT_TRUE(device_open());
  quiet_clock.Advance(1);
  audio.Idle();
  EXPECT_FALSE(device_open()) << "quiet for more than 3 s";
  EXPECT_EQ(audio.State(SoundChannel::kWave), ChannelState::kStopped);
  Play(audio, SoundChannel::kWave, "short.sw1");
  EXPECT_TRUE(device_open());
  EXPECT_EQ(audio.State(SoundChannel::kWave), ChannelState::kPlaying);
}

TEST_F(SdlAudioTest, WithoutADeviceOrASoundfontSoundsKeepTheirLengthsSilently) {
  {
    const ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    SdlAudio audio(clock_, {});
    ::testing::internal::CaptureStderr();
    Play(audio, SoundChannel::kWave, "short.sw1");
    Play(audio, SoundChannel::kMidi, "short.sm1");
    audio.Beep();
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("no audio device"), std::string::npos) << log;
    EXPECT_EQ(log.find("no audio device"), log.rfind("no audio device")) << "said once: " << log;
    EXPECT_EQ(audio.State(SoundChannel::kWave), ChannelState::kPlaying);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(audio.State(SoundChannel::kWave), ChannelState::kStopped);
    EXPECT_EQ(audio.State(SoundChannel::kMidi), ChannelState::kStopped);
  }
  const ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlAudioOptions options;
  options.soundfont = Path("missing.sf2");
  SdlAudio audio(clock_, options);
  ::testing::internal::CaptureStderr();
  Play(audio, SoundChannel::kMidi, "short.sm1");
  Play(audio, SoundChannel::kMidi, "short.sm1");
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("MIDI music is silent: give another with --soundfont FILE"), std::string::npos) << log;
  EXPECT_EQ(log.find("cannot load the soundfont"), log.rfind("cannot load the soundfont")) << "said once: " << log;
  EXPECT_EQ(audio.State(SoundChannel::kMidi), ChannelState::kPlaying);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(audio.State(SoundChannel::kMidi), ChannelState::kStopped);
}

TEST_F(SdlAudioTest, TheSoundfontIsTheOneGivenElseTheFirstListedElseTheInstalledOne) {
  Write("a.sf2", "x");
  EXPECT_EQ(FindSoundfont("given.sf2"), "given.sf2");
  {
    const ScopedEnv listed("SDL_SOUNDFONTS", Path("none.sf2") + ";" + Path("a.sf2") + ":" + Path("none2.sf2"));
    EXPECT_EQ(FindSoundfont(""), Path("a.sf2"));
  }
  const ScopedEnv listed("SDL_SOUNDFONTS", Path("none.sf2"));
  EXPECT_EQ(FindSoundfont(""), "/usr/share/sounds/sf2/default-GM.sf2")
      << "the installed GM soundfont (timgm6mb-soundfont)";
}

// The synthesizer's player, run without sound as fast as it goes, reaches the last tick of real
// pieces when their files say: the length that the headless player gives is the one a listener
// hears, through every tempo change.
TEST(FluidSynthTiming, RealPiecesEndWhereTheirFilesSay) {
  const std::string folder = "/usr/share/games/openttd/baseset/openmsx/";
  ASSERT_TRUE(fs::is_directory(folder)) << "the test music comes with openttd-openmsx";
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", kRate);
  fluid_settings_setint(settings, "synth.reverb.active", 0);
  fluid_settings_setint(settings, "synth.chorus.active", 0);
  fluid_synth_t* synth = new_fluid_synth(settings);
  for (const char* name : {"midnight_snow_run.mid", "be_sharp_bw_redfarn.mid", "chuggachugga.mid",
                           "ttsong_iii_imuh3.mid"}) {
    std::string problem;
    const auto length = SoundFileLengthUs(SoundKind::kMidi, folder + name, &problem);
    ASSERT_TRUE(length) << problem;
    fluid_player_t* player = new_fluid_player(synth);
    ASSERT_EQ(fluid_player_add(player, (folder + name).c_str()), FLUID_OK);
    fluid_player_play(player);
    constexpr int kBlock = 512;
    std::vector<float> out(kBlock * 2);
    std::uint64_t frames = 0;
    while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING &&
           (fluid_player_get_total_ticks(player) == 0 ||
            fluid_player_get_current_tick(player) < fluid_player_get_total_ticks(player))) {
      fluid_synth_write_float(synth, kBlock, out.data(), 0, 2, out.data(), 1, 2);
      frames += kBlock;
    }
    delete_fluid_player(player);
    const double heard = static_cast<double>(frames) / kRate;
    std::printf("%s: the synthesizer ends at %.3f s, the file reader says %.3f s\n", name, heard,
                static_cast<double>(*length) / 1e6);
    EXPECT_NEAR(heard, static_cast<double>(*length) / 1e6, 0.050) << name;
  }
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);
}

}  // namespace
}  // namespace tumu
