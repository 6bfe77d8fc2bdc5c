// Our picture decoder against SDL's own bitmap loader, over the public BMP test suite: an
// independent decoder as the judge of every pixel.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "picture/bitmap_decoder.h"

namespace tumu {
namespace {

const std::filesystem::path kSuite = std::filesystem::path(TUMU_TESTDATA_DIR) / "bmpsuite";

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::filesystem::path> SuiteFiles(const char* group) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(kSuite / group)) {
    if (entry.path().extension() == ".bmp") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// SDL's reading of the file, converted by SDL to 5-6-5; null when SDL refuses the file.
SurfacePtr LoadWithSdl(const std::vector<std::uint8_t>& bytes) {
  SurfacePtr loaded(
      SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
  if (!loaded) return nullptr;
  return SurfacePtr(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB565, 0));
}

std::uint16_t SdlPixel(const SDL_Surface& s, int x, int y) {
  const auto* row =
      static_cast<const std::uint8_t*>(s.pixels) + static_cast<std::ptrdiff_t>(y) * s.pitch;
  return reinterpret_cast<const std::uint16_t*>(row)[x];
}

// Compares every pixel; `relevant` selects the bits that must agree. Reports the first mismatch
// only, so a broken file does not flood the log.
void ExpectSamePixels(const Picture& ours, const SDL_Surface& sdl,
                      std::uint16_t relevant = 0xFFFF) {
  ASSERT_EQ(ours.width, sdl.w);
  ASSERT_EQ(ours.height, sdl.h);
  int mismatches = 0;
  for (int y = 0; y < sdl.h; ++y) {
    for (int x = 0; x < sdl.w; ++x) {
      const std::uint16_t mine = ours.pixels[static_cast<std::size_t>(y) * ours.width + x];
      const std::uint16_t theirs = SdlPixel(sdl, x, y);
      if ((mine & relevant) != (theirs & relevant) && mismatches++ == 0) {
        ADD_FAILURE() << "first difference at (" << x << ", " << y << "): ours " << std::hex << mine
                      << ", SDL " << theirs;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Files whose reference is not SDL's 5-6-5 conversion of the same file; see their own tests.
bool HasOwnTest(const std::string& name) { return name == "rgb16.bmp" || name == "rgb32bf.bmp"; }

TEST(BmpSuiteGood, EveryPictureMatchesSdlPixelForPixel) {
  const auto files = SuiteFiles("g");
  ASSERT_GE(files.size(), 20u) << "the suite is expected under " << kSuite;
  for (const auto& path : files) {
    const std::string name = path.filename().string();
    if (HasOwnTest(name)) continue;
    SCOPED_TRACE(name);
    const auto bytes = ReadFile(path);
    const auto ours = DecodeBitmapFile(bytes, PixelFormat{});
    ASSERT_TRUE(ours.has_value());
    const SurfacePtr sdl = LoadWithSdl(bytes);
    ASSERT_NE(sdl, nullptr) << SDL_GetError();
    ExpectSamePixels(*ours, *sdl);
  }
}

// SDL widens a 5-bit green to 8 bits by scaling (16 becomes 131), we by repeating its top bits
// (16 becomes 132), so the two agree on everything but the lowest green bit of the 5-6-5 pixel,
// which for us is the repeated top bit of the stored green.
TEST(BmpSuiteGood, FiveFiveFivePictureRepeatsTheTopGreenBit) {
  const auto bytes = ReadFile(kSuite / "g/rgb16.bmp");
  const auto ours = DecodeBitmapFile(bytes, PixelFormat{});
  ASSERT_TRUE(ours.has_value());
  const SurfacePtr sdl = LoadWithSdl(bytes);
  ASSERT_NE(sdl, nullptr) << SDL_GetError();
  ExpectSamePixels(*ours, *sdl, static_cast<std::uint16_t>(~0x0020));
  int repeated_ones = 0;
  for (const std::uint16_t p : ours->pixels) {
    const int green = (p >> 5) & 0x3F;
    ASSERT_EQ(green & 1, green >> 5) << std::hex << p;
    repeated_ones += green & 1;
  }
  EXPECT_GT(repeated_ones, 0);  // the picture does have bright greens
}

// SDL refuses rgb32bf.bmp: its green mask 0x00000FF0 is no pixel format SDL knows. Its channels
// are whole bytes holding the very colours of rgb24.bmp, so SDL's reading of that file is the
// reference, and one pixel is worked out by hand from the file's bytes.
TEST(BmpSuiteGood, UnusualMasksGiveTheColoursOfTheTwentyFourBitPicture) {
  const auto bytes = ReadFile(kSuite / "g/rgb32bf.bmp");
  EXPECT_EQ(LoadWithSdl(bytes), nullptr);
  const auto ours = DecodeBitmapFile(bytes, PixelFormat{});
  ASSERT_TRUE(ours.has_value());
  // Second pixel of the first stored (bottom) row: 0x00080080 under the masks red 0xFF000000,
  // green 0x00000FF0, blue 0x00FF0000 is red 0, green 8, blue 8: 5-6-5 (0, 2, 1).
  ASSERT_EQ(ours->height, 64);
  EXPECT_EQ(ours->pixels[63 * ours->width + 1], 0x0041);
  const SurfacePtr reference = LoadWithSdl(ReadFile(kSuite / "g/rgb24.bmp"));
  ASSERT_NE(reference, nullptr) << SDL_GetError();
  ExpectSamePixels(*ours, *reference);
}

// The questionable files that both decoders accept must agree too.
TEST(BmpSuiteQuestionable, PicturesBothDecodersAcceptAgree) {
  int compared = 0;
  for (const auto& path : SuiteFiles("q")) {
    SCOPED_TRACE(path.filename().string());
    const auto bytes = ReadFile(path);
    const auto ours = DecodeBitmapFile(bytes, PixelFormat{});
    const SurfacePtr sdl = LoadWithSdl(bytes);
    if (!ours || !sdl) continue;
    ExpectSamePixels(*ours, *sdl);
    ++compared;
  }
  EXPECT_GE(compared, 10);
}

}  // namespace
}  // namespace tumu
