// The scenario's save and load commands, with their confirming and resuming forms.
#pragma once

namespace tumu {

struct Engine;

// "＃セーブ": saves under the name on the next line; with "確認", jumps to the label on the line
// after it instead when something of that name already exists.
void HandleSave(Engine& engine);
// "＃ロード": loads the variables from the file named on the next line, and with "復帰" also the
// place in the scenario; with "確認", jumps to the label on the line after it instead when there
// is no such file.
void HandleLoad(Engine& engine);

}  // namespace tumu
