// The arithmetic of scenario expressions: numbers, "%", "/", "*", "-", "+", parentheses, blanks.
//
// Games rely on the exact numbers the original arithmetic produced (an item count of 0.999999 is
// 0, not 1), so the evaluator keeps every number in single precision and passes each
// parenthesised group through its six-decimal text, as the games were written against.
//
// Results are texts: the value printed with "%f", or a Shift-JIS message that begins with "ERR:"
// which the caller shows on the error screen. A result is at most 255 bytes.
//
// Where a value does not fit a 32-bit integer (the operands of "%", the divisor test), it is
// clamped to the int32 range; a value that is not a number counts as 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tumu {

// Working texts of the evaluator and of expansion hold at most this many bytes.
inline constexpr std::size_t kWorkingTextBytes = 255;

// Evaluates an expression with parentheses: innermost group first, its result text in its place.
// Only the first 255 bytes are read; an expression whose working text would grow past them as
// groups are replaced by their results gives "ERR:計算式が長すぎます".
std::string EvaluateExpression(std::string_view expression);
// Evaluates an expression without parentheses.
std::string EvaluateFlat(std::string_view expression);
// The integer at the front of a result text: optional sign, then the digits before the decimal
// point (so the value is truncated toward zero); 0 when there are none. Saturates at the int32
// limits.
std::int32_t IntegerAtFront(std::string_view text);

}  // namespace tumu
