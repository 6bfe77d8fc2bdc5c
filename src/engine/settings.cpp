#include "engine/settings.h"

#include <algorithm>
#include <array>

#include "engine/options.h"

namespace tumu {

namespace {

struct SettingKey {
  std::string_view key;
  bool path;  // a file or folder: "~/" stands for the home folder
};

constexpr std::array<SettingKey, 8> kKeys = {{
    {"scale", false},
    {"scale-mode", false},
    {"fullscreen", false},
    {"font", true},
    {"soundfont", true},
    {"cd-dir", true},
    {"music-volume", false},
    {"sound-volume", false},
}};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// "fullscreen" takes the words people write for yes and no.
bool FullscreenOption(std::string value, std::string* option) {
  std::transform(value.begin(), value.end(), value.begin(),
                 [](unsigned char c) { return static_cast<char>(c | 0x20); });
  for (const char* yes : {"yes", "true", "on", "1"}) {
    if (value == yes) *option = "--fullscreen";
  }
  for (const char* no : {"no", "false", "off", "0"}) {
    if (value == no) *option = "--window";
  }
  return !option->empty();
}

}  // namespace

Settings ParseSettings(std::string_view text, std::string_view home) {
  Settings settings;
  // A byte-order mark, which some editors write, is not part of the first line.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line.front() == '#') continue;
    auto problem = [&](std::string message) {
      settings.problems.push_back({number, std::move(message)});
    };

    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      problem("not a \"key = value\" line");
      continue;
    }
    const std::string key(Trim(line.substr(0, equals)));
    std::string value(Trim(line.substr(equals + 1)));
    const auto known = std::find_if(kKeys.begin(), kKeys.end(),
                                    [&](const SettingKey& k) { return k.key == key; });
    if (known == kKeys.end()) {
      problem("unknown setting \"" + key + "\"");
      continue;
    }
    if (value.empty()) {
      problem(key + " has no value");
      continue;
    }
    if (known->path && !home.empty() && value.rfind("~/", 0) == 0) {
      value = std::string(home) + value.substr(1);
    }

    std::vector<std::string> args;
    if (key == "fullscreen") {
      std::string option;
      if (!FullscreenOption(value, &option)) {
        problem("fullscreen needs yes or no");
        continue;
      }
      args = {option};
    } else {
      args = {"--" + key, value};
    }
    // The command line's own checks, so that a setting means what its option means.
    const CommandLine alone = ParseCommandLine(args);
    if (alone.action == CommandLine::Action::kError) {
      problem(alone.error);
      continue;
    }
    settings.args.insert(settings.args.end(), args.begin(), args.end());
  }
  return settings;
}

std::string SettingsPath(const char* xdg_config_home, const char* home) {
  // The base directory specification: a relative XDG_CONFIG_HOME is to be ignored.
  if (xdg_config_home != nullptr && xdg_config_home[0] == '/') {
    return std::string(xdg_config_home) + "/tumu/tumu.conf";
  }
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config/tumu/tumu.conf";
  return {};
}

}  // namespace tumu
