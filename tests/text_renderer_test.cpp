#include "platform/text_renderer.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/sjis_literal.h"

namespace tumu {
namespace {

using namespace literals;

// fonts-ipafont-gothic, which the test machines install. Its metrics, read from the font's own
// tables: 2048 units per em, ascender 1802, descender -246, half-width characters 1024 units and
// full-width ones 2048; so its cell is exactly one em and its baseline 1802/2048 down the cell.
constexpr const char* kIpaGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

constexpr std::uint16_t kUntouched = 0x1234;
constexpr std::uint16_t kInk = 0xF800;
constexpr std::uint16_t kPaper = 0x001F;

// The heights the game's text styles and the error screen use.
constexpr int kGameHeights[] = {8, 11, 14, 16, 18, 23, 38, 80};

class TextRendererTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    font_ = TextRenderer::Open(kIpaGothic, &error);
    ASSERT_NE(font_, nullptr) << "install fonts-ipafont-gothic: " << error;
  }
  static void TearDownTestSuite() { font_.reset(); }

  void SetUp() override { ASSERT_NE(font_, nullptr); }

  static std::unique_ptr<TextRenderer> font_;
};

std::unique_ptr<TextRenderer> TextRendererTest::font_;

Surface565 Blank(int width, int height) {
  Surface565 s(width, height);
  s.Fill(kUntouched);
  return s;
}

int CountIn(const Surface565& s, const Rect& r, std::uint16_t value) {
  int n = 0;
  for (int y = r.y; y < r.y + r.height; ++y) {
    for (int x = r.x; x < r.x + r.width; ++x) n += s.pixel(x, y) == value;
  }
  return n;
}

// Checks that exactly the box was painted: inside only ink and paper, outside nothing changed.
void ExpectOnlyBoxPainted(const Surface565& s, const Rect& box) {
  int stray = 0;
  int foreign = 0;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const bool inside =
          x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
      const std::uint16_t p = s.pixel(x, y);
      if (inside) {
        foreign += p != kInk && p != kPaper;
      } else {
        stray += p != kUntouched;
      }
    }
  }
  EXPECT_EQ(stray, 0) << "pixels changed outside the box";
  EXPECT_EQ(foreign, 0) << "pixels inside the box that are neither text nor background colour";
}

// The lowest cell row of the text's ink, or -1 when there is none.
int LowestInkRow(const Surface565& s) {
  for (int y = s.height() - 1; y >= 0; --y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.pixel(x, y) == kInk) return y;
    }
  }
  return -1;
}

TEST(TextRendererOpen, AMissingOrUnusableFileFailsWithAReason) {
  std::string error;
  EXPECT_EQ(TextRenderer::Open("/nonexistent/dir/font.ttf", &error), nullptr);
  EXPECT_NE(error.find("/nonexistent/dir/font.ttf"), std::string::npos) << error;

  const std::filesystem::path not_a_font =
      std::filesystem::temp_directory_path() / ("tumu-not-a-font-" + std::to_string(getpid()));
  std::ofstream(not_a_font) << "this is a text file, not a font\n";
  error.clear();
  EXPECT_EQ(TextRenderer::Open(not_a_font.string(), &error), nullptr);
  EXPECT_FALSE(error.empty());
  std::filesystem::remove(not_a_font);
}

TEST(TextRendererOpen, WithoutAPathFindsAFontThatDrawsJapanese) {
  std::string error;
  auto font = TextRenderer::Open("", &error);
  ASSERT_NE(font, nullptr) << error;
  EXPECT_FALSE(font->font_file().empty());
  // A font without kana would draw the same missing-glyph box for both characters.
  Surface565 a = Blank(20, 16);
  Surface565 i = Blank(20, 16);
  font->DrawText(a, 0, 0, "あ"_sj, 16, kInk, kPaper);
  font->DrawText(i, 0, 0, "い"_sj, 16, kInk, kPaper);
  EXPECT_GT(CountIn(a, WholeSurface(a), kInk), 10);
  EXPECT_GT(CountIn(i, WholeSurface(i), kInk), 10);
  int differing = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 20; ++x) differing += a.pixel(x, y) != i.pixel(x, y);
  }
  EXPECT_GT(differing, 10);
}

