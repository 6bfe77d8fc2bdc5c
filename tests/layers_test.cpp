// Picture layers played through whole headless games: loading pictures into layers, positions,
// adding and masking, the mask colour, translucency, the off commands and the layer order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/dispatcher.h"
#include "engine/frame_driver.h"
#include "golden.h"
#include "engine/compose.h"
#include "picture/picture_loader.h"
#include "platform/sjis.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;

// A full-screen picture whose every pixel tells where it came from: in 5-6-5, red holds
// 16 + x / 64, green x % 64 and blue y % 32. Red between 16 and 25 makes it never white or black,
// so no key ever hides it.
Rgb Where(int x, int y) { return {(16 + x / 64) << 3, (x % 64) << 2, (y % 32) << 3}; }
std::uint16_t WherePixel(int x, int y) {
  return static_cast<std::uint16_t>(((16 + x / 64) << 11) | ((x % 64) << 5) | (y % 32));
}

// A game with the brown background "bg" and the full-screen picture "p" (Where) among its files.
class LayerGame : public TestGame {
 public:
  LayerGame() {
    WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
    WriteFile("p.sb1", Picture24(640, 480, Where).Text());
  }
  // Runs a scenario that has no fault and gives its last frame.
  const Surface565& Show(const std::string& scenario, const std::string& script = "") {
    EXPECT_EQ(Play(scenario, script), 0);
    EXPECT_THAT(Errors(), ::testing::IsEmpty());
    return LastFrame();
  }
};

// ---- Loading pictures into layers.

TEST(LayerPicture, ASmallPictureTakesTheTopLeftCornerAndTheRestIsTransparent) {
  LayerGame game;
  game.WriteFile("face.sb1", Picture24(100, 50, [](int x, int y) {
                   return (x / 10 + y / 10) % 2 ? kRed : kBlue;
                 }).Text());
  const Surface565& frame = game.Show("＃絵\nbg\n＃人物\nface\n＃クリック待ち\n");
  ExpectFrame(frame, "layers_corner_person", 0xBEC5F11C);
  // (99, 49) is 9 + 4 squares from the corner.
  ExpectPixels(frame, {{0, 0, kBlue565}, {10, 0, kRed565}, {99, 49, kRed565}, {100, 0, kBrown565},
                       {0, 50, kBrown565}, {639, 479, kBrown565}});
  EXPECT_EQ(game.state().person_on, 1);

  // The background is opaque, so its uncovered part shows the mask colour.
  game.WriteFile("small.sb1", SolidPicture(100, 50, kRed).Text());
  ExpectPixels(game.Show("＃絵\nsmall\n＃クリック待ち\n"),
               {{99, 49, kRed565}, {100, 49, kWhite565}, {639, 479, kWhite565}});
}

TEST(LayerPicture, WithOrWithoutTheMarkerAndInEveryDepthTheSamePicture) {
  const std::vector<Rgb> palette = {kBrown, kRed, kGreen, kBlue};
  const auto index = [](int x, int y) { return (x / 7 + y / 5) % 4; };
  const BitmapFile eight = Picture8(33, 21, palette, index, /*marker=*/false);
  BitmapFile eight_marked = eight;
  eight_marked.marker = true;
  const BitmapFile twenty_four =
      Picture24(33, 21, [&](int x, int y) { return palette[static_cast<std::size_t>(index(x, y))]; });
  std::vector<std::uint32_t> crcs;
  for (const BitmapFile* file :
       std::initializer_list<const BitmapFile*>{&eight, &eight_marked, &twenty_four}) {
    LayerGame game;
    game.WriteFile("p.sb1", file->Text());
    const Surface565& frame = game.Show("＃人物\np\n＃クリック待ち\n");
    // (32 / 7 + 20 / 5) % 4 = 0; no background: black behind the person.
    ExpectPixels(frame, {{7, 0, kRed565}, {21, 0, kBlue565}, {32, 20, kBrown565},
                         {33, 0, kBlack565}});
    crcs.push_back(FrameCrc(frame));
  }
  EXPECT_THAT(crcs, ElementsAre(crcs[0], crcs[0], crcs[0]));
}

