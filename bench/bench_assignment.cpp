// How many assignment lines a game runs per second: a headless engine plays a scenario that loops
// over assignment lines (scalars, array elements with computed subscripts, a nested reference)
// through "＃GO" and a label, one line per frame turn, as the main loop runs it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_support.h"
#include "engine/engine.h"
#include "engine/frame_driver.h"
#include "engine/game.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_renderer.h"

namespace tumu {
namespace {

// Assignment lines in one pass of the loop; the pass ends with the "＃GO" line.
constexpr int kAssignmentsPerPass = 8;

constexpr std::string_view kScenario =
    "＃変数宣言\n"
    "得点\n"
    "回数\n"
    "合計\n"
    "点［9］\n"
    "番号［9］\n"
    "\n"
    "＃ラベル\n"
    "ループ\n"
    "回数＝（回数＋1）％10000\n"
    "得点＝（得点＋点［回数％10］＊3＋7）％1000\n"
    "点［回数％10］＝得点－回数\n"
    "番号［（回数＋1）％10］＝回数％10\n"
    "合計＝合計＋点［番号［（回数＋1）％10］］\n"
    "合計＝合計％100000\n"
    "得点 ＝ 得点＊2－合計／7\n"
    "得点＝得点％5000\n"
    "＃GO\n"
    "ループ\n";

void BM_AssignmentLinesPerSecond(benchmark::State& bench) {
  bench::TempDir game;
  if (game.dir().empty()) {
    bench.SkipWithError("no temporary folder");
    return;
  }
  if (!bench::WriteStartScenario(game.dir(), kScenario)) {
    bench.SkipWithError("the scenario could not be written");
    return;
  }

  std::string error;
  std::unique_ptr<TextRenderer> text = TextRenderer::Open("", &error);
  if (!text) {
    bench.SkipWithError(error.c_str());
    return;
  }
  Options options;
  options.headless = true;
  options.game_dir = game.dir();
  options.seed = 1;
  options.window_mode = 1;
  HeadlessPlatform backend{HeadlessOptions{}};
  Engine engine(backend.platform(), std::move(text), options);
  if (!StartGame(engine)) {
    bench.SkipWithError("the game did not start");
    return;
  }
  // Declarations and the label, up to the first assignment.
  for (int i = 0; i < 8; ++i) FrameTurn(engine);

  for (auto _ : bench) {
    for (int i = 0; i < kAssignmentsPerPass + 1; ++i) FrameTurn(engine);
  }
  if (engine.state.error_halt != 0) {
    bench.SkipWithError("the scenario reported an error");
    return;
  }
  // 回数 (slot 1) counts the passes: proof that every line ran as an assignment.
  if (engine.state.numeric_values[1] != static_cast<std::int32_t>(bench.iterations() % 10000)) {
    bench.SkipWithError("the loop did not run as written");
    return;
  }
  bench.SetItemsProcessed(bench.iterations() * kAssignmentsPerPass);
  bench.counters["lines/s"] = benchmark::Counter(
      static_cast<double>(bench.iterations() * (kAssignmentsPerPass + 1)),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AssignmentLinesPerSecond);

}  // namespace
}  // namespace tumu
