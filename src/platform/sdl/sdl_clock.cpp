#include "platform/sdl/sdl_clock.h"

#include <SDL.h>

#include <ctime>

namespace tumu {

// SDL_GetTicks wraps after 49 days like the game's own tick counter; the game compares ticks by
// difference, so the wrap does no harm.
std::uint32_t SdlClock::Ticks() { return SDL_GetTicks(); }

std::int64_t SdlClock::CalendarSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

void SdlClock::Sleep(std::uint32_t ms) { SDL_Delay(ms); }

}  // namespace tumu
