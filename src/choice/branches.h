// The branch commands: they choose one numbered label of their block without asking the player,
// and leave current_line on it so that the line after the label runs next.
#pragma once

namespace tumu {

struct Engine;

// "＃分岐範囲": the value on the next line against the rising bounds that follow it.
void BranchByRange(Engine& engine);
// "＃分岐最大": the position of the largest of the values that follow.
void BranchToLargest(Engine& engine);
// "＃分岐文字": "＃1" when the string variable holds exactly the text, else "＃0".
void BranchByText(Engine& engine);

}  // namespace tumu
