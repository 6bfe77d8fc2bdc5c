// The SDL backend in a real window (under Xvfb): what reaches the screen, and what the player's
// mouse and keys become.
#include "platform/sdl/sdl_platform.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "../fake_text_renderer.h"
#include "../test_png_reader.h"
#include "platform/sdl/sdl_beep.h"
#include "sdl_test_support.h"

namespace tumu {
namespace {

using namespace testing;
using Events = std::vector<std::string>;

// Every one of the 65536 RGB565 colours, spread over the frame (an odd multiplier permutes them).
Surface565 PatternFrame() {
  Surface565 frame(kScreenWidth, kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      frame.set_pixel(x, y, static_cast<std::uint16_t>((y * kScreenWidth + x) * 40503));
    }
  }
  return frame;
}

class SdlPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screenshot_dir_ = std::filesystem::temp_directory_path() /
                      ("tumu_sdl_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(screenshot_dir_);
  }
  void TearDown() override {
    platform_.reset();
    std::filesystem::remove_all(screenshot_dir_);
  }

  // Opens the window at a scale (0 = automatic), with the pointer parked outside it so that the
  // X server sends no motion of its own.
  void OpenWindow(int scale, bool fullscreen = false, ScaleMode mode = ScaleMode::kFit) {
    platform_.reset();
    std::string error;
    SdlOptions options;
    options.scale_mode = mode;
    options.text_renderer = &renderer_;
    options.screenshot_dir = screenshot_dir_.string();
    platform_ = SdlPlatform::Create(options, &error);
    ASSERT_NE(platform_, nullptr) << error;
    SDL_WarpMouseGlobal(1279, 1023);
    WindowConfig config;
    config.scale = scale;
    config.fullscreen = fullscreen;
    config.title = "テストのゲーム";
    ASSERT_TRUE(platform_->display().Open(config, &error)) << error;
    Settle();
  }

  // Lets the window's own start-up events arrive and drops them.
  void Settle() {
    for (int i = 0; i < 5; ++i) {
      SDL_Delay(20);
      SDL_PumpEvents();
      PollAll();
    }
  }

  // Waits (a bounded while) until the renderer draws into a window of this size.
  bool WaitForOutputSize(int width, int height) {
    SDL_Renderer* renderer = SDL_GetRenderer(platform_->display().window());
    int w = 0;
    int h = 0;
    for (int i = 0; i < 300; ++i) {
      SDL_GetRendererOutputSize(renderer, &w, &h);
      if (w == width && h == height) {
        Settle();
        return true;
      }
      SDL_Delay(10);
      SDL_PumpEvents();
      PollAll();
    }
    ADD_FAILURE() << "the window stayed " << w << "x" << h;
    return false;
  }

  Uint32 id() { return platform_->display().window_id(); }
  void PushText(const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = id();
    SDL_strlcpy(event.text.text, utf8, sizeof(event.text.text));
    Push(event);
  }
  void PushComposition(const char* utf8, int cursor) {
    SDL_Event event{};
    event.type = SDL_TEXTEDITING;
    event.edit.windowID = id();
    SDL_strlcpy(event.edit.text, utf8, sizeof(event.edit.text));
    event.edit.start = cursor;
    event.edit.length = 0;
    Push(event);
  }

  // The game's events, as Describe writes them.
  std::vector<std::string> PollAll() {
    std::vector<InputEvent> events;
    while (auto event = platform_->input().Poll()) events.push_back(*event);
    return Describe(events);
  }

  RenderedImage ReadBack() {
    RenderedImage image;
    std::string error;
    EXPECT_TRUE(platform_->display().ReadBack(&image, &error)) << error;
    return image;
  }

  FakeTextRenderer renderer_;
  std::filesystem::path screenshot_dir_;
  std::unique_ptr<SdlPlatform> platform_;
};

