#pragma once
// Compiled code: a block is a routine, a loop body or an inner block, made of instructions.

#include <cstdint>
#include <string>
#include <vector>

#include "script/builtin.h"
#include "script/compute.h"
#include "script/opcode.h"
#include "script/value.h"

enum class BlockKind : uint32_t { Normal = 0, Loop = 1, Sub = 2, Function = 3, Task = 4 };

struct Block;

struct Instruction {
    Opcode opcode;
    // The machine's handler: the opcode's own, or one that carries out the plan starting here (see
    // PlanHandler in script/compute.h) and falls back to the opcode's when the plan cannot be had.
    uint8_t handler;
    int32_t line;  // source line when emitted; reported with run-time errors
    Value value;   // PushValue only
    Block* block;  // Call, CallAndPushResult
    // Assign and the PushVariable pair: level. LoopBack: the loop head. Case jumps: the instruction to
    // continue at. Loop conditions: the instruction just past the loop's LoopBack. (The targets of jumps
    // that scan forward are found once when the block is finished; they depend only on the code.)
    // Calls: a FastCall. EnterBody: the body's first variable. TrimStack: the stack length to keep.
    // DuplicatePair: a CountingHead.
    uint32_t a;
    // Variable instructions: variable index. Calls: argument count. EnterBody: the body's variable count.
    uint32_t b;
    // Calls and EnterBody: the bodies compiled in place around the instruction, each of which stands
    // for a frame when the nesting limit is counted.
    uint32_t c = 0;
    // The number plus one of the block's computation that starts here, or kPairPlan and the index of
    // its pair plan; 0 for none.
    uint32_t plan = 0;
    // A plan starting here: where the code goes on after it and, for one that ends in a jump, where
    // the jump leads; kept with the instruction, so that going on takes one look.
    uint32_t next = 0;
    uint32_t target = 0;
    const void* detail = nullptr;  // the plan itself: a Computation, PairPlan or AppendPlan
    // Pads the instruction to 64 bytes, with pointers of 8 bytes or of 4: the machine turns positions
    // into addresses and back with shifts instead of multiplications.
    unsigned char padding[sizeof(void*) == 8 ? 8 : 16] = {};
};
static_assert(sizeof(Instruction) == 64);

// A loop whose body was compiled into its block: the body's code runs from `first` to the LoopBack at
// `last`; `exit` is where the loop is left.
struct LoopInPlace {
    uint32_t first;
    uint32_t last;
    uint32_t exit;
};

// What the machine may do itself instead of calling an operator function (operand A of calls).
enum FastCall : uint32_t {
    kPlainCall = 0,
    // A call of append or concatenate whose result the next instruction assigns to a variable, as in
    // `list = list ~ [x]`. When that variable and the call's first argument are the only holders of
    // the array, the operator may extend it in place instead of copying it, which makes building an
    // array element by element linear instead of quadratic. Nothing else can observe the difference.
    kGrowsAssignedVariable = 1,
    // Operators computed inline when their operands are reals, with the function's very result; any
    // other operand goes to the function.
    kFastAdd,
    kFastSubtract,
    kFastMultiply,
    kFastDivide,
    kFastRemainder,
    kFastCompare,
    kFastSuccessor,
    kFastPredecessor,
    kFastNegative,
    kFastIndex,
    kFastIndexWritable,
    // The true and false operators: constants to a computation, calls otherwise.
    kFastTrue,
    kFastFalse,
    // The append of a one-element array literal whose array the next two instructions concatenate
    // to a variable and assign back to it (`list = list ~ [x]`): when the variable and the stack are
    // the array's only holders and the types agree, x is appended to the variable's own array and
    // the three instructions are done; otherwise they run.
    kAppendsToAssignedVariable,
    // The successor of an ascent's counter just before the jump back to the loop's head (a counting
    // head, below): counted on and the head decided in one step when the counter is a real.
    kFastSuccessorToHead,
};

// Counting-loop heads (operand A of the DuplicatePair that starts one): the copy of bound and counter,
// the machine's own compare and the conditional exit (for a descent also the predecessor), then the
// copy of the counter for the body, decided in one step when bound and counter are reals. Operand B
// is 1 when the body runs in place and its entry and the assignment of its counter follow too.
enum CountingHead : uint32_t { kNoCountingHead = 0, kAscentHead = 1, kDescentHead = 2 };

struct Block {
    Block() = default;
    Block(const Block&) = delete;  // its code points into its own plans
    Block& operator=(const Block&) = delete;
    uint32_t level = 0;      // nesting depth of the block's own variables; 0 for the main block and builtins
    uint32_t arguments = 0;  // parameters of routines and builtins
    std::string name;        // empty for anonymous blocks
    BuiltinFunction native = nullptr;     // builtins and operator functions only
    RealFunction realFunction = nullptr;  // builtins that are a pure function of one real
    std::vector<Instruction> instructions;
    std::vector<LoopInPlace> loopsInPlace;
    std::vector<Computation> computations;
    std::vector<PairPlan> pairs;
    std::vector<AppendPlan> appends;
    BlockKind kind = BlockKind::Normal;
    uint32_t variableCount = 0;  // variables declared in the block, parameters included
    // Arguments a call moves straight into the routine's variables, skipping as many instructions: the
    // routine's leading assignments of its parameters, when they are all it starts with; else 0.
    uint32_t parameterMoves = 0;
    // Where such a call goes on: past those assignments and the case markers after them.
    uint32_t movedEntry = 0;
    bool isNative = false;  // registered from a builtin row, with or without a function
};
