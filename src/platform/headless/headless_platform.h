// The headless backend: no window, no audio device, a virtual clock, input from a script.
//
// Time does not pass while lines execute. While the engine waits for something that ends by
// itself (a time wait, a fade...), every waiting turn moves the clock on by 1 ms. Once the engine
// has settled (it waits only for the player), the next script event is delivered at once, and
// time passes only through `wait`. Runs are therefore deterministic and fast.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/contact_sheet.h"
#include "platform/headless/script.h"
#include "platform/platform.h"
#include "platform/timed_audio.h"

namespace tumu {

struct HeadlessOptions {
  std::vector<ScriptEvent> script;
  bool auto_play = false;       // answer every wait with a click, choice 1 of every menu
  // With automatic play: menus are answered with a random choice drawn from a generator of its
  // own seeded with this, so that the game's own random numbers stay as they would be.
  std::optional<std::uint32_t> auto_seed;
  std::uint32_t max_ms = 600000;
  std::string shots_dir;        // a numbered PNG each time the engine settles
  int desktop_depth = 16;
};

class HeadlessClock final : public Clock {
 public:
  std::uint32_t Ticks() override { return now_; }
  std::int64_t CalendarSeconds() override;
  void Sleep(std::uint32_t ms) override { now_ += ms; }
  void Advance(std::uint32_t ms) { now_ += ms; }
  std::uint32_t now() const { return now_; }

 private:
  std::uint32_t now_ = 0;
};

class HeadlessDisplay final : public Display {
 public:
  explicit HeadlessDisplay(int desktop_depth) : desktop_depth_(desktop_depth) {}
  bool Open(const WindowConfig& config, std::string* error) override;
  int DesktopDepth() override { return desktop_depth_; }
  void Present(const Surface565& frame) override;
  const Surface565& LastFrame() const override { return last_frame_; }
  void Beep() override { ++beeps_; }
  void Close() override { open_ = false; }

  int beeps() const { return beeps_; }
  int presents() const { return presents_; }
  const WindowConfig& config() const { return config_; }

 private:
  int desktop_depth_;
  bool open_ = false;
  WindowConfig config_;
  Surface565 last_frame_;
  int beeps_ = 0;
  int presents_ = 0;
};

class HeadlessTextInput final : public TextInput {
 public:
  void Open(const Rect& place) override {
    open_ = true;
    place_ = place;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }

 private:
  bool open_ = false;
  Rect place_;
};

class HeadlessMessageBoxes final : public MessageBoxes {
 public:
  // Logs the box on stderr and answers its first button (OK, Yes).
  BoxAnswer Show(const std::string& caption, const std::string& text, BoxButtons buttons) override;
  // The next answers to give instead, for tests.
  std::vector<BoxAnswer> answers;
  std::vector<std::string> shown;  // "caption\ntext" of every box
};

class HeadlessInput final : public Input {
 public:
  HeadlessInput(HeadlessClock& clock, HeadlessDisplay& display, HeadlessOptions options);
  std::optional<InputEvent> Poll() override;
  void AfterTurn(const TurnStatus& status) override;

  // A screenshot could not be written. Without the folder of --shots the run ends at once.
  bool OutputFailed() const override { return write_failed_; }
  // The frames of --shots, all in one picture.
  const ContactSheet& contact_sheet() const { return contact_sheet_; }
  int shots_taken() const { return shot_number_; }

 private:
  static InputEvent EndOfRun(int exit_code);
  std::optional<InputEvent> NextScriptEvent();
  // The automatic player's answer to the wait the engine has settled on.
  InputEvent AutomaticAnswer();
  void WriteShot(const std::string& path);
  // How far the virtual clock moves after a turn.
  std::uint32_t TimeStep(const TurnStatus& status) const;
  void ReportWriteFailure(const std::string& problem);

  HeadlessClock& clock_;
  HeadlessDisplay& display_;
  HeadlessOptions options_;
  std::size_t next_ = 0;
  std::vector<InputEvent> queued_;
  TurnStatus status_;
  bool settled_ = false;
  bool was_settled_ = false;
  std::optional<std::uint32_t> wait_until_;
  std::uint64_t busy_turns_ = 0;
  int shot_number_ = 0;
  ContactSheet contact_sheet_;
  std::minstd_rand auto_choices_;
  bool write_failed_ = false;
  bool shots_impossible_ = false;
};

// One headless backend, ready to hand to an engine.
class HeadlessPlatform {
 public:
  explicit HeadlessPlatform(HeadlessOptions options);
  Platform platform();

  HeadlessClock clock;
  HeadlessDisplay display;
  HeadlessTextInput text_input;
  TimedAudio audio;  // silent, but each sound lasts as long as its file on the virtual clock
  HeadlessMessageBoxes message_boxes;
  HeadlessInput input;
};

}  // namespace tumu
