// A scenario file of any bytes: loaded as a packaged scenario and then played for a while, so
// that the loader, the label searches and the dispatcher meet arbitrary lines.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <string>

#include "engine/engine.h"
#include "engine/frame_driver.h"
#include "engine/scenario.h"
#include "engine/window_proc.h"
#include "fuzz_support.h"

namespace {

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

// A 64 x 48 bitmap of four flat quarters: red, blue, grey and orange.
std::string QuartersBitmap() {
  constexpr int kWidth = 64;
  constexpr int kHeight = 48;
  std::string pixels;
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool left = x < kWidth / 2;
      const bool top = y < kHeight / 2;
      const char* bgr =
          top ? (left ? "\x00\x00\xff" : "\xff\x00\x00") : (left ? "\x80\x80\x80" : "\x00\x80\xff");
      pixels.append(bgr, 3);
    }
  }
  std::string file = "BM";
  PutU32(file, static_cast<std::uint32_t>(54 + pixels.size()));
  PutU32(file, 0);
  PutU32(file, 54);
  PutU32(file, 40);
  PutU32(file, kWidth);
  PutU32(file, kHeight);
  PutU32(file, 1 | (24 << 16));  // planes, bits
  for (int i = 0; i < 6; ++i) PutU32(file, 0);
  return file + pixels;
}

// The game's folder: the picture "back" (also a back screen of four colours) and the sound
// "bell", so that picture and back-screen commands get past their file names.
std::string MakeGameFolder() {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "tumu-fuzz-scenario";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "back.sb1", std::ios::binary) << QuartersBitmap();
  // The fuzz game gives sounds no extension.
  std::ofstream(folder / "bell", std::ios::binary) << "RIFF";
  return folder.string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string game_folder = MakeGameFolder();
  tumu::fuzz::FuzzGame& game = tumu::fuzz::FuzzGame::Fresh(game_folder);
  tumu::Engine& engine = game.engine();
  tumu::LoadScenarioBytes(engine, std::span<const std::uint8_t>(data, size), "start.st1");
  // Lines run one per turn; whatever waits is answered at once, so that the lines after it run.
  // The mouse goes to the top-left corner first: on a back screen that is the red quarter.
  for (int turn = 0; turn < 200 && !engine.quit; ++turn) {
    tumu::FrameTurn(engine);
    if (tumu::ScenarioHeld(engine) || engine.state.error_halt) {
      tumu::InputEvent event;
      event.type = tumu::InputEvent::Type::kMouseMove;
      tumu::HandleInputEvent(engine, event);
      event.type = tumu::InputEvent::Type::kLeftDown;
      tumu::HandleInputEvent(engine, event);
      game.backend().clock.Advance(500);
    }
  }
  return 0;
}
