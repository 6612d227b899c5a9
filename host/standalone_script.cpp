#include "host/standalone_script.h"

#include "base/console.h"
#include "base/text_file.h"
#include "ecs/entity_system.h"
#include "script/compiler.h"
#include "script/machine.h"
#include "script/preprocessor.h"

namespace {

void ReportMachineError(const ScriptMachine& machine) {
    if (!machine.error.raised) return;
    ConsolePrintf("\nredblack{Machine error:} Line aquablack{%d} %s", static_cast<int>(machine.error.line),
                  machine.error.message.c_str());
}

}  // namespace

bool RunStandaloneScript(const std::string& path, std::span<const StandaloneEvent> events,
                         std::span<const BuiltinEntry> builtins) {
    std::string text;
    if (!LoadTextFile(path, text)) {
        ConsolePrintf("\nredblack{Script error:} yellowblack{Could not read} aquablack{%s}", path.c_str());
        return false;
    }
    const std::string source = Preprocess(text, GetDirectory(path));
    std::unique_ptr<ScriptEngine> engine = Compile(source, builtins);
    if (engine->hasError) {
        ConsolePrintf("\nredblack{Engine error:} Line aquablack{%d} %s", static_cast<int>(engine->errorLine),
                      engine->errorMessage.c_str());
        return false;
    }
    // The entity systems start as in the game (entity 1 taken, callbacks registered): without them the
    // builtins of the systems would read tables that were never set up.
    ResetEntitySystem();
    InitEntitySystem();
    ScriptMachine machine(*engine);
    machine.Run();
    ReportMachineError(machine);
    for (const StandaloneEvent& event : events) {
        const Block* block = engine->FindEvent(event.name);
        if (block == nullptr) continue;
        for (int i = 0; i < event.count; ++i) {
            machine.RunEvent(block);
            ReportMachineError(machine);
        }
    }
    return true;
}
