// Time from starting the player to the demo's first frame on the screen: the real `tumu` binary
// is started in a window (under Xvfb, scripts/run-under-xvfb.sh) with --verbose, and the clock
// stops when it says that its first frame is presented. Everything a player waits through is
// inside: loading the program and its libraries, SDL, the window and its renderer, the font, the
// game's configuration and start scenario, and the first composed frame.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench_process.h"
#include "bench_support.h"

namespace tumu {
namespace {

constexpr std::string_view kFirstFrameLine = "tumu: the first frame is on the screen";
constexpr int kGiveUpMs = 20000;

// Reads the child's stderr until the first-frame line; false when it ended or took too long.
bool WaitForFirstFrame(int fd) {
  std::string said;
  const auto start = std::chrono::steady_clock::now();
  while (said.find(kFirstFrameLine) == std::string::npos) {
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    if (spent > kGiveUpMs) return false;
    pollfd readable{fd, POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(kGiveUpMs - spent)) <= 0) return false;
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof(buffer));
    if (got <= 0) return false;
    said.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

// How the player is started: as a player starts it, or with a part of the start-up left out, to
// show what that part costs.
enum class Variant {
  kAsPlayed,
  kWithOpenGl,    // OpenGL on mesa's software driver, which the player avoids on this machine
  kNoSoundfont,   // as played, but the demo's music loads no soundfont
};

void BM_StartToFirstFrame(benchmark::State& state, Variant variant) {
  bench::TempDir saves;
  std::vector<std::string> args = {bench::kPlayer, "--verbose", "--save-dir", saves.dir()};
  std::vector<std::string> env;
  if (variant == Variant::kWithOpenGl) env = bench::kWithOpenGl;
  if (variant == Variant::kNoSoundfont) {
    args.insert(args.end(), {"--soundfont", saves.dir() + "/none.sf2"});
  }
  args.push_back(bench::kDemoDir);
  std::vector<double> times_ms;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const bench::Child child = bench::Spawn(args, true, env);
    if (child.pid < 0) {
      state.SkipWithError("the player could not be started");
      return;
    }
    const bool shown = WaitForFirstFrame(child.stderr_fd);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::kill(child.pid, SIGKILL);
    ::close(child.stderr_fd);
    rusage usage{};
    bench::WaitFor(child.pid, &usage);
    if (!shown) {
      state.SkipWithError("the player showed no frame");
      return;
    }
    state.SetIterationTime(elapsed);
    times_ms.push_back(elapsed * 1000.0);
  }
  const double first = times_ms.front();
  std::sort(times_ms.begin(), times_ms.end());
  state.counters["first_run_ms"] = first;
  state.counters["min_ms"] = times_ms.front();
  state.counters["median_ms"] = times_ms[times_ms.size() / 2];
  state.counters["max_ms"] = times_ms.back();
}
BENCHMARK_CAPTURE(BM_StartToFirstFrame, AsPlayed, Variant::kAsPlayed)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartToFirstFrame, WithOpenGl, Variant::kWithOpenGl)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartToFirstFrame, NoSoundfont, Variant::kNoSoundfont)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tumu
