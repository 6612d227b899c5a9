// Runs one script for its author: the top level, then named events a given number of times, and
// shows what it prints. Usage: run_script <file.qsf> [Event[:count]]...
//     run_script stage.qsf Initialize MainLoop:600

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/builtin_table.h"
#include "host/standalone_script.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.qsf> [Event[:count]]...\n", argv[0]);
        return 2;
    }
    std::vector<StandaloneEvent> events;
    for (int i = 2; i < argc; ++i) {
        std::string argument = argv[i];
        StandaloneEvent event;
        const size_t colon = argument.find(':');
        event.name = argument.substr(0, colon);
        if (colon != std::string::npos) event.count = std::atoi(argument.c_str() + colon + 1);
        events.push_back(event);
    }
    return RunStandaloneScript(argv[1], events, BuiltinTable()) ? 0 : 1;
}
