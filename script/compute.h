#pragma once
// Computations: straight runs of code on reals (pushes, the arithmetic and comparison operators,
// element reads, stack copies, a body's entry) together with the instruction that takes their
// result (an assignment, an element store, a conditional jump). The compiler plans them once a block
// is complete; the machine carries one out in a single step into registers of plain doubles. When an
// operand is not what the plan takes (anything but a real where a real is needed, void, an index
// out of range...), the machine changes nothing and runs the instructions one by one instead, so
// every error is raised by the instruction that raises it, with its line.

#include <cstdint>
#include <vector>

#include "script/builtin.h"
#include "script/opcode.h"
#include "script/value.h"

struct Instruction;

// Whether `order` (below, at or above zero, as compare gives) satisfies the comparison `opcode`.
[[gnu::always_inline]] inline bool ComparisonHolds(Opcode opcode, double order) {
    switch (opcode) {
        case Opcode::CompareEqual:
            return order == 0;
        case Opcode::CompareGreater:
            return order > 0;
        case Opcode::CompareGreaterEqual:
            return order >= 0;
        case Opcode::CompareLess:
            return order < 0;
        case Opcode::CompareLessEqual:
            return order <= 0;
        default:
            return order != 0;
    }
}

// Registers a computation may use; a longer run is cut short.
inline constexpr uint32_t kComputeRegisters = 32;
// Constants a computation keeps in a block of their own (see Computation::leadingConstants).
inline constexpr uint32_t kLeadingConstants = 4;
// Values a computation may leave on the stack.
inline constexpr uint32_t kComputeOutputs = 8;

enum class ComputeOp : uint8_t {
    Variable,      // r[dst] = the real in variable (level, index)
    Stack,         // r[dst] = the real `index` values below the stack's top at the start (1: the top)
    Element,       // r[dst] = the real at position r[x] of the array in variable (level, index)
    ElementTruth,  // r[dst] = the truth (1 or 0) of the element at position r[x] of that array
    Add,           // r[dst] = r[x] + r[y], and so on
    Subtract,
    Multiply,
    Divide,
    Remainder,
    Compare,  // -1, 0 or 1
    Successor,
    Predecessor,
    Negative,
    Holds,     // r[dst] = 1 if `comparison` holds for the order r[x], else 0
    Enter,     // a body run in place: variables index .. index + level - 1 voided; `bodies` around it
    Function,  // r[dst] = function(r[x]): a builtin that is a pure function of one real
    Done,      // the last step of a plan: its ending, whatever it is
    // The last step of a plan that pops and pushes nothing, for each ending but None.
    EndAssign,
    EndStoreReal,
    EndStoreTruth,
    EndJumpIfFalse,
    EndJumpIfTrue,
};

// Where a planned variable lives, as seen from the frame of the block the plan belongs to: that
// frame itself, the top level's, or an outer frame found by its level.
enum class ComputeScope : uint8_t { Own, Root, Outer };

// How a step takes its operand from the step before it, whose result the machine keeps at hand
// besides its register: not at all, as x (or an ending's value), or as y. A Variable step has no
// operand: its form 1 marks a variable of the frame itself.
enum ComputeForm : uint8_t { kFromRegisters = 0, kXFromLast = 1, kYFromLast = 2, kOwnVariable = 1 };
inline constexpr uint32_t kComputeForms = 3;
// Codes past the forms': a remainder by a constant whole number of 32 bits other than 0 and -1 (held in
// the step's index), x from its register or from the step before.
inline constexpr uint8_t kRemainderByWhole =
    static_cast<uint8_t>((static_cast<uint32_t>(ComputeOp::EndJumpIfTrue) + 1) * kComputeForms);
inline constexpr uint8_t kRemainderByWholeFromLast = kRemainderByWhole + 1;

struct ComputeStep {
    ComputeOp op;
    ComputeScope scope;  // Variable, Element, ElementTruth
    Opcode comparison;   // Holds
    uint8_t dst;
    uint8_t x;
    uint8_t y;
    uint8_t run = 0;  // the code the machine runs for it: op * kComputeForms + its ComputeForm
    uint32_t level;
    uint32_t index;
    uint32_t bodies;
    RealFunction function;  // Function
};

enum class ComputeEnd : uint8_t {
    None,          // go on after the run
    Assign,        // variable (level, index) = r[value]
    StoreElement,  // element r[position] of the array in variable (level, index) = r[value]
    JumpIfFalse,   // to `target` unless r[value] is non-zero
    JumpIfTrue,
};

struct ComputeOutput {
    enum Kind : uint8_t { Real, Truth, Variable, Stack, Constant } kind;
    uint8_t reg;     // Real, Truth
    uint32_t level;  // Variable
    // Variable: its index; Stack: depth at the start (1: the top); Constant: the block's instruction
    // whose constant is pushed
    uint32_t index;
};

struct Computation {
    uint32_t length = 0;             // instructions it stands for, its ending included
    uint32_t next = 0;               // where the code goes on after it (see PlanComputations)
    uint32_t popped = 0;             // values it takes off the stack
    uint32_t reach = 0;              // values below the run's stack that it reads (popped or not)
    std::vector<ComputeStep> steps;  // the last of them Done
    std::vector<double> constants;   // the first registers' values before the first step
    // The first kLeadingConstants of them, zeros after the last, copied at once.
    double leadingConstants[kLeadingConstants] = {};
    std::vector<ComputeOutput> outputs;  // pushed in order once the popped values are gone
    bool outputsReadStack = false;       // some output is a value from below the run's stack
    ComputeEnd end = ComputeEnd::None;
    bool valueIsTruth = false;  // StoreElement: a boolean is stored, else a real
    uint8_t value = 0;
    uint8_t position = 0;
    ComputeScope scope = ComputeScope::Own;  // Assign, StoreElement
    uint32_t level = 0;
    uint32_t index = 0;
    uint32_t target = 0;
    // A store of a constant into the array of a variable at the position another one holds, both the
    // frame's own (kStoreOwnHandler): the position's variable and the constant. A jump on the truth
    // of such an element (kElementJumpOwnHandler): the position's variable and the array's.
    uint32_t positionIndex = 0;
    uint32_t arrayIndex = 0;
    double storedValue = 0;
};

