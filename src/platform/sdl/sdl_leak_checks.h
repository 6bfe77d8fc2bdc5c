// What sanitizer builds need to check the player's own memory under a real X server.
#pragma once

namespace tumu {

// Keeps the graphics drivers that SDL's renderer loaded (Mesa's "*_dri.so") loaded until the
// process ends. The drivers keep a few allocations past their unloading; once unloaded, the leak
// report at exit could not name them, and so could not leave them out. Does nothing in builds
// without the leak checker.
void KeepGraphicsDriversLoaded();

}  // namespace tumu
