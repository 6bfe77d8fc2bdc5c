#include "platform/contact_sheet.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace tumu {
namespace {

Surface565 Solid(std::uint16_t pixel) {
  Surface565 frame(kScreenWidth, kScreenHeight);
  frame.Fill(pixel);
  return frame;
}

TEST(ContactSheet, LaysOutQuarterSizeFramesInRowsOfFive) {
  ContactSheet sheet;
  EXPECT_TRUE(sheet.Compose().empty());
  for (int i = 0; i < 7; ++i) sheet.Add(Solid(static_cast<std::uint16_t>(0x0841 * (i + 1))));
  const Surface565 picture = sheet.Compose();
  // Five columns and two rows of 160x120, 4 pixels apart and around.
  ASSERT_EQ(picture.width(), 4 + 5 * 164);
  ASSERT_EQ(picture.height(), 4 + 2 * 124);
  EXPECT_EQ(picture.pixel(4, 4), 0x0841);
  EXPECT_EQ(picture.pixel(4 + 4 * 164 + 159, 4 + 119), 0x0841 * 5);
  EXPECT_EQ(picture.pixel(4 + 164, 4 + 124), 0x0841 * 7);
  EXPECT_NE(picture.pixel(4 + 160, 4), picture.pixel(4 + 159, 4)) << "a gap between frames";
  EXPECT_EQ(picture.pixel(4 + 2 * 164, 4 + 124), picture.pixel(0, 0)) << "no frame in the last places";
}

TEST(ContactSheet, ShrinksByAveragingEachChannel) {
  Surface565 frame(kScreenWidth, kScreenHeight);
  // Columns alternate full red and black, rows alternate full blue and green.
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      frame.set_pixel(x, y,
                      static_cast<std::uint16_t>((x % 2 == 0 ? 0xF800 : 0) |
                                                 (y % 2 == 0 ? 0x001F : 0x07E0)));
    }
  }
  ContactSheet sheet;
  sheet.Add(frame);
  // Half of 31, half of 63 and half of 31, rounded.
  EXPECT_EQ(sheet.Compose().pixel(10, 10), (16 << 11) | (32 << 5) | 16);
}

TEST(ContactSheet, KeepsTheFirstFramesOfALongRun) {
  ContactSheet sheet;
  for (int i = 0; i < ContactSheet::kMaxFrames; ++i) ASSERT_TRUE(sheet.Add(Solid(0)));
  EXPECT_FALSE(sheet.Add(Solid(0)));
  EXPECT_EQ(sheet.count(), ContactSheet::kMaxFrames);
}

}  // namespace
}  // namespace tumu
