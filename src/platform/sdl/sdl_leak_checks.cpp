#include "platform/sdl/sdl_leak_checks.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define TUMU_LEAK_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TUMU_LEAK_CHECKS 1
#endif
#endif

namespace tumu {

void KeepGraphicsDriversLoaded() {
#ifdef TUMU_LEAK_CHECKS
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void*) {
        if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "_dri.so") != nullptr) {
          // Marks the loaded driver as never to be unloaded; the handle is kept on purpose.
          dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
      },
      nullptr);
#endif
}

}  // namespace tumu
