#include "platform/file_lookup.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/sjis.h"

namespace tumu {

namespace {

int KindOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return kFileAbsent;
  if (S_ISDIR(st.st_mode)) return kFileDirectory;
  if (S_ISREG(st.st_mode)) return kFileRegular;
  return kFileAbsent;
}

std::string Join(const std::string& dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  if (dir.back() == '/') return dir + std::string(name);
  return dir + "/" + std::string(name);
}

// The entry of dir whose name equals `name` ignoring ASCII case, if there is exactly such a one
// (the first in directory order otherwise).
std::optional<std::string> FindIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(d)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

bool IsWritableDirectory(const std::string& dir) {
  return !dir.empty() && ::access(dir.c_str(), W_OK | X_OK) == 0 && KindOf(dir) == kFileDirectory;
}

bool MakeDirectories(const std::string& path) {
  std::string partial;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (!partial.empty() && KindOf(partial) != kFileDirectory &&
          ::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
        return false;
      }
    }
    if (i < path.size()) partial += path[i];
  }
  return true;
}

// The game folder's full path, without a trailing slash.
std::string FullPath(const std::string& dir) {
  char resolved[PATH_MAX];
  std::string full = ::realpath(dir.c_str(), resolved) ? resolved : dir;
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  return full;
}

// 64-bit FNV-1a: a stable hash, the same on every machine and in every build.
std::uint64_t StableHash(std::string_view bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ull;
  }
  return h;
}

std::string DefaultSaveDir(const std::string& game_dir) {
  if (IsWritableDirectory(game_dir)) return game_dir;
  return UserSaveDir(game_dir);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// Makes a rename in dir survive a power cut. A folder that cannot be synced loses nothing else.
void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool StaysInSaveFolder(std::string_view name) {
  const std::string relative = NormalizeSeparators(name);
  if (relative.empty() || relative.front() == '/') return false;
  if (relative.size() >= 2 && relative[1] == ':') return false;  // a drive letter
  for (const std::string& part : SplitComponents(relative)) {
    if (part == "..") return false;
  }
  return true;
}


std::string UserSaveDir(const std::string& game_dir) {
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != 0) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0) {
    base = std::string(home) + "/.local/share";
  } else {
    base = "/tmp";
  }
  const std::string full = FullPath(game_dir);
  const std::size_t slash = full.rfind('/');
  std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
  if (name.empty()) name = "game";
  char hash[9];
  std::snprintf(hash, sizeof(hash), "%08x", static_cast<unsigned>(StableHash(full) >> 32));
  return base + "/tumu/" + name + "-" + hash;
}

std::string NormalizeSeparators(std::string_view sjis_name) {
  std::string out;
  out.reserve(sjis_name.size());
  for (std::size_t i = 0; i < sjis_name.size();) {
    const std::size_t n = CharLength(sjis_name, i);
    if (n == 1 && sjis_name[i] == '\\') {
      out += '/';
    } else {
      out.append(sjis_name.substr(i, n));
    }
    i += n;
  }
  return out;
}

GameFiles::GameFiles(std::string game_dir, std::string save_dir)
    : game_dir_(game_dir.empty() ? std::string(1, '.') : std::move(game_dir)),
      save_dir_(save_dir.empty() ? DefaultSaveDir(game_dir_) : std::move(save_dir)) {}

std::optional<std::string> GameFiles::ResolveUnder(const std::string& root, std::string_view name) {
  const std::string relative = NormalizeSeparators(name);
  if (relative.empty()) return std::nullopt;
  std::string dir = relative.front() == '/' ? std::string(1, '/') : root;
  const std::vector<std::string> parts = SplitComponents(relative);
  if (parts.empty()) return std::nullopt;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const bool last = i + 1 == parts.size();
    std::optional<std::string> match;
    for (const std::string& candidate : {part, SjisToUtf8(part)}) {
      const std::string exact = Join(dir, candidate);
      last_candidates_.push_back(exact);
      if (KindOf(exact) != kFileAbsent) {
        match = exact;
        break;
      }
      if (std::optional<std::string> entry = FindIgnoringCase(dir, candidate)) {
        match = Join(dir, *entry);
        break;
      }
    }
    if (!match) return std::nullopt;
    if (!last && KindOf(*match) != kFileDirectory) return std::nullopt;
    dir = *match;
  }
  return dir;
}

