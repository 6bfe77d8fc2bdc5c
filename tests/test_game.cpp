#include "test_game.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/game.h"
#include "engine/scenario.h"
#include "golden.h"
#include "platform/sjis.h"

namespace tumu::testing {

std::string Sjis(std::string_view utf8) { return Utf8ToSjis(utf8); }

std::vector<std::string> NumericSlots(TestGame& game) {
  std::vector<std::string> slots;
  const EngineState& s = game.state();
  for (int i = 0; i < s.numeric_count; ++i) {
    slots.push_back(SjisToUtf8(s.numeric_names[i].view()) + "=" +
                    std::to_string(s.numeric_values[i]));
  }
  return slots;
}

std::vector<std::string> StringSlots(TestGame& game) {
  std::vector<std::string> slots;
  const EngineState& s = game.state();
  for (int i = 0; i < s.string_count; ++i) {
    slots.push_back(SjisToUtf8(s.string_names[i].view()) + "=" +
                    SjisToUtf8(s.string_values[i].view()));
  }
  return slots;
}

TestGame::TestGame() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tumu-game-XXXXXX").string();
  const char* made = ::mkdtemp(pattern.data());
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = made;
  options.headless = true;
  options.game_dir = dir_;
  options.seed = 1;
  options.trace = dir_ + "/.trace.txt";
}

TestGame::~TestGame() {
  engine_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void TestGame::WriteScenario(std::string_view name, std::string_view utf8_source, bool scrambled) {
  const std::string plain = Sjis(utf8_source);
  if (!scrambled) {
    WriteFile(name, plain);
    return;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(plain.data());
  const std::vector<std::uint8_t> stored = ScrambleScenario({bytes, plain.size()});
  WriteFile(name, std::string(stored.begin(), stored.end()));
}

void TestGame::WriteFile(std::string_view name, std::string_view bytes) {
  const std::filesystem::path path = Path(name);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TestGame::ReadFile(std::string_view name) const {
  std::ifstream in(Path(name), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

namespace {

// Keeps the game folder as an input of the whole-game fuzz target: the start scenario's text,
// then every other file after a line "@@NAME" (scenarios as text, the rest as it stands).
void SaveGameSeed(const std::string& game_dir, const std::string& seed_dir) {
  auto read = [](const std::filesystem::path& path) {
    if (!std::filesystem::is_regular_file(path)) return std::string();
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  };
  auto as_text = [](const std::string& stored) {
    const std::vector<std::uint8_t> plain = UnscrambleScenario(
        {reinterpret_cast<const std::uint8_t*>(stored.data()), stored.size()});
    return std::string(plain.begin(), plain.end());
  };
  std::string seed = as_text(read(game_dir + "/start.st1"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(game_dir)) {
    const std::string name = entry.path().lexically_relative(game_dir).string();
    if (!entry.is_regular_file() || name == "start.st1" || name[0] == '.') continue;
    const std::string body = read(entry.path());
    seed += "\n@@" + name + "\n" + (name.ends_with(".st1") ? as_text(body) : body);
  }
  if (seed.size() > 65536) return;  // longer than the fuzz runs take
  std::filesystem::create_directories(seed_dir);
  std::ofstream(seed_dir + "/" + std::to_string(std::hash<std::string>()(seed)),
                std::ios::binary)
      << seed;
}

}  // namespace

int TestGame::Run(std::string_view script, std::uint32_t max_ms) {
  engine_.reset();
  // With TUMU_GAME_SEEDS naming a folder, every game a test plays is kept there as a seed.
  if (const char* seed_dir = std::getenv("TUMU_GAME_SEEDS")) SaveGameSeed(dir_, seed_dir);
  HeadlessOptions h = headless;
  h.max_ms = max_ms;
  ParsedScript parsed = ParseScript(script);
  if (!parsed.ok) {
    ADD_FAILURE() << "script line " << parsed.error_line << ": " << parsed.error;
    return -1;
  }
  h.script = std::move(parsed.events);
  backend_ = std::make_unique<HeadlessPlatform>(std::move(h));
  backend_->message_boxes.answers = box_answers;
  std::string error;
  std::unique_ptr<TextRenderer> text =
      make_text_renderer ? make_text_renderer() : TextRenderer::Open(options.font, &error);
  if (!text) {
    ADD_FAILURE() << error;
    return -1;
  }
  // One switch for the automatic player, as on the command line.
  Options engine_options = options;
  engine_options.auto_play = headless.auto_play;
  engine_ = std::make_unique<Engine>(backend_->platform(), std::move(text), engine_options);
  if (!options.trace.empty()) engine_->log.OpenTrace(options.trace);
  if (before_start) before_start(*engine_);
  return RunGame(*engine_);
}

Surface565 TestGame::Shot(std::string_view name) const { return ReadPng(Path(name)); }

std::vector<std::string> TestGame::Trace() const {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(".trace.txt"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> TestGame::Errors() const {
  std::vector<std::string> errors;
  for (const std::string& line : Trace()) {
    if (line.rfind("error\t", 0) != 0) continue;
    // error LINE FILE MESSAGE SECOND -> LINE MESSAGE SECOND
    // Split at every tab: a report with an empty second line ends in one.
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
      const std::size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (fields.size() >= 5) errors.push_back(fields[1] + "\t" + fields[3] + "\t" + fields[4]);
  }
  return errors;
}

std::vector<int> TestGame::RunLines() const {
  std::vector<int> lines;
  for (const std::string& line : Trace()) {
    if (line.rfind("run\t", 0) != 0) continue;
    std::istringstream in(line);
    std::string kind, depth, file, number;
    std::getline(in, kind, '\t');
    std::getline(in, depth, '\t');
    std::getline(in, file, '\t');
    std::getline(in, number, '\t');
    lines.push_back(std::stoi(number));
  }
  return lines;
}

std::vector<std::string> TestGame::RunTexts(std::string_view prefix) const {
  std::vector<std::string> texts;
  for (const std::string& line : Trace()) {
    if (line.rfind("run\t", 0) != 0) continue;
    // run DEPTH FILE LINE TEXT: the text follows the fourth tab.
    std::size_t at = 0;
    for (int tab = 0; tab < 4 && at != std::string::npos; ++tab) at = line.find('\t', at + 1);
    if (at == std::string::npos) continue;
    const std::string text = line.substr(at + 1);
    if (text.rfind(prefix, 0) == 0) texts.push_back(text);
  }
  return texts;
}

}  // namespace tumu::testing
