// A save file of any bytes, loaded into a game that declares a few variables: for the variables
// alone, or (inputs of odd length) also resuming the saved place.
#include <cstdint>
#include <string_view>

#include "engine/engine.h"
#include "fuzz_support.h"
#include "platform/sjis_literal.h"
#include "save/save_file.h"
#include "vars/variables.h"

namespace {

using namespace tumu::literals;

// The variables of the game that wrote the seeds.
void DeclareVariables(tumu::EngineState& s) {
  const std::string_view names[] = {"A", "B", "点:0:"_sj, "点:1:"_sj};
  for (std::string_view name : names) tumu::AddNumericVariable(s, name);
  s.string_names[0] = "名前"_sj;
  s.string_names[1] = "空"_sj;
  s.string_count = 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tumu::Engine& engine = tumu::fuzz::FuzzGame::Fresh().engine();
  tumu::ResetVariableIndex(engine.state);
  DeclareVariables(engine.state);
  tumu::LoadGameBytes(engine, bytes, "save.dat", size % 2 == 1);
  return 0;
}
