// Shift-JIS (code page 932) text as the engine keeps it: bytes, walked character by character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tumu {

// A byte 0x80-0x9F or 0xE0-0xFF starts a two-byte character.
constexpr bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) || byte >= 0xE0;
}

// Length in bytes of the character that starts at text[pos] (1 or 2; 1 for a lead byte at the end).
constexpr std::size_t CharLength(std::string_view text, std::size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// Position of the first occurrence of pattern that starts on a character boundary, or kNotFound.
// An empty pattern is found at 0.
std::size_t FindText(std::string_view text, std::string_view pattern);
// Position of the last such occurrence, or kNotFound.
std::size_t FindLastText(std::string_view text, std::string_view pattern);
// Plain byte search, for the places where the game looks for a word without regard to characters.
std::size_t FindBytes(std::string_view text, std::string_view pattern);
inline bool ContainsText(std::string_view text, std::string_view pattern) {
  return FindText(text, pattern) != kNotFound;
}
inline bool ContainsBytes(std::string_view text, std::string_view pattern) {
  return FindBytes(text, pattern) != kNotFound;
}
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Longest prefix of text of at most max_bytes bytes that does not cut a two-byte character.
std::string_view TruncateOnCharBoundary(std::string_view text, std::size_t max_bytes);

// Conversions at the edges (fonts, titles, file names, logs). Bytes or sequences that do not
// convert become U+FFFD (to UTF-8) or "?" (to Shift-JIS); neither ever fails.
std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);
// One code point per character, for drawing glyphs.
std::u32string SjisToUtf32(std::string_view sjis);

}  // namespace tumu
