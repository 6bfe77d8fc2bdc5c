// What the SDL backend costs while a game waits for the player: the window is open, the frame is
// on the screen, and every turn polls, presents the same frame again and waits in AfterTurn, as
// the engine's loop does. Run under Xvfb (xvfb-run -a); reports the process's processor time as a
// percentage of one core.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>

#include "platform/sdl/sdl_platform.h"

namespace tumu {
namespace {

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

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
  std::string error;
  SdlOptions options;
  options.scale = 1;
  auto platform = SdlPlatform::Create(options, &error);
  if (platform == nullptr) {
    state.SkipWithError(error.c_str());
    return nullptr;
  }
  WindowConfig config;
  config.title = "idle";
  if (!platform->display().Open(config, &error)) {
    state.SkipWithError(error.c_str());
    return nullptr;
  }
  return platform;
}

void BM_IdleWhileTheGameWaitsForAClick(benchmark::State& state) {
  const auto platform = OpenWindow(state);
  if (platform == nullptr) return;
  Platform services = platform->platform();
  const Surface565 frame = TestFrame();
  services.display.Present(frame);
  TurnStatus waiting;
  waiting.waiting = true;
  waiting.settled = true;
  constexpr auto kIdleTime = std::chrono::seconds(10);

  for (auto _ : state) {
    const double cpu_start = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::int64_t turns = 0;
    while (std::chrono::steady_clock::now() - start < kIdleTime) {
      while (services.input.Poll().has_value()) {
      }
      services.display.Present(frame);
      services.input.AfterTurn(waiting);
      ++turns;
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = ProcessCpuSeconds() - cpu_start;
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
    state.counters["turns_per_second"] = static_cast<double>(turns) / wall;
  }
}
BENCHMARK(BM_IdleWhileTheGameWaitsForAClick)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

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
