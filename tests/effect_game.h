// Games whose effects are watched step by step: the test plays up to a click wait, clicks, and
// then takes one frame per animation step, moving the virtual clock itself.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/frame_driver.h"
#include "engine/window_proc.h"
#include "golden.h"
#include "test_game.h"
#include "test_pictures.h"

namespace tumu::testing {

class EffectGame : public TestGame {
 public:
  // Plays the scenario up to its first wait for the player, which it must reach without a fault.
  void PlayUntilWait(const std::string& scenario) {
    EXPECT_EQ(Play(scenario), 0);
    EXPECT_THAT(Errors(), ::testing::IsEmpty());
  }

  // Runs until the scenario waits, then clicks.
  void Click(int x = 5, int y = 5) {
    RunUntilHeld();
    InputEvent click;
    click.type = InputEvent::Type::kLeftDown;
    click.x = x;
    click.y = y;
    HandleInputEvent(engine(), click);
  }

  // Runs the lines that follow until something holds the scenario again.
  void RunUntilHeld() {
    for (int turn = 0; turn < 10000 && !ScenarioHeld(engine()); ++turn) FrameTurn(engine());
  }

  // Runs until the scenario is held, then composes one frame now and one after each further
  // animation step, for at most `count` frames or until the scenario goes on.
  std::vector<Surface565> Frames(int count) {
    RunUntilHeld();
    EngineState& s = state();
    // The last step was just now: the first frame shows the effect as it stands.
    s.anim_last_tick = backend().clock.now();
    std::vector<Surface565> frames;
    while (static_cast<int>(frames.size()) < count && ScenarioHeld(engine())) {
      if (!frames.empty()) Step();
      FrameTurn(engine());
      frames.push_back(LastFrame());
    }
    return frames;
  }

  // Lets one animation interval pass; the next waiting turn advances the effects.
  void Step() {
    backend().clock.Advance(static_cast<std::uint32_t>(state().anim_interval) + 1);
  }
};

// Checks that every pixel of the frame has one colour.
inline void ExpectFlat(const Surface565& frame, std::uint16_t colour, const std::string& label) {
  int differing = 0;
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) differing += frame.pixel(x, y) != colour;
  }
  EXPECT_EQ(differing, 0) << label << ": pixels that are not " << std::hex << colour;
}

}  // namespace tumu::testing
