#include "platform/sound_files.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tumu {

namespace {

constexpr std::uint64_t kMicrosPerSecond = 1000000;
// Beyond any real file, and small enough that a loop over a file of junk ends soon.
constexpr int kMostWaveChunks = 4096;
// MP3 tracks are walked frame by frame in memory.
constexpr std::uint64_t kLargestMp3File = 256u << 20;

std::uint32_t Le16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t Le64(const std::uint8_t* p) {
  return Le32(p) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}
std::uint32_t Be16(const std::uint8_t* p) { return (p[0] << 8) | p[1]; }
std::uint32_t Be32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
bool Is(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

bool ReadExact(ByteSource& file, std::uint64_t offset, std::span<std::uint8_t> out) {
  return file.ReadAt(offset, out) == out.size();
}

template <typename T>
std::optional<T> Fail(std::string* problem, std::string text) {
  *problem = std::move(text);
  return std::nullopt;
}

std::uint64_t FramesToUs(std::uint64_t frames, std::uint64_t rate) {
  return frames / rate * kMicrosPerSecond + frames % rate * kMicrosPerSecond / rate;
}

std::optional<std::uint64_t> CheckLength(std::uint64_t length_us, std::string* problem) {
  if (length_us > kLongestSoundUs) {
    return Fail<std::uint64_t>(problem, "its headers claim a length of " +
                                            std::to_string(length_us / 3600 / kMicrosPerSecond) +
                                            " hours");
  }
  return length_us;
}

// --- Wave ---------------------------------------------------------------------------------

constexpr int kWavePcm = 1;
constexpr int kWaveMsAdpcm = 2;
constexpr int kWaveFloat = 3;
constexpr int kWaveAlaw = 6;
constexpr int kWaveMulaw = 7;
constexpr int kWaveImaAdpcm = 0x11;
constexpr int kWaveExtensible = 0xFFFE;

bool WaveFormatFits(const WaveInfo& w) {
  switch (w.format_tag) {
    case kWavePcm:
      return (w.bits == 8 || w.bits == 16 || w.bits == 24 || w.bits == 32) &&
             w.block_align == w.channels * w.bits / 8;
    case kWaveFloat:
      return (w.bits == 32 || w.bits == 64) && w.block_align == w.channels * w.bits / 8;
    case kWaveAlaw:
    case kWaveMulaw:
      return w.bits == 8 && w.block_align == w.channels;
    case kWaveMsAdpcm:
    case kWaveImaAdpcm:
      return w.bits == 4 && w.block_align >= 4 * w.channels;
    default:
      return false;
  }
}

}  // namespace

std::size_t MemorySource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (offset >= bytes_.size()) return 0;
  const std::size_t count = std::min<std::uint64_t>(out.size(), bytes_.size() - offset);
  std::memcpy(out.data(), bytes_.data() + offset, count);
  return count;
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path, std::string* problem) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *problem = "cannot open " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  if (std::fseek(file, 0, SEEK_END) != 0) {
    *problem = "cannot read " + path;
    std::fclose(file);
    return nullptr;
  }
  const long size = std::ftell(file);
  if (size < 0) {
    *problem = "cannot read " + path;
    std::fclose(file);
    return nullptr;
  }
  return std::unique_ptr<FileSource>(new FileSource(file, static_cast<std::uint64_t>(size)));
}

std::size_t FileSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (offset >= size_ || std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0) {
    return 0;
  }
  return std::fread(out.data(), 1, out.size(), file_.get());
}

std::optional<std::vector<std::uint8_t>> ReadAll(ByteSource& file, std::uint64_t limit,
                                                 std::string* problem) {
  if (file.size() > limit) return Fail<std::vector<std::uint8_t>>(problem, "it is too large");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
  if (!ReadExact(file, 0, bytes)) return Fail<std::vector<std::uint8_t>>(problem, "it cannot be read");
  return bytes;
}

