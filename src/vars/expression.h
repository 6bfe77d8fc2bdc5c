// The one way every command takes a number from the scenario: expand the variables, evaluate,
// report an "ERR" result, else take the integer at the front of the result.
#pragma once

#include <string_view>

namespace tumu {

struct Engine;

// On failure the error has been reported (with second_line as the second text) and false is
// returned; *value is untouched then.
bool EvaluateScenarioExpression(Engine& engine, std::string_view expression,
                                std::string_view second_line, int* value);

}  // namespace tumu