TEST_F(SdlPlatformTest, ShowsEachFrameAsGivenAtScaleOne) {
  OpenWindow(1);
  SdlDisplay& display = platform_->display();
  EXPECT_STREQ(SDL_GetWindowTitle(display.window()), "テストのゲーム");
  SDL_RendererInfo info;
  SDL_GetRendererInfo(SDL_GetRenderer(display.window()), &info);
  std::printf("renderer: %s\n", info.name);

  const Surface565 frame = PatternFrame();
  std::vector<bool> colours(65536);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) colours[frame.pixel(x, y)] = true;
  }
  ASSERT_EQ(std::count(colours.begin(), colours.end(), true), 65536);

  display.Present(frame);
  RenderedImage image = ReadBack();
  ASSERT_EQ(image.width, 640);
  ASSERT_EQ(image.height, 480);
  ExpectShows(image, frame);
  EXPECT_EQ(display.LastFrame().pixel(17, 400), frame.pixel(17, 400));

  // A changed frame replaces it on the screen.
  Surface565 second(kScreenWidth, kScreenHeight);
  second.Fill(0xF800);
  second.FillRect({600, 400, 40, 80}, 0x07E0);
  display.Present(second);
  ExpectShows(ReadBack(), second);

  // Frames of any other size are not the game's screen and change nothing.
  display.Present(Surface565(320, 240));
  EXPECT_EQ(display.LastFrame().pixel(0, 0), 0xF800);
  EXPECT_EQ(Shown(ReadBack(), 0, 0), 0xF800);
}

TEST_F(SdlPlatformTest, PicksTheLargestScaleThatFitsTheDesktop) {
  // Xvfb's screen is 1280x1024: twice 640x480 fits with room for a title bar.
  OpenWindow(0);
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(platform_->display().window(), &width, &height);
  EXPECT_EQ(width, 1280);
  EXPECT_EQ(height, 960);
}

TEST_F(SdlPlatformTest, MapsTheMouseBackToTheScreenAtScaleTwo) {
  OpenWindow(2);
  const Surface565 frame = PatternFrame();
  platform_->display().Present(frame);
  // Every screen pixel is a sharp 2x2 block.
  ExpectShows(ReadBack(), frame, 2);

  PushMotion(id(), 1000, 700);
  PushButton(id(), 3, 5);
  PushButton(id(), 500, 500, SDL_BUTTON_MIDDLE);
  PushButton(id(), 1279, 959, SDL_BUTTON_RIGHT);
  PushMotion(id(), -10, 2000);
  EXPECT_EQ(PollAll(), (Events{"move 500,350", "left 1,2", "right 639,479", "move 0,479"}));
}

TEST_F(SdlPlatformTest, LetterboxesATallerWindowAndClampsPointsOnTheBars) {
  OpenWindow(2);
  const Surface565 frame = PatternFrame();
  platform_->display().Present(frame);
  // 100 rows more than twice 480: the picture stays at scale 2 between two bars of 50 rows.
  SDL_SetWindowSize(platform_->display().window(), 1280, 1060);
  ASSERT_TRUE(WaitForOutputSize(1280, 1060));
  const RenderedImage image = ReadBack();
  ExpectShows(image, frame, 2, 0, 50);
  for (const int row : {0, 49, 1010, 1059}) {
    EXPECT_EQ(image.argb[static_cast<std::size_t>(row) * 1280 + 640] & 0xFFFFFF, 0u) << row;
  }

  PushMotion(id(), 640, 20);
  PushMotion(id(), 640, 530);
  PushButton(id(), 640, 1050);
  EXPECT_EQ(PollAll(), (Events{"move 320,0", "move 320,240", "left 320,479"}));
}

// A frame of 20x20 blocks, each its own colour, so that the colour under a point names its block
// even where the picture is smoothed.
Surface565 BlockFrame() {
  Surface565 frame(kScreenWidth, kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      frame.set_pixel(x, y, static_cast<std::uint16_t>((1 + x / 20 + 32 * (y / 20)) * 40503));
    }
  }
  return frame;
}

