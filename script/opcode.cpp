#include "script/opcode.h"

namespace {

constexpr const char* kOpcodeNames[kOpcodeCount] = {
    "Assign",
    "AssignThrough",
    "BreakLoop",
    "ReturnFromRoutine",
    "Call",
    "CallAndPushResult",
    "CaseBegin",
    "CaseEnd",
    "CaseJumpIfTrue",
    "CaseJumpIfFalse",
    "CaseNext",
    "CompareEqual",
    "CompareGreater",
    "CompareGreaterEqual",
    "CompareLess",
    "CompareLessEqual",
    "CompareNotEqual",
    "Duplicate",
    "DuplicatePair",
    "LoopWhileGreater",
    "LoopBack",
    "LoopCount",
    "LoopWhileLess",
    "LoopIf",
    "Pop",
    "PushValue",
    "PushVariable",
    "PushVariableWritable",
    "Swap",
    "Yield",
    "EnterBody",
    "TrimStack",
};

}  // namespace

const char* OpcodeName(Opcode opcode) {
    const uint32_t index = static_cast<uint32_t>(opcode);
    return index < kOpcodeCount ? kOpcodeNames[index] : "?";
}
