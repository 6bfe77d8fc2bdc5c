// The author's lint. It does not guess what a command means: it walks each scenario line by line
// as the dispatcher would meet them, runs the handlers of the commands that only act on the
// game's state on an engine of its own (headless, no window, no sound device), and collects what
// they report. Commands that would leave the line (jumps, choices, branches, calls), write a file
// (saves, the dump) or end the program are not run: their arguments are checked here with the
// engine's own searches and file lookup.
//
// Variables are declared in a first walk over every scenario, so that a variable declared in a
// scenario the game reaches later is not taken for an undeclared one; the second walk checks
// everything else. Values are unknown to a walk that does not play, so reports that depend on the
// values alone (a division by zero, bounds out of order) are left out.
#include "engine/lint.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <tuple>

#include "engine/dispatcher.h"
#include "engine/engine.h"
#include "engine/format.h"
#include "engine/game.h"
#include "engine/scenario.h"
#include "engine/scenario_store.h"
#include "engine/sub_scenario.h"
#include "engine/window_proc.h"
#include "platform/headless/headless_platform.h"
#include "platform/sjis.h"
#include "platform/sjis_literal.h"

namespace tumu {

using namespace literals;

namespace {

using Flow = CommandRow::Flow;

constexpr std::string_view kStartFile = "start.st1";
// A walk always moves on; this many steps per scenario is far beyond its 4500 lines.
constexpr int kMostSteps = 4 * kScenarioSlots;

// Reports that depend on the values of variables, which a walk that does not play cannot know,
// or on the player's machine (its ripped CD tracks). The choice and branch labels that a value
// leads to are checked for every value instead.
bool DependsOnValues(std::string_view message) {
  static constexpr std::string_view kMessages[] = {
      "ERR:０で割っています"_sj,
      "ERR:０では剰余できません"_sj,
      "ERR:絶対値が１千万を超しました"_sj,
      "乱数の最大値は１以上にしてください"_sj,
      "範囲の大小関係が間違っています"_sj,
      "時間制限の時間がマイナスです"_sj,
      "該当ラベルがありません"_sj,
      "ＣＤが入っていないか、"_sj,
      "音楽トラックがないか、無効なトラックです"_sj,
  };
  if (ContainsText(message, "無限化"_sj)) return true;
  return std::find(std::begin(kMessages), std::end(kMessages), message) != std::end(kMessages);
}

// The click position and a scroll that stops on a click read their argument lines only when the
// player clicks.
bool WaitsForClickThatReadsLines(const EngineState& s) {
  return s.click_position_active == 1 || s.picture_scroll_click == 1 ||
         s.person_scroll_click == 1 || s.foreground_scroll_click == 1;
}

// The picture, sound and scenario folders in force where a scenario is called.
struct Paths {
  std::string picture;
  std::string sound;
  std::string scenario;
  std::string midi;
};

struct Scenario {
  std::string name;
  Paths paths;
};

}  // namespace

class Linter {
 public:
  explicit Linter(std::unique_ptr<TextRenderer> text)
      : platform_(HeadlessOptions{}),
        engine_(platform_.platform(), std::move(text), LintOptions()) {
    engine_.on_report = [this](std::string_view message, std::string_view second_line) {
      OnReport(message, second_line);
    };
    engine_.files.on_found = [this](std::string_view name, const std::string& path) {
      OnFound(name, path);
    };
  }

  std::vector<LintFinding> Run(const std::string& game_dir);

 private:
  enum class Pass { kDeclarations, kEverythingElse };

  static Options LintOptions() {
    Options options;
    options.window_mode = 1;  // never ask
    return options;
  }

  void Reset(const std::string& game_dir);

  void PrepareScreen();
  void WalkAll(Pass pass);
  void WalkScenario(std::size_t index);
  // Loads the scenario into the store; `quiet` for a scenario loaded before in this walk.
  bool Load(std::size_t index, bool quiet);
  void CheckBlockBalanceOnce();
  // Walks one line; gives the line to walk next.
  int WalkLine(int line);
  int WalkSpecial(const CommandRow& row, int line);
  void CheckLabels(int command_line, int first, int last);
  void CheckCall(int name_line);
  int CheckSaveOrLoad(Flow flow, int line);
  // The scenario's place in the list, which it joins when it is new.
  std::size_t Enqueue(const std::string& name);

  void OnReport(std::string_view message, std::string_view second_line);
  void OnFound(std::string_view name, const std::string& path);
  void Add(int line, bool error, std::string message);
  std::string_view Line(int index) const { return ScenarioLine(engine_, index); }
  int ListLength(int first) const;

