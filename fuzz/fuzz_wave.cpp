// Wave sounds and ripped CD tracks come from game folders: whatever their bytes, reading their
// headers and lengths must stay inside the file and end soon.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sound_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that the sanitizers see any read past the end of the file.
  const std::vector<std::uint8_t> file(data, data + size);
  tumu::MemorySource source(file);
  std::string problem;
  if (const auto wave = tumu::ReadWaveInfo(source, &problem)) {
    if (wave->data_offset + wave->data_size > file.size() || wave->length_us > tumu::kLongestSoundUs) {
      std::abort();
    }
  }
  const auto length = tumu::ReadTrackLengthUs(source, &problem);
  if (length && *length > tumu::kLongestSoundUs) std::abort();
  return 0;
}
