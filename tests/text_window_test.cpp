// The dialogue and text windows, played through whole headless games: text styles, paging, rows
// of several styles, the dialogue position and frame, translucency, and how the frames look.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "golden.h"
#include "platform/sjis.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;

// A game drawn with the recording renderer, with the brown background "bg" among its files.
class TextGame : public TestGame {
 public:
  TextGame() {
    UseFakeText();
    WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  }

  // The texts drawn on one surface, in order, as "TEXT@X,Y/HEIGHT" with the text in UTF-8.
  std::vector<std::string> DrawnOn(const Surface565& surface) {
    std::vector<std::string> out;
    for (const FakeTextRenderer::Call& call : fake_text().calls) {
      if (call.surface != &surface) continue;
      out.push_back(SjisToUtf8(call.text) + "@" + std::to_string(call.x) + "," +
                    std::to_string(call.y) + "/" + std::to_string(call.height));
    }
    return out;
  }
  std::vector<std::string> DialogueRows() { return DrawnOn(engine().screen.dialogue_text_surface); }
  std::vector<std::string> TextRows() { return DrawnOn(engine().screen.frontmost_surface); }

  const FakeTextRenderer::Call* LastCallFor(std::string_view utf8) {
    const FakeTextRenderer::Call* found = nullptr;
    for (const FakeTextRenderer::Call& call : fake_text().calls) {
      if (call.text == Sjis(utf8)) found = &call;
    }
    return found;
  }

  bool RanLine(int line) const {
    for (int l : RunLines()) {
      if (l == line) return true;
    }
    return false;
  }
};

// ---- Text styles.

struct StyleCase {
  const char* words;
  int red, green, blue, size;
};

TEST(TextStyle, WordsForColourBrightnessAndSizeLastUntilTheNextStyledLine) {
  const StyleCase cases[] = {
      {"", 247, 247, 247, 18},
      {"赤やや明", 127, 64, 64, 18},       // 255/4 + 64, 0/4 + 64
      {"明", 251, 251, 251, 18},            // 247/2 + 128
      {"やや暗大", 61, 61, 61, 38},         // 247/4
      {"赤と青緑", 0, 255, 128, 18},        // the table's order decides, not the line's
      {"やや大", 247, 247, 247, 23},        // though "大" alone is 38
      {"大", 247, 247, 247, 38},
      {"オレンジ暗", 127, 64, 0, 18},
      {"黒かなり明", 192, 192, 192, 18},
      {"青かなり暗", 0, 0, 63, 18},
      {"ピンクライト", 255, 192, 192, 18},  // 255/2 + 128 = 255: at the top already
      {"マゼンタ明", 255, 128, 255, 18},
      {"灰極小", 128, 128, 128, 8},
      {"グレーやや小", 128, 128, 128, 14},
      {"茶特大", 128, 0, 0, 80},
      {"紫極大", 128, 0, 128, 80},
      {"黄小", 255, 255, 0, 11},
      {"ブルー", 0, 0, 255, 18},
      // Colours are found by a plain byte search: 乱 ends in the byte 0x90 and the half-width ﾔ
      // is 0xD4, which together spell 赤.
      {"乱ﾔ", 255, 0, 0, 18},
      // Sizes are found character by character: 国 ends in 0x91 and 蕁 begins with 0xE5, the
      // bytes of 大, but no character 大 is there.
      {"国蕁", 247, 247, 247, 18},
  };
  for (const StyleCase& c : cases) {
    SCOPED_TRACE(c.words);
    TextGame game;
    EXPECT_EQ(game.Play(std::string("＃文章\n＃文字") + c.words + "\nあ\n\n"), 0);
    EXPECT_TRUE(game.Errors().empty());
    const EngineState& s = game.state();
    EXPECT_EQ(s.text_red, c.red);
    EXPECT_EQ(s.text_green, c.green);
    EXPECT_EQ(s.text_blue, c.blue);
    EXPECT_EQ(s.font_size, c.size);
    // The row is drawn with that style, on the text window's transparent colour.
    const FakeTextRenderer::Call* row = game.LastCallFor("あ");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->height, c.size);
    EXPECT_EQ(row->foreground, ColorToPixel(PixelFormat{}, c.red, c.green, c.blue));
    EXPECT_EQ(row->background, kWhite565);
  }

  // Lasts until the next styled line which resets what it does not name.
  // The dialogue command's words style the block; "＃クリック待ち" inside it waits and then gives
  // its own words to the rows after it, resetting the size it does not name.
  TextGame game;
  EXPECT_EQ(game.Play("＃セリフ赤大\n一\n＃クリック待ち黄\n二\n＃文字緑\n三\n\n"
                      "＃クリック待ち青\n＃セリフ\n四\n\n",
                      "click 5 5\nclick 5 5\nclick 5 5\n"), 0);
  const FakeTextRenderer::Call* one = game.LastCallFor("一");
  const FakeTextRenderer::Call* two = game.LastCallFor("二");
  const FakeTextRenderer::Call* three = game.LastCallFor("三");
  const FakeTextRenderer::Call* four = game.LastCallFor("四");
  ASSERT_TRUE(one && two && three && four);
  EXPECT_EQ(one->foreground, kRed565);
  EXPECT_EQ(one->height, 38);
  EXPECT_EQ(two->foreground, 0xFFE0);
  EXPECT_EQ(two->height, 18);
  EXPECT_EQ(three->foreground, kGreen565);
  // "＃セリフ" without words sets the defaults again, whatever "＃クリック待ち青" said.
  EXPECT_EQ(four->foreground, kText565);
  EXPECT_EQ(game.state().click_wait, 1) << "the last block's end waits";
}

