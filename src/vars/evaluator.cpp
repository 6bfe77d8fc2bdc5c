#include "vars/evaluator.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/sjis.h"
#include "platform/sjis_literal.h"

namespace tumu {
namespace {

using namespace literals;

static_assert(std::numeric_limits<float>::is_iec559, "the game's numbers are IEEE single precision");
// Each float operation must round once to single precision, never through a wider register.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in float");

// Token kinds: the operator characters themselves, a number, the end marker.
constexpr char kNumber = 'k';
constexpr char kEnd = 'e';

constexpr int kMaxTokens = 200;
// Room for the longest token list plus the two end markers and the terminator the game kept.
constexpr int kTokenSlots = 203;

// Largest magnitude that a value may end with; exactly this much is still accepted.
constexpr float kValueLimit = 10000000.0f;

constexpr std::string_view kUnbalanced = "ERR:カッコの数があっていません"_sj;
constexpr std::string_view kCloseBeforeOpen = "ERR:閉じカッコの前にカッコがありません"_sj;
constexpr std::string_view kGroupFailed = "ERR:計算中に発生 -> "_sj;
constexpr std::string_view kBadCharacter = "ERR:入力時の文字ミス"_sj;
constexpr std::string_view kTooLong = "ERR:計算式が長すぎます"_sj;
constexpr std::string_view kLeadingOperator = "ERR:先頭に＊か／、％が入力されています"_sj;
constexpr std::string_view kTwoNumbers = "ERR:数字が二つ並んでいます"_sj;
constexpr std::string_view kRemainderOperands = "ERR:剰余の前後が数ではありません"_sj;
constexpr std::string_view kRemainderByZero = "ERR:０では剰余できません"_sj;
constexpr std::string_view kDivisionOperands = "ERR:割り算の前後が数ではありません"_sj;
constexpr std::string_view kDivisionByZero = "ERR:０で割っています"_sj;
constexpr std::string_view kMultiplicationOperands = "ERR:掛け算の前後が数ではありません"_sj;
constexpr std::string_view kMultiplicationEndless = "ERR:掛け算の途中で無限化してます"_sj;
constexpr std::string_view kSubtractionOperand = "ERR:引き算の後が数ではありません"_sj;
constexpr std::string_view kSubtractionEndless = "ERR:引き算の途中で無限化してます"_sj;
constexpr std::string_view kAdditionOperands = "ERR:足し算の前後が数ではありません"_sj;
constexpr std::string_view kAdditionEndless = "ERR:足し算の途中で無限化してます"_sj;
constexpr std::string_view kNoResult = "ERR:計算結果？"_sj;
constexpr std::string_view kOutOfRange = "ERR:絶対値が１千万を超しました"_sj;

// Texts reach the evaluator as the game kept them: zero-terminated. Anything after a zero byte is
// not part of the expression.
std::string_view UpToZero(std::string_view text) {
  const std::size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// A fixed working text of at most kWorkingTextBytes bytes.
class WorkingText {
 public:
  std::string_view view() const { return {bytes_.data(), size_}; }
  std::size_t size() const { return size_; }
  char operator[](std::size_t i) const { return bytes_[i]; }

  void Assign(std::string_view text) {
    size_ = std::min(text.size(), kWorkingTextBytes);
    if (size_ > 0) std::memcpy(bytes_.data(), text.data(), size_);
  }

  // Replaces bytes [from, to) by a blank and the given text. Refuses (returns false, unchanged)
  // when the result would not fit.
  bool ReplaceWithBlankAnd(std::size_t from, std::size_t to, std::string_view text) {
    const std::size_t tail = size_ - to;
    const std::size_t new_size = from + 1 + text.size() + tail;
    if (new_size > kWorkingTextBytes) return false;
    std::memmove(bytes_.data() + from + 1 + text.size(), bytes_.data() + to, tail);
    bytes_[from] = ' ';
    std::memcpy(bytes_.data() + from + 1, text.data(), text.size());
    size_ = new_size;
    return true;
  }

 private:
  std::array<char, kWorkingTextBytes + 1> bytes_{};
  std::size_t size_ = 0;
};

bool IsOperator(char c) { return c == '%' || c == '/' || c == '*' || c == '-' || c == '+'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The nearest single-precision value, overflowing to infinity as the hardware does, but without
// leaving the conversion's defined range.
float NearestFloat(double value) {
  // Halfway between FLT_MAX and the next power of two: from here on, rounding gives infinity.
  constexpr double kOverflow = 340282356779733661637539395458142568448.0;
  if (value >= kOverflow) return std::numeric_limits<float>::infinity();
  if (value <= -kOverflow) return -std::numeric_limits<float>::infinity();
  if (value > FLT_MAX) return FLT_MAX;
  if (value < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(value);
}

// Truncation toward zero to a 32-bit integer, clamped to the int32 range; not-a-number gives 0.
std::int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// A run of digits and points, read as a decimal number up to its second point (1.5.3 is 1.5);
// a run with no digit before that (".") is 0.
float ReadNumber(std::string_view run) {
  const std::size_t first_point = run.find('.');
  if (first_point != std::string_view::npos) {
    run = run.substr(0, run.find('.', first_point + 1));
  }
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(run.data(), run.data() + run.size(), value, std::chars_format::fixed);
  // The run is at most 255 bytes, far inside the range of a double, so only "." fails.
  if (error != std::errc()) value = 0.0;
  return NearestFloat(value);
}

std::string FormatValue(float value) {
  // "%f" of the value as a double: at most "-10000000.000000" after the range check.
  std::array<char, 64> text{};
  const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(),
                                          static_cast<double>(value), std::chars_format::fixed, 6);
  if (error != std::errc()) return std::string(kOutOfRange);
  return std::string(text.data(), end);
}

// The token list of a flat expression: kinds and values side by side, ended by two end markers.
struct TokenList {
  std::array<char, kTokenSlots> kind{};
  std::array<float, kTokenSlots> value{};

  // Removes the operator at j and its right operand; everything later moves two places left.
  void RemovePair(int j, int& length) {
    for (int k = j; k + 2 < length; ++k) {
      kind[k] = kind[k + 2];
      value[k] = value[k + 2];
    }
    length -= 2;
  }
};

}  // namespace

std::string EvaluateFlat(std::string_view expression) {
  // Bytes past the working text's 255 are not read.
  const std::string_view input = UpToZero(expression).substr(0, kWorkingTextBytes);

  TokenList tokens;
  int count = 0;
  // Past the token arrays nothing more is stored; the expression is then too long, unless a bad
  // character further on is reported first, as it would be for any other long expression.
  bool arrays_full = false;
  for (std::size_t i = 0; i < input.size();) {
    const char c = input[i];
    if (c == ' ') {
      ++i;
    } else if (IsOperator(c)) {
      ++i;
      if (count == kTokenSlots) {
        arrays_full = true;
      } else if (!arrays_full) {
        tokens.kind[count] = c;
        tokens.value[count] = 0.0f;
        ++count;
      }
    } else if (IsDigit(c) || c == '.') {
      const std::size_t start = i;
      while (i < input.size() && (IsDigit(input[i]) || input[i] == '.')) ++i;
      if (count == kTokenSlots) arrays_full = true;
      if (arrays_full) continue;
      int at = count;
      tokens.kind[at] = kNumber;
      tokens.value[at] = ReadNumber(input.substr(start, i - start));
      ++count;
      // A minus that follows an operator (or opens the expression) belongs to the number.
      while ((at == 1 && tokens.kind[0] == '-') ||
             (at >= 2 && IsOperator(tokens.kind[at - 2]) && tokens.kind[at - 1] == '-')) {
        tokens.kind[at - 1] = kNumber;
        tokens.value[at - 1] = -tokens.value[at];
        --at;
        --count;
      }
    } else {
      return std::string(kBadCharacter);
    }
  }
  if (arrays_full || count > kMaxTokens) return std::string(kTooLong);

  tokens.kind[count] = kEnd;
  tokens.kind[count + 1] = kEnd;
  tokens.value[count] = 0.0f;
  tokens.value[count + 1] = 0.0f;
  int length = count + 2;
  auto& kind = tokens.kind;
  auto& value = tokens.value;

  if (kind[0] == '*' || kind[0] == '/' || kind[0] == '%') return std::string(kLeadingOperator);
  for (int k = 0; kind[k] != kEnd; ++k) {
    if (kind[k] == kNumber && kind[k + 1] == kNumber) return std::string(kTwoNumbers);
  }

  // The end markers always stop the passes first; the guards keep every index inside the arrays.
  constexpr int kLastPosition = kTokenSlots - 1;

  // "%", "/" and "*", left to right.
  if (kind[1] != kEnd) {
    int j = 1;
    while (kind[j] != kEnd) {
      const char op = kind[j];
      if (op != '%' && op != '/' && op != '*') {
        if (++j >= kLastPosition) return std::string(kMultiplicationEndless);
        continue;
      }
      const bool operands = kind[j - 1] == kNumber && kind[j + 1] == kNumber;
      if (op == '%') {
        if (!operands) return std::string(kRemainderOperands);
        const std::int32_t divisor = TruncateToInt32(value[j + 1]);
        if (divisor == 0) return std::string(kRemainderByZero);
        const std::int32_t dividend = TruncateToInt32(value[j - 1]);
        // In 64 bits, so that the smallest int32 by -1 is 0 rather than a trap.
        const auto remainder = static_cast<std::int64_t>(dividend) % divisor;
        value[j - 1] = static_cast<float>(remainder);
      } else if (op == '/') {
        if (!operands) return std::string(kDivisionOperands);
        // The test multiplies the stored divisor exactly (not in single precision): 0.00001 is
        // stored just below itself, so it counts as zero.
        if (TruncateToInt32(static_cast<double>(value[j + 1]) * 100000.0) == 0) {
          return std::string(kDivisionByZero);
        }
        value[j - 1] = value[j - 1] / value[j + 1];
      } else {
        if (!operands) return std::string(kMultiplicationOperands);
        value[j - 1] = value[j - 1] * value[j + 1];
      }
      tokens.RemovePair(j, length);
    }
  }

  // Every binary minus becomes a plus of the negated operand.
  for (int p = 0; kind[p] != kEnd;) {
    if (kind[p] == '-') {
      if (kind[p + 1] != kNumber) return std::string(kSubtractionOperand);
      value[p + 1] = -value[p + 1];
      kind[p] = '+';
    }
    if (++p >= kLastPosition) return std::string(kSubtractionEndless);
  }

  // "+", left to right; a plus that opens the expression is a sign.
  for (int p = kind[0] == '+' ? 1 : 0; kind[p] != kEnd;) {
    if (kind[p] != '+') {
      if (++p >= kLastPosition) return std::string(kAdditionEndless);
      continue;
    }
    if (p == 0 || kind[p - 1] != kNumber || kind[p + 1] != kNumber) {
      return std::string(kAdditionOperands);
    }
    value[p - 1] = value[p - 1] + value[p + 1];
    tokens.RemovePair(p, length);
  }

  float result = 0.0f;
  if (kind[0] == '+') {
    result = value[1];
  } else if (kind[0] == kNumber) {
    result = value[0];
  } else {
    return std::string(kNoResult);
  }
  if (!(result <= kValueLimit && result >= -kValueLimit)) return std::string(kOutOfRange);
  return FormatValue(result);
}

std::string EvaluateExpression(std::string_view expression) {
  WorkingText work;
  work.Assign(UpToZero(expression));

  int depth = 0;
  for (const char c : work.view()) {
    if (c == '(') ++depth;
    if (c == ')') --depth;
  }
  if (depth != 0) return std::string(kUnbalanced);

  for (std::size_t p = 0; p < work.size();) {
    if (work[p] != ')') {
      ++p;
      continue;
    }
    const std::size_t open = work.view().substr(0, p).rfind('(');
    if (open == std::string_view::npos) return std::string(kCloseBeforeOpen);
    const std::string inner = EvaluateFlat(work.view().substr(open + 1, p - open - 1));
    // The group's result (up to 38 bytes) may be longer than the group: an expression whose
    // working text would outgrow its 255 bytes is refused rather than written past its end.
    if (!work.ReplaceWithBlankAnd(open, p + 1, inner)) return std::string(kTooLong);
    if (ContainsBytes(inner, "ERR")) {
      std::string message(kGroupFailed);
      message += work.view();
      return std::string(TruncateOnCharBoundary(message, kWorkingTextBytes));
    }
    p = open;
  }
  return EvaluateFlat(work.view());
}

std::int32_t IntegerAtFront(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
  }
  const std::int64_t signed_value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(signed_value, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

}  // namespace tumu
