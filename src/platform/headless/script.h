// The input script of a headless run: one event per line (UTF-8).
//
//   click X Y | rclick X Y | move X Y | key space|escape|enter | type TEXT | settle | wait MS
//   screenshot FILE
//
// A line whose first non-blank character is "#" is a comment, and so is the rest of a line
// after " #" (except in `type`, whose text runs to the end of the line).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace tumu {

struct ScriptEvent {
  enum class Kind { kClick, kRightClick, kMove, kKey, kType, kSettle, kWait, kScreenshot };
  Kind kind = Kind::kSettle;
  int x = 0;
  int y = 0;
  Key key = Key::kOther;
  std::string text;  // typed text (UTF-8) or the screenshot file
  std::uint32_t ms = 0;
  int line = 0;      // line in the script, from 1
};

struct ParsedScript {
  std::vector<ScriptEvent> events;
  bool ok = true;
  int error_line = 0;
  std::string error;
};

ParsedScript ParseScript(std::string_view text);

}  // namespace tumu
