// MIDI music comes from game folders: whatever its bytes, reading its tracks, events and tempo
// changes must stay inside the file and end soon.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sound_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that the sanitizers see any read past the end of the file.
  const std::vector<std::uint8_t> file(data, data + size);
  std::string problem;
  if (const auto midi = tumu::ReadMidiInfo(file, &problem)) {
    if (midi->smf_offset + midi->smf_size > file.size() || midi->length_us > tumu::kLongestSoundUs) {
      std::abort();
    }
  }
  return 0;
}
