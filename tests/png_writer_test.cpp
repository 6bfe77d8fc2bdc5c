#include "platform/png_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "golden.h"
#include "test_game.h"
#include "test_png_reader.h"

namespace tumu {
namespace {

using testing::ReadPngForTest;
using testing::TestGame;  // for its temporary folder
using testing::RgbImage;
using Pixel = RgbImage::Pixel;

TEST(WritePng, WidensEachChannelByRepeatingItsTopBits) {
  // 3 pixels wide, so rows of the surface carry padding that must not reach the file.
  Surface565 frame(3, 2);
  frame.set_pixel(0, 0, 0x0000);
  frame.set_pixel(1, 0, 0xFFFF);
  frame.set_pixel(2, 0, 0xF800);  // red 31
  frame.set_pixel(0, 1, 0x0841);  // red 1, green 2, blue 1
  frame.set_pixel(1, 1, 0x7BEF);  // red 15, green 31, blue 15
  frame.set_pixel(2, 1, 0x2185);  // red 4, green 12, blue 5
  const TestGame dir;
  const auto path = dir.Path("widen.png");
  std::string error;
  ASSERT_TRUE(WritePng(path, frame, &error)) << error;

  RgbImage image;
  ASSERT_TRUE(ReadPngForTest(path, &image, &error)) << error;
  ASSERT_EQ(image.width, 3);
  ASSERT_EQ(image.height, 2);
  EXPECT_EQ(image.at(0, 0), (Pixel{0, 0, 0}));
  EXPECT_EQ(image.at(1, 0), (Pixel{255, 255, 255}));
  EXPECT_EQ(image.at(2, 0), (Pixel{255, 0, 0}));
  EXPECT_EQ(image.at(0, 1), (Pixel{8, 8, 8}));
  EXPECT_EQ(image.at(1, 1), (Pixel{123, 125, 123}));
  EXPECT_EQ(image.at(2, 1), (Pixel{33, 48, 41}));
}

TEST(WritePng, KeepsEveryPixelOfAFullFrameInPlace) {
  Surface565 frame(640, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      frame.set_pixel(x, y, static_cast<std::uint16_t>(x * 97 + y * 7919));
    }
  }
  const TestGame dir;
  const auto path = dir.Path("full.png");
  std::string error;
  ASSERT_TRUE(WritePng(path, frame, &error)) << error;
  // Read back through libpng, the top bits of each widened channel are the channel itself.
  const Surface565 back = testing::ReadPng(path);
  ASSERT_EQ(back.width(), 640);
  ASSERT_EQ(back.height(), 480);
  EXPECT_EQ(testing::FrameCrc(back), testing::FrameCrc(frame));
}

TEST(WritePng, ReportsWhatCannotBeWritten) {
  const TestGame dir;
  Surface565 frame(4, 4);
  std::string error;
  EXPECT_FALSE(WritePng("/nonexistent-folder-of-tumu/shot.png", frame, &error));
  EXPECT_NE(error.find("/nonexistent-folder-of-tumu/shot.png"), std::string::npos) << error;

  // A folder in the place of the file.
  error.clear();
  EXPECT_FALSE(WritePng(dir.dir(), frame, &error));
  EXPECT_FALSE(error.empty());

  error.clear();
  EXPECT_FALSE(WritePng(dir.Path("empty.png"), Surface565(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.Path("empty.png")));
}

}  // namespace
}  // namespace tumu
