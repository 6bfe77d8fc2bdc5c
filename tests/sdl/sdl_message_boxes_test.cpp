// The message boxes of the SDL backend in real windows (under Xvfb): what the player sees in them,
// how keys and clicks answer them, and what becomes of the game's events meanwhile.
#include "platform/sdl/sdl_message_boxes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_platform.h"

namespace tumu {
namespace {

using namespace std::chrono_literals;

constexpr const char* kIpaGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr const char* kTitle = "テストのゲーム";
constexpr const char* kNoStart = "startシナリオがありません";
constexpr const char* kWindowQuestion =
    "●ゲームモードの設定\n\nゲームをウインドウ・タイプでプレイしますか？\n\n"
    "（いいえを選ぶと全画面モードになります）\n\n";

// A box that nobody answers would wait for ever: after a while this closes it as Ctrl+C would,
// and if even that is not heard, ends the run, so that a fault fails instead of hanging.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock lock(mutex_);
          if (done_changed_.wait_for(lock, limit, [this] { return done_; })) return;
          fired_ = true;
          SDL_Event quit{};
          quit.type = SDL_QUIT;
          SDL_PushEvent(&quit);
          if (done_changed_.wait_for(lock, 5s, [this] { return done_; })) return;
          std::fputs("a message box hangs; giving up\n", stderr);
          std::_Exit(1);
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_changed_.notify_all();
    thread_.join();
  }
  bool fired() const { return fired_; }

 private:
  std::mutex mutex_;
  std::condition_variable done_changed_;
  bool done_ = false;
  std::atomic<bool> fired_ = false;
  std::thread thread_;
};

std::uint16_t To565(std::uint32_t argb) {
  return static_cast<std::uint16_t>((((argb >> 19) & 0x1F) << 11) | (((argb >> 10) & 0x3F) << 5) |
                                    ((argb >> 3) & 0x1F));
}

void Push(SDL_Event event) {
  event.common.timestamp = SDL_GetTicks();
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushKey(SDL_Keycode sym, Uint32 window = 0, Uint16 mod = KMOD_NONE, bool repeat = false) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = window;
  event.key.state = SDL_PRESSED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.sym = sym;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
  event.key.keysym.mod = mod;
  Push(event);
}

void PushButton(Uint32 type, Uint32 window, int x, int y) {
  SDL_Event event{};
  event.type = type;
  event.button.windowID = window;
  event.button.button = SDL_BUTTON_LEFT;
  event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  Push(event);
}

void PushWindowEvent(Uint32 window, SDL_WindowEventID what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = window;
  event.window.event = what;
  Push(event);
}

// A click in the middle of a button, in the window's own pixels.
void PushClick(SdlBoxWindow& window, std::size_t button) {
  const Rect place = window.box().buttons().at(button).place;
  const int x = (place.x + place.width / 2) * window.scale();
  const int y = (place.y + place.height / 2) * window.scale();
  PushButton(SDL_MOUSEBUTTONDOWN, window.id(), x, y);
  PushButton(SDL_MOUSEBUTTONUP, window.id(), x, y);
}

class SdlMessageBoxesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    font_ = TextRenderer::Open(kIpaGothic, &error);
    ASSERT_NE(font_, nullptr) << "install fonts-ipafont-gothic: " << error;
  }
  void TearDown() override { platform_.reset(); }

  // Starts the backend as the player does: the game's scale and the game's font in its options.
  void Start(int scale, TextRenderer* renderer) {
    SdlOptions options;
    options.scale = scale;
    options.text_renderer = renderer;
    std::string error;
    platform_ = SdlPlatform::Create(options, &error);
    ASSERT_NE(platform_, nullptr) << error;
    // Parked in a corner, the pointer sends the boxes no motion of its own.
    SDL_WarpMouseGlobal(1279, 1023);
  }

  // Shows a box; on_shown sees it on the screen and queues the player's answer.
  BoxAnswer Show(const std::string& text, BoxButtons buttons,
                 std::function<void(SdlBoxWindow&)> on_shown) {
    shown_ = 0;
    platform_->message_boxes().set_on_shown([&](SdlBoxWindow& window) {
      ++shown_;
      if (on_shown) on_shown(window);
    });
    const Watchdog watchdog(20s);
    const BoxAnswer answer = platform_->message_boxes().Show(kTitle, text, buttons);
    EXPECT_FALSE(watchdog.fired()) << "nobody answered the box";
    return answer;
  }

  std::unique_ptr<TextRenderer> font_;
  std::unique_ptr<SdlPlatform> platform_;
  int shown_ = 0;
};

