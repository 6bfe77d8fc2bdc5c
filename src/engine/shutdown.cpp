#include "engine/shutdown.h"

#include <string>

#include "engine/engine.h"
#include "platform/sjis_literal.h"
#include "sound/sound.h"

namespace tumu {

using namespace literals;

void ShutDown(Engine& engine) {
  StopAllSounds(engine);
  ReleaseDisplay(engine.screen);
  engine.platform.text_input.Close();
  engine.platform.display.Close();
  engine.quit = true;
  engine.log.Info("shut down");
}

void DumpScenario(Engine& engine) {
  const EngineState& s = engine.state;
  std::string text;
  for (int i = 0; i < s.line_count && i < kScenarioSlots; ++i) {
    text.append(ScenarioLine(engine, i));
    text.append("\r\n");
  }
  constexpr std::string_view kDumpName = "debug1.txt";
  if (!engine.files.WritablePath(kDumpName)) {
    ReportScenarioError(engine, "ファイルのオープンに失敗しました"_sj, kDumpName);
    return;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  if (!engine.files.WriteFileAtomically(kDumpName, {bytes, text.size()})) {
    ReportScenarioError(engine, "ファイルをクローズできません"_sj,
                        "何らかのマシントラブルと考えられます"_sj);
  }
}

}  // namespace tumu
