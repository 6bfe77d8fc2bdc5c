#include "choice/back_screen.h"

#include <string>

#include "choice/choice_menu.h"
#include "engine/engine.h"
#include "picture/picture_loader.h"
#include "platform/sjis_literal.h"
#include "sound/sound.h"

namespace tumu {

using namespace literals;

namespace {

// Names by the grades of red, green and blue: 0 low, 1 middle, 2 high.
constexpr std::string_view kColorNames[3][3][3] = {
    {{"黒"_sj, "暗い青"_sj, "青"_sj},
     {"暗い緑"_sj, "暗いシアン"_sj, "マリン"_sj},
     {"緑"_sj, "青緑"_sj, "シアン"_sj}},
    {{"暗い赤"_sj, "暗いマゼンタ"_sj, "青紫"_sj},
     {"暗い黄"_sj, "グレー"_sj, "明るい青"_sj},
     {"黄緑"_sj, "明るい緑"_sj, "明るいシアン"_sj}},
    {{"赤"_sj, "赤紫"_sj, "マゼンタ"_sj},
     {"オレンジ"_sj, "明るい赤"_sj, "明るいマゼンタ"_sj},
     {"黄"_sj, "明るい黄"_sj, "白"_sj}},
};

struct WrittenColor {
  std::string_view written;  // what a choice line begins with
  std::string_view name;     // the colour it names
};

// Longer names first, so that "赤紫" is not taken for "赤"; a few names may be cut short.
constexpr WrittenColor kWrittenColors[] = {
    {"オレンジ"_sj, "オレンジ"_sj},
    {"黄緑"_sj, "黄緑"_sj},
    {"青緑"_sj, "青緑"_sj},
    {"マリン"_sj, "マリン"_sj},
    {"青紫"_sj, "青紫"_sj},
    {"赤紫"_sj, "赤紫"_sj},
    {"明るい赤"_sj, "明るい赤"_sj},
    {"明るい緑"_sj, "明るい緑"_sj},
    {"明るい青"_sj, "明るい青"_sj},
    {"明るい黄"_sj, "明るい黄"_sj},
    {"明るいシアン"_sj, "明るいシアン"_sj},
    {"明るいマゼン"_sj, "明るいマゼンタ"_sj},
    {"暗い赤"_sj, "暗い赤"_sj},
    {"暗い緑"_sj, "暗い緑"_sj},
    {"暗い青"_sj, "暗い青"_sj},
    {"暗い黄"_sj, "暗い黄"_sj},
    {"暗いシアン"_sj, "暗いシアン"_sj},
    {"暗いマゼン"_sj, "暗いマゼンタ"_sj},
    {"赤"_sj, "赤"_sj},
    {"緑"_sj, "緑"_sj},
    {"青"_sj, "青"_sj},
    {"黄"_sj, "黄"_sj},
    {"シアン"_sj, "シアン"_sj},
    {"マゼン"_sj, "マゼンタ"_sj},
    {"黒"_sj, "黒"_sj},
    {"白"_sj, "白"_sj},
    {"グレ"_sj, "グレー"_sj},
};

int Grade(int component) {
  if (component > 170) return 2;
  return component > 85 ? 1 : 0;
}

// The hover picture or sound of a choice line: between its marks, or empty without the opening
// mark. Nothing (after a report) when the closing mark is missing.
std::optional<std::string_view> HoverName(Engine& engine, std::string_view line,
                                          std::string_view open, std::string_view missing_close) {
  if (FindText(line, open) == kNotFound) return std::string_view();
  const std::optional<std::string_view> name = ExtractBetween(line, open, "）＃"_sj);
  if (!name) ReportScenarioError(engine, missing_close, line);
  return name;
}

// The first colour name given to two choices, if any.
std::optional<std::string_view> RepeatedColor(const EngineState& s, int count) {
  for (int i = 1; i <= count; ++i) {
    for (int j = i + 1; j <= count; ++j) {
      if (s.choice_color_names[static_cast<std::size_t>(i)].view() ==
          s.choice_color_names[static_cast<std::size_t>(j)].view()) {
        return s.choice_color_names[static_cast<std::size_t>(i)].view();
      }
    }
  }
  return std::nullopt;
}

// Every hover sound and picture the choices name must exist.
bool HoverFilesExist(Engine& engine, int count) {
  const EngineState& s = engine.state;
  for (int k = 1; k <= count; ++k) {
    const auto slot = static_cast<std::size_t>(k);
    const std::string_view sound = s.hover_sound_names[slot].view();
    if (!sound.empty() &&
        engine.files.FileExists(std::string(s.sound_dir.view()) + std::string(sound) +
                                std::string(s.sound_ext.view())) != kFileRegular) {
      ReportScenarioError(engine, "＃選択裏画面の音ファイルがありません"_sj, sound);
      return false;
    }
    const std::string_view picture = s.hover_picture_names[slot].view();
    if (!picture.empty() &&
        engine.files.FileExists(std::string(s.picture_dir.view()) + std::string(picture) +
                                std::string(s.picture_ext.view())) != kFileRegular) {
      ReportScenarioError(engine, "＃選択裏画面の絵のファイルがありません"_sj, picture);
      return false;
    }
  }
  return true;
}

int ChoiceOfColor(const EngineState& s, std::string_view name) {
  for (int k = 1; k <= s.choice_count && k < kChoiceSlots; ++k) {
    if (s.choice_color_names[static_cast<std::size_t>(k)].view() == name) return k;
  }
  return -1;
}

}  // namespace

void OpenBackScreenChoice(Engine& engine) {
  EngineState& s = engine.state;
  const int command_line = s.current_line;
  s.choice_count = 0;
  const std::string_view file = NextLine(engine);
  if (file.empty()) {
    ReportScenarioError(engine, "＃選択裏画面の"_sj, "「裏画面」が指定されていません"_sj);
    return;
  }
  const int file_line = s.current_line;
  if (!LoadPictureIntoSurface(engine, engine.screen.work_surface, file, kScreenWidth,
                              kScreenHeight)) {
    ReportScenarioError(engine, "＃選択裏画面の「裏画面」ファイル名が違います"_sj, file);
    return;
  }
  if (NextLine(engine).empty()) {
    ReportScenarioError(engine, "＃選択裏画面の"_sj, "「色」が指定されていません"_sj);
    return;
  }
  const int count = CountListLines(engine);
  if (count > kMostChoices) {
    ReportScenarioError(engine, "選択肢（裏画面）は２７色までです"_sj, CurrentLine(engine));
    s.choice_count = kMostChoices;
    return;
  }
  s.choice_count = count;
  s.current_line = file_line;
  for (auto& name : s.choice_color_names) name.assign("なし"_sj);
  for (auto& name : s.hover_picture_names) name.clear();
  for (auto& name : s.hover_sound_names) name.clear();

  for (int k = 1; k <= count; ++k) {
    if (!ParseBackScreenChoiceLine(engine, k, ScenarioLine(engine, file_line + k))) return;
  }
  if (const std::optional<std::string_view> repeated = RepeatedColor(s, count)) {
    ReportScenarioError(engine, "同じ色を指定しています"_sj, *repeated);
    return;
  }
  if (!HoverFilesExist(engine, count)) return;
  const std::string_view command = ScenarioLine(engine, command_line);
  if (FindText(command, "＃時間（"_sj) != kNotFound && !ParseChoiceTimeLimit(engine, command)) {
    return;
  }
  if (s.error_halt == 0) s.back_screen_choice_active = 1;
  s.current_line = file_line + count;
}

bool ParseBackScreenChoiceLine(Engine& engine, int k, std::string_view line) {
  EngineState& s = engine.state;
  const auto slot = static_cast<std::size_t>(k);
  const WrittenColor* color = nullptr;
  for (const WrittenColor& c : kWrittenColors) {
    if (StartsWith(line, c.written)) {
      color = &c;
      break;
    }
  }
  if (color == nullptr) {
    ReportScenarioError(engine, "＃裏画面選択の色指定が違います"_sj, line);
    return false;
  }
  s.choice_color_names[slot].assign(color->name);

  const std::optional<std::string_view> sound = HoverName(
      engine, line, "＃音（"_sj, "＃選択裏画面時の「音」は ＃音（ ）＃ で囲んでください"_sj);
  if (!sound) return false;
  s.hover_sound_names[slot].assign(*sound);
  // The game's message for a picture name without its closing mark names the sound's marks.
  const std::optional<std::string_view> picture = HoverName(
      engine, line, "＃絵（"_sj, "＃選択裏画面時の「絵」は ＃音（ ）＃ で囲んでください"_sj);
  if (!picture) return false;
  s.hover_picture_names[slot].assign(*picture);
  return true;
}

std::string_view ColorName(int red, int green, int blue) {
  return kColorNames[Grade(red)][Grade(green)][Grade(blue)];
}

void ReadPixelColor(Engine& engine, const Surface565& surface, int x, int y) {
  if (!surface.Contains(x, y)) return;
  EngineState& s = engine.state;
  const Rgb color = PixelToColor(engine.screen.format, surface.pixel(x, y));
  s.picked_red = color.red;
  s.picked_green = color.green;
  s.picked_blue = color.blue;
}

int BackScreenChoiceAt(const Engine& engine) {
  const EngineState& s = engine.state;
  return ChoiceOfColor(s, ColorName(s.picked_red, s.picked_green, s.picked_blue));
}

void HoverBackScreen(Engine& engine, int x, int y) {
  EngineState& s = engine.state;
  ReadPixelColor(engine, engine.screen.work_surface, x, y);
  s.previous_hovered_choice = s.hovered_choice;
  s.hovered_choice = BackScreenChoiceAt(engine);
  const bool entered = s.hovered_choice > 0 && s.hovered_choice != s.previous_hovered_choice;
  const auto slot = static_cast<std::size_t>(s.hovered_choice > 0 ? s.hovered_choice : 0);
  const std::string_view picture = s.hover_picture_names[slot].view();
  if (s.hovered_choice > 0 && !picture.empty()) {
    if (entered) {
      LoadPictureIntoSurface(engine, engine.screen.incoming_surface, picture, kScreenWidth,
                             kScreenHeight);
    }
    s.hover_picture_shown = 1;
  } else {
    s.hover_picture_shown = 0;
  }
  if (entered) PlayHoverSound(engine, s.hover_sound_names[slot].view());
}

std::optional<Point> FirstBackScreenRegion(const Engine& engine) {
  const EngineState& s = engine.state;
  const Surface565& back_screen = engine.screen.work_surface;
  std::optional<std::uint16_t> last_pixel;
  for (int y = 0; y < back_screen.height(); ++y) {
    for (int x = 0; x < back_screen.width(); ++x) {
      const std::uint16_t pixel = back_screen.pixel(x, y);
      // Regions are flat: only a change of colour can start another one.
      if (pixel == last_pixel) continue;
      last_pixel = pixel;
      const Rgb color = PixelToColor(engine.screen.format, pixel);
      if (ChoiceOfColor(s, ColorName(color.red, color.green, color.blue)) > 0) return Point{x, y};
    }
  }
  return std::nullopt;
}

}  // namespace tumu