// ---- The dialogue window's pages.

TEST(DialoguePaging, FourRowsFillAPageThenWaitAndAStyleOrWaitOffChangesWhen) {
  TextGame game;
  game.WriteScenario("start.st1", "＃セリフ\n一\n二\n三\n四\n五\n\n＃終了\n");
  // No click: the game stops at the first wait.
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.DialogueRows(), ElementsAre("一@10,10/18", "二@10,30/18", "三@10,50/18",
                                               "四@10,70/18"));
  EXPECT_EQ(game.state().click_wait, 1);
  EXPECT_EQ(game.state().text_y, 80);
  EXPECT_EQ(game.state().current_line, 5) << "the driver stands after line 4";

  // One click: line 5 does not fit (80 + 18 > 100 - 20), clears the page and starts it.
  EXPECT_EQ(game.Run("click 5 5"), 0);
  EXPECT_THAT(game.DialogueRows(), ElementsAre("一@10,10/18", "二@10,30/18", "三@10,50/18",
                                               "四@10,70/18", "五@10,10/18"));
  // Line 2 was cleared with the page; line 5 stands on the new one.
  ExpectPixels(game.engine().screen.dialogue_text_surface,
               {{12, 33, kWhite565}, {12, 13, kText565}});
  EXPECT_FALSE(game.RanLine(8)) << "the block's end waits for its own click";
  EXPECT_EQ(game.state().text_y, 0) << "the block's end resets the row";

  EXPECT_EQ(game.Run("click 5 5\nclick 5 5"), 0);
  EXPECT_TRUE(game.RanLine(8));
  EXPECT_TRUE(game.Errors().empty());

  // A block whose last line fills the page waits once.
  EXPECT_EQ(game.Play("＃セリフ\n一\n二\n三\n四\n\n＃終了\n", "click 5 5"), 0);
  EXPECT_THAT(game.RunLines(), ElementsAre(1, 2, 3, 4, 5, 6, 7));
  EXPECT_EQ(game.DialogueRows().size(), 4u);

  // A style line decides whether the next row fits.
  // After two rows text_y is 40; the next row at 38 pixels needs 78 <= 80 and fits; then a row
  // of 18 at text_y 80 does not.
  EXPECT_EQ(game.Play("＃セリフ\n一\n二\n＃文字大\n三\n＃文字\n四\n\n"), 0);
  EXPECT_THAT(game.DialogueRows(), ElementsAre("一@10,10/18", "二@10,30/18", "三@10,50/38"));
  EXPECT_EQ(game.state().click_wait, 1);
  EXPECT_EQ(game.Run("click 5 5"), 0);
  EXPECT_EQ(game.DialogueRows().back(), "四@10,10/18");

  // Wait off ends the block without a click but still pages.
  game.WriteScenario("start.st1", "＃セリフ　すぐ次へ待ちオフ\n一\n二\n三\n四\n五\n\n＃終了\n");
  // The one click is the full page's.
  EXPECT_EQ(game.Run("click 5 5"), 0);
  EXPECT_TRUE(game.RanLine(8));
  EXPECT_EQ(game.DialogueRows().size(), 5u);

  EXPECT_EQ(game.Play("＃文章待ちオフ\n一\n\n＃セリフ\n二\n\n＃終了\n", "click 5 5"), 0);
  EXPECT_TRUE(game.RanLine(7)) << "only the dialogue block waited";
  EXPECT_EQ(game.state().dialogue_no_wait, 0) << "every block command sets it anew";
}

