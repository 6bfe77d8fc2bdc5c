// "..."_sj: a UTF-8 string literal turned into Shift-JIS bytes by the compiler.
//
// The game's own texts (keywords, messages, option words) are Shift-JIS byte strings. Writing them
// as readable literals keeps the code honest to read; the conversion happens at compile time, so
// an unmappable character is a compile error and nothing is converted at run time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tumu {

namespace sjis_detail {

struct SjisPair {
  char32_t unicode;
  std::uint16_t sjis;
};
#include "platform/sjis_table.inc"

constexpr std::uint16_t Lookup(char32_t code) {
  std::size_t lo = 0;
  std::size_t hi = sizeof(kSjisTable) / sizeof(kSjisTable[0]);
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (kSjisTable[mid].unicode < code) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  if (lo == sizeof(kSjisTable) / sizeof(kSjisTable[0]) || kSjisTable[lo].unicode != code) {
    throw "character has no Shift-JIS code";
  }
  return kSjisTable[lo].sjis;
}

template <std::size_t N>
struct Utf8Literal {
  char bytes[N];
  constexpr Utf8Literal(const char (&text)[N]) {  // NOLINT: implicit by design
    for (std::size_t i = 0; i < N; ++i) bytes[i] = text[i];
  }
};

}  // namespace sjis_detail

template <std::size_t N>
struct SjisLiteral {
  char bytes[N]{};
  std::size_t size = 0;
  constexpr std::string_view view() const { return {bytes, size}; }
  constexpr operator std::string_view() const { return view(); }  // NOLINT: implicit by design
  constexpr const char* c_str() const { return bytes; }
};

namespace sjis_detail {

template <Utf8Literal L>
consteval auto ConvertLiteral() {
  constexpr std::size_t kLength = sizeof(L.bytes) - 1;
  SjisLiteral<sizeof(L.bytes)> out{};
  std::size_t o = 0;
  for (std::size_t i = 0; i < kLength;) {
    const auto c = static_cast<unsigned char>(L.bytes[i]);
    char32_t code = 0;
    if (c < 0x80) {
      code = c;
      i += 1;
    } else if ((c & 0xE0) == 0xC0) {
      code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(L.bytes[i + 1]) & 0x3Fu);
      i += 2;
    } else if ((c & 0xF0) == 0xE0) {
      code = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(L.bytes[i + 1]) & 0x3Fu) << 6) |
             (static_cast<unsigned char>(L.bytes[i + 2]) & 0x3Fu);
      i += 3;
    } else {
      throw "character has no Shift-JIS code";
    }
    if (code < 0x80) {
      out.bytes[o++] = static_cast<char>(code);
      continue;
    }
    const std::uint16_t sjis = Lookup(code);
    if (sjis > 0xFF) out.bytes[o++] = static_cast<char>(sjis >> 8);
    out.bytes[o++] = static_cast<char>(sjis & 0xFF);
  }
  out.bytes[o] = 0;
  out.size = o;
  return out;
}

template <Utf8Literal L>
inline constexpr auto kConverted = ConvertLiteral<L>();

}  // namespace sjis_detail

namespace literals {
template <sjis_detail::Utf8Literal L>
constexpr const auto& operator""_sj() {
  return sjis_detail::kConverted<L>;
}
}  // namespace literals

}  // namespace tumu
