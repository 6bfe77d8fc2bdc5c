#include "demo/audio.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace demo {

namespace {

constexpr double kTau = 2 * std::numbers::pi;

// 16-bit mono PCM; the samples are scaled so that the loudest one stands at `peak`.
Bytes WaveFile(std::vector<double> samples, int rate, double peak) {
  double loudest = 1e-9;
  for (double s : samples) loudest = std::max(loudest, std::abs(s));
  const auto data_size = static_cast<std::uint32_t>(samples.size() * 2);
  Bytes out;
  PutText(out, "RIFF");
  Put32(out, 36 + data_size);
  PutText(out, "WAVEfmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, static_cast<std::uint32_t>(rate));
  Put32(out, static_cast<std::uint32_t>(rate * 2));
  Put16(out, 2);
  Put16(out, 16);
  PutText(out, "data");
  Put32(out, data_size);
  for (double s : samples) {
    const auto v = static_cast<std::int16_t>(std::lround(s / loudest * peak * 32767));
    Put16(out, static_cast<std::uint16_t>(v));
  }
  return out;
}

double NoteFrequency(int midi_note) { return 440.0 * std::pow(2.0, (midi_note - 69) / 12.0); }

// A bell: inharmonic partials that die away, the high ones first.
double Bell(double t, double frequency) {
  if (t < 0) return 0;
  constexpr double kRatios[] = {1.0, 2.0, 2.76, 4.07, 5.4};
  constexpr double kLevels[] = {1.0, 0.45, 0.35, 0.18, 0.1};
  double v = 0;
  for (int k = 0; k < 5; ++k) {
    v += kLevels[k] * std::sin(kTau * frequency * kRatios[k] * t) * std::exp(-t * (2.5 + 3.0 * k));
  }
  return v * std::min(1.0, t * 400);  // a soft strike instead of a click
}

// A plucked-piano tone: a few harmonics with a quick attack and a long fall.
double Piano(double t, double frequency, double length) {
  if (t < 0 || t > length + 0.4) return 0;
  double v = 0;
  for (int k = 1; k <= 5; ++k) v += std::sin(kTau * frequency * k * t) / (k * k) * std::exp(-t * (1.2 + 0.8 * k));
  const double release = t > length ? std::max(0.0, 1 - (t - length) / 0.4) : 1.0;
  return v * std::min(1.0, t * 300) * release;
}

}  // namespace

Bytes SeaLoopWave() {
  constexpr int kRate = 11025;
  constexpr double kSeconds = 3.2;
  const int count = static_cast<int>(kRate * kSeconds);
  std::vector<double> samples(static_cast<std::size_t>(count));
  std::uint32_t noise = 12345;
  double low = 0;
  double lower = 0;
  for (int i = 0; i < count; ++i) {
    noise = noise * 1664525u + 1013904223u;
    const double white = static_cast<double>(noise >> 8) / (1 << 24) * 2 - 1;
    low += 0.08 * (white - low);
    lower += 0.02 * (low - lower);
    // One swell per loop, quiet at both ends, so the loop joins without a seam.
    const double swell = std::pow(std::sin(std::numbers::pi * i / count), 2);
    samples[static_cast<std::size_t>(i)] = (0.6 * lower + 0.25 * low) * (0.25 + 0.75 * swell);
  }
  return WaveFile(std::move(samples), kRate, 0.55);
}

Bytes ChimeWave() {
  constexpr int kRate = 22050;
  const int count = kRate * 13 / 10;
  std::vector<double> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    samples[static_cast<std::size_t>(i)] = Bell(t, NoteFrequency(88)) + 0.8 * Bell(t - 0.11, NoteFrequency(95));
  }
  return WaveFile(std::move(samples), kRate, 0.6);
}

Bytes DoorWave() {
  constexpr int kRate = 11025;
  const int count = kRate * 11 / 10;
  std::vector<double> samples(static_cast<std::size_t>(count));
  double phase = 0;
  double smooth = 0;
  std::uint32_t noise = 777;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    // The hinge: a rough buzz whose pitch wanders as the door swings.
    const double pitch = 70 + 35 * std::sin(t * 5.1) + 12 * std::sin(t * 23.0);
    phase += pitch / kRate;
    const double buzz = (phase - std::floor(phase)) < 0.12 ? 1.0 : -0.12;
    noise = noise * 1664525u + 1013904223u;
    const double white = static_cast<double>(noise >> 8) / (1 << 24) * 2 - 1;
    smooth += 0.3 * (buzz + 0.3 * white - smooth);
    const double creak = t < 0.8 ? smooth * std::sin(std::numbers::pi * t / 0.8) : 0;
    // The door comes to rest against its frame.
    const double thump = t > 0.82 ? std::sin(kTau * 70 * (t - 0.82)) * std::exp(-(t - 0.82) * 18) : 0;
    samples[static_cast<std::size_t>(i)] = 0.7 * creak + thump;
  }
  return WaveFile(std::move(samples), kRate, 0.5);
}

