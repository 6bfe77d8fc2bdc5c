#include "engine/options.h"

#include <charconv>

namespace tumu {

namespace {

bool ParseNumber(const std::string& text, std::uint64_t max, std::uint64_t* out) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty() || value > max) return false;
  *out = value;
  return true;
}

bool ParseScaleMode(const std::string& text, ScaleMode* mode) {
  if (text == "pixel") {
    *mode = ScaleMode::kPixel;
  } else if (text == "fit") {
    *mode = ScaleMode::kFit;
  } else if (text == "smooth") {
    *mode = ScaleMode::kSmooth;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string UsageText() {
  return "usage: tumu [options] [GAME_DIR]\n"
         "       tumu pack scramble|unscramble IN OUT\n"
         "       tumu lint [--json] GAME_DIR\n"
         "\n"
         "Plays the game in GAME_DIR (default: the current directory).\n"
         "\n"
         "  --window | --fullscreen  play in a window or full screen (overrides tumu.ini)\n"
         "  --scale N                window size N x 640x480 (default: largest that fits, max 2)\n"
         "  --scale-mode MODE        pixel (whole multiples), fit (default) or smooth (filtered)\n"
         "  --music-volume N         MIDI and CD music volume, 0-100 (default 100)\n"
         "  --sound-volume N         wave sound volume, 0-100 (default 100)\n"
         "  --font FILE              font for Japanese text\n"
         "  --soundfont FILE         SF2/SF3 soundfont for MIDI\n"
         "  --cd-dir DIR             ripped CD tracks (trackNN.ogg/flac/opus/mp3/wav)\n"
         "  --save-dir DIR           where saves and debug1.txt go\n"
         "  --headless               no window, no audio device, virtual clock\n"
         "  --script FILE            input events for --headless\n"
         "  --auto                   headless: click every wait, take choice 1 of every menu\n"
         "                           (a random one with --seed), the first region of a back\n"
         "                           screen; ends when the game has been played through\n"
         "  --seed N                 seed the random generator with N\n"
         "  --trace FILE             write every executed line and error report (UTF-8)\n"
         "  --dump-vars FILE         at exit: numeric and string variables (UTF-8)\n"
         "  --screenshot FILE        at exit: the last frame as PNG\n"
         "  --max-ms N               headless: stop after N ms of virtual time (default 600000)\n"
         "  --shots DIR              headless: a numbered PNG each time the game settles, and\n"
         "                           contact-sheet.png with all of them\n"
         "  --verbose                log what the player does on stderr\n"
         "  --check-display          only tell whether a window can be opened (exit 0 or 1)\n"
         "  --version, --help\n"
         "\n"
         "Keys: left click or Space to go on, Escape to quit; hold Ctrl to fast-forward, A for\n"
         "auto-advance, mouse wheel or Page Up/Down for the backlog; Alt+Enter or F11 full\n"
         "screen, F12 screenshot.\n"
         "\n"
         "Settings: $XDG_CONFIG_HOME/tumu/tumu.conf (default ~/.config/tumu/tumu.conf), lines of\n"
         "key = value named as the long options: scale, scale-mode, fullscreen (yes/no), font,\n"
         "soundfont, cd-dir, music-volume, sound-volume. The command line wins.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine result;
  Options& o = result.options;
  auto fail = [&result](std::string message) {
    result.action = CommandLine::Action::kError;
    result.error = std::move(message);
    return result;
  };
  if (!args.empty() && args[0] == "pack") {
    if (args.size() != 4 || (args[1] != "scramble" && args[1] != "unscramble")) {
      return fail("pack takes: scramble|unscramble IN OUT");
    }
    result.action = CommandLine::Action::kPack;
    result.pack_args.assign(args.begin() + 1, args.end());
    return result;
  }
  if (!args.empty() && args[0] == "lint") {
    result.action = CommandLine::Action::kLint;
    result.lint_args.assign(args.begin() + 1, args.end());
    return result;
  }
  bool have_game_dir = false;
  bool check_display = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
      return true;
    };
    std::string text;
    std::uint64_t number = 0;
    if (arg == "--help" || arg == "-h") {
      result.action = CommandLine::Action::kHelp;
      return result;
    } else if (arg == "--version") {
      result.action = CommandLine::Action::kVersion;
      return result;
    } else if (arg == "--check-display") {
      check_display = true;
    } else if (arg == "--window") {
      o.window_mode = 1;
    } else if (arg == "--fullscreen") {
      o.window_mode = 0;
    } else if (arg == "--headless") {
      o.headless = true;
    } else if (arg == "--auto") {
      o.auto_play = true;
    } else if (arg == "--verbose") {
      o.verbose = true;
    } else if (arg == "--scale") {
      if (!value(&text) || !ParseNumber(text, 16, &number) || number == 0) {
        return fail("--scale needs a whole number from 1 to 16");
      }
      o.scale = static_cast<int>(number);
    } else if (arg == "--scale-mode") {
      if (!value(&text) || !ParseScaleMode(text, &o.scale_mode)) {
        return fail("--scale-mode needs pixel, fit or smooth");
      }
    } else if (arg == "--music-volume" || arg == "--sound-volume") {
      if (!value(&text) || !ParseNumber(text, 100, &number)) {
        return fail(arg + " needs a whole number from 0 to 100");
      }
      (arg == "--music-volume" ? o.music_volume : o.sound_volume) = static_cast<int>(number);
    } else if (arg == "--seed") {
      if (!value(&text) || !ParseNumber(text, 0xFFFFFFFFu, &number)) {
        return fail("--seed needs a whole number from 0 to 4294967295");
      }
      o.seed = static_cast<std::uint32_t>(number);
    } else if (arg == "--max-ms") {
      if (!value(&text) || !ParseNumber(text, 0xFFFFFFFFu, &number)) {
        return fail("--max-ms needs a whole number of milliseconds");
      }
      o.max_ms = static_cast<std::uint32_t>(number);
    } else if (arg == "--font" || arg == "--soundfont" || arg == "--cd-dir" ||
               arg == "--save-dir" || arg == "--script" || arg == "--trace" ||
               arg == "--dump-vars" || arg == "--screenshot" || arg == "--shots") {
      if (!value(&text) || text.empty()) return fail(arg + " needs a value");
      std::string* target = arg == "--font"         ? &o.font
                            : arg == "--soundfont"  ? &o.soundfont
                            : arg == "--cd-dir"     ? &o.cd_dir
                            : arg == "--save-dir"   ? &o.save_dir
                            : arg == "--script"     ? &o.script
                            : arg == "--trace"      ? &o.trace
                            : arg == "--dump-vars"  ? &o.dump_vars
                            : arg == "--screenshot" ? &o.screenshot
                                                    : &o.shots_dir;
      *target = text;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      return fail("unknown option " + arg);
    } else {
      if (have_game_dir) return fail("only one game folder may be given");
      o.game_dir = arg;
      have_game_dir = true;
    }
  }
  if (!o.headless && (!o.script.empty() || o.auto_play || !o.shots_dir.empty())) {
    return fail("--script, --auto and --shots need --headless");
  }
  if (!o.script.empty() && o.auto_play) return fail("--script and --auto exclude each other");
  if (check_display) result.action = CommandLine::Action::kCheckDisplay;
  return result;
}

}  // namespace tumu
