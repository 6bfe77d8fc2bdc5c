#include "platform/message_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fake_text_renderer.h"
#include "test_game.h"
#include "platform/sjis.h"

namespace tumu {
namespace {

using testing::Repeat;
using testing::FakeTextRenderer;
using ::testing::ElementsAre;

// The test renderer sets a full-width character in 16 pixels and a half-width one in 8.
constexpr int kFull = 16;

// A rectangle as "X,Y WIDTHxHEIGHT".
std::string Place(const Rect& r) {
  return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

// The lines of a box in UTF-8.
std::vector<std::string> Lines(const MessageBox& box) {
  std::vector<std::string> out;
  for (const std::string& line : box.lines()) out.push_back(SjisToUtf8(line));
  return out;
}

std::set<std::uint16_t> Palette() {
  const MessageBoxColors c = BoxColors();
  return {c.paper, c.strip, c.ink, c.button, c.button_border, c.focus, c.focus_border, c.held};
}

bool Inside(const Rect& r, int x, int y) {
  return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

TEST(MessageBoxLayout, OneLineSizesTheBoxAndPutsTheButtonBelowItOnTheRight) {
  FakeTextRenderer font;
  const MessageBox box(Repeat("あ", 20), BoxButtons::kOk, font);
  EXPECT_THAT(Lines(box), ElementsAre(Repeat("あ", 20)));
  // 20 characters of 16 pixels between margins of 16.
  EXPECT_EQ(box.width(), 16 + 20 * kFull + 16);
  EXPECT_EQ(Place(box.LinePlace(0)), "16,16 320x16");
  // Text, margin, then the strip: padding, a button 28 high, padding.
  EXPECT_EQ(box.height(), 16 + 16 + 16 + 12 + 28 + 12);
  ASSERT_EQ(box.buttons().size(), 1u);
  const MessageBox::Button& ok = box.buttons()[0];
  EXPECT_EQ(ok.answer, BoxAnswer::kOk);
  EXPECT_EQ(ok.label, "OK");
  // 88 wide, its right edge on the margin, below the text and the strip's padding.
  EXPECT_EQ(Place(ok.place), std::to_string(box.width() - 16 - 88) + ",60 88x28");

  // A short text gets the smallest box.
  EXPECT_EQ(MessageBox("a", BoxButtons::kOk, font).width(), 240);
  EXPECT_EQ(MessageBox(Repeat("あ", 13), BoxButtons::kOk, font).width(), 240);
  EXPECT_EQ(MessageBox(Repeat("あ", 14), BoxButtons::kOk, font).width(), 14 * kFull + 32);
}

TEST(MessageBoxLayout, BreaksAtNewlinesKeepsInnerBlankLinesAndDropsTrailingOnes) {
  FakeTextRenderer font;
  // As the window-mode question is written: blank lines between and after its sentences.
  const MessageBox box("●設定\n\nウインドウで？\r\n\n（いいえ）\n\n", BoxButtons::kYesNo, font);
  EXPECT_THAT(Lines(box), ElementsAre("●設定", "", "ウインドウで？", "", "（いいえ）"));
  EXPECT_EQ(box.LinePlace(4).y, 16 + 4 * 20);
  EXPECT_EQ(box.height(), 16 + (5 * 20 - 4) + 16 + 52);
  // Control characters read as blanks rather than missing-glyph boxes.
  EXPECT_EQ(MessageBox("a\tb", BoxButtons::kOk, font).lines()[0], "a b");
  // No text at all still gives a box with its button.
  const MessageBox empty("", BoxButtons::kOk, font);
  EXPECT_TRUE(empty.lines().empty());
  EXPECT_EQ(empty.height(), 16 + 16 + 52);
}

TEST(MessageBoxLayout, WrapsALineTooWideForTheBoxByCharacters) {
  FakeTextRenderer font;
  // 608 pixels of room between the margins of a 640-pixel box: 38 full-width characters.
  const MessageBox box("INI\n" + Repeat("長", 50), BoxButtons::kOk, font);
  EXPECT_THAT(Lines(box), ElementsAre("INI", Repeat("長", 38), Repeat("長", 12)));
  EXPECT_EQ(box.width(), 640);
  // A half-width character in front moves the break, and no two-byte character is cut.
  EXPECT_THAT(Lines(MessageBox("a" + Repeat("長", 40), BoxButtons::kOk, font)),
              ElementsAre("a" + Repeat("長", 37), Repeat("長", 3)));
  // A line that fits exactly stays whole.
  EXPECT_EQ(MessageBox(Repeat("長", 38), BoxButtons::kOk, font).lines().size(), 1u);
}

TEST(MessageBoxLayout, ButtonsShareOneWidthAndStandInARowInTheirOrder) {
  FakeTextRenderer font;
  const MessageBox box("a", BoxButtons::kYesNoCancel, font);
  // The widest label, キャンセル, with 16 pixels on either side; three buttons and two gaps of 8
  // between the margins; the strip's padding below them.
  const int width = 5 * kFull + 32;
  EXPECT_EQ(box.width(), 16 + 3 * width + 2 * 8 + 16);
  const std::string row = "," + std::to_string(box.height() - 12 - 28) + " " +
                          std::to_string(width) + "x28";
  std::vector<std::string> buttons;
  std::vector<BoxAnswer> answers;
  for (const MessageBox::Button& b : box.buttons()) {
    buttons.push_back(SjisToUtf8(b.label) + " " + Place(b.place));
    answers.push_back(b.answer);
  }
  EXPECT_THAT(buttons, ElementsAre("はい 16" + row, "いいえ " + std::to_string(16 + width + 8) + row,
                                   "キャンセル " + std::to_string(16 + 2 * (width + 8)) + row));
  EXPECT_THAT(answers, ElementsAre(BoxAnswer::kYes, BoxAnswer::kNo, BoxAnswer::kCancel));
}

TEST(MessageBoxPointer, MapsPointsToButtonsUpToTheirEdges) {
  FakeTextRenderer font;
  const MessageBox box("a", BoxButtons::kYesNo, font);
  const Rect yes = box.buttons()[0].place;
  const Rect no = box.buttons()[1].place;
  EXPECT_EQ(box.ButtonAt(yes.x, yes.y), 0u);
  EXPECT_EQ(box.ButtonAt(yes.x + yes.width - 1, yes.y + yes.height - 1), 0u);
  EXPECT_EQ(box.ButtonAt(no.x + 5, no.y + 5), 1u);
  EXPECT_EQ(box.ButtonAt(no.x + no.width - 1, no.y), 1u);
  EXPECT_FALSE(box.ButtonAt(yes.x - 1, yes.y));
  EXPECT_FALSE(box.ButtonAt(yes.x + yes.width, yes.y));  // the gap between them
  EXPECT_FALSE(box.ButtonAt(no.x, no.y - 1));
  EXPECT_FALSE(box.ButtonAt(no.x, no.y + no.height));
  EXPECT_FALSE(box.ButtonAt(20, 20));  // on the text
}

TEST(MessageBoxPointer, AClickAnswersOnlyWhenPressedAndReleasedOnTheSameButton) {
  FakeTextRenderer font;
  MessageBox box("a", BoxButtons::kYesNoCancel, font);
  const Rect yes = box.buttons()[0].place;
  const Rect no = box.buttons()[1].place;
  const Rect cancel = box.buttons()[2].place;
  EXPECT_FALSE(box.ReleaseMouse(no.x + 1, no.y + 1));  // nothing was pressed
  box.PressMouse(no.x + 1, no.y + 1);
  EXPECT_EQ(box.focus(), 1u);
  EXPECT_EQ(box.ReleaseMouse(no.x + 2, no.y + 2), BoxAnswer::kNo);
  // Slid off to another button: taken back, though the focus went to the pressed one.
  box.PressMouse(cancel.x + 1, cancel.y + 1);
  EXPECT_EQ(box.focus(), 2u);
  EXPECT_FALSE(box.ReleaseMouse(yes.x + 1, yes.y + 1));
  EXPECT_FALSE(box.ReleaseMouse(cancel.x + 1, cancel.y + 1));
  // Pressed beside the buttons: the focus stays.
  box.PressMouse(5, 5);
  EXPECT_EQ(box.focus(), 2u);
  EXPECT_FALSE(box.ReleaseMouse(yes.x + 1, yes.y + 1));
}

TEST(MessageBoxKeys, EnterTakesTheFocusedButtonEscapeTheLastAndYAndNOnlyWhereTheBoxAsks) {
  FakeTextRenderer font;
  MessageBox yes_no_cancel("a", BoxButtons::kYesNoCancel, font);
  EXPECT_EQ(yes_no_cancel.focus(), 0u);
  EXPECT_EQ(yes_no_cancel.PressKey(BoxKey::kEnter), BoxAnswer::kYes);
  EXPECT_EQ(yes_no_cancel.PressKey(BoxKey::kEscape), BoxAnswer::kCancel);
  EXPECT_EQ(yes_no_cancel.CloseAnswer(), BoxAnswer::kCancel);
  EXPECT_EQ(yes_no_cancel.PressKey(BoxKey::kNo), BoxAnswer::kNo);

  MessageBox yes_no("a", BoxButtons::kYesNo, font);
  EXPECT_EQ(yes_no.PressKey(BoxKey::kEscape), BoxAnswer::kNo);
  EXPECT_EQ(yes_no.CloseAnswer(), BoxAnswer::kNo);
  yes_no.PressKey(BoxKey::kNext);  // whatever has the focus
  EXPECT_EQ(yes_no.PressKey(BoxKey::kYes), BoxAnswer::kYes);
  EXPECT_EQ(yes_no.PressKey(BoxKey::kNo), BoxAnswer::kNo);

  MessageBox ok("a", BoxButtons::kOk, font);
  EXPECT_EQ(ok.PressKey(BoxKey::kEnter), BoxAnswer::kOk);
  EXPECT_EQ(ok.PressKey(BoxKey::kEscape), BoxAnswer::kOk);
  EXPECT_FALSE(ok.PressKey(BoxKey::kYes));
  EXPECT_FALSE(ok.PressKey(BoxKey::kNo));
}

TEST(MessageBoxKeys, TabAndArrowsMoveTheFocusRoundTheButtons) {
  FakeTextRenderer font;
  MessageBox box("a", BoxButtons::kYesNoCancel, font);
  EXPECT_FALSE(box.PressKey(BoxKey::kNext));
  EXPECT_EQ(box.focus(), 1u);
  EXPECT_EQ(box.PressKey(BoxKey::kEnter), BoxAnswer::kNo);
  box.PressKey(BoxKey::kNext);
  box.PressKey(BoxKey::kNext);
  EXPECT_EQ(box.focus(), 0u);  // round past the last
  box.PressKey(BoxKey::kPrevious);
  EXPECT_EQ(box.focus(), 2u);  // and back past the first
  EXPECT_EQ(box.PressKey(BoxKey::kEnter), BoxAnswer::kCancel);
  // Escape does not care where the focus is.
  box.PressKey(BoxKey::kNext);
  EXPECT_EQ(box.PressKey(BoxKey::kEscape), BoxAnswer::kCancel);

  MessageBox ok("a", BoxButtons::kOk, font);
  ok.PressKey(BoxKey::kNext);
  ok.PressKey(BoxKey::kPrevious);
  EXPECT_EQ(ok.focus(), 0u);
}

TEST(MessageBoxDrawing, InkOnlyWhereTheTextAndLabelsAreInTheBoxColours) {
  FakeTextRenderer font;
  const MessageBox box("一行目\n\n三行目のほうが長い", BoxButtons::kYesNo, font);
  Surface565 surface(box.width(), box.height());
  surface.Fill(0x1234);  // none of the box's colours
  box.Draw(surface);
  const MessageBoxColors colors = BoxColors();
  const std::set<std::uint16_t> palette = Palette();
  ASSERT_EQ(palette.size(), 8u);

  std::vector<Rect> text_places = {box.LinePlace(0), box.LinePlace(2)};
  for (const MessageBox::Button& button : box.buttons()) text_places.push_back(button.place);
  int ink_in_lines = 0;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      const std::uint16_t p = surface.pixel(x, y);
      ASSERT_TRUE(palette.contains(p)) << x << ", " << y << ": " << std::hex << p;
      if (p != colors.ink) continue;
      bool placed = false;
      for (const Rect& r : text_places) placed = placed || Inside(r, x, y);
      EXPECT_TRUE(placed) << "ink at " << x << ", " << y;
      if (Inside(box.LinePlace(0), x, y) || Inside(box.LinePlace(2), x, y)) ++ink_in_lines;
    }
  }
  EXPECT_GT(ink_in_lines, 0);
  // Every character of both lines was drawn: a block of the test renderer in the middle of each.
  for (const std::size_t line : {0u, 2u}) {
    const Rect place = box.LinePlace(line);
    for (int x = place.x + 8; x < place.x + place.width; x += kFull) {
      EXPECT_EQ(surface.pixel(x, place.y + 8), colors.ink) << "line " << line << " x " << x;
    }
  }
  // Paper behind the text, the strip behind the buttons.
  EXPECT_EQ(surface.pixel(box.width() - 1, 0), colors.paper);
  EXPECT_EQ(surface.pixel(0, box.height() - 1), colors.strip);
  // The labels are drawn on the buttons' faces.
  ASSERT_EQ(font.calls.size(), 4u);
  EXPECT_EQ(font.calls[2].text, Utf8ToSjis("はい"));
  EXPECT_EQ(font.calls[2].background, colors.focus);
  EXPECT_EQ(font.calls[3].background, colors.button);
}

TEST(MessageBoxDrawing, TheFocusedButtonStandsOutAndAHeldOneShowsPressed) {
  FakeTextRenderer font;
  MessageBox box("a", BoxButtons::kYesNo, font);
  const MessageBoxColors colors = BoxColors();
  const Rect yes = box.buttons()[0].place;
  const Rect no = box.buttons()[1].place;
  Surface565 surface(box.width(), box.height());
  // The colours at the corner, one pixel in and two pixels in of Yes, and at No's corner and one
  // pixel in from either side.
  auto draw = [&] {
    surface.Fill(0x1234);
    box.Draw(surface);
    return std::vector<std::uint16_t>{
        surface.pixel(yes.x, yes.y), surface.pixel(yes.x + 1, yes.y + 1),
        surface.pixel(yes.x + 2, yes.y + 2), surface.pixel(no.x, no.y),
        surface.pixel(no.x + 1, no.y + 1), surface.pixel(no.x + no.width - 2, no.y + no.height - 2)};
  };
  // A focused button has an edge two pixels thick in the focus colour.
  EXPECT_THAT(draw(), ElementsAre(colors.focus_border, colors.focus_border, colors.focus,
                                  colors.button_border, colors.button, colors.button));
  box.PressKey(BoxKey::kNext);
  EXPECT_THAT(draw(), ElementsAre(colors.button_border, colors.button, colors.button,
                                  colors.focus_border, colors.focus_border, colors.focus_border));
  box.PressMouse(yes.x + 3, yes.y + 3);
  EXPECT_EQ(draw()[2], colors.held);
  box.ReleaseMouse(0, 0);
  EXPECT_EQ(draw()[2], colors.focus);
}

// fonts-ipafont-gothic, which the test machines install: the game's messages in the real font.
TEST(MessageBoxDrawing, TheRealFontWritesTheGamesMessageInMonochromeInk) {
  std::string error;
  const std::unique_ptr<TextRenderer> font =
      TextRenderer::Open("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", &error);
  ASSERT_NE(font, nullptr) << "install fonts-ipafont-gothic: " << error;
  const MessageBox box("startシナリオがありません", BoxButtons::kOk, *font);
  // "start" is 5 half-width characters and the rest 10 full-width ones.
  EXPECT_EQ(box.LinePlace(0).width, 5 * 8 + 10 * 16);
  Surface565 surface(box.width(), box.height());
  box.Draw(surface);
  const MessageBoxColors colors = BoxColors();
  const std::set<std::uint16_t> palette = Palette();
  // Ink in each character's cell along the line, and only the box's colours anywhere.
  const Rect line = box.LinePlace(0);
  std::vector<int> ink_per_cell;
  for (int x0 = line.x; x0 < line.x + line.width;) {
    const int cell = x0 < line.x + 40 ? 8 : 16;
    int ink = 0;
    for (int y = line.y; y < line.y + line.height; ++y) {
      for (int x = x0; x < x0 + cell; ++x) ink += surface.pixel(x, y) == colors.ink;
    }
    ink_per_cell.push_back(ink);
    x0 += cell;
  }
  ASSERT_EQ(ink_per_cell.size(), 15u);
  for (std::size_t i = 0; i < ink_per_cell.size(); ++i) EXPECT_GT(ink_per_cell[i], 4) << i;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      ASSERT_TRUE(palette.contains(surface.pixel(x, y))) << x << ", " << y;
    }
  }
}

}  // namespace
}  // namespace tumu
