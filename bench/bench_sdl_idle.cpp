// What the SDL backend costs while a game waits for a click: the window is open, a line of text
// is on the screen and the engine runs its turns as the main loop does, each turn composing and
// presenting the screen and then letting the backend wait in AfterTurn. Beside it, the same turns
// in the loop a naive frame driver would run: poll, turn (compose and present), again at once,
// with no wait. Run under Xvfb (scripts/run-under-xvfb.sh). Each reports the processor time of
// the whole process (every thread, SDL's included) as a percentage of one core, and how much of a
// core the game's thread wanted: the time it ran plus the time it stood ready while others ran.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "bench_support.h"
#include "engine/engine.h"
#include "engine/frame_driver.h"
#include "engine/game.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/text_renderer.h"

namespace tumu {
namespace {

constexpr auto kMeasuredTime = std::chrono::seconds(10);

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Nanoseconds this thread has run and has waited to run (ready, but the processors were busy).
struct ThreadDemand {
  double running = 0;
  double ready = 0;
};

ThreadDemand ReadThreadDemand() {
  ThreadDemand demand;
  std::ifstream("/proc/thread-self/schedstat") >> demand.running >> demand.ready;
  return demand;
}

std::unique_ptr<SdlPlatform> OpenBackend(benchmark::State& state) {
  std::string error;
  SdlOptions options;
  options.scale = 1;
  auto platform = SdlPlatform::Create(options, &error);
  if (platform == nullptr) state.SkipWithError(error.c_str());
  return platform;
}

// A game that shows one line of text and waits for a click, started in the window and run up
// to that wait.
class WaitingGame {
 public:
  explicit WaitingGame(benchmark::State& state) : backend_(OpenBackend(state)) {
    if (backend_ == nullptr) return;
    if (game_.dir().empty() ||
        !bench::WriteStartScenario(game_.dir(), "夜の町に、星がひとつ落ちてきた。\n\n")) {
      state.SkipWithError("the game could not be written");
      return;
    }
    std::string error;
    std::unique_ptr<TextRenderer> text = TextRenderer::Open("", &error);
    if (!text) {
      state.SkipWithError(error.c_str());
      return;
    }
    Options options;
    options.game_dir = game_.dir();
    options.window_mode = 1;
    engine_ = std::make_unique<Engine>(backend_->platform(), std::move(text), options);
    if (!StartGame(*engine_)) {
      state.SkipWithError("the game did not start");
      engine_.reset();
      return;
    }
    for (int turn = 0; turn < 1000 && !ComputeTurnStatus(*engine_).settled; ++turn) {
      FrameTurn(*engine_);
    }
    if (!ComputeTurnStatus(*engine_).settled || engine_->state.click_wait != 1) {
      state.SkipWithError("the game did not come to its click wait");
      engine_.reset();
    }
  }
  Engine* engine() { return engine_.get(); }

 private:
  bench::TempDir game_;
  std::unique_ptr<SdlPlatform> backend_;
  std::unique_ptr<Engine> engine_;
};

// Runs turns of the waiting game for kMeasuredTime; `paced` lets the backend wait after each
// turn as the main loop does.
void MeasureWaitingTurns(benchmark::State& state, bool paced) {
  WaitingGame game(state);
  Engine* engine = game.engine();
  if (engine == nullptr) return;
  Input& input = engine->platform.input;
  for (auto _ : state) {
    const double cpu_start = ProcessCpuSeconds();
    const ThreadDemand demand_start = ReadThreadDemand();
    const auto start = std::chrono::steady_clock::now();
    std::int64_t turns = 0;
    while (std::chrono::steady_clock::now() - start < kMeasuredTime) {
      while (input.Poll().has_value()) {
      }
      FrameTurn(*engine);
      if (paced) input.AfterTurn(ComputeTurnStatus(*engine));
      ++turns;
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = ProcessCpuSeconds() - cpu_start;
    const ThreadDemand demand_end = ReadThreadDemand();
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
    // On a shared machine a loop that never waits gets only its share of a core; the time it
    // stood ready to run as well shows what it would take on a machine of its own.
    state.counters["game_thread_wants_percent_of_core"] =
        100.0 * (demand_end.running - demand_start.running + demand_end.ready - demand_start.ready) /
        1e9 / wall;
    state.counters["cpu_us_per_turn"] = 1e6 * cpu / static_cast<double>(std::max<std::int64_t>(turns, 1));
    state.counters["turns_per_second"] = static_cast<double>(turns) / wall;
  }
  if (engine->state.click_wait != 1) state.SkipWithError("the click wait ended during the run");
}

void BM_WaitForAClick(benchmark::State& state) { MeasureWaitingTurns(state, true); }
BENCHMARK(BM_WaitForAClick)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_BusyLoopWithoutWaiting(benchmark::State& state) { MeasureWaitingTurns(state, false); }
BENCHMARK(BM_BusyLoopWithoutWaiting)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

Surface565 TestFrame() {
  Surface565 frame(kScreenWidth, kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      frame.set_pixel(x, y, static_cast<std::uint16_t>((y * kScreenWidth + x) * 40503));
    }
  }
  return frame;
}

std::unique_ptr<SdlPlatform> OpenWindow(benchmark::State& state) {
  auto platform = OpenBackend(state);
  if (platform == nullptr) return nullptr;
  std::string error;
  WindowConfig config;
  config.title = "idle";
  if (!platform->display().Open(config, &error)) {
    state.SkipWithError(error.c_str());
    return nullptr;
  }
  return platform;
}

// The price of a waiting turn's presentation when the frame has not changed.
void BM_PresentUnchangedFrame(benchmark::State& state) {
  const auto platform = OpenWindow(state);
  if (platform == nullptr) return;
  const Surface565 frame = TestFrame();
  platform->display().Present(frame);
  for (auto _ : state) platform->display().Present(frame);
}
BENCHMARK(BM_PresentUnchangedFrame)->Unit(benchmark::kMicrosecond);

// A frame that differs from the last one: compare, copy, upload, draw.
void BM_PresentChangedFrame(benchmark::State& state) {
  const auto platform = OpenWindow(state);
  if (platform == nullptr) return;
  Surface565 frame = TestFrame();
  std::uint16_t tick = 0;
  for (auto _ : state) {
    frame.set_pixel(320, 240, ++tick);
    platform->display().Present(frame);
  }
}
BENCHMARK(BM_PresentChangedFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tumu
