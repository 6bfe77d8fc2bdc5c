// The commands that belong to the core: comments, labels and jumps, paths, the time wait, the
// skip switch, the end and the scenario dump.
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

}  // namespace tumu
