#include "app/entry.h"

#include "app/console.h"
#include "app/platform.h"

void ProgramMain(int argc, char** argv) {
    (void)argc;
    (void)argv;
    GetPlatform().SetConsoleTitle("Sparrel Console");
    ConsolePrintf("Sparrel Console");
    ConsolePrintf("\nyellowblack{Application started}");
    PlatformExitProcess(0);
}
