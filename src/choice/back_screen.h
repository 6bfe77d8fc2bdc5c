// The back-screen choice: the player clicks a region of the picture on the screen. A hidden
// picture of the same size, the back screen, paints each region in a flat colour; each choice
// names its colour by one of 27 colour names, and may name a picture shown while the mouse is
// over the region and a sound played when the mouse enters it.
#pragma once

#include <optional>
#include <string_view>

#include "platform/platform.h"

namespace tumu {

struct Engine;
class Surface565;

// "＃選択裏画面": loads the back screen, reads the choice lines and opens the choice.
void OpenBackScreenChoice(Engine& engine);

// Reads one choice line into slot k of the colour, hover picture and hover sound names. False
// after a report.
bool ParseBackScreenChoiceLine(Engine& engine, int k, std::string_view line);

// The colour name of an 8-bit colour: each component graded low (up to 85), middle (up to 170)
// or high.
std::string_view ColorName(int red, int green, int blue);

// Sets picked_red, picked_green, picked_blue to the colour of the surface's pixel at (x, y); a
// point off the surface leaves them as they were.
void ReadPixelColor(Engine& engine, const Surface565& surface, int x, int y);

// The first choice whose colour is the picked colour, or -1.
int BackScreenChoiceAt(const Engine& engine);

// The mouse moved to (x, y) over the back screen: the hovered choice, its picture and its sound.
void HoverBackScreen(Engine& engine, int x, int y);

// The first point of the back screen, in reading order, whose colour belongs to a choice.
std::optional<Point> FirstBackScreenRegion(const Engine& engine);

}  // namespace tumu
