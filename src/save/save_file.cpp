#include "save/save_file.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <unordered_set>

#include "engine/engine.h"
#include "engine/scenario.h"
#include "platform/sjis_literal.h"
#include "text/variable_display.h"
#include "vars/evaluator.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

constexpr std::string_view kNumericMarker = "－－－－－－－－－－－－ツムギノート変数データ"_sj;
constexpr std::string_view kStringMarker = "－－－－－－－－－－－－ツムギノート文字変数データ"_sj;
constexpr std::string_view kHistoryMarker = "－－－－－－別シナリオ履歴"_sj;
constexpr std::string_view kLineMarker = "－－－－－今の行数"_sj;
constexpr std::string_view kEndMarker = "－－－－－－－－－－－－ツムギノートデータ終了"_sj;

constexpr std::int64_t kMaxStringVariables = 500;
constexpr std::int64_t kMaxCallDepth = kCallStackSize - 1;
constexpr std::size_t kMaxStackNameBytes = 209;
// Enough of any file to decide what reading it gives: past this, either the line count or the
// length of a line has run over its limit.
constexpr std::size_t kMaxSaveBytes = std::size_t{kMaxSaveLines} * (kMaxSaveLineBytes + 2) + 1;

void AppendLine(std::string& out, std::string_view line) {
  out += line;
  out += "\r\n";
}

void AppendNumber(std::string& out, std::int64_t number) { AppendLine(out, std::to_string(number)); }

using Lines = std::span<const std::string_view>;

// Line `number` of the file, counted from 1; a place outside the lines read is an empty line.
std::string_view LineAt(Lines lines, std::int64_t number) {
  if (number < 1 || number > static_cast<std::int64_t>(lines.size())) return {};
  return lines[static_cast<std::size_t>(number - 1)];
}

// The number at the front of a line; blanks before it are skipped.
std::int32_t NumberAt(Lines lines, std::int64_t number) {
  std::string_view text = LineAt(lines, number);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return IntegerAtFront(text);
}

// Where the sections of a checked save file stand.
struct SaveLayout {
  std::int64_t numeric_count = 0;
  std::int64_t string_count = 0;
  std::int64_t history_line = 0;
  std::int64_t NumericName(std::int64_t i) const { return 2 * i + 3; }
  std::int64_t StringName(std::int64_t j) const { return 2 * numeric_count + 2 * j + 5; }
  std::int64_t StackName(std::int64_t k) const { return history_line + 2 + 2 * k; }
};

// A refused file: the message, and the second line of the report.
struct Fault {
  std::string_view message;
  std::string_view second_line;
  explicit operator bool() const { return !message.empty(); }
};

// The first fault of the file's structure, checked in the order the sections stand.
std::string_view StructureFault(const EngineState& s, Lines lines, SaveLayout* layout) {
  if (!ContainsBytes(LineAt(lines, 1), "－ツムギノート変数データ"_sj)) return "データ形式が 違います"_sj;
  if (!ContainsBytes(LineAt(lines, static_cast<std::int64_t>(lines.size())),
                     "－ツムギノートデータ終了"_sj)) {
    return "フッター が破壊されています"_sj;
  }
  layout->numeric_count = NumberAt(lines, 2);
  const std::int64_t n = layout->numeric_count;
  if (!ContainsBytes(LineAt(lines, 2 * n + 3), "－ツムギノート文字変数データ"_sj)) {
    return " ツムギノート文字変数データが破壊されています"_sj;
  }
  layout->string_count = NumberAt(lines, 2 * n + 4);
  const std::int64_t m = layout->string_count;
  layout->history_line = 2 * n + 2 * m + 5;
  if (!ContainsBytes(LineAt(lines, layout->history_line), "－別シナリオ履歴"_sj)) {
    return "シナリオ履歴データ が破壊されています"_sj;
  }
  if (!CheckSaveMatchesGame(s, n, lines)) return "このデータは現在のゲームデータではありません"_sj;
  // What no save of this player holds, refused rather than written past the tables.
  if (m < 0) return " ツムギノート文字変数データが破壊されています"_sj;
  if (m > kMaxStringVariables) return "文字変数が５００個を超えています（データ破壊）"_sj;
  for (std::int64_t i = 0; i < n; ++i) {
    if (LineAt(lines, layout->NumericName(i)).size() > kNameBytes - 1) {
      return "変数名が長すぎます（データ破壊）"_sj;
    }
  }
  for (std::int64_t j = 0; j < m; ++j) {
    if (LineAt(lines, layout->StringName(j)).size() > kNameBytes - 1) {
      return "変数名が長すぎます（データ破壊）"_sj;
    }
    if (LineAt(lines, layout->StringName(j) + 1).size() > kStringValueBytes - 1) {
      return "文字変数の内容が長すぎます（データ破壊）"_sj;
    }
  }
  return {};
}

