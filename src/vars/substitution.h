// Turning a scenario expression into one the evaluator can read: variable names become their
// values, full-width digits and operators become half-width.
#pragma once

#include <string>
#include <string_view>

#include "engine/state.h"

namespace tumu {

// Replaces each name (an element key such as 点:2: is a name too) by its value as "(%d)", so that
// a negative value stays one operand; full-width digits, operators and blanks become half-width,
// tabs become blanks. An undeclared name gives "ERR:該当する <name> が宣言されていません"; a result
// that would pass 255 bytes gives "ERR:計算式が長すぎます".
std::string SubstituteVariableValues(const EngineState& state, std::string_view expression);

}  // namespace tumu
