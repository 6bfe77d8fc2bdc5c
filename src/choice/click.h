// The click commands: the click wait's companions "＃クリック位置" (wait for a click and keep where
// it was) and the click mark, the small animated sign that tells the player to click.
#pragma once

namespace tumu {

struct Engine;

// "＃クリック位置": waits for a click; the variable lines after it are read at the click.
void HandleClickPosition(Engine& engine);
// The first left click while "＃クリック位置" waits: stores x and y in the variables named on the
// two lines after the command.
void StoreClickPosition(Engine& engine, int x, int y);

// "＃クリックマーク": loads the mark's three frames and where it stands.
void LoadClickMark(Engine& engine);
// "＃クリックマークオフ".
void HandleClickMarkOff(Engine& engine);

// Shows the click mark while the game waits for a plain click (not while a menu is open).
void UpdateClickMarkVisibility(Engine& engine);
// Draws the current frame of the click mark onto the back surface while it is shown.
void DrawClickMark(Engine& engine);

}  // namespace tumu
