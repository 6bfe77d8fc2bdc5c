// Game files by the names that scenarios give them.
//
// A scenario names files as Windows did: Shift-JIS bytes, "\" between folders, any case. The
// lookup turns "\" into "/" character by character (0x5C is also the second byte of characters
// such as ソ and 表, and those stay), then matches each path component as it is, then ignoring
// case, then converted to UTF-8, and remembers what it found.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tumu {

enum FileKind : int { kFileAbsent = 0, kFileDirectory = 1, kFileRegular = 2 };

// How a whole-file write ended. On any failure the file that was there before is left as it was.
enum class WriteOutcome {
  kWritten,
  kOpenFailed,   // the name leaves the save directory, or nothing could be created there
  kWriteFailed,  // writing or flushing the data failed (a full disk, a machine fault)
  kCloseFailed,  // closing or putting the finished file in place failed
};

class GameFiles {
 public:
  // game_dir: the folder of the game. save_dir: where saves and dumps are written; empty means
  // the game folder when it is writable, else $XDG_DATA_HOME/tumu/GAME-ID (~/.local/share/...).
  GameFiles(std::string game_dir, std::string save_dir);

  const std::string& game_dir() const { return game_dir_; }
  const std::string& save_dir() const { return save_dir_; }

  // 0 when nothing of that name exists, 1 for a directory, 2 for a regular file.
  int FileExists(std::string_view name);
  // The path on disk of an existing file or directory, or nothing.
  std::optional<std::string> Resolve(std::string_view name);
  // The whole file, or nothing when it cannot be found or read.
  std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view name);

  // Files the game writes (saves, the scenario dump). A name that is absolute or holds ".." is
  // refused (nothing), so a game never writes outside its save directory.
  std::optional<std::string> WritablePath(std::string_view name);
  // Where a file the game wrote is read back from: the save directory, then the game folder.
  // Nothing for a name that is absolute or holds "..".
  std::optional<std::string> ResolveSaved(std::string_view name);
  // FileExists for a file the game wrote, looked for where ResolveSaved looks.
  int SavedFileExists(std::string_view name);
  // Writes bytes to a temporary file of its own beside the target (so that two writers of the
  // same name never share one), syncs it and renames it over the target.
  WriteOutcome WriteFile(std::string_view name, std::span<const std::uint8_t> bytes);
  bool WriteFileAtomically(std::string_view name, std::span<const std::uint8_t> bytes) {
    return WriteFile(name, bytes) == WriteOutcome::kWritten;
  }

  // Told of every game file found: the name as the scenario gave it and the path on disk.
  std::function<void(std::string_view name, const std::string& path)> on_found;

  // The candidates tried for the last name that was not found, for the log.
  const std::vector<std::string>& last_candidates() const { return last_candidates_; }

 private:
  std::optional<std::string> ResolveUnder(const std::string& root, std::string_view name);

  std::string game_dir_;
  std::string save_dir_;
  std::map<std::string, std::string, std::less<>> cache_;
  std::vector<std::string> last_candidates_;
};

// Whether a name of a file the game writes or reads back stays in its folder: relative, with no
// drive letter, never climbing out with "..".
bool StaysInSaveFolder(std::string_view name);

// The relative path of a scenario name with "\" turned into "/" where it is a separator.
std::string NormalizeSeparators(std::string_view sjis_name);

// The folder under the user's data folder ($XDG_DATA_HOME/tumu, else ~/.local/share/tumu) where a
// game whose own folder is not writable keeps its saves: named after the game folder and a short
// hash of its full path, so that two games in folders of the same name never share saves.
std::string UserSaveDir(const std::string& game_dir);

}  // namespace tumu
