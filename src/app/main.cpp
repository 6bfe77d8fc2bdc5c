// The player's command line: picks a backend and runs the game. Nothing else lives here.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/game.h"
#include "engine/options.h"
#include "engine/pack_command.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/text_renderer.h"

namespace {

int RunHeadless(const tumu::Options& options, std::unique_ptr<tumu::TextRenderer> text) {
  tumu::HeadlessOptions headless;
  headless.auto_play = options.auto_play;
  headless.auto_seed = options.seed;
  headless.max_ms = options.max_ms;
  headless.shots_dir = options.shots_dir;
  if (!options.script.empty()) {
    std::ifstream in(options.script, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "tumu: cannot read the script %s\n", options.script.c_str());
      return 2;
    }
    const std::string text_of_script((std::istreambuf_iterator<char>(in)), {});
    tumu::ParsedScript script = tumu::ParseScript(text_of_script);
    if (!script.ok) {
      std::fprintf(stderr, "tumu: %s:%d: %s\n", options.script.c_str(), script.error_line,
                   script.error.c_str());
      return 2;
    }
    headless.script = std::move(script.events);
  }
  tumu::HeadlessPlatform backend(std::move(headless));
  tumu::Engine engine(backend.platform(), std::move(text), options);
  if (!options.trace.empty() && !engine.log.OpenTrace(options.trace)) {
    std::fprintf(stderr, "tumu: cannot write the trace %s\n", options.trace.c_str());
    return 1;
  }
  return tumu::RunGame(engine);
}

int RunWithWindow(const tumu::Options& options, std::unique_ptr<tumu::TextRenderer> text) {
  tumu::SdlOptions sdl;
  sdl.scale = options.scale;
  sdl.text_renderer = text.get();
  sdl.audio.soundfont = options.soundfont;
  sdl.audio.music_volume = options.music_volume;
  sdl.audio.sound_volume = options.sound_volume;
  std::string error;
  std::unique_ptr<tumu::SdlPlatform> backend = tumu::SdlPlatform::Create(sdl, &error);
  if (!backend) {
    std::fprintf(stderr, "tumu: cannot open a window: %s\n", error.c_str());
    return 1;
  }
  tumu::Engine engine(backend->platform(), std::move(text), options);
  backend->SetScreenshotDir(engine.files.save_dir());
  if (!options.trace.empty() && !engine.log.OpenTrace(options.trace)) {
    std::fprintf(stderr, "tumu: cannot write the trace %s\n", options.trace.c_str());
    return 1;
  }
  return tumu::RunGame(engine);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const tumu::CommandLine command = tumu::ParseCommandLine(args);
  switch (command.action) {
    case tumu::CommandLine::Action::kHelp:
      std::fputs(tumu::UsageText().c_str(), stdout);
      return 0;
    case tumu::CommandLine::Action::kVersion:
      std::printf("tumu %s\n", TUMU_VERSION);
      return 0;
    case tumu::CommandLine::Action::kError:
      std::fprintf(stderr, "tumu: %s\n\n%s", command.error.c_str(), tumu::UsageText().c_str());
      return 2;
    case tumu::CommandLine::Action::kPack:
      return tumu::RunPackCommand(command.pack_args);
    case tumu::CommandLine::Action::kRun:
      break;
  }
  std::string error;
  std::unique_ptr<tumu::TextRenderer> text = tumu::TextRenderer::Open(command.options.font, &error);
  if (!text) {
    std::fprintf(stderr, "tumu: %s\n", error.c_str());
    return 1;
  }
  if (command.options.headless) return RunHeadless(command.options, std::move(text));
  return RunWithWindow(command.options, std::move(text));
}