TEST_F(SdlMessageBoxesTest, ShowsTheJapaneseTextInAWindowOfItsOwnCentredOnTheScreen) {
  Start(1, font_.get());
  for (const auto& [text, buttons] : {std::pair{kNoStart, BoxButtons::kOk},
                                      std::pair{kWindowQuestion, BoxButtons::kYesNo}}) {
    SCOPED_TRACE(text);
    // What the core draws for the same box is what the window must show, pixel for pixel.
    const MessageBox expected(text, buttons, *font_);
    Surface565 picture(expected.width(), expected.height());
    expected.Draw(picture);

    const BoxAnswer answer = Show(text, buttons, [&](SdlBoxWindow& window) {
      EXPECT_STREQ(SDL_GetWindowTitle(window.window()), kTitle);
      int width = 0;
      int height = 0;
      SDL_GetWindowSize(window.window(), &width, &height);
      EXPECT_EQ(width, expected.width());
      EXPECT_EQ(height, expected.height());
      int x = 0;
      int y = 0;
      SDL_GetWindowPosition(window.window(), &x, &y);
      EXPECT_EQ(x, (1280 - width) / 2);
      EXPECT_EQ(y, (1024 - height) / 2);

      RenderedImage image;
      std::string error;
      ASSERT_TRUE(window.ReadBack(&image, &error)) << error;
      ASSERT_EQ(image.width, expected.width());
      ASSERT_EQ(image.height, expected.height());
      auto shown = [&](int px, int py) {
        return To565(image.argb[static_cast<std::size_t>(py) * image.width + px]);
      };
      int mismatches = 0;
      for (int py = 0; py < image.height; ++py) {
        for (int px = 0; px < image.width; ++px) {
          if (shown(px, py) != picture.pixel(px, py) && ++mismatches <= 5) {
            ADD_FAILURE() << "pixel " << px << ", " << py;
          }
        }
      }
      EXPECT_EQ(mismatches, 0);
      // Ink on every line that has text, across its width.
      for (std::size_t line = 0; line < expected.lines().size(); ++line) {
        if (expected.lines()[line].empty()) continue;
        const Rect place = expected.LinePlace(line);
        int left_ink = 0;
        int right_ink = 0;
        for (int py = place.y; py < place.y + place.height; ++py) {
          for (int px = place.x; px < place.x + place.width; ++px) {
            if (shown(px, py) != BoxColors().ink) continue;
            (px < place.x + place.width / 2 ? left_ink : right_ink)++;
          }
        }
        EXPECT_GT(left_ink, 20) << "line " << line;
        EXPECT_GT(right_ink, 20) << "line " << line;
      }
      PushKey(SDLK_RETURN, window.id());
    });
    EXPECT_EQ(shown_, 1);
    EXPECT_EQ(answer, buttons == BoxButtons::kOk ? BoxAnswer::kOk : BoxAnswer::kYes);
  }
}

