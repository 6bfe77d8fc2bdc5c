// Expressions of the scenario: variable names and array elements expanded into values, the
// assignment line, and the values put into texts before they are shown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tumu {

struct Engine;

// Whether an evaluator or expansion result is an error text.
bool IsErrorResult(std::string_view result);

// The expression with its element references (点［番号＋1］) resolved into element keys and every
// name replaced by its value, ready for the evaluator; or an "ERR:" text. Nothing when a
// subscript could not be evaluated: that has been reported already.
std::optional<std::string> ExpandExpressionVariables(Engine& engine, std::string_view expression);

// The one way every command takes a number from the scenario: expand, evaluate, report an "ERR"
// result (with second_line as the second text), else the integer at the front of the result.
// On failure the error has been reported and false is returned; *value is untouched then.
bool EvaluateScenarioExpression(Engine& engine, std::string_view expression,
                                std::string_view second_line, int* value);

// Resolves the element references of a text from the innermost out: each subscript is
// substituted and evaluated, and 点［2］ becomes 点:2:. `last_subscript` receives the value of the
// last subscript evaluated.
struct ElementResolution {
  enum class Status { kResolved, kMissingOpenBracket, kSubscriptFailed, kTooLong };
  Status status = Status::kResolved;
  std::string text;
  int last_subscript = -1;
};
ElementResolution ResolveElementReferences(Engine& engine, std::string_view text);

// Executes the current line as an assignment (得点＝得点＋１, 点［2］＝５).
void ExecuteAssignment(Engine& engine);

// Puts the values of "＃（expression）＃" and of "”（string variable）”" into a text about to be
// shown. Width mode 2 right-aligns numbers in 8 columns (the variable display). Nothing after a
// reported fault.
std::optional<std::string> SubstituteTextVariables(Engine& engine, std::string_view text,
                                                   int width_mode);
std::optional<std::string> SubstituteStringVariables(Engine& engine, std::string_view text);

}  // namespace tumu
