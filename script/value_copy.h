#pragma once
// Values handed from one script to another, or kept by the script manager beyond a script's life,
// are copied into the receiving program's types: types are compared by record, and a program's
// records go away with it.

#include "script/type_table.h"
#include "script/value.h"

// The same value with every body typed by `types`. Bodies shared within the value stay shared in
// the copy; nesting of any depth is copied without recursion.
Value CopyValueInto(const Value& value, TypeTable& types);
