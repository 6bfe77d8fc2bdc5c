#include "text/text_window.h"

#include <algorithm>
#include <string>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/format.h"
#include "picture/picture_loader.h"
#include "platform/sjis_literal.h"
#include "vars/expression.h"

namespace tumu {

using namespace literals;

namespace {

struct ColourWord {
  std::string_view word;
  int red;
  int green;
  int blue;
};

// Tested in this order: the first word found anywhere in the line wins, wherever it stands.
constexpr ColourWord kColourWords[] = {
    {"オレンジ"_sj, 255, 128, 0}, {"赤紫"_sj, 255, 0, 128},   {"黄緑"_sj, 128, 255, 0},
    {"青緑"_sj, 0, 255, 128},     {"青紫"_sj, 128, 0, 255},   {"マリン"_sj, 0, 128, 255},
    {"赤"_sj, 255, 0, 0},         {"緑"_sj, 0, 255, 0},       {"青"_sj, 0, 0, 255},
    {"黄"_sj, 255, 255, 0},       {"シアン"_sj, 0, 255, 255}, {"マゼン"_sj, 255, 0, 255},
    {"紫"_sj, 128, 0, 128},       {"茶"_sj, 128, 0, 0},       {"ピンク"_sj, 255, 128, 128},
    {"レッド"_sj, 255, 0, 0},     {"イエロ"_sj, 255, 255, 0}, {"グリーン"_sj, 0, 255, 0},
    {"ブル"_sj, 0, 0, 255},       {"黒"_sj, 0, 0, 0},         {"グレ"_sj, 128, 128, 128},
    {"灰"_sj, 128, 128, 128},
};

struct BrightnessWord {
  std::string_view word;
  int divisor;
  int add;
};

constexpr BrightnessWord kBrightnessWords[] = {
    {"やや暗"_sj, 4, 0},   {"やや明"_sj, 4, 64}, {"かなり暗"_sj, 4, 0}, {"かなり明"_sj, 4, 192},
    {"暗"_sj, 2, 0},       {"明"_sj, 2, 128},    {"ライト"_sj, 2, 128},
};

struct SizeWord {
  std::string_view word;
  int height;
};

constexpr SizeWord kSizeWords[] = {
    {"極大"_sj, 80}, {"特大"_sj, 80}, {"極小"_sj, 8}, {"やや大"_sj, 23},
    {"やや小"_sj, 14}, {"大"_sj, 38},  {"小"_sj, 11},
};
constexpr int kDefaultTextHeight = 18;
constexpr int kTextLeft = 10;
constexpr int kTextTop = 10;

bool BeginsStyleAddRow(std::string_view line) {
  return StartsWith(line, "＃文字"_sj) && FindText(line, "追加"_sj) != kNotFound;
}

Surface565& TargetSurface(Engine& engine) {
  return engine.state.dialogue_active ? engine.screen.dialogue_text_surface
                                      : engine.screen.frontmost_surface;
}

// One piece of a row in the current style: opaque, on the window's transparent colour.
int DrawPiece(Engine& engine, int x, int y, std::string_view text) {
  EngineState& s = engine.state;
  const PixelFormat& format = engine.screen.format;
  const std::uint16_t background = s.dialogue_active
                                       ? ColorToPixel(format, 255, 255, 255)
                                       : ColorToPixel(format, s.mask_r, s.mask_g, s.mask_b);
  const std::uint16_t foreground = ColorToPixel(format, s.text_red, s.text_green, s.text_blue);
  engine.text_history.Add(/*starts_row=*/x == kTextLeft, text);
  return engine.text->DrawText(TargetSurface(engine), x, y, text, s.font_size, foreground,
                               background);
}

}  // namespace

void DrawDefaultDialogueFrame(Engine& engine) {
  const EngineState& s = engine.state;
  Screen& screen = engine.screen;
  ClearSurfaceWhite(screen, screen.dialogue_frame_surface);
  FillSurfaceRect(screen, screen.dialogue_frame_surface, s.dialogue_x, s.dialogue_y,
                  s.dialogue_width, s.dialogue_height, 100, 100, 255);
  FillSurfaceRect(screen, screen.dialogue_frame_surface, s.dialogue_x + 2, s.dialogue_y + 2,
                  s.dialogue_width - 4, s.dialogue_height - 4, 255, 255, 255);
}

int FontSizeFromLine(std::string_view line) {
  for (const SizeWord& size : kSizeWords) {
    if (FindText(line, size.word) != kNotFound) return size.height;
  }
  return kDefaultTextHeight;
}

void ParseTextStyle(Engine& engine) {
  EngineState& s = engine.state;
  const std::string_view line = CurrentLine(engine);
  int rgb[3] = {247, 247, 247};
  for (const ColourWord& colour : kColourWords) {
    if (FindBytes(line, colour.word) != kNotFound) {
      rgb[0] = colour.red;
      rgb[1] = colour.green;
      rgb[2] = colour.blue;
      break;
    }
  }
  for (const BrightnessWord& brightness : kBrightnessWords) {
    if (FindBytes(line, brightness.word) != kNotFound) {
      for (int& c : rgb) c = std::clamp(c / brightness.divisor + brightness.add, 0, 255);
      break;
    }
  }
  s.text_red = rgb[0];
  s.text_green = rgb[1];
  s.text_blue = rgb[2];
  s.font_size = FontSizeFromLine(line);
}

void HandleDialogue(Engine& engine) {
  EngineState& s = engine.state;
  ParseTextStyle(engine);
  s.dialogue_active = 1;
  s.page_line_count = 0;
  s.dialogue_no_wait = FindText(CurrentLine(engine), "待ちオフ"_sj) != kNotFound ? 1 : 0;
}

void HandleText(Engine& engine) {
  EngineState& s = engine.state;
  ParseTextStyle(engine);
  s.text_active = 1;
  // With "追加" the new block goes on below the text already shown.
  if (FindText(CurrentLine(engine), "追加"_sj) == kNotFound) s.page_line_count = 0;
  s.text_no_wait = FindText(CurrentLine(engine), "待ちオフ"_sj) != kNotFound ? 1 : 0;
}

void HandleTextStyle(Engine& engine) { ParseTextStyle(engine); }

void HandleClickWait(Engine& engine) {
  ParseTextStyle(engine);
  engine.state.click_wait = 1;
}

namespace {

struct PositionFault {
  std::string_view message;
  int value;
};

// The first check that a dialogue rectangle fails, in the order they are made.
std::optional<PositionFault> CheckDialogueRect(int x, int y, int width, int height) {
  if (x < 0 || x > kScreenWidth) return PositionFault{"セリフ位置のＸが画面からはみ出ています"_sj, x};
  if (y < 0 || y > kScreenHeight) return PositionFault{"セリフ位置のＹが画面からはみ出ています"_sj, y};
  if (width < 0 || width > kScreenWidth - x) {
    return PositionFault{"セリフ位置の幅がマイナスか、画面からはみ出てしまいます"_sj, width};
  }
  if (height < 0 || height > kScreenHeight - y) {
    return PositionFault{"セリフ位置の高さがマイナスか、画面からはみ出てしまいます"_sj, height};
  }
  // The dialogue's text surface is 240 pixels high.
  if (height > 240) return PositionFault{"セリフ位置の高さの最大は現在２４０までです"_sj, height};
  return std::nullopt;
}

}  // namespace

void HandleDialoguePosition(Engine& engine) {
  EngineState& s = engine.state;
  static constexpr std::string_view kMissing[] = {
      "＃セリフ位置のＸが指定されていません"_sj, "＃セリフ位置のＹが指定されていません"_sj,
      "＃セリフ位置の幅が指定されていません"_sj, "＃セリフ位置の高さが指定されていません"_sj};
  int values[4] = {};
  bool ok = true;
  for (int i = 0; i < 4 && ok; ++i) {
    const std::string line(NextLine(engine));
    if (line.empty()) {
      ReportScenarioError(engine, kMissing[i], line);
      ok = false;
    } else {
      ok = EvaluateScenarioExpression(engine, line, line, &values[i]);
    }
  }
  if (ok) {
    const auto [x, y, width, height] = values;
    if (const std::optional<PositionFault> fault = CheckDialogueRect(x, y, width, height)) {
      ReportScenarioError(engine, fault->message, std::to_string(fault->value));
    } else {
      s.dialogue_x = x;
      s.dialogue_y = y;
      s.dialogue_width = width;
      s.dialogue_height = height;
    }
  }
  if (s.custom_frame == 0) DrawDefaultDialogueFrame(engine);
}

void HandleDialogueFrame(Engine& engine) {
  const std::string name(NextLine(engine));
  // A frame picture that cannot be read leaves the old frame as it was, so the surface is
  // touched only once the picture is in hand.
  const std::optional<Picture> picture = LoadPictureFile(engine, name);
  if (!picture) {
    ReportScenarioError(engine, "＃セリフ枠のファイル名が違います"_sj, name);
    return;
  }
  PutPictureIntoSurface(engine, engine.screen.dialogue_frame_surface, *picture, kScreenWidth,
                        kScreenHeight);
  engine.state.custom_frame = 1;
}

void HandleDialogueTranslucentOn(Engine& engine) { engine.state.dialogue_translucent = 1; }
void HandleDialogueTranslucentOff(Engine& engine) { engine.state.dialogue_translucent = 0; }
void HandleDialogueOff(Engine& engine) { engine.state.dialogue_visible = 0; }
void HandleTextTranslucentOn(Engine& engine) { engine.state.text_translucent = 1; }
void HandleTextTranslucentOff(Engine& engine) { engine.state.text_translucent = 0; }
void HandleTextOff(Engine& engine) { engine.state.frontmost_on = 0; }

void EndDialogueBlock(Engine& engine) {
  EngineState& s = engine.state;
  s.dialogue_active = 0;
  s.page_line_count = 0;
  s.text_y = 0;
  s.click_mark_x = s.click_mark_home_x;
  s.click_mark_y = s.click_mark_home_y;
  if (!s.dialogue_no_wait) s.click_wait = 1;
}

void EndTextBlock(Engine& engine) {
  EngineState& s = engine.state;
  s.text_active = 0;
  // The click mark waits under the last row of the text.
  s.click_mark_x = 10;
  s.click_mark_y = s.text_y + 10;
  if (!s.text_no_wait) s.click_wait = 1;
}

bool NextLineFits(const Engine& engine) {
  const EngineState& s = engine.state;
  const std::string_view next = ScenarioLine(engine, s.current_line + 1);
  if (next.empty()) return true;
  const int height = StartsWith(next, "＃文字"_sj) ? FontSizeFromLine(next) : s.font_size;
  return s.text_y + height <= s.dialogue_height - 20;
}

void ShowDialogueLine(Engine& engine) {
  EngineState& s = engine.state;
  s.page_line_count += 1;
  if (s.font_size + s.text_y > s.dialogue_height - 20) {
    s.page_line_count = 1;
    s.text_y = 0;
  }
  DrawTextLine(engine);
  s.dialogue_visible = 1;
  Compose(engine, true);
  if (NextLineFits(engine)) return;
  // The page is full: the player reads it and clicks, and the next line starts a new page. An
  // empty next line ends the block, which asks for the click itself.
  if (!ScenarioLine(engine, s.current_line + 1).empty()) s.click_wait = 1;
}

void ShowTextLine(Engine& engine) {
  EngineState& s = engine.state;
  s.page_line_count += 1;
  DrawTextLine(engine);
  s.frontmost_on = 1;
  Compose(engine, true);
}

void DrawTextLine(Engine& engine) {
  EngineState& s = engine.state;
  Screen& screen = engine.screen;
  if (s.page_line_count == 1) {
    engine.text_history.StartPage();
    s.text_y = 0;
    if (s.dialogue_active) {
      ClearSurfaceWhite(screen, screen.dialogue_text_surface);
    } else {
      FillSurfaceRect(screen, screen.frontmost_surface, 0, 0, kScreenWidth, kScreenHeight,
                      s.mask_r, s.mask_g, s.mask_b);
    }
  }
  std::optional<std::string> text = SubstituteTextVariables(engine, CurrentLine(engine), 1);
  if (!text) return;

  if (!BeginsStyleAddRow(ScenarioLine(engine, s.current_line + 1))) {
    DrawPiece(engine, kTextLeft, s.text_y + kTextTop, *text);
    s.text_y += s.font_size + 2;
    return;
  }

  // A row of several styles: every piece stands on the baseline of the tallest one.
  int tallest = s.font_size;
  for (int i = s.current_line + 1; BeginsStyleAddRow(ScenarioLine(engine, i)); i += 2) {
    tallest = std::max(tallest, FontSizeFromLine(ScenarioLine(engine, i)));
  }
  int x = kTextLeft;
  while (true) {
    x += DrawPiece(engine, x, s.text_y + kTextTop + (tallest - s.font_size) / 2, *text);
    if (!BeginsStyleAddRow(ScenarioLine(engine, s.current_line + 1))) break;
    s.current_line += 1;
    ParseTextStyle(engine);
    s.current_line += 1;
    if (StartsWith(CurrentLine(engine), "＃文字"_sj)) {
      ReportScenarioError(engine, "＃文字追加の次の行が"_sj, "＃文字となっています。"_sj);
      return;
    }
    text = SubstituteTextVariables(engine, CurrentLine(engine), 1);
    if (!text) return;
  }
  s.text_y += tallest + 2;
}

}  // namespace tumu
