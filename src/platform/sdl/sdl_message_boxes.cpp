#include "platform/sdl/sdl_message_boxes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sdl/sdl_leak_checks.h"

namespace tumu {

namespace {

// The window an event belongs to; 0 for events of no window.
Uint32 WindowOf(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return event.key.windowID;
    case SDL_TEXTEDITING:
      return event.edit.windowID;
    case SDL_TEXTEDITING_EXT:
      return event.editExt.windowID;
    case SDL_TEXTINPUT:
      return event.text.windowID;
    case SDL_MOUSEMOTION:
      return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return event.button.windowID;
    case SDL_MOUSEWHEEL:
      return event.wheel.windowID;
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
    case SDL_DROPBEGIN:
    case SDL_DROPCOMPLETE:
      return event.drop.windowID;
    default:
      return 0;
  }
}

// Keys, text, mouse and touch: what a player does to a window.
bool IsPlayerInput(const SDL_Event& event) {
  return (event.type >= SDL_KEYDOWN && event.type < SDL_MOUSEMOTION) ||
         (event.type >= SDL_MOUSEMOTION && event.type < SDL_JOYAXISMOTION) ||
         (event.type >= SDL_FINGERDOWN && event.type < SDL_CLIPBOARDUPDATE) ||
         (event.type >= SDL_DROPFILE && event.type < SDL_AUDIODEVICEADDED);
}

// Some events carry memory that whoever takes them off the queue must free.
void Discard(SDL_Event& event) {
  if (event.type == SDL_TEXTEDITING_EXT) SDL_free(event.editExt.text);
  if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT) SDL_free(event.drop.file);
}

std::optional<BoxKey> KeyOf(const SDL_KeyboardEvent& key) {
  // A key held down from the box before must not answer this one.
  const bool repeat = key.repeat != 0;
  switch (key.keysym.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
      if (repeat) return std::nullopt;
      return BoxKey::kEnter;
    case SDLK_ESCAPE:
      if (repeat) return std::nullopt;
      return BoxKey::kEscape;
    case SDLK_y:
      if (repeat) return std::nullopt;
      return BoxKey::kYes;
    case SDLK_n:
      if (repeat) return std::nullopt;
      return BoxKey::kNo;
    case SDLK_TAB:
      return (key.keysym.mod & KMOD_SHIFT) != 0 ? BoxKey::kPrevious : BoxKey::kNext;
    case SDLK_RIGHT:
    case SDLK_DOWN:
      return BoxKey::kNext;
    case SDLK_LEFT:
    case SDLK_UP:
      return BoxKey::kPrevious;
    default:
      return std::nullopt;
  }
}

// The scale of the game's window, as far as the box still fits the desktop at it.
int BoxScale(int wanted, int display, const MessageBox& box) {
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return 1;
  int scale = std::max(wanted, 1);
  while (scale > 1 && (box.width() * scale > usable.w || box.height() * scale > usable.h)) {
    --scale;
  }
  return scale;
}

struct ButtonLabels {
  const char* ok;
  const char* yes;
  const char* no;
  const char* cancel;
};

// SDL's own box may lack Japanese glyphs, so its buttons speak English unless the desktop is
// Japanese.
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

SdlBoxWindow::SdlBoxWindow(MessageBox& box, int scale) : box_(box), scale_(std::max(scale, 1)) {}

SdlBoxWindow::~SdlBoxWindow() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
}

bool SdlBoxWindow::Open(const std::string& caption, int display, SDL_Window* owner,
                        std::string* error) {
  window_ = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                             SDL_WINDOWPOS_CENTERED_DISPLAY(display), box_.width() * scale_,
                             box_.height() * scale_, SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) {
    *error = std::string("cannot open the message box: ") + SDL_GetError();
    return false;
  }
  id_ = SDL_GetWindowID(window_);
  // The desktop keeps the box above the game's window.
  if (owner != nullptr) SDL_SetWindowModalFor(window_, owner);
  // A box is small and drawn once or twice: the software renderer is always there and needs no
  // graphics context of its own.
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) {
    *error = std::string("cannot draw the message box: ") + SDL_GetError();
    return false;
  }
  KeepGraphicsDriversLoaded();
  // Maps the mouse back to the box's own pixels at any scale.
  SDL_RenderSetLogicalSize(renderer_, box_.width(), box_.height());
  picture_ = Surface565(box_.width(), box_.height());
  if (!CreateTexture(error)) return false;
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  Show();
  return true;
}

bool SdlBoxWindow::CreateTexture(std::string* error) {
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                               box_.width(), box_.height());
  if (texture_ == nullptr) {
    *error = std::string("cannot make the message box's texture: ") + SDL_GetError();
    return false;
  }
  // Whole scales keep the glyphs sharp, like the game's own text.
  SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
  return true;
}

