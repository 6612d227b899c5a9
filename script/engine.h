#pragma once
// A compiled script: its blocks, its event routines and, when it did not compile, the error.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "script/block.h"
#include "script/type_table.h"

struct ScriptEngine {
    TypeTable types;  // the program's interned types; every value it creates points into it

    // Compile error: the first one ends the compile; such an engine is never run.
    bool hasError = false;
    std::string errorMessage;
    int32_t errorLine = 0;

    std::deque<Block> blocks;  // every block of the program, builtins included; addresses stay put
    Block* mainBlock = nullptr;
    std::unordered_map<std::string, Block*> events;  // "@" routines by name

    // The event routine of that name, or null.
    const Block* FindEvent(std::string_view name) const;
};
