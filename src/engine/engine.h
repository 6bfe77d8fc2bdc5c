// The engine: one game being played, over one EngineState, its surfaces and fonts, and the
// platform services it runs on. Operations of the subsystems are free functions on Engine&.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/log.h"
#include "engine/options.h"
#include "engine/state.h"
#include "picture/held_pictures.h"
#include "platform/file_lookup.h"
#include "platform/platform.h"
#include "platform/screen.h"
#include "platform/text_renderer.h"
#include "text/text_history.h"

namespace tumu {

struct Engine {
  Engine(Platform platform, std::unique_ptr<TextRenderer> text, const Options& options);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Platform platform;  // the services, borrowed from the backend
  std::unique_ptr<TextRenderer> text;
  Options options;
  GameFiles files;
  EngineLog log;
  std::unique_ptr<EngineState> state_storage;
  EngineState& state;
  Screen screen;
  HeldPictures pictures;
  // The prose shown so far, for the player's backlog; not part of the game's state.
  TextHistory text_history;

  // The main window is gone (the shutdown ran): the main loop ends at its next pass.
  bool quit = false;
  int exit_code = 0;
  // Whether the last frame turn was a waiting turn, and the tick it ran at.
  bool last_turn_waited = false;
  // Told of every scenario error as it is reported (the author's lint collects them this way).
  std::function<void(std::string_view message, std::string_view second_line)> on_report;
};

// Brings the engine back to how its constructor left it, for another game in game_dir with its
// saves in save_dir: the game's state, its files (still telling `on_found`), the pictures held,
// the backlog and the end of the run. The services, the text renderer, `on_report` and the
// surfaces stay: RestoreScreen brings surfaces back more cheaply than making them anew.
void ResetForAnotherGame(Engine& engine, const std::string& game_dir, const std::string& save_dir);

// The message of a scenario error, drawn on the red error screen; halts the engine until a click.
int ReportScenarioError(Engine& engine, std::string_view message, std::string_view second_line);

// Shows the composed back surface.
void PresentFrame(Engine& engine);

// The scenario line at `index`, or an empty line outside the store.
std::string_view ScenarioLine(const Engine& engine, int index);
inline std::string_view CurrentLine(const Engine& engine) {
  return ScenarioLine(engine, engine.state.current_line);
}
// Moves current_line one line on and gives that line (the next argument line of a command).
std::string_view NextLine(Engine& engine);

}  // namespace tumu
