// The commands that belong to the core: comments, labels and jumps, paths, the time wait, the
// skip switch, the end and the scenario dump; and the block lines that the dispatcher routes.
#pragma once

namespace tumu {

struct Engine;

void HandleComment(Engine& engine);
void HandleLabelDefinition(Engine& engine);
void HandleGo(Engine& engine);
void HandleLabelReached(Engine& engine);
void HandleBlockEnd(Engine& engine);
void HandleTimeWait(Engine& engine);
void HandlePicturePath(Engine& engine);
void HandleSoundPath(Engine& engine);
void HandleScenarioPath(Engine& engine);
void HandleSkipOn(Engine& engine);
void HandleSkipOff(Engine& engine);
void HandleEnd(Engine& engine);
void HandleDumpScenario(Engine& engine);

// Block lines, owned by the text windows and the variable declarations.
void EndDialogueBlock(Engine& engine);
void EndTextBlock(Engine& engine);
void ShowDialogueLine(Engine& engine);
void ShowTextLine(Engine& engine);
void DeclareNumericLine(Engine& engine);
void DeclareStringLine(Engine& engine);
void ExecuteAssignmentLine(Engine& engine);

}  // namespace tumu
