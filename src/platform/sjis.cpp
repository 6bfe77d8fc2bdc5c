#include "platform/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace tumu {

std::size_t FindText(std::string_view text, std::string_view pattern) {
  std::size_t pos = 0;
  while (text.size() - pos >= pattern.size()) {
    if (text.compare(pos, pattern.size(), pattern) == 0) return pos;
    if (pos >= text.size()) break;
    pos += CharLength(text, pos);
  }
  return kNotFound;
}

std::size_t FindLastText(std::string_view text, std::string_view pattern) {
  std::size_t found = kNotFound;
  std::size_t pos = 0;
  while (text.size() - pos >= pattern.size()) {
    if (text.compare(pos, pattern.size(), pattern) == 0) found = pos;
    if (pos >= text.size()) break;
    pos += CharLength(text, pos);
  }
  return found;
}

std::size_t FindBytes(std::string_view text, std::string_view pattern) {
  const std::size_t pos = text.find(pattern);
  return pos == std::string_view::npos ? kNotFound : pos;
}

std::string_view TruncateOnCharBoundary(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t next = pos + CharLength(text, pos);
    if (next > max_bytes) break;
    pos = next;
  }
  return text.substr(0, pos);
}

namespace {

// One conversion direction, opened on first use and kept for the life of the thread.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts input; at a sequence that does not convert, appends replacement and skips
  // skip_on_error(input, pos) bytes.
  template <typename Skip>
  std::string Convert(std::string_view input, std::string_view replacement, Skip skip_on_error) {
    std::string out;
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      for (std::size_t i = 0; i < input.size(); ++i) {
        if (static_cast<unsigned char>(input[i]) < 0x80) {
          out += input[i];
        } else {
          out += replacement;
        }
      }
      return out;
    }
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    std::size_t pos = 0;
    char buffer[256];
    while (pos < input.size()) {
      char* in = const_cast<char*>(input.data() + pos);
      std::size_t in_left = input.size() - pos;
      char* outp = buffer;
      std::size_t out_left = sizeof(buffer);
      const std::size_t result = iconv(handle_, &in, &in_left, &outp, &out_left);
      out.append(buffer, static_cast<std::size_t>(outp - buffer));
      pos = input.size() - in_left;
      if (result != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (a sequence cut short at the end): replace and move on.
      out += replacement;
      pos += skip_on_error(input, pos);
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t handle_;
};

std::size_t SkipSjisCharacter(std::string_view input, std::size_t pos) {
  // An unassigned two-byte code is one character; a byte that cannot start one (0xFD-0xFF, or a
  // lead byte before a byte that cannot follow it) is dropped alone, so the next one still reads.
  const auto lead = static_cast<unsigned char>(input[pos]);
  if (pos + 1 < input.size() && ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC))) {
    const auto trail = static_cast<unsigned char>(input[pos + 1]);
    if (trail >= 0x40 && trail != 0x7F && trail <= 0xFC) return 2;
  }
  return 1;
}

std::size_t SkipUtf8Character(std::string_view input, std::size_t pos) {
  std::size_t n = 1;
  while (pos + n < input.size() && (static_cast<unsigned char>(input[pos + n]) & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  thread_local Converter converter("UTF-8", "CP932");
  return converter.Convert(sjis, "\xEF\xBF\xBD", SkipSjisCharacter);
}

std::string Utf8ToSjis(std::string_view utf8) {
  thread_local Converter converter("CP932", "UTF-8");
  return converter.Convert(utf8, "?", SkipUtf8Character);
}

std::u32string SjisToUtf32(std::string_view sjis) {
  thread_local Converter converter("UTF-32LE", "CP932");
  const std::string bytes =
      converter.Convert(sjis, std::string_view("\xFD\xFF\x00\x00", 4), SkipSjisCharacter);
  std::u32string out(bytes.size() / 4, U'\0');
  std::memcpy(out.data(), bytes.data(), out.size() * 4);
  return out;
}

}  // namespace tumu
