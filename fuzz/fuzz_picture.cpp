// Picture files come from game folders: whatever their bytes, decoding and drawing must stay
// inside the file and the buffers.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "picture/bitmap_decoder.h"

namespace {

void DrawEverywhere(const tumu::Picture& picture) {
  tumu::Surface565 surface(48, 32);
  tumu::DrawPicture(surface, 0, 0, picture, {0, 0, picture.width, picture.height});
  tumu::DrawPicture(surface, -5, 7, picture, {3, -2, 60, 40});
  tumu::DrawPicture(surface, 40, -3, picture, {picture.width - 4, picture.height - 4, 9, 9});
}

// Run-length data on their own, at a small size taken from the first bytes, into a buffer of
// exactly the size the rows need.
template <void (*Expand)(std::span<const std::uint8_t>, int, int, std::span<std::uint8_t>)>
void ExpandRaw(std::span<const std::uint8_t> input, int bits) {
  if (input.size() < 2) return;
  const int width = input[0] + 1;
  const int height = input[1] % 64 + 1;
  const std::size_t stride = static_cast<std::size_t>((bits * width + 31) / 32 * 4);
  std::vector<std::uint8_t> out(stride * height, 0);
  Expand(input.subspan(2), width, height, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that the sanitizers see any read past the end of the file.
  const std::vector<std::uint8_t> file(data, data + size);
  const tumu::PixelFormat format;
  if (const auto picture = tumu::DecodePackagedPicture(file, format)) DrawEverywhere(*picture);
  if (const auto picture = tumu::DecodeBitmapFile(file, format)) DrawEverywhere(*picture);
  ExpandRaw<tumu::DecodeRle8>(file, 8);
  ExpandRaw<tumu::DecodeRle4>(file, 4);
  return 0;
}
