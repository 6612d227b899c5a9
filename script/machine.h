#pragma once
// The machine that runs one compiled script: a stack machine with one value stack per activation
// frame, variables addressed by (level, index), and cooperative tasks that hand over at `yield`.

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "script/engine.h"

// Set by a failing instruction or builtin; the run ends after that instruction and the script manager
// reports the message with the line.
struct ScriptError {
    bool raised = false;  // the error flag; never cleared, so later runs end with the same report
    std::string message;
    int32_t line = -1;
};

// The variables or the value stack of a frame. Handles are single pointers with no address of their
// own, so the storage moves with realloc; it is kept when the frame is recycled. Slots past the end are
// always void, so a frame's variables are ready the moment its length is set.
class FrameValues {
public:
    FrameValues() = default;
    ~FrameValues();
    FrameValues(const FrameValues&) = delete;
    FrameValues& operator=(const FrameValues&) = delete;

    uint32_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    Value* data() { return items_; }
    Value& operator[](uint32_t index) { return items_[index]; }
    Value& back() { return items_[length_ - 1]; }
    Value* begin() { return items_; }
    Value* end() { return items_ + length_; }

    // The slots above the length are always void, so a push writes into one without looking at it.
    void push_back(const Value& value) {
        if (length_ == capacity_) Grow();
        ::new (static_cast<void*>(items_ + length_++)) Value(value);
    }
    [[gnu::always_inline]] void push_back(Value&& value) {
        if (length_ == capacity_) Grow();
        ::new (static_cast<void*>(items_ + length_++)) Value(std::move(value));
    }
    void emplace_back() {
        if (length_ == capacity_) Grow();
        ++length_;
    }
    [[gnu::always_inline]] void pop_back() { items_[--length_].Reset(); }
    // Drops the top `count` values, which were moved away and are void.
    void DropMoved(uint32_t count) { length_ -= count; }
    // Makes an empty list `count` void values long.
    void FillVoid(uint32_t count) {
        while (capacity_ < count)
            Grow();
        length_ = count;
    }
    // Shrinks by dropping the top values, or grows with void ones.
    void resize(uint32_t length) {
        while (length_ > length)
            items_[--length_].Reset();
        while (capacity_ < length)
            Grow();
        length_ = length;
    }
    // Releasing a value frees bodies and nothing else, so the values go in one sweep.
    void clear() {
        Value* const items = items_;
        const uint32_t length = length_;
        length_ = 0;
        for (uint32_t i = 0; i < length; ++i)
            items[i].Reset();
    }
    // Puts `count` void values under the present ones.
    void InsertVoidAtBottom(uint32_t count);

private:
    void Grow();

    Value* items_ = nullptr;
    uint32_t length_ = 0;
    uint32_t capacity_ = 0;
};

// One activation of a block. Frames are pooled by their machine and never freed while it lives.
struct Frame {
    Frame* parent = nullptr;     // the caller or creator; none for the root frame
    int32_t referenceCount = 0;  // 1 for the frame itself plus 1 per child frame naming it as parent
    const Block* block = nullptr;
    const Instruction* code = nullptr;  // the block's instructions, and their end
    const Instruction* end = nullptr;
    uint32_t position = 0;      // next instruction
    uint32_t depth = 0;         // frames on the parent chain, this one included
    bool wantsResult = false;   // entered by CallAndPushResult
    Frame* nextFree = nullptr;  // the next free frame while this one is free
    FrameValues variables;
    FrameValues stack;
};

// Nested calls a script may make before it is stopped; deep enough for any sensible recursion, and
// far from exhausting memory.
inline constexpr uint32_t kMaxCallDepth = 100000;

struct ScriptMachine {
    explicit ScriptMachine(ScriptEngine& program);
    ~ScriptMachine();
    ScriptMachine(const ScriptMachine&) = delete;
    ScriptMachine& operator=(const ScriptMachine&) = delete;

    // Runs the top level once; later calls do nothing.
    void Run();
    // Runs the top level if it never ran, then the event routine `event` and whatever it lets run
    // until the routine ends. Tasks still alive then go on in later runs. May be called from inside a
    // builtin of this same machine: the event then runs on a thread of its own, and the tasks it
    // leaves behind join the others.
    void RunEvent(const Block* event);
    // One instruction of the current task, or one block exit.
    void Step();

