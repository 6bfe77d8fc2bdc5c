#include <string>

#include "engine/engine.h"
#include "engine/scenario.h"
#include "engine/shutdown.h"
#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

namespace {

// The fixed sequence of reports and pauses after a fatal limit, then the end of the program.
void StopForFatalLimit(Engine& engine, std::string_view first, std::string_view path,
                       std::string_view second, std::string_view second_hint) {
  ReportScenarioError(engine, first, path);
  engine.platform.clock.Sleep(5000);
  ReportScenarioError(engine, second, second_hint);
  engine.platform.clock.Sleep(3000);
  ReportScenarioError(engine, "メモリーが破壊される恐れがあるので"_sj,
                      "安全の為、３秒後に強制終了します"_sj);
  engine.platform.clock.Sleep(3000);
  // The game did not end by itself: the run fails.
  engine.exit_code = 1;
  ShutDown(engine);
}

}  // namespace

int LoadScenario(Engine& engine, std::string_view path) {
  const auto file = engine.files.ReadFile(path);
  if (!file) {
    engine.log.Info("not found: " + SjisToUtf8(path));
    ReportScenarioError(engine, "ファイルがオープンできません"_sj, path);
    return 0;
  }
  return LoadScenarioBytes(engine, *file, path);
}

int LoadScenarioBytes(Engine& engine, std::span<const std::uint8_t> bytes, std::string_view path) {
  EngineState& s = engine.state;
  s.scenario_buffer.Clear();

  const bool packaged = s.packaged_mode == 1;
  int line = 0;
  int column = 0;
  int line_ends = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::uint8_t byte = bytes[i];
    // Text-stream reading acts on the bytes as stored. A stored 0x1A ends a plain file; in a
    // packaged file it is the scrambled form of "F" (and of the second byte of 認, ェ, ：...),
    // so there it is data: ending the file there would silently cut the scenario.
    if (byte == 0x0D && i + 1 < bytes.size() && bytes[i + 1] == 0x0A) continue;
    if (byte == 0x1A && !packaged) break;
    if (packaged) byte ^= kScrambleKey;
    if (byte == 0x09) continue;
    char* slot = s.scenario_buffer.Edit(static_cast<std::size_t>(line)).data();
    if (byte == 0x0A) {
      slot[column] = 0;
      ++line;
      column = 0;
      ++line_ends;
      if (line_ends >= kMaxLineEnds) {
        s.line_count = line_ends;
        StopForFatalLimit(engine, "シナリオが４５００行を超えています"_sj, path,
                          "長いシナリオは＃別シナリオなどを使って"_sj,
                          "分割するようにしてください"_sj);
        return 0;
      }
      continue;
    }
    slot[column] = static_cast<char>(byte);
    ++column;
    if (column >= kMaxLineBytes + 1) {
      slot[column] = 0;
      s.line_count = line_ends;
      StopForFatalLimit(engine, "シナリオに９５文字を超えた行が存在します"_sj, path,
                        "シナリオは１行９４（全角４７）文字までです"_sj,
                        "無理に実行するはメモリー上、危険です"_sj);
      return 0;
    }
  }
  s.scenario_buffer.Edit(static_cast<std::size_t>(line)).data()[column] = 0;
  s.line_count = line_ends + 3;
  NormalizeScenarioLines(engine);
  return 1;
}

std::vector<std::uint8_t> ScrambleScenario(std::span<const std::uint8_t> plain) {
  std::vector<std::uint8_t> out;
  out.reserve(plain.size() + plain.size() / 16);
  for (std::size_t i = 0; i < plain.size(); ++i) {
    if (plain[i] == 0x0D && i + 1 < plain.size() && plain[i + 1] == 0x0A) continue;
    const std::uint8_t stored = plain[i] ^ kScrambleKey;
    if (stored == 0x0A) out.push_back(0x0D);
    out.push_back(stored);
  }
  return out;
}

std::vector<std::uint8_t> UnscrambleScenario(std::span<const std::uint8_t> stored) {
  std::vector<std::uint8_t> out;
  out.reserve(stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == 0x0D && i + 1 < stored.size() && stored[i + 1] == 0x0A) continue;
    out.push_back(stored[i] ^ kScrambleKey);
  }
  return out;
}

}  // namespace tumu