Bytes PluckWave(int step) {
  constexpr int kRate = 22050;
  constexpr int kNotes[] = {81, 84, 88};  // A5, C6, E6
  const double frequency = NoteFrequency(kNotes[std::clamp(step, 0, 2)]);
  // A plucked string: a burst of noise running round a delay line that softens it on each pass.
  const auto period = static_cast<std::size_t>(std::lround(kRate / frequency));
  std::vector<double> line(period);
  std::uint32_t noise = 4242u + static_cast<std::uint32_t>(step);
  for (double& v : line) {
    noise = noise * 1664525u + 1013904223u;
    v = static_cast<double>(noise >> 8) / (1 << 24) * 2 - 1;
  }
  const int count = kRate * 45 / 100;
  std::vector<double> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::size_t at = static_cast<std::size_t>(i) % period;
    const double v = line[at];
    line[at] = 0.996 * 0.5 * (v + line[(at + 1) % period]);
    const double fade = std::min(1.0, (count - i) / (kRate * 0.05));
    samples[static_cast<std::size_t>(i)] = v * fade;
  }
  return WaveFile(std::move(samples), kRate, 0.5);
}

Bytes EndingTrackWave() {
  constexpr int kRate = 16000;
  constexpr double kBeat = 0.5;  // 120 beats a minute
  // Four chords of four beats, played as broken chords under a slow tune; the last chord leads
  // back to the first, so the track can repeat.
  const int chords[4][3] = {{53, 57, 60}, {57, 60, 64}, {58, 62, 65}, {60, 64, 67}};  // F Am Bb C
  const int melody[4][4] = {{81, 79, 77, 84}, {88, 84, 81, 84}, {86, 84, 82, 77}, {79, 76, 79, 84}};
  const double length = 4 * 4 * kBeat;
  const int count = static_cast<int>(kRate * length);
  std::vector<double> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    double v = 0;
    for (int c = 0; c < 4; ++c) {
      const double chord_start = c * 4 * kBeat;
      for (int n = 0; n < 8; ++n) {  // eighth notes up and down the chord
        const int pattern[] = {0, 1, 2, 1, 0, 1, 2, 1};
        const int note = chords[c][pattern[n]] + (n % 4 == 2 ? 12 : 0);
        v += 0.35 * Piano(t - chord_start - n * kBeat / 2, NoteFrequency(note), kBeat);
      }
      v += 0.3 * Piano(t - chord_start, NoteFrequency(chords[c][0] - 12), 4 * kBeat);
      for (int n = 0; n < 4; ++n) {
        v += 0.5 * Piano(t - chord_start - n * kBeat, NoteFrequency(melody[c][n]), kBeat * 0.9);
      }
      // A quiet pad under the chord.
      if (t >= chord_start && t < chord_start + 4 * kBeat) {
        const double local = t - chord_start;
        const double swell = std::min(1.0, local / 0.6) * std::min(1.0, (4 * kBeat - local) / 0.4);
        for (int k = 0; k < 3; ++k) v += 0.05 * swell * std::sin(kTau * NoteFrequency(chords[c][k]) * t);
      }
    }
    samples[static_cast<std::size_t>(i)] = v;
  }
  return WaveFile(std::move(samples), kRate, 0.7);
}

