// Scenario expressions come from game files: any bytes must evaluate to a value or an "ERR:" text,
// within the working text's 255 bytes, without touching memory outside the fixed buffers.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "engine/state.h"
#include "platform/sjis_literal.h"
#include "vars/evaluator.h"
#include "vars/substitution.h"
#include "vars/variables.h"

namespace {

using namespace tumu;
using namespace tumu::literals;

std::unique_ptr<EngineState> MakeDeclaredState() {
  auto state = std::make_unique<EngineState>();
  ResetVariables(*state);
  ResetVariableIndex(*state);
  const struct {
    std::string_view name;
    std::int32_t value;
  } declared[] = {
      {"得点"_sj, -3},      {"A", 2147483647},        {"B", -2147483647 - 1},
      {"点:0:"_sj, 10},     {"点:1:"_sj, 0},          {"xi", 7},
      {"名前１"_sj, 12345}, {"x", 10000000},
  };
  for (const auto& variable : declared) {
    state->numeric_values[AddNumericVariable(*state, variable.name)] = variable.value;
  }
  return state;
}

// A result is either an "ERR:" text or a "%f" value within the accepted range.
void CheckResult(const std::string& result) {
  if (result.size() > kWorkingTextBytes) std::abort();
  if (result.compare(0, 4, "ERR:") == 0) return;
  const double value = std::strtod(result.c_str(), nullptr);
  if (!(value <= 10000000.0 && value >= -10000000.0)) std::abort();
  const std::int32_t integer = IntegerAtFront(result);
  if (integer != static_cast<std::int32_t>(value)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // libFuzzer gives no context to its entry point; the declared variables are built once and
  // only read afterwards.
  static const std::unique_ptr<const EngineState> state = MakeDeclaredState();
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  CheckResult(EvaluateExpression(input));
  CheckResult(EvaluateFlat(input));
  HasNameCharacter(input);

  const std::string expanded = SubstituteVariableValues(*state, input);
  if (expanded.size() > kWorkingTextBytes) std::abort();
  if (expanded.compare(0, 4, "ERR:") != 0) {
    // What is left for the evaluator holds only its own characters.
    for (const char c : expanded) {
      if (std::string_view("0123456789%/*-+() ").find(c) == std::string_view::npos) std::abort();
    }
    CheckResult(EvaluateExpression(expanded));
  }
  return 0;
}