TEST_F(SdlMessageBoxesTest, AnswersToClicksAndKeys) {
  Start(1, font_.get());
  using Input = std::function<void(SdlBoxWindow&)>;
  auto keys = [](std::vector<SDL_Keycode> syms, Uint16 mod = KMOD_NONE) -> Input {
    return [syms, mod](SdlBoxWindow& window) {
      for (const SDL_Keycode sym : syms) PushKey(sym, window.id(), sym == SDLK_TAB ? mod : 0);
    };
  };
  struct Case {
    const char* what;
    BoxButtons buttons;
    Input input;
    BoxAnswer expected;
  };
  const BoxButtons ok = BoxButtons::kOk;
  const BoxButtons yes_no = BoxButtons::kYesNo;
  const BoxButtons yes_no_cancel = BoxButtons::kYesNoCancel;
  // Each key and the mouse once; the rules behind them are the core box's and tested there.
  const Case cases[] = {
      {"click on No", yes_no, [](SdlBoxWindow& w) { PushClick(w, 1); }, BoxAnswer::kNo},
      {"click on Cancel", yes_no_cancel, [](SdlBoxWindow& w) { PushClick(w, 2); },
       BoxAnswer::kCancel},
      {"pressed on Yes, released on No, then Enter on the pressed one", yes_no_cancel,
       [](SdlBoxWindow& w) {
         const Rect yes = w.box().buttons()[0].place;
         const Rect no = w.box().buttons()[1].place;
         PushKey(SDLK_TAB, w.id());
         PushButton(SDL_MOUSEBUTTONDOWN, w.id(), yes.x + 4, yes.y + 4);
         PushButton(SDL_MOUSEBUTTONUP, w.id(), no.x + 4, no.y + 4);
         PushKey(SDLK_RETURN, w.id());
       },
       BoxAnswer::kYes},
      {"Enter", yes_no, keys({SDLK_RETURN}), BoxAnswer::kYes},
      {"keypad Enter", ok, keys({SDLK_KP_ENTER}), BoxAnswer::kOk},
      {"Space", yes_no_cancel, keys({SDLK_SPACE}), BoxAnswer::kYes},
      {"Escape on Yes/No/Cancel", yes_no_cancel, keys({SDLK_ESCAPE}), BoxAnswer::kCancel},
      {"Y", yes_no, keys({SDLK_TAB, SDLK_y}), BoxAnswer::kYes},
      {"N", yes_no, keys({SDLK_n}), BoxAnswer::kNo},
      {"Tab, Enter", yes_no, keys({SDLK_TAB, SDLK_RETURN}), BoxAnswer::kNo},
      {"Shift+Tab, Enter", yes_no_cancel, keys({SDLK_TAB, SDLK_RETURN}, KMOD_LSHIFT),
       BoxAnswer::kCancel},
      {"Right, Down, Enter", yes_no_cancel, keys({SDLK_RIGHT, SDLK_DOWN, SDLK_RETURN}),
       BoxAnswer::kCancel},
      {"Left, Up, Space", yes_no_cancel, keys({SDLK_LEFT, SDLK_UP, SDLK_SPACE}),
       BoxAnswer::kNo},
      {"a held Enter and other keys do not answer", yes_no,
       [](SdlBoxWindow& w) {
         PushKey(SDLK_RETURN, w.id(), KMOD_NONE, true);
         PushKey(SDLK_a, w.id());
         PushKey(SDLK_F11, w.id());
         PushKey(SDLK_n, w.id());
       },
       BoxAnswer::kNo},
      {"closing the box's window", yes_no_cancel,
       [](SdlBoxWindow& w) { PushWindowEvent(w.id(), SDL_WINDOWEVENT_CLOSE); },
       BoxAnswer::kCancel},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(kWindowQuestion, c.buttons, c.input), c.expected) << c.what;
    EXPECT_EQ(shown_, 1) << c.what;
  }
}

TEST_F(SdlMessageBoxesTest, KeysQueuedBeforeTheBoxOpensAnswerIt) {
  // The renderer may come after the backend: the boxes get it too.
  Start(1, nullptr);
  platform_->SetTextRenderer(font_.get());
  PushKey(SDLK_ESCAPE);
  EXPECT_EQ(Show(kWindowQuestion, BoxButtons::kYesNo, nullptr), BoxAnswer::kNo);
  EXPECT_EQ(shown_, 1);
  PushKey(SDLK_TAB);
  PushKey(SDLK_RETURN);
  EXPECT_EQ(Show(kWindowQuestion, BoxButtons::kYesNoCancel, nullptr), BoxAnswer::kNo);
}

TEST_F(SdlMessageBoxesTest, TakesTheGamesScaleAndMapsClicksBack) {
  // Xvfb's screen is 1280x1024: the game's window would be twice 640x480, and so is the box.
  Start(0, font_.get());
  const MessageBox expected(kWindowQuestion, BoxButtons::kYesNo, *font_);
  Surface565 picture(expected.width(), expected.height());
  expected.Draw(picture);
  const BoxAnswer answer = Show(kWindowQuestion, BoxButtons::kYesNo, [&](SdlBoxWindow& window) {
    EXPECT_EQ(window.scale(), 2);
    RenderedImage image;
    std::string error;
    ASSERT_TRUE(window.ReadBack(&image, &error)) << error;
    ASSERT_EQ(image.width, 2 * expected.width());
    ASSERT_EQ(image.height, 2 * expected.height());
    int mismatches = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const std::uint16_t shown = To565(image.argb[static_cast<std::size_t>(y) * image.width + x]);
        mismatches += shown != picture.pixel(x / 2, y / 2);
      }
    }
    EXPECT_EQ(mismatches, 0);
    // The middle of いいえ in window pixels lies outside the box's own pixels: the click counts
    // only when it is mapped back.
    PushClick(window, 1);
  });
  EXPECT_EQ(answer, BoxAnswer::kNo);
}

