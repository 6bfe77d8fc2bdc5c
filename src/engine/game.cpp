#include "engine/game.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/config.h"
#include "engine/engine.h"
#include "engine/format.h"
#include "engine/frame_driver.h"
#include "engine/scenario.h"
#include "engine/window_proc.h"
#include "platform/png_writer.h"
#include "platform/sjis_literal.h"
#include "text/text_window.h"
#include "vars/random.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

constexpr std::string_view kStartFile = "start.st1";

bool ChooseStartFile(Engine& engine) {
  EngineState& s = engine.state;
  if (engine.files.FileExists(kStartFile) != kFileRegular) {
    engine.files.FileExists("start.txt");
    engine.platform.message_boxes.Show(SjisToUtf8(s.window_title.view()),
                                       SjisToUtf8("startシナリオがありません"_sj), BoxButtons::kOk);
    engine.log.Error("no start.st1 in " + engine.files.game_dir());
    return false;
  }
  s.packaged_mode = 1;
  s.scenario_ext.assign(".st1");
  s.picture_ext.assign(".sb1");
  s.sound_ext.assign(".sw1");
  s.midi_ext.assign(".sm1");
  s.scenario_file_stack[0].assign(kStartFile);
  return true;
}

// Our frames are converted when they are presented, so every desktop depth shows them; the
// backends report the depth of that 16-bit presentation. The refusal stays for a backend that
// cannot present 16-bit frames.
bool CheckDesktopDepth(Engine& engine) {
  const int depth = engine.platform.display.DesktopDepth();
  if (depth == 16) return true;
  engine.platform.message_boxes.Show(
      SjisToUtf8(engine.state.window_title.view()),
      SjisToUtf8(Sprintf("現在の画面は %dビットです\nこのゲームは１６ビットカラーでお楽しみください\n\n"
                         "安全の為終了します。"_sj.c_str(),
                         depth)),
      BoxButtons::kOk);
  return false;
}

bool OpenDisplay(Engine& engine) {
  EngineState& s = engine.state;
  WindowConfig config;
  config.fullscreen = s.window_mode == 0;
  config.scale = engine.options.scale;
  config.title = SjisToUtf8(s.window_title.view());
  std::string error;
  if (!engine.platform.display.Open(config, &error)) {
    engine.log.Error("cannot open the display: " + error);
    std::fprintf(stderr, "tumu: cannot open the display: %s\n", error.c_str());
    return false;
  }
  if (!config.fullscreen && !CheckDesktopDepth(engine)) return false;
  return true;
}

// A game folder that is missing or is no folder is named as such: the player mistyped the path,
// the game did not lose its start scenario.
bool CheckGameFolder(const Engine& engine) {
  const std::string& dir = engine.files.game_dir();
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(dir, error);
  if (std::filesystem::is_directory(status)) return true;
  const char* problem = std::filesystem::exists(status) ? "is not a folder" : "does not exist";
  std::fprintf(stderr, "tumu: the game folder %s %s\n", dir.c_str(), problem);
  return false;
}

bool WriteText(const std::string& path, std::string_view text) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return (std::fclose(f) == 0) && written;
}

}  // namespace

bool StartGame(Engine& engine) {
  if (!OpenGame(engine)) return false;
  PrepareScreen(engine);
  LoadStartScenario(engine);
  return true;
}

bool OpenGame(Engine& engine) {
  EngineState& s = engine.state;
  if (!CheckGameFolder(engine)) return false;
  ResetVariables(s);
  SeedRandom(s, engine.options.seed ? *engine.options.seed
                                    : static_cast<std::uint32_t>(
                                          engine.platform.clock.CalendarSeconds()));
  ResetVariableIndex(s);
  s.call_depth = 0;
  s.return_line_stack[0] = 0;
  if (!ChooseStartFile(engine)) return false;
  ApplyConfig(engine, /*may_ask=*/!engine.options.window_mode.has_value());
  if (engine.options.window_mode) s.window_mode = *engine.options.window_mode;
  return OpenDisplay(engine);
}

void PrepareScreen(Engine& engine) {
  CreateWorkSurfaces(engine.screen);
  PaintStartSurfaces(engine);
}

void PaintStartSurfaces(Engine& engine) {
  const EngineState& s = engine.state;
  SetLayerColorKeys(engine.screen, s.mask_r, s.mask_g, s.mask_b);
  DrawDefaultDialogueFrame(engine);
  InitChoiceBar(engine.screen);
  ClearSurfaceWhite(engine.screen, engine.screen.person_surface);
}

void LoadStartScenario(Engine& engine) {
  EngineState& s = engine.state;
  LoadScenario(engine, s.scenario_file_stack[0].view());
  s.current_line = 0;
}

int RunMainLoop(Engine& engine) {
  Input& input = engine.platform.input;
  while (!engine.quit) {
    if (std::optional<InputEvent> event = input.Poll()) {
      if (event->type == InputEvent::Type::kEndRun) {
        engine.exit_code = event->exit_code;
        break;
      }
      HandleInputEvent(engine, *event);
      continue;
    }
    FrameTurn(engine);
    if (engine.quit) break;
    input.AfterTurn(ComputeTurnStatus(engine));
  }
  return engine.exit_code;
}

int RunGame(Engine& engine) {
  if (!StartGame(engine)) return 1;
  int status = RunMainLoop(engine);
  const bool written = WriteRunOutputs(engine) && !engine.platform.input.OutputFailed();
  if (!written && status == 0) status = 1;
  engine.log.Flush();
  return status;
}

bool WriteRunOutputs(Engine& engine) {
  const EngineState& s = engine.state;
  bool ok = true;
  if (!engine.options.dump_vars.empty()) {
    std::string text;
    for (int i = 0; i < s.numeric_count && i < kNumericSlots; ++i) {
      text += "num\t" + SjisToUtf8(s.numeric_names[static_cast<std::size_t>(i)].view()) + "\t" +
              std::to_string(s.numeric_values[static_cast<std::size_t>(i)]) + "\n";
    }
    for (int i = 0; i < s.string_count && i < kStringSlots; ++i) {
      text += "str\t" + SjisToUtf8(s.string_names[static_cast<std::size_t>(i)].view()) + "\t" +
              SjisToUtf8(s.string_values[static_cast<std::size_t>(i)].view()) + "\n";
    }
    if (!WriteText(engine.options.dump_vars, text)) {
      std::fprintf(stderr, "tumu: cannot write %s: %s\n", engine.options.dump_vars.c_str(),
                   std::strerror(errno));
      ok = false;
    }
  }
  if (!engine.options.screenshot.empty()) {
    std::string error;
    const Surface565& frame = engine.platform.display.LastFrame();
    if (frame.empty()) {
      std::fprintf(stderr, "tumu: no frame was shown, so no screenshot\n");
      ok = false;
    } else if (!WritePng(engine.options.screenshot, frame, &error)) {
      std::fprintf(stderr, "tumu: %s\n", error.c_str());
      ok = false;
    }
  }
  return ok;
}

}  // namespace tumu
