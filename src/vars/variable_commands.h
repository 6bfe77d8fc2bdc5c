// The commands of the variables: declarations, string assignment and text input, random numbers,
// the reshuffle and the machine check.
#pragma once

#include <string_view>

namespace tumu {

struct Engine;

void HandleDeclareNumeric(Engine& engine);
void HandleDeclareStrings(Engine& engine);
// One line of a declaration block.
void DeclareNumericVariable(Engine& engine, std::string_view line);
void DeclareStringVariable(Engine& engine, std::string_view line);

void HandleAssignString(Engine& engine);
void HandleTextInput(Engine& engine);
// The input box was confirmed with Enter (the text is UTF-8).
void InputBoxCommand(Engine& engine, std::string_view utf8_text);

void HandleRandom(Engine& engine);
void HandleReshuffle(Engine& engine);
void HandleMachineCheck(Engine& engine);

}  // namespace tumu
