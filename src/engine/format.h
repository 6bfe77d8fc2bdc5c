// printf-style formatting of Shift-JIS texts. The game's formats ("%d 行目が間違っています", ...)
// are byte strings: no trail byte of a two-byte character is ever '%', so printf reads them right.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace tumu {

[[gnu::format(printf, 1, 2)]] inline std::string Sprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (size > 0) {
    out.resize(static_cast<std::size_t>(size) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(size));
  }
  va_end(args);
  return out;
}

}  // namespace tumu
