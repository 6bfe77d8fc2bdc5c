// The player's settings that last from run to run: $XDG_CONFIG_HOME/tumu/tumu.conf (by default
// ~/.config/tumu/tumu.conf), one `key = value` per line, the keys named as the long options:
//
//   # lines that begin with # are comments
//   scale = 2
//   scale-mode = smooth
//   fullscreen = no
//   font = ~/fonts/gothic.ttf
//
// The settings become options placed before the command line's, so the command line wins. A
// line that cannot be used is reported with its number and left out; the others still count.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tumu {

struct SettingsProblem {
  int line = 0;  // from 1
  std::string message;
};

struct Settings {
  std::vector<std::string> args;  // the usable lines as command-line options, in file order
  std::vector<SettingsProblem> problems;
};

// home: the user's home folder, for values that begin with "~/" (none when empty).
Settings ParseSettings(std::string_view text, std::string_view home);

// Where the settings file is, from the environment's XDG_CONFIG_HOME and HOME (either may be
// null); empty when neither gives a place.
std::string SettingsPath(const char* xdg_config_home, const char* home);

}  // namespace tumu
