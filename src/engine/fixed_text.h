// A zero-terminated byte text of fixed capacity, as every text field of the engine is.
//
// The capacities are behaviour (a scenario line holds 94 bytes, a name 50...), so texts are not
// growable strings. Every write truncates to the capacity, never cutting a two-byte character,
// and the text always stays terminated.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/sjis.h"

namespace tumu {

template <std::size_t N>
class FixedText {
  static_assert(N >= 1);

 public:
  static constexpr std::size_t kCapacity = N - 1;

  FixedText() = default;
  explicit FixedText(std::string_view text) { assign(text); }

  void assign(std::string_view text) {
    const std::string_view kept = TruncateOnCharBoundary(text, kCapacity);
    // An empty view may carry no pointer at all, which memmove must not be given.
    if (!kept.empty()) std::memmove(bytes_.data(), kept.data(), kept.size());
    bytes_[kept.size()] = 0;
  }
  FixedText& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  void clear() { bytes_[0] = 0; }

  std::string_view view() const { return {bytes_.data(), size()}; }
  operator std::string_view() const { return view(); }  // NOLINT: implicit by design
  const char* c_str() const { return bytes_.data(); }
  std::size_t size() const { return ::strnlen(bytes_.data(), N); }
  bool empty() const { return bytes_[0] == 0; }
  // Raw bytes, for writers that fill the slot byte by byte (the loaders); they terminate it.
  char* data() { return bytes_.data(); }

  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

 private:
  std::array<char, N> bytes_{};
};

}  // namespace tumu
