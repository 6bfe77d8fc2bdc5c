// The SDL backend in a real window (under Xvfb): what reaches the screen, and what the player's
// mouse and keys become.
#include "platform/sdl/sdl_platform.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

#include "../fake_text_renderer.h"
#include "../test_png_reader.h"

namespace tumu {
namespace {

using testing::FakeTextRenderer;
using Type = InputEvent::Type;

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

// A shown ARGB pixel reduced to the top 5, 6 and 5 bits of its channels.
std::uint16_t To565(std::uint32_t argb) {
  return static_cast<std::uint16_t>((((argb >> 19) & 0x1F) << 11) | (((argb >> 10) & 0x3F) << 5) |
                                    ((argb >> 3) & 0x1F));
}

// Compares a region of the window with the frame, the window showing frame pixel (x, y) at
// (left + x * scale, top + y * scale); names the first pixels that differ.
void ExpectShows(const RenderedImage& image, const Surface565& frame, int scale, int left,
                 int top) {
  ASSERT_GE(image.width, left + frame.width() * scale);
  ASSERT_GE(image.height, top + frame.height() * scale);
  int mismatches = 0;
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
          const std::size_t at = static_cast<std::size_t>(top + y * scale + dy) * image.width +
                                 left + x * scale + dx;
          const std::uint16_t shown = To565(image.argb[at]);
          if (shown != frame.pixel(x, y) && ++mismatches <= 5) {
            ADD_FAILURE() << "frame pixel (" << x << ", " << y << "): shown " << std::hex
                          << shown << ", given " << frame.pixel(x, y);
          }
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
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
  void OpenWindow(int scale, bool fullscreen = false) {
    std::string error;
    SdlOptions options;
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
      while (platform_->input().Poll().has_value()) {
      }
    }
  }

  // Waits (a bounded while) until the renderer draws into a window of this size.
  bool WaitForOutputSize(int width, int height) {
    SDL_Renderer* renderer = SDL_GetRenderer(platform_->display().window());
    for (int i = 0; i < 300; ++i) {
      int w = 0;
      int h = 0;
      SDL_GetRendererOutputSize(renderer, &w, &h);
      if (w == width && h == height) {
        Settle();
        return true;
      }
      SDL_Delay(10);
      SDL_PumpEvents();
      while (platform_->input().Poll().has_value()) {
      }
    }
    int w = 0;
    int h = 0;
    SDL_GetRendererOutputSize(renderer, &w, &h);
    ADD_FAILURE() << "the window stayed " << w << "x" << h;
    return false;
  }

  void Push(SDL_Event event) {
    event.common.timestamp = SDL_GetTicks();
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  void PushMotion(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = platform_->display().window_id();
    event.motion.x = x;
    event.motion.y = y;
    Push(event);
  }
  void PushButton(Uint8 button, int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = platform_->display().window_id();
    event.button.button = button;
    event.button.state = SDL_PRESSED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    Push(event);
  }
  void PushKey(SDL_Keycode sym, Uint16 mod = KMOD_NONE, bool repeat = false) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = platform_->display().window_id();
    event.key.state = SDL_PRESSED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = sym;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    event.key.keysym.mod = mod;
    Push(event);
  }
  void PushText(const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = platform_->display().window_id();
    SDL_strlcpy(event.text.text, utf8, sizeof(event.text.text));
    Push(event);
  }
  void PushComposition(const char* utf8, int cursor) {
    SDL_Event event{};
    event.type = SDL_TEXTEDITING;
    event.edit.windowID = platform_->display().window_id();
    SDL_strlcpy(event.edit.text, utf8, sizeof(event.edit.text));
    event.edit.start = cursor;
    event.edit.length = 0;
    Push(event);
  }

  std::vector<InputEvent> PollAll() {
    std::vector<InputEvent> events;
    while (auto event = platform_->input().Poll()) events.push_back(*event);
    return events;
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
  std::set<std::uint16_t> colours;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) colours.insert(frame.pixel(x, y));
  }
  ASSERT_EQ(colours.size(), 65536u);

  display.Present(frame);
  RenderedImage image = ReadBack();
  ASSERT_EQ(image.width, 640);
  ASSERT_EQ(image.height, 480);
  ExpectShows(image, frame, 1, 0, 0);
  EXPECT_EQ(display.LastFrame().pixel(17, 400), frame.pixel(17, 400));

