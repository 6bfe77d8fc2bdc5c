// The player's reading aids over a headless game, with the player's hands played by a list of
// steps (fast-forward is played in a window, in tests/sdl).
#include "engine/reading_comfort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>

#include "engine/game.h"
#include "fake_text_renderer.h"
#include "platform/headless/headless_platform.h"
#include "test_game.h"

namespace tumu {
namespace {

using testing::FakeTextRenderer;
using testing::Sjis;

// What the player's hands do, one step each time the game waits for them (or at once): an event,
// holding or letting go of Ctrl, or a look at the game. When the steps run out and nothing is
// due, the run ends. Time passes as a sleeping player would let it: up to what is due next.
class Hands final : public Input {
 public:
  struct Step {
    std::optional<InputEvent> event;
    std::optional<bool> control;
    std::function<void()> look;
    bool at_once = false;
  };

  explicit Hands(HeadlessClock& clock) : clock_(clock) {}

  void Key(tumu::Key key, bool at_once = false) {
    InputEvent event;
    event.type = InputEvent::Type::kKeyDown;
    event.key = key;
    steps.push_back({event, {}, {}, at_once});
  }
  void Click() {
    InputEvent event;
    event.type = InputEvent::Type::kLeftDown;
    steps.push_back({event, {}, {}});
  }
  // Holding a key waits for nothing.
  void Control(bool held) { steps.push_back({{}, held, {}, true}); }
  void Look(std::function<void()> look, bool at_once = false) {
    steps.push_back({{}, {}, std::move(look), at_once});
  }

  std::optional<InputEvent> Poll() override {
    bool stepped = false;
    while (!steps.empty() && (settled_ || steps.front().at_once)) {
      Step step = std::move(steps.front());
      steps.pop_front();
      stepped = true;
      if (step.control) control_ = *step.control;
      if (step.look) step.look();
      if (step.event) {
        settled_ = false;
        return step.event;
      }
    }
    // The aids get a turn to act on what the hands just did before the run may end.
    if (stepped || !steps.empty() || !settled_ || due_) return std::nullopt;
    InputEvent end;
    end.type = InputEvent::Type::kEndRun;
    return end;
  }

  void AfterTurn(const TurnStatus& status) override {
    if (after_turn) after_turn();
    settled_ = status.settled;
    due_ = status.next_due_ms.has_value();
    if (status.next_due_ms) {
      clock_.Advance(std::max<std::uint32_t>(*status.next_due_ms, 1));
    } else if (status.waiting && !status.settled) {
      clock_.Advance(1);
    }
  }

  bool ControlHeld() const override { return control_; }

  std::deque<Step> steps;
  std::function<void()> after_turn;

 private:
  HeadlessClock& clock_;
  bool settled_ = false;
  bool due_ = false;
  bool control_ = false;
};

class ReadingComfortTest : public ::testing::Test {
 protected:
  ReadingComfortTest()
      : backend_(HeadlessOptions()),
        hands_(backend_.clock),
        comfort_(Platform{backend_.clock, backend_.display, hands_, backend_.text_input,
                          backend_.audio, backend_.message_boxes}) {}

  // Plays the scenario to its end, or until the hands are done and the game waits for them.
  int Play(std::string_view utf8_scenario) {
    game_.WriteScenario("start.st1", utf8_scenario);
    Options options;
    options.headless = true;
    options.game_dir = game_.dir();
    options.seed = 1;
    engine_ = std::make_unique<Engine>(comfort_.platform(), std::make_unique<FakeTextRenderer>(),
                                       options);
    comfort_.Attach(*engine_);
    return RunGame(*engine_);
  }

  EngineState& state() { return engine_->state; }
  FakeTextRenderer& text() { return dynamic_cast<FakeTextRenderer&>(*engine_->text); }
  // What the player sees, and what the game drew.
  const Surface565& Shown() { return backend_.display.LastFrame(); }
  const Surface565& GameFrame() { return comfort_.platform().display.LastFrame(); }