TEST_F(TextRendererTest, HalfWidthIsHalfTheHeightAndFullWidthTheHeight) {
  EXPECT_EQ(font_->MeasureText("A", 16), 8);
  EXPECT_EQ(font_->MeasureText("あ"_sj, 16), 16);
  EXPECT_EQ(font_->MeasureText("ABC", 18), 27);
  EXPECT_EQ(font_->MeasureText("あいう"_sj, 18), 54);
  // Half-width katakana, full-width kanji and Latin in one row.
  EXPECT_EQ(font_->MeasureText("Aあｱ漢1"_sj, 16), 8 + 16 + 8 + 16 + 8);
  for (int h : kGameHeights) {
    SCOPED_TRACE(h);
    EXPECT_EQ(font_->MeasureText("漢字かな"_sj, h), 4 * h);
    if (h % 2 == 0) {
      EXPECT_EQ(font_->MeasureText("Ab9ｶ"_sj, h), 4 * (h / 2));
    }
  }
  EXPECT_EQ(font_->MeasureText("", 16), 0);
  EXPECT_EQ(font_->MeasureText("A", 0), 0);
  EXPECT_EQ(font_->MeasureText("A", -3), 0);
}

TEST_F(TextRendererTest, PaintsOnlyItsMeasuredBoxInTextAndBackgroundColours) {
  const std::string_view text = "Aあｱ漢g"_sj;
  for (int h : kGameHeights) {
    SCOPED_TRACE(h);
    Surface565 s = Blank(5 * h + 20, h + 20);
    const int width = font_->DrawText(s, 7, 5, text, h, kInk, kPaper);
    EXPECT_EQ(width, font_->MeasureText(text, h));
    // Two full-width and three half-width characters; half of an odd height rounds up.
    EXPECT_EQ(width, 2 * h + 3 * ((h + 1) / 2));
    const Rect box{7, 5, width, h};
    ExpectOnlyBoxPainted(s, box);
    // Every character left some ink, and the background is most of the box.
    EXPECT_GT(CountIn(s, box, kInk), 5 * h / 2);
    EXPECT_GT(CountIn(s, box, kPaper), CountIn(s, box, kInk));
  }
}

TEST_F(TextRendererTest, AKanjiHasInkAcrossItsCell) {
  for (int h : {16, 18}) {
    SCOPED_TRACE(h);
    Surface565 s = Blank(h, h);
    font_->DrawText(s, 0, 0, "漢"_sj, h, kInk, kPaper);
    const int left = CountIn(s, {0, 0, h / 2, h}, kInk);
    const int right = CountIn(s, {h / 2, 0, h - h / 2, h}, kInk);
    // 漢 has a water radical on the left and a dense right part: ink on both sides, far from full.
    EXPECT_GE(left, h / 2);
    EXPECT_GE(right, h);
    EXPECT_LT(left + right, h * h * 3 / 4);
  }
}

TEST_F(TextRendererTest, TheBaselineLiesTheScaledAscenderBelowTheCellTop) {
  // Baselines: 1802/2048 of 16 is 14.08, of 18 is 15.84, of 80 is 70.39, rounded. IPAGothic's
  // "H" stands 104 units above the baseline (0.81, 0.91 and 4.06 pixels at those heights), and
  // the tail of its "g" reaches 190 units below it.
  struct Case {
    int height;
    int baseline;
    int lowest_row_of_h;
  };
  const Case cases[] = {{16, 14, 14 - 1 - 1}, {18, 16, 16 - 1 - 1}, {80, 70, 70 - 4 - 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    Surface565 capital = Blank(c.height, c.height);
    font_->DrawText(capital, 0, 0, "H", c.height, kInk, kPaper);
    EXPECT_EQ(LowestInkRow(capital), c.lowest_row_of_h);
    Surface565 descender = Blank(c.height, c.height);
    font_->DrawText(descender, 0, 0, "g", c.height, kInk, kPaper);
    EXPECT_GE(LowestInkRow(descender), c.baseline);
  }
}

TEST_F(TextRendererTest, InkReachingAboveTheCellIsCutAtTheCell) {
  // At 16 pixels IPAGothic sets the full-width macron one row above the cell top; at 18 it sits
  // inside the cell.
  Surface565 s = Blank(40, 30);
  const int width = font_->DrawText(s, 3, 5, "￣A"_sj, 16, kInk, kPaper);
  EXPECT_EQ(width, 24);
  ExpectOnlyBoxPainted(s, {3, 5, width, 16});
  EXPECT_EQ(CountIn(s, {3, 5, 16, 16}, kInk), 0);

  Surface565 t = Blank(40, 30);
  font_->DrawText(t, 3, 5, "￣"_sj, 18, kInk, kPaper);
  ExpectOnlyBoxPainted(t, {3, 5, 18, 18});
  EXPECT_GE(CountIn(t, {3, 5, 18, 18}, kInk), 9);
}

TEST_F(TextRendererTest, ClipsAtEveryEdgeWithoutChangingWhatItShows) {
  const std::string_view text = "漢字Ag"_sj;
  const int h = 18;
  const int width = font_->MeasureText(text, h);
  // The reference: the whole text drawn well inside a large surface at (40, 30).
  Surface565 whole = Blank(width + 80, h + 60);
  font_->DrawText(whole, 40, 30, text, h, kInk, kPaper);

  const int positions_x[] = {-width - 5, -width, -width + 1, -13, -1, 0, 5, 20 - width, 19, 20, 300};
  const int positions_y[] = {-h - 3, -h, -h + 1, -7, 0, 3, 11, 12, 100};
  for (int x : positions_x) {
    for (int y : positions_y) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      Surface565 s = Blank(20, 12);  // smaller than the text in both directions
      EXPECT_EQ(font_->DrawText(s, x, y, text, h, kInk, kPaper), width);
      int mismatches = 0;
      for (int sy = 0; sy < s.height(); ++sy) {
        for (int sx = 0; sx < s.width(); ++sx) {
          const int tx = sx - x;
          const int ty = sy - y;
          const bool in_box = tx >= 0 && tx < width && ty >= 0 && ty < h;
          const std::uint16_t expected = in_box ? whole.pixel(40 + tx, 30 + ty) : kUntouched;
          mismatches += s.pixel(sx, sy) != expected;
        }
      }
      EXPECT_EQ(mismatches, 0);
    }
  }
}