  // A changed frame replaces it on the screen.
  Surface565 second(kScreenWidth, kScreenHeight);
  second.Fill(0xF800);
  second.FillRect({600, 400, 40, 80}, 0x07E0);
  display.Present(second);
  image = ReadBack();
  ExpectShows(image, second, 1, 0, 0);

  // Frames of any other size are not the game's screen and change nothing.
  display.Present(Surface565(320, 240));
  EXPECT_EQ(display.LastFrame().pixel(0, 0), 0xF800);
  image = ReadBack();
  EXPECT_EQ(To565(image.argb[0]), 0xF800);
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
  ExpectShows(ReadBack(), frame, 2, 0, 0);

  PushMotion(1000, 700);
  PushButton(SDL_BUTTON_LEFT, 3, 5);
  PushButton(SDL_BUTTON_MIDDLE, 500, 500);
  PushButton(SDL_BUTTON_RIGHT, 1279, 959);
  PushMotion(-10, 2000);
  const std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].type, Type::kMouseMove);
  EXPECT_EQ(events[0].x, 500);
  EXPECT_EQ(events[0].y, 350);
  EXPECT_EQ(events[1].type, Type::kLeftDown);
  EXPECT_EQ(events[1].x, 1);
  EXPECT_EQ(events[1].y, 2);
  EXPECT_EQ(events[2].type, Type::kRightDown);
  EXPECT_EQ(events[2].x, 639);
  EXPECT_EQ(events[2].y, 479);
  EXPECT_EQ(events[3].type, Type::kMouseMove);
  EXPECT_EQ(events[3].x, 0);
  EXPECT_EQ(events[3].y, 479);
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

  PushMotion(640, 20);
  PushMotion(640, 530);
  PushButton(SDL_BUTTON_LEFT, 640, 1050);
  const std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].y, 0);
  EXPECT_EQ(events[1].x, 320);
  EXPECT_EQ(events[1].y, 240);
  EXPECT_EQ(events[2].type, Type::kLeftDown);
  EXPECT_EQ(events[2].y, 479);
}

// Xvfb runs no window manager, so the X window itself keeps its size in full screen; SDL's
// window, which maps the mouse, takes the screen's size, and that is what is checked here.
TEST_F(SdlPlatformTest, AltEnterAndF11SwitchFullScreenWithoutTheGameSeeingThem) {
  OpenWindow(1);
  PushKey(SDLK_RETURN, KMOD_LALT);
  EXPECT_TRUE(PollAll().empty());
  EXPECT_TRUE(platform_->display().IsFullscreen());
  // The whole 1280x1024 screen: the picture at scale 2 between bars of 32 rows.
  PushMotion(640, 16);
  PushMotion(640, 512);
  PushMotion(1279, 1000);
  std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].y, 0);
  EXPECT_EQ(events[1].x, 320);
  EXPECT_EQ(events[1].y, 240);
  EXPECT_EQ(events[2].x, 639);
  EXPECT_EQ(events[2].y, 479);

  PushKey(SDLK_F11, KMOD_NONE, true);  // a held key does not switch back and forth
  EXPECT_TRUE(PollAll().empty());
  EXPECT_TRUE(platform_->display().IsFullscreen());
  PushKey(SDLK_F11);
  EXPECT_TRUE(PollAll().empty());
  EXPECT_FALSE(platform_->display().IsFullscreen());
  PushKey(SDLK_KP_ENTER, KMOD_RALT);
  EXPECT_TRUE(PollAll().empty());
  EXPECT_TRUE(platform_->display().IsFullscreen());
}

TEST_F(SdlPlatformTest, OpensFullScreenWhenTheGameAsks) {
  OpenWindow(1, true);
  EXPECT_TRUE(platform_->display().IsFullscreen());
  PushMotion(640, 512);
  const std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].x, 320);
  EXPECT_EQ(events[0].y, 240);
}

TEST_F(SdlPlatformTest, PassesEscapeSpaceAndEnterAndSwallowsOtherKeys) {
  OpenWindow(1);
  PushKey(SDLK_ESCAPE);
  PushKey(SDLK_a);
  PushKey(SDLK_SPACE);
  PushKey(SDLK_SPACE, KMOD_NONE, true);
  PushKey(SDLK_RETURN);
  PushKey(SDLK_KP_ENTER);
  PushKey(SDLK_ESCAPE, KMOD_NONE, true);
  PushKey(SDLK_F1);
  const std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 5u);
  for (const InputEvent& event : events) EXPECT_EQ(event.type, Type::kKeyDown);
  EXPECT_EQ(events[0].key, Key::kEscape);
  EXPECT_EQ(events[1].key, Key::kSpace);
  EXPECT_EQ(events[2].key, Key::kSpace);
  EXPECT_EQ(events[3].key, Key::kEnter);
  EXPECT_EQ(events[4].key, Key::kEnter);
}

