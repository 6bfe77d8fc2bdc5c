// Every command that takes a number expands and evaluates an expression, once per executed line;
// these measure the cost of one such line.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/state.h"
#include "platform/sjis_literal.h"
#include "vars/evaluator.h"
#include "vars/substitution.h"
#include "vars/variables.h"

namespace {

using namespace tumu;
using namespace tumu::literals;

void BM_EvaluateFlat(benchmark::State& bench) {
  for (auto _ : bench) benchmark::DoNotOptimize(EvaluateFlat("12+7*3-100/4%6"));
}
BENCHMARK(BM_EvaluateFlat);

void BM_EvaluateNestedGroups(benchmark::State& bench) {
  for (auto _ : bench) benchmark::DoNotOptimize(EvaluateExpression("((1+2)*(3-4))/(5+(6*7))"));
}
BENCHMARK(BM_EvaluateNestedGroups);

void BM_EvaluateLongest(benchmark::State& bench) {
  std::string expression = "1";
  for (int i = 0; i < 100; ++i) expression += "+1";
  expression.resize(199);  // 200 tokens, the most a flat expression may hold
  for (auto _ : bench) benchmark::DoNotOptimize(EvaluateExpression(expression));
}
BENCHMARK(BM_EvaluateLongest);

// A game near its limit of 10000 numeric variables: lookups go through the hash chains.
void BM_SubstituteAndEvaluate(benchmark::State& bench) {
  auto state = std::make_unique<EngineState>();
  ResetVariables(*state);
  ResetVariableIndex(*state);
  for (int i = 0; i < 9990; ++i) {
    std::string name = "v";
    name += std::to_string(i);
    AddNumericVariable(*state, name);
  }
  state->numeric_values[AddNumericVariable(*state, "得点"_sj)] = 42;
  state->numeric_values[AddNumericVariable(*state, "点:2:"_sj)] = 9;
  for (auto _ : bench) {
    const std::string expanded = SubstituteVariableValues(*state, "得点＊２＋点:2:－v5000"_sj);
    benchmark::DoNotOptimize(EvaluateExpression(expanded));
  }
}
BENCHMARK(BM_SubstituteAndEvaluate);

}  // namespace
