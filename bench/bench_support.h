// What the benchmarks share: the screen's size in bytes, a small deterministic generator, so
// that every run draws and measures the same pictures, and a temporary folder for a game.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/scenario.h"
#include "platform/sjis.h"

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

// A folder of its own under the system's temporary folder, removed with everything in it.
// dir() is empty when it could not be made.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tumu-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

// Writes "start.st1" into the game folder `dir` as a packaged game stores it: the UTF-8 source
// turned into Shift-JIS and scrambled.
inline bool WriteStartScenario(const std::string& dir, std::string_view utf8_source) {
  const std::string plain = Utf8ToSjis(utf8_source);
  const std::vector<std::uint8_t> stored = ScrambleScenario(
      {reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()});
  std::ofstream out(dir + "/start.st1", std::ios::binary);
  out.write(reinterpret_cast<const char*>(stored.data()),
            static_cast<std::streamsize>(stored.size()));
  return static_cast<bool>(out);
}

}  // namespace tumu::bench
