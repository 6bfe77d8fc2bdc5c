// Sound files made by the tests: wave files with any chunks, sine tones, and MIDI files built
// event by event.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace tumu::testing {

inline void PutLe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
inline void PutBe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A RIFF chunk; odd bodies get their pad byte.
inline std::string Chunk(std::string_view id, std::string_view body, bool pad = true) {
  std::string out(id);
  PutLe(out, body.size(), 4);
  out += body;
  if (pad && body.size() % 2 == 1) out.push_back('\0');
  return out;
}

inline std::string FormatChunkBody(int format, int channels, int rate, int bits, int block_align,
                                   std::string_view extension = "") {
  std::string fmt;
  PutLe(fmt, static_cast<std::uint64_t>(format), 2);
  PutLe(fmt, static_cast<std::uint64_t>(channels), 2);
  PutLe(fmt, static_cast<std::uint64_t>(rate), 4);
  PutLe(fmt, static_cast<std::uint64_t>(rate) * block_align, 4);
  PutLe(fmt, static_cast<std::uint64_t>(block_align), 2);
  PutLe(fmt, static_cast<std::uint64_t>(bits), 2);
  fmt += extension;
  return fmt;
}

// A wave file from its chunks (after "RIFF size WAVE").
inline std::string RiffWave(std::string_view chunks) {
  std::string out = "RIFF";
  PutLe(out, chunks.size() + 4, 4);
  return out + "WAVE" + std::string(chunks);
}

// 16-bit PCM samples of a sine tone.
inline std::string SineSamples(int rate, int channels, int ms, double hz, double amplitude) {
  std::string data;
  const int frames = rate * ms / 1000;
  for (int i = 0; i < frames; ++i) {
    const double value = amplitude * 32767 * std::sin(2 * std::numbers::pi * hz * i / rate);
    for (int c = 0; c < channels; ++c) {
      PutLe(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value))), 2);
    }
  }
  return data;
}

// A 16-bit PCM wave of a sine tone.
inline std::string SineWave(int rate, int channels, int ms, double hz, double amplitude = 0.3) {
  return RiffWave(Chunk("fmt ", FormatChunkBody(1, channels, rate, 16, 2 * channels)) +
                  Chunk("data", SineSamples(rate, channels, ms, hz, amplitude)));
}

// One MIDI track, event by event; every event starts `delta` ticks after the one before.
class MidiTrack {
 public:
  MidiTrack& Tempo(std::uint32_t delta, std::uint32_t us_per_quarter) {
    Delta(delta);
    bytes_ += "\xFF\x51\x03";
    PutBe(bytes_, us_per_quarter, 3);
    return *this;
  }
  MidiTrack& Program(std::uint32_t delta, int channel, int program) {
    return Raw(delta, std::string{static_cast<char>(0xC0 | channel), static_cast<char>(program)});
  }
  MidiTrack& NoteOn(std::uint32_t delta, int channel, int note, int velocity = 100) {
    return Raw(delta, std::string{static_cast<char>(0x90 | channel), static_cast<char>(note),
                                  static_cast<char>(velocity)});
  }
  MidiTrack& NoteOff(std::uint32_t delta, int channel, int note) {
    return Raw(delta, std::string{static_cast<char>(0x80 | channel), static_cast<char>(note), 0});
  }
  // Bytes after a delta time as they are (running status, system exclusive...).
  MidiTrack& Raw(std::uint32_t delta, std::string_view event) {
    Delta(delta);
    bytes_ += event;
    return *this;
  }
  MidiTrack& End(std::uint32_t delta) { return Raw(delta, std::string_view("\xFF\x2F\x00", 3)); }
  std::string Chunk() const {
    std::string out = "MTrk";
    PutBe(out, bytes_.size(), 4);
    return out + bytes_;
  }

 private:
  void Delta(std::uint32_t value) {
    std::string groups(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0) groups.insert(groups.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    bytes_ += groups;
  }
  std::string bytes_;
};

inline std::string MidiFile(const std::vector<MidiTrack>& tracks, int ticks_per_quarter = 480,
                            int format = 1) {
  std::string out = "MThd";
  PutBe(out, 6, 4);
  PutBe(out, static_cast<std::uint64_t>(format), 2);
  PutBe(out, tracks.size(), 2);
  PutBe(out, static_cast<std::uint64_t>(ticks_per_quarter), 2);
  for (const MidiTrack& track : tracks) out += track.Chunk();
  return out;
}

// A piece of one note of `ms` milliseconds at 120 quarter notes a minute (480 ticks a quarter).
inline std::string OneNoteMidi(int ms, int note = 69, int program = 73) {
  return MidiFile({MidiTrack()
                       .Program(0, 0, program)
                       .NoteOn(0, 0, note)
                       .NoteOff(static_cast<std::uint32_t>(ms * 480 / 500), 0, note)
                       .End(0)});
}

}  // namespace tumu::testing
