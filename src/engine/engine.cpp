#include "engine/engine.h"

#include <filesystem>

namespace tumu {

Engine::Engine(Platform platform_in, std::unique_ptr<TextRenderer> text_in,
               const Options& options_in)
    : platform(platform_in),
      text(std::move(text_in)),
      options(options_in),
      files(options_in.game_dir, options_in.save_dir),
      log(options_in.verbose, options_in.headless),
      state_storage(std::make_unique<EngineState>()),
      state(*state_storage) {
  log.Info("saves go to " + std::filesystem::absolute(files.save_dir()).lexically_normal().string());
}

// Every member of Engine is brought back in ResetForAnotherGame.
static_assert(sizeof(Engine) == 2256,
              "Engine has changed: reset its new members in ResetForAnotherGame, then update this "
              "size");

void ResetForAnotherGame(Engine& engine, const std::string& game_dir, const std::string& save_dir) {
  static const auto pristine = std::make_unique<const EngineState>();
  engine.state = *pristine;
  engine.options.game_dir = game_dir;
  engine.options.save_dir = save_dir;
  auto on_found = std::move(engine.files.on_found);
  engine.files = GameFiles(game_dir, save_dir);
  engine.files.on_found = std::move(on_found);
  engine.pictures = HeldPictures();
  engine.text_history = TextHistory();
  engine.quit = false;
  engine.exit_code = 0;
  engine.last_turn_waited = false;
}

std::string_view ScenarioLine(const Engine& engine, int index) {
  if (index < 0 || index >= kScenarioSlots) return {};
  return engine.state.scenario_buffer[static_cast<std::size_t>(index)].view();
}

std::string_view NextLine(Engine& engine) {
  ++engine.state.current_line;
  return CurrentLine(engine);
}

void PresentFrame(Engine& engine) {
  if (engine.screen.back_surface.empty()) return;
  engine.platform.display.Present(engine.screen.back_surface);
}

}  // namespace tumu