// Everything a resume needs, checked and read before anything of the game is replaced, so that a
// refused resume leaves the game as it was.
Fault CheckResume(Engine& engine, Lines lines, const SaveLayout& layout, std::string_view name,
                  std::int64_t* depth, std::vector<std::uint8_t>* scenario) {
  const Fault destroyed{"シナリオ復帰データが破壊されています"_sj, name};
  if (!ContainsBytes(LineAt(lines, layout.StackName(0)), "start")) return destroyed;
  *depth = NumberAt(lines, layout.history_line + 1);
  if (*depth < 0 || *depth > kMaxCallDepth) return destroyed;
  for (std::int64_t k = 0; k <= *depth; ++k) {
    if (LineAt(lines, layout.StackName(k)).size() > kMaxStackNameBytes) return destroyed;
  }
  const std::string_view running = LineAt(lines, layout.StackName(*depth));
  std::optional<std::vector<std::uint8_t>> bytes = engine.files.ReadFile(running);
  if (!bytes) return {"復帰先のシナリオが見つかりません"_sj, running};
  *scenario = std::move(*bytes);
  return {};
}

void RestoreVariables(EngineState& s, Lines lines, const SaveLayout& layout) {
  ResetVariables(s);
  ResetVariableIndex(s);
  s.numeric_count = static_cast<std::int32_t>(layout.numeric_count);
  for (std::int64_t i = 0; i < layout.numeric_count; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    s.numeric_names[slot] = LineAt(lines, layout.NumericName(i));
    s.numeric_values[slot] = NumberAt(lines, layout.NumericName(i) + 1);
  }
  RebuildVariableIndex(s);
  s.string_count = static_cast<std::int32_t>(layout.string_count);
  for (std::int64_t j = 0; j < layout.string_count; ++j) {
    const auto slot = static_cast<std::size_t>(j);
    s.string_names[slot] = LineAt(lines, layout.StringName(j));
    s.string_values[slot] = LineAt(lines, layout.StringName(j) + 1);
  }
}

int RestorePosition(Engine& engine, Lines lines, const SaveLayout& layout, std::int64_t depth,
                    std::span<const std::uint8_t> scenario) {
  EngineState& s = engine.state;
  s.call_depth = static_cast<std::int32_t>(depth);
  for (std::int64_t k = 0; k <= depth; ++k) {
    const auto level = static_cast<std::size_t>(k);
    s.scenario_file_stack[level] = LineAt(lines, layout.StackName(k));
    s.return_line_stack[level] = NumberAt(lines, layout.StackName(k) + 1);
  }
  if (!LoadScenarioBytes(engine, scenario, s.scenario_file_stack[static_cast<std::size_t>(depth)])) {
    return 0;
  }
  // The chain that ran before is gone with the old stack: the right-click scenario runs on only
  // where the restored stack holds it, so that the right button is never left locked.
  s.right_click_active = 0;
  for (std::int32_t k = 1; k <= s.call_depth && s.right_click_set == 1; ++k) {
    if (s.scenario_file_stack[static_cast<std::size_t>(k)].view() == s.right_click_file.view()) {
      s.right_click_active = 1;
      s.right_click_depth = k;
      break;
    }
  }
  s.current_line = NumberAt(lines, layout.history_line + 2 * depth + 5);
  return 1;
}

std::optional<std::string> ReadAtMost(const std::string& path, std::size_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(limit, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(limit));
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace

std::string FormatSaveFile(const EngineState& s) {
  std::string out;
  AppendLine(out, kNumericMarker);
  const int n = std::clamp(s.numeric_count, 0, kNumericSlots);
  AppendNumber(out, n);
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
    AppendLine(out, s.numeric_names[i]);
    AppendNumber(out, s.numeric_values[i]);
  }
  AppendLine(out, kStringMarker);
  const int m = std::clamp(s.string_count, 0, kStringSlots);
  AppendNumber(out, m);
  for (std::size_t j = 0; j < static_cast<std::size_t>(m); ++j) {
    AppendLine(out, s.string_names[j]);
    AppendLine(out, s.string_values[j]);
  }
  AppendLine(out, kHistoryMarker);
  const int depth = std::clamp(s.call_depth, 0, kCallStackSize - 1);
  AppendNumber(out, depth);
  for (std::size_t k = 0; k <= static_cast<std::size_t>(depth); ++k) {
    AppendLine(out, s.scenario_file_stack[k]);
    AppendNumber(out, s.return_line_stack[k]);
  }
  AppendLine(out, kLineMarker);
  AppendNumber(out, s.current_line);
  AppendLine(out, kEndMarker);
  return out;
}

