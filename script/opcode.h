#pragma once
// Instructions of the script machine. The numbers are fixed: tools and tests name code by them.

#include <cstdint>

enum class Opcode : uint8_t {
    Assign = 0,             // level, index: pop into a variable
    AssignThrough = 1,      // pop a source and a reference; overwrite the referenced body
    BreakLoop = 2,          // leave the innermost loop
    ReturnFromRoutine = 3,  // leave the innermost routine
    Call = 4,               // block, count: call and discard the result
    CallAndPushResult = 5,  // block, count: call and push the result
    CaseBegin = 6,          // marker
    CaseEnd = 7,            // marker
    CaseJumpIfTrue = 8,     // pop; if true jump to the next alternative of the group
    CaseJumpIfFalse = 9,    // pop; if false jump likewise
    CaseNext = 10,          // jump to the end of the group
    CompareEqual = 11,      // turn the compare result on top into a boolean
    CompareGreater = 12,
    CompareGreaterEqual = 13,
    CompareLess = 14,
    CompareLessEqual = 15,
    CompareNotEqual = 16,
    Duplicate = 17,         // push the top again
    DuplicatePair = 18,     // push the two top values again
    LoopWhileGreater = 19,  // pop; leave the loop unless above 0
    LoopBack = 20,          // target: jump back to the loop head
    LoopCount = 21,         // count the top down; leave the loop at 0
    LoopWhileLess = 22,     // pop; leave the loop unless below 0
    LoopIf = 23,            // pop; leave the loop if false
    Pop = 24,
    PushValue = 25,             // the instruction's constant
    PushVariable = 26,          // level, index
    PushVariableWritable = 27,  // level, index: make the variable unique, then push it
    Swap = 28,
    Yield = 29,      // let the next task run
    EnterBody = 30,  // first, count: void the variables of a body run in place; check the nesting limit
    TrimStack = 31,  // length: drop what lies above it on the stack
};

inline constexpr uint32_t kOpcodeCount = 32;

// Name of an opcode for listings ("Assign", "CallAndPushResult", ...); "?" outside 0..31.
const char* OpcodeName(Opcode opcode);
