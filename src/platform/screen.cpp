#include "platform/screen.h"

#include <algorithm>

namespace tumu {

std::array<Surface565*, 22> Screen::WorkSurfaces() {
  return {&background_surface,     &person_surface,         &foreground_surface,
          &dialogue_text_surface,  &dialogue_frame_surface, &choice_text_surface,
          &choice_back_surface,    &choice_bar_surface,     &variable_surface,
          &person_anim_surface[0], &person_anim_surface[1], &person_anim_surface[2],
          &foreground_anim_surface, &frontmost_surface,     &work_surface,
          &incoming_surface,       &partial_surface[0],     &partial_surface[1],
          &partial_surface[2],     &partial_surface[3],     &click_mark_surface,
          &mask_surface};
}

std::array<const Surface565*, 22> Screen::WorkSurfaces() const {
  const auto all = const_cast<Screen*>(this)->WorkSurfaces();
  std::array<const Surface565*, 22> read_only;
  std::copy(all.begin(), all.end(), read_only.begin());
  return read_only;
}

void CreateWorkSurfaces(Screen& screen) {
  struct Size {
    int width;
    int height;
  };
  static constexpr std::array<Size, 22> kSizes = {{
      {640, 480}, {640, 480}, {640, 480}, {640, 240}, {640, 480}, {500, 260},
      {500, 260}, {600, 50},  {400, 300}, {640, 480}, {640, 480}, {640, 480},
      {640, 480}, {640, 480}, {640, 480}, {640, 480}, {640, 160}, {640, 160},
      {640, 160}, {640, 160}, {640, 160}, {640, 480},
  }};
  screen.back_surface = Surface565(kScreenWidth, kScreenHeight);
  const auto surfaces = screen.WorkSurfaces();
  for (std::size_t i = 0; i < surfaces.size(); ++i) {
    *surfaces[i] = Surface565(kSizes[i].width, kSizes[i].height);
  }
}

void SetLayerColorKeys(Screen& screen, int red, int green, int blue) {
  const std::uint16_t mask = ColorToPixel(screen.format, red, green, blue);
  const std::uint16_t white = ColorToPixel(screen.format, 255, 255, 255);
  const std::uint16_t black = ColorToPixel(screen.format, 0, 0, 0);
  for (Surface565* s : {&screen.person_surface, &screen.foreground_surface,
                        &screen.person_anim_surface[0], &screen.person_anim_surface[1],
                        &screen.person_anim_surface[2], &screen.foreground_anim_surface,
                        &screen.frontmost_surface, &screen.work_surface, &screen.incoming_surface,
                        &screen.partial_surface[0], &screen.partial_surface[1],
                        &screen.partial_surface[2], &screen.partial_surface[3],
                        &screen.click_mark_surface}) {
    s->set_color_key(mask);
  }
  for (Surface565* s : {&screen.dialogue_text_surface, &screen.dialogue_frame_surface,
                        &screen.choice_text_surface, &screen.choice_back_surface,
                        &screen.variable_surface}) {
    s->set_color_key(white);
  }
  screen.mask_surface.set_color_key(black);
  screen.background_surface.set_color_key(std::nullopt);
  screen.choice_bar_surface.set_color_key(std::nullopt);
}

void ClearSurfaceWhite(const Screen& screen, Surface565& surface) {
  surface.Fill(ColorToPixel(screen.format, 255, 255, 255));
}

void FillSurfaceRect(const Screen& screen, Surface565& surface, int x, int y, int width,
                     int height, int red, int green, int blue) {
  surface.FillRect({x, y, width, height}, ColorToPixel(screen.format, red, green, blue));
}

void InitChoiceBar(Screen& screen) {
  screen.choice_bar_surface.Fill(ColorToPixel(screen.format, 255, 0, 0));
}

void ReleaseDisplay(Screen& screen) {
  auto surfaces = screen.WorkSurfaces();
  for (auto it = surfaces.rbegin(); it != surfaces.rend(); ++it) (*it)->Release();
  screen.back_surface.Release();
}

void RestoreScreen(Screen& screen, const Screen& original) {
  const auto from = original.WorkSurfaces();
  const auto to = screen.WorkSurfaces();
  for (std::size_t i = 0; i < to.size(); ++i) to[i]->RestoreFrom(*from[i]);
  screen.back_surface.RestoreFrom(original.back_surface);
  screen.format = original.format;
}

}  // namespace tumu
