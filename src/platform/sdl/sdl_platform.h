// The SDL backend: one object per platform service, over one SDL session. SDL is one per
// process, so there is one SdlPlatform at a time.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_message_boxes.h"
#include "platform/sdl/sdl_text_input.h"

namespace tumu {

struct SdlOptions {
  // Window size = scale x 640x480 when the game's configuration names none; 0 = the largest
  // whole scale that fits the desktop, at most 2.
  int scale = 0;
  ScaleMode scale_mode = ScaleMode::kFit;
  // Draws the text of the input box and of the message boxes; may be set later (the engine owns
  // the fonts).
  TextRenderer* text_renderer = nullptr;
  // Where F12 puts screenshots; empty = the current folder.
  std::string screenshot_dir;
  SdlAudioOptions audio;
  // Lets SDL's and its libraries' own messages about the drivers they try reach stderr.
  bool verbose = false;
};

class SdlPlatform {
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  // Starts SDL's video. Returns null and sets *error when there is no display to play on.
  static std::unique_ptr<SdlPlatform> Create(const SdlOptions& options, std::string* error);

  SdlPlatform(Passkey, const SdlOptions& options);
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  Platform platform() {
    return {clock_, display_, input_, text_input_, audio_, message_boxes_};
  }

  void SetTextRenderer(TextRenderer* renderer) {
    text_input_.set_renderer(renderer);
    message_boxes_.set_renderer(renderer);
  }
  void SetScreenshotDir(std::string dir) { input_.set_screenshot_dir(std::move(dir)); }

  SdlDisplay& display() { return display_; }
  SdlInput& input() { return input_; }
  SdlTextInput& text_input() { return text_input_; }
  SdlMessageBoxes& message_boxes() { return message_boxes_; }

 private:
  static constexpr int kVideoAttempts = 5;
  static constexpr std::uint32_t kVideoRetryMs = 100;

  static bool StartVideo(bool verbose, std::string* error);

  // Ends SDL after every other member is gone (members are destroyed in reverse order).
  struct Session {
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
  };

  Session session_;
  SdlClock clock_;
  SdlAudio audio_;
  SdlDisplay display_;
  SdlTextInput text_input_;
  SdlInput input_;
  SdlMessageBoxes message_boxes_;
};

}  // namespace tumu
