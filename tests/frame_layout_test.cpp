#include "platform/frame_layout.h"

#include <gtest/gtest.h>

namespace tumu {
namespace {

struct LayoutCase {
  int width;
  int height;
  ScaleMode mode;
  Rect target;
  bool smooth;
};

TEST(FrameLayout, PlacesTheFrameAsEachModeSays) {
  const LayoutCase cases[] = {
      {640, 480, ScaleMode::kPixel, {0, 0, 640, 480}, false},
      {640, 480, ScaleMode::kFit, {0, 0, 640, 480}, false},
      {640, 480, ScaleMode::kSmooth, {0, 0, 640, 480}, true},
      {1280, 960, ScaleMode::kFit, {0, 0, 1280, 960}, false},
      // Not a multiple of 640x480: whole pixels with bars all round, or as large as fits.
      {1000, 700, ScaleMode::kPixel, {180, 110, 640, 480}, false},
      {1000, 700, ScaleMode::kFit, {33, 0, 933, 700}, true},
      {1000, 700, ScaleMode::kSmooth, {33, 0, 933, 700}, true},
      {1920, 1080, ScaleMode::kPixel, {320, 60, 1280, 960}, false},
      {1920, 1080, ScaleMode::kFit, {240, 0, 1440, 1080}, true},
      {1280, 1060, ScaleMode::kFit, {0, 50, 1280, 960}, false},
      {2000, 1000, ScaleMode::kPixel, {360, 20, 1280, 960}, false},
      // Smaller than the screen: even whole pixels shrink the frame rather than cut it.
      {320, 240, ScaleMode::kPixel, {0, 0, 320, 240}, true},
      {0, 0, ScaleMode::kFit, {0, 0, 1, 1}, true},
  };
  for (const LayoutCase& c : cases) {
    const FrameLayout layout = LayOutFrame(c.width, c.height, c.mode);
    const Rect& t = layout.target;
    EXPECT_EQ(t.x, c.target.x) << c.width << "x" << c.height;
    EXPECT_EQ(t.y, c.target.y) << c.width << "x" << c.height;
    EXPECT_EQ(t.width, c.target.width) << c.width << "x" << c.height;
    EXPECT_EQ(t.height, c.target.height) << c.width << "x" << c.height;
    EXPECT_EQ(layout.smooth, c.smooth) << c.width << "x" << c.height;
  }
}

// Every output column and row of the frame maps to a game pixel, in order, and every game pixel
// is reached; points on the bars go to the nearest edge.
TEST(FrameLayout, MapsEveryOutputPointToTheGamePixelDrawnThere) {
  for (const auto& [width, height] :
       {std::pair{1000, 700}, {1920, 1080}, {1366, 768}, {800, 600}}) {
    for (const ScaleMode mode : {ScaleMode::kPixel, ScaleMode::kFit}) {
      const Rect t = LayOutFrame(width, height, mode).target;
      int expected_x = 0;
      for (int x = t.x; x < t.x + t.width; ++x) {
        const int game_x = OutputToScreen(t, x, t.y).x;
        ASSERT_TRUE(game_x == expected_x || game_x == expected_x + 1) << width << " x " << x;
        expected_x = game_x;
      }
      EXPECT_EQ(expected_x, kScreenWidth - 1);
      int expected_y = 0;
      for (int y = t.y; y < t.y + t.height; ++y) {
        const int game_y = OutputToScreen(t, t.x, y).y;
        ASSERT_TRUE(game_y == expected_y || game_y == expected_y + 1) << height << " y " << y;
        expected_y = game_y;
      }
      EXPECT_EQ(expected_y, kScreenHeight - 1);
      // The centre of each game pixel's area maps back to it.
      for (const int game : {0, 1, 213, 479}) {
        const int x = t.x + static_cast<int>((game + 0.5) * t.width / kScreenWidth);
        const int y = t.y + static_cast<int>((game + 0.5) * t.height / kScreenHeight);
        EXPECT_EQ(OutputToScreen(t, x, y).x, game);
        EXPECT_EQ(OutputToScreen(t, x, y).y, game);
      }
      EXPECT_EQ(OutputToScreen(t, 0, 0).x, 0);
      EXPECT_EQ(OutputToScreen(t, 0, 0).y, 0);
      EXPECT_EQ(OutputToScreen(t, width - 1, height - 1).x, kScreenWidth - 1);
      EXPECT_EQ(OutputToScreen(t, width - 1, height - 1).y, kScreenHeight - 1);
    }
  }
}

TEST(FrameLayout, PlacesAScreenRectangleOnTheOutput) {
  const Rect t = LayOutFrame(1920, 1080, ScaleMode::kPixel).target;  // 2x at (320, 60)
  const Rect box = ScreenToOutput(t, {150, 160, 180, 24});
  EXPECT_EQ(box.x, 620);
  EXPECT_EQ(box.y, 380);
  EXPECT_EQ(box.width, 360);
  EXPECT_EQ(box.height, 48);
  const Rect whole = ScreenToOutput(LayOutFrame(1000, 700, ScaleMode::kFit).target,
                                    {0, 0, kScreenWidth, kScreenHeight});
  EXPECT_EQ(whole.x, 33);
  EXPECT_EQ(whole.width, 933);
  EXPECT_EQ(whole.height, 700);
}

}  // namespace
}  // namespace tumu
