// The red error screen: every fault of a scenario is shown to its author on the game screen,
// with the line, the scenario file and the search paths, and the game halts until a click.
#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/engine.h"
#include "engine/format.h"
#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

int ReportScenarioError(Engine& engine, std::string_view message, std::string_view second_line) {
  EngineState& s = engine.state;
  if (engine.on_report) engine.on_report(message, second_line);
  const std::string_view file = s.scenario_file_stack[static_cast<std::size_t>(
                                                          std::clamp(s.call_depth, 0, kCallStackSize - 1))]
                                    .view();
  const std::string line_number = std::to_string(s.current_line + 1);

  const std::string line =
      SjisToUtf8(message) + "\t" + SjisToUtf8(second_line);
  engine.log.Error("error: " + line_number + " " + SjisToUtf8(file) + ": " + line);
  engine.log.Trace("error\t" + line_number + "\t" + SjisToUtf8(file) + "\t" + line);

  Screen& screen = engine.screen;
  Surface565& back = screen.back_surface;
  if (back.empty()) return 1;  // the display is gone: nothing can be shown

  FillSurfaceRect(screen, back, 0, 0, back.width(), back.height(), 255, 0, 0);
  FillSurfaceRect(screen, back, 20, 250, 600, 210, 255, 255, 255);

  const std::string texts[] = {
      std::string(message),
      std::string(second_line),
      std::string("●詳しい情報---------------------------------------------"_sj.view()),
      std::string(file),
      Sprintf("%d 行目が間違っています"_sj.c_str(), s.current_line + 1),
      std::string("●現在のパス（ファイルの場所）"_sj.view()),
      Sprintf("シナリオのパス 「%s」"_sj.c_str(), s.scenario_dir.c_str()),
      Sprintf("絵のパス       「%s」"_sj.c_str(), s.picture_dir.c_str()),
      Sprintf("音のパス       「%s」"_sj.c_str(), s.sound_dir.c_str()),
      Sprintf("MIDIのパス     「%s」"_sj.c_str(), s.midi_dir.c_str()),
  };
  struct Place {
    int x;
    int y;
  };
  static constexpr Place kPlaces[] = {{100, 100}, {100, 150}, {20, 250}, {50, 270}, {50, 290},
                                      {20, 330},  {50, 350},  {50, 370}, {50, 390}, {50, 410}};
  // A fresh drawing context: the default font, black text on an opaque white background.
  const std::uint16_t black = ColorToPixel(screen.format, 0, 0, 0);
  const std::uint16_t white = ColorToPixel(screen.format, 255, 255, 255);
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    engine.text->DrawText(back, kPlaces[i].x, kPlaces[i].y, texts[i], kDefaultFontHeight, black,
                          white);
  }
  PresentFrame(engine);
  engine.platform.display.Beep();
  s.click_wait = 1;
  s.error_halt = 1;
  return 1;
}

}  // namespace tumu
