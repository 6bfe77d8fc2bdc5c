#include "engine/dispatcher.h"

#include <algorithm>
#include <string>

#include "choice/back_screen.h"
#include "choice/branches.h"
#include "choice/choice_menu.h"
#include "choice/click.h"
#include "engine/core_commands.h"
#include "engine/engine.h"
#include "engine/scenario.h"
#include "engine/sub_scenario.h"
#include "picture/animation.h"
#include "picture/layer_commands.h"
#include "picture/partial_pictures.h"
#include "picture/scroll.h"
#include "picture/transitions.h"
#include "platform/sjis_literal.h"
#include "save/save_commands.h"
#include "sound/sound.h"
#include "text/text_window.h"
#include "text/variable_display.h"
#include "vars/expression.h"
#include "vars/variable_commands.h"

namespace tumu {

using namespace literals;

namespace {

using Match = CommandRow::Match;
using Flow = CommandRow::Flow;

// One handler for several keywords, each with its own partial-picture slot or layer.
template <void (*kHandler)(Engine&, int), int kWhich>
void HandleFor(Engine& engine) {
  kHandler(engine, kWhich);
}

// Commands after which the dispatcher itself marks the variable display for redrawing.
void AssignString(Engine& engine) {
  HandleAssignString(engine);
  engine.state.variable_display_dirty = 1;
}

void RandomThenRedraw(Engine& engine) {
  HandleRandom(engine);
  if (engine.state.variable_display_on == 1) RenderVariableDisplay(engine);
}

void ReshuffleThenRedraw(Engine& engine) {
  HandleReshuffle(engine);
  if (engine.state.variable_display_on == 1) RenderVariableDisplay(engine);
}

// A choice waits for the player like a click wait does, whether it opened or not: taking a
// choice, its time running out or the click on an error clears the wait.
void ChoiceMenuThenWait(Engine& engine) {
  OpenChoiceMenu(engine);
  engine.state.click_wait = 1;
}

void BackScreenChoiceThenWait(Engine& engine) {
  OpenBackScreenChoice(engine);
  engine.state.click_wait = 1;
}

void Assign(Engine& engine) {
  ExecuteAssignment(engine);
  if (engine.state.variable_display_on == 1) engine.state.variable_display_dirty = 1;
}

constexpr CommandRow kBlockCommands[] = {
    {1, {"＃クリック待ち"_sj}, Match::kPrefix, HandleClickWait},  // wait for a click
    {2, {"＃文字変数代入"_sj}, Match::kPrefix, AssignString},  // assign to a string variable
    {3, {"＃文字入力"_sj}, Match::kPrefix, HandleTextInput},   // text input
    {4, {"＃文字"_sj}, Match::kPrefix, HandleTextStyle},          // text style
};

constexpr CommandRow kCommands[] = {
    {1, {"//"_sj, "／／"_sj}, Match::kPrefix, HandleComment},  // comment line: nothing happens
    {2, {"＃分岐範囲"_sj}, Match::kPrefix, BranchByRange, Flow::kBranchByRange},  // branch by value range
    {3, {"＃分岐最大"_sj}, Match::kPrefix, BranchToLargest, Flow::kBranchToLargest},  // branch to the greatest value
    {4, {"＃分岐文字"_sj}, Match::kPrefix, BranchByText, Flow::kBranchByText},  // branch by string
    {5, {"＃ラベル"_sj}, Match::kPrefix, HandleLabelDefinition},  // label definition
    {6, {"＃ＧＯ"_sj, "＃GO"_sj}, Match::kPrefix, HandleGo, Flow::kJump},  // jump to a label
    {0, {"＝"_sj}, Match::kHoldsEqualSign, Assign},  // assignment
    {7, {"＃時間待ち"_sj}, Match::kPrefix, HandleTimeWait},  // wait for a time
    {8, {"＃絵のパス"_sj}, Match::kPrefix, HandlePicturePath},  // picture path
    {9, {"＃音のパス"_sj}, Match::kPrefix, HandleSoundPath},  // sound path
    {10, {"＃シナリオのパス"_sj}, Match::kPrefix, HandleScenarioPath},  // scenario path
    {11, {"＃絵オフ"_sj}, Match::kPrefix, HandleBackgroundOff},  // background picture off
    {12, {"＃人物オフ"_sj}, Match::kPrefix, HandlePersonOff},  // person off
    {13, {"＃人物アニメオフ"_sj}, Match::kPrefix, HandlePersonAnimationOff},  // person animation off
    {14, {"＃前景オフ"_sj}, Match::kPrefix, HandleForegroundOff},  // foreground off
    {15, {"＃前景アニメオフ"_sj}, Match::kPrefix, HandleForegroundAnimationOff},  // foreground animation off
    {16, {"＃部分絵１オフ"_sj, "＃部分絵1オフ"_sj}, Match::kPrefix, HandleFor<HidePartialPicture, 0>},  // partial picture 1 off
    {17, {"＃部分アニメ絵１オフ"_sj, "＃部分アニメ絵1オフ"_sj}, Match::kPrefix, HandleFor<StopPartialAnimation, 0>},  // animated partial picture 1 off
    {18, {"＃部分絵２オフ"_sj, "＃部分絵2オフ"_sj}, Match::kPrefix, HandleFor<HidePartialPicture, 1>},  // partial picture 2 off
    {19, {"＃部分アニメ絵２オフ"_sj, "＃部分アニメ絵2オフ"_sj}, Match::kPrefix, HandleFor<StopPartialAnimation, 1>},  // animated partial picture 2 off
    {20, {"＃部分人物１オフ"_sj, "＃部分人物1オフ"_sj}, Match::kPrefix, HandleFor<HidePartialPicture, 2>},  // partial person 1 off
    {21, {"＃部分アニメ人物１オフ"_sj, "＃部分アニメ人物1オフ"_sj}, Match::kPrefix, HandleFor<StopPartialAnimation, 2>},  // animated partial person 1 off
    {22, {"＃部分人物２オフ"_sj, "＃部分人物2オフ"_sj}, Match::kPrefix, HandleFor<HidePartialPicture, 3>},  // partial person 2 off
    {23, {"＃部分アニメ人物２オフ"_sj, "＃部分アニメ人物2オフ"_sj}, Match::kPrefix, HandleFor<StopPartialAnimation, 3>},  // animated partial person 2 off
    {24, {"＃最前景オフ"_sj}, Match::kPrefix, HandleFrontmostOff},  // frontmost picture off
    {25, {"＃文章オフ"_sj}, Match::kPrefix, HandleTextOff},  // text window off
    {26, {"＃変数表示オフ"_sj}, Match::kPrefix, HandleVariableDisplayOff},  // variable display off
    {27, {"＃セリフオフ"_sj}, Match::kPrefix, HandleDialogueOff},  // dialogue window off
    {28, {"＃セリフ半透明オフ"_sj}, Match::kPrefix, HandleDialogueTranslucentOff},  // dialogue window translucency off
    {29, {"＃セリフ半透明オン"_sj}, Match::kPrefix, HandleDialogueTranslucentOn},  // dialogue window translucency on
    {30, {"＃セリフ位置"_sj}, Match::kPrefix, HandleDialoguePosition},  // dialogue window position
    {31, {"＃セリフ枠"_sj}, Match::kPrefix, HandleDialogueFrame},  // dialogue window frame picture
    {32, {"＃セリフ"_sj}, Match::kPrefix, HandleDialogue},  // dialogue block
    {33, {"＃文章半透明オン"_sj}, Match::kPrefix, HandleTextTranslucentOn},  // text window translucency on
    {34, {"＃文章半透明オフ"_sj}, Match::kPrefix, HandleTextTranslucentOff},  // text window translucency off
    {35, {"＃文章"_sj}, Match::kPrefix, HandleText},  // text block
    {36, {"＃変数宣言文字"_sj}, Match::kPrefix, HandleDeclareStrings, Flow::kDeclaration},  // declare string variables
    {37, {"＃変数宣言"_sj}, Match::kPrefix, HandleDeclareNumeric, Flow::kDeclaration},  // declare numeric variables
    {38, {"＃ランダム"_sj}, Match::kPrefix, RandomThenRedraw},  // random number
    {39, {"＃変数表示"_sj}, Match::kPrefix, OpenVariableDisplay},  // variable display
    {40, {"＃切り直し"_sj}, Match::kPrefix, ReshuffleThenRedraw},  // reshuffle
    {41, {"＃選択裏画面"_sj}, Match::kPrefix, BackScreenChoiceThenWait, Flow::kBackScreenChoice},  // choice on the back screen
    {42, {"＃選択"_sj}, Match::kPrefix, ChoiceMenuThenWait, Flow::kChoice},  // choice menu
    {43, {"＃セーブ"_sj}, Match::kPrefix, HandleSave, Flow::kSave},  // save
    {44, {"＃ロード"_sj}, Match::kPrefix, HandleLoad, Flow::kLoad},  // load
    {45, {"＃音ループ"_sj}, Match::kPrefix, HandleSoundLoop},  // looping wave sound
    {46, {"＃音止め"_sj}, Match::kPrefix, HandleSoundStop},  // stop wave sound
    {47, {"＃音"_sj}, Match::kPrefix, HandleSound},  // wave sound
    {48, {"＃ＣＤ止め"_sj, "＃CD止め"_sj}, Match::kPrefix, HandleCdStop},  // stop CD audio
    {49, {"＃ＣＤ"_sj, "＃CD"_sj}, Match::kPrefix, HandleCd, Flow::kCdTrack},  // CD audio track
    {50, {"＃ＭＩＤＩ"_sj, "＃MIDI"_sj}, Match::kPrefix, HandleMidi},  // MIDI music
    {51, {"＃人物アニメ準備"_sj}, Match::kPrefix, HandlePersonAnimationPrepare},  // prepare person animation
    {52, {"＃人物アニメオン"_sj}, Match::kPrefix, HandlePersonAnimationOn},  // person animation on
    {53, {"＃前景アニメ準備"_sj}, Match::kPrefix, HandleForegroundAnimationPrepare},  // prepare foreground animation
    {54, {"＃前景アニメオン"_sj}, Match::kPrefix, HandleForegroundAnimationOn},  // foreground animation on
    {55, {"＃部分アニメ絵１"_sj, "＃部分アニメ絵1"_sj}, Match::kPrefix, HandleFor<ShowPartialAnimation, 0>},  // animated partial picture 1
    {56, {"＃部分アニメ絵２"_sj, "＃部分アニメ絵2"_sj}, Match::kPrefix, HandleFor<ShowPartialAnimation, 1>},  // animated partial picture 2
    {57, {"＃部分アニメ人物１"_sj, "＃部分アニメ人物1"_sj}, Match::kPrefix, HandleFor<ShowPartialAnimation, 2>},  // animated partial person 1
    {58, {"＃部分アニメ人物２"_sj, "＃部分アニメ人物2"_sj}, Match::kPrefix, HandleFor<ShowPartialAnimation, 3>},  // animated partial person 2
    {59, {"＃絵オーバーラップ"_sj}, Match::kPrefix, HandleBackgroundOverlap},  // background picture overlap
    {60, {"＃人物オーバーラップ"_sj}, Match::kPrefix, HandlePersonOverlap},  // person overlap
    {61, {"＃前景オーバーラップ"_sj}, Match::kPrefix, HandleForegroundOverlap},  // foreground overlap
    {62, {"＃全オーバーラップ"_sj}, Match::kPrefix, HandleOverlapAll},  // overlap of all layers
    {63, {"＃絵スクロール"_sj}, Match::kPrefix, HandleFor<RunScrollCommand, kBackgroundLayer>},  // background scroll
    {64, {"＃人物スクロール"_sj}, Match::kPrefix, HandleFor<RunScrollCommand, kPersonLayer>},  // person scroll
    {65, {"＃前景スクロール"_sj}, Match::kPrefix, HandleFor<RunScrollCommand, kForegroundLayer>},  // foreground scroll
    {66, {"＃絵"_sj}, Match::kPrefix, HandleBackground},  // background picture
    {67, {"＃人物"_sj}, Match::kPrefix, HandlePerson},  // person picture
    {68, {"＃前景"_sj}, Match::kPrefix, HandleForeground},  // foreground picture
    {69, {"＃最前景"_sj}, Match::kPrefix, HandleFrontmost},  // frontmost picture
    {70, {"＃部分絵１"_sj, "＃部分絵1"_sj}, Match::kPrefix, HandleFor<ShowPartialPicture, 0>},  // partial picture 1
    {71, {"＃部分絵２"_sj, "＃部分絵2"_sj}, Match::kPrefix, HandleFor<ShowPartialPicture, 1>},  // partial picture 2
    {72, {"＃部分人物１"_sj, "＃部分人物1"_sj}, Match::kPrefix, HandleFor<ShowPartialPicture, 2>},  // partial person 1
    {73, {"＃部分人物２"_sj, "＃部分人物2"_sj}, Match::kPrefix, HandleFor<ShowPartialPicture, 3>},  // partial person 2
    {74, {"＃フェードアウト"_sj}, Match::kPrefix, HandleFadeOut},  // fade out
    {75, {"＃フェードイン"_sj}, Match::kPrefix, HandleFadeIn},  // fade in
    {76, {"＃別シナリオ"_sj}, Match::kPrefix, HandleCallScenario, Flow::kCall},  // call another scenario
    {77, {"＃右クリックシナリオ"_sj}, Match::kPrefix, HandleRightClickScenario},  // name the right-click scenario
    {78, {"＃"_sj}, Match::kLabelLine, HandleLabelReached, Flow::kLabelReached},  // label line reached in sequence
    {79, {"＃＃＃＃"_sj}, Match::kPrefix, HandleBlockEnd},  // block end reached in sequence: nothing happens
    {80, {"＃半透明オン"_sj}, Match::kPrefix, HandleTranslucencyOn},  // translucency on
    {81, {"＃半透明オフ"_sj}, Match::kPrefix, HandleTranslucencyOff},  // translucency off
    {82, {"＃終了"_sj}, Match::kPrefix, HandleEnd, Flow::kEnd},  // end the program
    {83, {"＃マスクＲＧＢ"_sj}, Match::kPrefix, HandleMaskColor},  // mask colour
    {84, {"＃アニメスピード"_sj}, Match::kPrefix, HandleAnimationSpeed},  // animation speed
    {85, {"＃マシンチェック"_sj}, Match::kPrefix, HandleMachineCheck},  // machine check
    {86, {"＃クリックマークオフ"_sj}, Match::kPrefix, HandleClickMarkOff},  // click mark off
    {87, {"＃クリックマーク"_sj}, Match::kPrefix, LoadClickMark},  // click mark
    {88, {"＃ワイプパターン"_sj}, Match::kPrefix, HandleWipePattern},  // wipe pattern
    {89, {"＃ワイプ"_sj}, Match::kPrefix, HandleWipe},  // wipe
    {90, {"＃クリック位置"_sj}, Match::kPrefix, HandleClickPosition},  // click position
    {91, {"＃スキップオフ"_sj}, Match::kPrefix, HandleSkipOff},  // skip off
    {92, {"＃スキップ"_sj}, Match::kPrefix, HandleSkipOn},  // skip on
    {93, {"＃鳴砂テスト"_sj}, Match::kPrefix, HandleDumpScenario, Flow::kWritesDump},  // dump the scenario to a file
};

bool Matches(const CommandRow& row, std::string_view line) {
  switch (row.match) {
    case Match::kPrefix:
      for (std::string_view form : row.forms) {
        if (!form.empty() && StartsWith(line, form)) return true;
      }
      return false;
    case Match::kHoldsEqualSign:
      return FindText(line, row.forms[0]) != kNotFound;
    case Match::kLabelLine:
      return StartsWith(line, row.forms[0]) && line.size() > 2 && line[2] >= '0' && line[2] <= '9';
  }
  return false;
}

const CommandRow* FirstMatch(std::span<const CommandRow> table, std::string_view line) {
  for (const CommandRow& row : table) {
    if (Matches(row, line)) return &row;
  }
  return nullptr;
}

void Run(Engine& engine, const CommandRow& row, std::string_view line) {
  if (row.handler != nullptr) {
    row.handler(engine);
  } else {
    engine.log.Info("not supported yet, skipped: " + SjisToUtf8(line));
  }
}

// An empty line closes whatever is open; a line inside an open block belongs to it.
bool TakenByBlock(const EngineState& s, std::string_view line) {
  return line.empty() || s.dialogue_active || s.text_active || s.declaring_numeric ||
         s.declaring_strings;
}

bool DispatchBlockLine(Engine& engine, std::string_view line) {
  EngineState& s = engine.state;
  if (line.empty()) {
    if (s.dialogue_active) EndDialogueBlock(engine);
    if (s.text_active) EndTextBlock(engine);
    s.declaring_numeric = 0;
    s.declaring_strings = 0;
    return true;
  }
  if (s.dialogue_active) {
    ShowDialogueLine(engine);
  } else if (s.text_active) {
    ShowTextLine(engine);
  } else if (s.declaring_numeric) {
    DeclareNumericVariable(engine, line);
  } else if (s.declaring_strings) {
    DeclareStringVariable(engine, line);
  } else {
    return false;
  }
  return true;
}

void TraceLine(Engine& engine, std::string_view line) {
  if (!engine.log.tracing()) return;
  const EngineState& s = engine.state;
  const std::size_t depth = static_cast<std::size_t>(std::clamp(s.call_depth, 0, kCallStackSize - 1));
  engine.log.Trace("run\t" + std::to_string(s.call_depth) + "\t" +
                   SjisToUtf8(s.scenario_file_stack[depth].view()) + "\t" +
                   std::to_string(s.current_line + 1) + "\t" + SjisToUtf8(line));
}

}  // namespace

std::span<const CommandRow> CommandTable() { return kCommands; }
std::span<const CommandRow> BlockCommandTable() { return kBlockCommands; }
const CommandRow* MatchKeyword(std::string_view line) { return FirstMatch(kCommands, line); }

const CommandRow* CommandOfLine(const EngineState& state, std::string_view line) {
  if (const CommandRow* row = FirstMatch(kBlockCommands, line)) return row;
  return TakenByBlock(state, line) ? nullptr : MatchKeyword(line);
}

void DispatchLine(Engine& engine) {
  const std::string_view line = CurrentLine(engine);
  TraceLine(engine, line);
  if (const CommandRow* row = FirstMatch(kBlockCommands, line)) {
    Run(engine, *row, line);
    return;
  }
  if (DispatchBlockLine(engine, line)) return;
  if (const CommandRow* row = MatchKeyword(line)) {
    Run(engine, *row, line);
    return;
  }
  ReportScenarioError(engine, "シナリオ上のミスです。"_sj, line);
}

}  // namespace tumu
