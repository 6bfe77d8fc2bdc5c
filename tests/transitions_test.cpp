// Overlaps, wipes and fades watched frame by frame in virtual time: every frame must be exactly
// one step of the blend, the mask or the darkening.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "effect_game.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;

// Brown (25, 30, 5) in 5-6-5, darkened by a quarter step at a time: 3/4 is (12 + 6, 15 + 7,
// 2 + 1); 1/2 is (12, 15, 2); 1/4 is (6, 7, 1).
constexpr std::uint16_t kBrownQuarter = 0x30E1;
// Brown going over to blue (0, 0, 31), per channel, each term shifted on its own:
// level 1 = in/4 + out/2 + out/4 = (0 + 12 + 6, 0 + 15 + 7, 7 + 2 + 1) = (18, 22, 10);
// level 2 = in/2 + out/2 = (12, 15, 15 + 2) ; level 3 = out/4 + in/2 + in/4 = (6, 7, 1 + 15 + 7).
constexpr std::uint16_t kBrownToBlue1 = 0x92CA;
constexpr std::uint16_t kBrownToBlue2 = 0x61F1;
constexpr std::uint16_t kBrownToBlue3 = 0x30F7;

class TransitionGame : public EffectGame {
 public:
  TransitionGame() {
    WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
    WriteFile("blue.sb1", SolidPicture(640, 480, kBlue).Text());
  }
  // A mask that shows the new scene (the mask colour) left of `edge` and the old one right of it.
  void WriteMask(const std::string& name, int edge) {
    WriteFile(name + ".sb1",
              Picture24(640, 480, [edge](int x, int) { return x < edge ? kWhite : kBlack; }).Text());
  }
};

void ExpectFlatFrames(const std::vector<Surface565>& frames,
                      const std::vector<std::uint16_t>& colours) {
  ASSERT_EQ(frames.size(), colours.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ExpectFlat(frames[i], colours[i], "frame " + std::to_string(i));
  }
}

// ---- Fades.

TEST(Fade, OutInFourStepsStaysBlackWhileTheScenarioGoesOnAndComesBackIn) {
  TransitionGame game;
  game.WriteFile("red.sb1", SolidPicture(640, 480, kRed).Text());
  game.PlayUntilWait("＃絵\nbg\n＃クリック待ち\n＃フェードアウト\n＃絵\nred\n＃クリック待ち\n"
                     "＃フェードイン\n＃クリック待ち\n");
  game.Click();
  ExpectFlatFrames(game.Frames(20),
                   {kBrown565, kBrownThreeQuarters, kBrownHalf, kBrownQuarter, kBlack565});
  const EngineState& s = game.state();
  EXPECT_EQ(s.fade_active, 1);
  EXPECT_EQ(s.fading_out, 0);
  EXPECT_EQ(s.click_wait, 0);

  // The next picture comes, under the black.
  game.RunUntilHeld();
  EXPECT_EQ(game.state().background_on, 1);
  ExpectFlat(game.Frames(1)[0], kBlack565, "after the fade-out");

  game.Click();
  // Red (31, 0, 0): a quarter is 7, a half 15, three quarters 15 + 7.
  ExpectFlatFrames(game.Frames(20), {kBlack565, 0x3800, 0x7800, 0xB000, kRed565});
  EXPECT_EQ(s.fade_active, 0);
  EXPECT_EQ(s.fading_in, 0);
  EXPECT_EQ(s.click_wait, 0);
}

TEST(Fade, AClickDoesNotCutItShort) {
  TransitionGame game;
  game.PlayUntilWait("＃絵\nbg\n＃クリック待ち\n＃フェードアウト\n＃クリック待ち\n");
  game.Click();
  EXPECT_EQ(game.Frames(2).size(), 2u);
  EXPECT_EQ(game.state().click_wait, 1);
  game.Click();
  EXPECT_EQ(game.state().click_wait, 0);
  EXPECT_TRUE(ScenarioHeld(game.engine()));
  // Three more steps to black (after the frame of the present step), whatever the click did.
  const std::vector<Surface565> rest = game.Frames(20);
  ASSERT_EQ(rest.size(), 4u);
  ExpectFlat(rest.back(), kBlack565, "end");
}

// ---- Overlaps.