std::optional<WaveInfo> ReadWaveInfo(ByteSource& file, std::string* problem) {
  std::array<std::uint8_t, 12> head{};
  if (!ReadExact(file, 0, head) || !Is(head.data(), "RIFF") || !Is(head.data() + 8, "WAVE")) {
    return Fail<WaveInfo>(problem, "not a wave file (no RIFF WAVE header)");
  }
  WaveInfo w;
  bool have_format = false;
  bool have_data = false;
  std::optional<std::uint32_t> fact_samples;
  std::uint32_t samples_per_block = 0;
  std::uint32_t bytes_per_second = 0;
  std::uint64_t pos = 12;
  for (int chunks = 0; pos + 8 <= file.size() && !(have_format && have_data); ++chunks) {
    if (chunks == kMostWaveChunks) return Fail<WaveInfo>(problem, "too many chunks");
    std::array<std::uint8_t, 8> chunk{};
    ReadExact(file, pos, chunk);
    const std::uint64_t length = Le32(chunk.data() + 4);
    const std::uint64_t body = pos + 8;
    if (Is(chunk.data(), "fmt ")) {
      std::array<std::uint8_t, 40> fmt{};
      if (length < 16 || !ReadExact(file, body, std::span(fmt).first(std::min<std::uint64_t>(length, 40)))) {
        return Fail<WaveInfo>(problem, "its format chunk is cut short");
      }
      w.format_tag = static_cast<int>(Le16(fmt.data()));
      w.channels = static_cast<int>(Le16(fmt.data() + 2));
      w.sample_rate = static_cast<int>(std::min<std::uint32_t>(Le32(fmt.data() + 4), 1u << 30));
      bytes_per_second = Le32(fmt.data() + 8);
      w.block_align = static_cast<int>(Le16(fmt.data() + 12));
      w.bits = static_cast<int>(Le16(fmt.data() + 14));
      if (length >= 20) samples_per_block = Le16(fmt.data() + 18);
      // The extensible format names the real one in the first bytes of its sub-format.
      if (w.format_tag == kWaveExtensible && length >= 40) {
        w.format_tag = static_cast<int>(Le16(fmt.data() + 24));
      }
      have_format = true;
    } else if (Is(chunk.data(), "fact") && length >= 4) {
      std::array<std::uint8_t, 4> count{};
      if (ReadExact(file, body, count)) fact_samples = Le32(count.data());
    } else if (Is(chunk.data(), "data")) {
      if (body + length > file.size()) {
        return Fail<WaveInfo>(problem, "the file is truncated: its sound data claims " +
                                           std::to_string(length) + " bytes, " +
                                           std::to_string(file.size() - body) + " are there");
      }
      w.data_offset = body;
      w.data_size = length;
      have_data = true;
    }
    pos = body + length + (length & 1);
  }
  if (!have_format) return Fail<WaveInfo>(problem, "it has no format chunk");
  if (!have_data) return Fail<WaveInfo>(problem, "it has no sound data chunk");
  if (w.channels < 1 || w.channels > 8 || w.sample_rate < 1000 || w.sample_rate > 384000) {
    return Fail<WaveInfo>(problem, "its format is broken (" + std::to_string(w.channels) +
                                       " channels at " + std::to_string(w.sample_rate) + " Hz)");
  }
  if (!WaveFormatFits(w)) {
    return Fail<WaveInfo>(problem, "its sound format is not one the player knows (format " +
                                       std::to_string(w.format_tag) + ", " +
                                       std::to_string(w.bits) + " bits)");
  }
  const auto rate = static_cast<std::uint64_t>(w.sample_rate);
  if (w.format_tag == kWaveMsAdpcm || w.format_tag == kWaveImaAdpcm) {
    if (fact_samples) {
      w.length_us = FramesToUs(*fact_samples, rate);
    } else if (samples_per_block > 0) {
      w.length_us = FramesToUs(w.data_size / static_cast<std::uint64_t>(w.block_align) *
                                   samples_per_block, rate);
    } else if (bytes_per_second > 0) {
      w.length_us = FramesToUs(w.data_size, bytes_per_second);
    }
  } else {
    w.length_us = FramesToUs(w.data_size / static_cast<std::uint64_t>(w.block_align), rate);
  }
  if (!CheckLength(w.length_us, problem)) return std::nullopt;
  return w;
}

// --- MIDI ---------------------------------------------------------------------------------

