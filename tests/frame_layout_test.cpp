#include "platform/frame_layout.h"

#include <gtest/gtest.h>

namespace tumu {
namespace {

TEST(FrameLayout, PlacesTheFrameAsEachModeSays) {
  struct Case {
    int width, height;
    ScaleMode mode;
    Rect target;
    bool smooth;
  };
  const Case cases[] = {
      {640, 480, ScaleMode::kFit, {0, 0, 640, 480}, false},
      {640, 480, ScaleMode::kSmooth, {0, 0, 640, 480}, true},
      {1280, 960, ScaleMode::kFit, {0, 0, 1280, 960}, false},
      // Not a multiple of 640x480: whole pixels with bars all round, or as large as fits.
      {1000, 700, ScaleMode::kPixel, {180, 110, 640, 480}, false},
      {1000, 700, ScaleMode::kFit, {33, 0, 933, 700}, true},
      {1920, 1080, ScaleMode::kPixel, {320, 60, 1280, 960}, false},
      {1920, 1080, ScaleMode::kFit, {240, 0, 1440, 1080}, true},
      {1280, 1060, ScaleMode::kFit, {0, 50, 1280, 960}, false},
      // Smaller than the screen: even whole pixels shrink the frame rather than cut it.
      {320, 240, ScaleMode::kPixel, {0, 0, 320, 240}, true},
      {0, 0, ScaleMode::kFit, {0, 0, 1, 1}, true},
  };
  for (const Case& c : cases) {
    const FrameLayout layout = LayOutFrame(c.width, c.height, c.mode);
    const Rect& t = layout.target;
    EXPECT_TRUE(t.x == c.target.x && t.y == c.target.y && t.width == c.target.width &&
                t.height == c.target.height && layout.smooth == c.smooth)
        << c.width << "x" << c.height << ": " << t.x << "," << t.y << " " << t.width << "x"
        << t.height;
  }
  // The input box's place on the output, at twice the size with bars.
  const Rect box = ScreenToOutput({320, 60, 1280, 960}, {150, 160, 180, 24});
  EXPECT_TRUE(box.x == 620 && box.y == 380 && box.width == 360 && box.height == 48);
}

// Every output column and row of the frame maps to the game pixel drawn there (the one under its
// centre), in order, and every game pixel is reached; points on the bars go to the nearest edge.
TEST(FrameLayout, MapsEveryOutputPointToTheGamePixelDrawnThere) {
  for (const auto& [width, height] :
       {std::pair{1000, 700}, {1920, 1080}, {1366, 768}, {800, 600}}) {
    for (const ScaleMode mode : {ScaleMode::kPixel, ScaleMode::kFit}) {
      const Rect t = LayOutFrame(width, height, mode).target;
      int last_x = 0;
      for (int x = t.x; x < t.x + t.width; ++x) {
        const int game_x = OutputToScreen(t, x, t.y).x;
        ASSERT_TRUE(game_x == last_x || game_x == last_x + 1) << width << " x " << x;
        last_x = game_x;
      }
      EXPECT_EQ(last_x, kScreenWidth - 1);
      int last_y = 0;
      for (int y = t.y; y < t.y + t.height; ++y) {
        const int game_y = OutputToScreen(t, t.x, y).y;
        ASSERT_TRUE(game_y == last_y || game_y == last_y + 1) << height << " y " << y;
        last_y = game_y;
      }
      EXPECT_EQ(last_y, kScreenHeight - 1);
      // 1.25 output pixels a game pixel: output pixel 1 shows game pixel 1.
      if (width == 800 && mode == ScaleMode::kFit) {
        EXPECT_EQ(OutputToScreen(t, 1, 1).x, 1);
      }
      EXPECT_EQ(OutputToScreen(t, 0, 0).y, 0);
      EXPECT_EQ(OutputToScreen(t, width - 1, height - 1).x, kScreenWidth - 1);
    }
  }
}

}  // namespace
}  // namespace tumu
