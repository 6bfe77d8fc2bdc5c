#include "platform/sdl/sdl_text_input.h"

namespace tumu {

SdlTextInput::SdlTextInput(SdlDisplay& display, TextRenderer* renderer)
    : display_(display), renderer_(renderer) {
  display_.set_overlay(this);
}

SdlTextInput::~SdlTextInput() { display_.set_overlay(nullptr); }

void SdlTextInput::Open(const Rect& place) {
  box_.Open(place);
  PlaceCandidateWindow();
  SDL_StartTextInput();
  display_.Refresh();
}

void SdlTextInput::Close() {
  if (!box_.is_open()) return;
  box_.Close();
  SDL_StopTextInput();
  display_.Refresh();
}

void SdlTextInput::PlaceCandidateWindow() {
  if (!box_.is_open()) return;
  SDL_Rect rect = display_.ScreenToWindow(box_.place());
  SDL_SetTextInputRect(&rect);
}

std::optional<InputEvent> SdlTextInput::HandleKey(const SDL_KeyboardEvent& key) {
  // While the input method composes, its keys are its own.
  if (!box_.is_open() || !box_.composition().empty()) return std::nullopt;
  switch (key.keysym.sym) {
    case SDLK_BACKSPACE:
      box_.Backspace();
      display_.Refresh();
      return std::nullopt;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: {
      if (key.repeat != 0) return std::nullopt;
      InputEvent event;
      event.type = InputEvent::Type::kTextEntered;
      event.text = box_.text();
      Close();
      return event;
    }
    default:
      return std::nullopt;
  }
}

void SdlTextInput::HandleText(const char* utf8) {
  if (!box_.is_open()) return;
  // Committed text ends any composition.
  box_.SetComposition("", 0);
  if (!box_.Append(utf8)) display_.Beep();
  display_.Refresh();
}

void SdlTextInput::HandleComposition(const char* utf8, int cursor) {
  if (!box_.is_open()) return;
  box_.SetComposition(utf8, cursor);
  display_.Refresh();
}

}  // namespace tumu