    // For harnesses that bound a run: BeginRun / BeginEvent prepare what Run / RunEvent would run,
    // Execute then runs at most `budget` steps and returns how many it ran.
    bool BeginRun();
    void BeginEvent(const Block* event);
    uint64_t Execute(uint64_t budget);

    ScriptEngine* engine;  // not owned
    TypeTable* types;      // the engine's, kept at hand because nearly every operator builds a result
    ScriptError error;
    bool finished = false;

    // Frames and tasks.
    std::vector<std::unique_ptr<Frame>> frames;  // every frame made, in use or free
    Frame* freeFrames = nullptr;                 // the free frames, chained by nextFree
    size_t freeFrameCount = 0;
    std::vector<Frame*> tasks;  // innermost frame of each task; entry 0 is the event (or top-level) thread
    size_t current = 0;         // index into tasks of the running task
    Frame* root = nullptr;      // the top level's frame, holding the global variables
    Frame* base = nullptr;      // the frame whose end ends the run in progress
    uint32_t runDepth = 0;      // runs of this machine in progress, nested through builtins
    // The builtin called last: one function may stand for many rows and needs the name it was
    // called by.
    const Block* calledBuiltin = nullptr;
    // The bodies run in place around the builtin call in progress: an event it delivers counts them
    // as frames below its own.
    uint32_t nativeCallBodies = 0;

    // Frames in use (for tests and tools).
    size_t FramesInUse() const { return frames.size() - freeFrameCount; }

private:
    template <bool kBudgeted>
    uint64_t Loop(uint64_t budget);
    void RunNestedEvent(const Block* event);
    Frame* MakeFrame();
    // `bodies`: the bodies run in place around the call in `parent`, counted as frames for the limit.
    Frame* NewFrame(Frame* parent, const Block* block, uint32_t bodies);
    void RaiseNestingLimit(const Frame* frame, const Block* callee, int32_t line);
    void ReleaseFrame(Frame* frame);
    Frame* FindFrame(Frame* frame, uint32_t level) const;
    // The frame holding the variables of nesting `level`, as seen from `frame`; null if none does.
    Frame* FrameAtLevel(Frame* frame, uint32_t level) const;
    Value* GrowableVariable(Frame* frame, const Instruction& assign, const Value& argument);
    bool AppendInPlace(Frame* frame, const Instruction* next, const Instruction* end);
    bool AppendTo(ValueBody* body, Value item);
    const Instruction* RunAppend(Frame* frame, const Instruction* first);
    bool ExitBlock();
    const Value* VariableValue(Frame* frame, uint32_t level, uint32_t index) const;
    uint32_t FinishComputation(Frame* frame, const Computation& plan, const double* r, uint32_t top);
    // Where the code goes on after a computation, or this when the instructions run instead.
    static constexpr uint32_t kNotComputed = UINT32_MAX;
    uint32_t Compute(Frame* f, const Computation& plan);
    const Instruction* CountingHead(Frame* frame, const Instruction* head, const Instruction* code);
    bool PushOutputs(Frame* frame, const Computation& plan, const double* r);
    Value* PlannedVariable(Frame* frame, ComputeScope scope, uint32_t level, uint32_t index) const;
    bool PairOperandReal(Frame* frame, const PairOperand& operand, double& real) const;
    bool PairResult(Frame* frame, const PairPlan& pair, double& result);
    const Instruction* PairJump(Frame* frame, const Instruction* first, const Instruction* code);
    const Instruction* PairAssign(Frame* frame, const Instruction* first, const Instruction* code);
    const Instruction* PairPush(Frame* frame, const Instruction* first, const Instruction* code);
    bool CallSlow(const Instruction& in);
    Value CallNative(const Block& callee, int32_t count, Value* arguments);
    bool AssignThrough(const Instruction& in);
    void BreakLoop();
    void ReturnFromRoutine();
};

// Raises the error that stops the script: flag and finished on, `message` recorded.
void RaiseScriptError(ScriptMachine& machine, std::string_view message);