void SdlBoxWindow::Render() {
  box_.Draw(picture_);
  SDL_UpdateTexture(texture_, nullptr, picture_.row(0),
                    picture_.pitch() * static_cast<int>(sizeof(std::uint16_t)));
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
}

void SdlBoxWindow::Show() {
  if (texture_ == nullptr) return;
  Render();
  SDL_RenderPresent(renderer_);
}

void SdlBoxWindow::Reset() {
  // After a device reset the texture is gone with the device.
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  std::string error;
  CreateTexture(&error);
  Show();
}

bool SdlBoxWindow::ReadBack(RenderedImage* image, std::string* error) {
  if (texture_ == nullptr) {
    *error = "no message box";
    return false;
  }
  // After presentation the renderer's buffer is undefined: read before.
  Render();
  // The window has the box's shape, so the logical size leaves no bars: all of it is the box.
  return ReadRendererOutput(renderer_, image, error);
}

BoxAnswer SdlMessageBoxes::Show(const std::string& caption, const std::string& text,
                                BoxButtons buttons) {
  if (renderer_ == nullptr) return ShowSystemBox(caption, text, buttons);
  MessageBox box(text, buttons, *renderer_);
  SDL_Window* game = display_.window();
  int display = game != nullptr ? SDL_GetWindowDisplayIndex(game) : 0;
  if (display < 0) display = 0;
  std::optional<SdlBoxWindow> window;
  window.emplace(box, BoxScale(display_.DefaultScale(), display, box));
  std::string error;
  if (!window->Open(caption, display, game, &error)) {
    window.reset();
    std::fprintf(stderr, "tumu: %s\n", error.c_str());
    return ShowSystemBox(caption, text, buttons);
  }
  // An input method would take the box's keys (Y, N) for itself.
  const bool text_input = SDL_IsTextInputActive() == SDL_TRUE;
  SDL_StopTextInput();
  if (on_shown_) on_shown_(*window);
  std::vector<SDL_Event> kept;
  const BoxAnswer answer = RunModal(*window, &kept);
  const Uint32 id = window->id();
  window.reset();
  if (text_input) SDL_StartTextInput();

  // What was still on its way for the box goes with it; the game's events come back in the
  // order they came, before anything newer.
  SDL_PumpEvents();
  SDL_Event later[64];
  int count = 0;
  while ((count = SDL_PeepEvents(later, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
    for (int i = 0; i < count; ++i) {
      if (WindowOf(later[i]) == id) {
        Discard(later[i]);
      } else {
        kept.push_back(later[i]);
      }
    }
  }
  if (!kept.empty()) {
    SDL_PeepEvents(kept.data(), static_cast<int>(kept.size()), SDL_ADDEVENT, 0, 0);
  }
  return answer;
}

BoxAnswer SdlMessageBoxes::RunModal(SdlBoxWindow& window, std::vector<SDL_Event>* kept) {
  MessageBox& box = window.box();
  for (;;) {
    SDL_Event event;
    if (SDL_WaitEvent(&event) == 0) return box.CloseAnswer();
    const bool ours = WindowOf(event) == window.id();
    std::optional<BoxAnswer> answer;
    switch (event.type) {
      case SDL_QUIT:
        // Ctrl+C in the terminal: the box goes as if closed, and the game still gets the request.
        kept->push_back(event);
        return box.CloseAnswer();
      case SDL_WINDOWEVENT:
        if (!ours) {
          // The game's window waits behind the box; it sees these when the box is gone.
          kept->push_back(event);
        } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
          return box.CloseAnswer();
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                   event.window.event == SDL_WINDOWEVENT_SHOWN ||
                   event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                   event.window.event == SDL_WINDOWEVENT_RESTORED) {
          window.Show();
        }
        break;
      case SDL_RENDER_TARGETS_RESET:
      case SDL_RENDER_DEVICE_RESET:
        window.Reset();
        kept->push_back(event);
        break;
      case SDL_KEYDOWN:
        // While the box is open the keyboard is its own, whichever window the desktop gave the
        // focus to.
        if (const std::optional<BoxKey> key = KeyOf(event.key)) {
          answer = box.PressKey(*key);
          window.Show();
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (ours && event.button.button == SDL_BUTTON_LEFT) {
          box.PressMouse(event.button.x, event.button.y);
          window.Show();
        }
        break;
      case SDL_MOUSEBUTTONUP:
        if (ours && event.button.button == SDL_BUTTON_LEFT) {
          answer = box.ReleaseMouse(event.button.x, event.button.y);
          window.Show();
        }
        break;
      default:
        // The game's window takes no input while the box is open, as behind the old modal boxes;
        // anything else is the game's business later.
        if (IsPlayerInput(event)) {
          Discard(event);
        } else {
          kept->push_back(event);
        }
        break;
    }
    if (answer) return *answer;
  }
}

BoxAnswer SdlMessageBoxes::ShowSystemBox(const std::string& caption, const std::string& text,
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
