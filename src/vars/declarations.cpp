#include <string>

#include "engine/engine.h"
#include "platform/sjis_literal.h"
#include "vars/evaluator.h"
#include "vars/expression.h"
#include "vars/substitution.h"
#include "vars/variable_commands.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

constexpr int kMaxNumericVariables = 10000;
constexpr int kMaxStringVariables = 500;
constexpr std::size_t kMaxNameBytes = 50;

// After adding a variable: more than 10000 slots in use ends the declaration block.
void CheckNumericTotal(Engine& engine) {
  EngineState& s = engine.state;
  if (s.numeric_count > kMaxNumericVariables) {
    ReportScenarioError(engine, "変数のトータルが10000を超えました"_sj,
                        "シナリオをもう一度チェックして下さい"_sj);
    s.declaring_numeric = 0;
  }
}

void DeclareScalar(Engine& engine, std::string_view line) {
  EngineState& s = engine.state;
  for (int i = 0; i < kNumericSlots && !s.numeric_names[static_cast<std::size_t>(i)].empty(); ++i) {
    if (s.numeric_names[static_cast<std::size_t>(i)] == line) {
      ReportScenarioError(engine, "同じ名前の変数を宣言しています"_sj, line);
      return;
    }
    if (i > kMaxNumericVariables - 1) {
      ReportScenarioError(engine, "変数宣言中に変数のトータルが10000を超えました"_sj,
                          "シナリオをもう一度チェックして下さい"_sj);
      s.declaring_numeric = 0;
      return;
    }
  }
  if (line.size() > kMaxNameBytes) {
    ReportScenarioError(engine, "変数名が５０（全角２５）文字を超えています"_sj, line);
    return;
  }
  if (!HasNameCharacter(line)) {
    ReportScenarioError(engine, "変数に数字を宣言しています"_sj, line);
    return;
  }
  if (AddNumericVariable(s, line) < 0) return;
  CheckNumericTotal(engine);
}

void DeclareArray(Engine& engine, std::string_view line) {
  EngineState& s = engine.state;
  if (FindText(line, "］"_sj) == kNotFound) {
    ReportScenarioError(engine, "配列変数に閉じカッコがありません"_sj, line);
    return;
  }
  const std::size_t open = FindText(line, "［"_sj);
  const std::size_t close = FindText(line.substr(open), "］"_sj);
  if (close == kNotFound) {
    ReportScenarioError(engine, "配列変数の閉じカッコの位置が変です"_sj, line);
    return;
  }
  const std::string_view maximum_text = line.substr(open + 2, close - 2);
  const std::optional<std::string> expanded = ExpandExpressionVariables(engine, maximum_text);
  if (!expanded) return;  // a subscript inside the maximum failed and has been reported
  const std::string result = !IsErrorResult(*expanded)
                                 ? EvaluateExpression(*expanded)
                                 : std::string("ERR");
  if (IsErrorResult(result)) {
    ReportScenarioError(engine, "配列の最大値の指定が間違っています"_sj, line);
    return;
  }
  const int maximum = IntegerAtFront(result);
  if (maximum <= 0) {
    ReportScenarioError(engine, "配列の最大値が０またはマイナスになりました"_sj, line);
    return;
  }
  const std::string base(line.substr(0, open));
  // Every element is addressed by its key; a key that does not fit a name slot could not be
  // stored whole, and a cut key would name another variable. Refuse such an array.
  if (base.size() + std::to_string(maximum).size() + 2 > FixedText<kNameBytes>::kCapacity) {
    ReportScenarioError(engine, "配列変数の名前が長すぎます"_sj, line);
    return;
  }
  if (FindVariable(s, base + ":0:") >= 0) {
    ReportScenarioError(engine, "同じ名前の配列変数を宣言しています"_sj, line);
    return;
  }
  for (int i = 0; i <= maximum; ++i) {
    if (s.numeric_count > kMaxNumericVariables - 1) {
      ReportScenarioError(engine, "配列変数作成中に変数のトータルが10000を超えました"_sj,
                          "シナリオをもう一度チェックして下さい"_sj);
      s.declaring_numeric = 0;
      return;
    }
    AddNumericVariable(s, base + ":" + std::to_string(i) + ":");
  }
  CheckNumericTotal(engine);
}

}  // namespace

void HandleDeclareNumeric(Engine& engine) {
  EngineState& s = engine.state;
  if (s.numeric_count > kMaxNumericVariables - 1) {
    ReportScenarioError(engine, "すでに変数のトータルは"_sj, "10000個を超えています"_sj);
  } else if (s.save_load_used == 1) {
    ReportScenarioError(engine, "「＃変数宣言」は「＃セーブ・ロード」の前にしてください"_sj,
                        "（ロード時にデータを破壊する恐れがあります）"_sj);
  } else {
    s.declaring_numeric = 1;
  }
}

void HandleDeclareStrings(Engine& engine) {
  EngineState& s = engine.state;
  if (s.string_count > kMaxStringVariables) {
    ReportScenarioError(engine, "すでに変数（文字）のトータルは"_sj, "５００個を超えています"_sj);
  } else if (s.save_load_used == 1) {
    ReportScenarioError(engine, "「＃変数宣言（文字）」は「＃セーブ・ロード」の前にしてください"_sj,
                        "（ロード時にデータを破壊する恐れがあります）"_sj);
  } else {
    s.declaring_strings = 1;
  }
}

void DeclareNumericVariable(Engine& engine, std::string_view line) {
  if (FindText(line, "［"_sj) == kNotFound) {
    DeclareScalar(engine, line);
  } else {
    DeclareArray(engine, line);
  }
}

void DeclareStringVariable(Engine& engine, std::string_view line) {
  EngineState& s = engine.state;
  if (s.string_count > kMaxStringVariables - 1) {
    ReportScenarioError(engine, "文字変数は５００個までです"_sj, line);
    s.declaring_strings = 0;
    return;
  }
  if (line.size() > kMaxNameBytes) {
    ReportScenarioError(engine, "文字変数名が５０（全角２５）文字を超えています"_sj, line);
    return;
  }
  for (int i = 0; i < kStringSlots && !s.string_names[static_cast<std::size_t>(i)].empty(); ++i) {
    if (s.string_names[static_cast<std::size_t>(i)] == line) {
      ReportScenarioError(engine, "同じ名前の文字変数を宣言しています"_sj, line);
      return;
    }
  }
  s.string_names[static_cast<std::size_t>(s.string_count)].assign(line);
  s.string_count += 1;
}

}  // namespace tumu
