#pragma once
// One script run outside the table of script slots: read, preprocess, compile, run the top level,
// then named event routines, with errors reported as the engine reports them. The developer runner
// and the script tests use it.

#include <span>
#include <string>

#include "script/builtin.h"

struct StandaloneEvent {
    std::string name;
    int count = 1;
};

// Runs the script at `path` with the given builtin rows. Compile errors are printed as
// "Engine error" and stop everything; each run (top level, every event call) that ends with the
// machine's error flag set is followed by a "Machine error" report. An event the script does not
// define does nothing. Returns false when the file could not be read or the script did not compile.
bool RunStandaloneScript(const std::string& path, std::span<const StandaloneEvent> events,
                         std::span<const BuiltinEntry> builtins);
