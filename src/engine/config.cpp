#include "engine/config.h"

#include <array>
#include <vector>
#include <string>

#include "engine/engine.h"
#include "engine/format.h"
#include "engine/scenario.h"
#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

namespace {

constexpr std::string_view kConfigName = "tumu.ini";
constexpr int kMaxConfigLineEnds = 200;
constexpr int kMaxConfigLineBytes = 95;

void ShowBox(Engine& engine, std::string_view text) {
  engine.platform.message_boxes.Show(SjisToUtf8(engine.state.window_title.view()),
                                     SjisToUtf8(text), BoxButtons::kOk);
}

}  // namespace

void ReadConfigFile(Engine& engine) {
  if (const auto file = engine.files.ReadFile(kConfigName)) ApplyConfigText(engine, *file);
}

void ApplyConfigText(Engine& engine, std::span<const std::uint8_t> bytes) {
  // The lines read (the text after the last line end is one more), then an empty line.
  std::vector<std::string> lines(1);
  int line_ends = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t byte = bytes[i];
    if (byte == 0x0D && i + 1 < bytes.size() && bytes[i + 1] == 0x0A) continue;
    if (byte == 0x1A) break;
    if (byte == 0x0A) {
      if (++line_ends > kMaxConfigLineEnds) {
        ShowBox(engine, "INIファイルの行数が２００行を超えています"_sj);
        return;
      }
      lines.emplace_back();
      continue;
    }
    if (static_cast<int>(lines.back().size()) >= kMaxConfigLineBytes) {
      ShowBox(engine, "INIファイルに９５文字を超えた行があります"_sj);
      return;
    }
    lines.back() += static_cast<char>(byte);
  }
  lines.emplace_back();

  // Each line is read as the zero-ended text that it was for the game: a 0x00 byte ends it
  // (the bytes behind it still counted toward the length limit above).
  auto text_of = [&lines](std::size_t i) {
    const std::string_view line = lines[i];
    return line.substr(0, line.find('\0'));
  };
  EngineState& s = engine.state;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = text_of(i);
    if (line.empty() || StartsWith(line, "//") || StartsWith(line, "／／"_sj)) continue;
    if (StartsWith(line, "＃ウインドウ"_sj) || StartsWith(line, "＃ウィンドウ"_sj)) {
      s.window_mode = FindBytes(line, "選択"_sj) != kNotFound ? 2 : 1;
    } else if (StartsWith(line, "＃ゲーム名"_sj) || StartsWith(line, "＃ゲームタイトル"_sj)) {
      // The whole next line is the title, whatever it holds.
      ++i;
      s.window_title.assign(i < lines.size() ? text_of(i) : std::string_view());
    } else {
      ShowBox(engine, Sprintf("INIファイルの設定ミスです\n%s"_sj.c_str(), std::string(line).c_str()));
    }
  }
}

void ApplyConfig(Engine& engine, bool may_ask) {
  if (engine.files.FileExists(kConfigName) != kFileRegular) return;
  ReadConfigFile(engine);
  EngineState& s = engine.state;
  if (s.window_mode != 2 || !may_ask) return;
  const BoxAnswer answer = engine.platform.message_boxes.Show(
      SjisToUtf8(s.window_title.view()),
      SjisToUtf8("●ゲームモードの設定\n\nゲームをウインドウ・タイプでプレイしますか？\n\n"
                 "（いいえを選ぶと全画面モードになります）\n\n"_sj),
      BoxButtons::kYesNo);
  if (answer == BoxAnswer::kYes) s.window_mode = 1;
  if (answer == BoxAnswer::kNo) s.window_mode = 0;
}

}  // namespace tumu
