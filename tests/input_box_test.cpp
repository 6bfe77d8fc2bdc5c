#include "platform/input_box.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_text_renderer.h"
#include "golden.h"
#include "platform/sjis_literal.h"

namespace tumu {
namespace {

using namespace tumu::literals;
using testing::ExpectPixels;
using testing::FakeTextRenderer;

constexpr std::uint16_t kWhite = 0xFFFF;
constexpr std::uint16_t kBlack = 0x0000;
constexpr std::uint16_t kBlue = 0x001F;
constexpr std::uint16_t kGreen = 0x07E0;

InputBox OpenBox(const Rect& place = {100, 100, 120, 24}) {
  InputBox box;
  box.Open(place);
  return box;
}

TEST(InputBoxEditing, BackspaceRemovesWholeCharacters) {
  InputBox box = OpenBox();
  EXPECT_TRUE(box.Append("ab"));
  EXPECT_TRUE(box.Append("日本"));
  EXPECT_TRUE(box.Append("é"));
  EXPECT_EQ(box.text(), "ab日本é");
  box.Backspace();
  EXPECT_EQ(box.text(), "ab日本");
  box.Backspace();
  EXPECT_EQ(box.text(), "ab日");
  box.Backspace();
  box.Backspace();
  box.Backspace();
  EXPECT_EQ(box.text(), "");
  box.Backspace();
  EXPECT_EQ(box.text(), "");
}

TEST(InputBoxEditing, LeavesOutControlCharactersAndBrokenSequences) {
  InputBox box = OpenBox();
  EXPECT_FALSE(box.Append("a\tb\x7f\r"));
  EXPECT_FALSE(box.Append("\xff" "c" "\xe6\x97"));  // a stray byte, then a cut-off character
  EXPECT_EQ(box.text(), "abc");
}

TEST(InputBoxEditing, TakesNoMoreThanTheGameKeepsInShiftJis) {
  InputBox box = OpenBox();
  // 39 full-width characters are 78 bytes in Shift-JIS: one more would make 80.
  std::string kana;
  for (int i = 0; i < 39; ++i) kana += "あ";
  EXPECT_TRUE(box.Append(kana));
  EXPECT_FALSE(box.Append("あ"));
  EXPECT_EQ(box.text(), kana);
  EXPECT_TRUE(box.Append("a"));
  EXPECT_FALSE(box.Append("b"));
  EXPECT_EQ(box.text(), kana + "a");
  // Taking back "a" and one full-width character makes room for three half-width ones.
  box.Backspace();
  box.Backspace();
  EXPECT_TRUE(box.Append("xyz"));
  EXPECT_FALSE(box.Append("w"));

  // A character that Shift-JIS lacks reaches the game as one "?" and counts one byte.
  InputBox other = OpenBox();
  EXPECT_TRUE(other.Append(std::string(78, 'x')));
  EXPECT_TRUE(other.Append("\U0001F600"));
  EXPECT_FALSE(other.Append("x"));
}

TEST(InputBoxEditing, OpeningAgainStartsEmpty) {
  InputBox box = OpenBox();
  box.Append("abc");
  box.SetComposition("に", 1);
  box.Close();
  EXPECT_FALSE(box.is_open());
  EXPECT_EQ(box.composition(), "");
  box.Open({0, 0, 50, 20});
  EXPECT_TRUE(box.is_open());
  EXPECT_EQ(box.text(), "");
}

Surface565 GreenFrame() {
  Surface565 frame(640, 480);
  frame.Fill(kGreen);
  return frame;
}

// Box at (100, 100), 120 x 24: the inside starts at (101, 101) and is 22 high, so 16-pixel text
// starts at y = 104 and the first character cell at x = 103.
TEST(InputBoxDrawing, DrawsABorderedWhiteBoxWithTheCaretAtTheStart) {
  Surface565 frame = GreenFrame();
  FakeTextRenderer renderer;
  OpenBox().Draw(frame, &renderer);
  ExpectPixels(frame, {{99, 100, kGreen}, {100, 99, kGreen}, {220, 124, kGreen},
                       {100, 100, kBlack}, {219, 123, kBlack}, {160, 100, kBlack},
                       {100, 110, kBlack}, {101, 101, kWhite}, {218, 122, kWhite},
                       {103, 103, kWhite}, {103, 104, kBlack}, {103, 119, kBlack},
                       {103, 120, kWhite}, {104, 110, kWhite}});
}

TEST(InputBoxDrawing, SetsTextInBlackAndTheCompositionInUnderlinedBlue) {
  Surface565 frame = GreenFrame();
  FakeTextRenderer renderer;
  InputBox box = OpenBox();
  box.Append("ab");
  box.SetComposition("日本", 1);
  box.Draw(frame, &renderer);
  // The renderer got Shift-JIS.
  ASSERT_EQ(renderer.drawn.size(), 2u);
  EXPECT_EQ(renderer.drawn[0], "ab");
  EXPECT_EQ(renderer.drawn[1], ("日本"_sj).view());
  // "a" occupies 103..110, its block 104..109 and rows 106..117.
  ExpectPixels(frame, {{104, 106, kBlack}, {109, 117, kBlack}, {110, 110, kWhite}});
  // The composition starts at 119 in blue; its underline is the cells' last row.
  ExpectPixels(frame, {{120, 110, kBlue}, {119, 110, kWhite}, {119, 119, kBlue}, {150, 119, kBlue},
                       {151, 119, kWhite}, {110, 119, kWhite}});
  // The caret stands after the composition's first character.
  ExpectPixels(frame, {{135, 104, kBlack}, {135, 118, kBlack}});
}

TEST(InputBoxDrawing, ScrollsALongTextToKeepTheCaretInsideTheBorder) {
  Surface565 frame = GreenFrame();
  FakeTextRenderer renderer;
  // Inside 38 wide: the caret may stand at most at 33 from the text's left margin.
  InputBox box = OpenBox({0, 0, 40, 24});
  box.Append("abcdefgh");  // 64 pixels
  box.Draw(frame, &renderer);
  // Text scrolled 31 to the left: "h" has its cell at 28..35 of the frame, the caret at 36.
  ExpectPixels(frame, {{36, 4, kBlack}, {36, 19, kBlack}, {34, 10, kBlack}, {29, 10, kBlack},
                       {28, 10, kWhite}, {37, 10, kWhite}, {38, 10, kWhite}, {39, 10, kBlack},
                       {40, 10, kGreen}});
  // "d" is cut by the left border.
  ExpectPixels(frame, {{1, 10, kBlack}, {3, 10, kWhite}});
}

TEST(InputBoxDrawing, DrawsNothingWhenClosedAndOnlyTheBoxWithoutAFont) {
  Surface565 frame = GreenFrame();
  InputBox box = OpenBox();
  box.Append("ab");
  box.Close();
  box.Draw(frame, nullptr);
  ExpectPixels(frame, {{100, 100, kGreen}});

  box.Open({100, 100, 120, 24});
  box.Append("ab");
  box.Draw(frame, nullptr);
  ExpectPixels(frame, {{100, 100, kBlack}, {103, 110, kBlack}, {105, 110, kWhite}});
}

}  // namespace
}  // namespace tumu
