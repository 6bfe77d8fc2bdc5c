#include "picture/bitmap_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "test_pictures.h"

// Test bitmaps name only the fields that matter to them; the rest keep their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tumu {
namespace {

using namespace testing;
using Pixels = std::vector<std::uint16_t>;

const PixelFormat k565;
constexpr Rgb kGrey{128, 128, 128};  // 5-6-5 (16, 32, 16) = 0x8410
constexpr std::uint16_t kGrey565 = 0x8410;

Pixels Decode(const BitmapFile& file) {
  const auto picture = DecodeBitmapFile(file.Build(), k565);
  if (!picture) {
    ADD_FAILURE() << "the picture did not decode";
    return {};
  }
  EXPECT_EQ(picture->width, file.width);
  EXPECT_EQ(picture->height, std::abs(file.height));
  return picture->pixels;
}

bool Refused(const BitmapFile& file) { return !DecodeBitmapFile(file.Build(), k565).has_value(); }

// ---- Pictures that decode, in every depth and header. Rows are stored bottom-up unless the
// height is negative; expectations are written top-down.

struct DecodeCase {
  const char* what;
  BitmapFile file;
  Pixels expected;
};

TEST(DecodePicture, EveryDepthHeaderAndCompression) {
  const std::uint16_t b = kBlue565;
  const std::uint16_t w = kWhite565;
  const std::uint16_t r = kRed565;
  const std::uint16_t g = kGreen565;
  const std::uint16_t k = kBlack565;
  const std::uint32_t p = (0x3FFu << 20) | (0x200u << 10) | 4u;
  const Pixels two_by_three{r, g, b, g, w, w};
  const DecodeCase cases[] = {
      {"1-bit rows start at the highest bit and ignore their padding (set here on purpose)",
       {.width = 10, .height = 2, .bits = 1, .palette = {kBlue, kWhite},
        .pixels = {0b10100000, 0b11000000, 0xFF, 0xFF, 0b11111111, 0b01000000, 0x00, 0x00}},
       {w, w, w, w, w, w, w, w, b, w, w, b, w, b, b, b, b, b, w, w}},
      {"4-bit rows start at the high nibble; indexes past the table are black",
       {.width = 4, .height = 1, .bits = 4, .colours_used = 3, .palette = {kRed, kGreen, kBlue},
        .pixels = {0x21, 0x0F, 0x00, 0x00}},
       {b, g, r, k}},
      {"the 8-bit table has as many entries as the header says are used: index 2 is past it",
       {.width = 3, .height = 2, .bits = 8, .colours_used = 2, .palette = {kGrey, {8, 4, 8}, kWhite},
        .pixels = {0, 1, 2, 0xEE, 1, 0, 255, 0xEE}},
       {0x0821, kGrey565, k, kGrey565, 0x0821, k}},
      // 256 entries declared, two written: index 2 must not take its colour from the pixel
      // data, whose first bytes read as an entry would be green.
      {"the colour table ends where the pixel data begin",
       {.width = 3, .height = 1, .bits = 8, .colours_used = 256, .palette = {kRed, kGreen},
        .pixels = {2, 0xFF, 1, 0}},
       {k, k, g}},
      // 0x7FFF white. Green 16 of 31 widens to 132 (1000 0100), whose top six bits are 33:
      // without the repeated bits it would be 32. Red 1 widens to 8, giving 5-bit red 1; blue
      // likewise.
      {"16-bit without masks is 5-5-5 with repeated top bits",
       {.width = 4, .height = 1, .bits = 16,
        .pixels = {0xFF, 0x7F, 0x00, 0x02, 0x00, 0x04, 0x01, 0x00}},
       {w, 33 << 5, 1 << 11, 1}},
      // 4-bit channels: red 0xA becomes 0xAA (5-bit 0x15), green 0x5 becomes 0x55 (6-bit 0x15),
      // blue 0xF becomes 0xFF (5-bit 0x1F).
      {"narrow mask channels are widened by repeating their bits",
       {.width = 2, .height = 1, .bits = 16, .compression = 3, .masks = {0x0F00, 0x00F0, 0x000F},
        .pixels = {0x5F, 0x0A, 0x00, 0x0F}},
       {0xAABF, r}},
      {"24-bit rows are blue, green, red and padded: bottom red, top blue 255 and green 128",
       {.width = 1, .height = 2, .bits = 24,
        .pixels = {0x00, 0x00, 0xFF, 0xAA, 0xFF, 0x80, 0x00, 0xAA}},
       {(32 << 5) | 31, r}},
      {"32-bit defaults to blue, green, red and an unused byte: 0x30 -> 6, 0x20 -> 8, 0x10 -> 2",
       {.width = 1, .height = 1, .bits = 32, .pixels = {0x10, 0x20, 0x30, 0xAA}},
       {(6 << 11) | (8 << 5) | 2}},
      {"32-bit masks in a version 5 header",
       {.header_size = 124, .width = 2, .height = 1, .bits = 32, .compression = 3,
        .masks = {0x000000FF, 0x0000FF00, 0x00FF0000}, .pixels = {0x30, 0x20, 0x10, 0xAA, 0, 0, 0, 0}},
       {(6 << 11) | (8 << 5) | 2, k}},
      {"ten-bit channels keep their top eight bits: red all ones, green 0x200 -> 0x80, blue 4 -> 1",
       {.header_size = 124, .width = 2, .height = 1, .bits = 32, .compression = 3,
        .masks = {0x3FF00000, 0x000FFC00, 0x000003FF},
        .pixels = {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                   static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 24), 0, 0,
                   0, 0}},
       {r | (32 << 5), k}},
      {"the core header has 3-byte table entries: index 3 is past the three",
       {.header_size = 12, .width = 3, .height = 1, .bits = 8, .palette = {kRed, kGreen, kBlue},
        .pixels = {2, 1, 3, 0}},
       {b, g, k}},
      {"bottom-up", {.width = 2, .height = 3, .palette = {kRed, kGreen, kBlue, kWhite},
                     .pixels = {3, 3, 0, 0, 2, 1, 0, 0, 0, 1, 0, 0}},
       two_by_three},
      {"top-down gives the same picture",
       {.width = 2, .height = -3, .palette = {kRed, kGreen, kBlue, kWhite},
        .pixels = {0, 1, 0, 0, 2, 1, 0, 0, 3, 3, 0, 0}},
       two_by_three},
      {"8-bit run lengths, bottom up: 1 1 then end of line (index 0 = blue); 2 2 2 2",
       {.width = 4, .height = 2, .bits = 8, .compression = 1, .palette = {kBlue, kRed, kGreen},
        .pixels = {2, 1, 0, 0, 4, 2, 0, 1}},
       {g, g, g, g, r, r, b, b}},
      {"4-bit run lengths at an odd width: red and green alternate; green, red, then index 0",
       {.width = 9, .height = 2, .bits = 4, .compression = 2, .palette = {kBlack, kRed, kGreen},
        .pixels = {9, 0x12, 0, 0, 0, 3, 0x21, 0x00, 0, 1}},
       {g, r, k, k, k, k, k, k, k, r, g, r, g, r, g, r, g, r}},
      {"missing rows read as index 0: one whole row and one pixel of the second",
       {.width = 2, .height = 3, .palette = {kBlue, kRed}, .pixels = {1, 1, 0, 0, 1}},
       {b, b, r, b, r, r}},
      {"no pixel data at all (the offset is the file's end): a picture of index 0",
       {.width = 2, .height = 3, .palette = {kBlue, kRed}}, Pixels(6, b)},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Decode(c.file), c.expected);
  }
  // Masks after the header or inside it.
  for (const std::uint32_t header_size : {40u, 52u, 56u, 108u, 124u}) {
    SCOPED_TRACE(header_size);
    BitmapFile f{.header_size = header_size, .width = 3, .height = 1, .bits = 16,
                 .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}};
    f.pixels = {0x34, 0x12, 0xE0, 0x07, 0xFF, 0xFF, 0, 0};
    EXPECT_EQ(Decode(f), (Pixels{0x1234, g, w}));
  }
  // Unusual header sizes read their first forty bytes as the standard header; too short ones
  // are refused.
  for (const std::uint32_t header_size : {44u, 64u, 200u}) {
    SCOPED_TRACE(header_size);
    BitmapFile f{.header_size = header_size, .width = 2, .height = 1, .palette = {kRed, kGreen}};
    f.pixels = {1, 0, 0, 0};
    EXPECT_EQ(Decode(f), (Pixels{g, r}));
  }
  for (const std::uint32_t header_size : {0u, 16u, 39u}) {
    BitmapFile f{.header_size = header_size, .width = 2, .height = 1, .palette = {kRed}};
    f.pixels = {0, 0, 0, 0};
    EXPECT_TRUE(Refused(f)) << header_size;
  }
}

