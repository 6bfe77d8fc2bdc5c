#include "vars/variables.h"

namespace tumu {

void ResetVariables(EngineState& state) {
  state.numeric_values.fill(0);
  for (auto& n : state.numeric_names) n.clear();
  for (auto& n : state.string_names) n.clear();
  for (auto& v : state.string_values) v.clear();
  state.numeric_count = 0;
  state.string_count = 0;
}

void ResetVariableIndex(EngineState& state) { state.name_hash_heads.fill(-1); }

}  // namespace tumu

#include <charconv>

#include "engine/core_commands.h"
#include "engine/engine.h"
#include "vars/expression.h"

namespace tumu {

bool EvaluateScenarioExpression(Engine&, std::string_view expression, std::string_view,
                                int* value) {
  int v = 0;
  std::from_chars(expression.data(), expression.data() + expression.size(), v);
  *value = v;
  return true;
}
void DeclareNumericLine(Engine&) {}
void DeclareStringLine(Engine&) {}
void ExecuteAssignmentLine(Engine&) {}

}  // namespace tumu

namespace tumu {
void EndDialogueBlock(Engine&) {}
void EndTextBlock(Engine&) {}
void ShowDialogueLine(Engine&) {}
void ShowTextLine(Engine&) {}
}  // namespace tumu

#include "platform/png_writer.h"
namespace tumu {
bool WritePng(const std::string&, const Surface565&, std::string* error) {
  *error = "no png yet";
  return false;
}
}  // namespace tumu
