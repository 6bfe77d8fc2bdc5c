// The two windows that show prose: the dialogue window (a paged box, 600 x 100 at (20, 360)
// unless moved) and the text window (rows written down the whole screen on the frontmost layer).
#pragma once

#include <string_view>

namespace tumu {

struct Engine;

// The default frame of the dialogue window: a 2-pixel light blue border around its rectangle.
void DrawDefaultDialogueFrame(Engine& engine);

// Colour, brightness and size words of the current line become the text style.
void ParseTextStyle(Engine& engine);
// The character height that a line's size words ask for (18 without one).
int FontSizeFromLine(std::string_view line);

// Commands.
void HandleDialogue(Engine& engine);
void HandleText(Engine& engine);
void HandleTextStyle(Engine& engine);
void HandleClickWait(Engine& engine);
void HandleDialoguePosition(Engine& engine);
void HandleDialogueFrame(Engine& engine);
void HandleDialogueTranslucentOn(Engine& engine);
void HandleDialogueTranslucentOff(Engine& engine);
void HandleDialogueOff(Engine& engine);
void HandleTextTranslucentOn(Engine& engine);
void HandleTextTranslucentOff(Engine& engine);
void HandleTextOff(Engine& engine);

// The block lines: an empty line ends the open blocks; other lines are prose of the open block.
void EndDialogueBlock(Engine& engine);
void EndTextBlock(Engine& engine);
void ShowDialogueLine(Engine& engine);
void ShowTextLine(Engine& engine);

// Whether the line after the current one still fits on the dialogue page.
bool NextLineFits(const Engine& engine);
// Draws the current prose line (with the rows that "追加" joins to it) into its window.
void DrawTextLine(Engine& engine);

}  // namespace tumu