  testing::TestGame game_;
  HeadlessPlatform backend_;
  Hands hands_;
  ReadingComfort comfort_;
  std::unique_ptr<Engine> engine_;
};

// A point of the aids' mark, in the top right corner.
constexpr int kMarkX = kScreenWidth - 60;
constexpr int kMarkY = 8;

// The error screen waits for a plain click, which auto-advance would give: it must be the
// player's own.
TEST_F(ReadingComfortTest, NeitherAidAnswersTheErrorScreen) {
  hands_.Key(Key::kA, /*at_once=*/true);
  hands_.Control(true);
  EXPECT_EQ(Play("＃セリフ\n読む\n\n＃ないコマンド\n＃終了\n"), 0);
  EXPECT_FALSE(engine_->quit);
  EXPECT_EQ(state().error_halt, 1);
}

TEST_F(ReadingComfortTest, AutoAdvanceWaitsLongerForLongerText) {
  // The time of every start and end of a click wait.
  std::vector<std::uint32_t> changes;
  hands_.after_turn = [&] {
    if ((state().click_wait == 1) != (changes.size() % 2 == 1)) {
      changes.push_back(backend_.clock.now());
    }
  };
  hands_.Key(Key::kA, /*at_once=*/true);
  EXPECT_EQ(Play("＃セリフ\nあいうえお\n\n＃セリフ\nかきくけこ\nさしすせそ\n\n"
                 "＃時間待ち\n1\n＃終了\n"),
            0);
  EXPECT_TRUE(engine_->quit);
  ASSERT_EQ(changes.size(), 4u);
  EXPECT_EQ(changes[1] - changes[0], 1500u + 5 * 60);
  EXPECT_EQ(changes[3] - changes[2], 1500u + 10 * 60);
  EXPECT_NE(Shown().pixel(kMarkX, kMarkY), GameFrame().pixel(kMarkX, kMarkY));
}

// The game's whole state as bytes, to compare before and after.
std::vector<unsigned char> Snapshot(const EngineState& state) {
  std::vector<unsigned char> bytes(sizeof(EngineState));
  std::memcpy(bytes.data(), &state, sizeof(EngineState));
  return bytes;
}

TEST_F(ReadingComfortTest, TheBacklogShowsEarlierPagesAndLeavesTheGameAsItWas) {
  std::vector<unsigned char> before;
  auto shows = [&](int page, std::string_view utf8) {
    hands_.Look([this, page, utf8] {
      EXPECT_EQ(comfort_.backlog_page(), page);
      const auto& drawn = text().drawn;
      EXPECT_NE(std::find(drawn.begin(), drawn.end(), Sjis(utf8)), drawn.end()) << utf8;
      // Over the darkened game (here the dialogue window's frame), a panel.
      EXPECT_NE(Shown().pixel(32, 24), GameFrame().pixel(32, 24));
      EXPECT_LT(Shown().pixel(20, 360) & 0x1F, (GameFrame().pixel(20, 360) & 0x1F) / 2);
      text().drawn.clear();
    });
  };
  const auto closed = [&] {
    EXPECT_FALSE(comfort_.backlog_open());
    EXPECT_TRUE(Snapshot(state()) == before);
    EXPECT_EQ(Shown().pixel(32, 24), GameFrame().pixel(32, 24));
  };
  hands_.Click();
  hands_.Click();
  hands_.Look([&] { before = Snapshot(state()); });
  hands_.Key(Key::kWheelUp);  // opens on the page before the newest
  shows(1, "二番目のページ");
  hands_.Key(Key::kPageUp);
  hands_.Key(Key::kWheelUp);  // the oldest page stays
  shows(0, "最初のページ");
  hands_.Key(Key::kWheelDown);
  hands_.Key(Key::kPageDown);
  shows(2, "三番目のページ");
  hands_.Key(Key::kWheelDown);  // past the newest: closed
  hands_.Look(closed, /*at_once=*/true);
  hands_.Key(Key::kPageUp);
  hands_.Key(Key::kEscape);  // closes it; the game does not see the key
  hands_.Look(closed, true);
  hands_.Key(Key::kWheelUp);
  hands_.Click();  // closes it; the game does not see the click
  hands_.Look(closed, true);
  hands_.Click();  // the game goes on
  EXPECT_EQ(Play("＃セリフ\n最初のページ\n\n＃セリフ\n二番目のページ\n\n"
                 "＃セリフ\n三番目のページ\n\n＃終了\n"),
            0);
  EXPECT_TRUE(engine_->quit);
  EXPECT_TRUE(hands_.steps.empty());
}

}  // namespace
}  // namespace tumu