TEST(PackagedPicture, MarkerIsOptionalAndThePixelOffsetCountsFromTheBitmap) {
  BitmapFile plain{.width = 3, .height = 1, .palette = {kRed, kGreen, kBlue}};
  plain.pixels = {2, 0, 1, 0};
  BitmapFile marked = plain;
  marked.marker = true;
  const auto from_plain = DecodePackagedPicture(plain.Build(), k565);
  const auto from_marked = DecodePackagedPicture(marked.Build(), k565);
  ASSERT_TRUE(from_plain && from_marked);
  EXPECT_EQ(from_plain->pixels, (Pixels{kBlue565, kRed565, kGreen565}));
  EXPECT_EQ(from_marked->pixels, from_plain->pixels);
  // A plain bitmap file has no marker to skip.
  EXPECT_FALSE(DecodeBitmapFile(marked.Build(), k565).has_value());
  for (const Bytes& junk : {Bytes{}, Bytes{'Z', 'Q'}, Bytes{'Z', 'Q', 'B', 'M'}, Bytes{'M', 'B'}}) {
    EXPECT_FALSE(DecodePackagedPicture(junk, k565).has_value());
  }
}

// ---- Run-length expansion. Output buffers start filled with 0xAA so that the bytes an expansion
// writes (zeros included) show, and so do the ones it leaves alone.

