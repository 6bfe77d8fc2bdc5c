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