SaveLines SplitSaveLines(std::string_view bytes) {
  SaveLines result;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const bool line_end = bytes[i] == '\n';
    const bool cr_of_line_end = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    if (result.lines.size() == kMaxSaveLines) {
      result.fault = SaveLines::Fault::kTooManyLines;
      return result;
    }
    if (line_end) {
      std::size_t end = i;
      if (end > start && bytes[end - 1] == '\r') --end;
      result.lines.push_back(bytes.substr(start, end - start));
      start = i + 1;
    } else if (!cr_of_line_end && i - start >= kMaxSaveLineBytes) {
      result.fault = SaveLines::Fault::kLineTooLong;
      return result;
    }
  }
  return result;
}

bool CheckSaveMatchesGame(const EngineState& state, std::int64_t numeric_count, Lines lines) {
  if (numeric_count != state.numeric_count) return false;
  const std::unordered_set<std::string_view> whole_lines(lines.begin(), lines.end());
  const int count = std::clamp(state.numeric_count, 0, kNumericSlots);
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    if (!whole_lines.contains(state.numeric_names[i].view())) return false;
  }
  return true;
}

int SaveGame(Engine& engine, std::string_view name) {
  const std::string text = FormatSaveFile(engine.state);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  switch (engine.files.WriteFile(name, {bytes, text.size()})) {
    case WriteOutcome::kWritten:
      engine.log.Trace("save\t" + SjisToUtf8(name));
      return 1;
    case WriteOutcome::kOpenFailed:
      ReportScenarioError(engine, "ファイルのオープンに失敗しました"_sj, name);
      return 0;
    case WriteOutcome::kWriteFailed:
      ReportScenarioError(engine, "書き込みエラー発生"_sj, "何らかのマシントラブルが考えられます"_sj);
      return 0;
    case WriteOutcome::kCloseFailed:
      ReportScenarioError(engine, "ファイルをクローズできません"_sj,
                          "何らかのマシントラブルと考えられます"_sj);
      return 0;
  }
  return 0;
}

int LoadGame(Engine& engine, std::string_view name, bool resume) {
  std::optional<std::string> bytes;
  if (engine.files.SavedFileExists(name) == kFileRegular) {
    bytes = ReadAtMost(*engine.files.ResolveSaved(name), kMaxSaveBytes);
  }
  if (!bytes) {
    ReportScenarioError(engine, "ファイルが開けません"_sj, name);
    return 0;
  }
  return LoadGameBytes(engine, *bytes, name, resume);
}

int LoadGameBytes(Engine& engine, std::string_view bytes, std::string_view name_line, bool resume) {
  EngineState& s = engine.state;
  // The name may stand in the scenario store, which a resume loads anew.
  const std::string name(name_line);
  const SaveLines read = SplitSaveLines(bytes);
  if (read.fault == SaveLines::Fault::kTooManyLines) {
    ReportScenarioError(engine, "データ行が長すぎます（データ破壊）"_sj, name);
    return 0;
  }
  if (read.fault == SaveLines::Fault::kLineTooLong) {
    ReportScenarioError(engine, "１行のデータが長すぎます（データ破壊）"_sj, name);
    return 0;
  }
  SaveLayout layout;
  if (const std::string_view fault = StructureFault(s, read.lines, &layout); !fault.empty()) {
    ReportScenarioError(engine, fault, name);
    return 0;
  }
  std::int64_t depth = 0;
  std::vector<std::uint8_t> scenario;
  if (resume) {
    if (const Fault fault = CheckResume(engine, read.lines, layout, name, &depth, &scenario)) {
      ReportScenarioError(engine, fault.message, fault.second_line);
      return 0;
    }
  }
  RestoreVariables(s, read.lines, layout);
  if (s.variable_display_on == 1) RenderVariableDisplay(engine);
  if (resume && !RestorePosition(engine, read.lines, layout, depth, scenario)) return 0;
  engine.log.Trace("load\t" + SjisToUtf8(name));
  return 1;
}

}  // namespace tumu