TEST(Overlap, ShowsLevelsZeroToThreeThenTheNewScene) {
  TransitionGame game;
  game.PlayUntilWait("＃絵\nbg\n＃クリック待ち\n＃絵オーバーラップ\nblue\n＃クリック待ち\n");
  game.Click();
  ExpectFlatFrames(game.Frames(20),
                   {kBrown565, kBrownToBlue1, kBrownToBlue2, kBrownToBlue3, kBlue565});
  const EngineState& s = game.state();
  EXPECT_EQ(s.overlap_running, 0);
  EXPECT_EQ(s.click_wait, 0);
  EXPECT_EQ(s.background_on, 1);
  EXPECT_EQ(s.pending_background_set, 1) << "the flag stays until the next transition";
  EXPECT_EQ(game.engine().screen.background_surface.pixel(320, 240), kBlue565);
  EXPECT_TRUE(game.engine().pictures.pending_picture[0].empty()) << "the picture was handed on";
}

TEST(Overlap, OverlapAllWithUnchangedLinesChangesOnlyThePerson) {
  TransitionGame game;
  game.WriteFile("old.sb1", SolidPicture(100, 100, kRed).Text());
  // The new person: a green square at (200, 200), on the mask colour.
  game.WriteFile("new.sb1", Picture24(300, 300, [](int x, int y) {
                   return x >= 200 && y >= 200 ? kGreen : kWhite;
                 }).Text());
  game.PlayUntilWait("＃絵\nbg\n＃人物\nold\n＃クリック待ち\n"
                     "＃全オーバーラップ\nそのまま\nnew\nそのままで\n＃クリック待ち\n");
  game.Click();
  const std::vector<Surface565> frames = game.Frames(20);
  ASSERT_EQ(frames.size(), 5u);
  // Half way, each square is half of itself and half of the brown: red (31, 0, 0) gives
  // (15 + 12, 0 + 15, 0 + 2), green (0, 63, 0) gives (0 + 12, 31 + 15, 2).
  ExpectPixels(frames[2], {{50, 50, 0xD9E2}, {250, 250, 0x65C2}}, "level 2");
  ExpectPixels(frames.back(), {{50, 50, kBrown565}, {250, 250, kGreen565},
                               {639, 479, kBrown565}, {150, 150, kBrown565}},
               "after");
  const EngineState& s = game.state();
  EXPECT_EQ(s.pending_background_set, 0);
  EXPECT_EQ(s.pending_person_set, 1);
  EXPECT_EQ(s.pending_foreground_set, 0);
  EXPECT_EQ(s.foreground_on, 0);
}

TEST(Overlap, AnUnreadableLineIsReportedAndTheOthersStillCome) {
  TransitionGame game;
  game.WriteFile("p.sb1", SolidPicture(100, 100, kRed).Text());
  EXPECT_EQ(game.Play("＃全オーバーラップ\nない\np\nそのまま\n＃クリック待ち\n", "click 5 5\n"),
            0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃絵のファイル名が違います\tない"));
  EXPECT_EQ(game.state().background_on, 0);
  EXPECT_EQ(game.state().person_on, 1);
  ExpectPixels(game.LastFrame(), {{50, 50, kRed565}, {150, 50, kBlack565}});

  // A single overlap with an unreadable picture does not start.
  EXPECT_EQ(game.Play("＃人物オーバーラップ\nない\n＃前景オーバーラップ\n\n＃クリック待ち\n",
                      "click 5 5\nclick 5 5\n"),
            0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃人物のファイル名が違います\tない",
                                         "4\t＃前景のファイル名が違います\t"));
  EXPECT_EQ(game.state().person_on, 0);
  EXPECT_EQ(game.state().overlap_running, 0);
}

// Person frames: the picture (frame 0) is a red square, frames 1 and 2 a green and a blue one.
class AnimatedPersonGame : public TransitionGame {
 public:
  AnimatedPersonGame() {
    WriteFile("p0.sb1", SolidPicture(100, 100, kRed).Text());
    WriteFile("p1.sb1", SolidPicture(100, 100, kGreen).Text());
    WriteFile("p2.sb1", SolidPicture(100, 100, kBlue).Text());
  }
};

TEST(Overlap, ABackgroundOverlapFadesTheAnimatedPersonsFrameIntoItsFirstPicture) {
  AnimatedPersonGame game;
  game.PlayUntilWait("＃絵\nbg\n＃人物\np0\n＃人物アニメ準備\np1\np2\n\n＃人物アニメオン ループ\n"
                     "＃クリック待ち\n＃絵オーバーラップ\nbg\n＃クリック待ち\n");
  game.Click();
  // The animation goes on during the overlap: two steps bring level 2 and person frame 2. The
  // outgoing scene shows that frame (blue, (0, 0, 31)), the incoming one the person's picture
  // (red, (31, 0, 0)): half of each is (15, 0, 15).
  const std::vector<Surface565> frames = game.Frames(20);
  ASSERT_EQ(frames.size(), 5u);
  ExpectPixels(frames[2], {{50, 50, 0x780F}}, "level 2, frame 2");
  EXPECT_EQ(game.state().person_anim_on, 1) << "a background overlap leaves the person moving";
  EXPECT_NE(game.state().person_frame, 0);
}