namespace {

// One track of a standard MIDI file, events kept with their absolute times.
class MidiTrack {
 public:
  void Event(std::uint32_t tick, std::initializer_list<std::uint8_t> bytes, int order = 1) {
    events_.push_back({tick, order, Bytes(bytes)});
  }
  void Note(int channel, std::uint32_t tick, std::uint32_t length, int note, int velocity) {
    const auto status = static_cast<std::uint8_t>(channel);
    Event(tick, {static_cast<std::uint8_t>(0x90 | status), static_cast<std::uint8_t>(note),
                 static_cast<std::uint8_t>(velocity)});
    // Offs before ons at the same moment, so repeated notes sound again.
    Event(tick + length, {static_cast<std::uint8_t>(0x80 | status), static_cast<std::uint8_t>(note), 0}, 0);
  }
  void Tempo(std::uint32_t tick, double beats_per_minute) {
    const auto micros = static_cast<std::uint32_t>(60000000.0 / beats_per_minute);
    Event(tick, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(micros >> 16),
                 static_cast<std::uint8_t>(micros >> 8), static_cast<std::uint8_t>(micros)});
  }
  Bytes Chunk() {
    std::stable_sort(events_.begin(), events_.end(), [](const Timed& a, const Timed& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    Bytes body;
    std::uint32_t now = 0;
    for (const Timed& e : events_) {
      PutLength(body, e.tick - now);
      now = e.tick;
      body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    PutLength(body, 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});  // end of track
    Bytes chunk;
    PutText(chunk, "MTrk");
    for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(static_cast<std::uint8_t>(body.size() >> shift));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
  }

 private:
  struct Timed {
    std::uint32_t tick;
    int order;
    Bytes bytes;
  };
  static void PutLength(Bytes& out, std::uint32_t v) {
    std::uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = static_cast<std::uint8_t>(v & 0x7F);
      v >>= 7;
    } while (v != 0);
    while (n > 1) out.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
    out.push_back(groups[0]);
  }
  std::vector<Timed> events_;
};

constexpr std::uint32_t kTicksPerBeat = 480;
constexpr std::uint32_t kBar = 3 * kTicksPerBeat;  // a waltz

struct Bar {
  int chord[3];          // the chord's notes around middle C
  double melody[6][2];   // up to six melody notes: pitch and length in beats (pitch 0 ends)
};

// F major; A: F Dm Bb C F Am Bb F; B: Bb C Am Dm Gm C F F.
const Bar kVerse[8] = {
    {{53, 57, 60}, {{81, 2}, {84, 1}}},
    {{50, 53, 57}, {{86, 1.5}, {84, 0.5}, {81, 1}}},
    {{58, 62, 65}, {{82, 1}, {81, 1}, {79, 1}}},
    {{60, 64, 67}, {{79, 2}, {76, 1}}},
    {{53, 57, 60}, {{77, 1}, {81, 1}, {84, 1}}},
    {{57, 60, 64}, {{88, 2}, {86, 0.5}, {84, 0.5}}},
    {{58, 62, 65}, {{86, 1}, {84, 1}, {79, 1}}},
    {{53, 57, 60}, {{77, 3}}},
};
const Bar kBridge[8] = {
    {{58, 62, 65}, {{89, 2}, {86, 1}}},
    {{60, 64, 67}, {{88, 2}, {84, 1}}},
    {{57, 60, 64}, {{84, 1}, {88, 1}, {93, 1}}},
    {{50, 53, 57}, {{89, 2}, {86, 1}}},
    {{55, 58, 62}, {{82, 1}, {86, 1}, {91, 1}}},
    {{60, 64, 67}, {{88, 2}, {79, 1}}},
    {{53, 57, 60}, {{81, 1.5}, {84, 0.5}, {89, 1}}},
    {{53, 57, 60}, {{89, 3}}},
};

}  // namespace

Bytes StarSongMidi() {
  enum Channel { kMusicBox, kHarp, kPad, kFlute };
  MidiTrack tempo;
  MidiTrack music;
  // Instruments (General MIDI numbers from 0) and a little reverb.
  const std::pair<int, int> kPrograms[] = {{kMusicBox, 10}, {kHarp, 46}, {kPad, 89}, {kFlute, 73}};
  for (const auto& [channel, program] : kPrograms) {
    music.Event(0, {static_cast<std::uint8_t>(0xC0 | channel), static_cast<std::uint8_t>(program)});
    music.Event(0, {static_cast<std::uint8_t>(0xB0 | channel), 91, 70});
  }
  music.Event(0, {0xB0 | kPad, 7, 70});

  std::uint32_t tick = 0;
  auto play = [&](const Bar (&bars)[8], bool flute) {
    for (const Bar& bar : bars) {
      for (int beat = 0; beat < 3; ++beat) {  // the harp: root, fifth, third above
        const int note = beat == 0 ? bar.chord[0] - 12 : beat == 1 ? bar.chord[2] - 12 : bar.chord[1];
        music.Note(kHarp, tick + beat * kTicksPerBeat, kTicksPerBeat, note, beat == 0 ? 70 : 55);
      }
      for (int k = 0; k < 3; ++k) music.Note(kPad, tick, kBar - 10, bar.chord[k], 45);
      std::uint32_t at = tick;
      for (const auto& [pitch, beats] : bar.melody) {
        if (pitch == 0) break;
        const auto length = static_cast<std::uint32_t>(beats * kTicksPerBeat);
        music.Note(kMusicBox, at, length, static_cast<int>(pitch), 92);
        if (flute) music.Note(kFlute, at, length - 20, static_cast<int>(pitch) - 12, 64);
        at += length;
      }
      tick += kBar;
    }
  };
  tempo.Tempo(0, 88);
  play(kVerse, false);
  tempo.Tempo(tick, 96);  // the bridge moves a little faster
  play(kBridge, true);
  tempo.Tempo(tick, 88);
  play(kVerse, false);
  tempo.Tempo(tick - 2 * kBar, 78);  // and the last two bars slow down
  tempo.Tempo(tick - kBar, 66);
  tempo.Event(tick + kTicksPerBeat, {0xFF, 0x01, 0x00});  // a beat of rest before it repeats

  // The header, big-endian: its length, format 1, two tracks, ticks per beat.
  Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, static_cast<std::uint8_t>(kTicksPerBeat >> 8),
               static_cast<std::uint8_t>(kTicksPerBeat & 0xFF)};
  const Bytes first = tempo.Chunk();
  const Bytes second = music.Chunk();
  out.insert(out.end(), first.begin(), first.end());
  out.insert(out.end(), second.begin(), second.end());
  return out;
}

}  // namespace demo
