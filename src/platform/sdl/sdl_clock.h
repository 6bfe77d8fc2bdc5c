// Time for the SDL backend: SDL's millisecond tick, the calendar, and a blocking sleep.
#pragma once

#include "platform/platform.h"

namespace tumu {

class SdlClock : public Clock {
 public:
  std::uint32_t Ticks() override;
  std::int64_t CalendarSeconds() override;
  void Sleep(std::uint32_t ms) override;
};

}  // namespace tumu
