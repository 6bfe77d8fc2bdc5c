// Keeps the SDL backend library non-empty and proves at build time that the SDL headers are found.
#include <SDL.h>

namespace tumu {
int SdlCompiledMajorVersion() { return SDL_MAJOR_VERSION; }
}  // namespace tumu
