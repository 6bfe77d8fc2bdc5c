#include "vars/substitution.h"

#include <array>
#include <charconv>
#include <cstring>

#include "platform/sjis.h"
#include "platform/sjis_literal.h"
#include "vars/evaluator.h"
#include "vars/variables.h"

namespace tumu {
namespace {

using namespace literals;

constexpr std::string_view kTooLong = "ERR:計算式が長すぎます"_sj;
constexpr std::string_view kUndeclaredBefore = "ERR:該当する "_sj;
constexpr std::string_view kUndeclaredAfter = " が宣言されていません"_sj;

struct FullWidthForm {
  std::string_view full;
  char half;
};

// Full-width characters that stand for themselves in an expression.
constexpr FullWidthForm kFullWidthForms[] = {
    {"１"_sj, '1'}, {"２"_sj, '2'}, {"３"_sj, '3'}, {"４"_sj, '4'}, {"５"_sj, '5'},
    {"６"_sj, '6'}, {"７"_sj, '7'}, {"８"_sj, '8'}, {"９"_sj, '9'}, {"０"_sj, '0'},
    {"％"_sj, '%'}, {"／"_sj, '/'}, {"＊"_sj, '*'}, {"－"_sj, '-'}, {"＋"_sj, '+'},
    {"（"_sj, '('}, {"）"_sj, ')'}, {"　"_sj, ' '},
};

// Full-width operators end a name; full-width digits and the full-width blank do not.
constexpr std::string_view kFullWidthNameEnds[] = {
    "％"_sj, "／"_sj, "＊"_sj, "－"_sj, "＋"_sj, "（"_sj, "）"_sj,
};

bool IsOperatorOrParenthesis(char c) {
  return c == '%' || c == '/' || c == '*' || c == '-' || c == '+' || c == '(' || c == ')';
}

// The half-width form of the two-byte character at pos, or 0.
char HalfWidthAt(std::string_view text, std::size_t pos) {
  const std::string_view pair = text.substr(pos, 2);
  if (pair.size() < 2) return 0;
  for (const auto& form : kFullWidthForms) {
    if (form.full == pair) return form.half;
  }
  return 0;
}

bool EndsName(std::string_view text, std::size_t pos) {
  const char c = text[pos];
  if (c == '\t' || c == ' ' || IsOperatorOrParenthesis(c)) return true;
  // Tested at every byte, also the second byte of a character, as the game did.
  const std::string_view pair = text.substr(pos, 2);
  if (pair.size() < 2) return false;
  for (const auto end : kFullWidthNameEnds) {
    if (end == pair) return true;
  }
  return false;
}

// The expansion under construction; it never grows past the working text's 255 bytes.
class Expansion {
 public:
  bool Append(std::string_view text) {
    if (size_ + text.size() > kWorkingTextBytes) return false;
    if (text.empty()) return true;
    std::memcpy(bytes_.data() + size_, text.data(), text.size());
    size_ += text.size();
    return true;
  }
  std::string Result() const { return std::string(bytes_.data(), size_); }

 private:
  std::array<char, kWorkingTextBytes> bytes_{};
  std::size_t size_ = 0;
};

}  // namespace

std::string SubstituteVariableValues(const EngineState& state, std::string_view expression) {
  // The expression is a zero-terminated text; nothing after a zero byte belongs to it.
  const std::string_view text = expression.substr(0, expression.find('\0'));
  Expansion out;
  for (std::size_t pos = 0; pos < text.size();) {
    const char c = text[pos];
    bool fits = true;
    if ((c >= '0' && c <= '9') || c == ' ' || IsOperatorOrParenthesis(c)) {
      fits = out.Append(text.substr(pos, 1));
      pos += 1;
    } else if (c == '\t') {
      fits = out.Append(" ");
      pos += 1;
    } else if (const char half = HalfWidthAt(text, pos); half != 0) {
      fits = out.Append(std::string_view(&half, 1));
      pos += 2;
    } else {
      // A name: digits, ":", "." and the full-width blank belong to it.
      const std::size_t start = pos;
      do {
        ++pos;
      } while (pos < text.size() && !EndsName(text, pos));
      const std::string_view name = text.substr(start, pos - start);
      const std::int32_t index = FindVariable(state, name);
      if (index < 0) {
        std::string message(kUndeclaredBefore);
        message += name;
        message += kUndeclaredAfter;
        return std::string(TruncateOnCharBoundary(message, kWorkingTextBytes));
      }
      // "(%d)" of an int32: at most 13 bytes.
      std::array<char, 16> value{};
      value[0] = '(';
      const auto [end, error] =
          std::to_chars(value.data() + 1, value.data() + value.size() - 1,
                        state.numeric_values[index]);
      (void)error;  // 12 bytes of room always suffice for an int32
      *end = ')';
      fits = out.Append(std::string_view(value.data(), end + 1 - value.data()));
    }
    // Working texts hold 255 bytes; an expansion that would pass them is refused rather than cut.
    if (!fits) return std::string(kTooLong);
  }
  return out.Result();
}

}  // namespace tumu