TEST(PictureLoader, ThePlainBranchUsesTheNameAsWrittenBehindThePicturePath) {
  TestGame game;
  game.WriteScenario("start.st1", "＃クリック待ち\n");
  game.WriteFile("e/pic.bmp", SolidPicture(2, 2, kRed, /*marker=*/false).Text());
  game.WriteFile("e/pic.sb1", SolidPicture(2, 2, kGreen).Text());
  game.WriteFile("e/marked.bmp", SolidPicture(2, 2, kBlue, /*marker=*/true).Text());
  game.WriteFile("e/marked.sb1", SolidPicture(2, 2, kBlue, /*marker=*/true).Text());
  EXPECT_EQ(game.Run(), 0);
  Engine& engine = game.engine();
  engine.state.picture_dir.assign("e/");

  // Packaged: the extension is added and the marker is allowed.
  auto packaged = LoadPictureFile(engine, "pic");
  ASSERT_TRUE(packaged.has_value());
  EXPECT_EQ(packaged->pixels[0], kGreen565);
  EXPECT_TRUE(LoadPictureFile(engine, "marked").has_value());

  // Plain, as a start from an ordinary scenario would leave it: no extension, no marker.
  engine.state.packaged_mode = 0;
  engine.state.picture_ext.assign("");
  EXPECT_FALSE(LoadPictureFile(engine, "pic").has_value());
  auto plain = LoadPictureFile(engine, "pic.bmp");
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(plain->pixels[0], kRed565);
  EXPECT_FALSE(LoadPictureFile(engine, "marked.bmp").has_value());
}

TEST(PictureLoader, FillsWithTheMaskColourThenCopiesTheTopLeftCutToTheRectangle) {
  LayerGame game;
  game.Show("＃クリック待ち\n");
  Engine& engine = game.engine();
  Surface565& strip = engine.screen.partial_surface[0];  // 640 x 160
  strip.Fill(0x1234);
  ASSERT_TRUE(LoadPictureIntoSurface(engine, strip, "p", 640, 160));
  ExpectPixels(strip, {{0, 0, WherePixel(0, 0)}, {639, 159, WherePixel(639, 159)}});

  // Only the rectangle is filled; a missing picture leaves it in the mask colour.
  strip.Fill(0x1234);
  EXPECT_FALSE(LoadPictureIntoSurface(engine, strip, "none", 20, 10));
  ExpectPixels(strip, {{19, 9, kWhite565}, {20, 9, 0x1234}, {19, 10, 0x1234}});
  // A larger picture is cut to the rectangle: nothing beyond it.
  ASSERT_TRUE(LoadPictureIntoSurface(engine, strip, "p", 20, 10));
  ExpectPixels(strip, {{19, 9, WherePixel(19, 9)}, {20, 9, 0x1234}});
}

// ---- Positions.

struct PositionCase {
  const char* x;
  const char* y;
  // Where the picture's pixel (0, 0) of the shown part lands, and which pixel that is.
  int screen_x, screen_y, picture_x, picture_y;
};

TEST(LayerPosition, NegativePositionsCutThePictureLargeOnesAreHeldOnScreenAndFarOnesShowNothing) {
  const PositionCase cases[] = {
      {"30", "480", 30, 479, 0, 0},    // 479: a single row
      {"-600", "-400", 0, 0, 600, 400},
      {"10＊3", "値＋1", 30, 8, 0, 0},  // expressions with variables
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(std::string(c.x) + " " + c.y);
    LayerGame game;
    const Surface565& frame =
        game.Show(std::string("＃変数宣言\n値\n\n値＝7\n＃絵\nbg\n＃人物位置\np\n") + c.x + "\n" +
                  c.y + "\n＃クリック待ち\n");
    const int shown_width = 640 - c.screen_x;
    const int shown_height = 480 - c.screen_y;
    EXPECT_EQ(frame.pixel(c.screen_x, c.screen_y), WherePixel(c.picture_x, c.picture_y));
    // The far corner of the shown part is the picture's pixel that far from the first.
    EXPECT_EQ(frame.pixel(639, 479),
              shown_width <= 640 - c.picture_x && shown_height <= 480 - c.picture_y
                  ? WherePixel(c.picture_x + shown_width - 1, c.picture_y + shown_height - 1)
                  : kBrown565);
    if (c.screen_x > 0) {
      EXPECT_EQ(frame.pixel(c.screen_x - 1, 479), kBrown565);
    }
    if (c.screen_y > 0) {
      EXPECT_EQ(frame.pixel(639, c.screen_y - 1), kBrown565);
    }
  }

  // The cut picture ends where the picture ends; at 700 a single column shows.
  LayerGame game;
  const Surface565& cut = game.Show("＃絵\nbg\n＃人物位置\np\n-100\n50\n＃クリック待ち\n");
  ExpectFrame(cut, "layers_person_at_minus_100_50", 0x4D6B6B8A);
  ExpectPixels(cut, {{0, 50, WherePixel(100, 0)}, {539, 50, WherePixel(639, 0)},
                     {540, 50, kBrown565}, {0, 479, WherePixel(100, 429)}, {0, 49, kBrown565}});
  const Surface565& column = game.Show("＃絵\nbg\n＃人物位置\np\n700\n0\n＃クリック待ち\n");
  ExpectFrame(column, "layers_person_at_700", 0xD08D9FF1);
  for (int y : {0, 240, 479}) {
    ExpectPixels(column, {{639, y, WherePixel(0, y)}, {638, y, kBrown565}});
  }

  // Positions far off the screen show nothing.
  // The evaluator keeps values within ten million.
  for (const char* lines : {"-9999999\n-9999999", "-640\n0", "0\n-480", "9999999\n0"}) {
    LayerGame game;
    const Surface565& frame =
        game.Show(std::string("＃絵\nbg\n＃人物位置\np\n") + lines + "\n＃クリック待ち\n");
    const bool column = lines[0] == '9';  // held at 639: one column still shows
    ExpectPixels(frame, {{0, 0, kBrown565}, {639, 479, column ? WherePixel(0, 479) : kBrown565}},
                 lines);
  }
}