TEST_F(SdlMessageBoxesTest, TheGamesWindowWaitsAndGetsItsOwnEventsAfterwards) {
  Start(1, font_.get());
  SdlDisplay& display = platform_->display();
  WindowConfig config;
  config.scale = 1;
  config.title = kTitle;
  std::string error;
  ASSERT_TRUE(display.Open(config, &error)) << error;
  for (int i = 0; i < 5; ++i) {
    SDL_Delay(20);
    SDL_PumpEvents();
    while (platform_->input().Poll().has_value()) {
    }
  }
  const Uint32 game = display.window_id();
  Uint32 box = 0;
  // While the box is open: the player closes the game's window, the desktop asks it to draw
  // itself again, and a click lands on it; then Space, which is the box's.
  const BoxAnswer answer = Show(kWindowQuestion, BoxButtons::kYesNo, [&](SdlBoxWindow& window) {
    box = window.id();
    PushWindowEvent(game, SDL_WINDOWEVENT_CLOSE);
    PushWindowEvent(game, SDL_WINDOWEVENT_EXPOSED);
    PushButton(SDL_MOUSEBUTTONDOWN, game, 100, 100);
    PushKey(SDLK_SPACE, game);
  });
  EXPECT_EQ(answer, BoxAnswer::kYes);
  ASSERT_NE(box, 0u);

  // The game's window events are back in the queue in their order; nothing of the box's window,
  // no click and no key is.
  SDL_PumpEvents();
  std::vector<SDL_Event> queued(256);
  const int count =
      SDL_PeepEvents(queued.data(), 256, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  std::vector<Uint8> game_window_events;
  for (int i = 0; i < count; ++i) {
    const SDL_Event& event = queued[static_cast<std::size_t>(i)];
    EXPECT_NE(event.type, SDL_MOUSEBUTTONDOWN);
    EXPECT_NE(event.type, SDL_KEYDOWN);
    if (event.type != SDL_WINDOWEVENT) continue;
    EXPECT_NE(event.window.windowID, box) << "event " << int{event.window.event};
    if (event.window.windowID == game &&
        (event.window.event == SDL_WINDOWEVENT_CLOSE ||
         event.window.event == SDL_WINDOWEVENT_EXPOSED)) {
      game_window_events.push_back(event.window.event);
    }
  }
  // The X server adds exposures of its own when the box uncovers the game's window.
  const auto close = std::find(game_window_events.begin(), game_window_events.end(),
                               Uint8{SDL_WINDOWEVENT_CLOSE});
  ASSERT_NE(close, game_window_events.end());
  EXPECT_EQ(std::count(game_window_events.begin(), game_window_events.end(),
                       Uint8{SDL_WINDOWEVENT_CLOSE}),
            1);
  EXPECT_NE(std::find(close, game_window_events.end(), Uint8{SDL_WINDOWEVENT_EXPOSED}),
            game_window_events.end());

  // The game sees the close request once, and nothing else.
  std::vector<InputEvent> events;
  while (auto event = platform_->input().Poll()) events.push_back(*event);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, InputEvent::Type::kClose);
}

TEST_F(SdlMessageBoxesTest, CtrlCInTheTerminalClosesTheBoxAndStillReachesTheGame) {
  Start(1, font_.get());
  const BoxAnswer answer = Show(kNoStart, BoxButtons::kYesNoCancel, [](SdlBoxWindow&) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
  });
  EXPECT_EQ(answer, BoxAnswer::kCancel);
  std::vector<InputEvent> events;
  while (auto event = platform_->input().Poll()) events.push_back(*event);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, InputEvent::Type::kClose);
}

}  // namespace
}  // namespace tumu
