// Runs one script for its author: the top level, then named events a given number of times, and
// shows what it prints. Usage: run_script <file.qsf> [Event[:count]]...
//     run_script stage.qsf Initialize MainLoop:600

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/standalone_script.h"
#include "script/text_narrow.h"

namespace {

Value Print(ScriptMachine&, int32_t, Value* arguments) {
    std::string text = TextToNarrow(ValueToText(arguments[0]));
    text.push_back('\n');
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return Value();
}

const BuiltinEntry kBuiltins[] = {{"print", Print, 1}};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.qsf> [Event[:count]]...\n", argv[0]);
        return 2;
    }
    std::vector<StandaloneEvent> events;
    for (int i = 2; i < argc; ++i) {
        std::string spec = argv[i];
        StandaloneEvent event;
        const size_t colon = spec.find(':');
        event.name = spec.substr(0, colon);
        if (colon != std::string::npos) event.count = std::atoi(spec.c_str() + colon + 1);
        events.push_back(event);
    }
    return RunStandaloneScript(argv[1], events, kBuiltins) ? 0 : 1;
}
