#include "platform/surface565.h"

#include <gtest/gtest.h>

#include "platform/screen.h"

namespace tumu {
namespace {

const PixelFormat k565;

std::uint16_t Channels(int r5, int g6, int b5) {
  return static_cast<std::uint16_t>((r5 << 11) | (g6 << 5) | b5);
}

TEST(ColorToPixel, ScalesAndClampsEachComponentIntoTheMasksOfTheFormat) {
  EXPECT_EQ(ColorToPixel(k565, 255, 0, 0), 0xF800);
  EXPECT_EQ(ColorToPixel(k565, 0, 255, 0), 0x07E0);
  EXPECT_EQ(ColorToPixel(k565, 0, 0, 255), 0x001F);
  EXPECT_EQ(ColorToPixel(k565, 300, -5, 128), ColorToPixel(k565, 255, 0, 128));
  // The low bits of a component are dropped, not rounded.
  EXPECT_EQ(ColorToPixel(k565, 7, 3, 7), 0);
  EXPECT_EQ(ColorToPixel(k565, 8, 4, 8), Channels(1, 1, 1));

  // Works from the masks of a five five five format.
  const PixelFormat f555{0x7C00, 0x03E0, 0x001F};
  EXPECT_EQ(ColorToPixel(f555, 255, 255, 255), 0x7FFF);
  EXPECT_EQ(ColorToPixel(f555, 0, 128, 0), 16 << 5);
}

TEST(PixelToColor, ReadsBackWithTheFiveSixFiveScaling) {
  EXPECT_EQ(PixelToColor(k565, ColorToPixel(k565, 255, 255, 255)), (Rgb{255, 255, 255}));
  EXPECT_EQ(PixelToColor(k565, ColorToPixel(k565, 128, 128, 128)), (Rgb{131, 129, 131}));
  EXPECT_EQ(PixelToColor(k565, ColorToPixel(k565, 0, 0, 0)), (Rgb{0, 0, 0}));
  // 255 / 31 and 255 / 63 truncate: channel 1 reads 8 and 4.
  EXPECT_EQ(PixelToColor(k565, Channels(1, 1, 1)), (Rgb{8, 4, 8}));
}

TEST(RestoreFrom, CopiesOnlyWhatWasWrittenAndBringsBackAReleasedSurface) {
  Surface565 original(3, 2);
  original.Fill(7);
  original.set_color_key(7);
  Surface565 copy(3, 2);
  copy.RestoreFrom(original);
  EXPECT_FALSE(copy.written());
  EXPECT_EQ(copy.pixel(2, 1), 7);

  // Every way of writing counts; reading a const surface does not.
  const Surface565& read_only = copy;
  EXPECT_EQ(read_only.row(0)[0], 7);
  EXPECT_FALSE(copy.written());
  copy.FillRect({1, 1, 1, 1}, 9);
  EXPECT_TRUE(copy.written());
  copy.RestoreFrom(original);
  EXPECT_EQ(copy.pixel(1, 1), 7);
  copy.set_pixel(0, 0, 5);
  EXPECT_TRUE(copy.written());
  copy.RestoreFrom(original);
  CopyRect(copy, 0, 0, original, WholeSurface(original));
  EXPECT_TRUE(copy.written());

  // A released surface draws nothing until it is restored, with its pixels and colour key.
  copy.RestoreFrom(original);
  copy.set_color_key(std::nullopt);
  copy.Release();
  EXPECT_TRUE(copy.empty());
  EXPECT_EQ(copy.width(), 0);
  copy.RestoreFrom(original);
  EXPECT_EQ(copy.width(), 3);
  EXPECT_EQ(copy.pixel(2, 1), 7);
  EXPECT_EQ(copy.color_key(), 7);

  // A surface of another size takes the original's.
  Surface565 other(5, 5);
  other.RestoreFrom(original);
  EXPECT_EQ(other.width(), 3);
  EXPECT_EQ(other.height(), 2);
  EXPECT_EQ(other.pixel(0, 1), 7);
}

TEST(FillRect, FillsOnlyThePartOnTheSurface) {
  Surface565 s(10, 6);
  s.Fill(1);
  s.FillRect({-3, 4, 5, 10}, 7);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(s.pixel(x, y), (y >= 4 && x < 2) ? 7 : 1) << x << "," << y;
    }
  }
  s.FillRect({10, 0, 5, 5}, 9);  // wholly outside
  s.FillRect({2, 2, 0, 3}, 9);   // empty
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 10; ++x) EXPECT_NE(s.pixel(x, y), 9);
  }
}

