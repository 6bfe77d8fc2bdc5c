#include "save/save_commands.h"

#include "engine/engine.h"
#include "engine/scenario.h"
#include "platform/sjis_literal.h"
#include "save/save_file.h"

namespace tumu {

using namespace literals;

namespace {

// The two argument lines of a confirming form, neither passed yet.
struct ConfirmArguments {
  std::string_view file;
  std::string_view label;
};

ConfirmArguments ReadConfirmArguments(const Engine& engine) {
  const int line = engine.state.current_line;
  return {ScenarioLine(engine, line + 1), ScenarioLine(engine, line + 2)};
}

// After a refusal the file name and the label are passed: argument lines are never run as
// scenario lines. A refusal for a missing file name passes nothing: what follows its empty line
// need not be a label.
void PassArguments(Engine& engine) { engine.state.current_line += 2; }

void SaveConfirmingOverwrite(Engine& engine) {
  EngineState& s = engine.state;
  const ConfirmArguments args = ReadConfirmArguments(engine);
  if (args.file.empty()) {
    ReportScenarioError(engine, "＃セーブ（上書き確認）する"_sj, "ファイル名がありません"_sj);
    return;
  }
  if (args.label.empty()) {
    ReportScenarioError(engine, "＃セーブ上書き確認時の"_sj, "ラベル名がありません"_sj);
    PassArguments(engine);
    return;
  }
  s.current_line += 2;
  // A folder of that name counts as existing too: nothing is written over it.
  if (engine.files.SavedFileExists(args.file) == kFileAbsent) {
    SaveGame(engine, args.file);
    return;
  }
  const int target = FindLabel(engine, args.label);
  if (target < 0) {
    ReportScenarioError(engine, "上書き確認時のラベルが見つかりません"_sj, args.label);
    return;
  }
  s.current_line = target;
}

void LoadConfirmingFile(Engine& engine, bool resume) {
  EngineState& s = engine.state;
  const ConfirmArguments args = ReadConfirmArguments(engine);
  if (args.file.empty()) {
    ReportScenarioError(engine, "＃ロード（ファイル確認）する"_sj, "ファイル名がありません"_sj);
    return;
  }
  if (args.label.empty()) {
    ReportScenarioError(engine, "＃ロード確認時（指定ファイルがない場合）の"_sj,
                        "飛び先ラベル名がありません"_sj);
    PassArguments(engine);
    return;
  }
  if (engine.files.SavedFileExists(args.file) == kFileRegular) {
    s.current_line += 1;
    LoadGame(engine, args.file, resume);
    s.current_line += 1;
    return;
  }
  const int target = FindLabel(engine, args.label);
  if (target < 0) {
    ReportScenarioError(engine, "＃ロード確認時のラベルが見つかりません"_sj, args.label);
    PassArguments(engine);
    return;
  }
  s.current_line = target;
}

}  // namespace

void HandleSave(Engine& engine) {
  const std::string_view command = CurrentLine(engine);
  engine.state.save_load_used = 1;
  if (ContainsText(command, "確認"_sj)) {
    SaveConfirmingOverwrite(engine);
    return;
  }
  const std::string_view file = NextLine(engine);
  if (file.empty()) {
    ReportScenarioError(engine, "＃セーブするファイル名がありません"_sj, "");
    return;
  }
  SaveGame(engine, file);
}

void HandleLoad(Engine& engine) {
  const std::string_view command = CurrentLine(engine);
  engine.state.save_load_used = 1;
  const bool resume = ContainsText(command, "復帰"_sj);
  if (ContainsText(command, "確認"_sj)) {
    LoadConfirmingFile(engine, resume);
    return;
  }
  if (ScenarioLine(engine, engine.state.current_line + 1).empty()) {
    ReportScenarioError(engine, "＃ロードするファイル名がありません"_sj, "");
    return;
  }
  LoadGame(engine, NextLine(engine), resume);
}

}  // namespace tumu