TEST(LayerPosition, FaultsInThePositionLines) {
  LayerGame game;
  // A faulty X is reported and taken as 0; the picture still comes, 10 rows down.
  EXPECT_EQ(game.Play("＃人物位置\np\nない＋1\n10\n＃クリック待ち\n", "click 5 5"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre(::testing::AllOf(::testing::StartsWith("3\tERR"),
                                                          ::testing::EndsWith("\tない＋1"))));
  ExpectPixels(game.LastFrame(), {{0, 10, WherePixel(0, 0)}, {0, 9, kBlack565}});

  EXPECT_EQ(game.Play("＃人物位置\np\n\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("3\t＃人物のＸ位置が指定されていません\tp"));

  EXPECT_EQ(game.Play("＃前景位置\np\n5\n\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("4\t＃前景のＹ位置が指定されていません\tp"));

  EXPECT_EQ(game.Play("＃最前景位置\n\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃最前景のファイルが指定されていません\t"));
}

// ---- Adding and masking.

TEST(LayerAdd, AddPastesOverTheOldPictureAndWithoutItTheOldOneGoes) {
  LayerGame game;
  game.WriteFile("a.sb1", SolidPicture(300, 200, kRed).Text());
  game.WriteFile("b.sb1", SolidPicture(200, 100, kGreen).Text());
  const Surface565& replaced =
      game.Show("＃絵\nbg\n＃前景\na\n＃前景追加位置\nb\n200\n150\n＃クリック待ち\n"
                "＃前景位置\nb\n200\n150\n＃クリック待ち\n",
                game.TakeShot("added.png") + "click 5 5\n");
  const Surface565 added = game.Shot("added.png");
  ExpectFrame(added, "layers_add", 0x6943D572);
  ExpectPixels(added, {{0, 0, kRed565}, {199, 199, kRed565}, {200, 150, kGreen565},
                       {299, 199, kGreen565}, {399, 249, kGreen565}, {400, 150, kBrown565},
                       {250, 250, kBrown565}});
  ExpectPixels(replaced, {{0, 0, kBrown565}, {200, 150, kGreen565}});
}

TEST(LayerMask, TheOldPictureStaysOnlyWhereTheNewOneIsBlack) {
  LayerGame game;
  game.WriteFile("old.sb1", SolidPicture(400, 300, kRed).Text());
  // 200 x 200: left half black, right half blue, with a white square in the middle.
  game.WriteFile("mask.sb1", Picture24(200, 200, [](int x, int y) {
                   if (x >= 75 && x < 125 && y >= 75 && y < 125) return kWhite;
                   return x < 100 ? kBlack : kBlue;
                 }).Text());
  const Surface565& frame =
      game.Show("＃絵\nbg\n＃人物\nold\n＃人物マスク位置\nmask\n100\n100\n＃クリック待ち\n");
  ExpectFrame(frame, "layers_mask", 0x74763C32);
  // Outside the pasted area the old picture is untouched; where the new picture is black the
  // old one shows through; blue replaces it; white makes the layer transparent; where the new
  // picture does not reach, the layer is cleared as well.
  ExpectPixels(frame, {{50, 50, kRed565}, {399, 99, kRed565}, {99, 299, kRed565},
                       {100, 100, kRed565}, {174, 299, kRed565}, {200, 100, kBlue565},
                       {200, 200, kBrown565}, {350, 250, kBrown565}, {150, 350, kBrown565},
                       {300, 100, kBrown565}});
}

// ---- The mask colour.

TEST(MaskColour, ValuesAreClampedAndBecomeTheLayersKey) {
  LayerGame game;
  // Stripes of 10 rows: the new mask colour (255, 0, 128), white, green.
  game.WriteFile("p.sb1", Picture24(120, 30, [](int, int y) {
                   return y < 10 ? Rgb{255, 0, 128} : y < 20 ? kWhite : kGreen;
                 }).Text());
  const Surface565& frame =
      game.Show("＃絵\nbg\n＃マスクＲＧＢ\n300\n-5\n128\n＃人物\np\n＃クリック待ち\n");
  const EngineState& s = game.state();
  EXPECT_EQ(s.mask_r, 255);
  EXPECT_EQ(s.mask_g, 0);
  EXPECT_EQ(s.mask_b, 128);
  // (255, 0, 128) is 5-6-5 (31, 0, 16).
  const Screen& screen = game.engine().screen;
  EXPECT_EQ(screen.person_surface.color_key(), std::optional<std::uint16_t>(0xF810));
  EXPECT_EQ(screen.dialogue_text_surface.color_key(), std::optional<std::uint16_t>(kWhite565));
  EXPECT_EQ(screen.mask_surface.color_key(), std::optional<std::uint16_t>(kBlack565));
  ExpectFrame(frame, "layers_mask_rgb", 0xFFE3A1B6);
  // The rest of the layer has the new colour.
  ExpectPixels(frame, {{5, 5, kBrown565}, {5, 15, kWhite565}, {5, 25, kGreen565},
                       {200, 200, kBrown565}});

  // Pictures loaded before keep their pixels, so the old fill shows.
  game.WriteFile("p.sb1", SolidPicture(10, 10, kRed).Text());
  ExpectPixels(game.Show("＃絵\nbg\n＃人物\np\n＃マスクＲＧＢ\n0\n0\n0\n＃クリック待ち\n"),
               {{5, 5, kRed565}, {300, 300, kWhite565}});

  // A faulty line is reported and changes nothing.
  EXPECT_EQ(game.Play("＃マスクＲＧＢ\n10\nない\n30\n＃クリック待ち\n"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre(::testing::AllOf(::testing::StartsWith("3\tERR"),
                                                          ::testing::EndsWith("\tない"))));
  EXPECT_EQ(game.state().mask_r, 255);
  EXPECT_EQ(game.engine().screen.person_surface.color_key(),
            std::optional<std::uint16_t>(kWhite565));
}

// ---- Translucency off.

TEST(TranslucencyOff, WindowsGetBlackBoxesAndTheTextWindowNoDarkening) {
  LayerGame game;
  game.WriteFile("bg.sb1", Picture24(640, 480, [](int x, int y) {
                   return Rgb{60 + x / 8, 90 + y / 8, 140};
                 }).Text());
  const Surface565& frame =
      game.Show("＃絵\nbg\n＃半透明オフ\n＃変数宣言\n日\n\n日＝3\n"
                "＃変数表示\n＃（日）＃日目\n\n＃文章半透明オン\n＃文章待ちオフ\n"
                "霧の朝\n\n＃セリフ\n「まだ暗いね」\n\n");
  ExpectFrame(frame, "layers_translucency_off", 0xB364B2E6);
  // The picture itself, undarkened: (60 + 639 / 8, 90 + 0, 140) = (139, 90, 140) at (639, 0);
  // black inside the dialogue window and the variable box.
  ExpectPixels(frame, {{639, 0, ColorToPixel(PixelFormat{}, 139, 90, 140)},
                       {300, 440, kBlack565}, {24, 55, kBlack565}});
}

// ---- Off commands and failures.

TEST(LayerOff, EachLayerGoesAtTheNextCompositionAndTheSurfacesKeepTheirPictures) {
  LayerGame game;
  game.WriteFile("p.sb1", SolidPicture(10, 10, kRed).Text());
  game.Show("＃人物\np\n＃クリック待ち\n＃人物オフ\n＃クリック待ち\n");
  Engine& engine = game.engine();
  ASSERT_EQ(engine.state.current_line, 3);
  const int presents = game.backend().display.presents();
  DispatchLine(engine);
  EXPECT_EQ(engine.state.person_on, 0);
  EXPECT_EQ(game.backend().display.presents(), presents);
  EXPECT_EQ(game.LastFrame().pixel(5, 5), kRed565);
  FrameTurn(engine);  // still waiting for the click: a composing turn
  EXPECT_EQ(game.LastFrame().pixel(5, 5), kBlack565);

  // Each layer goes and the surfaces keep their pictures.
  game.WriteFile("r.sb1", SolidPicture(10, 10, kRed).Text());
  game.WriteFile("g.sb1", SolidPicture(20, 20, kGreen).Text());
  game.WriteFile("b.sb1", SolidPicture(30, 30, kBlue).Text());
  std::string script;
  for (int i = 0; i < 4; ++i) script += game.TakeShot(std::to_string(i) + ".png") + "click 5 5\n";
  const Surface565& last = game.Show("＃絵\nbg\n＃人物\nb\n＃前景\ng\n＃最前景\nr\n＃クリック待ち\n"
                                     "＃最前景オフ\n＃クリック待ち\n＃前景オフ\n＃クリック待ち\n"
                                     "＃人物オフ\n＃クリック待ち\n＃絵オフ\n＃クリック待ち\n",
                                     script);
  ExpectPixels(game.Shot("0.png"), {{5, 5, kRed565}, {15, 15, kGreen565}, {25, 25, kBlue565}},
               "all");
  ExpectPixels(game.Shot("1.png"), {{5, 5, kGreen565}}, "no frontmost");
  ExpectPixels(game.Shot("2.png"), {{5, 5, kBlue565}}, "no foreground");
  ExpectPixels(game.Shot("3.png"), {{5, 5, kBrown565}}, "no person");
  ExpectPixels(last, {{5, 5, kBlack565}}, "no background");
  EXPECT_EQ(game.engine().screen.person_surface.pixel(5, 5), kBlue565);
}

TEST(LayerFailure, AMissingPictureIsReportedAndLeavesAnEmptyLayerOn) {
  LayerGame game;
  game.WriteFile("p.sb1", SolidPicture(10, 10, kRed).Text());
  EXPECT_EQ(game.Play("＃絵\nbg\n＃人物\np\n＃人物\nない\n＃クリック待ち\n", "click 5 5"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("6\t＃人物のファイル名が違います\tない"));
  EXPECT_EQ(game.state().person_on, 1);
  EXPECT_EQ(game.LastFrame().pixel(5, 5), kBrown565);

  // With "追加" the old picture stays.
  EXPECT_EQ(game.Play("＃絵\nbg\n＃人物\np\n＃人物追加\nない\n＃クリック待ち\n", "click 5 5"), 0);
  EXPECT_EQ(game.LastFrame().pixel(5, 5), kRed565);

  // A missing background shows the mask colour while the layer is on...
  EXPECT_EQ(game.Play("＃絵\nbg\n＃絵\nない\n＃クリック待ち\n", "click 5 5"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("4\t＃絵のファイル名が違います\tない"));
  EXPECT_EQ(game.LastFrame().pixel(300, 300), kWhite565);

  // ...and while it is off it stays off.
  EXPECT_EQ(game.Play("＃絵\nない\n＃クリック待ち\n", "click 5 5"), 0);
  EXPECT_EQ(game.state().background_on, 0);
  EXPECT_EQ(game.LastFrame().pixel(300, 300), kBlack565);
}

// ---- Every layer at once, in order.

TEST(LayerOrder, EveryLayerAndWindowBackToFront) {
  LayerGame game;
  game.UseFakeText();
  game.WriteFile("r.sb1", SolidPicture(200, 200, kRed).Text());
  game.WriteFile("g.sb1", SolidPicture(200, 200, kGreen).Text());
  game.WriteFile("b.sb1", SolidPicture(200, 200, kBlue).Text());
  const Surface565& frame =
      game.Show("＃絵\nbg\n＃人物位置\nr\n100\n40\n＃前景位置\ng\n200\n200\n"
                "＃最前景位置\nb\n300\n250\n＃変数表示\nＡＢＣＤＥＦＧＨＩＪ\n\n"
                "＃セリフ\nあ\n\n");
  ExpectFrame(frame, "layers_every_layer", 0xF18854CF);
  // The person; the foreground over it; the frontmost over that; the dialogue window darkens the
  // frontmost, with its frame on top; the variable box's border.
  ExpectPixels(frame, {{150, 150, kRed565}, {250, 250, kGreen565}, {350, 300, kBlue565},
                       {350, 420, 0x000F}, {20, 360, kFrameBlue565}, {20, 20, kBlue565}});
  // The box (20, 20)-(199, 59) darkens what lies under it (red at half: the person), below its
  // one row of text.
  ExpectPixels(frame, {{60, 50, kBrownHalf}, {150, 50, 0x7800}, {150, 60, kRed565}});
}

// The steps of the frame whose commands other parts of the player bring (partial pictures,
// animation frames, the hover picture, the click mark, fades), set up directly in their places.
TEST(LayerOrder, PartialPicturesHoverClickMarkAndFadeInTheirPlaces) {
  TestGame game;
  EXPECT_EQ(game.Play("＃クリック待ち\n"), 0);
  Engine& engine = game.engine();
  Screen& screen = engine.screen;
  EngineState& s = engine.state;
  const std::uint16_t yellow = 0xFFE0;
  const std::uint16_t magenta = 0xF81F;
  const std::uint16_t cyan = 0x07FF;

  screen.background_surface.Fill(kBrown565);
  s.background_on = 1;
  // Slot 1 shows frame 1 of its strip at (10, 10); slot 3 frame 2 (the strip's x 210 to 419) at
  // (200, 200).
  for (Surface565* strip : {&screen.partial_surface[0], &screen.partial_surface[2]}) {
    strip->Fill(kWhite565);
    strip->FillRect({0, 0, 210, 160}, kRed565);
    strip->FillRect({210, 0, 210, 160}, kBlue565);
  }
  auto show_slot = [&s](int slot, int x, int y, int frame) {
    PartialSlot& p = s.partial[static_cast<std::size_t>(slot)];
    p.partial_on = 1;
    p.partial_x = x;
    p.partial_y = y;
    p.partial_frame = frame;
  };
  show_slot(0, 10, 10, 1);
  show_slot(2, 200, 200, 2);
  // The person in its animation frame 2, over slot 1 and under slot 3.
  screen.person_surface.Fill(kWhite565);
  screen.person_anim_surface[1].Fill(kWhite565);
  screen.person_anim_surface[1].FillRect({100, 100, 200, 200}, kGreen565);
  s.person_on = 1;
  s.person_frame = 2;
  screen.foreground_surface.Fill(kWhite565);
  screen.foreground_surface.FillRect({300, 300, 100, 100}, yellow);
  s.foreground_on = 1;
  screen.incoming_surface.Fill(kWhite565);
  screen.incoming_surface.FillRect({380, 380, 70, 70}, magenta);
  s.hover_picture_shown = 1;
  // Click-mark frames are 80 x 80, 210 apart: frame 2 is the cyan one.
  screen.click_mark_surface.Fill(kWhite565);
  screen.click_mark_surface.FillRect({0, 0, 80, 80}, kRed565);
  screen.click_mark_surface.FillRect({210, 0, 80, 80}, cyan);
  s.click_mark_shown = 1;
  s.click_mark_frame = 2;
  s.click_mark_x = 420;
  s.click_mark_y = 420;

  Compose(engine, true);
  const Surface565& frame = game.LastFrame();
  // Slot 1; the person over it; slot 3 over the person; the foreground over slot 3; the hover
  // picture over the foreground; the click mark over the hover picture.
  ExpectPixels(frame, {{5, 5, kBrown565}, {15, 15, kRed565}, {219, 99, kRed565},
                       {50, 169, kRed565}, {50, 170, kBrown565}, {220, 50, kBrown565},
                       {150, 150, kGreen565}, {250, 250, kBlue565}, {409, 359, kBlue565},
                       {350, 350, yellow}, {390, 390, magenta}, {430, 430, cyan},
                       {499, 479, cyan}, {500, 430, kBrown565}});

  // A fade half way darkens all of it; a person frame beyond 3 draws no person, so slot 1 shows
  // where the person was.
  s.fade_active = 1;
  s.transition_level = 2;
  s.person_frame = 4;
  Compose(engine, true);
  ExpectPixels(frame, {{5, 5, kBrownHalf}, {15, 15, 0x7800}, {150, 150, 0x7800},
                       {430, 430, 0x03EF}});

  // While the error screen is up nothing is composed.
  s.error_halt = 1;
  s.fade_active = 0;
  const int presents = game.backend().display.presents();
  Compose(engine, true);
  EXPECT_EQ(game.backend().display.presents(), presents);
  EXPECT_EQ(frame.pixel(5, 5), kBrownHalf);
}

}  // namespace
}  // namespace tumu
