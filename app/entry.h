#pragma once
// Program entry and command line.

// The start-up sequence; ends the process through the platform, never returns.
[[noreturn]] void ProgramMain(int argc, char** argv);
