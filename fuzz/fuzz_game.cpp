// A whole game of any bytes, played headless the way the player plays one: its start scenario,
// further scenarios, pictures, saves and "tumu.ini" are files in a folder of the target's own; the
// game starts as a player starts it and runs for a bounded number of turns, every wait answered
// the way --auto answers it.
//
// The input is the text of the start scenario, then any number of files, each after a line
// "@@NAME" (a path inside the folder, no part of it starting with "."). Scenario files
// (".st1", and the start scenario) are written scrambled, so that seeds and their mutations read
// as scenario text; every other file is written as it stands.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/frame_driver.h"
#include "engine/game.h"
#include "engine/scenario.h"
#include "engine/window_proc.h"
#include "fuzz_support.h"

namespace tumu::fuzz {
namespace {

constexpr int kMaxTurns = 100;
constexpr std::size_t kMaxNameBytes = 64;

// A relative path inside the game folder: parts that are not empty and do not begin with "."
// (so never ".."), no control bytes.
bool IsFileName(std::string_view name) {
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

bool EndsWith(std::string_view text, std::string_view end) {
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

// The target answers waits itself, turn by turn.
class NoInput final : public Input {
 public:
  std::optional<InputEvent> Poll() override { return std::nullopt; }
  void AfterTurn(const TurnStatus&) override {}
};

// Every member of Engine is brought back to a fresh start in WholeGame::Reset.
static_assert(sizeof(Engine) == 2256,
              "Engine has changed: reset its new members in WholeGame::Reset, then update this "
              "size");

// One engine for every game: making an engine and its surfaces takes far longer than playing a
// short game. Before each game every part of it is brought back to the state of a fresh start;
// the surfaces are restored from a copy made right after the screen was first prepared, and only
// those that the last game wrote. The game plays without a back surface (so no error screen is
// painted and no frame composed turn after turn); the frame it ends on is composed once.
class WholeGame {
 public:
  static WholeGame& Shared() {
    static WholeGame game;
    return game;
  }

  void Play(const std::string& folder) {
    Reset(folder);
    if (!OpenGame(*engine_)) return;
    RestoreScreen();
    std::swap(engine_->screen.back_surface, held_back_);
    LoadStartScenario(*engine_);
    RunTurns();
    std::swap(engine_->screen.back_surface, held_back_);
    if (!engine_->quit) Compose(*engine_, /*present=*/false);
  }

 private:
  WholeGame()
      : platform_{clock_, display_, input_, text_input_, audio_, boxes_},
        pristine_(std::make_unique<const EngineState>()) {
    Options options;
    options.seed = 1;
    options.window_mode = 1;
    // Not headless and not verbose: the log prints nothing.
    engine_ = std::make_unique<Engine>(platform_, std::make_unique<SharedFont>(), options);
    PrepareScreen(*engine_);
    fresh_screen_ = engine_->screen;
  }

  static std::vector<Surface565*> Surfaces(Screen& screen) {
    const auto work = screen.WorkSurfaces();
    std::vector<Surface565*> all(work.begin(), work.end());
    all.push_back(&screen.back_surface);
    return all;
  }

  void Reset(const std::string& folder) {
    // The display only keeps what the game showed (the game reads none of it) and is opened
    // again by every start: kept, so that its frame is not made anew each time.
    clock_ = HeadlessClock();
    text_input_ = HeadlessTextInput();
    for (SoundChannel channel :
         {SoundChannel::kWave, SoundChannel::kLoop, SoundChannel::kMidi, SoundChannel::kCd}) {
      audio_.Close(channel);
    }
    Engine& engine = *engine_;
    engine.state = *pristine_;
    engine.options.game_dir = folder;
    engine.options.save_dir = folder;
    engine.files = GameFiles(folder, folder);
    engine.quit = false;
    engine.exit_code = 0;
    engine.last_turn_waited = false;
    engine.on_report = nullptr;
    engine.pictures = HeldPictures();
    engine.text_history = TextHistory();
  }

  // The surfaces as the start of a game leaves them; only those that the last game wrote are
  // copied.
  void RestoreScreen() {
    const std::vector<Surface565*> fresh = Surfaces(fresh_screen_);
    const std::vector<Surface565*> used = Surfaces(engine_->screen);
    for (std::size_t i = 0; i < used.size(); ++i) used[i]->RestoreFrom(*fresh[i]);
    engine_->screen.format = fresh_screen_.format;
  }

  void RunTurns() {
    Engine& engine = *engine_;
    for (int turn = 0; turn < kMaxTurns && !engine.quit; ++turn) {
      FrameTurn(engine);
      // As with --auto, the game is over when it ends or starts again from the top.
      if (engine.quit || engine.state.restart_notice == 1) break;
      const TurnStatus status = ComputeTurnStatus(engine);
      if (status.settled) {
        // What --auto does: the text box gets an empty text, every other wait a left click
        // where the first choice of a menu stands.
        InputEvent event;
        if (status.answer_is_text) {
          event.type = InputEvent::Type::kTextEntered;
        } else {
          event.x = status.answer_x;
          event.y = status.answer_y;
          HandleInputEvent(engine, event);
          event.type = InputEvent::Type::kLeftDown;
        }
        HandleInputEvent(engine, event);
      } else if (status.waiting) {
        // Waits that end by themselves end at once: the clock jumps to what is due next.
        clock_.Advance(std::max<std::uint32_t>(status.next_due_ms.value_or(1), 1));
      }
    }
  }

  HeadlessClock clock_;
  HeadlessDisplay display_{16};
  NoInput input_;
  HeadlessTextInput text_input_;
  TimedAudio audio_{clock_};
  QuietBoxes boxes_;
  Platform platform_;
  const std::unique_ptr<const EngineState> pristine_;
  std::unique_ptr<Engine> engine_;
  Screen fresh_screen_;
  Surface565 held_back_;  // the back surface, while a game plays without it
};

}  // namespace
}  // namespace tumu::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tumu::fuzz::GameFolder& folder = tumu::fuzz::GameFolder::Shared();
  folder.Fill(std::string_view(reinterpret_cast<const char*>(data), size));
  tumu::fuzz::WholeGame::Shared().Play(folder.path());
  return 0;
}
