// What a sound file holds and how long it plays, read from its own headers: wave sounds, MIDI
// music and the ripped CD tracks (Ogg Vorbis, Ogg Opus, FLAC, MP3, wave). A file that a player
// could not play gives a problem in words instead. Every length and offset is checked against
// the file: the bytes come from game folders.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tumu {

// Sounds longer than this are taken for broken headers (and would outlast a 32-bit tick).
inline constexpr std::uint64_t kLongestSoundUs = 24ull * 3600 * 1000000;

// Bytes read at any offset: a file on disk, or bytes in memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Copies up to out.size() bytes from `offset`; gives how many there were.
  virtual std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

class FileSource final : public ByteSource {
 public:
  // Null and *problem when the file cannot be opened.
  static std::unique_ptr<FileSource> Open(const std::string& path, std::string* problem);
  std::uint64_t size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  FileSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
  std::unique_ptr<std::FILE, Closer> file_;
  std::uint64_t size_;
};

// The whole file, unless it is larger than `limit` or cannot be read (*problem says which).
std::optional<std::vector<std::uint8_t>> ReadAll(ByteSource& file, std::uint64_t limit,
                                                 std::string* problem);

struct WaveInfo {
  int format_tag = 0;  // 1 PCM, 2 MS ADPCM, 3 float, 6 A-law, 7 mu-law, 0x11 IMA ADPCM
  int channels = 0;
  int sample_rate = 0;
  int bits = 0;
  int block_align = 0;
  std::uint64_t data_offset = 0;
  std::uint64_t data_size = 0;
  std::uint64_t length_us = 0;
};

// A RIFF wave file: the format chunk and the data chunk, whatever chunks stand around them. A
// data chunk that claims more bytes than the file holds is a truncated file.
std::optional<WaveInfo> ReadWaveInfo(ByteSource& file, std::string* problem);

struct MidiInfo {
  int format = 0;
  int tracks = 0;
  int ticks_per_quarter = 0;
  int tempo_changes = 0;
  std::uint64_t length_us = 0;  // to the last track's end, through every tempo change
  // Where the standard MIDI file stands (inside the RIFF wrapper of an .rmi file).
  std::size_t smf_offset = 0;
  std::size_t smf_size = 0;
};

// A standard MIDI file (format 0, 1 or 2, timed in ticks per quarter note), bare or wrapped in a
// RIFF "RMID" file. Every track must be whole and end with its end-of-track event.
std::optional<MidiInfo> ReadMidiInfo(std::span<const std::uint8_t> file, std::string* problem);
// MIDI files are read whole; larger files are refused.
inline constexpr std::uint64_t kLargestMidiFile = 16u << 20;

// A ripped CD track of any of the kinds the player takes, known by its content.
std::optional<std::uint64_t> ReadTrackLengthUs(ByteSource& file, std::string* problem);

// The length of a file on disk: a wave sound, a MIDI piece or a CD track.
enum class SoundKind { kWave, kMidi, kTrack };
std::optional<std::uint64_t> SoundFileLengthUs(SoundKind kind, const std::string& path,
                                               std::string* problem);

}  // namespace tumu
