#include "platform/headless/script.h"

#include <charconv>

namespace tumu {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  while (true) {
    s = Trim(s);
    if (s.empty()) break;
    std::size_t end = s.find_first_of(" \t");
    if (end == std::string_view::npos) end = s.size();
    words.push_back(s.substr(0, end));
    s.remove_prefix(end);
  }
  return words;
}

bool ParseInt(std::string_view word, long long min, long long max, long long* out) {
  long long value = 0;
  const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || ptr != word.data() + word.size() || value < min || value > max) {
    return false;
  }
  *out = value;
  return true;
}

}  // namespace

ParsedScript ParseScript(std::string_view text) {
  ParsedScript script;
  int number = 0;
  auto fail = [&](std::string message) {
    script.ok = false;
    script.error_line = number;
    script.error = std::move(message);
    return script;
  };
  while (!text.empty()) {
    ++number;
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;

    ScriptEvent event;
    event.line = number;
    const std::size_t verb_end = line.find_first_of(" \t");
    const std::string_view verb = line.substr(0, verb_end);
    std::string_view rest =
        verb_end == std::string_view::npos ? std::string_view() : line.substr(verb_end + 1);
    if (verb == "type") {
      event.kind = ScriptEvent::Kind::kType;
      event.text = std::string(rest);
      script.events.push_back(std::move(event));
      continue;
    }
    if (const std::size_t comment = rest.find(" #"); comment != std::string_view::npos) {
      rest = rest.substr(0, comment);
    }
    const std::vector<std::string_view> args = Words(rest);
    long long a = 0;
    long long b = 0;
    if (verb == "click" || verb == "rclick" || verb == "move") {
      if (args.size() != 2 || !ParseInt(args[0], 0, kScreenWidth - 1, &a) ||
          !ParseInt(args[1], 0, kScreenHeight - 1, &b)) {
        return fail(std::string(verb) + " needs X (0-639) and Y (0-479)");
      }
      event.kind = verb == "click"    ? ScriptEvent::Kind::kClick
                   : verb == "rclick" ? ScriptEvent::Kind::kRightClick
                                      : ScriptEvent::Kind::kMove;
      event.x = static_cast<int>(a);
      event.y = static_cast<int>(b);
    } else if (verb == "key") {
      if (args.size() != 1) return fail("key needs one of space, escape, enter");
      event.kind = ScriptEvent::Kind::kKey;
      if (args[0] == "space") {
        event.key = Key::kSpace;
      } else if (args[0] == "escape") {
        event.key = Key::kEscape;
      } else if (args[0] == "enter") {
        event.key = Key::kEnter;
      } else {
        return fail("key needs one of space, escape, enter");
      }
    } else if (verb == "settle") {
      if (!args.empty()) return fail("settle takes nothing");
      event.kind = ScriptEvent::Kind::kSettle;
    } else if (verb == "wait") {
      if (args.size() != 1 || !ParseInt(args[0], 0, 0xFFFFFFFFLL, &a)) {
        return fail("wait needs a number of milliseconds");
      }
      event.kind = ScriptEvent::Kind::kWait;
      event.ms = static_cast<std::uint32_t>(a);
    } else if (verb == "screenshot") {
      const std::string_view file = Trim(rest);
      if (file.empty()) return fail("screenshot needs a file name");
      event.kind = ScriptEvent::Kind::kScreenshot;
      event.text = std::string(file);
    } else {
      return fail("unknown event '" + std::string(verb) + "'");
    }
    script.events.push_back(std::move(event));
  }
  return script;
}

}  // namespace tumu
