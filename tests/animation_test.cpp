// Person, foreground and partial-picture animations, step by step in virtual time, and the
// partial pictures themselves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "effect_game.h"
#include "picture/effects.h"

namespace tumu {
namespace {

using namespace testing;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr std::uint16_t kYellow565 = 0xFFE0;

// The person's picture is a red square, its animation frames a green, a blue and a yellow one, so
// that the colour at (50, 50) tells the frame shown.
class AnimationGame : public EffectGame {
 public:
  AnimationGame() {
    WriteFile("bg.sb1", SolidPicture(640, 480, kBrown).Text());
    WriteFile("p0.sb1", SolidPicture(100, 100, kRed).Text());
    WriteFile("p1.sb1", SolidPicture(100, 100, kGreen).Text());
    WriteFile("p2.sb1", SolidPicture(100, 100, kBlue).Text());
    WriteFile("p3.sb1", SolidPicture(100, 100, Rgb{255, 255, 0}).Text());
  }
  // The frame shown at (x, y) in each of `count` frames, one per animation step.
  std::vector<int> ShownFrames(int count, int x = 50, int y = 50) {
    std::vector<int> shown;
    for (const Surface565& frame : Frames(count)) {
      const std::uint16_t c = frame.pixel(x, y);
      shown.push_back(c == kRed565 ? 0 : c == kGreen565 ? 1 : c == kBlue565 ? 2 : c == kYellow565 ? 3 : -1);
    }
    return shown;
  }
};

// ---- The person.

TEST(PersonAnimation, FrameOrders) {
  const struct {
    const char* scenario;
    std::vector<int> frames;
  } cases[] = {
      {"＃人物アニメ準備\np1\np2\np3\n＃人物アニメオン\n", {0, 1, 2, 3, 2, 1, 2, 3, 2, 1}},
      {"＃人物アニメ準備\np1\np2\n\n＃人物アニメオン\n", {0, 1, 2, 1, 2, 1}},
      {"＃人物アニメ準備\np1\np2\n\n＃人物アニメオン ループ\n", {0, 1, 2, 1, 2, 1}},
      {"＃人物アニメ準備\np1\np2\np3\n＃人物アニメオン ループ\n", {0, 1, 2, 3, 1, 2, 3, 1}},
  };
  AnimationGame game;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario);
    game.PlayUntilWait(std::string("＃絵\nbg\n＃人物\np0\n") + c.scenario + "＃クリック待ち\n");
    EXPECT_THAT(game.ShownFrames(static_cast<int>(c.frames.size())), ElementsAreArray(c.frames));
  }
}

TEST(PersonAnimation, RandomRestsOnFrameOneAndNowAndThenRunsUpAndBack) {
  AnimationGame game;
  game.PlayUntilWait("＃人物\np0\n＃人物アニメ準備\np1\np2\np3\n＃人物アニメオン ランダム\n"
                     "＃クリック待ち\n");
  const std::vector<int> shown = game.ShownFrames(400);
  ASSERT_EQ(shown.size(), 400u);
  EXPECT_THAT(std::vector<int>(shown.begin(), shown.begin() + 2), ElementsAre(0, 1));
  int rests = 0;
  int runs = 0;
  for (std::size_t i = 2; i < shown.size(); ++i) {
    if (shown[i - 1] == 1 && shown[i] == 1) ++rests;
    if (shown[i - 1] == 1 && shown[i] == 2) {
      ++runs;
      // A run goes 2, 3, 2 and back to 1.
      const std::vector<int> run(shown.begin() + static_cast<long>(i),
                                 shown.begin() + static_cast<long>(std::min(i + 4, shown.size())));
      const std::vector<int> whole = {2, 3, 2, 1};
      EXPECT_TRUE(std::equal(run.begin(), run.end(), whole.begin())) << "at step " << i;
    }
  }
  // About one run in 35 rests; the seed makes the count exact, but any sane generator gives
  // a few runs and mostly rests.
  EXPECT_GT(runs, 2);
  EXPECT_LT(runs, 30);
  EXPECT_GT(rests, 250);
}

TEST(PersonAnimation, SoundMovesTheFramesOnlyWhileAWaveSoundPlays) {
  AnimationGame game;
  game.PlayUntilWait("＃人物\np0\n＃人物アニメ準備\np1\np2\n\n＃人物アニメオン 音\n＃クリック待ち\n");
  Engine& engine = game.engine();
  EngineState& s = engine.state;
  std::vector<int> frames;
  for (int open : {0, 0, 0, 1, 1, 1, 1, 0, 0}) {
    s.wave_device_open = open;
    AdvanceEffects(engine);
    frames.push_back(s.person_frame);
  }
  EXPECT_THAT(frames, ElementsAre(1, 1, 1, 2, 1, 2, 1, 1, 1));
}

