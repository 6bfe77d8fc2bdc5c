// A scenario file of any bytes: loaded as a packaged scenario and then played for a while, so
// that the loader, the label searches and the dispatcher meet arbitrary lines.
#include <cstdint>
#include <memory>
#include <span>

#include "engine/engine.h"
#include "engine/frame_driver.h"
#include "engine/scenario.h"
#include "engine/window_proc.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tumu::fuzz::FuzzGame& game = tumu::fuzz::FuzzGame::Fresh();
  tumu::Engine& engine = game.engine();
  tumu::LoadScenarioBytes(engine, std::span<const std::uint8_t>(data, size), "start.st1");
  // Lines run one per turn; whatever waits is answered at once, so that the lines after it run.
  for (int turn = 0; turn < 200 && !engine.quit; ++turn) {
    tumu::FrameTurn(engine);
    if (tumu::ScenarioHeld(engine) || engine.state.error_halt) {
      tumu::InputEvent click;
      click.type = tumu::InputEvent::Type::kLeftDown;
      tumu::HandleInputEvent(engine, click);
      game.backend().clock.Advance(500);
    }
  }
  return 0;
}