  HeadlessPlatform platform_;
  Engine engine_;
  Screen fresh_screen_;  // the surfaces as made, before the game's settings paint them
  Pass pass_ = Pass::kDeclarations;
  bool declaring_ = false;  // the line walked now declares variables
  bool muted_ = false;
  std::size_t scenario_index_ = 0;
  std::set<std::size_t> walked_;  // in this walk
  int call_depth_ = 0;
  std::vector<Scenario> scenarios_;
  // Each finding with the place of its scenario in the list, which is the order they are told in.
  std::vector<std::pair<std::size_t, LintFinding>> findings_;
  std::set<std::tuple<std::size_t, int, std::string>> seen_;
};

// Everything the last game left: the engine, its virtual clock and what the walk collected.
void Linter::Reset(const std::string& game_dir) {
  ResetForAnotherGame(engine_, game_dir, engine_.options.save_dir);
  platform_.clock = HeadlessClock();
  platform_.message_boxes.shown.clear();
  for (SoundChannel channel :
       {SoundChannel::kWave, SoundChannel::kLoop, SoundChannel::kMidi, SoundChannel::kCd}) {
    platform_.audio.Close(channel);
  }
  pass_ = Pass::kDeclarations;
  declaring_ = false;
  muted_ = false;
  scenario_index_ = 0;
  walked_.clear();
  call_depth_ = 0;
  scenarios_.clear();
  findings_.clear();
  seen_.clear();
}

std::vector<LintFinding> Linter::Run(const std::string& game_dir) {
  Reset(game_dir);
  scenarios_.push_back({std::string(kStartFile), {}});
  if (engine_.files.FileExists(kStartFile) != kFileRegular) {
    Add(1, true, SjisToUtf8("startシナリオがありません"_sj));
  } else if (OpenGame(engine_)) {
    PrepareScreen();
    WalkAll(Pass::kDeclarations);
    engine_.state.save_load_used = 0;
    WalkAll(Pass::kEverythingElse);
  }
  std::stable_sort(findings_.begin(), findings_.end(), [](const auto& a, const auto& b) {
    return std::make_pair(a.first, a.second.line) < std::make_pair(b.first, b.second.line);
  });
  std::vector<LintFinding> told;
  for (auto& entry : findings_) told.push_back(std::move(entry.second));
  return told;
}

// The game's surfaces, without the screen: the reports are collected, not painted, and painting a
// red screen for every line of a broken scenario would take most of the time.
void Linter::PrepareScreen() {
  if (fresh_screen_.work_surface.empty()) {
    CreateWorkSurfaces(engine_.screen);
    engine_.screen.back_surface = Surface565();
    fresh_screen_ = engine_.screen;
  } else {
    RestoreScreen(engine_.screen, fresh_screen_);
  }
  PaintStartSurfaces(engine_);
}

// Scenarios are walked in the order the game runs them: a called scenario where it is called, and
// the right-click scenarios, which the player may call at any click, after the rest.
void Linter::WalkAll(Pass pass) {
  pass_ = pass;
  walked_.clear();
  EngineState& s = engine_.state;
  for (std::size_t i = 0; i < scenarios_.size(); ++i) {
    if (walked_.count(i) != 0) continue;
    const Paths& paths = scenarios_[i].paths;
    s.picture_dir.assign(paths.picture);
    s.sound_dir.assign(paths.sound);
    s.scenario_dir.assign(paths.scenario);
    s.midi_dir.assign(paths.midi);
    WalkScenario(i);
  }
}

bool Linter::Load(std::size_t index, bool quiet) {
  EngineState& s = engine_.state;
  scenario_index_ = index;
  const std::string name = scenarios_[index].name;
  s.call_depth = 0;
  s.scenario_file_stack[0].assign(name);
  s.current_line = 0;
  // The loader's limits stop the program with three reports: the first one says what is wrong.
  const std::size_t before = findings_.size();
  muted_ = quiet || pass_ != Pass::kDeclarations;
  declaring_ = true;
  const int loaded = LoadScenario(engine_, name);
  declaring_ = false;
  muted_ = false;
  if (loaded) return true;
  if (engine_.quit) {
    findings_.resize(std::min(findings_.size(), before + 1));
    if (findings_.size() > before) {
      // The line the limit stopped at: the 4500th line end, or the line of the 95th byte.
      findings_.back().second.line = s.line_count >= kMaxLineEnds ? s.line_count : s.line_count + 1;
    }
    engine_.quit = false;
    engine_.exit_code = 0;
    PrepareScreen();
  }
  return false;
}

void Linter::WalkScenario(std::size_t index) {
  walked_.insert(index);
  if (!Load(index, /*quiet=*/false)) return;
  EngineState& s = engine_.state;
  s.dialogue_active = 0;
  s.text_active = 0;
  s.declaring_numeric = 0;
  s.declaring_strings = 0;
  if (pass_ == Pass::kDeclarations) CheckBlockBalanceOnce();
  int line = 0;
  for (int steps = 0; line < s.line_count && steps < kMostSteps; ++steps) line = WalkLine(line);
}

// The engine's balance check tells what is wrong; the line it is told at is the first block end
// too many, or the first block begun and never ended.
void Linter::CheckBlockBalanceOnce() {
  EngineState& s = engine_.state;
  const int last = std::min(s.line_count, kScenarioSlots - 1);
  std::vector<int> open;  // the lines of the blocks begun and not yet ended
  std::optional<int> blamed;
  for (int i = 0; i <= last && !blamed; ++i) {
    const int delta = BlockDelta(Line(i));
    if (delta > 0) {
      open.insert(open.end(), static_cast<std::size_t>(delta), i);
    } else if (delta < 0) {
      if (open.empty()) blamed = i;
      else open.pop_back();
    }
  }
  if (!blamed && !open.empty()) blamed = open.front();
  if (!blamed) return;
  s.current_line = *blamed;
  declaring_ = true;
  CheckBlockBalance(engine_);
  declaring_ = false;
  s.block_check_reported = 0;
}

int Linter::WalkLine(int line) {
  EngineState& s = engine_.state;
  s.current_line = line;
  const std::string_view text = Line(line);
  const CommandRow* row = CommandOfLine(s, text);
  const bool in_declaration = row == nullptr && !text.empty() &&
                              (s.declaring_numeric || s.declaring_strings) && !s.dialogue_active &&
                              !s.text_active;
  if (row != nullptr && row->flow != Flow::kInPlace) return WalkSpecial(*row, line);
  declaring_ = in_declaration;
  DispatchLine(engine_);
  declaring_ = false;
  if (s.right_click_set) {
    s.right_click_set = 0;
    Enqueue(std::string(s.right_click_file.view()));
  }
  if (WaitsForClickThatReadsLines(s)) {
    // The frame driver steps past the command; the click then reads the lines that follow and
    // leaves the line to run next.
    s.current_line = line + 1;
    InputEvent click;
    click.type = InputEvent::Type::kLeftDown;
    HandleInputEvent(engine_, click);
    return std::max(s.current_line, line + 1);
  }
  return std::max(s.current_line, line) + 1;
}

// The number of lines from `first` up to the next empty line.
int Linter::ListLength(int first) const {
  int count = 0;
  while (first + count < engine_.state.line_count && !Line(first + count).empty()) ++count;
  return count;
}

int Linter::WalkSpecial(const CommandRow& row, int line) {
  EngineState& s = engine_.state;
  const std::string_view command = Line(line);
  // A choice with a time limit goes to "＃0" when the time runs out.
  const int first_choice_label = ContainsText(command, "＃時間（"_sj) ? 0 : 1;
  auto run = [&] {
    s.current_line = line;
    row.handler(engine_);
  };
  switch (row.flow) {
    case Flow::kInPlace:
      break;
    case Flow::kJump:
      run();
      return line + 2;
    case Flow::kLabelReached:
    case Flow::kEnd:
    case Flow::kWritesDump:
      return line + 1;
    case Flow::kChoice: {
      const int count = ListLength(line + 1);
      run();
      if (count > 0) CheckLabels(line, first_choice_label, count);
      return line + 1 + count;
    }
    case Flow::kBackScreenChoice: {
      const int count = Line(line + 1).empty() ? 0 : ListLength(line + 2);
      run();
      if (count > 0) CheckLabels(line, first_choice_label, count);
      return line + 2 + count;
    }
    case Flow::kBranchByRange: {
      const int bounds = Line(line + 1).empty() ? 0 : ListLength(line + 2);
      run();
      if (bounds > 0) CheckLabels(line, 0, bounds);
      return line + 2 + bounds;
    }
    case Flow::kBranchToLargest: {
      const int values = ListLength(line + 1);
      run();
      CheckLabels(line, 1, std::max(values, 1));
      return line + 1 + values;
    }
    case Flow::kBranchByText:
      run();
      if (!Line(line + 1).empty()) CheckLabels(line, 0, 1);
      return line + 3;
    case Flow::kCall:
      CheckCall(line + 1);
      return line + 2;
    case Flow::kSave:
    case Flow::kLoad:
      return CheckSaveOrLoad(row.flow, line);
    case Flow::kCdTrack: {
      // Without a disc the confirming form jumps; the walk goes on after its label line instead,
      // and the label is looked for whether the player has the disc or not.
      run();
      if (!ContainsText(command, "確認"_sj) || Line(line + 1).empty()) {
        return std::max(s.current_line, line) + 1;
      }
      const std::string_view label = Line(line + 2);
      if (!label.empty() && FindLabel(engine_, label) < 0) {
        Add(line + 3, true, SjisToUtf8("ＣＤ確認時のラベルが見つかりません"_sj) + " " + SjisToUtf8(label));
      }
      return line + 3;
    }
    case Flow::kDeclaration: {
      declaring_ = true;
      const int after_save_or_load = s.save_load_used;
      run();
      if (after_save_or_load) {
        // Told once; the names that follow are still declarations, not commands.
        muted_ = true;
        s.save_load_used = 0;
        run();
        s.save_load_used = after_save_or_load;
        muted_ = false;
      }
      declaring_ = false;
      return line + 1;
    }
  }
  return line + 1;
}

// Every label a choice or branch block can lead to, looked for as the engine looks for it.
void Linter::CheckLabels(int command_line, int first, int last) {
  EngineState& s = engine_.state;
  for (int k = first; k <= last; ++k) {
    s.current_line = command_line;
    const std::string label = Sprintf("＃%d"_sj.c_str(), k);
    if (FindInBlock(engine_, label, 0) < 0) {
      Add(command_line + 1, true, SjisToUtf8("該当ラベルがありません"_sj) + " " + SjisToUtf8(label));
    }
  }
}

void Linter::CheckCall(int name_line) {
  EngineState& s = engine_.state;
  s.current_line = name_line;
  const std::string_view name = Line(name_line);
  const std::string file = ScenarioFileName(engine_, name);
  if (engine_.files.FileExists(file) != kFileRegular) {
    Add(name_line + 1, true, SjisToUtf8("別シナリオのファイルがありません"_sj) + " " + SjisToUtf8(name));
    return;
  }
  const std::size_t callee = Enqueue(file);
  if (walked_.count(callee) != 0 || call_depth_ >= kMaxCallDepth) return;
  const std::size_t caller = scenario_index_;
  ++call_depth_;
  WalkScenario(callee);
  --call_depth_;
  // Back in the caller, as after the called scenario has run off its end.
  Load(caller, /*quiet=*/true);
  s.dialogue_active = 0;
  s.text_active = 0;
  s.declaring_numeric = 0;
  s.declaring_strings = 0;
}

// Save and load touch the player's saves, so they are not run: the name is checked by the save
// code's own test, and the label of a confirming form by the engine's label search.
int Linter::CheckSaveOrLoad(Flow flow, int line) {
  EngineState& s = engine_.state;
  s.save_load_used = 1;
  const bool confirming = ContainsText(Line(line), "確認"_sj);
  const std::string_view name = Line(line + 1);
  if (!name.empty() && !StaysInSaveFolder(name)) {
    const std::string message = SjisToUtf8(flow == Flow::kSave ? "ファイルのオープンに失敗しました"_sj.view()
                                                               : "ファイルが開けません"_sj.view());
    Add(line + 2, true, message + " " + SjisToUtf8(name));
  }
  if (!confirming) return line + 2;
  const std::string_view label = Line(line + 2);
  if (!name.empty() && !label.empty() && FindLabel(engine_, label) < 0) {
    const std::string message = SjisToUtf8(flow == Flow::kSave ? "上書き確認時のラベルが見つかりません"_sj.view()
                                                               : "＃ロード確認時のラベルが見つかりません"_sj.view());
    Add(line + 3, true, message + " " + SjisToUtf8(label));
  }
  return line + 3;
}

std::size_t Linter::Enqueue(const std::string& name) {
  for (std::size_t i = 0; i < scenarios_.size(); ++i) {
    if (scenarios_[i].name == name) return i;
  }
  const EngineState& s = engine_.state;
  scenarios_.push_back({name,
                        {std::string(s.picture_dir.view()), std::string(s.sound_dir.view()),
                         std::string(s.scenario_dir.view()), std::string(s.midi_dir.view())}});
  return scenarios_.size() - 1;
}

void Linter::OnReport(std::string_view message, std::string_view second_line) {
  if (muted_ || (pass_ == Pass::kDeclarations) != declaring_ || DependsOnValues(message)) return;
  std::string text = SjisToUtf8(message);
  if (!second_line.empty()) text += " " + SjisToUtf8(second_line);
  Add(engine_.state.current_line + 1, true, std::move(text));
}

// A file found only with another case or with "\" read as a folder separator would not be found
// where names are compared exactly.
void Linter::OnFound(std::string_view name, const std::string& path) {
  if (pass_ != Pass::kEverythingElse || muted_) return;
  std::string relative = path;
  const std::string& dir = engine_.files.game_dir();
  if (relative.compare(0, dir.size(), dir) == 0) relative.erase(0, dir.size());
  while (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
  const std::string as_written = SjisToUtf8(name);
  if (relative == as_written || relative == name) return;
  Add(engine_.state.current_line + 1, false,
      "「" + as_written + "」は「" + relative + "」としてしか見つかりません（大文字・小文字や区切りが違います）");
}

void Linter::Add(int line, bool error, std::string message) {
  if (!seen_.emplace(scenario_index_, line, message).second) return;
  findings_.push_back(
      {scenario_index_, {SjisToUtf8(scenarios_[scenario_index_].name), line, error, std::move(message)}});
}

namespace {

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += Sprintf("\\u%04x", static_cast<unsigned char>(c));
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

}  // namespace

GameLinter::GameLinter(std::unique_ptr<TextRenderer> text)
    : linter_(std::make_unique<Linter>(std::move(text))) {}

GameLinter::~GameLinter() = default;

std::vector<LintFinding> GameLinter::Lint(const std::string& game_dir) {
  return linter_->Run(game_dir);
}

std::vector<LintFinding> LintGame(const std::string& game_dir, std::unique_ptr<TextRenderer> text) {
  return GameLinter(std::move(text)).Lint(game_dir);
}

std::string FindingsAsText(const std::vector<LintFinding>& findings) {
  std::string out;
  for (const LintFinding& f : findings) {
    out += f.file + ":" + std::to_string(f.line) + ": " + (f.error ? "error" : "warning") + ": " +
           f.message + "\n";
  }
  return out;
}

std::string FindingsAsJson(const std::vector<LintFinding>& findings) {
  std::string out = "{\"findings\": [";
  int errors = 0;
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const LintFinding& f = findings[i];
    errors += f.error ? 1 : 0;
    out += i == 0 ? "\n  {\"file\": " : ",\n  {\"file\": ";
    AppendJsonString(out, f.file);
    out += ", \"line\": " + std::to_string(f.line) + ", \"severity\": \"" +
           (f.error ? "error" : "warning") + "\", \"message\": ";
    AppendJsonString(out, f.message);
    out += "}";
  }
  const int warnings = static_cast<int>(findings.size()) - errors;
  out += findings.empty() ? "]" : "\n]";
  out += ", \"errors\": " + std::to_string(errors) + ", \"warnings\": " + std::to_string(warnings) + "}\n";
  return out;
}

int RunLintCommand(const std::vector<std::string>& args) {
  bool json = false;
  std::string game_dir;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (game_dir.empty() && !arg.starts_with("--")) {
      game_dir = arg;
    } else {
      std::fprintf(stderr, "tumu: lint takes: [--json] GAME_DIR\n");
      return 2;
    }
  }
  if (game_dir.empty()) {
    std::fprintf(stderr, "tumu: lint takes: [--json] GAME_DIR\n");
    return 2;
  }
  std::error_code error_code;
  if (!std::filesystem::is_directory(game_dir, error_code)) {
    std::fprintf(stderr, "tumu: the game folder %s is not a folder\n", game_dir.c_str());
    return 1;
  }
  std::string error;
  std::unique_ptr<TextRenderer> text = TextRenderer::Open("", &error);
  if (!text) {
    std::fprintf(stderr, "tumu: %s\n", error.c_str());
    return 1;
  }
  const std::vector<LintFinding> findings = LintGame(game_dir, std::move(text));
  const std::string out = json ? FindingsAsJson(findings) : FindingsAsText(findings);
  std::fputs(out.c_str(), stdout);
  const bool errors = std::any_of(findings.begin(), findings.end(),
                                  [](const LintFinding& f) { return f.error; });
  return errors ? 1 : 0;
}

}  // namespace tumu