namespace {

struct TempoChange {
  std::uint64_t tick;
  std::uint32_t us_per_quarter;
};

class TrackReader {
 public:
  explicit TrackReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Walks the events to the end-of-track event; gives its tick, or nothing and *problem.
  std::optional<std::uint64_t> Walk(std::vector<TempoChange>* tempos, std::string* problem) {
    std::uint64_t tick = 0;
    int running_status = 0;
    while (true) {
      std::uint32_t delta = 0;
      if (pos_ >= bytes_.size()) return Fail<std::uint64_t>(problem, "it ends before its end event");
      if (!Number(&delta)) return Fail<std::uint64_t>(problem, "it has a broken delta time");
      tick += delta;
      if (pos_ >= bytes_.size()) return Fail<std::uint64_t>(problem, "it ends before its end event");
      int status = bytes_[pos_];
      if (status & 0x80) {
        ++pos_;
      } else if (running_status == 0) {
        return Fail<std::uint64_t>(problem, "it has data without a status byte");
      } else {
        status = running_status;
      }
      if (status < 0xF0) {
        running_status = status;
        const std::size_t data = (status & 0xE0) == 0xC0 ? 1 : 2;
        if (!Skip(data)) return Fail<std::uint64_t>(problem, "it ends inside an event");
      } else if (status == 0xF0 || status == 0xF7) {
        std::uint32_t length = 0;
        if (!Number(&length) || !Skip(length)) {
          return Fail<std::uint64_t>(problem, "it ends inside a system-exclusive message");
        }
      } else if (status == 0xFF) {
        if (pos_ >= bytes_.size()) return Fail<std::uint64_t>(problem, "it ends inside an event");
        const int type = bytes_[pos_++];
        std::uint32_t length = 0;
        const bool read = Number(&length);
        const std::size_t body = pos_;
        if (!read || !Skip(length)) return Fail<std::uint64_t>(problem, "it ends inside a meta event");
        if (type == 0x2F) return tick;
        if (type == 0x51) {
          if (length != 3) return Fail<std::uint64_t>(problem, "a tempo event is not 3 bytes long");
          tempos->push_back({tick, (static_cast<std::uint32_t>(bytes_[body]) << 16) |
                                       (bytes_[body + 1] << 8) | bytes_[body + 2]});
        }
      } else {
        char text[64];
        std::snprintf(text, sizeof(text), "it holds the status byte 0x%02X, which no file may",
                      status);
        return Fail<std::uint64_t>(problem, text);
      }
    }
  }