// The window made 1000x700, which is no multiple of 640x480: each mode places the frame its own
// way, and in each a click lands on the game pixel drawn under it.
TEST_F(SdlPlatformTest, EveryScaleModeDrawsAndMapsTheMouseAlikeInAnOddSizedWindow) {
  struct ModeCase {
    ScaleMode mode;
    Rect target;
  };
  for (const ModeCase& c : {ModeCase{ScaleMode::kPixel, {180, 110, 640, 480}},
                            ModeCase{ScaleMode::kFit, {33, 0, 933, 700}},
                            ModeCase{ScaleMode::kSmooth, {33, 0, 933, 700}}}) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    OpenWindow(1, false, c.mode);
    const Surface565 frame = BlockFrame();
    platform_->display().Present(frame);
    SDL_SetWindowSize(platform_->display().window(), 1000, 700);
    ASSERT_TRUE(WaitForOutputSize(1000, 700));
    const Rect target = platform_->display().Layout().target;
    EXPECT_EQ(target.x, c.target.x);
    EXPECT_EQ(target.y, c.target.y);
    EXPECT_EQ(target.width, c.target.width);
    EXPECT_EQ(target.height, c.target.height);

    const RenderedImage image = ReadBack();
    for (const auto& [game_x, game_y] :
         {std::pair{10, 10}, {330, 250}, {629, 469}, {170, 90}, {450, 30}}) {
      const int x = target.x + static_cast<int>((game_x + 0.5) * target.width / kScreenWidth);
      const int y = target.y + static_cast<int>((game_y + 0.5) * target.height / kScreenHeight);
      EXPECT_EQ(Shown(image, x, y), frame.pixel(game_x, game_y)) << x << "," << y;
      PushButton(id(), x, y);
      EXPECT_EQ(PollAll(), (Events{"left " + std::to_string(game_x) + "," +
                                   std::to_string(game_y)}));
    }
    // Black bars beside the frame.
    EXPECT_EQ(image.argb[static_cast<std::size_t>(350) * 1000 + 5] & 0xFFFFFF, 0u);
  }
}

// Xvfb runs no window manager, so the X window itself keeps its size in full screen; SDL's
// window, which maps the mouse, takes the screen's size, and that is what is checked here.
TEST_F(SdlPlatformTest, AltEnterAndF11SwitchFullScreenWithoutTheGameSeeingThem) {
  OpenWindow(1);
  PushKey(id(), SDLK_RETURN, KMOD_LALT);
  EXPECT_EQ(PollAll(), Events{});
  EXPECT_TRUE(platform_->display().IsFullscreen());
  // The whole 1280x1024 screen: the picture at scale 2 between bars of 32 rows.
  PushMotion(id(), 640, 16);
  PushMotion(id(), 640, 512);
  PushMotion(id(), 1279, 1000);
  EXPECT_EQ(PollAll(), (Events{"move 320,0", "move 320,240", "move 639,479"}));

  PushKey(id(), SDLK_F11, KMOD_NONE, true);  // a held key does not switch back and forth
  EXPECT_EQ(PollAll(), Events{});
  EXPECT_TRUE(platform_->display().IsFullscreen());
  PushKey(id(), SDLK_F11);
  EXPECT_EQ(PollAll(), Events{});
  EXPECT_FALSE(platform_->display().IsFullscreen());
  PushKey(id(), SDLK_KP_ENTER, KMOD_RALT);
  EXPECT_EQ(PollAll(), Events{});
  EXPECT_TRUE(platform_->display().IsFullscreen());
}

TEST_F(SdlPlatformTest, OpensFullScreenWhenTheGameAsks) {
  OpenWindow(1, true);
  EXPECT_TRUE(platform_->display().IsFullscreen());
  PushMotion(id(), 640, 512);
  EXPECT_EQ(PollAll(), (Events{"move 320,240"}));
}

TEST_F(SdlPlatformTest, PassesTheGamesKeysAndTheReadingKeysAndSwallowsOthers) {
  OpenWindow(1);
  for (const SDL_Keycode sym : {SDLK_ESCAPE, SDLK_a, SDLK_SPACE}) PushKey(id(), sym);
  PushKey(id(), SDLK_SPACE, KMOD_NONE, true);
  PushKey(id(), SDLK_RETURN);
  PushKey(id(), SDLK_KP_ENTER);
  PushKey(id(), SDLK_ESCAPE, KMOD_NONE, true);
  PushKey(id(), SDLK_a, KMOD_NONE, true);  // a held A does not switch back and forth
  PushKey(id(), SDLK_F1);
  PushKey(id(), SDLK_PAGEUP);
  PushKey(id(), SDLK_PAGEDOWN, KMOD_NONE, true);
  PushWheel(id(), 1);
  PushWheel(id(), -2);
  PushWheel(id(), 1, SDL_MOUSEWHEEL_FLIPPED);
  PushWheel(id(), 0);
  EXPECT_EQ(PollAll(), (Events{"key escape", "key a", "key space", "key space", "key enter",
                               "key enter", "key page-up", "key page-down", "key wheel-up",
                               "key wheel-down", "key wheel-down"}));
}

