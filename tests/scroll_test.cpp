// Scrolls of the background, the person and the foreground: the window's path over the picture,
// its wrap and its stop at the edges, the click that stops it, and every command that ends it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "effect_game.h"
#include "picture/effects.h"
#include "picture/scroll.h"
#include "vars/variables.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;

// A picture whose every pixel tells its column and row: in 5-6-5, red holds x / 64, green x % 64
// and blue y % 32. Never white, so a person layer shows all of it.
Rgb Where(int x, int y) { return {(x / 64) << 3, (x % 64) << 2, (y % 32) << 3}; }
std::uint16_t WherePixel(int x, int y) {
  return static_cast<std::uint16_t>(((x / 64) << 11) | ((x % 64) << 5) | (y % 32));
}

class ScrollGame : public EffectGame {
 public:
  ScrollGame() {
    WriteFile("wide.sb1", Picture24(1280, 480, Where).Text());
    WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
  }
  // Moves the effects on by `steps` and composes the frame a waiting turn shows then.
  const Surface565& After(int steps) {
    for (int i = 0; i < steps; ++i) AdvanceEffects(engine());
    FrameTurn(engine());
    return LastFrame();
  }
  const ScrollRecord& Background() { return state().scroll[0]; }
};

TEST(Scroll, MovesRightAndWrapsAroundThePicture) {
  ScrollGame game;
  game.PlayUntilWait("＃絵スクロール\nwide\n10\n0\n＃クリック待ち\n");
  EXPECT_EQ(game.state().background_on, 1);
  ExpectPixels(game.After(0), {{0, 0, WherePixel(0, 0)}, {639, 479, WherePixel(639, 479)}});
  // At x = 650 the picture's left edge comes in at screen column 630.
  const Surface565& wrapped = game.After(65);
  EXPECT_EQ(game.Background().scroll_x, 650);
  ExpectPixels(wrapped, {{0, 0, WherePixel(650, 0)}, {629, 100, WherePixel(1279, 100)},
                         {630, 100, WherePixel(0, 100)}, {639, 479, WherePixel(9, 479)}});
  // 650 + 620 = 1270, then 1280 stays (the window shows the left edge), then 1290 wraps to 10.
  game.After(62);
  EXPECT_EQ(game.Background().scroll_x, 1270);
  ExpectPixels(game.After(1), {{0, 0, WherePixel(0, 0)}});
  EXPECT_EQ(game.Background().scroll_x, 1280);
  game.After(1);
  EXPECT_EQ(game.Background().scroll_x, 10);
  ExpectPixels(game.LastFrame(), {{0, 0, WherePixel(10, 0)}});
}

TEST(Scroll, LoopOffRestsAtTheEdgeAndANegativeDistanceStartsAtTheFarEnd) {
  ScrollGame game;
  game.PlayUntilWait("＃絵スクロール ループオフ\nwide\n10\n0\n＃クリック待ち\n");
  game.After(100);
  EXPECT_EQ(game.Background().scroll_x, 640);
  EXPECT_EQ(game.Background().scroll_dx, 0);
  EXPECT_EQ(game.Background().scroll_active, 1) << "it rests, it does not stop";
  ExpectPixels(game.LastFrame(), {{0, 0, WherePixel(640, 0)}, {639, 0, WherePixel(1279, 0)}});

  game.PlayUntilWait("＃絵スクロール\nwide\n-4\n0\n＃クリック待ち\n");
  EXPECT_EQ(game.Background().scroll_x, 640);
  game.After(1);
  EXPECT_EQ(game.Background().scroll_x, 636);
  game.After(159);
  EXPECT_EQ(game.Background().scroll_x, 0);
  game.After(1);
  EXPECT_EQ(game.Background().scroll_x, 1276) << "-4 wraps to the right end";
}