TEST(PersonAnimation, SoundAndRandomTogetherAreReportedAndTheAnimationRunsPlain) {
  AnimationGame game;
  EXPECT_EQ(game.Play("＃人物\np0\n＃人物アニメ準備\np1\np2\n\n＃人物アニメオン 音 ランダム\n"
                      "＃クリック待ち\n"),
            0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("7\tアニメは「音」「ランダム」の共有はできません\t＃人物アニメオン 音 ランダム"));
  EXPECT_EQ(game.state().person_anim_random, 0);
  EXPECT_EQ(game.state().person_anim_sound, 0);
  game.Click();  // past the error screen
  EXPECT_THAT(game.ShownFrames(5), ElementsAre(0, 1, 2, 1, 2));
}

TEST(PersonAnimation, StoppingAndFaults) {
  AnimationGame game;
  // "＃人物" stops the animation on frame 0; "＃人物オフ" lets it run unseen; the off command
  // stops it; "＃人物アニメオン" starts it again without a new preparation.
  game.PlayUntilWait("＃人物\np0\n＃人物アニメ準備\np1\np2\n\n＃人物アニメオン\n＃クリック待ち\n"
                     "＃人物オフ\n＃クリック待ち\n＃人物アニメオフ\n＃人物アニメオン\n＃クリック待ち\n"
                     "＃人物\np0\n＃クリック待ち\n");
  game.Frames(3);
  game.Click();
  game.Frames(3);
  EXPECT_EQ(game.state().person_anim_on, 1);
  EXPECT_NE(game.state().person_frame, 0);
  EXPECT_EQ(game.state().person_on, 0);
  game.Click();
  game.RunUntilHeld();
  EXPECT_EQ(game.state().person_on, 1) << "the animation shows the person again";
  EXPECT_EQ(game.state().person_frame, 0);
  EXPECT_THAT(game.ShownFrames(3), ElementsAre(0, 1, 2));
  game.Click();
  game.RunUntilHeld();
  EXPECT_EQ(game.state().person_anim_on, 0);
  EXPECT_EQ(game.state().person_frame, 0);
  EXPECT_EQ(game.state().person_frame_count, 2);

  // Faults: nothing prepared; a frame that cannot be read keeps the frames read before it.
  EXPECT_EQ(game.Play("＃人物アニメオン\n＃前景アニメオン\n＃人物アニメ準備\np1\nない\n"
                      "＃人物アニメ準備\n\n＃前景アニメ準備\np1\n\n＃クリック待ち\n",
                      Repeat("click 5 5\n", 5)),
            0);
  EXPECT_THAT(game.Errors(),
              ElementsAre("1\t＃人物アニメ準備がされていません\t＃人物アニメオン",
                          "2\t＃前景アニメ準備がされていません\t＃前景アニメオン",
                          "5\t＃人物アニメ準備のファイル名が違います\tない",
                          "7\t＃人物アニメ準備のファイル名が違います\t",
                          "10\t＃前景アニメ準備のファイル名が違います\t"));
  EXPECT_EQ(game.state().person_frame_count, 0);
  EXPECT_EQ(game.state().foreground_frame_count, 0);
}

// ---- The foreground and the speed.

TEST(ForegroundAnimation, AlternatesOrRestsOnTheFirstPicture) {
  AnimationGame game;
  // The preparation replaces the foreground picture at once, shown or not.
  game.PlayUntilWait("＃前景\np3\n＃前景オフ\n＃前景アニメ準備\np0\np1\n＃クリック待ち\n"
                     "＃前景アニメオン\n＃クリック待ち\n");
  EXPECT_EQ(game.engine().screen.foreground_surface.pixel(50, 50), kRed565);
  EXPECT_EQ(game.state().foreground_on, 0);
  game.Click();
  EXPECT_THAT(game.ShownFrames(5), ElementsAre(0, 1, 0, 1, 0));

  game.PlayUntilWait("＃前景アニメ準備\np0\np1\n＃前景アニメオン ランダム\n＃クリック待ち\n");
  const std::vector<int> shown = game.ShownFrames(200);
  EXPECT_GT(std::count(shown.begin(), shown.end(), 0), 150);
  EXPECT_GT(std::count(shown.begin(), shown.end(), 1), 0);
}

