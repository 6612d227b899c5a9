// Arbitrary text through preprocess, compile and run: the top level, then every event routine the
// script defines, twice. The engine has no instruction budget; this harness bounds each run so that
// endless scripts end, and stops scripts whose data grows without bound.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host/builtin_table.h"
#include "script/compiler.h"
#include "script/machine.h"
#include "script/preprocessor.h"
#include "tests/fuzz/quiet_console.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SPARREL_FUZZ_MEMORY_LIMIT 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define SPARREL_FUZZ_MEMORY_LIMIT 1
#endif
#ifdef SPARREL_FUZZ_MEMORY_LIMIT
// From the sanitizer runtime (declared here: not every compiler installs its header).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace fuzz_script {

constexpr uint64_t kStepsPerRun = 200000;
constexpr uint64_t kSlice = 1000;
[[maybe_unused]] constexpr size_t kMemoryLimit = size_t{256} << 20;

Value SilentPrint(ScriptMachine&, int32_t, Value* arguments) {
    (void)ValueToText(arguments[0]);
    return Value();
}

// The operators come with the compiler; of the builtin rows, the core functions that touch nothing
// outside the script, with print kept silent.
std::vector<BuiltinEntry> FuzzBuiltins() {
    static const std::set<std::string> kKept = {
        "min",   "max",   "cos",  "sin",  "tan",      "acos",      "asin",     "atan",
        "atan2", "srand", "rand", "modc", "ToRadian", "ToDegree",  "ToString", "itoa",
        "rtoa",  "rtos",  "vtos", "atoi", "ator",     "TrimString"};
    std::vector<BuiltinEntry> rows;
    for (const BuiltinEntry& entry : BuiltinTable()) {
        if (kKept.count(entry.name) != 0) rows.push_back(entry);
    }
    rows.push_back({"print", SilentPrint, 1});
    return rows;
}

void RunBounded(ScriptMachine& machine) {
    uint64_t steps = 0;
    while (!machine.finished && steps < kStepsPerRun) {
        steps += machine.Execute(kSlice);
#ifdef SPARREL_FUZZ_MEMORY_LIMIT
        if (__sanitizer_get_current_allocated_bytes() > kMemoryLimit) break;
#endif
    }
}

}  // namespace fuzz_script

inline int FuzzScript(const uint8_t* data, size_t size) {
    using namespace fuzz_script;
    static const std::vector<BuiltinEntry> builtins = FuzzBuiltins();
    QuietConsole quiet;
    std::string text(reinterpret_cast<const char*>(data), size);
    // Includes would read whatever file the input names; the preprocessor has a target of its own.
    for (size_t at = text.find("#include"); at != std::string::npos; at = text.find("#include", at)) {
        text[at + 1] = 'I';
    }
    const std::string source = Preprocess(text, "");
    std::unique_ptr<ScriptEngine> engine = Compile(source, builtins);
    if (engine->hasError) return 0;
    {
        ScriptMachine machine(*engine);
        if (machine.BeginRun()) RunBounded(machine);
        for (int round = 0; round < 2; ++round) {
            for (const auto& [name, block] : engine->events) {
                if (machine.root == nullptr) break;
                machine.BeginEvent(block);
                RunBounded(machine);
            }
        }
    }
    return 0;
}
