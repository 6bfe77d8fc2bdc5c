// Small games written by the tests, run headless in the test process.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "engine/options.h"
#include "fake_text_renderer.h"
#include "platform/headless/headless_platform.h"

namespace tumu::testing {

// A temporary game folder, removed when the object goes.
class TestGame {
 public:
  TestGame();
  ~TestGame();
  TestGame(const TestGame&) = delete;
  TestGame& operator=(const TestGame&) = delete;

  const std::string& dir() const { return dir_; }
  std::string Path(std::string_view name) const { return dir_ + "/" + std::string(name); }

  // Writes a scenario from UTF-8 source: converted to Shift-JIS and, unless plain, scrambled as
  // the packer does.
  void WriteScenario(std::string_view name, std::string_view utf8_source, bool scrambled = true);
  // Writes bytes as they are.
  void WriteFile(std::string_view name, std::string_view bytes);
  std::string ReadFile(std::string_view name) const;

  // Runs the game headless with a script (the script language of --script, UTF-8). The engine
  // stays for inspection until the next run.
  int Run(std::string_view script = "", std::uint32_t max_ms = 600000);
  // Writes the scrambled start scenario and runs it.
  int Play(std::string_view utf8_scenario, std::string_view script = "",
           std::uint32_t max_ms = 600000) {
    WriteScenario("start.st1", utf8_scenario);
    return Run(script, max_ms);
  }

  Engine& engine() { return *engine_; }
  // The last frame shown, and a screenshot that the script took into the game folder.
  const Surface565& LastFrame() const { return backend_->display.LastFrame(); }
  Surface565 Shot(std::string_view name) const;
  // The script lines that let the last input take effect and then take that screenshot.
  std::string TakeShot(std::string_view name) const {
    return "settle\nscreenshot " + Path(name) + "\n";
  }
  // Draws the game's texts with the recording renderer instead of the real font.
  void UseFakeText() {
    make_text_renderer = [] { return std::make_unique<FakeTextRenderer>(); };
  }
  FakeTextRenderer& fake_text() { return dynamic_cast<FakeTextRenderer&>(*engine_->text); }
  EngineState& state() { return engine_->state; }
  HeadlessPlatform& backend() { return *backend_; }
  // Trace lines of the last run (UTF-8, without the line ends).
  std::vector<std::string> Trace() const;
  // Only the "error" lines of the trace, as "LINE\tMESSAGE\tSECOND" with the file left out.
  std::vector<std::string> Errors() const;
  // Only the executed line numbers of the "run" lines.
  std::vector<int> RunLines() const;
  // Only the texts of the executed lines that begin with `prefix` (UTF-8), in order.
  std::vector<std::string> RunTexts(std::string_view prefix = "") const;

  Options options;
  HeadlessOptions headless;
  // Runs on the fresh engine before the game starts: state a scenario cannot reach yet (a save
  // already made), or a fake text renderer that records what is drawn.
  std::function<void(Engine&)> before_start;
  // Makes the text renderer of the next run instead of the real font (for exact text placement).
  std::function<std::unique_ptr<TextRenderer>()> make_text_renderer;
  std::vector<BoxAnswer> box_answers;

 private:
  std::string dir_;
  std::unique_ptr<HeadlessPlatform> backend_;
  std::unique_ptr<Engine> engine_;
};

// The numeric slots of the last run in slot order, as "NAME=VALUE" (UTF-8).
std::vector<std::string> NumericSlots(TestGame& game);
// The string variables of the last run in slot order, as "NAME=VALUE" (UTF-8).
std::vector<std::string> StringSlots(TestGame& game);

// Shift-JIS bytes of a UTF-8 text.
std::string Sjis(std::string_view utf8);

// A scenario from its lines, one per entry, so that line numbers can be read off the test.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string source;
  for (std::string_view line : lines) {
    source += line;
    source += '\n';
  }
  return source;
}

// Enough clicks to take the game past every error screen it shows.
inline std::string Clicks(int count) {
  std::string script;
  for (int i = 0; i < count; ++i) script += "click 1 1\n";
  return script;
}

inline std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

}  // namespace tumu::testing