TEST_F(SdlPlatformTest, TurnsTheCloseButtonAndAQuitIntoOneCloseRequestEach) {
  OpenWindow(1);
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = platform_->display().window_id();
  Push(close);
  std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::kClose);

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  events = PollAll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::kClose);
}

TEST_F(SdlPlatformTest, WaitingLeavesAQueuedEventForTheGame) {
  OpenWindow(1);
  PushKey(SDLK_SPACE);
  TurnStatus waiting;
  waiting.waiting = true;
  platform_->input().AfterTurn(waiting);
  const std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].key, Key::kSpace);
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
  auto shown = [&](int x, int y) {
    return To565(image.argb[static_cast<std::size_t>(y) * image.width + x]);
  };
  EXPECT_EQ(shown(149, 160), 0x07E0);
  EXPECT_EQ(shown(150, 160), 0x0000);
  EXPECT_EQ(shown(329, 183), 0x0000);
  EXPECT_EQ(shown(200, 170), 0xFFFF);

  PushText("ab");
  PushText("日本");
  PushKey(SDLK_BACKSPACE);
  PushKey(SDLK_ESCAPE);
  PushKey(SDLK_SPACE);
  PushButton(SDL_BUTTON_LEFT, 10, 10);  // the mouse still reaches the game
  std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::kLeftDown);
  EXPECT_EQ(box.box().text(), "ab日");
  image = ReadBack();
  EXPECT_EQ(shown(154, 166), 0x0000);
  EXPECT_EQ(shown(153, 166), 0xFFFF);

  // While the input method composes, Enter is its own; the composition shows in blue after
  // "ab日" (32 pixels), whose block starts at 186.
  PushComposition("に", 1);
  PushKey(SDLK_RETURN);
  EXPECT_TRUE(PollAll().empty());
  image = ReadBack();
  EXPECT_EQ(shown(187, 170), 0x001F);
  PushText("に");
  PushKey(SDLK_RETURN);
  events = PollAll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::kTextEntered);
  EXPECT_EQ(events[0].text, "ab日に");
  EXPECT_FALSE(box.IsOpen());
  EXPECT_FALSE(SDL_IsTextInputActive());
  // The box is gone from the screen and keys are the game's again.
  ExpectShows(ReadBack(), frame, 1, 0, 0);
  PushKey(SDLK_SPACE);
  PushText(" ");
  events = PollAll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].key, Key::kSpace);
}

TEST_F(SdlPlatformTest, TheCloseRequestStillReachesTheGameWhileTheBoxIsOpen) {
  OpenWindow(1);
  platform_->text_input().Open({150, 160, 180, 24});
  PushKey(SDLK_ESCAPE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  const std::vector<InputEvent> events = PollAll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::kClose);
  EXPECT_TRUE(platform_->text_input().IsOpen());
}

TEST_F(SdlPlatformTest, F12WritesWhatIsOnTheScreenAsNumberedPngs) {
  OpenWindow(1);
  const Surface565 frame = PatternFrame();
  platform_->display().Present(frame);
  PushKey(SDLK_F12);
  EXPECT_TRUE(PollAll().empty());
  const auto first = screenshot_dir_ / "screenshot-0001.png";
  ASSERT_TRUE(std::filesystem::exists(first));

  testing::RgbImage png;
  std::string error;
  ASSERT_TRUE(testing::ReadPngForTest(first.string(), &png, &error)) << error;
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
  PushKey(SDLK_F12);
  EXPECT_TRUE(PollAll().empty());
  const auto second = screenshot_dir_ / "screenshot-0002.png";
  ASSERT_TRUE(testing::ReadPngForTest(second.string(), &png, &error)) << error;
  EXPECT_EQ(png.at(150, 160), (testing::RgbImage::Pixel{0, 0, 0}));
  EXPECT_EQ(png.at(200, 170), (testing::RgbImage::Pixel{255, 255, 255}));
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
