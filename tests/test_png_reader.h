// Reads a PNG back for the tests through libpng, independently of the writer under test.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tumu::testing {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows without padding

  struct Pixel {
    int red, green, blue;
    friend bool operator==(const Pixel&, const Pixel&) = default;
  };
  Pixel at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

// Reads any PNG as 8-bit RGB; returns false with a message when libpng cannot.
inline bool ReadPngForTest(const std::string& path, RgbImage* out, std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    *error = image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  out->width = static_cast<int>(image.width);
  out->height = static_cast<int>(image.height);
  out->rgb.assign(PNG_IMAGE_SIZE(image), 0);
  if (png_image_finish_read(&image, nullptr, out->rgb.data(), 0, nullptr) == 0) {
    *error = image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

}  // namespace tumu::testing
