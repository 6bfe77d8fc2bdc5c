// The back surface on which every frame is composed and the 22 work surfaces that hold the
// picture layers, the text windows and the menus, with their sizes and colour keys.
#pragma once

#include <array>

#include "platform/platform.h"
#include "platform/surface565.h"

namespace tumu {

struct Screen {
  PixelFormat format;
  Surface565 back_surface;

  Surface565 background_surface;
  Surface565 person_surface;
  Surface565 foreground_surface;
  Surface565 dialogue_text_surface;
  Surface565 dialogue_frame_surface;
  Surface565 choice_text_surface;
  Surface565 choice_back_surface;
  Surface565 choice_bar_surface;
  Surface565 variable_surface;
  std::array<Surface565, 3> person_anim_surface;  // frames 1 to 3
  Surface565 foreground_anim_surface;
  Surface565 frontmost_surface;
  Surface565 work_surface;
  Surface565 incoming_surface;
  std::array<Surface565, 4> partial_surface;  // slots 1 to 4
  Surface565 click_mark_surface;
  Surface565 mask_surface;

  // The work surfaces in creation order (the back surface is not one of them).
  std::array<Surface565*, 22> WorkSurfaces();
  std::array<const Surface565*, 22> WorkSurfaces() const;
};

// Creates the back surface and the 22 work surfaces at their sizes.
void CreateWorkSurfaces(Screen& screen);
// Gives every layer surface the key of (r, g, b), the window and menu surfaces white and the mask
// surface black; the background and the choice bar have none.
void SetLayerColorKeys(Screen& screen, int red, int green, int blue);
void ClearSurfaceWhite(const Screen& screen, Surface565& surface);
void FillSurfaceRect(const Screen& screen, Surface565& surface, int x, int y, int width,
                     int height, int red, int green, int blue);
void InitChoiceBar(Screen& screen);
// Frees every surface; harmless when called again.
void ReleaseDisplay(Screen& screen);
// Makes `screen` the copy of `original` that it was when last restored from it (or made from it):
// only the surfaces written since are copied, so bringing a screen back to its start is cheap
// when a game drew little. A released surface keeps its memory and is restored too.
void RestoreScreen(Screen& screen, const Screen& original);

}  // namespace tumu
