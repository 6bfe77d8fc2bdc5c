// The lengths of sound files as the headless player and the SDL backend's checks read them: wave
// sounds, MIDI pieces and CD track files, made here or shipped by Debian packages, and the files
// that must not play.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound_files.h"
#include "test_sounds.h"

namespace tumu {
namespace {

using namespace testing;
using namespace std::string_literals;

std::span<const std::uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::optional<WaveInfo> Wave(const std::string& file, std::string* problem) {
  MemorySource source(Bytes(file));
  return ReadWaveInfo(source, problem);
}

std::optional<std::uint64_t> Track(const std::string& file, std::string* problem) {
  MemorySource source(Bytes(file));
  return ReadTrackLengthUs(source, problem);
}

TEST(WaveFile, TheLengthComesFromTheFormatAndTheDataChunkWhateverStandsAroundThem) {
  const std::string pcm_1s = SineSamples(22050, 1, 1000, 440, 0.5);
  const std::string list_odd = Chunk("LIST", "INFOx");  // an odd chunk and its pad byte
  struct Case {
    const char* name;
    std::string file;
    std::uint64_t length_us;
  } cases[] = {
      {"plain", RiffWave(Chunk("fmt ", FormatChunkBody(1, 1, 22050, 16, 2)) + Chunk("data", pcm_1s)),
       1000000},
      {"chunks before and between",
       RiffWave(list_odd + Chunk("fmt ", FormatChunkBody(1, 1, 22050, 16, 2)) + list_odd +
                Chunk("JUNK", std::string(28, '\0')) + Chunk("data", pcm_1s)),
       1000000},
      {"format after data", RiffWave(Chunk("data", pcm_1s) + Chunk("fmt ", FormatChunkBody(1, 1, 22050, 16, 2))),
       1000000},
      {"8-bit stereo, 18-byte format and a fact chunk",
       RiffWave(Chunk("fmt ", FormatChunkBody(1, 2, 8000, 8, 2, std::string(2, '\0'))) +
                Chunk("fact", "\x40\x1F\0\0"s) + Chunk("data", std::string(8000 * 2 * 3 / 2, '\x80'))),
       1500000},
      {"float", RiffWave(Chunk("fmt ", FormatChunkBody(3, 2, 48000, 32, 8)) + Chunk("data", std::string(48000 * 8 / 4, '\0'))),
       250000},
      {"extensible PCM",
       RiffWave(Chunk("fmt ", FormatChunkBody(0xFFFE, 2, 44100, 16, 4,
                                              "\x16\0\x10\0\x03\0\0\0\x01\0"s + std::string(14, '\0'))) +
                Chunk("data", std::string(44100 * 4 / 10, '\0'))),
       100000},
      {"IMA ADPCM counted by its fact chunk",
       RiffWave(Chunk("fmt ", FormatChunkBody(0x11, 1, 22050, 4, 256, "\x02\0\xF9\x01"s)) +
                Chunk("fact", "\x22\x56\0\0"s) + Chunk("data", std::string(256 * 44, '\0'))),
       1000000},
      {"odd data at the end without its pad",
       RiffWave(Chunk("fmt ", FormatChunkBody(1, 1, 1000, 8, 1)) + Chunk("data", std::string(501, '\x80'), false)),
       501000},
      {"no sound at all", RiffWave(Chunk("fmt ", FormatChunkBody(1, 1, 22050, 16, 2)) + Chunk("data", "")), 0},
  };
  for (const Case& c : cases) {
    std::string problem;
    const auto info = Wave(c.file, &problem);
    ASSERT_TRUE(info) << c.name << ": " << problem;
    EXPECT_EQ(info->length_us, c.length_us) << c.name;
    EXPECT_EQ(Track(c.file, &problem), c.length_us) << c.name << " as a CD track";
  }
}

TEST(WaveFile, FilesThatCannotPlaySayWhy) {
  const std::string fmt = Chunk("fmt ", FormatChunkBody(1, 1, 22050, 16, 2));
  std::string truncated = RiffWave(fmt + Chunk("data", std::string(1000, '\0')));
  truncated.resize(truncated.size() - 990);
  std::string huge = RiffWave(fmt + Chunk("data", std::string(64, '\0')));
  huge.replace(huge.size() - 64 - 4, 4, "\xF0\xFF\xFF\xFF");
  struct Case {
    const char* name;
    std::string file;
    const char* problem;
  } cases[] = {
      {"empty", "", "not a wave"},
      {"text", "This is not a sound at all, just words.", "not a wave"},
      {"RIFF of another kind", "RIFF\x04\0\0\0AVI LIST"s, "not a wave"},
      {"truncated", truncated, "truncated"},
      {"huge declared length", huge, "truncated"},
      {"no format", RiffWave(Chunk("data", "abcd")), "no format"},
      {"no data", RiffWave(fmt), "no sound data"},
      {"short format", RiffWave(Chunk("fmt ", "\x01\0\x01\0"s) + Chunk("data", "ab")), "cut short"},
      {"MP3 inside", RiffWave(Chunk("fmt ", FormatChunkBody(0x55, 2, 44100, 0, 1)) + Chunk("data", "ab")), "format 85"},
      {"12-bit", RiffWave(Chunk("fmt ", FormatChunkBody(1, 1, 22050, 12, 2)) + Chunk("data", "ab")), "12 bits"},
      {"no channels", RiffWave(Chunk("fmt ", FormatChunkBody(1, 0, 22050, 16, 0)) + Chunk("data", "ab")), "0 channels"},
      {"rate 0", RiffWave(Chunk("fmt ", FormatChunkBody(1, 1, 0, 16, 2)) + Chunk("data", "ab")), "0 Hz"},
      {"a chunk past the end", RiffWave(fmt + "LIST\0\0\0\x40"s + Chunk("data", "ab")), "no sound data"},
  };
  for (const Case& c : cases) {
    std::string problem;
    EXPECT_FALSE(Wave(c.file, &problem)) << c.name;
    EXPECT_NE(problem.find(c.problem), std::string::npos) << c.name << ": " << problem;
  }
}

TEST(MidiFile, TheLengthRunsToTheLastTrackEndThroughEveryTempoChangeOfEveryTrack) {
  // 96 ticks a quarter. The tempo track halves the quarter note at tick 192; the music ends at
  // 480: 192 ticks at 0.5 s a quarter, then 288 at 0.25 s.
  const MidiTrack tempo = MidiTrack().Tempo(0, 500000).Tempo(192, 250000).End(10);
  const MidiTrack music = MidiTrack()
                              .Program(0, 0, 73)
                              .NoteOn(0, 0, 60)
                              .Raw(96, "\x40\x64")  // running status: another note on
                              .Raw(0, "\xF0\x03\x7E\x09\xF7"s)
                              .Raw(0, "\xFF\x01\x02hi")  // a text meta event keeps the status
                              .Raw(0, "\x3C\x00"s)
                              .NoteOff(288, 0, 64)
                              .End(96);
  std::string problem;
  const std::string smf = MidiFile({tempo, music}, 96);
  auto info = ReadMidiInfo(Bytes(smf), &problem);
  ASSERT_TRUE(info) << problem;
  EXPECT_EQ(info->length_us, 1750000u);
  EXPECT_EQ(info->tempo_changes, 2);
  EXPECT_EQ(info->tracks, 2);

  // A tempo change in the music track holds for the tempo track too.
  const MidiTrack late = MidiTrack().NoteOn(0, 1, 50).Tempo(240, 1000000).NoteOff(120, 1, 50).End(0);
  info = ReadMidiInfo(Bytes(MidiFile({MidiTrack().End(480), late}, 480)), &problem);
  ASSERT_TRUE(info) << problem;
  EXPECT_EQ(info->length_us, 250000u + 500000u) << "240 ticks at 0.5 s a quarter, 240 at 1 s";

  // Format 0 at the default 120 quarter notes a minute, bare and inside an .rmi file.
  const std::string one = MidiFile({MidiTrack().NoteOn(0, 0, 60).NoteOff(960, 0, 60).End(0)}, 480, 0);
  info = ReadMidiInfo(Bytes(one), &problem);
  ASSERT_TRUE(info) << problem;
  EXPECT_EQ(info->length_us, 1000000u);
  std::string rmi = "RIFF";
  PutLe(rmi, one.size() + 12 + 8, 4);
  rmi += "RMID" + Chunk("LIST", "INFOabc") + Chunk("data", one);
  info = ReadMidiInfo(Bytes(rmi), &problem);
  ASSERT_TRUE(info) << problem;
  EXPECT_EQ(info->length_us, 1000000u);
  EXPECT_EQ(rmi.substr(info->smf_offset, info->smf_size), one);
}

TEST(MidiFile, FilesThatCannotPlaySayWhy) {
  const MidiTrack ok = MidiTrack().NoteOn(0, 0, 60).End(10);
  std::string smpte = MidiFile({ok});
  smpte[12] = static_cast<char>(0xE7);
  std::string cut = MidiFile({ok});
  cut.resize(cut.size() - 2);
  struct Case {
    const char* name;
    std::string file;
    const char* problem;
  } cases[] = {
      {"text", "Some notes, but in words.", "not a MIDI file"},
      {"a wave", SineWave(8000, 1, 10, 440), "holds no MIDI"},
      {"RMID without data", "RIFF\x0C\0\0\0RMIDLIST\0\0\0\0"s, "no MIDI data"},
      {"SMPTE", smpte, "SMPTE"},
      {"format 3", MidiFile({ok}, 480, 3), "format 3"},
      {"no tracks", MidiFile({}), "no tracks"},
      {"0 ticks", MidiFile({ok}, 0), "0 ticks"},
      {"a track missing", MidiFile({ok}).replace(10, 2, "\0\x02"s), "1 of 2 tracks"},
      {"cut inside a track", cut, "truncated inside track 1"},
      {"no end event", MidiFile({MidiTrack().NoteOn(0, 0, 60)}), "before its end"},
      {"data without status", MidiFile({MidiTrack().Raw(0, "\x3C\x40").End(0)}), "without a status"},
      {"system common byte", MidiFile({MidiTrack().Raw(0, "\xF2\x00\x00").End(0)}), "0xF2"},
      {"short tempo", MidiFile({MidiTrack().Raw(0, "\xFF\x51\x02\x07\xA1").End(0)}), "tempo event"},
      {"five-byte delta time", MidiFile({}).replace(10, 2, "\0\x01"s) + "MTrk\0\0\0\x08\x81\x81\x81\x81\x01\xFF\x2F\0"s,
       "broken delta time"},
      {"huge length", MidiFile({MidiTrack().Tempo(0, 0xFFFFFF).End(0x0FFFFFFF)}, 1), "hours"},
  };
  for (const Case& c : cases) {
    std::string problem;
    EXPECT_FALSE(ReadMidiInfo(Bytes(c.file), &problem)) << c.name;
    EXPECT_NE(problem.find(c.problem), std::string::npos) << c.name << ": " << problem;
  }
}

// Minimal CD track files, as far as their headers go.
std::string OggPage(std::uint64_t granule, std::uint32_t serial, std::string_view packet) {
  std::string page = "OggS";
  page.push_back('\0');
  page.push_back('\x02');
  PutLe(page, granule, 8);
  PutLe(page, serial, 4);
  PutLe(page, 0, 8);  // sequence number and CRC, which the length does not need
  page.push_back('\x01');
  page.push_back(static_cast<char>(packet.size()));
  return page + std::string(packet);
}

std::string FlacFile(std::uint32_t rate, std::uint64_t samples) {
  std::string info(34, '\0');
  info[10] = static_cast<char>(rate >> 12);
  info[11] = static_cast<char>(rate >> 4);
  info[12] = static_cast<char>(((rate & 0xF) << 4) | 0x01);  // 1 + 1 channels
  info[13] = static_cast<char>(0xF0 | ((samples >> 32) & 0xF));  // 16 bits, top of the count
  for (int i = 0; i < 4; ++i) info[14 + i] = static_cast<char>((samples >> (24 - 8 * i)) & 0xFF);
  return "fLaC" + std::string("\x80\x00\x00\x22", 4) + info;
}

// MPEG-1 layer III frames at 128 kbit/s and 44.1 kHz: 417 bytes, 1152 samples each.
std::string Mp3Frames(int count, std::string_view first_body = "") {
  std::string frames;
  for (int i = 0; i < count; ++i) {
    std::string frame = "\xFF\xFB\x90\x44";  // MPEG-1 layer III, 128 kbit/s, 44.1 kHz, joint stereo
    frame += i == 0 ? std::string(first_body) : "";
    frame.resize(417, '\0');
    frames += frame;
  }
  return frames;
}

TEST(CdTrackFile, OggFlacAndMp3TellTheirLengthsFromTheirHeaders) {
  std::string vorbis_id = "\x01vorbis";
  PutLe(vorbis_id, 0, 4);
  vorbis_id.push_back('\x02');
  PutLe(vorbis_id, 44100, 4);
  vorbis_id += std::string(12, '\0');
  std::string opus_head = "OpusHead\x01\x02"s;
  PutLe(opus_head, 312, 2);
  PutLe(opus_head, 44100, 4);
  opus_head += std::string(3, '\0');
  const std::string id3 = "ID3\x03\0\0\0\0\0\x14"s + std::string(20, 'x');  // a 20-byte tag

  std::string xing(32, '\0');  // MPEG-1 stereo: the side information before the Xing header
  xing += "Xing";
  PutBe(xing, 1, 4);
  PutBe(xing, 200, 4);
  struct Case {
    const char* name;
    std::string file;
    double seconds;
  } cases[] = {
      {"Ogg Vorbis", OggPage(0, 7, vorbis_id) + OggPage(0, 7, "comments") + std::string(70000, 'z') +
                         OggPage(44100 * 3, 9, "another stream") + OggPage(44100 * 3 - 100, 7, "last"),
       3 - 100 / 44100.0},
      {"Ogg Opus", OggPage(0, 1, opus_head) + OggPage(48000 * 2 + 312, 1, "audio"), 2},
      {"FLAC", FlacFile(44100, 441000), 10},
      {"FLAC behind an ID3 tag", id3 + FlacFile(96000, 48000), 0.5},
      {"MP3", Mp3Frames(100), 100 * 1152 / 44100.0},
      {"MP3 with tags and junk", id3 + Mp3Frames(10) + "junk" + Mp3Frames(10) + "TAG" + std::string(125, ' '),
       20 * 1152 / 44100.0},
      {"MP3 counted by its Xing header", Mp3Frames(3, xing), 200 * 1152 / 44100.0},
      {"wave", SineWave(8000, 1, 750, 300), 0.75},
  };
  for (const Case& c : cases) {
    std::string problem;
    const auto length = Track(c.file, &problem);
    ASSERT_TRUE(length) << c.name << ": " << problem;
    EXPECT_NEAR(static_cast<double>(*length) / 1e6, c.seconds, 1e-6) << c.name;
  }
  for (const std::string& bad : {std::string("hello"), std::string(5000, '\0'), OggPage(0, 1, "Theora video"),
                                 FlacFile(44100, 0), id3}) {
    std::string problem;
    EXPECT_FALSE(Track(bad, &problem)) << bad.substr(0, 8);
    EXPECT_FALSE(problem.empty());
  }
}

// Files that nobody here wrote, from Debian packages that scripts/install-deps.sh installs, with
// lengths measured by independent readers: `soxi -D` (sox) for the waves of lbreakout2-data, and
// the Python MIDI library mido (MidiFile.length, and its count of set_tempo events) for the
// pieces of openttd-openmsx.
constexpr const char* kLbreakoutSounds = "/usr/share/games/lbreakout2/sounds/";
constexpr const char* kOpenMsxMusic = "/usr/share/games/openttd/baseset/openmsx/";
constexpr double kToleranceSeconds = 0.050;

TEST(RealWorldSounds, WaveLengthsAgreeWithSox) {
  ASSERT_TRUE(std::filesystem::is_directory(kLbreakoutSounds))
      << "the test waves come with lbreakout2-data: run scripts/install-deps.sh";
  const struct {
    const char* file;
    double soxi_seconds;
  } references[] = {
      {"attach.wav", 0.027664},       {"bonus_magnet.wav", 0.119909}, {"chaos.wav", 0.119909},
      {"click.wav", 0.068254},        {"dammit.wav", 0.385941},       {"damn.wav", 0.384082},
      {"darkness.wav", 0.119909},     {"disable.wav", 0.119909},      {"excellent.wav", 0.561224},
      {"exp.wav", 1.026440},          {"expand.wav", 0.100181},       {"expl_ball.wav", 0.119909},
      {"extraball.wav", 0.012154},    {"freeze.wav", 0.309751},       {"gainlife.wav", 0.151111},
      {"ghost.wav", 0.119909},        {"goldshower.wav", 0.535329},   {"joker.wav", 0.410975},
      {"looselife.wav", 0.151111},    {"malus_magnet.wav", 0.119909}, {"menu_click.wav", 0.068254},
      {"menu_motion.wav", 0.079592},  {"metal.wav", 0.587211},        {"reflect_brick.wav", 0.005760},
      {"reflect_paddle.wav", 0.005760}, {"score.wav", 0.064717},      {"shot.wav", 0.298776},
      {"shrink.wav", 0.100181},       {"speeddown.wav", 0.592018},    {"speedup.wav", 0.416145},
      {"standard.wav", 0.119909},     {"timeadd.wav", 0.119909},      {"verygood.wav", 0.706757},
      {"wall.wav", 0.360408},         {"weak_ball.wav", 0.119909},    {"wontgiveup.wav", 0.706757},
  };
  for (const auto& r : references) {
    std::string problem;
    const auto length = SoundFileLengthUs(SoundKind::kWave, std::string(kLbreakoutSounds) + r.file, &problem);
    ASSERT_TRUE(length) << r.file << ": " << problem;
    EXPECT_NEAR(static_cast<double>(*length) / 1e6, r.soxi_seconds, kToleranceSeconds) << r.file;
  }
}

TEST(RealWorldSounds, MidiLengthsAndTempoChangesAgreeWithMido) {
  ASSERT_TRUE(std::filesystem::is_directory(kOpenMsxMusic))
      << "the test music comes with openttd-openmsx: run scripts/install-deps.sh";
  const struct {
    const char* file;
    double mido_seconds;
    int tempo_changes;
  } references[] = {
      {"5432gone_redfarn.mid", 60.001953, 3},
      {"be_sharp_bw_redfarn.mid", 139.359405, 18},
      {"boogi_marabi_redfarn.mid", 100.001312, 3},
      {"busy_schedule.mid", 131.646398, 1},
      {"careless_perc_redfarn.mid", 157.503662, 2},
      {"chemistry_lab.mid", 129.327556, 1},
      {"chuggachugga.mid", 83.868104, 4},
      {"city_blues_redfarn.mid", 76.001953, 2},
      {"coconut_run2.mid", 67.999932, 1},
      {"flying_scotsman.mid", 89.921875, 1},
      {"harp_harmony.mid", 132.922944, 1},
      {"keep_on_rolling.mid", 196.153820, 1},
      {"linns_basket.mid", 240.125000, 1},
      {"midnight_snow_run.mid", 139.140004, 65},
      {"mighty_giant_run.mid", 114.000000, 1},
      {"modern_motion.mid", 154.005208, 1},
      {"moo_redfarn.mid", 146.001953, 2},
      {"mosey_along_redfarn.mid", 75.430170, 3},
      {"no_work_song_redfarn.mid", 130.761943, 2},
      {"relax_song.mid", 192.000000, 1},
      {"run_for_your_life.mid", 245.646936, 1},
      {"say_what_redfarn.mid", 87.274279, 2},
      {"slow_neasy_redfarn.mid", 74.668328, 2},
      {"the_fast_route.mid", 164.404297, 1},
      {"the_hobo_redfarn.mid", 137.144580, 2},
      {"train_filled_with_cash.mid", 69.888819, 1},
      {"ttsong_iii_imuh3.mid", 64.994792, 0},
      {"ttsong_iv_imuh3.mid", 114.367188, 1},
      {"tttheme2.mid", 103.256941, 1},
      {"ultimate_run.mid", 73.600000, 1},
      {"wood_whistles.mid", 122.000000, 1},
  };
  for (const auto& r : references) {
    std::ifstream in(std::string(kOpenMsxMusic) + r.file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::string problem;
    const auto info = ReadMidiInfo(Bytes(bytes), &problem);
    ASSERT_TRUE(info) << r.file << ": " << problem;
    EXPECT_NEAR(static_cast<double>(info->length_us) / 1e6, r.mido_seconds, kToleranceSeconds) << r.file;
    EXPECT_EQ(info->tempo_changes, r.tempo_changes) << r.file;
  }
}

}  // namespace
}  // namespace tumu