TEST_F(TextRendererTest, SurvivesExtremePositionsAndSurfaces) {
  const std::string_view text = "極大の文字"_sj;
  Surface565 tiny = Blank(3, 2);
  EXPECT_EQ(font_->DrawText(tiny, 1, 1, text, 80, kInk, kPaper), 5 * 80);
  ExpectOnlyBoxPainted(tiny, {1, 1, 2, 1});

  Surface565 empty;
  EXPECT_EQ(font_->DrawText(empty, 0, 0, text, 80, kInk, kPaper), 5 * 80);

  Surface565 s = Blank(16, 16);
  for (int far : {INT_MIN, INT_MIN + 1, -100000, INT_MAX - 10, INT_MAX}) {
    font_->DrawText(s, far, 0, text, 16, kInk, kPaper);
    font_->DrawText(s, 0, far, text, 16, kInk, kPaper);
    font_->DrawText(s, far, far, text, 16, kInk, kPaper);
  }
  EXPECT_EQ(CountIn(s, WholeSurface(s), kUntouched), 16 * 16);

  // No height: nothing drawn, nothing measured.
  EXPECT_EQ(font_->DrawText(s, 0, 0, text, 0, kInk, kPaper), 0);
  EXPECT_EQ(font_->DrawText(s, 0, 0, text, -18, kInk, kPaper), 0);
  EXPECT_EQ(CountIn(s, WholeSurface(s), kUntouched), 16 * 16);
}

TEST_F(TextRendererTest, BytesThatAreNoCharacterStillTakeRoomAndNeverCrash) {
  // A lone 0xFF, a lead byte with an invalid trail byte, an unassigned code and a lead byte cut
  // off at the end of the text.
  const std::string texts[] = {"\xFF", "\x81\x01", "\x85\x40", "A\x81", "\xFF\xFE\xFD\xA0\x80"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text));
    const int width = font_->MeasureText(text, 16);
    EXPECT_GT(width, 0);
    Surface565 s = Blank(width + 10, 20);
    EXPECT_EQ(font_->DrawText(s, 2, 2, text, 16, kInk, kPaper), width);
    ExpectOnlyBoxPainted(s, {2, 2, width, 16});
  }
}

TEST_F(TextRendererTest, CachedGlyphsDrawTheSameAcrossHeights) {
  const std::string_view text = "文字Ａa"_sj;
  auto draw = [&](int h) {
    Surface565 s = Blank(100, 40);
    font_->DrawText(s, 1, 1, text, h, kInk, kPaper);
    return s;
  };
  const Surface565 first = draw(16);
  const Surface565 other = draw(18);
  const Surface565 again = draw(16);
  int same_as_first = 0;
  int same_as_other = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 100; ++x) {
      same_as_first += again.pixel(x, y) == first.pixel(x, y);
      same_as_other += again.pixel(x, y) == other.pixel(x, y);
    }
  }
  EXPECT_EQ(same_as_first, 100 * 40);
  EXPECT_LT(same_as_other, 100 * 40);
}

}  // namespace
}  // namespace tumu
