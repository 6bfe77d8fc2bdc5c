// A whole game of any bytes, played headless the way the player plays one: its start scenario,
// further scenarios, pictures, saves and "tumu.ini" are files in a folder of the target's own; the
// game starts as a player starts it and runs for a bounded number of turns, every wait answered
// the way --auto answers it. The input is a game folder as game_folder.h reads it.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/frame_driver.h"
#include "engine/game.h"
#include "engine/scenario.h"
#include "engine/window_proc.h"
#include "fuzz_support.h"
#include "game_folder.h"

namespace tumu::fuzz {
namespace {

constexpr int kMaxTurns = 100;

// The target answers waits itself, turn by turn.
class NoInput final : public Input {
 public:
  std::optional<InputEvent> Poll() override { return std::nullopt; }
  void AfterTurn(const TurnStatus&) override {}
};

// One engine for every game: making an engine and its surfaces takes far longer than playing a
// short game. Before each game every part of it is brought back to the state of a fresh start;
// the surfaces are restored from a copy made right after the screen was first prepared, and only
// those that the last game wrote. The game plays without a back surface (so no error screen is
// painted and no frame composed turn after turn); the frame it ends on is composed once.
class WholeGame {
 public:
  static WholeGame& Shared() {
    static WholeGame game;
    return game;
  }

  void Play(const std::string& folder) {
    Reset(folder);
    if (!OpenGame(*engine_)) return;
    RestoreScreen(engine_->screen, fresh_screen_);
    std::swap(engine_->screen.back_surface, held_back_);
    LoadStartScenario(*engine_);
    RunTurns();
    std::swap(engine_->screen.back_surface, held_back_);
    if (!engine_->quit) Compose(*engine_, /*present=*/false);
  }

 private:
  WholeGame()
      : platform_{clock_, display_, input_, text_input_, audio_, boxes_} {
    Options options;
    options.seed = 1;
    options.window_mode = 1;
    // Not headless and not verbose: the log prints nothing.
    engine_ = std::make_unique<Engine>(platform_, std::make_unique<SharedFont>(), options);
    PrepareScreen(*engine_);
    fresh_screen_ = engine_->screen;
  }

  void Reset(const std::string& folder) {
    // The display only keeps what the game showed (the game reads none of it) and is opened
    // again by every start: kept, so that its frame is not made anew each time.
    clock_ = HeadlessClock();
    text_input_ = HeadlessTextInput();
    for (SoundChannel channel :
         {SoundChannel::kWave, SoundChannel::kLoop, SoundChannel::kMidi, SoundChannel::kCd}) {
      audio_.Close(channel);
    }
    ResetForAnotherGame(*engine_, folder, folder);
  }

  void RunTurns() {
    Engine& engine = *engine_;
    for (int turn = 0; turn < kMaxTurns && !engine.quit; ++turn) {
      FrameTurn(engine);
      // As with --auto, the game is over when it ends or starts again from the top.
      if (engine.quit || engine.state.restart_notice == 1) break;
      const TurnStatus status = ComputeTurnStatus(engine);
      if (status.settled) {
        // What --auto does: the text box gets an empty text, every other wait a left click
        // where the first choice of a menu stands.
        InputEvent event;
        if (status.answer_is_text) {
          event.type = InputEvent::Type::kTextEntered;
        } else {
          event.x = status.answer_x;
          event.y = status.answer_y;
          HandleInputEvent(engine, event);
          event.type = InputEvent::Type::kLeftDown;
        }
        HandleInputEvent(engine, event);
      } else if (status.waiting) {
        // Waits that end by themselves end at once: the clock jumps to what is due next.
        clock_.Advance(std::max<std::uint32_t>(status.next_due_ms.value_or(1), 1));
      }
    }
  }

  HeadlessClock clock_;
  HeadlessDisplay display_{16};
  NoInput input_;
  HeadlessTextInput text_input_;
  TimedAudio audio_{clock_};
  QuietBoxes boxes_;
  Platform platform_;
  std::unique_ptr<Engine> engine_;
  Screen fresh_screen_;
  Surface565 held_back_;  // the back surface, while a game plays without it
};

}  // namespace
}  // namespace tumu::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tumu::fuzz::GameFolder& folder = tumu::fuzz::GameFolder::Shared();
  folder.Fill(std::string_view(reinterpret_cast<const char*>(data), size));
  tumu::fuzz::WholeGame::Shared().Play(folder.path());
  return 0;
}
