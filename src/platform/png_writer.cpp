#include "platform/png_writer.h"

#include <png.h>

#include <cstdint>
#include <vector>

namespace tumu {

bool WritePng(const std::string& path, const Surface565& frame, std::string* error) {
  if (frame.empty()) {
    *error = "no frame to write";
    return false;
  }
  const auto width = static_cast<std::size_t>(frame.width());
  std::vector<std::uint8_t> rgb(width * 3 * static_cast<std::size_t>(frame.height()));
  std::size_t out = 0;
  for (int y = 0; y < frame.height(); ++y) {
    const std::uint16_t* row = frame.row(y);
    for (std::size_t x = 0; x < width; ++x) {
      const unsigned v = row[x];
      const unsigned r = (v >> 11) & 0x1F;
      const unsigned g = (v >> 5) & 0x3F;
      const unsigned b = v & 0x1F;
      rgb[out++] = static_cast<std::uint8_t>((r << 3) | (r >> 2));
      rgb[out++] = static_cast<std::uint8_t>((g << 2) | (g >> 4));
      rgb[out++] = static_cast<std::uint8_t>((b << 3) | (b >> 2));
    }
  }

  // The simplified interface reports errors through the image instead of a long jump, and
  // removes a half-written file itself.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(frame.width());
  image.height = static_cast<png_uint_32>(frame.height());
  image.format = PNG_FORMAT_RGB;
  const auto stride = static_cast<png_int_32>(width * 3);
  if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), stride, nullptr) == 0) {
    *error = path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

}  // namespace tumu
