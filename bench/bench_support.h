// What the benchmarks share: the screen's size in bytes and a small deterministic generator, so
// that every run draws and measures the same pictures.
#pragma once

#include <cstdint>

namespace tumu::bench {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::int64_t kScreenBytes = std::int64_t{kWidth} * kHeight * 2;

class Lcg {
 public:
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }

 private:
  std::uint32_t state_ = 12345;
};

}  // namespace tumu::bench