TEST(CopyRect, ClipsAgainstSourceAndDestination) {
  Surface565 source(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) source.set_pixel(x, y, static_cast<std::uint16_t>(10 * y + x + 1));
  }
  Surface565 dest(5, 5);
  dest.Fill(0);
  // Placed with its top-left outside the destination: the visible part starts at source (2, 1).
  CopyRect(dest, -2, -1, source, {0, 0, 4, 4});
  EXPECT_EQ(dest.pixel(0, 0), 10 * 1 + 2 + 1);
  EXPECT_EQ(dest.pixel(1, 2), 10 * 3 + 3 + 1);
  EXPECT_EQ(dest.pixel(2, 0), 0);
  EXPECT_EQ(dest.pixel(0, 3), 0);
  // A source rectangle that reaches past the source copies only what exists.
  dest.Fill(0);
  CopyRect(dest, 3, 3, source, {2, 2, 10, 10});
  EXPECT_EQ(dest.pixel(3, 3), 10 * 2 + 2 + 1);
  EXPECT_EQ(dest.pixel(4, 4), 10 * 3 + 3 + 1);
  EXPECT_EQ(dest.pixel(2, 2), 0);
}

TEST(CopyRect, NeverWritesOutsideTheDestination) {
  Surface565 source(30, 30);
  source.Fill(5);
  for (int dx : {-40, -29, -1, 0, 3, 9, 10, 40}) {
    for (int dy : {-40, -1, 0, 9, 10}) {
      Surface565 dest(10, 10);
      dest.Fill(0);
      CopyRect(dest, dx, dy, source, {-5, -5, 50, 50});
      CopyRectKeyed(dest, dx, dy, source, {-5, -5, 50, 50});
      // ASan catches writes past the pixel buffer. The rectangle's part before the source's
      // corner is cut away, so the source's pixel (0, 0) lands at (dx + 5, dy + 5).
      int filled = 0;
      for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) filled += dest.pixel(x, y) == 5;
      }
      const int w = std::max(0, std::min(10, dx + 35) - std::max(0, dx + 5));
      const int h = std::max(0, std::min(10, dy + 35) - std::max(0, dy + 5));
      EXPECT_EQ(filled, w * h) << dx << "," << dy;
    }
  }
}

TEST(CopyRectKeyed, LeavesKeyPixelsOut) {
  Surface565 source(3, 1);
  source.set_pixel(0, 0, 0xFFFF);
  source.set_pixel(1, 0, 0x1234);
  source.set_pixel(2, 0, 0xFFFF);
  source.set_color_key(0xFFFF);
  Surface565 dest(3, 1);
  dest.Fill(0x0042);
  CopyRectKeyed(dest, 0, 0, source, WholeSurface(source));
  EXPECT_EQ(dest.pixel(0, 0), 0x0042);
  EXPECT_EQ(dest.pixel(1, 0), 0x1234);
  EXPECT_EQ(dest.pixel(2, 0), 0x0042);
  // Without a key the copy is opaque.
  source.set_color_key(std::nullopt);
  CopyRectKeyed(dest, 0, 0, source, WholeSurface(source));
  EXPECT_EQ(dest.pixel(0, 0), 0xFFFF);
}

