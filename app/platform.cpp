#include "app/platform.h"

#include <cstdlib>

PlatformState g_platform;

Platform& GetPlatform() {
    if (g_platform.platform == nullptr) std::abort();  // start-up installs one before anything runs
    return *g_platform.platform;
}

void SetPlatform(Platform* platform) { g_platform.platform = platform; }

void PlatformExitProcess(unsigned exitCode) {
    GetPlatform().ExitProcess(exitCode);
    std::abort();  // a platform's ExitProcess does not come back
}