// A push of a real and the operator after it (with a second push for a binary one), and what takes
// the result: an assignment, a comparison's conditional jump, or nothing (the result is pushed).
// Decoded once, so that the machine does them in one step.
struct PairOperand {
    bool isVariable;
    ComputeScope scope;
    uint32_t level;
    uint32_t index;
    double constant;
    uint64_t held = 0;  // a constant's handle bits when a handle holds it, else 0
};

enum class PairEnd : uint8_t {
    Push,         // the result; a comparison's truth when `comparison` is set
    Assign,       // into variable (level, index), when it is void or a real; else pushed, the Assign next
    JumpIfFalse,  // on the truth of `comparison`, to `target`
    JumpIfTrue,
};

struct PairPlan {
    uint32_t call;  // a FastCall from kFastAdd to kFastNegative
    bool binary;
    bool hasComparison;
    Opcode comparison;
    PairOperand x;
    PairOperand y;
    PairEnd end;
    uint32_t length;     // instructions it stands for, its ending included
    uint32_t next;       // where the code goes on after it (see PlanComputations)
    ComputeScope scope;  // Assign
    uint32_t level;
    uint32_t index;
    uint32_t target;
    // JumpIfFalse: the code going on enters a body that declares nothing, whose entry is only its
    // nesting check.
    bool entersBody;
    // JumpIfFalse and JumpIfTrue: whether `comparison` holds for the order -1, 0 and 1 (bits 0 to 2),
    // and whether the jump is taken when it holds.
    uint8_t holds;
    uint8_t jumpIfTrue;
};

// Marks a pair plan in Instruction::plan (the rest of which is its index).
inline constexpr uint32_t kPairPlan = 0x80000000u;

// `list = list ~ [x]` whole: the push of the variable, the empty literal, the push of x, the append,
// the concatenation and the assignment. The machine appends x to the variable's array in one step
// when the variable alone holds that array and the types agree; otherwise the instructions run.
struct AppendPlan {
    enum Item : uint8_t { Constant, Variable, True, False } item;
    ComputeScope scope;      // the list
    ComputeScope itemScope;  // Variable
    uint32_t level;
    uint32_t index;
    uint32_t itemLevel;
    uint32_t itemIndex;
    uint32_t next;  // where the code goes on after it (see PlanComputations)
};

// Marks an append plan in Instruction::plan (the rest of which is its index).
inline constexpr uint32_t kAppendPlan = 0x40000000u;
// Instructions an append plan stands for.
inline constexpr uint32_t kAppendLength = 6;

// The handlers of planned instructions (Instruction::handler), numbered after the opcodes'.
enum PlanHandler : uint8_t {
    kComputeHandler = 32,
    kPairJumpHandler,  // pairs by their ending
    kPairAssignHandler,
    kPairPushHandler,
    kAppendHandler,
    kCountingHeadHandler,     // a counting loop's head (see CountingHead in script/block.h)
    kSuccessorToHeadHandler,  // its counter's successor before the jump back (kFastSuccessorToHead)
    kRoutineCallHandler,      // a plain call of a script routine or block that is not a task
    kStackAddHandler,         // the fast operators on the stack's two top values
    kStackSubtractHandler,
    kStackMultiplyHandler,
    kReturnHandler,          // a function's `return x;`: the assignment of its result and the return after it
    kReturnVariableHandler,  // the same with x a variable: its push too
    // Pairs whose variables are all the frame's own, x a variable and y a variable or a constant that
    // a handle holds: a comparison's jump, and the arithmetic operators assigned or pushed, in the
    // order of their FastCalls.
    kPairJumpOwnHandler,
    kPairAssignOwnAddHandler,
    kPairAssignOwnSubtractHandler,
    kPairAssignOwnMultiplyHandler,
    kPairAssignOwnDivideHandler,
    kPairAssignOwnRemainderHandler,
    kPairPushOwnAddHandler,  // and their results pushed
    kPairPushOwnSubtractHandler,
    kPairPushOwnMultiplyHandler,
    kPairPushOwnDivideHandler,
    kPairPushOwnRemainderHandler,
    kStoreOwnHandler,        // a computation that is only `array[position] = constant` (see Computation)
    kElementJumpOwnHandler,  // one that is only a jump on the truth of `array[position]`
    // kSuccessorToHeadHandler where the body runs in place (its entry and counter's assignment follow)
    kAscentStepHandler,
};

// Plans the computations of `code` (its jumps resolved), a block whose own variables are of nesting
// `level`, storing them in `plans` and marking the
// first instruction of each with its plan's number plus one, then the pairs at the instructions where
// no computation starts, in `pairs`, marked with kPairPlan and their index, and the appends in
// `appends`, marked with kAppendPlan; every instruction's handler is set to match. A plan followed
// by a jump back goes on at the jump's target itself. `function`: the block is a function's, whose
// result is its variable 0.
void PlanComputations(std::vector<Instruction>& code, uint32_t level, bool function,
                      std::vector<Computation>& plans, std::vector<PairPlan>& pairs,
                      std::vector<AppendPlan>& appends);
