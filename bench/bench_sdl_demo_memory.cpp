// Peak memory while the demo is played through, split by whose it is. The mappings of the playing
// process (/proc/PID/smaps) are read every few milliseconds and their resident sizes summed by
// owner: the program's own heap and anonymous memory, its code, the system's graphics libraries
// (SDL, GL and mesa, LLVM, X), text (FreeType, fontconfig, the fonts), sound (the mixer,
// FluidSynth, the soundfont) and the rest (the C and C++ runtimes...). Each group keeps its own
// largest value.
//
// Each run answers every wait by itself (choice 1 of every menu) up to the end of the game: the
// real `tumu` binary headless (--headless --auto), and the same engine in an SDL window with its
// audio (under Xvfb, scripts/run-under-xvfb.sh), in a child process of this program that runs the
// player's own window set-up with automatic answers in place of the mouse; the window is played
// as a player plays it, then with OpenGL (which the player avoids without a graphics device), then
// without a soundfont.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_process.h"
#include "bench_support.h"
#include "engine/engine.h"
#include "engine/game.h"
#include "engine/reading_comfort.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/text_renderer.h"

namespace tumu {
namespace {

enum Owner { kOwn, kProgram, kGraphics, kText, kSound, kOther, kOwners };
constexpr std::array<const char*, kOwners> kOwnerNames = {
    "own_heap_anon_MiB", "program_code_MiB", "graphics_libs_MiB",
    "text_libs_fonts_MiB", "sound_libs_MiB",  "other_libs_MiB"};

constexpr auto kSampleEvery = std::chrono::milliseconds(10);
constexpr auto kGiveUpAfter = std::chrono::minutes(10);

bool Contains(const std::string& text, std::initializer_list<const char*> parts) {
  return std::any_of(parts.begin(), parts.end(),
                     [&](const char* part) { return text.find(part) != std::string::npos; });
}

bool StartsWith(const std::string& text, std::initializer_list<const char*> prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [&](const char* prefix) { return text.rfind(prefix, 0) == 0; });
}

Owner OwnerOf(const std::string& path, const std::string& program) {
  if (path.empty() || StartsWith(path, {"[heap]", "[stack", "[anon"})) return kOwn;
  if (path == program) return kProgram;
  std::string name = path.substr(path.rfind('/') + 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (StartsWith(name, {"libsdl2_mixer", "libfluidsynth", "libinstpatch", "libasound",
                        "libpulse", "libsndfile", "libogg", "libvorbis", "libopus", "libflac",
                        "libmpg123", "libmodplug", "libxmp", "libjack", "libpipewire",
                        "libmp3lame", "libsamplerate", "libgsm"}) ||
      Contains(name, {".sf2", ".sf3"})) {
    return kSound;
  }
  if (StartsWith(name, {"libfreetype", "libfontconfig", "libharfbuzz", "libgraphite", "libpng",
                        "libbrotli"}) ||
      Contains(name, {".ttf", ".otf", ".ttc", ".cache-"}) || Contains(path, {"/fonts/"})) {
    return kText;
  }
  // SDL itself, the X client libraries, and OpenGL with mesa's software driver and its LLVM.
  if (StartsWith(name, {"libsdl2", "libx", "libgl.", "libglx", "libgldispatch", "libglapi",
                        "libegl", "libgbm", "libdrm", "libgallium", "libllvm", "libwayland",
                        "libdecor", "libvulkan", "libsensors", "libelf", "libz3", "libedit",
                        "libpciaccess", "libicu", "sysv", "memfd:"}) ||
      Contains(name, {"_dri.so"}) || Contains(path, {"/dev/dri"})) {
    return kGraphics;
  }
  return kOther;
}

// The resident size of each owner's mappings, in KiB, and of every mapped file.
struct Sample {
  std::array<double, kOwners> kib{};
  std::map<std::string, double> file_kib;
  bool ok = false;
};

Sample ReadMappings(pid_t pid, const std::string& program) {
  Sample sample;
  std::ifstream smaps("/proc/" + std::to_string(pid) + "/smaps");
  std::string line;
  std::string path;
  while (std::getline(smaps, line)) {
    std::istringstream fields(line);
    std::string first;
    fields >> first;
    if (first.empty()) continue;
    if (first.back() != ':') {
      // A mapping's heading: range, permissions, offset, device, inode, then the path if any.
      std::string skip;
      fields >> skip >> skip >> skip >> skip;
      std::getline(fields >> std::ws, path);
      continue;
    }
    if (first != "Rss:") continue;
    double kib = 0;
    fields >> kib;
    sample.kib[OwnerOf(path, program)] += kib;
    if (!path.empty() && path.front() != '[') sample.file_kib[path] += kib;
    sample.ok = true;
  }
  return sample;
}

// Samples the child until it ends and reports the peaks as counters.
void MeasureChild(benchmark::State& state, const char* run, pid_t pid,
                  const std::string& program) {
  std::array<double, kOwners> peak{};
  std::map<std::string, double> file_peak;
  double total_peak = 0;
  int samples = 0;
  const auto start = std::chrono::steady_clock::now();
  int status = -1;
  rusage usage{};
  for (;;) {
    int raw = 0;
    const pid_t ended = ::wait4(pid, &raw, WNOHANG, &usage);
    if (ended == pid) {
      status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      break;
    }
    if (std::chrono::steady_clock::now() - start > kGiveUpAfter) {
      ::kill(pid, SIGKILL);
      status = bench::WaitFor(pid, &usage);
      state.SkipWithError("the demo did not end in time");
      return;
    }
    const Sample sample = ReadMappings(pid, program);
    if (sample.ok) {
      ++samples;
      double total = 0;
      for (int owner = 0; owner < kOwners; ++owner) {
        peak[owner] = std::max(peak[owner], sample.kib[owner]);
        total += sample.kib[owner];
      }
      total_peak = std::max(total_peak, total);
      for (const auto& [file, kib] : sample.file_kib) {
        file_peak[file] = std::max(file_peak[file], kib);
      }
    }
    std::this_thread::sleep_for(kSampleEvery);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (status != 0) {
    state.SkipWithError(("the demo ended with status " + std::to_string(status)).c_str());
    return;
  }
  for (int owner = 0; owner < kOwners; ++owner) {
    state.counters[kOwnerNames[owner]] = peak[owner] / 1024;
  }
  state.counters["total_sampled_MiB"] = total_peak / 1024;
  state.counters["kernel_peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
  state.counters["samples"] = samples;
  state.counters["play_seconds"] = seconds;
  state.SetIterationTime(seconds);

  // The largest mapped files, so that the grouping above can be checked by eye.
  std::vector<std::pair<double, std::string>> largest;
  for (const auto& [file, kib] : file_peak) largest.emplace_back(kib, file);
  std::sort(largest.rbegin(), largest.rend());
  largest.resize(std::min<std::size_t>(largest.size(), 12));
  std::fprintf(stderr, "%s, largest mapped files (peak resident KiB, owner):\n", run);
  for (const auto& [kib, file] : largest) {
    std::fprintf(stderr, "  %8.0f  %-20s %s\n", kib, kOwnerNames[OwnerOf(file, program)],
                 file.c_str());
  }
}

std::string SelfPath() {
  std::error_code ignored;
  return std::filesystem::read_symlink("/proc/self/exe", ignored).string();
}

void BM_PlayDemoHeadless(benchmark::State& state) {
  bench::TempDir saves;
  for (auto _ : state) {
    const bench::Child child = bench::Spawn(
        {bench::kPlayer, "--headless", "--auto", "--save-dir", saves.dir(), bench::kDemoDir},
        false);
    if (child.pid < 0) {
      state.SkipWithError("the player could not be started");
      return;
    }
    MeasureChild(state, "headless, the tumu binary", child.pid, bench::kPlayer);
  }
}
BENCHMARK(BM_PlayDemoHeadless)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Answers every wait of the game as soon as it has settled, as --auto does headless: choice 1
// of a menu, the first region of a back screen, the point the engine names; ends the run when
// the game has been played through. Until then the window's own input passes through and the
// backend paces the turns.
class AutomaticPlayer final : public Input {
 public:
  explicit AutomaticPlayer(Input& window) : window_(window) {}

  std::optional<InputEvent> Poll() override {
    if (std::optional<InputEvent> event = window_.Poll()) return event;
    if (answers_.empty()) return std::nullopt;
    InputEvent answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  void AfterTurn(const TurnStatus& status) override {
    if (!status.settled || !answers_.empty()) {
      window_.AfterTurn(status);
      return;
    }
    InputEvent event;
    if (status.played_to_end || !status.has_answer) {
      event.type = InputEvent::Type::kEndRun;
      event.exit_code = status.played_to_end ? 0 : 1;
      answers_.push_back(event);
      return;
    }
    if (status.answer_is_text) {
      event.type = InputEvent::Type::kTextEntered;
      answers_.push_back(event);
      return;
    }
    event.x = status.answer_x;
    event.y = status.answer_y;
    answers_.push_back(event);
    event.type = InputEvent::Type::kLeftDown;
    answers_.push_back(event);
  }

  bool ControlHeld() const override { return window_.ControlHeld(); }

 private:
  Input& window_;
  std::deque<InputEvent> answers_;
};

// How the demo is played in the window: as a player plays it, or with a part of the system left
// out, to show how much of the memory that part takes (heap and anonymous memory of the
// libraries count as the program's own in the mappings).
enum class Variant {
  kAsPlayed,
  kWithOpenGl,   // OpenGL on mesa's software driver, which the player avoids on this machine
  kNoSoundfont,  // as played, but the music loads no soundfont
};

// The player's window set-up (src/app/main.cpp), with the automatic player between the window's
// input and the reading aids. Returns the exit status.
int PlayDemoInAWindow(const std::string& save_dir, Variant variant) {
  if (variant == Variant::kWithOpenGl) bench::PutEnv(bench::kWithOpenGl);
  std::string error;
  std::unique_ptr<TextRenderer> text = TextRenderer::Open("", &error);
  if (!text) return 1;
  SdlOptions sdl;
  sdl.text_renderer = text.get();
  if (variant == Variant::kNoSoundfont) sdl.audio.soundfont = save_dir + "/none.sf2";
  std::unique_ptr<SdlPlatform> backend = SdlPlatform::Create(sdl, &error);
  if (!backend) return 1;
  const Platform window = backend->platform();
  AutomaticPlayer player(window.input);
  ReadingComfort comfort(Platform{window.clock, window.display, player, window.text_input,
                                  window.audio, window.message_boxes});
  Options options;
  options.game_dir = bench::kDemoDir;
  options.save_dir = save_dir;
  options.auto_play = true;
  Engine engine(comfort.platform(), std::move(text), options);
  comfort.Attach(engine);
  backend->SetScreenshotDir(save_dir);
  return RunGame(engine);
}

void BM_PlayDemoInAWindow(benchmark::State& state, Variant variant, const char* run) {
  bench::TempDir saves;
  for (auto _ : state) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(PlayDemoInAWindow(saves.dir(), variant));
    if (pid < 0) {
      state.SkipWithError("no child process");
      return;
    }
    MeasureChild(state, run, pid, SelfPath());
  }
}
BENCHMARK_CAPTURE(BM_PlayDemoInAWindow, AsPlayed, Variant::kAsPlayed, "window, as played")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_PlayDemoInAWindow, WithOpenGl, Variant::kWithOpenGl, "window, with OpenGL")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_PlayDemoInAWindow, NoSoundfont, Variant::kNoSoundfont,
                  "window, no soundfont")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tumu