TEST(Scroll, ThePictureIsTiledWithOneWrapInEachDirection) {
  Picture picture;
  picture.width = 1280;
  picture.height = 960;
  for (int y = 0; y < 960; ++y) {
    for (int x = 0; x < 1280; ++x) picture.pixels.push_back(WherePixel(x, y) ^ (y >= 480 ? 0x1F : 0));
  }
  const auto at = [&picture](int x, int y) {
    return picture.pixels[static_cast<std::size_t>(y) * 1280 + static_cast<std::size_t>(x)];
  };
  Surface565 layer(640, 480);
  DrawScrollPicture(layer, 650, 490, picture);
  ExpectPixels(layer, {{0, 0, at(650, 490)}, {629, 469, at(1279, 959)}, {630, 0, at(0, 490)},
                       {0, 470, at(650, 0)}, {630, 470, at(0, 0)}, {639, 479, at(9, 9)}});
}

TEST(ScrollClick, StoresTheWindowsPositionAndGoesOnAfterTheSecondName) {
  ScrollGame game;
  game.PlayUntilWait("＃変数宣言\n横\n縦\n済\n\n＃絵スクロール\nwide\n10\n20\n"
                     "＃絵スクロールクリック\n横\n縦\n済＝1\n＃クリック待ち\n");
  EXPECT_EQ(game.state().picture_scroll_click, 1);
  game.After(3);
  game.Click();
  const EngineState& s = game.state();
  EXPECT_EQ(s.picture_scroll_click, 0);
  EXPECT_EQ(s.scroll[0].scroll_active, 0);
  EXPECT_FALSE(game.engine().pictures.scroll_picture[0].has_value());
  game.RunUntilHeld();
  EXPECT_THAT(game.RunLines(), ::testing::Contains(13));  // 済＝1 ran, after the second name
  EXPECT_THAT(game.RunLines(), ::testing::Not(::testing::Contains(11)));
  const auto value = [&s](const char* name) {
    return s.numeric_values[static_cast<std::size_t>(FindVariable(s, Sjis(name)))];
  };
  EXPECT_EQ(value("横"), 30);
  EXPECT_EQ(value("縦"), 60);
  EXPECT_EQ(value("済"), 1);
  // The layer keeps the window drawn last.
  ExpectPixels(game.After(5), {{0, 0, WherePixel(30, 60)}});
}

TEST(ScrollClick, AnEmptyLineJustStopsTheScroll) {
  ScrollGame game;
  game.PlayUntilWait("＃前景スクロール\nwide\n10\n0\n＃前景スクロールクリック\n\n＃クリック待ち\n");
  EXPECT_EQ(game.state().foreground_on, 1);
  game.Click();
  game.RunUntilHeld();
  EXPECT_EQ(game.state().scroll[2].scroll_active, 0);
  EXPECT_THAT(game.RunLines(), ::testing::Contains(7));
  EXPECT_THAT(game.RunLines(), ::testing::Not(::testing::Contains(6)));
  EXPECT_THAT(game.Errors(), ::testing::IsEmpty());
}

TEST(ScrollClick, Faults) {
  const struct {
    const char* scenario;
    const char* error;
  } cases[] = {
      {"＃人物スクロール クリック\n",
       "1\t人物画面はスクロールしていません\t＃人物スクロールクリック命令はスクロール中に有効です"},
      {"＃絵スクロールクリック\n",
       "1\t絵画面はスクロールしていません\t＃絵スクロールクリック命令はスクロール中に有効です"},
      {"＃前景スクロールクリック\n",
       "1\t前景画面はスクロールしていません\t＃前景スクロールクリック命令はスクロール中に有効です"},
      {"＃絵スクロール\nwide\n1\n1\n＃絵スクロールクリック\nない\n",
       "6\t絵スクロールのＸを代入する 変数 が宣言されていません\tない"},
      {"＃人物スクロール\nwide\n1\n1\n＃人物スクロールクリック\n横\n",
       "7\t人物スクロールのＹを代入する変数が\t指定されていません"},
      {"＃前景スクロール\nwide\n1\n1\n＃前景スクロールクリック\n横\nない\n",
       "7\t前景スクロールのＹを代入する 変数 が宣言されていません\tない"},
  };
  ScrollGame game;
  for (const auto& c : cases) {
    EXPECT_EQ(game.Play(std::string("＃変数宣言\n横\n\n") + c.scenario, "click 5 5\n"), 0);
    const std::string error = c.error;
    const int line = std::stoi(error.substr(0, error.find('\t'))) + 3;
    EXPECT_THAT(game.Errors(), ::testing::Contains(std::to_string(line) + error.substr(error.find('\t'))))
        << c.scenario;
  }
}

