// The four partial-picture slots: small 210 x 160 pictures placed anywhere on the screen, two
// between the background and the person, two between the person and the foreground. An animated
// slot cycles through three frames taken side by side from one strip.
#pragma once

namespace tumu {

struct Engine;

// The commands of a slot. Slots are counted from 0 here: 0 and 1 are the partial pictures, 2 and 3
// the partial persons.
void ShowPartialPicture(Engine& engine, int slot);
void ShowPartialAnimation(Engine& engine, int slot);
void HidePartialPicture(Engine& engine, int slot);
// The slot stays shown, frozen on its first frame.
void StopPartialAnimation(Engine& engine, int slot);

}  // namespace tumu
