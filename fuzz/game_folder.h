// The folder of a whole game of any bytes, shared by the targets that take a game: the input is
// the text of the start scenario, then any number of files, each after a line "@@NAME" (a path
// inside the folder, no part of it starting with "."). Scenario files (".st1", and the start
// scenario) are written scrambled, so that seeds and their mutations read as scenario text; every
// other file is written as it stands.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/scenario.h"

namespace tumu::fuzz {

inline constexpr std::size_t kMaxNameBytes = 64;

// A relative path inside the game folder: parts that are not empty and do not begin with "."
// (so never ".."), no control bytes.
inline bool IsFileName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameBytes) return false;
  std::size_t part_start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || name[i] == '/') {
      if (i == part_start || name[part_start] == '.') return false;
      part_start = i + 1;
    } else if (static_cast<unsigned char>(name[i]) < 0x20) {
      return false;
    }
  }
  return true;
}

inline bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The folder of the game, made once and emptied before every input.
class GameFolder {
 public:
  static GameFolder& Shared() {
    static GameFolder folder;
    return folder;
  }
  const std::string& path() const { return path_; }

  // Empties the folder (the last game may have written saves and folders) and writes the files
  // of the input into it.
  void Fill(std::string_view input) {
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      std::error_code ignored;
      std::filesystem::remove_all(entry.path(), ignored);
    }
    std::string_view name = "start.st1";
    std::size_t start = 0;
    while (true) {
      const std::size_t marker = input.find("\n@@", start);
      const std::string_view body =
          input.substr(start, marker == std::string_view::npos ? std::string_view::npos
                                                               : marker - start);
      if (IsFileName(name)) Write(name, body);
      if (marker == std::string_view::npos) break;
      const std::size_t name_start = marker + 3;
      const std::size_t name_end = std::min(input.find('\n', name_start), input.size());
      name = input.substr(name_start, name_end - name_start);
      start = std::min(name_end + 1, input.size());
    }
  }

 private:
  GameFolder() {
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/tumu-fuzz-game-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~GameFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  void Write(std::string_view name, std::string_view body) {
    const std::filesystem::path path = path_ + "/" + std::string(name);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(body.data());
    std::vector<std::uint8_t> scrambled;
    std::span<const std::uint8_t> content(bytes, body.size());
    if (EndsWith(name, ".st1")) {
      scrambled = ScrambleScenario(content);
      content = scrambled;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    // A short write only makes a shorter file, which is a game like any other.
    [[maybe_unused]] const ssize_t written = ::write(fd, content.data(), content.size());
    ::close(fd);
  }

  std::string path_;
};

}  // namespace tumu::fuzz