TEST(TextBlock, RowsGoOnDownWithoutPagingAddContinuesBelowAndTheClickMarkFollows) {
  TextGame game;
  EXPECT_EQ(game.Play("＃文章\n一\n二\n三\n四\n五\n六\n七\n\n"
                      "＃文章追加\n八\n\n"
                      "＃文章\n九\n\n＃セリフ\n十\n\n"), 0);
  EXPECT_THAT(game.TextRows(), ElementsAre("一@10,10/18", "二@10,30/18", "三@10,50/18",
                                           "四@10,70/18", "五@10,90/18", "六@10,110/18",
                                           "七@10,130/18"));
  // The mark waits just under the last row: text_y 140.
  EXPECT_EQ(game.state().click_mark_x, 10);
  EXPECT_EQ(game.state().click_mark_y, 150);
  EXPECT_EQ(game.state().frontmost_on, 1);

  EXPECT_EQ(game.Run("click 5 5"), 0);
  EXPECT_EQ(game.TextRows().back(), "八@10,150/18");
  EXPECT_EQ(game.state().click_mark_y, 170);

  EXPECT_EQ(game.Run("click 5 5\nclick 5 5\nclick 5 5"), 0);
  EXPECT_EQ(game.TextRows().back(), "九@10,10/18");
  // The new page cleared the whole layer to the mask colour before its first row.
  ExpectPixels(game.engine().screen.frontmost_surface,
               {{12, 33, kWhite565}, {12, 153, kWhite565}, {12, 13, kText565}});
  // After a dialogue block the mark goes home, and no "＃クリックマーク" has given one: (0, 0).
  EXPECT_EQ(game.DialogueRows().back(), "十@10,10/18");
  EXPECT_EQ(game.state().click_mark_x, 0);
  EXPECT_EQ(game.state().click_mark_y, 0);
}

