#include "engine/shutdown.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "engine/engine.h"
#include "platform/sjis_literal.h"
#include "sound/sound.h"

namespace tumu {

using namespace literals;

namespace {

// Whether the file can be opened for writing, as the dump opens it: a folder of that name or a
// folder that takes no new files cannot. The file is created if it was not there; the dump then
// replaces it whole.
bool CanOpenForWriting(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace

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
  const std::optional<std::string> path = engine.files.WritablePath(kDumpName);
  if (!path || !CanOpenForWriting(*path)) {
    if (path) engine.log.Info("cannot open " + *path + ": " + std::strerror(errno));
    ReportScenarioError(engine, "ファイルのオープンに失敗しました"_sj, kDumpName);
    return;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  if (!engine.files.WriteFileAtomically(kDumpName, {bytes, text.size()})) {
    ::unlink(path->c_str());
    ReportScenarioError(engine, "ファイルをクローズできません"_sj,
                        "何らかのマシントラブルと考えられます"_sj);
  }
}

}  // namespace tumu
