#include "engine/pack_command.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/scenario.h"

namespace tumu {

bool LooksLikeUtf8(std::span<const std::uint8_t> text) {
  bool multibyte = false;
  for (std::size_t i = 0; i < text.size();) {
    const std::uint8_t lead = text[i];
    const std::size_t length = lead < 0x80               ? 1
                               : (lead & 0xE0) == 0xC0 ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((text[i + k] & 0xC0) != 0x80) return false;
    }
    multibyte = multibyte || length > 1;
    i += length;
  }
  return multibyte;
}

int RunPackCommand(const std::vector<std::string>& args) {
  if (args.size() != 3) {
    std::fprintf(stderr, "tumu: pack takes: scramble|unscramble IN OUT\n");
    return 2;
  }
  std::ifstream in(args[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "tumu: cannot read %s\n", args[1].c_str());
    return 1;
  }
  const std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(in)), {});
  // The game reads Shift-JIS only; a scenario saved as UTF-8 would show as garbage.
  if (args[0] == "scramble" && LooksLikeUtf8(input)) {
    std::fprintf(stderr,
                 "tumu: warning: %s looks like UTF-8, but scenarios are Shift-JIS; convert it "
                 "first (iconv -f UTF-8 -t CP932)\n",
                 args[1].c_str());
  }
  const std::vector<std::uint8_t> output =
      args[0] == "scramble" ? ScrambleScenario(input) : UnscrambleScenario(input);
  std::ofstream out(args[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(output.data()), static_cast<std::streamsize>(output.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "tumu: cannot write %s\n", args[2].c_str());
    return 1;
  }
  return 0;
}

}  // namespace tumu