struct RleCase {
  const char* what;
  int bits;
  Bytes data;
  int width;
  int height;
  Bytes expected;  // as long as the output buffer
};

TEST(RunLength, Expansion) {
  const std::uint8_t o = 0xAA;
  const int big = std::numeric_limits<int>::max();
  const RleCase cases[] = {
      // Width 6: rows 8 bytes apart. An encoded run of three 1s, an absolute run 2 3 4 with its
      // pad byte, an end of line right at the end of the full row (no row skipped), two 5s, end
      // of bitmap.
      {"runs, end of line and end of bitmap", 8, {3, 1, 0, 3, 2, 3, 4, 0xEE, 0, 0, 2, 5, 0, 1},
       6, 2, {1, 1, 1, 2, 3, 4, o, o, 5, 5, 0, 0, 0, 0, o, o}},
      {"an end of line in mid-row fills the rest with index 0", 8, {2, 7, 0, 0, 1, 8, 0, 1}, 4, 2,
       {7, 7, 0, 0, 8, 0, 0, 0}},
      {"a delta from (1, 0), right 2 and up 1: 2 + 1 x 4 zeros, so the 6 lands at (3, 1)", 8,
       {1, 9, 0, 2, 2, 1, 1, 6}, 4, 3, {9, 0, 0, 0, 0, 0, 0, 6, o, o, o, o}},
      {"a run wraps to the next row", 8, {6, 3}, 4, 2, {3, 3, 3, 3, 3, 3, o, o}},
      {"the ninth pixel of two rows of four has no row to go to; later data are ignored", 8,
       {9, 3, 4, 4, 0, 1}, 4, 2, {3, 3, 3, 3, 3, 3, 3, 3}},
      {"an absolute run of five whose data end after two pixels", 8, {0, 5, 1, 2}, 4, 2,
       {1, 2, o, o, o, o, o, o}},
      {"a delta without its offsets", 8, {1, 1, 0, 2, 5}, 4, 1, {1, o, o, o}},
      {"a lone count byte", 8, {1, 1, 2}, 4, 1, {1, o, o, o}},
      {"room for one row of the two: the second is never written", 8, {8, 4}, 4, 2,
       {4, 4, 4, 4, o, o}},
      {"no width", 8, {8, 4}, 0, 2, Bytes(4, o)},
      {"a negative height", 8, {8, 4}, 4, -1, Bytes(4, o)},
      {"a width too large", 8, {8, 4}, big, 1, Bytes(4, o)},
      // Width 9: ten nibbles (five bytes) per row, rows 8 bytes apart. The end of line fills the
      // tenth nibble; the end of bitmap fills the rest of the second row.
      {"4-bit rows of an odd width hold an even number of pixels", 4,
       {9, 0x12, 0, 0, 4, 0x34, 0, 1}, 9, 2,
       {0x12, 0x12, 0x12, 0x12, 0x10, o, o, o, 0x34, 0x34, 0x00, 0x00, 0x00, o, o, o}},
      {"a run of ten fills the last nibble too; the next pixel starts row two", 4,
       {10, 0x56, 0, 0, 1, 0x70}, 9, 2,
       {0x56, 0x56, 0x56, 0x56, 0x56, o, o, o, 0x7A, o, o, o, o, o, o, o}},
      {"five nibbles in three bytes: the next command starts one byte later, at offset 6", 4,
       {0, 5, 0x12, 0x34, 0x5F, 0xEE, 2, 0x9B}, 8, 1, {0x12, 0x34, 0x59, 0xBA}},
      {"the run's fifth pixel starts row two with the high nibble again, as its first did", 4,
       {6, 0x9A}, 4, 2, {0x9A, 0x9A, o, o, 0x9A, o, o, o}},
      {"at an odd pixel, the run's first pixel (high nibble) goes into a low nibble", 4,
       {1, 0x10, 3, 0x23}, 4, 1, {0x12, 0x32, o, o}},
      {"a run carried into the next row after an odd count goes on with the low nibble",
       4, {1, 0x10, 5, 0x9A}, 4, 2, {0x19, 0xA9, o, o, 0xA9, o, o, o}},
      // Width 3 is a row of four nibbles: from (1, 0), right 2 and up 1 is 2 + 4 zeros, so the 8
      // lands in the fourth nibble of row two, and the end of line there starts row three without
      // filling anything. The one in mid-row of row three zeroes the rest of it.
      {"4-bit deltas and ends of line count the row rounded up to even", 4,
       {1, 0x70, 0, 2, 2, 1, 1, 0x80, 0, 0, 1, 0x44, 0, 0}, 3, 3,
       {0x70, 0x00, o, o, 0x00, 0x08, o, o, 0x40, 0x00, o, o}},
  };
  for (const RleCase& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes out(c.expected.size(), o);
    (c.bits == 8 ? DecodeRle8 : DecodeRle4)(c.data, c.width, c.height, out);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(RunLength, OnlyBottomUpAtItsOwnDepth) {
  BitmapFile f{.width = 2, .height = 1, .bits = 8, .compression = 1, .palette = {kRed}};
  f.pixels = {2, 0, 0, 1};
  EXPECT_FALSE(Refused(f));
  f.height = -1;
  EXPECT_TRUE(Refused(f));
  f.height = 1;
  f.bits = 4;
  EXPECT_TRUE(Refused(f));
  f.compression = 2;
  EXPECT_FALSE(Refused(f));
  f.bits = 8;
  EXPECT_TRUE(Refused(f));
}

// ---- Broken and hostile files.

TEST(BrokenPicture, OffsetsOutsideTheFileMakeItUnreadable) {
  BitmapFile f{.width = 2, .height = 1, .palette = {kRed}};
  f.pixels = {0, 0, 0, 0};
  const auto size = static_cast<std::uint32_t>(f.Build().size());
  f.pixel_offset = size + 1;  // past the end
  EXPECT_TRUE(Refused(f));
  f.pixel_offset = 0xFFFFFFFF;
  EXPECT_TRUE(Refused(f));
  f.pixel_offset = 14 + 39;  // inside the information header
  EXPECT_TRUE(Refused(f));
  // The same with a marker, whose two bytes do not count.
  f.marker = true;
  f.pixel_offset = size + 1;
  EXPECT_FALSE(DecodePackagedPicture(f.Build(), k565).has_value());
  f.pixel_offset = size;
  EXPECT_TRUE(DecodePackagedPicture(f.Build(), k565).has_value());
  // Masks after a 40-byte header that would overlap the pixel data.
  BitmapFile masked{.width = 1, .height = 1, .bits = 16, .compression = 3, .masks = {0xF800}};
  masked.pixels = {0, 0, 0, 0};
  EXPECT_TRUE(Refused(masked));
}

TEST(BrokenPicture, SizesAndFieldsTheGameCannotShow) {
  const BitmapFile good{.width = 2, .height = 2, .palette = {kRed}};
  EXPECT_FALSE(Refused(good));
  auto with = [&](auto change) {
    BitmapFile f = good;
    change(f);
    return Refused(f);
  };
  EXPECT_TRUE(with([](BitmapFile& f) { f.width = 0; }));
  EXPECT_TRUE(with([](BitmapFile& f) { f.width = -2; }));
  EXPECT_TRUE(with([](BitmapFile& f) { f.height = 0; }));
  EXPECT_TRUE(with([](BitmapFile& f) { f.height = std::numeric_limits<std::int32_t>::min(); }));
  EXPECT_TRUE(with([](BitmapFile& f) { f.planes = 0; }));
  EXPECT_TRUE(with([](BitmapFile& f) { f.planes = 2; }));
  for (const std::uint16_t bits : {0, 2, 15, 64}) {
    EXPECT_TRUE(with([bits](BitmapFile& f) { f.bits = bits; })) << bits;
  }
  // Embedded JPEG and PNG, alpha bit fields, and nothing defined beyond.
  for (const std::uint32_t compression : {4u, 5u, 6u, 0x7FFFFFFFu}) {
    EXPECT_TRUE(with([compression](BitmapFile& f) { f.compression = compression; })) << compression;
  }
  // Bit fields only at 16 and 32 bits.
  EXPECT_TRUE(with([](BitmapFile& f) {
    f.compression = 3;
    f.masks = {0xE0, 0x1C, 0x03};
  }));
}

TEST(BrokenPicture, OnePictureMayNotAskForMoreThanThePixelLimit) {
  // 1-bit pictures without pixel data: tiny files that ask for big pictures.
  const BitmapFile base{.bits = 1, .palette = {kGrey}};
  auto sized = [&](std::int32_t width, std::int32_t height) {
    BitmapFile f = base;
    f.width = width;
    f.height = height;
    return f;
  };
  EXPECT_TRUE(Refused(sized(32769, 1)));
  EXPECT_TRUE(Refused(sized(1, 32769)));
  EXPECT_TRUE(Refused(sized(1, -32769)));
  EXPECT_TRUE(Refused(sized(32768, 1025)));
  EXPECT_TRUE(Refused(sized(std::numeric_limits<std::int32_t>::max(), 1)));
  const auto widest = DecodeBitmapFile(sized(32768, 1024).Build(), k565);
  ASSERT_TRUE(widest.has_value());
  EXPECT_EQ(widest->pixels.size(), 32u * 1024 * 1024);
  EXPECT_EQ(widest->pixels.back(), kGrey565);
  // The core header's 16-bit sizes go up to 65535.
  BitmapFile core = sized(65535, 1);
  core.header_size = 12;
  EXPECT_TRUE(Refused(core));
}

// Decodes every prefix of a file from an exact-size copy, so that the sanitizers see any read
// past the end. Prefixes that end before the pixel data are unreadable.
void ExpectEveryPrefixIsSafe(const Bytes& file, std::size_t pixel_offset) {
  for (std::size_t length = 0; length <= file.size(); ++length) {
    const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
    const auto picture = DecodeBitmapFile(prefix, k565);
    EXPECT_EQ(picture.has_value(), length >= pixel_offset) << length;
  }
}

TEST(BrokenPicture, EveryTruncationOfAFileIsSafe) {
  BitmapFile rle4{.width = 5, .height = 3, .bits = 4, .compression = 2, .palette = {kRed, kBlue}};
  rle4.pixels = {5, 0x01, 0, 0, 0, 3, 0x10, 0x10, 0, 2, 1, 0, 1, 0x11, 0, 1};
  BitmapFile rle8{.width = 5, .height = 3, .bits = 8, .compression = 1, .palette = {kRed, kBlue}};
  rle8.pixels = {2, 1, 0, 3, 1, 0, 1, 0, 0, 0, 0, 2, 1, 1, 7, 1};
  BitmapFile masks{.header_size = 108, .width = 3, .height = 2, .bits = 16, .compression = 3,
                   .masks = {0xF800, 0x07E0, 0x001F}};
  masks.pixels = Bytes(16, 0x5A);
  BitmapFile core{.header_size = 12, .width = 3, .height = 2, .bits = 24};
  core.pixels = Bytes(24, 0xC3);
  for (const BitmapFile* f : {&rle4, &rle8, &masks, &core}) {
    const Bytes whole = f->Build();
    ExpectEveryPrefixIsSafe(whole, whole.size() - f->pixels.size());
  }
}

// ---- The public BMP test suite: good files decode (their pixels are checked against SDL's
// loader elsewhere); questionable and bad ones decode or are refused, never misbehave.

const std::filesystem::path kSuite = std::filesystem::path(TUMU_TESTDATA_DIR) / "bmpsuite";

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(BmpSuite, EveryFileDecodesOrIsRefusedCleanly) {
  ASSERT_TRUE(std::filesystem::is_directory(kSuite)) << kSuite;
  std::vector<std::string> refused;
  int files = 0;
  for (const char* group : {"g", "q", "b"}) {
    for (const auto& entry : std::filesystem::directory_iterator(kSuite / group)) {
      if (entry.path().extension() != ".bmp") continue;
      ++files;
      const Bytes bytes = ReadFile(entry.path());
      const std::string name = std::string(group) + "/" + entry.path().filename().string();
      const auto picture = DecodePackagedPicture(bytes, k565);
      if (!picture) {
        refused.push_back(name);
        continue;
      }
      EXPECT_EQ(picture->pixels.size(),
                static_cast<std::size_t>(picture->width) * picture->height) << name;
      // Every truncation too, at a few dozen points.
      for (std::size_t length = 0; length < bytes.size(); length += bytes.size() / 37 + 1) {
        const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        (void)DecodeBitmapFile(prefix, k565);
      }
    }
  }
  EXPECT_GE(files, 60);
  std::sort(refused.begin(), refused.end());
  // 2-bit pixels, a 16-byte header, embedded JPEG and PNG, alpha bit fields; then the bad files:
  // an unknown bit count, planes 2, an absurd width, a huge size, a top-down run-length picture.
  EXPECT_EQ(refused, (std::vector<std::string>{
                         "b/badbitcount.bmp", "b/badplanes.bmp", "b/badwidth.bmp",
                         "b/reallybig.bmp", "b/rletopdown.bmp", "q/pal2.bmp",
                         "q/pal8os2v2-16.bmp", "q/rgb24jpeg.bmp", "q/rgb24png.bmp",
                         "q/rgba32abf.bmp"}));
}

// ---- Drawing a picture into a surface.

TEST(DrawPicture, CopiesTheSourceRectangleClippedToBoth) {
  const Picture picture{3, 2, {1, 2, 3, 4, 5, 6}};
  Surface565 dest(4, 3);
  auto draw = [&](int x, int y, Rect source) {
    dest.Fill(0xBEEF);
    DrawPicture(dest, x, y, picture, source);
    Pixels all;
    for (int row = 0; row < dest.height(); ++row) {
      for (int col = 0; col < dest.width(); ++col) all.push_back(dest.pixel(col, row));
    }
    return all;
  };
  const std::uint16_t o = 0xBEEF;
  EXPECT_EQ(draw(1, 0, {0, 0, 3, 2}), (Pixels{o, 1, 2, 3,  //
                                              o, 4, 5, 6,  //
                                              o, o, o, o}));
  // Off the top-left corner of the surface: only picture (1..2, 1) shows, at (0..1, 0).
  EXPECT_EQ(draw(-1, -1, {0, 0, 3, 2}), (Pixels{5, 6, o, o,  //
                                                o, o, o, o,  //
                                                o, o, o, o}));
  // A source rectangle reaching past the picture on every side copies only what exists, moved
  // by the part that lies before the picture.
  EXPECT_EQ(draw(0, 0, {-1, -1, 10, 10}), (Pixels{o, o, o, o,  //
                                                  o, 1, 2, 3,  //
                                                  o, 4, 5, 6}));
  EXPECT_EQ(draw(2, 1, {1, 1, 2, 1}), (Pixels{o, o, o, o,  //
                                              o, o, 5, 6,  //
                                              o, o, o, o}));
  // Nothing at all: empty, negative and far-away rectangles, extreme positions.
  const Pixels untouched(12, o);
  EXPECT_EQ(draw(0, 0, {0, 0, 0, 2}), untouched);
  EXPECT_EQ(draw(0, 0, {0, 0, -3, 2}), untouched);
  EXPECT_EQ(draw(0, 0, {3, 0, 5, 5}), untouched);
  EXPECT_EQ(draw(4, 0, {0, 0, 3, 2}), untouched);
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  EXPECT_EQ(draw(big, big, {0, 0, big, big}), untouched);
  EXPECT_EQ(draw(small, small, {0, 0, big, big}), untouched);
  EXPECT_EQ(draw(0, 0, {small, small, big, big}), untouched);
}

TEST(DrawPicture, APictureWithTooFewPixelsDrawsOnlyItsWholeRows) {
  const Picture picture{2, 3, {1, 2, 3}};
  Surface565 dest(2, 3);
  dest.Fill(0);
  DrawPicture(dest, 0, 0, picture, {0, 0, 2, 3});
  EXPECT_EQ(dest.pixel(0, 0), 1);
  EXPECT_EQ(dest.pixel(1, 0), 2);
  EXPECT_EQ(dest.pixel(0, 1), 0);
}

}  // namespace
}  // namespace tumu
