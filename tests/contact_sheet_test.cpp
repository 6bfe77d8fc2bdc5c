#include "platform/contact_sheet.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace tumu {
namespace {

TEST(ContactSheet, LaysOutQuarterSizeFramesInRowsOfFive) {
  ContactSheet sheet;
  EXPECT_TRUE(sheet.Compose().empty());
  Surface565 frame(kScreenWidth, kScreenHeight);
  for (int i = 1; i <= 7; ++i) {
    frame.Fill(static_cast<std::uint16_t>(0x0841 * i));
    sheet.Add(frame);
  }
  const Surface565 picture = sheet.Compose();
  // Five columns and two rows of 160x120, 4 pixels apart and around.
  ASSERT_EQ(picture.width(), 4 + 5 * 164);
  ASSERT_EQ(picture.height(), 4 + 2 * 124);
  EXPECT_EQ(picture.pixel(4, 4), 0x0841);
  EXPECT_EQ(picture.pixel(4 + 4 * 164 + 159, 4 + 119), 0x0841 * 5);
  EXPECT_EQ(picture.pixel(4 + 164, 4 + 124), 0x0841 * 7);
  EXPECT_EQ(picture.pixel(4 + 160, 4), picture.pixel(0, 0)) << "a gap between frames";

  // Each thumbnail pixel averages its square channel by channel: columns of full red and black,
  // rows of full blue and green give half of each.
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      frame.set_pixel(x, y, static_cast<std::uint16_t>((x % 2 == 0 ? 0xF800 : 0) |
                                                       (y % 2 == 0 ? 0x001F : 0x07E0)));
    }
  }
  ContactSheet mixed;
  mixed.Add(frame);
  EXPECT_EQ(mixed.Compose().pixel(10, 10), (16 << 11) | (32 << 5) | 16);
}

}  // namespace
}  // namespace tumu
