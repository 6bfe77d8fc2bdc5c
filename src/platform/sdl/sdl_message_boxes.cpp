#include "platform/sdl/sdl_message_boxes.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace tumu {

namespace {

struct ButtonLabels {
  const char* ok;
  const char* yes;
  const char* no;
  const char* cancel;
};

// The buttons speak the player's language: Japanese under a Japanese locale, else English.
ButtonLabels LabelsForLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    if (std::string_view(value).starts_with("ja")) {
      return {"OK", "はい", "いいえ", "キャンセル"};
    }
    break;
  }
  return {"OK", "Yes", "No", "Cancel"};
}

}  // namespace

BoxAnswer SdlMessageBoxes::Show(const std::string& caption, const std::string& text,
                                BoxButtons buttons) {
  const ButtonLabels labels = LabelsForLocale();
  std::vector<std::pair<BoxAnswer, const char*>> choices;
  switch (buttons) {
    case BoxButtons::kOk:
      choices = {{BoxAnswer::kOk, labels.ok}};
      break;
    case BoxButtons::kYesNo:
      choices = {{BoxAnswer::kYes, labels.yes}, {BoxAnswer::kNo, labels.no}};
      break;
    case BoxButtons::kYesNoCancel:
      choices = {{BoxAnswer::kYes, labels.yes},
                 {BoxAnswer::kNo, labels.no},
                 {BoxAnswer::kCancel, labels.cancel}};
      break;
  }
  std::vector<SDL_MessageBoxButtonData> data;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    Uint32 flags = 0;
    if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (i + 1 == choices.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back({flags, static_cast<int>(i), choices[i].second});
  }
  SDL_MessageBoxData box{};
  box.flags = SDL_MESSAGEBOX_INFORMATION;
  box.window = display_.window();
  box.title = caption.c_str();
  box.message = text.c_str();
  box.numbuttons = static_cast<int>(data.size());
  box.buttons = data.data();
  int pressed = -1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0) {
    std::fprintf(stderr, "%s\n%s\n(no message box: %s)\n", caption.c_str(), text.c_str(),
                 SDL_GetError());
    return choices.front().first;
  }
  // Closing the box without a button counts as Escape.
  if (pressed < 0 || pressed >= static_cast<int>(choices.size())) return choices.back().first;
  return choices[static_cast<std::size_t>(pressed)].first;
}

}  // namespace tumu
