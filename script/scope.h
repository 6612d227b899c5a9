#pragma once
// Names the compiler knows while it compiles a block: routines and variables, per block.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "script/block.h"

struct Symbol {
    uint32_t level = 0;
    Block* routine = nullptr;  // set for routines and builtins
    int32_t variable = -1;     // variable index; -1 for routines
};

struct Scope {
    std::unordered_map<std::string, Symbol> symbols;
    BlockKind kind = BlockKind::Normal;
    Block* block = nullptr;  // the block whose declarations these are
};
