#include "app/winmain.h"

#include "base/console.h"

int WinMain(void* instance, void* previousInstance, const char* commandLine, int showCommand) {
    (void)instance;
    (void)previousInstance;
    (void)commandLine;
    (void)showCommand;
    ConsolePrintf(
        "\nfuchsiablack{Application diagnostics:} yellowblack{Game mode is not part of this build yet}");
    return 0;
}
