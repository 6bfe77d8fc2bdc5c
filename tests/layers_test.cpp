// Picture layers played through whole headless games: loading pictures into layers, positions,
// adding and masking, the mask colour, translucency, the off commands and the layer order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/dispatcher.h"
#include "engine/frame_driver.h"
#include "fake_text_renderer.h"
#include "golden.h"
#include "picture/compose.h"
#include "picture/picture_loader.h"
#include "platform/sjis.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu {
namespace {

using testing::BitmapFile;
using testing::FakeTextRenderer;
using testing::Picture24;
using testing::SolidPicture;
using testing::TestGame;
using ::testing::ElementsAre;

// (200, 120, 40): 5-6-5 (25, 30, 5); at half brightness (12, 15, 2).
constexpr Rgb kBrown{200, 120, 40};
constexpr std::uint16_t kBrown565 = 0xCBC5;
constexpr std::uint16_t kBrownHalf = 0x61E2;
constexpr std::uint16_t kWhite565 = 0xFFFF;
constexpr std::uint16_t kBlack565 = 0x0000;
constexpr std::uint16_t kRed565 = 0xF800;
constexpr std::uint16_t kGreen565 = 0x07E0;
constexpr std::uint16_t kBlue565 = 0x001F;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

void UseFakeText(TestGame& game) {
  game.make_text_renderer = [] { return std::make_unique<FakeTextRenderer>(); };
}

// A full-screen picture whose every pixel tells where it came from: in 5-6-5, red holds
// 16 + x / 64, green x % 64 and blue y % 32. Red between 16 and 25 makes it never white or black,
// so no key ever hides it.
Rgb Where(int x, int y) { return {(16 + x / 64) << 3, (x % 64) << 2, (y % 32) << 3}; }
std::uint16_t WherePixel(int x, int y) {
  return static_cast<std::uint16_t>(((16 + x / 64) << 11) | ((x % 64) << 5) | (y % 32));
}
BitmapFile WherePicture() { return Picture24(640, 480, Where); }

const Surface565& Frame(TestGame& game) { return game.backend().display.LastFrame(); }

// ---- Loading pictures into layers.

TEST(LayerPicture, ASmallPictureTakesTheTopLeftCornerAndTheRestIsTransparent) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("face.sb1", Picture24(100, 50, [](int x, int y) {
                   return (x / 10 + y / 10) % 2 ? kRed : kBlue;
                 }).Text());
  game.WriteScenario("start.st1", "＃絵\nbg\n＃人物\nface\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  const Surface565& frame = Frame(game);
  testing::ExpectFrame(frame, "layers_corner_person", 0xBEC5F11C);
  EXPECT_EQ(frame.pixel(0, 0), kBlue565);
  EXPECT_EQ(frame.pixel(10, 0), kRed565);
  EXPECT_EQ(frame.pixel(99, 49), kRed565);  // 9 + 4 squares from the corner
  EXPECT_EQ(frame.pixel(100, 0), kBrown565);
  EXPECT_EQ(frame.pixel(0, 50), kBrown565);
  EXPECT_EQ(frame.pixel(639, 479), kBrown565);
  EXPECT_EQ(game.state().person_on, 1);
}

TEST(LayerPicture, TheBackgroundIsOpaqueSoItsUncoveredPartShowsTheMaskColour) {
  TestGame game;
  game.WriteFile("small.sb1", SolidPicture(100, 50, kRed).Text());
  game.WriteScenario("start.st1", "＃絵\nsmall\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_EQ(Frame(game).pixel(99, 49), kRed565);
  EXPECT_EQ(Frame(game).pixel(100, 49), kWhite565);
  EXPECT_EQ(Frame(game).pixel(639, 479), kWhite565);
}

TEST(LayerPicture, WithOrWithoutTheMarkerAndInEveryDepthTheSamePicture) {
  const std::vector<Rgb> palette = {kBrown, kRed, kGreen, kBlue};
  const auto index = [](int x, int y) { return (x / 7 + y / 5) % 4; };
  const BitmapFile eight = testing::Picture8(33, 21, palette, index, /*marker=*/false);
  BitmapFile eight_marked = eight;
  eight_marked.marker = true;
  const BitmapFile twenty_four =
      Picture24(33, 21, [&](int x, int y) { return palette[static_cast<std::size_t>(index(x, y))]; });
  std::uint32_t crcs[3] = {};
  int n = 0;
  for (const BitmapFile* file : std::initializer_list<const BitmapFile*>{&eight, &eight_marked,
                                                                       &twenty_four}) {
    TestGame game;
    game.WriteFile("p.sb1", file->Text());
    game.WriteScenario("start.st1", "＃人物\np\n＃クリック待ち\n");
    EXPECT_EQ(game.Run(), 0);
    EXPECT_TRUE(game.Errors().empty());
    EXPECT_EQ(Frame(game).pixel(7, 0), kRed565);
    EXPECT_EQ(Frame(game).pixel(21, 0), kBlue565);
    EXPECT_EQ(Frame(game).pixel(32, 20), kBrown565);  // (32 / 7 + 20 / 5) % 4 = 0
    EXPECT_EQ(Frame(game).pixel(33, 0), kBlack565) << "no background: black behind the person";
    crcs[n++] = testing::FrameCrc(Frame(game));
  }
  EXPECT_EQ(crcs[0], crcs[1]);
  EXPECT_EQ(crcs[0], crcs[2]);
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
  TestGame game;
  game.WriteScenario("start.st1", "＃クリック待ち\n");
  game.WriteFile("wide.sb1", WherePicture().Text());
  EXPECT_EQ(game.Run(), 0);
  Engine& engine = game.engine();
  Surface565& strip = engine.screen.partial_surface[0];  // 640 x 160
  strip.Fill(0x1234);
  ASSERT_TRUE(LoadPictureIntoSurface(engine, strip, "wide", 640, 160));
  EXPECT_EQ(strip.pixel(0, 0), WherePixel(0, 0));
  EXPECT_EQ(strip.pixel(639, 159), WherePixel(639, 159));

  // Only the rectangle is filled; a missing picture leaves it in the mask colour.
  strip.Fill(0x1234);
  EXPECT_FALSE(LoadPictureIntoSurface(engine, strip, "none", 20, 10));
  EXPECT_EQ(strip.pixel(19, 9), kWhite565);
  EXPECT_EQ(strip.pixel(20, 9), 0x1234);
  EXPECT_EQ(strip.pixel(19, 10), 0x1234);
  // A larger picture is cut to the rectangle.
  ASSERT_TRUE(LoadPictureIntoSurface(engine, strip, "wide", 20, 10));
  EXPECT_EQ(strip.pixel(19, 9), WherePixel(19, 9));
  EXPECT_EQ(strip.pixel(20, 9), 0x1234) << "nothing beyond the rectangle";
}

// ---- Positions.

struct PositionCase {
  const char* x;
  const char* y;
  // Where the picture's pixel (0, 0) of the shown part lands, and which pixel that is.
  int screen_x, screen_y, picture_x, picture_y;
};

TEST(LayerPosition, NegativePositionsCutThePictureAndLargeOnesAreHeldOnScreen) {
  // X = -100 and X = 700 have golden frames of their own below.
  const PositionCase cases[] = {
      {"30", "480", 30, 479, 0, 0},    // 479: a single row
      {"-600", "-400", 0, 0, 600, 400},
      {"10＊3", "値＋1", 30, 8, 0, 0},  // expressions with variables
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(std::string(c.x) + " " + c.y);
    TestGame game;
    game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
    game.WriteFile("p.sb1", WherePicture().Text());
    game.WriteScenario("start.st1", std::string("＃変数宣言\n値\n\n値＝7\n＃絵\nbg\n＃人物位置\np\n") +
                                        c.x + "\n" + c.y + "\n＃クリック待ち\n");
    EXPECT_EQ(game.Run(), 0);
    EXPECT_TRUE(game.Errors().empty());
    const Surface565& frame = Frame(game);
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
}

TEST(LayerPosition, TheCutPictureEndsWhereThePictureEnds) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("p.sb1", WherePicture().Text());
  game.WriteScenario("start.st1", "＃絵\nbg\n＃人物位置\np\n-100\n50\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  const Surface565& frame = Frame(game);
  testing::ExpectFrame(frame, "layers_person_at_minus_100_50", 0x4D6B6B8A);
  EXPECT_EQ(frame.pixel(0, 50), WherePixel(100, 0));
  EXPECT_EQ(frame.pixel(539, 50), WherePixel(639, 0));
  EXPECT_EQ(frame.pixel(540, 50), kBrown565);
  EXPECT_EQ(frame.pixel(0, 479), WherePixel(100, 429));
  EXPECT_EQ(frame.pixel(0, 49), kBrown565);
}

TEST(LayerPosition, AtSevenHundredASingleColumnShows) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("p.sb1", WherePicture().Text());
  game.WriteScenario("start.st1", "＃絵\nbg\n＃人物位置\np\n700\n0\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  const Surface565& frame = Frame(game);
  testing::ExpectFrame(frame, "layers_person_at_700", 0xD08D9FF1);
  for (int y : {0, 240, 479}) {
    EXPECT_EQ(frame.pixel(639, y), WherePixel(0, y));
    EXPECT_EQ(frame.pixel(638, y), kBrown565);
  }
}

TEST(LayerPosition, PositionsFarOffTheScreenShowNothing) {
  // The evaluator keeps values within ten million.
  for (const char* lines : {"-9999999\n-9999999", "-640\n0", "0\n-480", "9999999\n0"}) {
    SCOPED_TRACE(lines);
    TestGame game;
    game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
    game.WriteFile("p.sb1", WherePicture().Text());
    game.WriteScenario("start.st1",
                       std::string("＃絵\nbg\n＃人物位置\np\n") + lines + "\n＃クリック待ち\n");
    EXPECT_EQ(game.Run(), 0);
    EXPECT_TRUE(game.Errors().empty());
    const bool column = lines[0] == '9';  // held at 639: one column still shows
    EXPECT_EQ(Frame(game).pixel(0, 0), kBrown565);
    EXPECT_EQ(Frame(game).pixel(639, 479), column ? WherePixel(0, 479) : kBrown565);
  }
}

TEST(LayerPosition, FaultsInThePositionLines) {
  TestGame game;
  game.WriteFile("p.sb1", WherePicture().Text());
  // A faulty X is reported and taken as 0; the picture still comes, 10 rows down.
  game.WriteScenario("start.st1", "＃人物位置\np\nない＋1\n10\n＃クリック待ち\n");
  EXPECT_EQ(game.Run("click 5 5"), 0);
  const std::vector<std::string> errors = game.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_THAT(errors[0], ::testing::StartsWith("3\tERR"));
  EXPECT_THAT(errors[0], ::testing::EndsWith("\tない＋1"));
  EXPECT_EQ(Frame(game).pixel(0, 10), WherePixel(0, 0));
  EXPECT_EQ(Frame(game).pixel(0, 9), kBlack565);

  game.WriteScenario("start.st1", "＃人物位置\np\n\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("3\t＃人物のＸ位置が指定されていません\tp"));

  game.WriteScenario("start.st1", "＃前景位置\np\n5\n\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("4\t＃前景のＹ位置が指定されていません\tp"));

  game.WriteScenario("start.st1", "＃最前景位置\n\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃最前景のファイルが指定されていません\t"));
}

// ---- Adding and masking.

TEST(LayerAdd, AddPastesOverTheOldPictureAndWithoutItTheOldOneGoes) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("a.sb1", SolidPicture(300, 200, kRed).Text());
  game.WriteFile("b.sb1", SolidPicture(200, 100, kGreen).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃前景\na\n＃前景追加位置\nb\n200\n150\n＃クリック待ち\n"
                     "＃前景位置\nb\n200\n150\n＃クリック待ち\n");
  EXPECT_EQ(game.Run("settle\nscreenshot " + game.Path("added.png") + "\nclick 5 5\n"), 0);
  const Surface565 added = testing::ReadPng(game.Path("added.png"));
  ASSERT_FALSE(added.empty());
  testing::ExpectFrame(added, "layers_add", 0x6943D572);
  EXPECT_EQ(added.pixel(0, 0), kRed565);
  EXPECT_EQ(added.pixel(199, 199), kRed565);
  EXPECT_EQ(added.pixel(200, 150), kGreen565);
  EXPECT_EQ(added.pixel(299, 199), kGreen565);
  EXPECT_EQ(added.pixel(399, 249), kGreen565);
  EXPECT_EQ(added.pixel(400, 150), kBrown565);
  EXPECT_EQ(added.pixel(250, 250), kBrown565);
  const Surface565& replaced = Frame(game);
  EXPECT_EQ(replaced.pixel(0, 0), kBrown565);
  EXPECT_EQ(replaced.pixel(200, 150), kGreen565);
}

TEST(LayerMask, TheOldPictureStaysOnlyWhereTheNewOneIsBlack) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("old.sb1", SolidPicture(400, 300, kRed).Text());
  // 200 x 200: left half black, right half blue, with a white square in the middle.
  game.WriteFile("mask.sb1", Picture24(200, 200, [](int x, int y) {
                   if (x >= 75 && x < 125 && y >= 75 && y < 125) return kWhite;
                   return x < 100 ? kBlack : kBlue;
                 }).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃人物\nold\n＃人物マスク位置\nmask\n100\n100\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  const Surface565& frame = Frame(game);
  testing::ExpectFrame(frame, "layers_mask", 0x74763C32);
  // Outside the pasted area the old picture is untouched.
  EXPECT_EQ(frame.pixel(50, 50), kRed565);
  EXPECT_EQ(frame.pixel(399, 99), kRed565);
  EXPECT_EQ(frame.pixel(99, 299), kRed565);
  // Black in the new picture: the old one shows through.
  EXPECT_EQ(frame.pixel(100, 100), kRed565);
  EXPECT_EQ(frame.pixel(174, 299), kRed565);
  // Blue replaces it; white makes the layer transparent.
  EXPECT_EQ(frame.pixel(200, 100), kBlue565);
  EXPECT_EQ(frame.pixel(200, 200), kBrown565);
  // Where the new picture does not reach, the layer is cleared as well.
  EXPECT_EQ(frame.pixel(350, 250), kBrown565);
  EXPECT_EQ(frame.pixel(150, 350), kBrown565);
  EXPECT_EQ(frame.pixel(300, 100), kBrown565);
}

// ---- The mask colour.

TEST(MaskColour, ValuesAreClampedAndBecomeTheLayersKey) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  // Stripes of 10 rows: the new mask colour (255, 0, 128), white, green.
  game.WriteFile("p.sb1", Picture24(120, 30, [](int, int y) {
                   return y < 10 ? Rgb{255, 0, 128} : y < 20 ? kWhite : kGreen;
                 }).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃マスクＲＧＢ\n300\n-5\n128\n＃人物\np\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  const EngineState& s = game.state();
  EXPECT_EQ(s.mask_r, 255);
  EXPECT_EQ(s.mask_g, 0);
  EXPECT_EQ(s.mask_b, 128);
  // (255, 0, 128) is 5-6-5 (31, 0, 16).
  EXPECT_EQ(game.engine().screen.person_surface.color_key(), std::optional<std::uint16_t>(0xF810));
  EXPECT_EQ(game.engine().screen.dialogue_text_surface.color_key(),
            std::optional<std::uint16_t>(kWhite565));
  EXPECT_EQ(game.engine().screen.mask_surface.color_key(), std::optional<std::uint16_t>(kBlack565));
  const Surface565& frame = Frame(game);
  testing::ExpectFrame(frame, "layers_mask_rgb", 0xFFE3A1B6);
  EXPECT_EQ(frame.pixel(5, 5), kBrown565);
  EXPECT_EQ(frame.pixel(5, 15), kWhite565);
  EXPECT_EQ(frame.pixel(5, 25), kGreen565);
  EXPECT_EQ(frame.pixel(200, 200), kBrown565) << "the rest of the layer has the new colour";
}

TEST(MaskColour, PicturesLoadedBeforeKeepTheirPixelsSoTheOldFillShows) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("p.sb1", SolidPicture(10, 10, kRed).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃人物\np\n＃マスクＲＧＢ\n0\n0\n0\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_EQ(Frame(game).pixel(5, 5), kRed565);
  EXPECT_EQ(Frame(game).pixel(300, 300), kWhite565);
}

TEST(MaskColour, AFaultyLineIsReportedAndChangesNothing) {
  TestGame game;
  game.WriteScenario("start.st1", "＃マスクＲＧＢ\n10\nない\n30\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  const std::vector<std::string> errors = game.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_THAT(errors[0], ::testing::StartsWith("3\tERR"));
  EXPECT_THAT(errors[0], ::testing::EndsWith("\tない"));
  EXPECT_EQ(game.state().mask_r, 255);
  EXPECT_EQ(game.engine().screen.person_surface.color_key(),
            std::optional<std::uint16_t>(kWhite565));
}

// ---- Translucency off.

TEST(TranslucencyOff, WindowsGetBlackBoxesAndTheTextWindowNoDarkening) {
  TestGame game;
  game.WriteFile("bg.sb1", testing::Picture24(640, 480, [](int x, int y) {
                   return Rgb{60 + x / 8, 90 + y / 8, 140};
                 }).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃半透明オフ\n＃変数宣言\n日\n\n日＝3\n"
                     "＃変数表示\n＃（日）＃日目\n\n＃文章半透明オン\n＃文章待ちオフ\n"
                     "霧の朝\n\n＃セリフ\n「まだ暗いね」\n\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  const Surface565& frame = Frame(game);
  testing::ExpectFrame(frame, "layers_translucency_off", 0xB364B2E6);
  // The picture itself, undarkened: (60 + 639 / 8, 90 + 0, 140) = (139, 90, 140) at (639, 0).
  EXPECT_EQ(frame.pixel(639, 0), ColorToPixel(PixelFormat{}, 139, 90, 140));
  EXPECT_EQ(frame.pixel(300, 440), kBlack565) << "inside the dialogue window";
  EXPECT_EQ(frame.pixel(24, 55), kBlack565) << "inside the variable box";
}

// ---- Off commands and failures.

TEST(LayerOff, AnOffCommandShowsOnlyAtTheNextComposition) {
  TestGame game;
  game.WriteFile("p.sb1", SolidPicture(10, 10, kRed).Text());
  game.WriteScenario("start.st1", "＃人物\np\n＃クリック待ち\n＃人物オフ\n＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
  Engine& engine = game.engine();
  ASSERT_EQ(engine.state.current_line, 3);
  const int presents = game.backend().display.presents();
  DispatchLine(engine);
  EXPECT_EQ(engine.state.person_on, 0);
  EXPECT_EQ(game.backend().display.presents(), presents);
  EXPECT_EQ(Frame(game).pixel(5, 5), kRed565);
  FrameTurn(engine);  // still waiting for the click: a composing turn
  EXPECT_EQ(Frame(game).pixel(5, 5), kBlack565);
}

TEST(LayerOff, EachLayerGoesAndTheSurfacesKeepTheirPictures) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("r.sb1", SolidPicture(10, 10, kRed).Text());
  game.WriteFile("g.sb1", SolidPicture(20, 20, kGreen).Text());
  game.WriteFile("b.sb1", SolidPicture(30, 30, kBlue).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃人物\nb\n＃前景\ng\n＃最前景\nr\n＃クリック待ち\n"
                     "＃最前景オフ\n＃クリック待ち\n＃前景オフ\n＃クリック待ち\n"
                     "＃人物オフ\n＃クリック待ち\n＃絵オフ\n＃クリック待ち\n");
  std::string script;
  for (int i = 0; i < 4; ++i) {
    script += "settle\nscreenshot " + game.Path(std::to_string(i) + ".png") + "\nclick 5 5\n";
  }
  EXPECT_EQ(game.Run(script), 0);
  const Surface565 all = testing::ReadPng(game.Path("0.png"));
  const Surface565 no_frontmost = testing::ReadPng(game.Path("1.png"));
  const Surface565 no_foreground = testing::ReadPng(game.Path("2.png"));
  const Surface565 no_person = testing::ReadPng(game.Path("3.png"));
  ASSERT_FALSE(all.empty() || no_frontmost.empty() || no_foreground.empty() || no_person.empty());
  EXPECT_EQ(all.pixel(5, 5), kRed565);
  EXPECT_EQ(all.pixel(15, 15), kGreen565);
  EXPECT_EQ(all.pixel(25, 25), kBlue565);
  EXPECT_EQ(no_frontmost.pixel(5, 5), kGreen565);
  EXPECT_EQ(no_foreground.pixel(5, 5), kBlue565);
  EXPECT_EQ(no_person.pixel(5, 5), kBrown565);
  EXPECT_EQ(Frame(game).pixel(5, 5), kBlack565);
  EXPECT_EQ(game.engine().screen.person_surface.pixel(5, 5), kBlue565);
}

TEST(LayerFailure, AMissingPictureIsReportedAndLeavesAnEmptyLayerOn) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("p.sb1", SolidPicture(10, 10, kRed).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃人物\np\n＃人物\nない\n＃クリック待ち\n");
  EXPECT_EQ(game.Run("click 5 5"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("6\t＃人物のファイル名が違います\tない"));
  EXPECT_EQ(game.state().person_on, 1);
  EXPECT_EQ(Frame(game).pixel(5, 5), kBrown565);

  // With "追加" the old picture stays.
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃人物\np\n＃人物追加\nない\n＃クリック待ち\n");
  EXPECT_EQ(game.Run("click 5 5"), 0);
  EXPECT_EQ(Frame(game).pixel(5, 5), kRed565);
}

TEST(LayerFailure, AMissingBackgroundShowsTheMaskColourWhileTheLayerIsOn) {
  TestGame game;
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteScenario("start.st1", "＃絵\nbg\n＃絵\nない\n＃クリック待ち\n");
  EXPECT_EQ(game.Run("click 5 5"), 0);
  EXPECT_THAT(game.Errors(), ElementsAre("4\t＃絵のファイル名が違います\tない"));
  EXPECT_EQ(Frame(game).pixel(300, 300), kWhite565);

  // While it is off it stays off.
  game.WriteScenario("start.st1", "＃絵\nない\n＃クリック待ち\n");
  EXPECT_EQ(game.Run("click 5 5"), 0);
  EXPECT_EQ(game.state().background_on, 0);
  EXPECT_EQ(Frame(game).pixel(300, 300), kBlack565);
}

// ---- Every layer at once, in order.

TEST(LayerOrder, EveryLayerAndWindowBackToFront) {
  TestGame game;
  UseFakeText(game);
  game.WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  game.WriteFile("r.sb1", SolidPicture(200, 200, kRed).Text());
  game.WriteFile("g.sb1", SolidPicture(200, 200, kGreen).Text());
  game.WriteFile("b.sb1", SolidPicture(200, 200, kBlue).Text());
  game.WriteScenario("start.st1",
                     "＃絵\nbg\n＃人物位置\nr\n100\n40\n＃前景位置\ng\n200\n200\n"
                     "＃最前景位置\nb\n300\n250\n＃変数表示\nＡＢＣＤＥＦＧＨＩＪ\n\n"
                     "＃セリフ\nあ\n\n");
  EXPECT_EQ(game.Run(), 0);
  EXPECT_TRUE(game.Errors().empty());
  const Surface565& frame = Frame(game);
  testing::ExpectFrame(frame, "layers_every_layer", 0xF18854CF);
  EXPECT_EQ(frame.pixel(150, 150), kRed565);
  EXPECT_EQ(frame.pixel(250, 250), kGreen565) << "the foreground over the person";
  EXPECT_EQ(frame.pixel(350, 300), kBlue565) << "the frontmost over the foreground";
  EXPECT_EQ(frame.pixel(350, 420), 0x000F) << "the dialogue window darkens the frontmost";
  EXPECT_EQ(frame.pixel(20, 360), 0x633F) << "its frame on top";
  EXPECT_EQ(frame.pixel(20, 20), kBlue565) << "the variable box's border";
  // The box (20, 20)-(199, 59) darkens what lies under it, below its one row of text.
  EXPECT_EQ(frame.pixel(60, 50), kBrownHalf);
  EXPECT_EQ(frame.pixel(150, 50), 0x7800) << "red at half: the person";
  EXPECT_EQ(frame.pixel(150, 60), kRed565);
}

// The steps of the frame whose commands other parts of the player bring (partial pictures,
// animation frames, the hover picture, the click mark, fades), set up directly in their places.
TEST(LayerOrder, PartialPicturesHoverClickMarkAndFadeInTheirPlaces) {
  TestGame game;
  game.WriteScenario("start.st1", "＃クリック待ち\n");
  EXPECT_EQ(game.Run(), 0);
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
  const Surface565& frame = Frame(game);
  EXPECT_EQ(frame.pixel(5, 5), kBrown565);
  EXPECT_EQ(frame.pixel(15, 15), kRed565);
  EXPECT_EQ(frame.pixel(219, 99), kRed565);
  EXPECT_EQ(frame.pixel(50, 169), kRed565);
  EXPECT_EQ(frame.pixel(50, 170), kBrown565);
  EXPECT_EQ(frame.pixel(220, 50), kBrown565);
  EXPECT_EQ(frame.pixel(150, 150), kGreen565) << "the person over slot 1";
  EXPECT_EQ(frame.pixel(250, 250), kBlue565) << "slot 3 over the person";
  EXPECT_EQ(frame.pixel(409, 359), kBlue565);
  EXPECT_EQ(frame.pixel(350, 350), yellow) << "the foreground over slot 3";
  EXPECT_EQ(frame.pixel(390, 390), magenta) << "the hover picture over the foreground";
  EXPECT_EQ(frame.pixel(430, 430), cyan) << "the click mark over the hover picture";
  EXPECT_EQ(frame.pixel(499, 479), cyan);
  EXPECT_EQ(frame.pixel(500, 430), kBrown565);

  // A fade half way darkens all of it; a person frame beyond 3 draws no person.
  s.fade_active = 1;
  s.transition_level = 2;
  s.person_frame = 4;
  Compose(engine, true);
  EXPECT_EQ(frame.pixel(5, 5), kBrownHalf);
  EXPECT_EQ(frame.pixel(15, 15), 0x7800);
  EXPECT_EQ(frame.pixel(150, 150), 0x7800) << "slot 1 where the person was";
  EXPECT_EQ(frame.pixel(430, 430), 0x03EF);

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