TEST(Overlap, APersonOverlapStopsTheAnimationAndTheScroll) {
  AnimatedPersonGame game;
  game.WriteFile("wide.sb1", SolidPicture(1280, 480, kGreen).Text());
  game.PlayUntilWait("＃人物\np0\n＃人物アニメ準備\np1\np2\n\n＃人物アニメオン\n＃クリック待ち\n"
                     "＃人物オーバーラップ\np2\n＃クリック待ち\n");
  EXPECT_EQ(game.state().person_anim_on, 1);
  game.Click();
  game.RunUntilHeld();
  EXPECT_EQ(game.state().person_anim_on, 0);
  EXPECT_EQ(game.state().person_frame, 0);

  game.PlayUntilWait("＃人物スクロール\nwide\n10\n0\n＃クリック待ち\n＃全オーバーラップ\n"
                     "そのまま\np1\nそのまま\n＃クリック待ち\n");
  EXPECT_EQ(game.state().scroll[1].scroll_active, 1);
  game.Click();
  game.Frames(20);
  EXPECT_EQ(game.state().scroll[1].scroll_active, 0) << "the new picture ends the scroll";
  EXPECT_FALSE(game.engine().pictures.scroll_picture[1].has_value());
  ExpectPixels(game.LastFrame(), {{50, 50, kGreen565}, {150, 150, kBlack565}});
}

// ---- Wipes.

TEST(Wipe, ShowsStepZeroThenEachMaskThenTheNewScene) {
  TransitionGame game;
  game.WriteMask("m1", 160);
  game.WriteMask("m2", 320);
  game.WriteMask("m3", 480);
  game.PlayUntilWait("＃絵\nbg\n＃ワイプパターン\nm1\nm2\nm3\n\n＃クリック待ち\n"
                     "＃ワイプ\nblue\nそのまま\nそのまま\n＃クリック待ち\n");
  EXPECT_EQ(game.state().wipe_mask_count, 3);
  game.Click();
  const std::vector<Surface565> frames = game.Frames(20);
  ASSERT_EQ(frames.size(), 5u);
  ExpectFlat(frames[0], kBrown565, "step 0");
  for (int step = 1; step <= 3; ++step) {
    const int edge = 160 * step;
    ExpectPixels(frames[static_cast<std::size_t>(step)],
                 {{0, 0, kBlue565}, {edge - 1, 479, kBlue565}, {edge, 0, kBrown565},
                  {639, 479, kBrown565}},
                 "step " + std::to_string(step));
  }
  ExpectFlat(frames[4], kBlue565, "after");
  EXPECT_EQ(game.state().wipe_running, 0);
  EXPECT_EQ(game.state().click_wait, 0);
}

TEST(Wipe, EachMaskIsReadOnceWhenItsStepBegins) {
  TransitionGame game;
  game.WriteMask("m1", 160);
  game.WriteMask("m2", 320);
  game.PlayUntilWait("＃絵\nbg\n＃ワイプパターン\nm1\nm2\n\n＃クリック待ち\n"
                     "＃ワイプ\nblue\nそのまま\nそのまま\n＃クリック待ち\n");
  game.Click();
  ASSERT_EQ(game.Frames(2).size(), 2u);  // step 0, then step 1 has begun
  // The mask of the running step is gone from the disk: the frames of the step stay the same.
  std::filesystem::remove(game.Path("m1.sb1"));
  for (int turn = 0; turn < 5; ++turn) FrameTurn(game.engine());
  EXPECT_THAT(game.Errors(), ::testing::IsEmpty());
  ExpectPixels(game.LastFrame(), {{159, 0, kBlue565}, {160, 0, kBrown565}});
  EXPECT_EQ(game.Frames(20).size(), 3u);  // step 1 again, step 2, the new scene
  ExpectFlat(game.LastFrame(), kBlue565, "after");
}

TEST(Wipe, AMaskThatCannotBeReadEndsTheWipeWithoutTheNewScene) {
  TransitionGame game;
  game.WriteMask("m1", 160);
  game.WriteMask("m2", 320);
  game.PlayUntilWait("＃絵\nbg\n＃ワイプパターン\nm1\nm2\n\n＃クリック待ち\n"
                     "＃ワイプ\nblue\nそのまま\nそのまま\n＃クリック待ち\n");
  std::filesystem::remove(game.Path("m2.sb1"));
  game.Click();
  game.Frames(20);
  EXPECT_THAT(game.Errors(),
              ElementsAre("12\tマスクのファイル名が違います（パスも確認してください）\tm2"));
  EXPECT_EQ(game.state().wipe_running, 0);
  EXPECT_EQ(game.engine().screen.background_surface.pixel(0, 0), kBrown565);
}