TEST_F(SdlPlatformTest, KnowsWhileCtrlIsHeld) {
  OpenWindow(1);
  SdlInput& input = platform_->input();
  EXPECT_FALSE(input.ControlHeld());
  PushKey(id(), SDLK_LCTRL, KMOD_LCTRL);
  EXPECT_EQ(PollAll(), Events{});
  EXPECT_TRUE(input.ControlHeld());
  PushKey(id(), SDLK_RCTRL, KMOD_CTRL);
  PushKeyUp(id(), SDLK_LCTRL, KMOD_RCTRL);  // one of two let go
  PollAll();
  EXPECT_TRUE(input.ControlHeld());
  PushKeyUp(id(), SDLK_RCTRL, KMOD_NONE);
  PollAll();
  EXPECT_FALSE(input.ControlHeld());
  // A window that loses the keyboard hears no key go up.
  PushKey(id(), SDLK_LCTRL, KMOD_LCTRL);
  PushWindowEvent(id(), SDL_WINDOWEVENT_FOCUS_LOST);
  PollAll();
  EXPECT_FALSE(input.ControlHeld());
}

TEST_F(SdlPlatformTest, TurnsTheCloseButtonAndAQuitIntoOneCloseRequestEachEvenWithTheBoxOpen) {
  OpenWindow(1);
  PushWindowEvent(id(), SDL_WINDOWEVENT_CLOSE);
  EXPECT_EQ(PollAll(), (Events{"close"}));
  PushQuit();
  EXPECT_EQ(PollAll(), (Events{"close"}));

  // While the input box is open Escape is the box's, but the close request still reaches the
  // game.
  platform_->text_input().Open({150, 160, 180, 24});
  PushKey(id(), SDLK_ESCAPE);
  PushQuit();
  EXPECT_EQ(PollAll(), (Events{"close"}));
  EXPECT_TRUE(platform_->text_input().IsOpen());
}

TEST_F(SdlPlatformTest, WaitingLeavesAQueuedEventForTheGame) {
  OpenWindow(1);
  PushKey(id(), SDLK_SPACE);
  TurnStatus waiting;
  waiting.waiting = true;
  platform_->input().AfterTurn(waiting);
  EXPECT_EQ(PollAll(), (Events{"key space"}));
}

// Box at (150, 160), 180 x 24: with the test renderer "a" is a block at 154..159 x 166..177.
TEST_F(SdlPlatformTest, TheInputBoxTakesTheKeyboardAndGivesTheTextOnEnter) {
  OpenWindow(1);
  Surface565 frame(kScreenWidth, kScreenHeight);
  frame.Fill(0x07E0);
  platform_->display().Present(frame);
  SdlTextInput& box = platform_->text_input();
  box.Open({150, 160, 180, 24});
  EXPECT_TRUE(box.IsOpen());
  EXPECT_TRUE(SDL_IsTextInputActive());
  // Shown at once, although the game's frame did not change.
  RenderedImage image = ReadBack();
  EXPECT_EQ(Shown(image, 149, 160), 0x07E0);
  EXPECT_EQ(Shown(image, 150, 160), 0x0000);
  EXPECT_EQ(Shown(image, 329, 183), 0x0000);
  EXPECT_EQ(Shown(image, 200, 170), 0xFFFF);

  PushText("ab");
  PushText("日本");
  PushKey(id(), SDLK_BACKSPACE);
  PushKey(id(), SDLK_ESCAPE);
  PushKey(id(), SDLK_SPACE);
  PushButton(id(), 10, 10);  // the mouse still reaches the game
  EXPECT_EQ(PollAll(), (Events{"left 10,10"}));
  EXPECT_EQ(box.box().text(), "ab日");
  image = ReadBack();
  EXPECT_EQ(Shown(image, 154, 166), 0x0000);
  EXPECT_EQ(Shown(image, 153, 166), 0xFFFF);

  // While the input method composes, Enter is its own; the composition shows in blue after
  // "ab日" (32 pixels), whose block starts at 186.
  PushComposition("に", 1);
  PushKey(id(), SDLK_RETURN);
  EXPECT_EQ(PollAll(), Events{});
  EXPECT_EQ(Shown(ReadBack(), 187, 170), 0x001F);
  PushText("に");
  PushKey(id(), SDLK_RETURN);
  EXPECT_EQ(PollAll(), (Events{"text ab日に"}));
  EXPECT_FALSE(box.IsOpen());
  EXPECT_FALSE(SDL_IsTextInputActive());
  // The box is gone from the screen and keys are the game's again.
  ExpectShows(ReadBack(), frame);
  PushKey(id(), SDLK_SPACE);
  PushText(" ");
  EXPECT_EQ(PollAll(), (Events{"key space"}));
}