TEST(Scroll, FaultsInTheCommandStillShowTheLayer) {
  ScrollGame game;
  EXPECT_EQ(game.Play("＃人物スクロール\nない\n＃前景スクロール\nwide\n\n＃絵スクロール\nwide\n3\n"
                      "\n＃クリック待ち\n",
                      Repeat("click 5 5\n", 3)),
            0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("2\tスクロールのファイル名が違います\tない",
                          "5\tスクロールの移動距離（Ｘ）が指定されていません\t",
                          "9\tスクロールの移動距離（Ｙ）が指定されていません\t"));
  const EngineState& s = game.state();
  EXPECT_EQ(s.person_on + s.foreground_on + s.background_on, 3);
  EXPECT_EQ(s.scroll[0].scroll_active + s.scroll[1].scroll_active + s.scroll[2].scroll_active, 0);
}

TEST(Scroll, EveryCommandThatGivesTheLayerAnotherPictureStopsIt) {
  const struct {
    const char* keyword;
    const char* stopper;
    int layer;
  } cases[] = {
      {"＃絵スクロール", "＃絵\nbg\n", 0},
      {"＃絵スクロール", "＃絵オフ\n", 0},
      {"＃人物スクロール", "＃人物\nbg\n", 1},
      {"＃人物スクロール", "＃人物オフ\n", 1},
      {"＃人物スクロール", "＃人物アニメ準備\nbg\nbg\n\n＃人物アニメオン\n", 1},
      {"＃前景スクロール", "＃前景\nbg\n", 2},
      {"＃前景スクロール", "＃前景オフ\n", 2},
      {"＃前景スクロール", "＃前景アニメ準備\nbg\nbg\n＃前景アニメオン\n", 2},
      {"＃絵スクロール", "＃絵オーバーラップ\nbg\n", 0},
  };
  ScrollGame game;
  for (const auto& c : cases) {
    game.PlayUntilWait(std::string(c.keyword) + "\nwide\n10\n0\n＃クリック待ち\n" + c.stopper +
                       "＃クリック待ち\n");
    EXPECT_EQ(game.state().scroll[static_cast<std::size_t>(c.layer)].scroll_active, 1);
    game.Click();
    game.Frames(5);  // through the overlap, or a few frames of the click wait
    EXPECT_EQ(game.state().scroll[static_cast<std::size_t>(c.layer)].scroll_active, 0) << c.stopper;
    EXPECT_FALSE(game.engine().pictures.scroll_picture[static_cast<std::size_t>(c.layer)])
        << c.stopper;
  }
  // The person shows its new picture, not the scroll's window.
  game.PlayUntilWait("＃人物スクロール\nwide\n10\n0\n＃クリック待ち\n＃人物\nbg\n＃クリック待ち\n");
  game.After(3);
  game.Click();
  ExpectFlat(game.After(3), kBrown565, "the new person");
}

TEST(Scroll, GoldenAcrossTheWrap) {
  ScrollGame game;
  // A long landscape: hills over a sky, with a tower near each end.
  game.WriteFile("land.sb1", Picture24(1280, 480, [](int x, int y) {
                   const int hill = 330 + (x % 320 < 160 ? x % 160 : 160 - x % 160) / 3;
                   if ((x > 60 && x < 100 && y > 180) || (x > 1180 && x < 1220 && y > 150)) {
                     return Rgb{90, 70, 60};
                   }
                   if (y > hill) return Rgb{50, 110 + x / 16, 60};
                   return Rgb{120 + y / 6, 160 + y / 8, 230};
                 }).Text());
  game.PlayUntilWait("＃絵スクロール\nland\n10\n0\n＃クリック待ち\n");
  // At x = 900 the picture's right end fills the screen up to column 379, its start the rest.
  ExpectFrame(game.After(90), "scroll_across_wrap", 0xA96B4EDF);
}

}  // namespace
}  // namespace tumu
