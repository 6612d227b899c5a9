#pragma once
// A compiled script. The compiler adds its blocks, event routines and compile error to it.

#include "script/type_table.h"

struct ScriptEngine {
    TypeTable types;  // the program's interned types; every value it creates points into it
};