TEST(WipePattern, FiftyFilesAreAcceptedFiftyOneAndMissingFilesAndFoldersAreNot) {
  TransitionGame game;
  game.WriteMask("m", 320);
  std::filesystem::create_directories(game.Path("dir.sb1"));
  const std::string fifty = Repeat("m\n", 50);
  game.PlayUntilWait("＃ワイプパターン\n" + fifty + "\n＃クリック待ち\n");
  EXPECT_EQ(game.state().wipe_mask_count, 50);

  const struct {
    std::string lines;
    std::string error;
  } refused[] = {
      {fifty + "m\n", "55\tワイプで使用できるファイル数は\t５０までです"},
      {"m\nない\n", "6\tマスクのファイル名が間違っています\tない"},
      {"m\ndir\n", "6\tマスクのファイル名が間違っています\tdir"},
  };
  for (const auto& c : refused) {
    const int wipe_line = 6 + static_cast<int>(std::count(c.lines.begin(), c.lines.end(), '\n'));
    EXPECT_EQ(game.Play("＃ワイプパターン\nm\n\n＃ワイプパターン\n" + c.lines +
                            "\n＃ワイプ\nblue\nそのまま\nそのまま\n＃クリック待ち\n",
                        Repeat("click 5 5\n", 2)),
              0);
    // The pattern stays undefined, so the wipe after it is reported too; it still shows the new
    // scene at its first step.
    EXPECT_THAT(game.Errors(),
                ElementsAre(c.error, std::to_string(wipe_line) +
                                         "\tワイプパターンが定義されていません\t"
                                         "＃ワイプは＃ワイプパターンの後に使用してください"));
    EXPECT_EQ(game.state().wipe_mask_count, 0);
    ExpectFlat(game.LastFrame(), kBlue565, c.error);
  }
}

// ---- Goldens of the effects in the middle of their run.

// A dusk sky over a dark hill, and a room, drawn in code.
Rgb Dusk(int x, int y) {
  if (y > 340 + (x % 200 < 100 ? x % 100 : 100 - x % 100) / 4) return {40, 70, 50};
  return {30 + y / 3, 40 + y / 4, 150 - y / 5};
}
Rgb Room(int x, int y) {
  if (y > 330) return (x / 80 + y / 30) % 2 ? Rgb{140, 92, 52} : Rgb{120, 80, 44};
  return x > 380 && x < 580 && y > 60 && y < 230 ? Rgb{150, 190, 235} : Rgb{214, 196, 160};
}
// A figure on the mask colour.
Rgb Figure(int x, int y) {
  const int dx = x - 320;
  const int head = (dx * dx + (y - 190) * (y - 190));
  if (head < 50 * 50) return {250, 214, 180};
  if (y > 250 && std::abs(dx) < 70 + (y - 250) / 3) return {60, 70, 140};
  return kWhite;
}

TEST(TransitionGolden, MidCrossFadeMidFadeAndAWipeStep) {
  EffectGame game;
  game.WriteFile("dusk.sb1", Picture24(640, 480, Dusk).Text());
  game.WriteFile("room.sb1", Picture24(640, 480, Room).Text());
  game.WriteFile("figure.sb1", Picture24(640, 480, Figure).Text());
  // A wipe mask: a circle of the new scene that grows from the middle.
  game.WriteFile("circle.sb1", Picture24(640, 480, [](int x, int y) {
                   return (x - 320) * (x - 320) + (y - 240) * (y - 240) < 180 * 180 ? kWhite
                                                                                      : kBlack;
                 }).Text());
  game.PlayUntilWait("＃絵\ndusk\n＃クリック待ち\n＃全オーバーラップ\nroom\nfigure\nそのまま\n"
                     "＃クリック待ち\n＃フェードアウト\n＃フェードイン\n＃絵\ndusk\n＃人物オフ\n"
                     "＃ワイプパターン\ncircle\n\n＃クリック待ち\n"
                     "＃ワイプ\nroom\nfigure\nそのまま\n＃クリック待ち\n");
  game.Click();
  ExpectFrame(game.Frames(3).back(), "transition_cross_fade", 0x067CDD48);
  game.Frames(20);
  game.Click();
  ExpectFrame(game.Frames(3).back(), "transition_fade", 0x1984794D);
  game.Frames(20);
  game.Frames(20);
  game.Click();
  ExpectFrame(game.Frames(2).back(), "transition_wipe_step", 0xBC8737BF);
}

}  // namespace
}  // namespace tumu
