#include "vars/expression.h"

#include "engine/engine.h"
#include "engine/format.h"
#include "platform/sjis_literal.h"
#include "vars/evaluator.h"
#include "vars/substitution.h"
#include "vars/variables.h"

namespace tumu {

using namespace literals;

namespace {

constexpr std::string_view kTooLong = "ERR:計算式が長すぎます"_sj;

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool IsErrorResult(std::string_view result) { return FindBytes(result, "ERR") != kNotFound; }

ElementResolution ResolveElementReferences(Engine& engine, std::string_view text) {
  ElementResolution r;
  r.text = std::string(text);
  while (FindText(r.text, "］"_sj) != kNotFound) {
    const std::size_t close = FindText(r.text, "］"_sj);
    const std::size_t open = FindLastText(std::string_view(r.text).substr(0, close), "［"_sj);
    if (open == kNotFound) {
      r.status = ElementResolution::Status::kMissingOpenBracket;
      r.last_subscript = -1;
      return r;
    }
    const std::string_view subscript = std::string_view(r.text).substr(open + 2, close - open - 2);
    const std::string values = SubstituteVariableValues(engine.state, subscript);
    const std::string result = IsErrorResult(values) ? values : EvaluateExpression(values);
    if (IsErrorResult(result)) {
      ReportScenarioError(engine, "配列変数の中身が間違っています"_sj, r.text);
      r.status = ElementResolution::Status::kSubscriptFailed;
      r.last_subscript = -1;
      return r;
    }
    r.last_subscript = IntegerAtFront(result);
    std::string next = r.text.substr(0, open) + ":" + std::to_string(r.last_subscript) + ":" +
                       r.text.substr(close + 2);
    if (next.size() > kWorkingTextBytes) {
      r.status = ElementResolution::Status::kTooLong;
      return r;
    }
    r.text = std::move(next);
  }
  return r;
}

std::optional<std::string> ExpandExpressionVariables(Engine& engine, std::string_view expression) {
  if (FindText(expression, "［"_sj) == kNotFound && FindText(expression, "］"_sj) == kNotFound) {
    return SubstituteVariableValues(engine.state, expression);
  }
  const ElementResolution r = ResolveElementReferences(engine, expression);
  switch (r.status) {
    case ElementResolution::Status::kMissingOpenBracket:
      return std::string("ERR:カッコ［　の数が足りません"_sj.view());
    case ElementResolution::Status::kSubscriptFailed:
      return std::nullopt;
    case ElementResolution::Status::kTooLong:
      return std::string(kTooLong);
    case ElementResolution::Status::kResolved:
      break;
  }
  return SubstituteVariableValues(engine.state, r.text);
}

bool EvaluateScenarioExpression(Engine& engine, std::string_view expression,
                                std::string_view second_line, int* value) {
  const std::optional<std::string> expanded = ExpandExpressionVariables(engine, expression);
  if (!expanded) return false;
  if (IsErrorResult(*expanded)) {
    ReportScenarioError(engine, *expanded, second_line);
    return false;
  }
  const std::string result = EvaluateExpression(*expanded);
  if (IsErrorResult(result)) {
    ReportScenarioError(engine, result, second_line);
    return false;
  }
  *value = IntegerAtFront(result);
  return true;
}

void ExecuteAssignment(Engine& engine) {
  const std::string line(CurrentLine(engine));
  const std::size_t equals = FindText(line, "＝"_sj);
  if (equals == kNotFound) {
    ReportScenarioError(engine, "式に「＝」がありません （「＝」は全角のみです）"_sj, line);
    return;
  }
  if (FindText(line, "=") != kNotFound) {
    ReportScenarioError(engine, "「＝」は全角のみです"_sj, line);
    return;
  }
  if (FindText(line, "　"_sj) != kNotFound) {
    ReportScenarioError(engine, "スペースに関してだけは半角にして下さい"_sj, line);
    return;
  }
  std::string left = line.substr(0, equals);
  const std::string right = line.substr(equals + 2);

  // Blanks may only end the left side.
  bool seen_blank = false;
  for (char c : left) {
    if (IsBlankOrTab(c)) {
      seen_blank = true;
    } else if (seen_blank) {
      ReportScenarioError(engine, "左辺に文字が二つ以上あります"_sj, left);
      return;
    }
  }
  left = left.substr(0, left.find_first_of(" \t"));

  if (const std::size_t open = FindText(left, "［"_sj); open != kNotFound) {
    const std::size_t close = FindLastText(left, "］"_sj);
    if (close == kNotFound || close < open) {
      ReportScenarioError(engine, "左辺の配列変数が閉じていません"_sj, left);
      return;
    }
    const std::string subscript = left.substr(open + 2, close - open - 2);
    int index = 0;
    if (!EvaluateScenarioExpression(engine, subscript, left, &index)) return;
    left = Sprintf("%s:%d:", left.substr(0, open).c_str(), index);
  }

  int value = 0;
  if (!EvaluateScenarioExpression(engine, right, line, &value)) return;
  const std::int32_t slot = FindVariable(engine.state, left);
  if (slot < 0) {
    ReportScenarioError(engine, "該当する変数が宣言されていません"_sj, left);
    return;
  }
  engine.state.numeric_values[static_cast<std::size_t>(slot)] = value;
}

std::optional<std::string> SubstituteTextVariables(Engine& engine, std::string_view text,
                                                   int width_mode) {
  std::string w(text);
  const std::string_view open_mark = "＃（"_sj;
  const std::string_view close_mark = "）＃"_sj;
  while (FindBytes(w, open_mark) != kNotFound) {
    const std::size_t close = FindBytes(w, close_mark);
    if (close == kNotFound) {
      ReportScenarioError(engine, "変数の閉じカッコがありません"_sj, CurrentLine(engine));
      return std::nullopt;
    }
    const std::size_t open = FindBytes(w, open_mark);
    if (open >= close) {
      ReportScenarioError(engine, "閉じカッコの位置が変です"_sj, CurrentLine(engine));
      return std::nullopt;
    }
    const std::string expression = w.substr(open + 4, close - open - 4);
    int value = 0;
    if (!EvaluateScenarioExpression(engine, expression, CurrentLine(engine), &value)) {
      return std::nullopt;
    }
    w = w.substr(0, open) + Sprintf(width_mode == 2 ? "%8d" : "%d", value) + w.substr(close + 4);
  }
  return SubstituteStringVariables(engine, w);
}

std::optional<std::string> SubstituteStringVariables(Engine& engine, std::string_view text) {
  std::string w(text);
  const std::string_view open_mark = "”（"_sj;
  const std::string_view close_mark = "）”"_sj;
  // Each reference is replaced once and the inserted value is not searched again: a value that
  // names itself (or a ring of them) would otherwise never end.
  std::size_t from = 0;
  while (true) {
    const std::string_view rest = std::string_view(w).substr(from);
    const std::size_t open = FindBytes(rest, open_mark);
    if (open == kNotFound) break;
    const std::size_t close = FindBytes(rest, close_mark);
    if (close == kNotFound) {
      ReportScenarioError(engine, "文字変数の閉じカッコがありません"_sj, CurrentLine(engine));
      return std::nullopt;
    }
    if (open >= close) {
      ReportScenarioError(engine, "閉じカッコの位置が変です"_sj, CurrentLine(engine));
      return std::nullopt;
    }
    const std::string name(rest.substr(open + 4, close - open - 4));
    const std::int32_t slot = FindStringVariable(engine.state, name);
    if (slot < 0) {
      ReportScenarioError(engine, "該当する文字変数が宣言されていません"_sj, name);
      return std::nullopt;
    }
    const std::string_view value = engine.state.string_values[static_cast<std::size_t>(slot)].view();
    w = w.substr(0, from + open) + std::string(value) + w.substr(from + close + 4);
    from += open + value.size();
  }
  return w;
}

}  // namespace tumu
