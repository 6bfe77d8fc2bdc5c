// The author's lint over a whole game of any bytes (a game folder as game_folder.h reads it): it
// reads every scenario the game reaches, runs the handlers of their commands and follows their
// calls, and must tell what it finds without ever failing itself. One linter lints every game,
// as a tool linting many games would.
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/lint.h"
#include "fuzz_support.h"
#include "game_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tumu::fuzz::GameFolder& folder = tumu::fuzz::GameFolder::Shared();
  folder.Fill(std::string_view(reinterpret_cast<const char*>(data), size));
  static tumu::GameLinter linter(std::make_unique<tumu::fuzz::SharedFont>());
  linter.Lint(folder.path());
  return 0;
}