TEST_F(SdlPlatformTest, F12WritesWhatIsOnTheScreenAsNumberedPngs) {
  OpenWindow(1);
  const Surface565 frame = PatternFrame();
  platform_->display().Present(frame);
  PushKey(id(), SDLK_F12);
  EXPECT_EQ(PollAll(), Events{});
  const auto first = screenshot_dir_ / "screenshot-0001.png";
  ASSERT_TRUE(std::filesystem::exists(first));

  RgbImage png;
  std::string error;
  ASSERT_TRUE(ReadPngForTest(first.string(), &png, &error)) << error;
  ASSERT_EQ(png.width, 640);
  ASSERT_EQ(png.height, 480);
  int mismatches = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const auto p = png.at(x, y);
      const int back = ((p.red >> 3) << 11) | ((p.green >> 2) << 5) | (p.blue >> 3);
      if (back != frame.pixel(x, y)) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);

  // The input box is on the screen, so it is in the next one.
  platform_->text_input().Open({150, 160, 180, 24});
  PushKey(id(), SDLK_F12);
  EXPECT_EQ(PollAll(), Events{});
  const auto second = screenshot_dir_ / "screenshot-0002.png";
  ASSERT_TRUE(ReadPngForTest(second.string(), &png, &error)) << error;
  EXPECT_EQ(png.at(150, 160), (RgbImage::Pixel{0, 0, 0}));
  EXPECT_EQ(png.at(200, 170), (RgbImage::Pixel{255, 255, 255}));
}

// Without a reachable display SDL would pick a driver that shows nothing; the player gets a
// clear refusal instead of an invisible game.
TEST(SdlPlatformWithoutDisplay, RefusesToStartRatherThanPlayInvisibly) {
  std::vector<std::pair<const char*, std::string>> saved;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    ::unsetenv(name);
  }
  std::string error;
  const auto platform = SdlPlatform::Create(SdlOptions(), &error);
  for (const auto& [name, value] : saved) ::setenv(name, value.c_str(), 1);
  EXPECT_EQ(platform, nullptr);
  EXPECT_NE(error.find("no display"), std::string::npos) << error;
}

TEST(BeepTone, IsAShortSoftSineThatStartsAndEndsSilent) {
  const std::vector<std::int16_t> tone = MakeBeepTone(44100, 80, 880);
  ASSERT_EQ(tone.size(), 3528u);
  int crossings = 0;
  int peak = 0;
  for (std::size_t i = 0; i < tone.size(); ++i) {
    peak = std::max(peak, std::abs(static_cast<int>(tone[i])));
    if (i > 0 && (tone[i - 1] < 0) != (tone[i] < 0)) ++crossings;
  }
  // 880 Hz for 80 ms: 70.4 periods, two sign changes each.
  EXPECT_GE(crossings, 139);
  EXPECT_LE(crossings, 142);
  // A quarter of full scale: audible, not loud.
  EXPECT_GT(peak, 7500);
  EXPECT_LE(peak, 8192);
  // Soft edges: no click at either end.
  EXPECT_EQ(tone.front(), 0);
  EXPECT_LT(std::abs(static_cast<int>(tone.back())), 100);
  EXPECT_LT(std::abs(static_cast<int>(tone[10])), 400);
}

}  // namespace
}  // namespace tumu
