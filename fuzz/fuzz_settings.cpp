// A settings file of any bytes. Every line the reader keeps must be an option the command line
// takes, so the kept lines together must always parse.
#include <cstdint>
#include <string_view>

#include "engine/options.h"
#include "engine/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tumu::Settings settings =
      tumu::ParseSettings(std::string_view(reinterpret_cast<const char*>(data), size), "/home/p");
  const tumu::CommandLine command = tumu::ParseCommandLine(settings.args);
  if (command.action != tumu::CommandLine::Action::kRun) __builtin_trap();
  for (const tumu::SettingsProblem& problem : settings.problems) {
    if (problem.line < 1 || problem.message.empty()) __builtin_trap();
  }
  return 0;
}
