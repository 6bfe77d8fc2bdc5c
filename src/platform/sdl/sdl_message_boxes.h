// Message boxes of the SDL backend. They also work before the game's window exists (the start-up
// messages come before it).
#pragma once

#include "platform/platform.h"
#include "platform/sdl/sdl_display.h"

namespace tumu {

class SdlMessageBoxes : public MessageBoxes {
 public:
  explicit SdlMessageBoxes(SdlDisplay& display) : display_(display) {}
  // Enter answers with the first button, Escape with the last. When no box can be shown, the
  // message goes to stderr and the answer is the first button.
  BoxAnswer Show(const std::string& caption, const std::string& text,
                 BoxButtons buttons) override;

 private:
  SdlDisplay& display_;
};

}  // namespace tumu
