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
#include "sdl_test_support.h"

namespace tumu {
namespace {

using namespace std::chrono_literals;
using namespace testing;

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

// A click in the middle of a button, in the window's own pixels.
void PushClick(SdlBoxWindow& window, std::size_t button) {
  const Rect place = window.box().buttons().at(button).place;
  const int x = (place.x + place.width / 2) * window.scale();
  const int y = (place.y + place.height / 2) * window.scale();
  PushButton(window.id(), x, y);
  PushButton(window.id(), x, y, SDL_BUTTON_LEFT, /*down=*/false);
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

  // The game sees one close request and nothing else.
  void ExpectOnlyACloseRequest() {
    std::vector<InputEvent> events;
    while (auto event = platform_->input().Poll()) events.push_back(*event);
    EXPECT_EQ(Describe(events), std::vector<std::string>{"close"});
  }

  std::unique_ptr<TextRenderer> font_;
  std::unique_ptr<SdlPlatform> platform_;
  int shown_ = 0;
};

// What the window shows: the box as the core draws it, pixel for pixel, at the window's scale.
void ExpectShowsBox(SdlBoxWindow& window, const MessageBox& box, int scale) {
  Surface565 picture(box.width(), box.height());
  box.Draw(picture);
  RenderedImage image;
  std::string error;
  ASSERT_TRUE(window.ReadBack(&image, &error)) << error;
  ASSERT_EQ(image.width, scale * box.width());
  ASSERT_EQ(image.height, scale * box.height());
  ExpectShows(image, picture, scale);
}

TEST_F(SdlMessageBoxesTest, ShowsTheJapaneseTextInAWindowOfItsOwnCentredOnTheScreen) {
  Start(1, font_.get());
  for (const auto& [text, buttons] : {std::pair{kNoStart, BoxButtons::kOk},
                                      std::pair{kWindowQuestion, BoxButtons::kYesNo}}) {
    SCOPED_TRACE(text);
    const MessageBox expected(text, buttons, *font_);
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
      ExpectShowsBox(window, expected, 1);
      // Ink on every line that has text, across its width.
      RenderedImage image;
      std::string error;
      ASSERT_TRUE(window.ReadBack(&image, &error)) << error;
      for (std::size_t line = 0; line < expected.lines().size(); ++line) {
        if (expected.lines()[line].empty()) continue;
        const Rect place = expected.LinePlace(line);
        int ink[2] = {};
        for (int py = place.y; py < place.y + place.height; ++py) {
          for (int px = place.x; px < place.x + place.width; ++px) {
            if (Shown(image, px, py) == BoxColors().ink) ++ink[px >= place.x + place.width / 2];
          }
        }
        EXPECT_GT(ink[0], 20) << "line " << line;
        EXPECT_GT(ink[1], 20) << "line " << line;
      }
      PushKey(window.id(), SDLK_RETURN);
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
      for (const SDL_Keycode sym : syms) PushKey(window.id(), sym, sym == SDLK_TAB ? mod : 0);
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
         PushKey(w.id(), SDLK_TAB);
         PushButton(w.id(), yes.x + 4, yes.y + 4);
         PushButton(w.id(), no.x + 4, no.y + 4, SDL_BUTTON_LEFT, /*down=*/false);
         PushKey(w.id(), SDLK_RETURN);
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
         PushKey(w.id(), SDLK_RETURN, KMOD_NONE, true);
         for (const SDL_Keycode sym : {SDLK_a, SDLK_F11, SDLK_n}) PushKey(w.id(), sym);
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
  PushKey(0, SDLK_ESCAPE);
  EXPECT_EQ(Show(kWindowQuestion, BoxButtons::kYesNo, nullptr), BoxAnswer::kNo);
  EXPECT_EQ(shown_, 1);
  PushKey(0, SDLK_TAB);
  PushKey(0, SDLK_RETURN);
  EXPECT_EQ(Show(kWindowQuestion, BoxButtons::kYesNoCancel, nullptr), BoxAnswer::kNo);
}

TEST_F(SdlMessageBoxesTest, TakesTheGamesScaleAndMapsClicksBack) {
  // Xvfb's screen is 1280x1024: the game's window would be twice 640x480, and so is the box.
  Start(0, font_.get());
  const MessageBox expected(kWindowQuestion, BoxButtons::kYesNo, *font_);
  const BoxAnswer answer = Show(kWindowQuestion, BoxButtons::kYesNo, [&](SdlBoxWindow& window) {
    EXPECT_EQ(window.scale(), 2);
    ExpectShowsBox(window, expected, 2);
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
    PushButton(game, 100, 100);
    PushKey(game, SDLK_SPACE);
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
  ExpectOnlyACloseRequest();
}

TEST_F(SdlMessageBoxesTest, CtrlCInTheTerminalClosesTheBoxAndStillReachesTheGame) {
  Start(1, font_.get());
  const BoxAnswer answer =
      Show(kNoStart, BoxButtons::kYesNoCancel, [](SdlBoxWindow&) { PushQuit(); });
  EXPECT_EQ(answer, BoxAnswer::kCancel);
  ExpectOnlyACloseRequest();
}

}  // namespace
}  // namespace tumu
