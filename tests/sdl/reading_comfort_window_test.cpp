// The reading aids in a real window (under Xvfb): a game played through the SDL backend with the
// player's Ctrl, wheel and keys arriving as SDL events.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "../fake_text_renderer.h"
#include "../test_game.h"
#include "../test_png_reader.h"
#include "engine/frame_driver.h"
#include "engine/game.h"
#include "engine/reading_comfort.h"
#include "engine/window_proc.h"
#include "platform/sdl/sdl_platform.h"
#include "vars/variables.h"
#include "sdl_test_support.h"

namespace tumu {
namespace {

using namespace testing;

class WindowGameTest : public ::testing::Test {
 protected:
  void Start(std::string_view scenario, const SdlOptions& sdl_options = SdlOptions()) {
    game_.WriteScenario("start.st1", scenario);
    std::string error;
    platform_ = SdlPlatform::Create(sdl_options, &error);
    ASSERT_NE(platform_, nullptr) << error;
    SDL_WarpMouseGlobal(1279, 1023);
    comfort_ = std::make_unique<ReadingComfort>(platform_->platform());
    Options options;
    options.game_dir = game_.dir();
    options.window_mode = 1;
    options.scale = 1;
    options.save_dir = game_.dir();
    engine_ = std::make_unique<Engine>(comfort_->platform(), std::make_unique<FakeTextRenderer>(),
                                       options);
    comfort_->Attach(*engine_);
    platform_->SetScreenshotDir(game_.dir());
    ASSERT_TRUE(StartGame(*engine_));
  }

  // The main loop's passes, until `done` holds, the game ends or `max_ms` pass.
  bool RunUntil(const std::function<bool()>& done, std::uint32_t max_ms = 5000) {
    Input& input = engine_->platform.input;
    const std::uint32_t start = SDL_GetTicks();
    while (!done()) {
      if (engine_->quit || SDL_GetTicks() - start > max_ms) return false;
      if (std::optional<InputEvent> event = input.Poll()) {
        HandleInputEvent(*engine_, *event);
        continue;
      }
      FrameTurn(*engine_);
      input.AfterTurn(ComputeTurnStatus(*engine_));
    }
    return true;
  }
  // Takes every queued event through the input, with no turn of the game: none may reach it.
  void PollWithoutTurns() {
    SDL_Event queued;
    do {
      ASSERT_FALSE(engine_->platform.input.Poll().has_value());
    } while (SDL_PeepEvents(&queued, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0);
  }
  bool WaitForClick() {
    return RunUntil([this] { return ComputeTurnStatus(*engine_).settled; });
  }

  Uint32 id() { return platform_->display().window_id(); }
  EngineState& state() { return engine_->state; }

  TestGame game_;
  std::unique_ptr<SdlPlatform> platform_;
  std::unique_ptr<ReadingComfort> comfort_;
  std::unique_ptr<Engine> engine_;
};

TEST_F(WindowGameTest, HeldCtrlSkipsOnlyWhereTheGameAllowsIt) {
  Start("＃スキップオフ\n＃セリフ\n一\n\n＃スキップ\n"
        "＃セリフ\n二\n\n＃セリフ\n三\n\n＃終了\n");
  PushKey(id(), SDLK_LCTRL, KMOD_LCTRL);
  ASSERT_TRUE(WaitForClick());
  const int line = state().current_line;
  RunUntil([] { return false; }, 400);
  EXPECT_EQ(state().current_line, line);
  EXPECT_EQ(state().click_wait, 1);
  // A click goes on; past "＃スキップ" the held Ctrl answers every page by itself.
  PushButton(id(), 100, 100);
  RunUntil([] { return false; });
  EXPECT_TRUE(engine_->quit) << "stopped at line " << state().current_line;
}

TEST_F(WindowGameTest, TheBacklogOpensAndClosesWithTheGameUnchanged) {
  Start("＃セリフ\n最初のページ\n\n＃セリフ\n二番目のページ\n\n"
        "＃セリフ\n三番目のページ\n\n＃終了\n");
  for (int click = 0; click < 2; ++click) {
    ASSERT_TRUE(WaitForClick());
    PushButton(id(), 100, 100);
    ASSERT_TRUE(RunUntil([this] { return state().click_wait == 0; }));
  }
  ASSERT_TRUE(WaitForClick());
  const auto snapshot = [this] {
    std::vector<unsigned char> bytes(sizeof(EngineState));
    std::memcpy(bytes.data(), &state(), sizeof(EngineState));
    return bytes;
  };
  const std::vector<unsigned char> before = snapshot();
  const Surface565 game_frame = engine_->platform.display.LastFrame();

  // Open, photograph, one page on, and past the newest: closed.
  PushWheel(id(), 1);
  PushKey(id(), SDLK_F12);
  PushWheel(id(), -1);
  PushWheel(id(), -1);
  PollWithoutTurns();
  EXPECT_FALSE(comfort_->backlog_open());
  EXPECT_TRUE(snapshot() == before);

  // The screenshot shows the backlog over the darkened game, and the earlier page in it.
  RgbImage png;
  std::string error;
  ASSERT_TRUE(ReadPngForTest(game_.Path("screenshot-0001.png"), &png, &error)) << error;
  const auto p = png.at(20, 360);  // the dialogue window's frame, outside the panel
  const Rgb frame_colour = PixelToColor(PixelFormat(), game_frame.pixel(20, 360));
  EXPECT_LT(p.blue, frame_colour.blue / 2);
  const auto& drawn = dynamic_cast<FakeTextRenderer&>(*engine_->text).drawn;
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), Sjis("二番目のページ")), drawn.end());
  // The window shows the game again.
  RenderedImage image;
  ASSERT_TRUE(platform_->display().ReadBack(&image, &error)) << error;
  ExpectShows(image, game_frame);

  PushButton(id(), 100, 100);
  RunUntil([] { return false; });
  EXPECT_TRUE(engine_->quit);
}

TEST_F(WindowGameTest, AChoiceClickedInAResizedWindowIsTheChoiceTaken) {
  const std::string labels = "＃1\n選＝1\n＃2\n選＝2\n＃3\n選＝3\n＃＃＃＃\n";
  SdlOptions options;
  options.scale_mode = ScaleMode::kFit;
  Start("＃変数宣言\n選\n\n＃選択\n選択1\n選択2\n選択3\n\n" + labels + "＃終了\n", options);
  SDL_SetWindowSize(platform_->display().window(), 1000, 700);
  ASSERT_TRUE(RunUntil([this] { return platform_->display().Layout().target.width == 933; }));
  ASSERT_TRUE(WaitForClick());
  // The second choice's row, at the letterboxed window's scale.
  const Rect target = platform_->display().Layout().target;
  const int x = target.x + (120 * target.width + target.width / 2) / kScreenWidth;
  const int y = target.y + (233 * target.height + target.height / 2) / kScreenHeight;
  PushMotion(id(), x, y);
  PushButton(id(), x, y);
  RunUntil([] { return false; });
  EXPECT_TRUE(engine_->quit);
  EXPECT_EQ(state().numeric_values[static_cast<std::size_t>(FindVariable(state(), Sjis("選")))], 2);
}

}  // namespace
}  // namespace tumu