std::optional<std::string> GameFiles::Resolve(std::string_view name) {
  if (auto it = cache_.find(name); it != cache_.end()) {
    if (KindOf(it->second) != kFileAbsent) {
      if (on_found) on_found(name, it->second);
      return it->second;
    }
    cache_.erase(it);
  }
  last_candidates_.clear();
  std::optional<std::string> found = ResolveUnder(game_dir_, name);
  if (found) cache_.emplace(std::string(name), *found);
  if (found && on_found) on_found(name, *found);
  return found;
}

int GameFiles::FileExists(std::string_view name) {
  const std::optional<std::string> path = Resolve(name);
  return path ? KindOf(*path) : kFileAbsent;
}

std::optional<std::vector<std::uint8_t>> GameFiles::ReadFile(std::string_view name) {
  const std::optional<std::string> path = Resolve(name);
  if (!path || KindOf(*path) != kFileRegular) return std::nullopt;
  std::ifstream in(*path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in.tellg();
  if (!in || size < 0) return std::nullopt;
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), size);
  if (in.bad()) return std::nullopt;
  // A file cut short while it was read gives what it still had.
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::optional<std::string> GameFiles::WritablePath(std::string_view name) {
  if (!StaysInSaveFolder(name)) return std::nullopt;
  const std::string relative = NormalizeSeparators(name);
  // An existing file of that name (in any case) is written in place.
  if (std::optional<std::string> existing = ResolveUnder(save_dir_, name)) return existing;
  std::string utf8 = SjisToUtf8(relative);
  const std::size_t slash = utf8.rfind('/');
  const std::string parent = slash == std::string::npos ? save_dir_ : Join(save_dir_, utf8.substr(0, slash));
  if (!MakeDirectories(parent)) return std::nullopt;
  return Join(save_dir_, utf8);
}

std::optional<std::string> GameFiles::ResolveSaved(std::string_view name) {
  if (!StaysInSaveFolder(name)) return std::nullopt;
  if (std::optional<std::string> saved = ResolveUnder(save_dir_, name)) return saved;
  return Resolve(name);
}

int GameFiles::SavedFileExists(std::string_view name) {
  const std::optional<std::string> path = ResolveSaved(name);
  return path ? KindOf(*path) : kFileAbsent;
}

WriteOutcome GameFiles::WriteFile(std::string_view name, std::span<const std::uint8_t> bytes) {
  const std::optional<std::string> target = WritablePath(name);
  if (!target) return WriteOutcome::kOpenFailed;
  // A temporary file of this write alone, in the target's folder so that the rename stays on
  // one file system.
  std::string temp = *target + ".tmp-XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return WriteOutcome::kOpenFailed;
  WriteOutcome outcome = WriteOutcome::kWritten;
  if (!WriteAll(fd, bytes) || ::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) {
    outcome = WriteOutcome::kWriteFailed;
  }
  if (::close(fd) != 0 && outcome == WriteOutcome::kWritten) outcome = WriteOutcome::kCloseFailed;
  if (outcome == WriteOutcome::kWritten && ::rename(temp.c_str(), target->c_str()) != 0) {
    outcome = WriteOutcome::kCloseFailed;
  }
  if (outcome != WriteOutcome::kWritten) {
    ::unlink(temp.c_str());
    return outcome;
  }
  const std::size_t slash = target->rfind('/');
  SyncDirectory(slash == std::string::npos ? std::string(".") : target->substr(0, slash));
  return outcome;
}

}  // namespace tumu
