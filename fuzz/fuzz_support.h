// A headless engine for fuzz targets, with the game's surfaces created, fresh for every input.
// The font is opened once: opening it is the slow part and it holds no game state.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/engine.h"
#include "platform/headless/headless_platform.h"
#include "platform/text_renderer.h"
#include "text/text_window.h"

namespace tumu::fuzz {

// Lends the one open font to each engine.
class SharedFont final : public TextRenderer {
 public:
  static TextRenderer& Get() {
    static std::unique_ptr<TextRenderer> font = [] {
      std::string error;
      auto opened = TextRenderer::Open("", &error);
      if (!opened) std::abort();
      return opened;
    }();
    return *font;
  }
  const std::string& font_file() const override { return Get().font_file(); }
  int DrawText(Surface565& surface, int x, int y, std::string_view sjis, int pixel_height,
               std::uint16_t foreground, std::uint16_t background) override {
    return Get().DrawText(surface, x, y, sjis, pixel_height, foreground, background);
  }
  int MeasureText(std::string_view sjis, int pixel_height) override {
    return Get().MeasureText(sjis, pixel_height);
  }
};

// Message boxes that answer their first button and print nothing.
class QuietBoxes final : public MessageBoxes {
 public:
  BoxAnswer Show(const std::string&, const std::string&, BoxButtons buttons) override {
    return buttons == BoxButtons::kOk ? BoxAnswer::kOk : BoxAnswer::kYes;
  }
};

// One engine for all inputs (making one is the slow part), brought back to a fresh start for
// every input. Its work surfaces exist, so text and pictures are drawn as in a game, but it has no
// back surface: painting the red error screen and composing whole frames would take nearly all
// the time of an input made of random lines, and neither reads the input.
class FuzzGame {
 public:
  static FuzzGame& Fresh(const std::string& game_dir = kNoGameDir) {
    FuzzGame& game = Shared();
    game.Reset(game_dir);
    return game;
  }
  // The same engine as it was left, for targets that set up only what they read.
  static FuzzGame& Shared() {
    static FuzzGame game;
    return game;
  }
  Engine& engine() { return *engine_; }
  HeadlessPlatform& backend() { return backend_; }

 private:
  FuzzGame() : backend_(HeadlessOptions{}) {
    // Not headless and not verbose: the log prints nothing, input after input.
    Options options;
    options.game_dir = kNoGameDir;
    // Below a file, so that no folder can be made there even by root: fuzzed saves and dumps
    // are never written anywhere.
    options.save_dir = "/dev/null/tumu-fuzz-saves";
    Platform platform = backend_.platform();
    const Platform quiet{platform.clock,      platform.display, platform.input,
                         platform.text_input, platform.audio,   boxes_};
    engine_ = std::make_unique<Engine>(quiet, std::make_unique<SharedFont>(), options);
  }

  static constexpr const char* kNoGameDir = "/nonexistent-fuzz-game";

  void Reset(const std::string& game_dir) {
    Engine& engine = *engine_;
    ResetForAnotherGame(engine, game_dir, engine.options.save_dir);
    EngineState& s = engine.state;
    s.packaged_mode = 1;
    s.scenario_ext.assign(".st1");
    s.picture_ext.assign(".sb1");
    s.scenario_file_stack[0].assign("start.st1");
    if (fresh_screen_.work_surface.empty()) {
      CreateWorkSurfaces(engine.screen);
      engine.screen.back_surface = Surface565();
      SetLayerColorKeys(engine.screen, s.mask_r, s.mask_g, s.mask_b);
      DrawDefaultDialogueFrame(engine);
      InitChoiceBar(engine.screen);
      fresh_screen_ = engine.screen;
    } else {
      RestoreScreen(engine.screen, fresh_screen_);
    }
  }

  HeadlessPlatform backend_;
  QuietBoxes boxes_;
  std::unique_ptr<Engine> engine_;
  Screen fresh_screen_;  // the surfaces as a fresh start leaves them
};

}  // namespace tumu::fuzz
