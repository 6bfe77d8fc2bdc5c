// The player's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tumu {

struct Options {
  std::string game_dir = ".";
  std::optional<int> window_mode;  // --window (1) or --fullscreen (0): overrides tumu.ini
  int scale = 0;
  ScaleMode scale_mode = ScaleMode::kFit;
  std::string font;
  std::string soundfont;
  int music_volume = 100;  // MIDI and CD audio, 0-100
  int sound_volume = 100;  // wave sounds, 0-100
  std::string cd_dir;
  std::string save_dir;
  bool headless = false;
  std::string script;
  bool auto_play = false;
  std::optional<std::uint32_t> seed;
  std::string trace;
  std::string dump_vars;
  std::string screenshot;
  std::uint32_t max_ms = 600000;
  std::string shots_dir;
  bool verbose = false;
};

struct CommandLine {
  // kCheckDisplay: only tell whether a window can be opened here.
  enum class Action { kRun, kHelp, kVersion, kPack, kLint, kCheckDisplay, kError };
  Action action = Action::kRun;
  Options options;
  std::vector<std::string> pack_args;  // "scramble"/"unscramble", IN, OUT
  std::vector<std::string> lint_args;  // [--json] GAME_DIR
  std::string error;
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

}  // namespace tumu