 private:
  // A variable-length number: at most four bytes of seven bits.
  bool Number(std::uint32_t* value) {
    *value = 0;
    for (int i = 0; i < 4; ++i) {
      if (pos_ >= bytes_.size()) return false;
      const std::uint8_t byte = bytes_[pos_++];
      *value = (*value << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }
  bool Skip(std::uint64_t count) {
    if (count > bytes_.size() - pos_) return false;
    pos_ += static_cast<std::size_t>(count);
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// The standard MIDI file inside an .rmi file's RIFF wrapper, or the whole file.
std::optional<std::span<const std::uint8_t>> UnwrapRiffMidi(std::span<const std::uint8_t> file,
                                                           std::string* problem) {
  if (file.size() < 12 || !Is(file.data(), "RIFF")) return file;
  if (!Is(file.data() + 8, "RMID")) {
    return Fail<std::span<const std::uint8_t>>(problem, "a RIFF file that holds no MIDI music");
  }
  std::size_t pos = 12;
  while (pos + 8 <= file.size()) {
    const std::size_t length = Le32(file.data() + pos + 4);
    if (Is(file.data() + pos, "data")) {
      if (length > file.size() - pos - 8) {
        return Fail<std::span<const std::uint8_t>>(problem, "its MIDI data is cut short");
      }
      return file.subspan(pos + 8, length);
    }
    if (length > file.size() - pos - 8) break;
    pos += 8 + length + (length & 1);
  }
  return Fail<std::span<const std::uint8_t>>(problem, "its RIFF wrapper holds no MIDI data");
}

}  // namespace

std::optional<MidiInfo> ReadMidiInfo(std::span<const std::uint8_t> file, std::string* problem) {
  const auto smf = UnwrapRiffMidi(file, problem);
  if (!smf) return std::nullopt;
  const std::span<const std::uint8_t> bytes = *smf;
  if (bytes.size() < 14 || !Is(bytes.data(), "MThd")) {
    return Fail<MidiInfo>(problem, "not a MIDI file (no MThd header)");
  }
  const std::uint64_t header_length = Be32(bytes.data() + 4);
  if (header_length < 6 || header_length > bytes.size() - 8) {
    return Fail<MidiInfo>(problem, "its header is broken");
  }
  MidiInfo info;
  info.smf_offset = static_cast<std::size_t>(bytes.data() - file.data());
  info.smf_size = bytes.size();
  info.format = static_cast<int>(Be16(bytes.data() + 8));
  info.tracks = static_cast<int>(Be16(bytes.data() + 10));
  const std::uint32_t division = Be16(bytes.data() + 12);
  if (info.format > 2) return Fail<MidiInfo>(problem, "unknown MIDI format " + std::to_string(info.format));
  if (info.tracks == 0) return Fail<MidiInfo>(problem, "it has no tracks");
  if (division & 0x8000) return Fail<MidiInfo>(problem, "its SMPTE timing is not supported");
  if (division == 0) return Fail<MidiInfo>(problem, "its header gives 0 ticks per quarter note");
  info.ticks_per_quarter = static_cast<int>(division);

  std::vector<TempoChange> tempos;
  std::uint64_t end_tick = 0;
  std::size_t pos = 8 + static_cast<std::size_t>(header_length);
  for (int found = 0; found < info.tracks;) {
    if (bytes.size() - pos < 8) {
      return Fail<MidiInfo>(problem, "it is truncated: " + std::to_string(found) + " of " +
                                         std::to_string(info.tracks) + " tracks are there");
    }
    const std::size_t length = Be32(bytes.data() + pos + 4);
    if (length > bytes.size() - pos - 8) {
      return Fail<MidiInfo>(problem, "it is truncated inside track " + std::to_string(found + 1));
    }
    if (Is(bytes.data() + pos, "MTrk")) {
      ++found;
      TrackReader track(bytes.subspan(pos + 8, length));
      std::string why;
      const auto end = track.Walk(&tempos, &why);
      if (!end) return Fail<MidiInfo>(problem, "track " + std::to_string(found) + ": " + why);
      end_tick = std::max(end_tick, *end);
    }
    pos += 8 + length;
  }

  // A tempo change in any track holds for all of them from its tick on.
  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  long double us = 0;
  std::uint64_t tick = 0;
  std::uint32_t tempo = 500000;  // 120 quarter notes a minute until the file says otherwise
  for (const TempoChange& change : tempos) {
    if (change.tick > end_tick) break;
    us += static_cast<long double>(change.tick - tick) * tempo / division;
    tick = change.tick;
    tempo = change.us_per_quarter;
  }
  us += static_cast<long double>(end_tick - tick) * tempo / division;
  info.tempo_changes = static_cast<int>(tempos.size());
  if (us > static_cast<long double>(kLongestSoundUs)) {
    return Fail<MidiInfo>(problem, "its events would take " +
                                       std::to_string(static_cast<std::uint64_t>(us / 3.6e9L)) +
                                       " hours");
  }
  info.length_us = static_cast<std::uint64_t>(us + 0.5L);
  return info;
}

// --- CD tracks: Ogg, FLAC, MP3 ------------------------------------------------------------

namespace {

// The bytes of ID3v2 tags at `pos` (0 when there is none).
std::uint64_t Id3v2Size(ByteSource& file, std::uint64_t pos) {
  std::array<std::uint8_t, 10> tag{};
  if (!ReadExact(file, pos, tag) || std::memcmp(tag.data(), "ID3", 3) != 0) return 0;
  const std::uint64_t body = (tag[6] & 0x7Fu) << 21 | (tag[7] & 0x7Fu) << 14 |
                             (tag[8] & 0x7Fu) << 7 | (tag[9] & 0x7Fu);
  const bool footer = (tag[5] & 0x10) != 0;
  return 10 + body + (footer ? 10 : 0);
}

std::optional<std::uint64_t> OggLength(ByteSource& file, std::string* problem) {
  std::array<std::uint8_t, 27 + 255> page{};
  if (!ReadExact(file, 0, std::span(page).first(27)) || page[4] != 0) {
    return Fail<std::uint64_t>(problem, "its first Ogg page is broken");
  }
  const std::uint32_t serial = Le32(page.data() + 14);
  const int segments = page[26];
  std::array<std::uint8_t, 19> packet{};
  if (!ReadExact(file, 27 + static_cast<std::uint64_t>(segments), packet)) {
    return Fail<std::uint64_t>(problem, "its first Ogg page is cut short");
  }
  std::uint64_t rate = 0;
  std::uint64_t pre_skip = 0;
  if (packet[0] == 1 && std::memcmp(packet.data() + 1, "vorbis", 6) == 0) {
    rate = Le32(packet.data() + 12);
  } else if (std::memcmp(packet.data(), "OpusHead", 8) == 0) {
    rate = 48000;  // Opus counts its granules at 48 kHz whatever the input was
    pre_skip = Le16(packet.data() + 10);
  } else {
    return Fail<std::uint64_t>(problem, "an Ogg file with neither Vorbis nor Opus sound");
  }
  if (rate == 0) return Fail<std::uint64_t>(problem, "its Vorbis header gives a rate of 0");

  // The last page of the stream carries the position of its last sample. A page is at most
  // 27 + 255 + 255 * 255 bytes, so the tail holds the last page's header.
  const std::uint64_t tail_size = std::min<std::uint64_t>(file.size(), 65536 + 27 + 255);
  std::vector<std::uint8_t> tail(tail_size);
  ReadExact(file, file.size() - tail_size, tail);
  for (std::size_t i = tail.size() >= 27 ? tail.size() - 27 + 1 : 0; i-- > 0;) {
    if (!Is(tail.data() + i, "OggS") || tail[i + 4] != 0) continue;
    const std::uint64_t granule = Le64(tail.data() + i + 6);
    if (Le32(tail.data() + i + 14) != serial || granule == ~0ull) continue;
    return CheckLength(FramesToUs(granule > pre_skip ? granule - pre_skip : 0, rate), problem);
  }
  return Fail<std::uint64_t>(problem, "the end of its Ogg stream is missing");
}

std::optional<std::uint64_t> FlacLength(ByteSource& file, std::uint64_t start,
                                        std::string* problem) {
  std::array<std::uint8_t, 8 + 34> head{};
  if (!ReadExact(file, start, head) || !Is(head.data(), "fLaC") || (head[4] & 0x7F) != 0) {
    return Fail<std::uint64_t>(problem, "its FLAC stream information is missing");
  }
  const std::uint8_t* info = head.data() + 8;
  const std::uint64_t rate = (info[10] << 12) | (info[11] << 4) | (info[12] >> 4);
  const std::uint64_t samples = (static_cast<std::uint64_t>(info[13] & 0x0F) << 32) | Be32(info + 14);
  if (rate == 0) return Fail<std::uint64_t>(problem, "its FLAC stream gives a rate of 0");
  if (samples == 0) return Fail<std::uint64_t>(problem, "its FLAC stream does not tell its length");
  return CheckLength(FramesToUs(samples, rate), problem);
}

struct Mp3Frame {
  std::uint32_t bytes = 0;
  std::uint32_t samples = 0;
  std::uint32_t rate = 0;
  bool mpeg1 = false;
  bool mono = false;
};

std::optional<Mp3Frame> Mp3Header(const std::uint8_t* p) {
  static constexpr std::uint16_t kBitrates[5][15] = {
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG 1 layer I
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG 1 layer II
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG 1 layer III
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG 2 layer I
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG 2 II and III
  };
  static constexpr std::uint32_t kRates[3] = {44100, 48000, 32000};
  const std::uint32_t h = Be32(p);
  const std::uint32_t version = (h >> 19) & 3;  // 0: 2.5, 2: 2, 3: 1
  const std::uint32_t layer = 4 - ((h >> 17) & 3);  // 4 is reserved
  const std::uint32_t bitrate_index = (h >> 12) & 15;
  const std::uint32_t rate_index = (h >> 10) & 3;
  if ((h & 0xFFE00000u) != 0xFFE00000u || version == 1 || layer == 4 || bitrate_index == 0 ||
      bitrate_index == 15 || rate_index == 3) {
    return std::nullopt;
  }
  Mp3Frame frame;
  frame.mpeg1 = version == 3;
  frame.mono = ((h >> 6) & 3) == 3;
  frame.rate = kRates[rate_index] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  const int table = frame.mpeg1 ? static_cast<int>(layer) - 1 : layer == 1 ? 3 : 4;
  const std::uint32_t bitrate = kBitrates[table][bitrate_index] * 1000u;
  const std::uint32_t padding = (h >> 9) & 1;
  if (layer == 1) {
    frame.samples = 384;
    frame.bytes = (12 * bitrate / frame.rate + padding) * 4;
  } else {
    frame.samples = layer == 3 && !frame.mpeg1 ? 576 : 1152;
    frame.bytes = frame.samples / 8 * bitrate / frame.rate + padding;
  }
  return frame;
}

// The frame count of a Xing, Info or VBRI header in the first frame, when it has one.
std::optional<std::uint64_t> Mp3FrameCount(std::span<const std::uint8_t> frame,
                                          const Mp3Frame& header) {
  const std::size_t xing = 4 + (header.mpeg1 ? (header.mono ? 17 : 32) : (header.mono ? 9 : 17));
  if (frame.size() >= xing + 12 &&
      (Is(frame.data() + xing, "Xing") || Is(frame.data() + xing, "Info")) &&
      (Be32(frame.data() + xing + 4) & 1)) {
    return Be32(frame.data() + xing + 8);
  }
  if (frame.size() >= 36 + 18 && Is(frame.data() + 36, "VBRI")) return Be32(frame.data() + 36 + 14);
  return std::nullopt;
}

std::optional<std::uint64_t> Mp3Length(ByteSource& file, std::uint64_t start,
                                       std::string* problem) {
  const auto whole = ReadAll(file, kLargestMp3File, problem);
  if (!whole) return std::nullopt;
  const std::vector<std::uint8_t>& bytes = *whole;
  std::size_t end = bytes.size();
  if (end >= start + 128 && std::memcmp(bytes.data() + end - 128, "TAG", 3) == 0) end -= 128;

  // The first frame is the first header whose next frame starts where it says.
  auto valid_at = [&](std::size_t pos) -> std::optional<Mp3Frame> {
    if (pos + 4 > end) return std::nullopt;
    const auto frame = Mp3Header(bytes.data() + pos);
    if (!frame || frame->bytes < 4 || pos + frame->bytes > end) return std::nullopt;
    return frame;
  };
  std::size_t pos = static_cast<std::size_t>(std::min<std::uint64_t>(start, end));
  std::optional<Mp3Frame> first;
  for (; pos + 4 <= end; ++pos) {
    first = valid_at(pos);
    if (first && (pos + first->bytes == end || valid_at(pos + first->bytes))) break;
    first.reset();
  }
  if (!first) return Fail<std::uint64_t>(problem, "not a sound file the player knows");
  if (const auto frames = Mp3FrameCount(std::span(bytes).subspan(pos, first->bytes), *first)) {
    return CheckLength(FramesToUs(*frames * first->samples, first->rate), problem);
  }
  std::uint64_t samples = 0;
  while (pos + 4 <= end) {
    if (const auto frame = valid_at(pos)) {
      samples += frame->samples;
      pos += frame->bytes;
    } else {
      ++pos;  // junk between frames: look for the next one
    }
  }
  return CheckLength(FramesToUs(samples, first->rate), problem);
}

}  // namespace

std::optional<std::uint64_t> ReadTrackLengthUs(ByteSource& file, std::string* problem) {
  std::array<std::uint8_t, 4> magic{};
  if (!ReadExact(file, 0, magic)) return Fail<std::uint64_t>(problem, "the file is too short");
  if (Is(magic.data(), "RIFF")) {
    const auto wave = ReadWaveInfo(file, problem);
    if (!wave) return std::nullopt;
    return wave->length_us;
  }
  if (Is(magic.data(), "OggS")) return OggLength(file, problem);
  std::uint64_t start = 0;
  for (std::uint64_t tag; (tag = Id3v2Size(file, start)) != 0;) start += tag;
  std::array<std::uint8_t, 4> after_tags{};
  if (ReadExact(file, start, after_tags) && Is(after_tags.data(), "fLaC")) {
    return FlacLength(file, start, problem);
  }
  return Mp3Length(file, start, problem);
}

std::optional<std::uint64_t> SoundFileLengthUs(SoundKind kind, const std::string& path,
                                               std::string* problem) {
  const std::unique_ptr<FileSource> file = FileSource::Open(path, problem);
  if (!file) return std::nullopt;
  switch (kind) {
    case SoundKind::kWave: {
      const auto wave = ReadWaveInfo(*file, problem);
      if (!wave) return std::nullopt;
      return wave->length_us;
    }
    case SoundKind::kMidi: {
      const auto bytes = ReadAll(*file, kLargestMidiFile, problem);
      if (!bytes) return std::nullopt;
      const auto midi = ReadMidiInfo(*bytes, problem);
      if (!midi) return std::nullopt;
      return midi->length_us;
    }
    case SoundKind::kTrack:
      return ReadTrackLengthUs(*file, problem);
  }
  return std::nullopt;
}

}  // namespace tumu
