#include "picture/picture_loader.h"

#include <string>

#include "engine/engine.h"

namespace tumu {

std::optional<Picture> LoadPictureFile(Engine& engine, std::string_view name) {
  const EngineState& s = engine.state;
  std::string path(s.picture_dir.view());
  path.append(name);
  path.append(s.picture_ext.view());
  const auto file = engine.files.ReadFile(path);
  if (!file) {
    engine.log.Info("picture not found: " + SjisToUtf8(path));
    return std::nullopt;
  }
  std::string why;
  std::optional<Picture> picture = s.packaged_mode == 1
                                       ? DecodePackagedPicture(*file, engine.screen.format, &why)
                                       : DecodeBitmapFile(*file, engine.screen.format, &why);
  if (!picture) engine.log.Info("picture unreadable: " + SjisToUtf8(path) + " (" + why + ")");
  return picture;
}

bool LoadPictureIntoSurface(Engine& engine, Surface565& surface, std::string_view name, int width,
                            int height) {
  const std::optional<Picture> picture = LoadPictureFile(engine, name);
  if (!picture) {
    const EngineState& s = engine.state;
    FillSurfaceRect(engine.screen, surface, 0, 0, width, height, s.mask_r, s.mask_g, s.mask_b);
    return false;
  }
  PutPictureIntoSurface(engine, surface, *picture, width, height);
  return true;
}

void PutPictureIntoSurface(Engine& engine, Surface565& surface, const Picture& picture, int width,
                           int height) {
  const EngineState& s = engine.state;
  FillSurfaceRect(engine.screen, surface, 0, 0, width, height, s.mask_r, s.mask_g, s.mask_b);
  DrawPicture(surface, 0, 0, picture, {0, 0, width, height});
}

}  // namespace tumu
