// The player's command line: reads the settings, picks a backend and runs the game. Nothing else
// lives here.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/game.h"
#include "engine/lint.h"
#include "engine/options.h"
#include "engine/pack_command.h"
#include "engine/reading_comfort.h"
#include "engine/settings.h"
#include "platform/headless/headless_platform.h"
#include "platform/png_writer.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/text_renderer.h"

namespace {

std::string ReadWholeFile(const std::string& path, bool* ok) {
  std::ifstream in(path, std::ios::binary);
  *ok = static_cast<bool>(in);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The settings file's options, to stand before the command line's; its faulty lines are told.
std::vector<std::string> SettingsArgs() {
  const char* home = std::getenv("HOME");
  const std::string path = tumu::SettingsPath(std::getenv("XDG_CONFIG_HOME"), home);
  if (path.empty()) return {};
  bool ok = false;
  const std::string text = ReadWholeFile(path, &ok);
  if (!ok) return {};
  const tumu::Settings settings = tumu::ParseSettings(text, home != nullptr ? home : "");
  for (const tumu::SettingsProblem& problem : settings.problems) {
    std::fprintf(stderr, "tumu: %s:%d: %s; the line is ignored\n", path.c_str(), problem.line,
                 problem.message.c_str());
  }
  return settings.args;
}

// With --shots, the shots of the run also go into one picture, and the player says where.
void WriteContactSheet(const std::string& shots_dir, const tumu::HeadlessInput& input) {
  const tumu::Surface565 sheet = input.contact_sheet().Compose();
  if (sheet.empty()) {
    std::fprintf(stderr, "tumu: the game never waited, so there are no screenshots\n");
    return;
  }
  const std::string path = shots_dir + "/contact-sheet.png";
  std::string error;
  if (!tumu::WritePng(path, sheet, &error)) {
    std::fprintf(stderr, "tumu: %s\n", error.c_str());
    return;
  }
  std::printf("tumu: %d screenshots in %s/, all of them in one picture: %s\n",
              input.shots_taken(), shots_dir.c_str(), path.c_str());
}

int RunHeadless(const tumu::Options& options, std::unique_ptr<tumu::TextRenderer> text) {
  tumu::HeadlessOptions headless;
  headless.auto_play = options.auto_play;
  headless.auto_seed = options.seed;
  headless.max_ms = options.max_ms;
  headless.shots_dir = options.shots_dir;
  if (!options.script.empty()) {
    bool ok = false;
    const std::string text_of_script = ReadWholeFile(options.script, &ok);
    if (!ok) {
      std::fprintf(stderr, "tumu: cannot read the script %s\n", options.script.c_str());
      return 2;
    }
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
  const int status = tumu::RunGame(engine);
  if (!options.shots_dir.empty()) WriteContactSheet(options.shots_dir, backend.input);
  return status;
}

tumu::SdlOptions WindowOptions(const tumu::Options& options) {
  tumu::SdlOptions sdl;
  sdl.scale = options.scale;
  sdl.scale_mode = options.scale_mode;
  sdl.verbose = options.verbose;
  return sdl;
}

int CheckDisplay(const tumu::Options& options) {
  std::string error;
  if (tumu::SdlPlatform::Create(WindowOptions(options), &error)) return 0;
  std::fprintf(stderr, "tumu: %s\n", error.c_str());
  return 1;
}

int RunWithWindow(const tumu::Options& options, std::unique_ptr<tumu::TextRenderer> text) {
  tumu::SdlOptions sdl = WindowOptions(options);
  sdl.text_renderer = text.get();
  sdl.audio.soundfont = options.soundfont;
  sdl.audio.music_volume = options.music_volume;
  sdl.audio.sound_volume = options.sound_volume;
  sdl.audio.verbose = options.verbose;
  std::string error;
  std::unique_ptr<tumu::SdlPlatform> backend = tumu::SdlPlatform::Create(sdl, &error);
  if (!backend) {
    std::fprintf(stderr, "tumu: cannot open a window: %s\n", error.c_str());
    return 1;
  }
  tumu::ReadingComfort comfort(backend->platform());
  tumu::Engine engine(comfort.platform(), std::move(text), options);
  comfort.Attach(engine);
  backend->SetScreenshotDir(engine.files.save_dir());
  if (!options.trace.empty() && !engine.log.OpenTrace(options.trace)) {
    std::fprintf(stderr, "tumu: cannot write the trace %s\n", options.trace.c_str());
    return 1;
  }
  return tumu::RunGame(engine);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // The settings come first, so that the command line wins; sub-commands take none.
  if (args.empty() || (args[0] != "pack" && args[0] != "lint")) {
    std::vector<std::string> with_settings = SettingsArgs();
    with_settings.insert(with_settings.end(), args.begin(), args.end());
    args = std::move(with_settings);
  }
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
    case tumu::CommandLine::Action::kLint:
      return tumu::RunLintCommand(command.lint_args);
    case tumu::CommandLine::Action::kCheckDisplay:
      return CheckDisplay(command.options);
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