TEST(DarkenRect, ShiftsEachChannelWithoutCarryingIntoTheNext) {
  const std::uint16_t white = Channels(31, 63, 31);
  const std::uint16_t odd = Channels(1, 1, 1);  // a low bit in every channel
  struct Case {
    int mode;
    std::uint16_t white_becomes, odd_becomes;
  };
  const Case cases[] = {
      {-1, 0, 0}, {0, 0, 0}, {1, Channels(7, 15, 7), 0}, {2, Channels(15, 31, 15), 0},
      {3, Channels(22, 46, 22), 0}, {4, white, odd}, {9, white, odd},
  };
  Surface565 s(5, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    s.Fill(white);
    s.set_pixel(1, 0, odd);
    DarkenRect(s, k565, {0, 0, 2, 1}, c.mode);
    EXPECT_EQ(s.pixel(0, 0), c.white_becomes);
    EXPECT_EQ(s.pixel(1, 0), c.odd_becomes);
    EXPECT_EQ(s.pixel(2, 0), white) << "outside the rectangle";
  }
  // Mode three of separate channels.
  s.set_pixel(0, 0, Channels(31, 0, 0));
  s.set_pixel(1, 0, Channels(0, 63, 0));
  s.set_pixel(2, 0, Channels(0, 0, 3));
  DarkenRect(s, k565, {0, 0, 3, 1}, 3);
  EXPECT_EQ(s.pixel(0, 0), Channels(22, 0, 0));
  EXPECT_EQ(s.pixel(1, 0), Channels(0, 46, 0));
  EXPECT_EQ(s.pixel(2, 0), Channels(0, 0, 1));
}

TEST(CrossFade, BlendsAtEachLevelWithSeparateShifts) {
  Surface565 out(2, 1), in(2, 1), dest(2, 1);
  out.set_pixel(0, 0, Channels(31, 63, 31));
  in.set_pixel(0, 0, Channels(0, 0, 0));
  out.set_pixel(1, 0, Channels(3, 5, 0));
  in.set_pixel(1, 0, Channels(29, 60, 31));
  struct Expect {
    int level;
    std::uint16_t first;
    std::uint16_t second;
  };
  const Expect expected[] = {
      {0, Channels(31, 63, 31), Channels(3, 5, 0)},
      // in/4 + out/2 + out/4
      {1, Channels(22, 46, 22), Channels(7 + 1 + 0, 15 + 2 + 1, 7)},
      // in/2 + out/2
      {2, Channels(15, 31, 15), Channels(14 + 1, 30 + 2, 15)},
      // out/4 + in/2 + in/4
      {3, Channels(7, 15, 7), Channels(0 + 14 + 7, 1 + 30 + 15, 15 + 7)},
  };
  for (const Expect& e : expected) {
    dest.Fill(0x5555);
    CrossFade(dest, k565, out, in, e.level);
    EXPECT_EQ(dest.pixel(0, 0), e.first) << "level " << e.level;
    EXPECT_EQ(dest.pixel(1, 0), e.second) << "level " << e.level;
  }
  dest.Fill(0x5555);
  CrossFade(dest, k565, out, in, 4);
  EXPECT_EQ(dest.pixel(0, 0), 0x5555) << "other levels draw nothing";
}

TEST(Screen, WorkSurfacesHaveTheirSizesAndKeys) {
  Screen screen;
  CreateWorkSurfaces(screen);
  SetLayerColorKeys(screen, 255, 0, 255);
  EXPECT_EQ(screen.back_surface.width(), 640);
  EXPECT_EQ(screen.dialogue_text_surface.height(), 240);
  EXPECT_EQ(screen.choice_bar_surface.width(), 600);
  EXPECT_EQ(screen.variable_surface.height(), 300);
  EXPECT_EQ(screen.click_mark_surface.height(), 160);
  EXPECT_EQ(screen.partial_surface[3].width(), 640);
  EXPECT_EQ(screen.person_surface.color_key(), ColorToPixel(k565, 255, 0, 255));
  EXPECT_EQ(screen.variable_surface.color_key(), ColorToPixel(k565, 255, 255, 255));
  EXPECT_EQ(screen.mask_surface.color_key(), 0);
  EXPECT_FALSE(screen.background_surface.color_key().has_value());
  EXPECT_FALSE(screen.choice_bar_surface.color_key().has_value());
  InitChoiceBar(screen);
  EXPECT_EQ(screen.choice_bar_surface.pixel(599, 49), 0xF800);
  ReleaseDisplay(screen);
  ReleaseDisplay(screen);
  EXPECT_TRUE(screen.back_surface.empty());
  EXPECT_TRUE(screen.mask_surface.empty());
}

}  // namespace
}  // namespace tumu
