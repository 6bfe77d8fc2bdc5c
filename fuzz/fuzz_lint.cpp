// The author's lint over a whole game of any bytes (a game folder as game_folder.h reads it): it
// reads every scenario the game reaches, runs the handlers of their commands and follows their
// calls, and must tell what it finds without ever failing itself.
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/lint.h"
#include "fuzz_support.h"
#include "game_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tumu::fuzz::GameFolder& folder = tumu::fuzz::GameFolder::Shared();
  folder.Fill(std::string_view(reinterpret_cast<const char*>(data), size));
  tumu::LintGame(folder.path(), std::make_unique<tumu::fuzz::SharedFont>());
  return 0;
}
