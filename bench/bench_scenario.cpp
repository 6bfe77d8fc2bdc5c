// Scenario lines executed per second by the frame driver, headless: loops of "＃GO" and labels.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/engine.h"
#include "engine/frame_driver.h"
#include "engine/scenario.h"
#include "platform/headless/headless_platform.h"
#include "platform/sjis.h"

namespace tumu {
namespace {

class BenchGame {
 public:
  explicit BenchGame(const std::string& utf8_source) : backend_(HeadlessOptions{}) {
    Options options;
    options.headless = true;
    options.game_dir = "/nonexistent";
    options.save_dir = "/nonexistent";
    std::string error;
    engine_ = std::make_unique<Engine>(backend_.platform(), TextRenderer::Open("", &error), options);
    engine_->state.packaged_mode = 0;  // the source is plain text
    CreateWorkSurfaces(engine_->screen);
    const std::string sjis = Utf8ToSjis(utf8_source);
    LoadScenarioBytes(*engine_, {reinterpret_cast<const std::uint8_t*>(sjis.data()), sjis.size()},
                      "start.st1");
    engine_->state.block_check_reported = 1;
  }
  Engine& engine() { return *engine_; }

 private:
  HeadlessPlatform backend_;
  std::unique_ptr<Engine> engine_;
};

void RunLoop(benchmark::State& state, const std::string& source) {
  BenchGame game(source);
  Engine& engine = game.engine();
  for (auto _ : state) {
    FrameTurn(engine);
  }
  if (engine.state.error_halt) state.SkipWithError("the scenario reported an error");
  state.SetItemsProcessed(state.iterations());
  state.counters["lines/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// A jump, a comment and an assignment, the label at the top of the scenario.
void BM_ShortLoop(benchmark::State& state) {
  RunLoop(state, "＃変数宣言\n得点\n\n＃ラベル\n上\n// 数える\n得点＝得点＋１\n＃GO\n上\n");
}
BENCHMARK(BM_ShortLoop);

// A jump to a label and a comment, the label near the top of the scenario or 2000 lines down:
// the store's index makes both jumps cost the same.
std::string JumpLoop(int lines_before) {
  std::string source = "＃GO\n下\n";
  for (int i = 0; i < lines_before; ++i) source += "// 長い前置き\n";
  return source + "＃ラベル\n下\n// 数える\n＃GO\n下\n";
}
void BM_JumpToNearLabel(benchmark::State& state) { RunLoop(state, JumpLoop(0)); }
BENCHMARK(BM_JumpToNearLabel);
void BM_JumpToLabelTwoThousandLinesDown(benchmark::State& state) {
  RunLoop(state, JumpLoop(2000));
}
BENCHMARK(BM_JumpToLabelTwoThousandLinesDown);

// A label reached in sequence leaves through its block end, right below it or 2000 lines down.
std::string LeaveBlockLoop(int lines_inside) {
  std::string source = "＃ラベル\n上\n＃1\n";
  for (int i = 0; i < lines_inside; ++i) source += "// 選んだ後\n";
  return source + "＃＃＃＃\n＃GO\n上\n";
}
void BM_LeaveBlockEndingBelow(benchmark::State& state) { RunLoop(state, LeaveBlockLoop(0)); }
BENCHMARK(BM_LeaveBlockEndingBelow);
void BM_LeaveBlockEndingTwoThousandLinesDown(benchmark::State& state) {
  RunLoop(state, LeaveBlockLoop(2000));
}
BENCHMARK(BM_LeaveBlockEndingTwoThousandLinesDown);

}  // namespace
}  // namespace tumu
