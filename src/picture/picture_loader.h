// Pictures by the names that scenarios give them: picture path + name + picture extension.
#pragma once

#include <optional>
#include <string_view>

#include "picture/bitmap_decoder.h"
#include "platform/surface565.h"

namespace tumu {

struct Engine;

// The decoded picture, or nothing when the file is missing or unreadable.
std::optional<Picture> LoadPictureFile(Engine& engine, std::string_view name);

// Fills (0, 0, width, height) of the surface with the mask colour, then copies the picture's
// top-left part over it (a plain copy, cut to width x height). False when the picture cannot be
// loaded; the surface then stays filled with the mask colour.
bool LoadPictureIntoSurface(Engine& engine, Surface565& surface, std::string_view name, int width,
                            int height);
// The same with a picture already read: what the picture does not cover is the mask colour.
void PutPictureIntoSurface(Engine& engine, Surface565& surface, const Picture& picture, int width,
                           int height);

}  // namespace tumu