TEST(TextBlock, RowsPastTheWindowsAreCutOffAtTheirEdges) {
  TextGame game;
  // Eight rows of 82 pixels run far below the screen; a dialogue row of forty full-width
  // characters (640 pixels from x = 10) runs past the window's right edge.
  std::string source = "＃絵\nbg\n＃文章極大待ちオフ\n";
  for (int i = 0; i < 8; ++i) source += "あ\n";
  source += "\n＃文章オフ\n＃セリフ\n";
  for (int i = 0; i < 40; ++i) source += "い";
  EXPECT_EQ(game.Play(source + "\n\n"), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(game.TextRows().back(), "あ@10,584/80");
  // The row runs to the window's edge and no further.
  ExpectPixels(game.LastFrame(),
               {{617, 375, kText565}, {618, 375, kFrameBlue565}, {625, 375, kBrown565}});
}

// ---- Rows of several styles.

TEST(StyleRow, PiecesShareTheTallestRowAndAStyleLineInPlaceOfAPieceIsReported) {
  TextGame game;
  EXPECT_EQ(game.Play("＃文章\n前半\n＃文字赤極大追加\n後半\n次\n\n"), 0);
  EXPECT_TRUE(game.Errors().empty());
  // The first piece is lowered by (80 - 18) / 2 = 31; the second starts where the first ends
  // (two full-width characters of the fake font, 32 pixels). The row takes 82 pixels.
  EXPECT_THAT(game.TextRows(), ElementsAre("前半@10,41/18", "後半@42,10/80", "次@10,92/80"));
  EXPECT_EQ(game.LastCallFor("前半")->foreground, kText565);
  EXPECT_EQ(game.LastCallFor("後半")->foreground, kRed565);
  EXPECT_EQ(game.state().text_y, 82 + 82);

  // Three pieces around a tall middle one in the dialogue window; the style lasts after the row.
  // Tallest 38: 18 is lowered by 10, 11 by 13 (27 / 2, truncated).
  EXPECT_EQ(game.Play("＃セリフ\n一\n＃文字大追加\n二\n＃文字小追加\n三\n四\n\n"), 0);
  EXPECT_THAT(game.DialogueRows(),
              ElementsAre("一@10,20/18", "二@26,10/38", "三@42,23/11", "四@10,50/11"));

  // A style line where a piece should be is reported and keeps what was drawn.
  EXPECT_EQ(game.Play("＃文章\n一\n＃文字追加\n＃文字赤\n二\n\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("4\t＃文字追加の次の行が\t＃文字となっています。"));
  EXPECT_EQ(game.state().text_y, 0) << "the row was not finished";
  EXPECT_EQ(game.Run("click 5 5"), 0);
  // After the click the game goes on after the style line: "二" is drawn over the unfinished row.
  EXPECT_THAT(game.TextRows(), ElementsAre("一@10,10/18", "二@10,10/18"));
}

// ---- Lines inside blocks.

TEST(BlockLines, CommandsAreShownAsTextExceptTheStageOneOnesAndVariablesAreSubstituted) {
  TextGame game;
  EXPECT_EQ(game.Play("＃変数宣言\n得点\n\n得点＝1234\n"
                      "＃セリフ\n＃絵\nbg\n// 注\n＃文字赤\n点は＃（得点＋1）＃点\n\n＃終了\n",
                      "click 5 5"), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_THAT(game.DialogueRows(), ElementsAre("＃絵@10,10/18", "bg@10,30/18", "// 注@10,50/18",
                                               "点は1235点@10,70/18"));
  EXPECT_EQ(game.LastCallFor("点は1235点")->foreground, kRed565);
  EXPECT_EQ(game.state().background_on, 0);
  EXPECT_TRUE(game.RanLine(12));
}

// ---- The dialogue position.

struct PositionCase {
  const char* lines;
  const char* error;  // "" when the position is taken
};

TEST(DialoguePosition, ChecksEachValueInOrderAndKeepsTheOldRectangleOnAFault) {
  const PositionCase cases[] = {
      {"0\n200\n640\n241", "セリフ位置の高さの最大は現在２４０までです\t241"},
      {"641\n0\n0\n0", "セリフ位置のＸが画面からはみ出ています\t641"},
      {"-1\n0\n0\n0", "セリフ位置のＸが画面からはみ出ています\t-1"},
      {"0\n481\n0\n0", "セリフ位置のＹが画面からはみ出ています\t481"},
      {"10\n0\n631\n10", "セリフ位置の幅がマイナスか、画面からはみ出てしまいます\t631"},
      {"10\n0\n-1\n10", "セリフ位置の幅がマイナスか、画面からはみ出てしまいます\t-1"},
      {"0\n400\n100\n81", "セリフ位置の高さがマイナスか、画面からはみ出てしまいます\t81"},
      {"0\n0\n100\n-1", "セリフ位置の高さがマイナスか、画面からはみ出てしまいます\t-1"},
      // Both X and height are wrong: X is checked first.
      {"700\n0\n0\n300", "セリフ位置のＸが画面からはみ出ています\t700"},
      {"640\n480\n0\n0", ""},
      {"10＊4\n240\n560\n240", ""},
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(c.lines);
    TextGame game;
    EXPECT_EQ(game.Play(std::string("＃セリフ位置\n") + c.lines + "\n＃クリック待ち\n"), 0);
    const EngineState& s = game.state();
    if (*c.error) {
      EXPECT_THAT(game.Errors(), ElementsAre(std::string("5\t") + c.error));
      EXPECT_EQ(s.dialogue_x, 20);
      EXPECT_EQ(s.dialogue_y, 360);
      EXPECT_EQ(s.dialogue_width, 600);
      EXPECT_EQ(s.dialogue_height, 100);
    } else {
      EXPECT_TRUE(game.Errors().empty());
      EXPECT_NE(s.dialogue_y, 360);
    }
  }
}

TEST(DialoguePosition, MissingAndFaultyLinesAreReportedOnTheirLine) {
  TestGame game;
  EXPECT_EQ(game.Play("＃セリフ位置\n10\n20\n\n＃クリック待ち\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("4\t＃セリフ位置の幅が指定されていません\t"));

  EXPECT_EQ(game.Play("＃セリフ位置\n\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃セリフ位置のＸが指定されていません\t"));

  EXPECT_EQ(game.Play("＃セリフ位置\n10\n20＋\n30\n40\n＃クリック待ち\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre(::testing::AllOf(::testing::StartsWith("3\tERR"),
                                                          ::testing::EndsWith("\t20＋"))));
  EXPECT_EQ(game.state().dialogue_x, 20);
}

TEST(DialoguePosition, TheDefaultFrameFollowsTheWindow) {
  TextGame game;
  EXPECT_EQ(game.Play("＃絵\nbg\n＃セリフ位置\n40\n240\n560\n140\n＃セリフ\nあ\n\n"), 0);
  // The 2-pixel border of the new rectangle (40, 240)-(599, 379), darkened inside; nothing is
  // left of the old frame at (20, 360); the text sits 10 pixels inside the window.
  ExpectPixels(game.LastFrame(), {{40, 240, kFrameBlue565}, {41, 241, kFrameBlue565},
                                  {599, 379, kFrameBlue565}, {598, 378, kFrameBlue565},
                                  {42, 242, kBrownHalf}, {597, 377, kBrownHalf},
                                  {39, 240, kBrown565}, {600, 379, kBrown565},
                                  {40, 380, kBrown565}, {20, 420, kBrown565},
                                  {52, 252, kText565}});
}

// ---- Frame pictures.

TEST(DialogueFrame, APictureReplacesTheDefaultFrameWithItsWhiteAndTheMaskColourTransparent) {
  TextGame game;
  // A 200 x 100 picture: green with a white hole at (50..149, 25..74).
  game.WriteFile("waku.sb1", Picture24(200, 100, [](int x, int y) {
                   const bool hole = x >= 50 && x < 150 && y >= 25 && y < 75;
                   return hole ? kWhite : kGreen;
                 }).Text());
  EXPECT_EQ(game.Play("＃絵\nbg\n＃セリフ枠\nwaku\n＃セリフ位置\n0\n0\n300\n100\n"
                      "＃セリフ\nあ\n\n"), 0);
  EXPECT_TRUE(game.Errors().empty());
  EXPECT_EQ(game.state().custom_frame, 1);
  const Surface565& frame = game.LastFrame();
  // The frame picture lies over the window; its white is the darkened window, and beyond the
  // picture is the key, so the window too.
  ExpectPixels(frame, {{0, 0, kGreen565}, {199, 99, kGreen565}, {100, 50, kBrownHalf},
                       {250, 50, kBrownHalf}, {250, 150, kBrown565}});
  // The position command drew no default frame over the picture.
  EXPECT_NE(frame.pixel(299, 99), kFrameBlue565);
  EXPECT_NE(frame.pixel(20, 360), kFrameBlue565);

  // A missing picture is reported and keeps the old frame.
  TextGame missing;
  EXPECT_EQ(missing.Play("＃絵\nbg\n＃セリフ枠\nない\n＃セリフ\nあ\n\n", "click 5 5"), 0);
  EXPECT_THAT(missing.Errors(), ElementsAre("4\t＃セリフ枠のファイル名が違います\tない"));
  EXPECT_EQ(missing.state().custom_frame, 0);
  ExpectPixels(missing.LastFrame(), {{20, 360, kFrameBlue565}, {619, 459, kFrameBlue565}});

  // What the picture does not cover takes the mask colour which shows unless white.
  game.WriteFile("waku.sb1", SolidPicture(10, 10, kBlue).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃マスクＲＧＢ\n255\n0\n255\n＃セリフ枠\nwaku\n＃セリフ\nあ\n\n");
  EXPECT_EQ(game.Run(), 0);
  // Magenta over the whole screen.
  ExpectPixels(game.LastFrame(), {{5, 5, kBlue565}, {300, 100, 0xF81F}});
}

// ---- Translucency and visibility.

TEST(Translucency, TheDialogueWindowIsDarkenedBlackenedOrLeftAsItIs) {
  struct Case {
    const char* commands;
    std::uint16_t inside;
  };
  const Case cases[] = {
      {"", kBrownHalf},
      {"＃半透明オフ\n", kBlack565},
      {"＃セリフ半透明オフ\n", kBrown565},
      {"＃セリフ半透明オフ\n＃セリフ半透明オン\n", kBrownHalf},
      {"＃半透明オフ\n＃半透明オン\n", kBrownHalf},
  };
  for (const Case& c : cases) {
    TextGame game;
    EXPECT_EQ(game.Play(std::string("＃絵\nbg\n") + c.commands + "＃セリフ\nあ\n\n"), 0);
    ExpectPixels(game.LastFrame(),
                 {{300, 400, c.inside}, {22, 362, c.inside}, {20, 360, kFrameBlue565},
                  {19, 400, kBrown565}, {31, 373, kText565}},
                 c.commands);
  }
}

TEST(Translucency, TheTextWindowDarkensTheWholeScreenOnlyWhenAskedAndAllowed) {
  struct Case {
    const char* commands;
    std::uint16_t behind;
  };
  const Case cases[] = {
      {"", kBrown565},
      {"＃文章半透明オン\n", kBrownThreeQuarters},
      {"＃文章半透明オン\n＃半透明オフ\n", kBrown565},
      {"＃文章半透明オン\n＃文章半透明オフ\n", kBrown565},
  };
  for (const Case& c : cases) {
    TextGame game;
    EXPECT_EQ(game.Play(std::string("＃絵\nbg\n") + c.commands + "＃文章\nあ\n\n"), 0);
    ExpectPixels(game.LastFrame(), {{0, 0, c.behind}, {639, 479, c.behind}, {13, 13, kText565}},
                 c.commands);
  }
}

TEST(Visibility, OffCommandsAndAFrontmostPictureHideWindowsAndDarkening) {
  TextGame game;
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃文章\n上\n\n＃セリフ\n下\n\n＃セリフオフ\n＃クリック待ち\n"
                     "＃文章オフ\n＃クリック待ち\n");
  // A screenshot is taken at once: "settle" first lets the click take effect.
  EXPECT_EQ(game.Run("click 5 5\n" + game.TakeShot("both.png") + "click 5 5\n" +
                     game.TakeShot("text.png") + "click 5 5\n"),
            0);
  ExpectPixels(game.Shot("both.png"), {{13, 13, kText565}, {300, 400, kBrownHalf}}, "both");
  ExpectPixels(game.Shot("text.png"),
               {{13, 13, kText565}, {300, 400, kBrown565}, {20, 360, kBrown565}}, "text");
  ExpectPixels(game.LastFrame(), {{13, 13, kBrown565}}, "none");
  EXPECT_EQ(game.state().frontmost_on, 0);
  EXPECT_EQ(game.state().dialogue_visible, 0);

  // A frontmost picture ends the text windows darkening.
  game.WriteFile("dot.sb1", SolidPicture(4, 4, kBlue).Text());
  EXPECT_EQ(game.Play("＃絵\nbg\n＃文章半透明オン\n＃文章\nあ\n\n＃最前景\ndot\n＃クリック待ち\n",
                      "click 5 5"), 0);
  EXPECT_EQ(game.state().text_translucent, 0);
  // The picture replaced the text on the layer.
  ExpectPixels(game.LastFrame(), {{1, 1, kBlue565}, {300, 300, kBrown565}, {13, 13, kBrown565}});
}

// ---- Frames as a player sees them, with the real font.

// Counts the pixels of a colour inside a rectangle of a frame.
int CountColour(const Surface565& frame, const Rect& r, std::uint16_t colour) {
  int n = 0;
  for (int y = r.y; y < r.y + r.height; ++y) {
    for (int x = r.x; x < r.x + r.width; ++x) n += frame.pixel(x, y) == colour;
  }
  return n;
}

// A game on a background with something to see: four coloured quarters.
void PlayOnQuarters(TestGame& game, const std::string& scenario) {
  game.WriteFile("bg.sb1", Picture24(640, 480, [](int x, int y) {
                   if (y < 240) return x < 320 ? kBrown : Rgb{40, 120, 200};
                   return x < 320 ? Rgb{60, 160, 60} : Rgb{230, 200, 120};
                 }).Text());
  EXPECT_EQ(game.Play("＃絵\nbg\n" + scenario), 0);
}

TEST(GoldenFrame, ADialoguePage) {
  TestGame game;
  PlayOnQuarters(game, "＃セリフ\n「こんにちは、旅の人。」\n村の入口で少女が手を振った。\n"
                       "Ｔｕｍｕの世界へようこそ！\n四行目が最後の行です。\n\n");
  const Surface565& frame = game.LastFrame();
  ExpectFrame(frame, "dialogue_page", 0xB6D0498C);
  // Four rows of ink, each inside its 18-pixel cell at (30, 370 + 20 k), none in the gaps.
  for (int row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    EXPECT_GT(CountColour(frame, {30, 370 + 20 * row, 400, 18}, kText565), 60);
    EXPECT_EQ(CountColour(frame, {22, 388 + 20 * row, 596, 2}, kText565), 0);
  }
  EXPECT_EQ(CountColour(frame, {22, 362, 596, 8}, kText565), 0) << "nothing above the first row";
  EXPECT_EQ(CountColour(frame, {22, 362, 8, 96}, kText565), 0) << "nothing left of x = 30";
  EXPECT_EQ(CountColour(frame, {0, 0, 640, 360}, kText565), 0);
}

TEST(GoldenFrame, ATextWindowOverADarkenedPicture) {
  TestGame game;
  PlayOnQuarters(game, "＃文章半透明オン\n＃文章待ちオフ\n第一章　はじまり\n\n"
                       "＃文章追加\nその朝、港町にはめずらしく霧が出ていた。\n"
                       "灯台の光だけが、ゆっくりと海をなでている。\n\n");
  const Surface565& frame = game.LastFrame();
  ExpectFrame(frame, "text_window_darkened", 0x01D57A3C);
  // The picture is at three quarters everywhere; the second block goes on below the first:
  // rows at y = 10, 30 and 50.
  EXPECT_EQ(frame.pixel(639, 0), 0x1AD2) << "(40, 120, 200) at a half plus a quarter";
  EXPECT_GT(CountColour(frame, {10, 10, 400, 18}, kText565), 60);
  EXPECT_EQ(CountColour(frame, {10, 28, 400, 2}, kText565), 0);
  EXPECT_GT(CountColour(frame, {10, 30, 600, 18}, kText565), 100);
  EXPECT_GT(CountColour(frame, {10, 50, 600, 18}, kText565), 100);
  EXPECT_EQ(CountColour(frame, {0, 0, 10, 480}, kText565), 0);
  EXPECT_EQ(CountColour(frame, {0, 70, 640, 410}, kText565), 0);
}

TEST(GoldenFrame, AStyledRow) {
  TestGame game;
  PlayOnQuarters(game, "＃文章\n小さな声で\n＃文字赤極大追加\n大声\n＃文字黄明追加\n"
                       "と、淡い黄色の字。\n\n");
  const Surface565& frame = game.LastFrame();
  ExpectFrame(frame, "styled_row", 0x390434DF);
  // Red ink only in the 80-pixel cell, the first piece's ink only in its cell lowered by 31.
  EXPECT_GT(CountColour(frame, {10, 10, 630, 80}, kRed565), 500);
  EXPECT_EQ(CountColour(frame, {0, 90, 640, 390}, kRed565), 0);
  EXPECT_GT(CountColour(frame, {10, 41, 100, 18}, kText565), 50);
  EXPECT_EQ(CountColour(frame, {10, 10, 100, 31}, kText565), 0);
  EXPECT_EQ(CountColour(frame, {10, 59, 100, 31}, kText565), 0);
  // The third piece: "黄" with "明" is (255, 255, 0) / 2 + 128 = (255, 255, 128), 5-6-5
  // (31, 63, 16).
  EXPECT_GT(CountColour(frame, {100, 41, 540, 18}, 0xFFF0), 50);
  EXPECT_EQ(CountColour(frame, {0, 0, 640, 41}, 0xFFF0), 0);
  EXPECT_EQ(CountColour(frame, {0, 59, 640, 421}, 0xFFF0), 0);
}

}  // namespace
}  // namespace tumu
