// What the engine needs of the world, as small interfaces. The SDL backend (src/platform/sdl)
// serves players; the headless backend (src/platform/headless) serves tests and automation with a
// virtual clock. Texts that cross these interfaces are UTF-8: Shift-JIS stays inside the engine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/surface565.h"

namespace tumu {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some start; wraps around like any 32-bit tick counter.
  virtual std::uint32_t Ticks() = 0;
  // Seconds since the epoch.
  virtual std::int64_t CalendarSeconds() = 0;
  // Blocks for the given time (only the loader's fatal-limit pauses do this).
  virtual void Sleep(std::uint32_t ms) = 0;
};

// How the 640x480 frame fills a window of another size.
enum class ScaleMode {
  kPixel,   // whole multiples only, sharp
  kFit,     // as large as fits with the aspect kept
  kSmooth,  // as fit, always filtered
};

struct WindowConfig {
  bool fullscreen = false;
  int scale = 0;  // window size = scale x 640x480; 0: the largest that fits, at most 2
  std::string title;
};

class Display {
 public:
  virtual ~Display() = default;
  // Opens the window (or nothing, headless). On failure returns false and sets *error.
  virtual bool Open(const WindowConfig& config, std::string* error) = 0;
  // Bits per pixel of the presentation the engine draws for.
  virtual int DesktopDepth() = 0;
  // Shows a 640x480 frame.
  virtual void Present(const Surface565& frame) = 0;
  // The frame presented last (empty before the first), for screenshots.
  virtual const Surface565& LastFrame() const = 0;
  // The platform's default message beep.
  virtual void Beep() = 0;
  virtual void Close() = 0;
};

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

enum class Key {
  kEscape,
  kSpace,
  kEnter,
  kOther,
  // Keys of the player program's reading aids, which the game itself never sees: the A key,
  // Page Up and Page Down, and one notch of the mouse wheel.
  kA,
  kPageUp,
  kPageDown,
  kWheelUp,
  kWheelDown,
};

struct InputEvent {
  enum class Type {
    kMouseMove,
    kLeftDown,
    kRightDown,
    kKeyDown,
    kClose,        // the player asked to close the window
    kTextEntered,  // the input box was confirmed with Enter; text is UTF-8
    kEndRun,       // the backend ends the run (headless: script done or time out)
  };
  Type type = Type::kMouseMove;
  int x = 0;
  int y = 0;
  Key key = Key::kOther;
  std::string text;
  int exit_code = 0;
};

// What the engine tells the backend after every turn, so that the backend can pace the loop:
// the SDL backend sleeps until an event or the next due time; the headless backend runs its
// virtual clock and delivers script events when the engine has settled.
struct TurnStatus {
  // The scenario is held (a click wait, a menu, a transition, the error screen...).
  bool waiting = false;
  // Held only by things that wait for the player, with nothing that ends by itself pending, and
  // at least one waiting turn done since the last executed line.
  bool settled = false;
  // Milliseconds from now until the engine next has timed work; empty when nothing is timed.
  std::optional<std::uint32_t> next_due_ms;
  // Where an automatic player clicks to answer the current wait (choice 1 of a menu, the first
  // region of a back screen that belongs to a choice, the screen's centre for a click position,
  // anywhere for a plain click). Filled for automatic play only, once the engine has settled.
  int answer_x = 0;
  int answer_y = 0;
  // False when no click can answer the wait (a back screen with no region of any choice).
  bool has_answer = true;
  // A point on each choice of an open menu, in order, for an automatic player that picks one.
  std::vector<Point> choice_points;
  bool answer_is_text = false;
  // The start scenario has been played to its end: the notice that it starts again is shown.
  bool played_to_end = false;
};

class Input {
 public:
  virtual ~Input() = default;
  // Takes the next waiting event without blocking.
  virtual std::optional<InputEvent> Poll() = 0;
  // Called after every frame turn with the engine's state.
  virtual void AfterTurn(const TurnStatus& status) = 0;
  // Whether a Ctrl key is held down now.
  virtual bool ControlHeld() const { return false; }
  // Whether a picture that the run was asked to write (a screenshot) could not be written.
  virtual bool OutputFailed() const { return false; }
};

// The one-line text input box. The backend draws it over the game and, when the player presses
// Enter, delivers an InputEvent::kTextEntered and closes it.
class TextInput {
 public:
  virtual ~TextInput() = default;
  // Opens the box at a place of the 640x480 screen.
  virtual void Open(const Rect& place) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
};

// The four sound channels of a game: the one-shot wave, the simple player (the background loop
// and the single sounds that take its place), MIDI music and CD audio.
enum class SoundChannel { kWave, kLoop, kMidi, kCd };
inline constexpr int kSoundChannels = 4;

// What a channel is doing: nothing open (never started, closed, or its file could not be played),
// sounding, or at the end of what it was given.
enum class ChannelState { kClosed, kPlaying, kStopped };

class Audio {
 public:
  virtual ~Audio() = default;
  // Starts a file (a path on disk) on the wave, loop or MIDI channel in place of what it played.
  // With `repeat` the sound starts again by itself, without a gap, until it is closed. False when
  // the file cannot be played; *problem then says why and the channel is closed.
  virtual bool Play(SoundChannel channel, const std::string& path, bool repeat,
                    std::string* problem) = 0;
  // CD audio: ripped track files played one after another.
  virtual bool PlayTracks(const std::vector<std::string>& paths, std::string* problem) = 0;
  virtual ChannelState State(SoundChannel channel) = 0;
  // Silences the channel and lets its sound go.
  virtual void Close(SoundChannel channel) = 0;
  // Milliseconds until the next sounding channel reaches its end, where the backend can tell
  // exactly (sounds timed on a virtual clock); empty when it cannot or nothing will end.
  virtual std::optional<std::uint32_t> MsUntilASoundEnds() { return std::nullopt; }
};

enum class BoxButtons { kOk, kYesNo, kYesNoCancel };
enum class BoxAnswer { kOk, kYes, kNo, kCancel };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual BoxAnswer Show(const std::string& caption, const std::string& text,
                         BoxButtons buttons) = 0;
};

// The set of services one engine runs on.
struct Platform {
  Clock& clock;
  Display& display;
  Input& input;
  TextInput& text_input;
  Audio& audio;
  MessageBoxes& message_boxes;
};

}  // namespace tumu