TEST(AnimationSpeed, SetsTheIntervalNegativeIsZeroAndFaultsAreReported) {
  AnimationGame game;
  game.PlayUntilWait("＃アニメスピード\n100＋20\n＃クリック待ち\n");
  EXPECT_EQ(game.state().anim_interval, 120);
  game.PlayUntilWait("＃アニメスピード\n-5\n＃クリック待ち\n");
  EXPECT_EQ(game.state().anim_interval, 0);

  EXPECT_EQ(game.Play("＃アニメスピード\n\n＃アニメスピード\nない\n＃クリック待ち\n",
                      "click 5 5\nclick 5 5\n"),
            0);
  EXPECT_THAT(game.Errors(), ElementsAre("2\t＃アニメスピードの数字がありません\t"
                                         "１／１０００秒単位で指定できます。",
                                         ::testing::StartsWith("4\tERR")));
  EXPECT_EQ(game.state().anim_interval, 40);
}

TEST(AnimationSpeed, WithZeroEveryTurnOnWhichTheClockMovedAdvances) {
  AnimationGame game;
  game.PlayUntilWait("＃人物\np0\n＃人物アニメ準備\np1\np2\n\n＃人物アニメオン\n"
                     "＃アニメスピード\n0\n＃クリック待ち\n");
  Engine& engine = game.engine();
  FrameTurn(engine);
  const int before = game.state().person_frame;
  FrameTurn(engine);
  EXPECT_EQ(game.state().person_frame, before) << "the clock stood still";
  game.backend().clock.Advance(1);
  FrameTurn(engine);
  EXPECT_NE(game.state().person_frame, before);
}

TEST(AnimationSpeed, TheBackendSleepsUntilTheNextStepIsDue) {
  AnimationGame game;
  game.PlayUntilWait("＃人物\np0\n＃人物アニメ準備\np1\np2\n\n＃クリック待ち\n"
                     "＃人物アニメオン\n＃アニメスピード\n100\n＃クリック待ち\n");
  Engine& engine = game.engine();
  EXPECT_FALSE(ComputeTurnStatus(engine).next_due_ms.has_value()) << "nothing moves: no hurry";
  game.Click();
  game.Frames(2);  // a step has just been taken
  EXPECT_EQ(ComputeTurnStatus(engine).next_due_ms, 101u);
  game.backend().clock.Advance(60);
  FrameTurn(engine);
  EXPECT_EQ(ComputeTurnStatus(engine).next_due_ms, 41u);
}

// ---- Partial pictures.

// A strip of three 210 x 160 frames: red, green, blue, each with a white (mask colour) corner.
BitmapFile Strip() {
  return Picture24(630, 160, [](int x, int y) {
    if (x % 210 < 20 && y < 20) return kWhite;
    return x < 210 ? kRed : x < 420 ? kGreen : kBlue;
  });
}

TEST(PartialPicture, AStillPictureShowsTheStripsLeftmostFrameAtItsPosition) {
  AnimationGame game;
  game.WriteFile("strip.sb1", Strip().Text());
  game.PlayUntilWait("＃変数宣言\n横\n\n横＝100\n＃絵\nbg\n＃部分絵1\nstrip\n横＋50\n200\n"
                     "＃クリック待ち\n");
  ExpectPixels(game.LastFrame(), {{150, 200, kBrown565}, {170, 220, kRed565},
                                  {359, 359, kRed565}, {360, 300, kBrown565},
                                  {300, 360, kBrown565}});
  EXPECT_EQ(game.state().partial[0].partial_x, 150);
}

TEST(PartialPicture, FramesPartlyOffTheScreenAreClipped) {
  const struct {
    const char* x;
    const char* y;
    std::vector<Probe> probes;
  } cases[] = {
      {"-100", "400", {{0, 400, kRed565}, {109, 479, kRed565}, {110, 479, kBrown565}}},
      {"600", "-150", {{600, 0, kRed565}, {639, 9, kRed565}, {639, 10, kBrown565}}},
      {"700", "0", {{639, 100, kBrown565}}},
  };
  AnimationGame game;
  game.WriteFile("strip.sb1", Strip().Text());
  for (const auto& c : cases) {
    game.PlayUntilWait(std::string("＃絵\nbg\n＃部分人物2\nstrip\n") + c.x + "\n" + c.y +
                       "\n＃クリック待ち\n");
    ExpectPixels(game.LastFrame(), c.probes, std::string(c.x) + " " + c.y);
  }
}

