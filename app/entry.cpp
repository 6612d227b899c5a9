#include "app/entry.h"

#include "app/command_line.h"
#include "base/console.h"
#include "base/platform.h"
#include "app/winmain.h"
#include "script/shotdata_check.h"

void ProgramMain(int argc, char** argv) {
    Platform& platform = GetPlatform();
    platform.SetConsoleTitle("Sparrel Console");
    ConsolePrintf("Sparrel Console");
    ConsolePrintf("\nyellowblack{Application started}");
    RunShotDataTokenCheck();
    if (EvaluateCommandLine(argc, argv)) PlatformExitProcess(0);

    ConsolePrintf("\nyellowblack{Calling WinMain...}");
    const char* commandLine = platform.GetCommandLine();
    void* instance = platform.GetModuleHandle();
    PlatformExitProcess(static_cast<unsigned>(WinMain(instance, nullptr, commandLine, kShowWindowDefault)));
}
