#include "platform/headless/headless_platform.h"

#include <cstdio>
#include <filesystem>

#include "platform/png_writer.h"

namespace tumu {

namespace {

// The calendar of a headless run starts at a fixed moment, so runs repeat exactly.
constexpr std::int64_t kHeadlessEpoch = 946684800;  // 2000-01-01 00:00:00 UTC
// Lines that run without the engine ever waiting still use up the time budget of a run, so that a
// scenario that loops forever ends: every this many such turns count as 1 ms.
constexpr std::uint64_t kBusyTurnsPerMs = 100;

}  // namespace

std::int64_t HeadlessClock::CalendarSeconds() { return kHeadlessEpoch + now_ / 1000; }

bool HeadlessDisplay::Open(const WindowConfig& config, std::string*) {
  config_ = config;
  open_ = true;
  return true;
}

void HeadlessDisplay::Present(const Surface565& frame) {
  if (last_frame_.width() != frame.width() || last_frame_.height() != frame.height()) {
    last_frame_ = Surface565(frame.width(), frame.height());
  }
  CopyRect(last_frame_, 0, 0, frame, WholeSurface(frame));
  ++presents_;
}

BoxAnswer HeadlessMessageBoxes::Show(const std::string& caption, const std::string& text,
                                     BoxButtons buttons) {
  shown.push_back(caption + "\n" + text);
  BoxAnswer answer = buttons == BoxButtons::kOk ? BoxAnswer::kOk : BoxAnswer::kYes;
  if (!answers.empty()) {
    answer = answers.front();
    answers.erase(answers.begin());
  }
  std::fprintf(stderr, "tumu: message box [%s] %s\n", caption.c_str(), text.c_str());
  return answer;
}

HeadlessInput::HeadlessInput(HeadlessClock& clock, HeadlessDisplay& display,
                             HeadlessOptions options)
    : clock_(clock),
      display_(display),
      options_(std::move(options)),
      auto_choices_(options_.auto_seed.value_or(1)) {
  // Only the last folder is made: a mistyped path must not leave a tree of folders behind.
  if (!options_.shots_dir.empty()) {
    std::error_code error;
    std::filesystem::create_directory(options_.shots_dir, error);
    if (!std::filesystem::is_directory(options_.shots_dir)) {
      ReportWriteFailure("cannot make the folder " + options_.shots_dir +
                         (error ? ": " + error.message() : std::string(": not a folder")));
      shots_impossible_ = true;
    }
  }
}

void HeadlessInput::ReportWriteFailure(const std::string& problem) {
  std::fprintf(stderr, "tumu: %s\n", problem.c_str());
  write_failed_ = true;
}

InputEvent HeadlessInput::EndOfRun(int exit_code) {
  InputEvent end;
  end.type = InputEvent::Type::kEndRun;
  end.exit_code = exit_code;
  return end;
}

void HeadlessInput::WriteShot(const std::string& path) {
  std::string error;
  if (display_.LastFrame().empty()) {
    ReportWriteFailure("no frame to write to " + path);
  } else if (!WritePng(path, display_.LastFrame(), &error)) {
    ReportWriteFailure(error);
  }
}

std::optional<InputEvent> HeadlessInput::NextScriptEvent() {
  while (next_ < options_.script.size()) {
    const ScriptEvent& e = options_.script[next_];
    InputEvent event;
    switch (e.kind) {
      case ScriptEvent::Kind::kMove:
        ++next_;
        event.type = InputEvent::Type::kMouseMove;
        event.x = e.x;
        event.y = e.y;
        return event;
      case ScriptEvent::Kind::kScreenshot:
        ++next_;
        WriteShot(e.text);
        continue;
      case ScriptEvent::Kind::kWait:
        ++next_;
        wait_until_ = clock_.now() + e.ms;
        return std::nullopt;
      default:
        break;
    }
    // The remaining kinds first let the engine settle.
    if (!settled_) return std::nullopt;
    ++next_;
    settled_ = false;
    switch (e.kind) {
      case ScriptEvent::Kind::kClick:
      case ScriptEvent::Kind::kRightClick:
        event.type = InputEvent::Type::kMouseMove;
        event.x = e.x;
        event.y = e.y;
        queued_.push_back(event);
        event.type = e.kind == ScriptEvent::Kind::kClick ? InputEvent::Type::kLeftDown
                                                         : InputEvent::Type::kRightDown;
        queued_.push_back(event);
        break;
      case ScriptEvent::Kind::kKey:
        event.type = InputEvent::Type::kKeyDown;
        event.key = e.key;
        queued_.push_back(event);
        break;
      case ScriptEvent::Kind::kType:
        event.type = InputEvent::Type::kTextEntered;
        event.text = e.text;
        queued_.push_back(event);
        break;
      default:  // settle: nothing to deliver
        break;
    }
    if (queued_.empty()) continue;
    InputEvent first = queued_.front();
    queued_.erase(queued_.begin());
    return first;
  }
  return std::nullopt;
}

std::optional<InputEvent> HeadlessInput::Poll() {
  // Without its folder of shots the run cannot do what it is for.
  if (shots_impossible_) return EndOfRun(1);
  if (!queued_.empty()) {
    InputEvent event = queued_.front();
    queued_.erase(queued_.begin());
    return event;
  }
  const std::uint64_t budget_used = clock_.now() + busy_turns_ / kBusyTurnsPerMs;
  if (budget_used > options_.max_ms) {
    std::fprintf(stderr, "tumu: the run used up its %u ms\n", options_.max_ms);
    return EndOfRun(3);
  }
  if (wait_until_) {
    if (static_cast<std::int32_t>(clock_.now() - *wait_until_) < 0) return std::nullopt;
    wait_until_.reset();
  }
  if (next_ < options_.script.size()) return NextScriptEvent();
  if (!settled_) return std::nullopt;
  if (options_.auto_play) return AutomaticAnswer();
  return EndOfRun(0);
}

InputEvent HeadlessInput::AutomaticAnswer() {
  settled_ = false;
  // An answer that changes nothing comes again at once: it counts against the run's time.
  ++busy_turns_;
  InputEvent event;
  // The game has been played through: it would only start again.
  if (status_.played_to_end) return EndOfRun(0);
  if (!status_.has_answer) {
    std::fprintf(stderr, "tumu: no region of the back screen belongs to a choice\n");
    return EndOfRun(1);
  }
  if (status_.answer_is_text) {
    event.type = InputEvent::Type::kTextEntered;
    return event;
  }
  event.type = InputEvent::Type::kMouseMove;
  event.x = status_.answer_x;
  event.y = status_.answer_y;
  if (options_.auto_seed && !status_.choice_points.empty()) {
    const Point choice = status_.choice_points[auto_choices_() % status_.choice_points.size()];
    event.x = choice.x;
    event.y = choice.y;
  }
  queued_.push_back(event);
  event.type = InputEvent::Type::kLeftDown;
  queued_.push_back(event);
  InputEvent first = queued_.front();
  queued_.erase(queued_.begin());
  return first;
}

// Nothing changes between the engine's due times, so the automatic player's engine skips to the
// next one at once: the turns in between would only compose the same frame again. Scripts step a
// millisecond at a time, so that they can look at the game at any moment.
std::uint32_t HeadlessInput::TimeStep(const TurnStatus& status) const {
  if (!options_.auto_play || !status.waiting) return 1;
  std::optional<std::uint32_t> step;
  if (status.next_due_ms) step = std::max<std::uint32_t>(*status.next_due_ms, 1);
  if (wait_until_) {
    const auto left = static_cast<std::uint32_t>(
        std::max(static_cast<std::int32_t>(*wait_until_ - clock_.now()), 1));
    step = step ? std::min(*step, left) : left;
  }
  if (!step) return 1;
  // Never past the run's budget, so that a run that times out stops where it would have.
  if (clock_.now() < options_.max_ms) step = std::min(*step, options_.max_ms + 1 - clock_.now());
  return *step;
}

void HeadlessInput::AfterTurn(const TurnStatus& status) {
  status_ = status;
  settled_ = status.settled;
  if (!status.waiting) ++busy_turns_;
  if (wait_until_ || (status.waiting && !status.settled)) clock_.Advance(TimeStep(status));
  if (settled_ && !was_settled_ && !options_.shots_dir.empty()) {
    char name[32];
    std::snprintf(name, sizeof(name), "/shot-%04d.png", ++shot_number_);
    WriteShot(options_.shots_dir + name);
    contact_sheet_.Add(display_.LastFrame());
  }
  was_settled_ = settled_;
}

HeadlessPlatform::HeadlessPlatform(HeadlessOptions options)
    : display(options.desktop_depth),
      audio(clock),
      input(clock, display, std::move(options)) {}

Platform HeadlessPlatform::platform() {
  return Platform{clock, display, input, text_input, audio, message_boxes};
}

}  // namespace tumu