TEST(PartialPicture, AnimatedSlotFourCyclesAboveThePersonAndBelowTheForeground) {
  AnimationGame game;
  game.WriteFile("strip.sb1", Strip().Text());
  // The person covers (0, 0)-(100, 100), the slot (50, 50)-(260, 210), the foreground a yellow
  // square (80, 80)-(120, 120) over both.
  game.WriteFile("fg.sb1", SolidPicture(40, 40, Rgb{255, 255, 0}).Text());
  game.PlayUntilWait("＃絵\nbg\n＃人物\np0\n＃部分アニメ人物２\nstrip\n50\n50\n"
                     "＃前景位置\nfg\n80\n80\n＃クリック待ち\n");
  std::vector<std::uint16_t> slot_colours;
  for (const Surface565& frame : game.Frames(7)) {
    ExpectPixels(frame, {{100, 100, kYellow565}});
    slot_colours.push_back(frame.pixel(150, 150));
  }
  EXPECT_THAT(slot_colours, ElementsAre(kRed565, kGreen565, kBlue565, kGreen565, kRed565,
                                        kGreen565, kBlue565));
  // The corner of each frame has the mask colour: the person shows through it.
  ExpectPixels(game.LastFrame(), {{60, 60, kRed565}, {110, 60, kBlue565}});
}

TEST(PartialPicture, OffCommandsOptionsAndFaults) {
  AnimationGame game;
  game.WriteFile("strip.sb1", Strip().Text());
  game.PlayUntilWait("＃絵\nbg\n＃部分アニメ絵１ 音 ランダム\nstrip\n0\n0\n＃クリック待ち\n"
                     "＃部分アニメ絵1オフ\n＃クリック待ち\n＃部分絵１オフ\n＃クリック待ち\n");
  const PartialSlot& p = game.state().partial[0];
  EXPECT_EQ(p.partial_anim_random, 1) << "random wins, and it is no fault";
  EXPECT_EQ(p.partial_anim_sound, 0);
  game.Frames(30);
  game.Click();
  game.RunUntilHeld();
  EXPECT_EQ(p.partial_anim_on, 0);
  ExpectPixels(game.Frames(3).back(), {{100, 100, kRed565}}, "frozen on frame 1");
  game.Click();
  ExpectPixels(game.Frames(1).back(), {{100, 100, kBrown565}}, "hidden");

  // A faulty position line keeps the old position; the slot is shown all the same.
  EXPECT_EQ(game.Play("＃部分絵2\nstrip\n30\n40\n＃部分絵2\nstrip\n5\nない\n"
                      "＃部分人物1\n\n＃部分人物1\nない\n＃部分絵2\nstrip\n\n"
                      "＃部分絵2\nstrip\n7\n\n＃クリック待ち\n",
                      Repeat("click 5 5\n", 5)),
            0);
  EXPECT_THAT(game.Errors(),
              ElementsAre(::testing::AllOf(::testing::StartsWith("8\tERR"),
                                           ::testing::EndsWith("\tない")),
                          "10\t部分絵（又はアニメ）の\tファイル名が指定されていません",
                          "12\t＃部分絵（又はアニメ）のファイル名が違います\tない",
                          "15\t＃部分絵（又はアニメ）のＸ位置指定がありません\tstrip",
                          "19\t＃部分絵（又はアニメ）のＹ位置指定がありません\tstrip"));
  EXPECT_EQ(game.state().partial[1].partial_x, 7);
  EXPECT_EQ(game.state().partial[1].partial_y, 40);
  EXPECT_EQ(game.state().partial[2].partial_on, 1);
}

TEST(PartialPicture, GoldenAnimatedPartialPictures) {
  AnimationGame game;
  // Three frames of a little lamp whose flame grows, on the mask colour.
  game.WriteFile("lamp.sb1", Picture24(630, 160, [](int x, int y) {
                   const int frame = x / 210;
                   const int cx = x % 210 - 105;
                   if (y > 110 && std::abs(cx) < 30) return Rgb{120, 90, 60};
                   const int flame = 30 + 15 * frame;
                   const int dy = 110 - y;
                   if (dy > 0 && dy < flame && std::abs(cx) < (flame - dy) / 2 + 4) {
                     return Rgb{255, 200 - 40 * frame, 40};
                   }
                   return kWhite;
                 }).Text());
  game.WriteFile("dusk.sb1", Picture24(640, 480, [](int x, int y) {
                   return Rgb{30 + y / 4, 40 + y / 5, 120 + x / 8};
                 }).Text());
  game.PlayUntilWait("＃絵\ndusk\n＃部分アニメ絵1\nlamp\n40\n300\n＃部分アニメ人物2\nlamp\n400\n"
                     "300\n＃人物\np0\n＃クリック待ち\n");
  ExpectFrame(game.Frames(3).back(), "partial_animation", 0xAE5269FC);
}

}  // namespace
}  // namespace tumu
