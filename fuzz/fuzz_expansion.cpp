// Expressions and texts with variables in them come from game files: whatever their bytes, element
// references must resolve or be refused within the working text's 255 bytes, text substitution
// must end (also when string variables name each other), and the commands that read expressions
// must not touch memory outside their tables.
//
// Input: the text, then optionally after a line end the value of the string variable 甲, then
// after another the value of 乙 (so that values can refer to each other and to themselves).
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/sjis.h"
#include "platform/sjis_literal.h"
#include "vars/evaluator.h"
#include "vars/expression.h"
#include "vars/variable_commands.h"
#include "vars/variables.h"

namespace {

using namespace tumu;
using namespace tumu::literals;

// Texts longer than a few scenario lines exercise nothing new.
constexpr std::size_t kMaxText = 512;

void Declare(EngineState& s) {
  const struct {
    std::string_view name;
    std::int32_t value;
  } numeric[] = {
      {"得点"_sj, -3},  {"点:0:"_sj, 1}, {"点:1:"_sj, 2},       {"点:2:"_sj, 0},
      {"点:3:"_sj, 7},  {"番号:0:"_sj, 3}, {"番号:1:"_sj, 2},   {"x", 10000000},
      {"A", -10000000}, {"札:0:"_sj, 0},  {"札:1:"_sj, 0},       {"札:2:"_sj, 0},
  };
  for (const auto& variable : numeric) {
    s.numeric_values[AddNumericVariable(s, variable.name)] = variable.value;
  }
  const std::string_view strings[] = {"甲"_sj, "乙"_sj, "名前"_sj};
  for (const std::string_view name : strings) {
    s.string_names[static_cast<std::size_t>(s.string_count++)].assign(name);
  }
  s.string_values[2].assign("太郎"_sj);
}

std::string_view TakeLine(std::string_view* rest) {
  const std::size_t end = rest->find('\n');
  const std::string_view line = rest->substr(0, end);
  rest->remove_prefix(end == std::string_view::npos ? rest->size() : end + 1);
  return line;
}

void CheckExpansion(Engine& engine, std::string_view text) {
  const std::optional<std::string> expanded = ExpandExpressionVariables(engine, text);
  if (!expanded) return;  // a subscript failed and was reported
  if (expanded->size() > kWorkingTextBytes) std::abort();
  if (IsErrorResult(*expanded)) return;
  for (const char c : *expanded) {
    if (std::string_view("0123456789%/*-+() ").find(c) == std::string_view::npos) std::abort();
  }
  const std::string result = EvaluateExpression(*expanded);
  if (result.size() > kWorkingTextBytes) std::abort();
}

void CheckElementReferences(Engine& engine, std::string_view text) {
  const ElementResolution r = ResolveElementReferences(engine, text);
  if (r.status == ElementResolution::Status::kResolved) {
    // Every reference has become a key; the text is no longer than a working text allows unless
    // it arrived that long with nothing to resolve.
    if (ContainsText(r.text, "］"_sj)) std::abort();
    if (r.text != text && r.text.size() > kWorkingTextBytes) std::abort();
  }
}

void CheckTextSubstitution(Engine& engine, std::string_view text) {
  for (const int width_mode : {1, 2}) {
    const std::optional<std::string> shown = SubstituteTextVariables(engine, text, width_mode);
    // A reference takes at least 8 bytes and gives at most a 104-byte value.
    if (shown && shown->size() > text.size() * 13 + 104) std::abort();
  }
  const std::optional<std::string> strings = SubstituteStringVariables(engine, text);
  if (strings && strings->size() > text.size() * 13 + 104) std::abort();
}

// The text as the argument line of a command, as a scenario line holds it.
void RunCommands(Engine& engine, std::string_view text) {
  EngineState& s = engine.state;
  const std::string line(TruncateOnCharBoundary(text.substr(0, text.find('\0')), kMaxLineBytes));
  const std::int32_t count_before = s.numeric_count;
  s.scenario_buffer.Edit(0).assign(line);
  s.scenario_buffer.Edit(1).assign(line);
  s.scenario_buffer.Edit(2).assign("3");
  s.line_count = 3;

  s.current_line = 0;
  ExecuteAssignment(engine);
  s.current_line = 0;
  HandleReshuffle(engine);
  s.current_line = 0;
  HandleRandom(engine);
  s.current_line = 0;
  HandleAssignString(engine);
  // None of them declares anything.
  if (s.numeric_count != count_before) std::abort();

  // A declaration stores each name whole or not at all: a key cut to fit its slot would name
  // another element.
  s.declaring_numeric = 1;
  DeclareNumericVariable(engine, line);
  const std::size_t open = FindText(line, "［"_sj);
  for (std::int32_t i = count_before; i < s.numeric_count; ++i) {
    const std::string expected =
        open == kNotFound ? line
                          : line.substr(0, open) + ":" + std::to_string(i - count_before) + ":";
    if (s.numeric_names[static_cast<std::size_t>(i)].view() != expected) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string text(TakeLine(&input).substr(0, kMaxText));
  const std::string_view value_a = TakeLine(&input);
  const std::string_view value_b = TakeLine(&input);

  // Making the game's surfaces costs far more than the work under test, so one engine serves
  // every input; what these operations read is set afresh each time.
  Engine& engine = fuzz::FuzzGame::Shared().engine();
  // Without a back surface an error report only records itself: painting the red screen for
  // every fault would cost most of the time, and the screen is not what is tested here.
  engine.screen.back_surface = Surface565();
  EngineState& s = engine.state;
  ResetVariables(s);
  ResetVariableIndex(s);
  s.random_state = 1;
  s.declaring_numeric = 0;
  s.declaring_strings = 0;
  s.current_line = 0;
  Declare(s);
  engine.state.string_values[0].assign(value_a);
  engine.state.string_values[1].assign(value_b);

  CheckExpansion(engine, text);
  CheckElementReferences(engine, text);
  CheckTextSubstitution(engine, text);
  RunCommands(engine, text);
  return 0;
}
