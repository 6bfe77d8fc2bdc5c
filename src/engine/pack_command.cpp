#include "engine/pack_command.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/scenario.h"

namespace tumu {

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
