#include "script/machine.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <unordered_set>
#include <utility>

namespace {

constexpr const char* kTypeChanged = "Attempted to change the type by assignment";
constexpr const char* kUnassigned = "Attempted to use a variable that has never been assigned";
constexpr const char* kSelfContaining = "An array can not be assigned into one of its own elements";

// The value on top becomes a fresh real or boolean. A body held only by the stack and without
// elements is reused, which is what making it unique and rewriting it amounts to.
inline bool ReusableScalar(const Value& value) {
    const ValueBody* body = value.Body();
    return body != nullptr && body->referenceCount == 1 && body->elements.items == nullptr;
}

inline void BecomeBoolean(Value& value, const TypeRecord* booleanType, bool boolean) {
    ValueBody* body = ReusableScalar(value) ? value.Body() : nullptr;
    if (body == nullptr) {
        body = NewBody(booleanType);
        value = Value::Adopt(body);
    }
    body->type = booleanType;
    body->scalar.real = 0;
    body->scalar.boolean = boolean ? 1 : 0;
}

// x % y, as fmod gives it, for a dividend `a` that is a whole number of 32 bits and a divisor other
// than 0 and -1 (one 32-bit division); false for any other dividend.
inline bool WholeRemainder(double a, int32_t y, double& result) {
    if (!(std::fabs(a) < 2147483648.0)) return false;
    const int32_t x = static_cast<int32_t>(a);
    if (static_cast<double>(x) != a) return false;
    result = static_cast<double>(x % y);
    if (result == 0) result = std::copysign(0.0, a);
    return true;
}

// fmod, exactly, taking the integer route when both operands are whole numbers well inside the
// range where doubles hold every integer (the usual case, and many times faster).
inline double Remainder(double a, double b) {
    double result;
    if (std::fabs(b) < 2147483648.0) {
        const int32_t y = static_cast<int32_t>(b);
        if (static_cast<uint32_t>(y) + 1u > 1u && static_cast<double>(y) == b && WholeRemainder(a, y, result))
            return result;
    }
    constexpr double kExactLimit = 4503599627370496.0;  // 2^52
    if (a > -kExactLimit && a < kExactLimit && b > -kExactLimit && b < kExactLimit) {
        const int64_t x = static_cast<int64_t>(a);
        const int64_t y = static_cast<int64_t>(b);
        if (y != 0 && static_cast<double>(x) == a && static_cast<double>(y) == b) {
            result = static_cast<double>(x % y);
            return result == 0 ? std::copysign(0.0, a) : result;
        }
    }
    return std::fmod(a, b);
}

// The real that handle bits of a held real stand for (anything for other bits).
inline double HeldBitsReal(uint64_t bits) {
    const uint64_t real = bits - Value::kHeldBase;
    double result;
    std::memcpy(&result, &real, sizeof result);
    return result;
}

// Remainder(a, y) for a constant divisor y, a whole number of 32 bits other than 0 and -1.
inline double RemainderByWhole(double a, int32_t y) {
    double result;
    return WholeRemainder(a, y, result) ? result : Remainder(a, y);
}

// A truth stored into an element that holds the table's own true or false: it holds the one for
// `truth` afterwards (the very body it holds stays when it is that one already); false, changing
// nothing, for any other element.
inline bool StoreCommonBoolean(Value& slot, const TypeTable& types, bool truth) {
    if (slot.Bits() == reinterpret_cast<uintptr_t>(types.CommonBoolean(truth))) return true;
    if (slot.Bits() != reinterpret_cast<uintptr_t>(types.CommonBoolean(!truth))) return false;
    slot = NewBoolean(types, truth);
    return true;
}

// Whether both values have bodies of one type record.
inline bool SameBodyType(const Value& a, const Value& b) {
    const ValueBody* x = a.Body();
    const ValueBody* y = b.Body();
    return x != nullptr && y != nullptr && x->type == y->type;
}

// ValueToBoolean, with the boolean case (what comparisons give) answered on the spot.
inline bool Truth(const Value& value) {
    const ValueBody* body = value.Body();
    if (body != nullptr && body->type->kind == TypeKind::Boolean) return body->scalar.boolean != 0;
    return ValueToBoolean(value);
}

// The element index a real position names in `array`, if it is a whole number inside it.
inline bool ElementAt(const ValueBody* array, double position, uint32_t& index) {
    if (!(position >= 0 && position < array->elements.length)) return false;
    index = static_cast<uint32_t>(position);
    return static_cast<double>(index) == position;
}

// A builtin's result in place of its `count` arguments on top of `stack`, when it is pushed.
inline void PutCallResult(FrameValues& stack, uint32_t count, bool pushResult, Value&& result) {
    if (count != 0 && pushResult) {
        // The result takes the first argument's slot.
        const uint32_t first = stack.size() - count;
        stack[first] = std::move(result);
        stack.resize(first + 1);
    } else {
        stack.resize(stack.size() - count);
        if (pushResult) stack.push_back(std::move(result));
    }
}

// The result of a binary operator on two reals, or of compare (-1, 0 or 1).
[[gnu::always_inline]] inline double BinaryReal(uint32_t call, double a, double b) {
    switch (call) {
        case kFastAdd:
            return a + b;
        case kFastSubtract:
            return a - b;
        case kFastMultiply:
            return a * b;
        case kFastDivide:
            return a / b;
        case kFastRemainder:
            return Remainder(a, b);
        default:
            return a < b ? -1 : a > b ? 1 : 0;
    }
}

// Computes the operator of a tagged call itself when the operands are reals (or, for an index, an
// array and a valid position), giving the very result the operator function gives. Returns false,
// touching nothing, for anything else: the function then runs and reports what is wrong.
[[gnu::always_inline]] inline bool TryFastCall(uint32_t call, FrameValues& stack, const TypeTable& types) {
    const uint32_t n = stack.size();
    switch (call) {
        case kFastTrue:
        case kFastFalse:
            stack.push_back(NewBoolean(types, call == kFastTrue));
            return true;
        case kFastAdd:
        case kFastSubtract:
        case kFastMultiply:
        case kFastDivide:
        case kFastRemainder:
        case kFastCompare: {
            if (n < 2) return false;
            double a;
            double b;
            if (!stack[n - 2].ReadReal(a) || !stack[n - 1].ReadReal(b)) return false;
            stack[n - 2] = NewRealValue(BinaryReal(call, a, b));
            stack.pop_back();
            return true;
        }
        case kFastSuccessor:
        case kFastPredecessor:
        case kFastNegative: {
            if (n < 1) return false;
            Value& top = stack[n - 1];
            double real;
            if (!top.ReadReal(real)) return false;
            top = NewRealValue(call == kFastSuccessor     ? real + 1
                               : call == kFastPredecessor ? real - 1
                                                          : -real);
            return true;
        }
        case kFastIndex:
        case kFastIndexWritable: {
            if (n < 2) return false;
            Value& container = stack[n - 2];
            ValueBody* array = container.Body();
            double real;
            if (array == nullptr || array->type->kind != TypeKind::Array || !stack[n - 1].ReadReal(real))
                return false;
            uint32_t index;
            if (!ElementAt(array, real, index)) return false;
            // For a write the slot is made unique first, so the assignment through it changes this
            // container's element only (the container itself is the variable's, made unique already).
            if (call == kFastIndexWritable) MakeUnique(array->elements[index]);
            Value element = array->elements[index];
            container = std::move(element);
            stack.pop_back();
            return true;
        }
        default:
            return false;
    }
}

// Whether `target` is reachable from `from` through elements. Bodies held more than once are
// visited once, so shared sub-arrays do not multiply the work.
bool Reaches(const ValueBody* from, const ValueBody* target) {
    std::vector<const ValueBody*> pending{from};
    std::unordered_set<const ValueBody*> seen;
    while (!pending.empty()) {
        const ValueBody* body = pending.back();
        pending.pop_back();
        for (const Value& item : body->elements) {
            const ValueBody* child = item.Body();  // null for void and held reals
            if (child == nullptr) continue;
            if (child == target) return true;
            if (child->elements.length == 0) continue;
            if (child->referenceCount > 1 && !seen.insert(child).second) continue;
            pending.push_back(child);
        }
    }
    return false;
}

// Position just past the next LoopBack at or after `frame`'s position: where its loop ends.
uint32_t PastNextLoopBack(const Frame* frame) {
    const std::vector<Instruction>& code = frame->block->instructions;
    for (size_t i = frame->position; i < code.size(); ++i) {
        if (code[i].opcode == Opcode::LoopBack) return static_cast<uint32_t>(i + 1);
    }
    return static_cast<uint32_t>(code.size());
}

inline uint32_t CodeSize(const Frame* frame) {
    return static_cast<uint32_t>(frame->block->instructions.size());
}

// `target` takes `source`'s type, elements (shared) and scalar, keeping its own count, so every
// holder of `target` sees the new value.
void OverwriteBody(ValueBody* target, const Value& source, const TypeTable& types) {
    ValueList old = target->elements;
    target->elements = ValueList{nullptr, 0, 0};
    if (source.IsHeldReal()) {
        target->type = &kRealRecord;
        target->scalar.real = source.HeldRealValue();
    } else {
        const ValueBody* from = source.Body();
        target->elements.AppendShared(from->elements.items, from->elements.length);
        target->type = from->type;
        target->scalar = from->scalar;
    }
    if (old.items != nullptr) {
        // The old elements go with a body of their own, released at once.
        ValueBody* holder = NewBody(types.Real());
        holder->elements = old;
        Value::Adopt(holder);
    }
}

}  // namespace

FrameValues::~FrameValues() {
    clear();
    std::free(static_cast<void*>(items_));
}

void FrameValues::Grow() {
    const uint32_t capacity = capacity_ < 8 ? 8 : capacity_ * 2;
    void* items = std::realloc(static_cast<void*>(items_), size_t{capacity} * sizeof(Value));
    if (items == nullptr) throw std::bad_alloc();
    items_ = static_cast<Value*>(items);
    // The new slots become void handles (a null pointer each).
    std::memset(static_cast<void*>(items_ + capacity_), 0, size_t{capacity - capacity_} * sizeof(Value));
    capacity_ = capacity;
}

void FrameValues::InsertVoidAtBottom(uint32_t count) {
    const uint32_t old = length_;
    resize(length_ + count);
    // Handles are plain pointers: shifting their bytes moves them; the slots left below become void.
    std::memmove(static_cast<void*>(items_ + count), static_cast<const void*>(items_), old * sizeof(Value));
    std::memset(static_cast<void*>(items_), 0, count * sizeof(Value));
}

void RaiseScriptError(ScriptMachine& machine, std::string_view message) {
    machine.error.raised = true;
    machine.error.message.assign(message);
    machine.finished = true;
}

ScriptMachine::ScriptMachine(ScriptEngine& program) : engine(&program), types(&program.types) {}

ScriptMachine::~ScriptMachine() = default;

Frame* ScriptMachine::MakeFrame() {
    return frames.emplace_back(std::make_unique<Frame>()).get();
}

[[gnu::always_inline]] inline Frame* ScriptMachine::NewFrame(Frame* parent, const Block* block,
                                                             uint32_t bodies) {
    Frame* frame;
    if (freeFrames != nullptr) [[likely]] {
        frame = freeFrames;
        freeFrames = frame->nextFree;
        --freeFrameCount;
    } else {
        frame = MakeFrame();
    }
    frame->parent = parent;
    frame->referenceCount = 1;
    frame->block = block;
    frame->code = block->instructions.data();
    frame->end = frame->code + block->instructions.size();
    frame->position = 0;
    frame->wantsResult = false;
    if (parent != nullptr) {
        ++parent->referenceCount;
        frame->depth = parent->depth + bodies + 1;
    } else {
        frame->depth = 1;
    }
    if (block->variableCount != 0) frame->variables.FillVoid(block->variableCount);
    return frame;
}

[[gnu::always_inline]] inline void ScriptMachine::ReleaseFrame(Frame* frame) {
    while (frame != nullptr && --frame->referenceCount == 0) {
        frame->variables.clear();
        frame->stack.clear();  // keeps its storage for the next call
        frame->nextFree = freeFrames;
        freeFrames = frame;
        ++freeFrameCount;
        frame = frame->parent;
    }
}

// Nearly every variable access asks, and mostly of its own frame or the root, which take no walk.
[[gnu::always_inline]] inline Frame* ScriptMachine::FrameAtLevel(Frame* frame, uint32_t level) const {
    return frame->block->level == level ? frame : level == 0 ? root : FindFrame(frame->parent, level);
}

Value* ScriptMachine::GrowableVariable(Frame* frame, const Instruction& assign, const Value& argument) {
    Frame* holder = FrameAtLevel(frame, assign.a);
    if (holder == nullptr || assign.b >= holder->variables.size()) return nullptr;
    Value& variable = holder->variables[assign.b];
    const ValueBody* body = variable.Body();
    return body != nullptr && body == argument.Body() && body->referenceCount == 2 ? &variable : nullptr;
}

// The append of `list = list ~ [x]` (see kAppendsToAssignedVariable), with the concatenation and the
// assignment at `next`: done in place when it can be. Returns false, having changed nothing, otherwise.
bool ScriptMachine::AppendInPlace(Frame* frame, const Instruction* next, const Instruction* end) {
    if (end - next < 2 || next[0].a != kGrowsAssignedVariable || next[1].opcode != Opcode::Assign)
        return false;
    FrameValues& stack = frame->stack;
    const uint32_t n = stack.size();
    if (n < 3) return false;
    const ValueBody* literal = stack[n - 2].Body();
    if (literal == nullptr || literal->type->kind != TypeKind::Array || literal->elements.length != 0)
        return false;
    Value* variable = GrowableVariable(frame, next[1], stack[n - 3]);
    if (variable == nullptr || !AppendTo(variable->Body(), stack[n - 1])) return false;
    stack.resize(n - 3);
    return true;
}

// Appends `item` to the array `body` that only the list being assigned holds, as the concatenation
// would have made it; false, having changed nothing, when the types disagree or it cannot grow.
[[gnu::always_inline]] inline bool ScriptMachine::AppendTo(ValueBody* body, Value item) {
    const TypeRecord* itemType = item.Type();
    const TypeRecord* arrayType = body->type;
    if (itemType == nullptr || arrayType->kind != TypeKind::Array || body->elements.length >= kMaxArrayLength)
        return false;
    if (body->elements.length == 0) {
        arrayType = types->ArrayOf(itemType);
    } else if (arrayType->element != itemType || arrayType->owner != types) {
        return false;  // the table's array records are one per element type
    }
    try {
        body->elements.Append(std::move(item));
    } catch (const std::bad_alloc&) {
        return false;  // the instructions report it
    }
    body->type = arrayType;
    return true;
}

// Runs the append plan at `first` (see AppendPlan): false, having changed nothing, when the
// instructions must run instead (the list shared or not an array, x void or the list itself...).
[[gnu::always_inline]] inline const Instruction* ScriptMachine::RunAppend(Frame* frame,
                                                                          const Instruction* first) {
    const AppendPlan& plan = *static_cast<const AppendPlan*>(first->detail);
    const Value* list = PlannedVariable(frame, plan.scope, plan.level, plan.index);
    ValueBody* body = list != nullptr ? list->Body() : nullptr;
    if (body == nullptr || body->referenceCount != 1) return nullptr;
    bool appended = false;
    switch (plan.item) {
        case AppendPlan::Constant:
            appended = AppendTo(body, first[2].value);
            break;
        case AppendPlan::Variable: {
            const Value* item = PlannedVariable(frame, plan.itemScope, plan.itemLevel, plan.itemIndex);
            appended = item != nullptr && !item->IsVoid() && item->Body() != body && AppendTo(body, *item);
            break;
        }
        case AppendPlan::True:
        case AppendPlan::False:
            appended = AppendTo(body, NewBoolean(*types, plan.item == AppendPlan::True));
            break;
    }
    return appended ? frame->block->instructions.data() + first->next : nullptr;
}

Frame* ScriptMachine::FindFrame(Frame* frame, uint32_t level) const {
    for (; frame != nullptr; frame = frame->parent) {
        if (frame->block->level == level) return frame;
    }
    return nullptr;
}

bool ScriptMachine::BeginRun() {
    if (root != nullptr || engine->hasError || engine->mainBlock == nullptr) return false;
    error.line = -1;
    tasks.clear();
    root = NewFrame(nullptr, engine->mainBlock, 0);
    tasks.push_back(root);
    current = 0;
    finished = false;
    base = root;
    return true;
}

void ScriptMachine::BeginEvent(const Block* event) {
    if (root == nullptr || event == nullptr) return;
    Frame* frame = NewFrame(tasks[0], event, 0);
    tasks[0] = frame;
    current = 0;
    finished = false;
    base = frame;
}

void ScriptMachine::Run() {
    if (!BeginRun()) return;
    ++runDepth;
    Loop<false>(0);
    --runDepth;
}

void ScriptMachine::RunEvent(const Block* event) {
    Run();
    if (root == nullptr || event == nullptr) return;
    if (runDepth > 0) {
        RunNestedEvent(event);
        return;
    }
    BeginEvent(event);
    ++runDepth;
    Loop<false>(0);
    --runDepth;
}

// An event delivered from inside a builtin of this machine runs on a task list of its own, so the
// interrupted run's tasks neither run early nor lose their place; tasks the event leaves alive then
// join the others as if the event thread had made them.
void ScriptMachine::RunNestedEvent(const Block* event) {
    std::vector<Frame*> outerTasks = std::move(tasks);
    const size_t outerCurrent = current;
    const bool outerFinished = finished;
    Frame* outerBase = base;

    tasks.clear();
    Frame* frame = NewFrame(outerTasks[0], event, nativeCallBodies);
    tasks.push_back(frame);
    current = 0;
    finished = false;
    base = frame;
    ++runDepth;
    Loop<false>(0);
    --runDepth;

    // An event stopped by an error leaves its frames behind on its thread; they are let go here.
    if (tasks[0] != outerTasks[0]) ReleaseFrame(tasks[0]);
    const size_t joined = tasks.size() - 1;
    outerTasks.insert(outerTasks.begin() + 1, tasks.begin() + 1, tasks.end());
    tasks = std::move(outerTasks);
    current = outerCurrent >= 1 ? outerCurrent + joined : outerCurrent;
    finished = outerFinished;
    base = outerBase;
}

void ScriptMachine::Step() {
    if (root == nullptr || tasks.empty() || finished) return;
    ++runDepth;
    Loop<true>(1);
    --runDepth;
}

uint64_t ScriptMachine::Execute(uint64_t budget) {
    if (root == nullptr || tasks.empty() || finished) return 0;
    ++runDepth;
    uint64_t steps = Loop<true>(budget);
    --runDepth;
    return steps;
}

// Leaves the current task's innermost frame, which has run to its end. Returns false when the run is
// over.
bool ScriptMachine::ExitBlock() {
    Frame* frame = tasks[current];
    Frame* parent = frame->parent;
    if (parent == nullptr) {
        finished = true;
        return false;
    }
    tasks[current] = parent;
    if (frame->wantsResult) {
        // A function that never assigned its result returns void.
        Value result;
        if (!frame->variables.empty()) {
            if (frame->referenceCount == 1) {
                result = std::move(frame->variables[0]);
            } else {
                result = frame->variables[0];  // tasks it made still see its variables
            }
        }
        parent->stack.push_back(std::move(result));
    } else if (frame->block->kind == BlockKind::Task && current != 0) {
        tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(current));
        current -= 1;
    }
    const bool ended = frame == base;
    ReleaseFrame(frame);
    if (ended) {
        finished = true;
        return false;
    }
    return true;
}

// The boundary between a script and the memory it asks for: a builtin or operator that cannot get
// it stops the script that called it, and the program goes on.
Value ScriptMachine::CallNative(const Block& callee, int32_t count, Value* arguments) {
    try {
        return callee.native(*this, count, arguments);
    } catch (const ArrayTooLong&) {
        RaiseScriptError(*this, "Arrays and strings cannot hold more than " +
                                    std::to_string(kMaxArrayLength) + " elements");
    } catch (const std::bad_alloc&) {
        RaiseScriptError(*this, "Out of memory");
    } catch (const std::length_error&) {
        RaiseScriptError(*this, "Out of memory");
    }
    return {};
}

// Calls that the loop does not finish itself: builtins, operators with other operands, script
// routines and tasks. The caller's position is stored. Returns false when the run is over.
bool ScriptMachine::CallSlow(const Instruction& in) {
    Frame* frame = tasks[current];
    FrameValues& stack = frame->stack;
    const Block* callee = in.block;
    const uint32_t count = in.b;
    const bool pushResult = in.opcode == Opcode::CallAndPushResult;
    if (stack.size() < count) [[unlikely]]
        stack.InsertVoidAtBottom(count - stack.size());

    if (callee->isNative) {
        if (callee->native == nullptr) {
            stack.resize(stack.size() - count);
            if (pushResult) stack.emplace_back();
            return true;
        }
        const std::vector<Instruction>& code = frame->block->instructions;
        const Instruction* next = frame->position < code.size() ? &code[frame->position] : nullptr;
        Value* arguments = stack.data() + (stack.size() - count);
        Value* grown = nullptr;
        if (in.a == kGrowsAssignedVariable && count != 0 && next != nullptr &&
            next->opcode == Opcode::Assign) {
            grown = GrowableVariable(frame, *next, arguments[0]);
            if (grown != nullptr) grown->Reset();  // the argument is now the only holder
        }
        calledBuiltin = callee;
        nativeCallBodies = in.c;
        Value result = CallNative(*callee, static_cast<int32_t>(count), arguments);
        // The builtin may have run this machine again; `frame` is still the frame that called, and
        // its stack still holds the arguments (nothing a nested run does reaches them).
        if (stack.size() < count) [[unlikely]]
            stack.InsertVoidAtBottom(count - stack.size());
        arguments = stack.data() + (stack.size() - count);
        if (grown != nullptr && error.raised && finished) [[unlikely]] {
            *grown = arguments[0];  // the operator failed before changing anything
        }
        PutCallResult(stack, count, pushResult, std::move(result));
        if (finished) [[unlikely]] {
            error.line = in.line;
            return false;
        }
        return true;
    }

    if (frame->depth + in.c >= kMaxCallDepth) [[unlikely]] {
        RaiseNestingLimit(frame, callee, in.line);
        stack.resize(stack.size() - count);
        if (pushResult) stack.emplace_back();
        return false;
    }
    Frame* callFrame = NewFrame(frame, callee, in.c);
    // First argument on top of the callee's stack, where its leading Assigns take them.
    for (uint32_t i = 0; i < count; ++i) {
        callFrame->stack.push_back(std::move(stack.back()));
        stack.pop_back();
    }
    if (callee->kind == BlockKind::Task) {
        // The new task runs at once, before its creator goes on.
        tasks.insert(tasks.begin() + static_cast<std::ptrdiff_t>(current + 1), callFrame);
        ++current;
        if (pushResult) stack.emplace_back();  // never compiled; keeps the stack balanced
    } else {
        callFrame->wantsResult = pushResult;
        tasks[current] = callFrame;
    }
    return true;
}

// Returns false when the instruction raised an error.
bool ScriptMachine::AssignThrough(const Instruction& in) {
    FrameValues& stack = tasks[current]->stack;
    if (stack.size() < 2) [[unlikely]]
        stack.InsertVoidAtBottom(2 - stack.size());
    Value& reference = stack[stack.size() - 2];
    Value& source = stack.back();
    ValueBody* target = reference.Body();
    // A real over a real element (`xs[i] = x`), the usual case.
    if (target != nullptr && source.IsHeldReal() && target->type == &kRealRecord &&
        target->elements.items == nullptr) {
        target->scalar.real = source.HeldRealValue();
        stack.pop_back();
        stack.pop_back();
        return true;
    }
    if (reference.IsVoid()) [[unlikely]] {
        // Nothing to overwrite: only after an index that failed.
        stack.resize(stack.size() - 2);
        return true;
    }
    const TypeRecord* targetType = reference.Type();
    const bool allowed =
        !source.IsVoid() && ((targetType != nullptr && targetType == source.Type()) ||
                             (reference.IsArray() && source.IsArray() &&
                              (target->elements.length != 0 || source.Body()->elements.length != 0)));
    if (!allowed) {
        RaiseScriptError(*this, kTypeChanged);
        error.line = in.line;
        return false;
    }
    // A held real as the reference is no variable's or element's: the write has nowhere to go.
    const ValueBody* from = source.Body();
    if (target != nullptr && (from != target || from == nullptr)) {
        if (from != nullptr && from->elements.length != 0 && Reaches(from, target)) {
            RaiseScriptError(*this, kSelfContaining);
            error.line = in.line;
            return false;
        }
        OverwriteBody(target, source, *types);
    }
    stack.resize(stack.size() - 2);
    return true;
}

void ScriptMachine::RaiseNestingLimit(const Frame* frame, const Block* callee, int32_t line) {
    std::string name = callee != nullptr ? callee->name : std::string();
    for (const Frame* outer = frame; name.empty() && outer != nullptr; outer = outer->parent) {
        name = outer->block->name;
    }
    RaiseScriptError(*this, "Calls are nested too deeply (" + name + ")");
    error.line = line;
}

// `break` leaves the innermost loop, whether its body has a frame or runs in place in a frame on the
// way; every frame above that loop ends.
void ScriptMachine::BreakLoop() {
    for (Frame* frame = tasks[current]; frame != nullptr; frame = frame->parent) {
        const LoopInPlace* innermost = nullptr;
        for (const LoopInPlace& loop : frame->block->loopsInPlace) {
            if (frame->position >= loop.first && frame->position <= loop.last &&
                (innermost == nullptr || loop.first > innermost->first)) {
                innermost = &loop;
            }
        }
        if (innermost != nullptr) {
            frame->position = innermost->exit;
            return;
        }
        frame->position = CodeSize(frame);
        if (frame->block->kind == BlockKind::Loop) {
            if (frame->parent != nullptr) frame->parent->position = PastNextLoopBack(frame->parent);
            return;
        }
    }
}

void ScriptMachine::ReturnFromRoutine() {
    for (Frame* frame = tasks[current]; frame != nullptr; frame = frame->parent) {
        frame->position = CodeSize(frame);
        const BlockKind kind = frame->block->kind;
        if (kind == BlockKind::Sub || kind == BlockKind::Function || kind == BlockKind::Task) return;
        // Loop counters of the loops being left.
        if (kind == BlockKind::Loop && frame->parent != nullptr) frame->parent->stack.clear();
    }
}

// The variable a plan names, from the frame of the plan's block; null when it cannot be found.
[[gnu::always_inline]] inline Value* ScriptMachine::PlannedVariable(Frame* frame, ComputeScope scope,
                                                                    uint32_t level, uint32_t index) const {
    FrameValues* values;
    if (scope == ComputeScope::Own) [[likely]] {
        values = &frame->variables;
    } else if (scope == ComputeScope::Root) {
        values = &root->variables;
    } else {
        Frame* holder = FindFrame(frame->parent, level);
        if (holder == nullptr) return nullptr;
        values = &holder->variables;
    }
    if (index >= values->size()) return nullptr;
    Value* variable = values->data() + index;
    if (variable == nullptr) __builtin_unreachable();  // a variable that exists has an address
    return variable;
}

// The general ending of the computation `plan`, its steps done into `r` with the
// frame's stack `top` values long: returns where the code goes on, or kNotComputed, having changed
// nothing, when the ending cannot be had (the instructions then run one by one).
uint32_t ScriptMachine::FinishComputation(Frame* frame, const Computation& plan, const double* r,
                                          uint32_t top) {
    FrameValues& stack = frame->stack;
    // What the ending needs is checked before anything changes.
    Value* destination = nullptr;
    uint32_t element = 0;
    if (plan.end == ComputeEnd::Assign) {
        destination = PlannedVariable(frame, plan.scope, plan.level, plan.index);
        if (destination == nullptr ||
            (!destination->IsHeldReal() && !destination->IsVoid() && destination->Type() != &kRealRecord)) {
            return kNotComputed;
        }
    } else if (plan.end == ComputeEnd::StoreElement) {
        destination = PlannedVariable(frame, plan.scope, plan.level, plan.index);
        const ValueBody* body = destination != nullptr ? destination->Body() : nullptr;
        if (body == nullptr || body->type->kind != TypeKind::Array) return kNotComputed;
        if (!ElementAt(body, r[plan.position], element)) return kNotComputed;
        // The store keeps the element's type, as an assignment through it must.
        const Value& old = body->elements[element];
        if (plan.valueIsTruth ? old.Type() != &kBooleanRecord
                              : !old.IsHeldReal() && old.Type() != &kRealRecord)
            return kNotComputed;
    }
    if (!plan.outputs.empty()) {
        if (!PushOutputs(frame, plan, r)) return kNotComputed;
    } else if (plan.popped != 0) {
        stack.resize(top - plan.popped);
    }

    uint32_t after = plan.next;
    switch (plan.end) {
        case ComputeEnd::None:
            break;
        case ComputeEnd::Assign:
            *destination = NewRealValue(r[plan.value]);
            break;
        case ComputeEnd::StoreElement: {
            // As the instructions would: the variable's array made its own, then the element replaced.
            if (destination->Body()->referenceCount != 1) MakeUnique(*destination);
            Value& slot = destination->Body()->elements[element];
            slot = plan.valueIsTruth ? NewBoolean(*types, r[plan.value] != 0) : NewRealValue(r[plan.value]);
            break;
        }
        case ComputeEnd::JumpIfFalse:
            if (r[plan.value] == 0) after = plan.target;
            break;
        case ComputeEnd::JumpIfTrue:
            if (r[plan.value] != 0) after = plan.target;
            break;
    }
    return after;
}

// The values a computation leaves on the stack, pushed once the values it pops are gone; false,
// having changed nothing, when one of them cannot be had.
bool ScriptMachine::PushOutputs(Frame* frame, const Computation& plan, const double* r) {
    FrameValues& stack = frame->stack;
    const uint32_t top = stack.size();
    for (const ComputeOutput& output : plan.outputs) {
        if (output.kind == ComputeOutput::Variable) {
            const Value* variable = VariableValue(frame, output.level, output.index);
            if (variable == nullptr || variable->IsVoid()) return false;
        }
    }
    // Values taken from below the run's stack are copied before that part of the stack goes.
    alignas(Value) unsigned char saved[kComputeOutputs * sizeof(Value)];
    Value* kept = reinterpret_cast<Value*>(saved);
    uint32_t keptCount = 0;
    if (plan.outputsReadStack) {
        for (const ComputeOutput& output : plan.outputs) {
            if (output.kind == ComputeOutput::Stack)
                new (&kept[keptCount++]) Value(stack[top - output.index]);
        }
    }
    if (plan.popped != 0) stack.resize(top - plan.popped);
    uint32_t nextKept = 0;
    for (const ComputeOutput& output : plan.outputs) {
        switch (output.kind) {
            case ComputeOutput::Real:
                stack.push_back(NewRealValue(r[output.reg]));
                break;
            case ComputeOutput::Truth:
                stack.push_back(NewBoolean(*types, r[output.reg] != 0));
                break;
            case ComputeOutput::Variable:
                stack.push_back(*VariableValue(frame, output.level, output.index));
                break;
            case ComputeOutput::Stack:
                stack.push_back(std::move(kept[nextKept]));
                kept[nextKept++].~Value();
                break;
            case ComputeOutput::Constant:
                stack.push_back(frame->block->instructions[output.index].value);
                break;
        }
    }
    return true;
}

// The head of a counting loop at `head` (see CountingHead) with the very effect of its instructions,
// returning where the code goes on; null, having changed nothing, when bound or counter is not a real.
[[gnu::always_inline]] inline const Instruction* ScriptMachine::CountingHead(Frame* frame,
                                                                             const Instruction* head,
                                                                             const Instruction* code) {
    FrameValues& stack = frame->stack;
    const uint32_t n = stack.size();
    double bound;
    double counter;
    if (n < 2 || !stack[n - 2].ReadReal(bound) || !stack[n - 1].ReadReal(counter)) return nullptr;
    const bool ascent = head->a == kAscentHead;
    if (!(ascent ? bound > counter : bound < counter)) return code + head[2].a;
    const Instruction* copy = head + 3;
    if (!ascent) {
        if (!stack[n - 1].ReplaceHeldReal(counter - 1)) stack[n - 1] = NewRealValue(counter - 1);
        ++copy;
    }
    if (head->b != 0) {
        // The body's entry and its counter's assignment; the entry raises the nesting limit itself.
        const Instruction& enter = copy[1];
        if (frame->depth + enter.c >= kMaxCallDepth) [[unlikely]]
            return copy;
        Value* variables = frame->variables.data();
        for (uint32_t i = enter.a; i < enter.a + enter.b; ++i)
            variables[i].Reset();
        variables[copy[2].b] = stack[n - 1];
        return copy + 3;
    }
    stack.push_back(stack[n - 1]);
    return copy + 1;
}

// The variable of nesting `level` and `index`, or null when it cannot be found.
inline const Value* ScriptMachine::VariableValue(Frame* frame, uint32_t level, uint32_t index) const {
    Frame* holder = FrameAtLevel(frame, level);
    if (holder == nullptr || index >= holder->variables.size()) return nullptr;
    return &holder->variables[index];
}

// A pair's operand as a real; false when it is a variable that does not hold one.
[[gnu::always_inline]] inline bool ScriptMachine::PairOperandReal(Frame* frame, const PairOperand& operand,
                                                                  double& real) const {
    if (!operand.isVariable) {
        real = operand.constant;
        return true;
    }
    const Value* variable = PlannedVariable(frame, operand.scope, operand.level, operand.index);
    return variable != nullptr && variable->ReadReal(real);
}

// The pairs (see script/compute.h), each with the very effect of its instructions: its operands are
// reals, so none of them can fail. Each returns where the code goes on, or null (nothing done) when
// an operand is not a real.

// A comparison and its conditional jump.
[[gnu::always_inline]] inline const Instruction* ScriptMachine::PairJump(Frame* frame,
                                                                         const Instruction* first,
                                                                         const Instruction* code) {
    const PairPlan& pair = *static_cast<const PairPlan*>(first->detail);
    double x;
    double y;
    if (!PairOperandReal(frame, pair.x, x) || !PairOperandReal(frame, pair.y, y)) return nullptr;
    // The order -1, 0 or 1 (unordered reals compare as 0) picks its bit of the comparison's mask.
    const uint32_t order = x < y ? 0 : x > y ? 2 : 1;
    if ((pair.holds >> order & 1u) == pair.jumpIfTrue) return code + first->target;
    if (!pair.entersBody) return code + first->next;
    // The body's entry reports the limit itself.
    const Instruction* after = first + pair.length;
    return frame->depth + after->c < kMaxCallDepth ? after + 1 : after;
}

// The result of an arithmetic pair.
[[gnu::always_inline]] inline bool ScriptMachine::PairResult(Frame* frame, const PairPlan& pair,
                                                             double& result) {
    double x;
    double y = 0;
    if (!PairOperandReal(frame, pair.x, x) || (pair.binary && !PairOperandReal(frame, pair.y, y)))
        return false;
    result = pair.binary                     ? BinaryReal(pair.call, x, y)
             : pair.call == kFastSuccessor   ? x + 1
             : pair.call == kFastPredecessor ? x - 1
                                             : -x;
    return true;
}

// An operator and the assignment of its result.
[[gnu::always_inline]] inline const Instruction* ScriptMachine::PairAssign(Frame* frame,
                                                                           const Instruction* first,
                                                                           const Instruction* code) {
    const PairPlan& pair = *static_cast<const PairPlan*>(first->detail);
    double result;
    if (!PairResult(frame, pair, result)) return nullptr;
    const Instruction* after = code + first->next;
    Value* destination = PlannedVariable(frame, pair.scope, pair.level, pair.index);
    if (destination != nullptr) {
        if (destination->ReplaceHeldReal(result)) return after;
        if (destination->IsHeldReal() || destination->IsVoid() || destination->Type() == &kRealRecord) {
            *destination = NewRealValue(result);
            return after;
        }
    }
    // The Assign runs and reports what is wrong.
    frame->stack.push_back(NewRealValue(result));
    return first + pair.length - 1;
}

// An operator whose result, or a comparison's truth, is pushed.
[[gnu::always_inline]] inline const Instruction* ScriptMachine::PairPush(Frame* frame,
                                                                         const Instruction* first,
                                                                         const Instruction* code) {
    const PairPlan& pair = *static_cast<const PairPlan*>(first->detail);
    double result;
    if (!PairResult(frame, pair, result)) return nullptr;
    if (pair.hasComparison) {
        frame->stack.push_back(NewBoolean(*types, ComparisonHolds(pair.comparison, result)));
    } else {
        frame->stack.push_back(NewRealValue(result));
    }
    return code + first->next;
}

// Carries out the computation `plan` of `f`'s block (see script/compute.h) in registers of its own:
// returns where the code goes on, or kNotComputed, having changed nothing, when an operand is not
// what the plan takes.
uint32_t ScriptMachine::Compute(Frame* f, const Computation& plan) {
    // Three entries per operation, one for each form (see ComputeForm); an operation without operands
    // from the step before it has its one code under all three. The remainder by a constant whole
    // number comes last.
#define SPARREL_FORMS(name) &&name, &&name, &&name
#define SPARREL_CHAINED(name) &&name##_rr, &&name##_xr, &&name##_rx
    static const void* const kSteps[] = {
        &&step_Variable,
        &&step_OwnVariable,
        &&step_Variable,
        SPARREL_FORMS(step_Stack),
        SPARREL_CHAINED(step_Element),
        SPARREL_CHAINED(step_Element),
        SPARREL_CHAINED(step_Add),
        SPARREL_CHAINED(step_Subtract),
        SPARREL_CHAINED(step_Multiply),
        SPARREL_CHAINED(step_Divide),
        SPARREL_CHAINED(step_Remainder),
        SPARREL_CHAINED(step_Compare),
        SPARREL_CHAINED(step_Successor),
        SPARREL_CHAINED(step_Predecessor),
        SPARREL_CHAINED(step_Negative),
        SPARREL_CHAINED(step_Holds),
        SPARREL_FORMS(step_Enter),
        SPARREL_CHAINED(step_Function),
        SPARREL_FORMS(step_Done),
        SPARREL_CHAINED(step_EndAssign),
        SPARREL_CHAINED(step_EndStoreReal),
        SPARREL_CHAINED(step_EndStoreTruth),
        SPARREL_CHAINED(step_EndJumpIfFalse),
        SPARREL_CHAINED(step_EndJumpIfTrue),
        &&step_RemainderByWhole,
        &&step_RemainderByWholeFromLast,
    };
#undef SPARREL_FORMS
#undef SPARREL_CHAINED
    static_assert(sizeof kSteps / sizeof kSteps[0] == kRemainderByWholeFromLast + 1u);
    FrameValues* const stack = &f->stack;
    const uint32_t computeTop = stack->size();
    if (computeTop < plan.reach) [[unlikely]]
        return kNotComputed;
    double r[kComputeRegisters];
    // Mostly one or two: the first few copied as one block, any others one by one.
    std::memcpy(r, plan.leadingConstants, sizeof plan.leadingConstants);
    const double* constant = plan.constants.data();
    const uint32_t count = static_cast<uint32_t>(plan.constants.size());
    for (uint32_t i = kLeadingConstants; i < count; ++i)
        r[i] = constant[i];
    // The frame's own variables, which nearly every step names, are found without a look at the frame.
    Value* const own = f->variables.data();
    const uint32_t ownCount = f->variables.size();
    auto variableAt = [&](ComputeScope scope, uint32_t level, uint32_t index) -> Value* {
        if (scope == ComputeScope::Own) [[likely]]
            return index < ownCount ? own + index : nullptr;
        return PlannedVariable(f, scope, level, index);
    };
    // The result of the step before, also in its register: a step that takes it from here does not
    // wait for the register to be written and read back.
    double last = 0;
    const ComputeStep* step = plan.steps.data();
#define SPARREL_STEP_CODE(s) kSteps[(s)->run]
    goto* SPARREL_STEP_CODE(step);
    {
        // Each step of a computation goes straight on to the next one's code.
#define SPARREL_NEXT_STEP()            \
    do {                               \
        ++step;                        \
        goto* SPARREL_STEP_CODE(step); \
    } while (0)
#define SPARREL_RESULT(value) \
    do {                      \
        last = (value);       \
        r[step->dst] = last;  \
        SPARREL_NEXT_STEP();  \
    } while (0)
    step_OwnVariable:
        if (step->index < ownCount) [[likely]] {
            const uint64_t bits = own[step->index].Bits();
            if (bits >= Value::kHeldBase) [[likely]] {
                last = HeldBitsReal(bits);
                r[step->dst] = last;
                SPARREL_NEXT_STEP();
            }
        }
        // Anything else is read as any variable is.
    step_Variable : {
        const Value* variable = variableAt(step->scope, step->level, step->index);
        if (variable == nullptr || !variable->ReadReal(last)) return kNotComputed;
        r[step->dst] = last;
        SPARREL_NEXT_STEP();
    }
    step_Stack:
        if (!(*stack)[computeTop - step->index].ReadReal(last)) return kNotComputed;
        r[step->dst] = last;
        SPARREL_NEXT_STEP();
        // The forms of a step: _rr takes its operands from registers, _xr x from the step before, _rx y.
#define SPARREL_ELEMENT(label, position)                                                   \
    label : {                                                                              \
        const Value* variable = variableAt(step->scope, step->level, step->index);         \
        const ValueBody* array = variable != nullptr ? variable->Body() : nullptr;         \
        if (array == nullptr || array->type->kind != TypeKind::Array) return kNotComputed; \
        uint32_t index;                                                                    \
        if (!ElementAt(array, (position), index)) return kNotComputed;                     \
        const Value& item = array->elements[index];                                        \
        if (step->op == ComputeOp::Element) {                                              \
            if (!item.ReadReal(last)) return kNotComputed;                                 \
        } else {                                                                           \
            last = Truth(item) ? 1 : 0;                                                    \
        }                                                                                  \
        r[step->dst] = last;                                                               \
        SPARREL_NEXT_STEP();                                                               \
    }
        SPARREL_ELEMENT(step_Element_rr, r[step->x])
        SPARREL_ELEMENT(step_Element_xr, last)
        SPARREL_ELEMENT(step_Element_rx, r[step->x])
#undef SPARREL_ELEMENT
#define SPARREL_BINARY(name, expression) \
    name##_rr : {                        \
        const double x = r[step->x];     \
        const double y = r[step->y];     \
        SPARREL_RESULT(expression);      \
    }                                    \
    name##_xr : {                        \
        const double x = last;           \
        const double y = r[step->y];     \
        SPARREL_RESULT(expression);      \
    }                                    \
    name##_rx : {                        \
        const double x = r[step->x];     \
        const double y = last;           \
        SPARREL_RESULT(expression);      \
    }
        SPARREL_BINARY(step_Add, x + y)
        SPARREL_BINARY(step_Subtract, x - y)
        SPARREL_BINARY(step_Multiply, x * y)
        SPARREL_BINARY(step_Divide, x / y)
        SPARREL_BINARY(step_Remainder, Remainder(x, y))
    step_RemainderByWhole : {
        const double x = r[step->x];
        SPARREL_RESULT(RemainderByWhole(x, static_cast<int32_t>(step->index)));
    }
    step_RemainderByWholeFromLast : {
        const double x = last;
        SPARREL_RESULT(RemainderByWhole(x, static_cast<int32_t>(step->index)));
    }
        SPARREL_BINARY(step_Compare, x < y ? -1 : x > y ? 1 : 0)
#undef SPARREL_BINARY
#define SPARREL_UNARY(name, expression) \
    name##_rr : {                       \
        const double x = r[step->x];    \
        SPARREL_RESULT(expression);     \
    }                                   \
    name##_xr : {                       \
        const double x = last;          \
        SPARREL_RESULT(expression);     \
    }                                   \
    name##_rx : goto name##_rr;
        SPARREL_UNARY(step_Successor, x + 1)
        SPARREL_UNARY(step_Predecessor, x - 1)
        SPARREL_UNARY(step_Negative, -x)
        SPARREL_UNARY(step_Holds, ComparisonHolds(step->comparison, x) ? 1 : 0)
        SPARREL_UNARY(step_Function, step->function(x))
#undef SPARREL_UNARY
    step_Enter : {
        // Voiding the body's variables again, should the instructions run after all, changes nothing.
        if (f->depth + step->bodies >= kMaxCallDepth) return kNotComputed;
        Value* variables = f->variables.data() + step->index;
        for (uint32_t i = 0; i < step->level; ++i)
            variables[i].Reset();
        SPARREL_NEXT_STEP();
    }
#undef SPARREL_RESULT
#undef SPARREL_NEXT_STEP
        // The endings' value: from its register, or from the step before (the _xr form).
        {
            double value;
        step_EndJumpIfFalse_rr:
        step_EndJumpIfFalse_rx:
            value = r[plan.value];
            goto step_EndJumpIfFalse;
        step_EndJumpIfFalse_xr:
            value = last;
        step_EndJumpIfFalse:
            return value == 0 ? plan.target : plan.next;
        step_EndJumpIfTrue_rr:
        step_EndJumpIfTrue_rx:
            value = r[plan.value];
            goto step_EndJumpIfTrue;
        step_EndJumpIfTrue_xr:
            value = last;
        step_EndJumpIfTrue:
            return value != 0 ? plan.target : plan.next;
        step_EndAssign_rr:
        step_EndAssign_rx:
            value = r[plan.value];
            goto step_EndAssign;
        step_EndAssign_xr:
            value = last;
        step_EndAssign : {
            const uint32_t index = plan.index;
            Value* destination;
            if (plan.scope == ComputeScope::Own && index < ownCount) [[likely]] {
                destination = own + index;
            } else {
                destination = PlannedVariable(f, plan.scope, plan.level, index);
                if (destination == nullptr) goto step_Done;
            }
            if (!destination->ReplaceHeldReal(value)) goto step_Done;
            return plan.next;
        }
        step_EndStoreReal_rr:
        step_EndStoreReal_rx:
        step_EndStoreTruth_rr:
        step_EndStoreTruth_rx:
            value = r[plan.value];
            goto step_EndStore;
        step_EndStoreReal_xr:
        step_EndStoreTruth_xr:
            value = last;
        step_EndStore : {
            // The array the variable alone holds, an element of the stored type: the element is replaced
            // (a boolean by the very body it holds, when it is the table's own true or false, stays as
            // it is).
            const Value* variable = variableAt(plan.scope, plan.level, plan.index);
            ValueBody* body = variable != nullptr ? variable->Body() : nullptr;
            uint32_t element;
            if (body == nullptr || body->referenceCount != 1 || body->type->kind != TypeKind::Array ||
                !ElementAt(body, r[plan.position], element)) {
                goto step_Done;
            }
            Value& slot = body->elements[element];
            if (step->op == ComputeOp::EndStoreReal) {
                if (!slot.ReplaceHeldReal(value)) goto step_Done;
            } else if (!StoreCommonBoolean(slot, *types, value != 0)) {
                goto step_Done;
            }
            return plan.next;
        }
        }
    step_Done:
        return FinishComputation(f, plan, r, computeTop);
    }
#undef SPARREL_STEP_CODE
}

template <bool kBudgeted>
uint64_t ScriptMachine::Loop(uint64_t budget) {
    uint64_t steps = 0;
    const TypeRecord* const booleanType = types->Boolean();
    Frame* f;
    const Instruction* code;
    const Instruction* end;
    const Instruction* ip;
    FrameValues* stack;

    // The running frame's code, position and stack live in locals; the position is written back before
    // anything that may look at the frame, and all of them are read again after a change of frame or
    // task. `finished` is only set by what is done out of line here, which reports it.
#define SPARREL_ENTER_FRAME(frame) \
    do {                           \
        f = (frame);               \
        code = f->code;            \
        end = f->end;              \
        ip = code + f->position;   \
        stack = &f->stack;         \
    } while (0)
#define SPARREL_LOAD_FRAME() SPARREL_ENTER_FRAME(tasks[current])
#define SPARREL_SAVE_POSITION() (f->position = static_cast<uint32_t>(ip - code))
// Values a malformed continuation (only after an error) might lack are supplied as void.
#define SPARREL_NEED(count)                                   \
    do {                                                      \
        if (stack->size() < (count)) [[unlikely]]             \
            stack->InsertVoidAtBottom((count)-stack->size()); \
    } while (0)

    // Each handler goes straight on to the next instruction's, unless a step budget is counted or the
    // block's code is done: those go round the loop.
#define SPARREL_NEXT()                           \
    do {                                         \
        if (kBudgeted || ip >= end) [[unlikely]] \
            goto next;                           \
        inp = ip++;                              \
        goto* kHandlers[inp->handler];           \
    } while (0)
// Goes on where a plan or a fused step done at once says, unless it gave null (the instructions run).
#define SPARREL_GO_ON_AT(where)                      \
    do {                                             \
        if (const Instruction* const at = (where)) { \
            ip = at;                                 \
            SPARREL_NEXT();                          \
        }                                            \
    } while (0)
    // Only the compiler writes code: opcodes 0 to 31 only, in this order, then the plans' handlers.
    static const void* const kHandlers[] = {
        &&op_Assign,
        &&op_AssignThrough,
        &&op_BreakLoop,
        &&op_ReturnFromRoutine,
        &&op_Call,
        &&op_CallAndPushResult,
        &&op_CaseBegin,
        &&op_CaseEnd,
        &&op_CaseJumpIfTrue,
        &&op_CaseJumpIfFalse,
        &&op_CaseNext,
        &&op_CompareEqual,
        &&op_CompareGreater,
        &&op_CompareGreaterEqual,
        &&op_CompareLess,
        &&op_CompareLessEqual,
        &&op_CompareNotEqual,
        &&op_Duplicate,
        &&op_DuplicatePair,
        &&op_LoopWhileGreater,
        &&op_LoopBack,
        &&op_LoopCount,
        &&op_LoopWhileLess,
        &&op_LoopIf,
        &&op_Pop,
        &&op_PushValue,
        &&op_PushVariable,
        &&op_PushVariableWritable,
        &&op_Swap,
        &&op_Yield,
        &&op_EnterBody,
        &&op_TrimStack,
        &&plan_Compute,
        &&plan_PairJump,
        &&plan_PairAssign,
        &&plan_PairPush,
        &&plan_Append,
        &&plan_CountingHead,
        &&plan_SuccessorToHead,
        &&plan_RoutineCall,
        &&plan_StackAdd,
        &&plan_StackSubtract,
        &&plan_StackMultiply,
        &&plan_Return,
        &&plan_ReturnVariable,
        &&plan_PairJumpOwn,
        &&plan_PairAssignOwnAdd,
        &&plan_PairAssignOwnSubtract,
        &&plan_PairAssignOwnMultiply,
        &&plan_PairAssignOwnDivide,
        &&plan_PairAssignOwnRemainder,
        &&plan_PairPushOwnAdd,
        &&plan_PairPushOwnSubtract,
        &&plan_PairPushOwnMultiply,
        &&plan_PairPushOwnDivide,
        &&plan_PairPushOwnRemainder,
        &&plan_StoreOwn,
        &&plan_ElementJumpOwn,
        &&plan_AscentStep,
    };
    static_assert(static_cast<size_t>(Opcode::TrimStack) + 1 == kComputeHandler);
    static_assert(sizeof kHandlers / sizeof kHandlers[0] == kAscentStepHandler + 1);
    const Instruction* inp;

    SPARREL_LOAD_FRAME();
    for (;;) {
    next:
        if constexpr (kBudgeted) {
            if (finished || steps >= budget) break;
            ++steps;
        }
        if (ip >= end) [[unlikely]] {
            SPARREL_SAVE_POSITION();
            Frame* parent = f->parent;
            if (parent != nullptr && f->block->kind != BlockKind::Task && f != base) {
                // Back to the frame that called, on the same thread.
                tasks[current] = parent;
                if (f->wantsResult) {
                    // A function that never assigned its result returns void.
                    if (f->variables.empty()) {
                        parent->stack.emplace_back();
                    } else if (f->referenceCount == 1) {
                        parent->stack.push_back(std::move(f->variables[0]));
                    } else {
                        parent->stack.push_back(f->variables[0]);  // tasks it made still see its variables
                    }
                }
                ReleaseFrame(f);
                SPARREL_ENTER_FRAME(parent);
                continue;
            }
            if (!ExitBlock()) break;
            SPARREL_LOAD_FRAME();
            continue;
        }

        inp = ip++;
        goto* kHandlers[inp->handler];
        {
        // A plan done at once goes on where it says; one that cannot be had leaves its instructions
        // to run one by one.
        plan_Compute:
            if (const uint32_t at = Compute(f, *static_cast<const Computation*>(inp->detail));
                at != kNotComputed) {
                ip = code + at;
                SPARREL_NEXT();
            }
            goto* kHandlers[static_cast<uint32_t>(inp->opcode)];
        unplanned:
            goto* kHandlers[static_cast<uint32_t>(inp->opcode)];
        plan_PairJump:
            SPARREL_GO_ON_AT(PairJump(f, inp, code));
            goto* kHandlers[static_cast<uint32_t>(inp->opcode)];
            // Pairs of the frame's own variables and held constants (see OwnPairHandler): with every
            // value a held real, done here; otherwise as any pair.
#define SPARREL_OWN_OPERANDS()                                                     \
    const PairPlan& pair = *static_cast<const PairPlan*>(inp->detail);             \
    Value* const own = f->variables.data();                                        \
    const uint32_t ownCount = f->variables.size();                                 \
    const uint64_t xBits = pair.x.index < ownCount ? own[pair.x.index].Bits() : 0; \
    const uint64_t yBits = !pair.y.isVariable        ? pair.y.held                 \
                           : pair.y.index < ownCount ? own[pair.y.index].Bits()    \
                                                     : 0;                          \
    const bool held = xBits >= Value::kHeldBase && yBits >= Value::kHeldBase;      \
    const double x = HeldBitsReal(xBits);                                          \
    const double y = HeldBitsReal(yBits)
        plan_PairJumpOwn : {
            SPARREL_OWN_OPERANDS();
            if (held) [[likely]] {
                const uint32_t order = x < y ? 0 : x > y ? 2 : 1;
                if ((pair.holds >> order & 1u) == pair.jumpIfTrue) {
                    ip = code + inp->target;
                } else if (!pair.entersBody) {
                    ip = code + inp->next;
                } else {
                    // The body's entry reports the limit itself.
                    const Instruction* const after = inp + pair.length;
                    ip = f->depth + after->c < kMaxCallDepth ? after + 1 : after;
                }
                SPARREL_NEXT();
            }
            goto plan_PairJump;
        }
#define SPARREL_PAIR_ASSIGN_OWN(label, expression)                                      \
    label : {                                                                           \
        SPARREL_OWN_OPERANDS();                                                         \
        if (held && pair.index < ownCount && own[pair.index].IsHeldReal()) [[likely]] { \
            if (own[pair.index].ReplaceHeldReal(expression)) [[likely]] {               \
                ip = code + inp->next;                                                  \
                SPARREL_NEXT();                                                         \
            }                                                                           \
        }                                                                               \
        goto plan_PairAssign;                                                           \
    }
            SPARREL_PAIR_ASSIGN_OWN(plan_PairAssignOwnAdd, x + y)
            SPARREL_PAIR_ASSIGN_OWN(plan_PairAssignOwnSubtract, x - y)
            SPARREL_PAIR_ASSIGN_OWN(plan_PairAssignOwnMultiply, x * y)
            SPARREL_PAIR_ASSIGN_OWN(plan_PairAssignOwnDivide, x / y)
            SPARREL_PAIR_ASSIGN_OWN(plan_PairAssignOwnRemainder, Remainder(x, y))
#undef SPARREL_PAIR_ASSIGN_OWN
#define SPARREL_PAIR_PUSH_OWN(label, expression)           \
    label : {                                              \
        SPARREL_OWN_OPERANDS();                            \
        if (held) [[likely]] {                             \
            const double result = (expression);            \
            if (Value::Holds(result)) [[likely]] {         \
                stack->push_back(Value::HeldReal(result)); \
                ip = code + inp->next;                     \
                SPARREL_NEXT();                            \
            }                                              \
        }                                                  \
        goto plan_PairPush;                                \
    }
            SPARREL_PAIR_PUSH_OWN(plan_PairPushOwnAdd, x + y)
            SPARREL_PAIR_PUSH_OWN(plan_PairPushOwnSubtract, x - y)
            SPARREL_PAIR_PUSH_OWN(plan_PairPushOwnMultiply, x * y)
            SPARREL_PAIR_PUSH_OWN(plan_PairPushOwnDivide, x / y)
            SPARREL_PAIR_PUSH_OWN(plan_PairPushOwnRemainder, Remainder(x, y))
#undef SPARREL_PAIR_PUSH_OWN
#undef SPARREL_OWN_OPERANDS
        plan_StoreOwn : {
            // `array[position] = constant` (see StoreOwnHandler): with the position a held real inside
            // the array the variable alone holds and the element of the stored type, the element is
            // replaced as the general ending would; otherwise the computation runs.
            const Computation& plan = *static_cast<const Computation*>(inp->detail);
            Value* const own = f->variables.data();
            const uint32_t ownCount = f->variables.size();
            if (plan.positionIndex < ownCount && plan.index < ownCount) [[likely]] {
                const uint64_t position = own[plan.positionIndex].Bits();
                ValueBody* const body = own[plan.index].Body();
                uint32_t element;
                if (position >= Value::kHeldBase && body != nullptr && body->referenceCount == 1 &&
                    body->type->kind == TypeKind::Array && ElementAt(body, HeldBitsReal(position), element))
                    [[likely]] {
                    Value& slot = body->elements[element];
                    const double value = plan.storedValue;
                    if (plan.valueIsTruth ? StoreCommonBoolean(slot, *types, value != 0)
                                          : slot.ReplaceHeldReal(value)) {
                        ip = code + inp->next;
                        SPARREL_NEXT();
                    }
                }
            }
            goto plan_Compute;
        }
        plan_ElementJumpOwn : {
            // `if (array[position])` and the like (see ElementJumpOwnHandler), with the position a held
            // real inside the array; otherwise the computation runs.
            const Computation& plan = *static_cast<const Computation*>(inp->detail);
            Value* const own = f->variables.data();
            const uint32_t ownCount = f->variables.size();
            if (plan.positionIndex < ownCount && plan.arrayIndex < ownCount) [[likely]] {
                const uint64_t position = own[plan.positionIndex].Bits();
                const ValueBody* const body = own[plan.arrayIndex].Body();
                uint32_t element;
                if (position >= Value::kHeldBase && body != nullptr && body->type->kind == TypeKind::Array &&
                    ElementAt(body, HeldBitsReal(position), element)) [[likely]] {
                    const bool truth = Truth(body->elements[element]);
                    ip = code + (truth == (plan.end == ComputeEnd::JumpIfTrue) ? inp->target : inp->next);
                    SPARREL_NEXT();
                }
            }
            goto plan_Compute;
        }
        plan_PairAssign:
            SPARREL_GO_ON_AT(PairAssign(f, inp, code));
            goto* kHandlers[static_cast<uint32_t>(inp->opcode)];
        plan_PairPush:
            SPARREL_GO_ON_AT(PairPush(f, inp, code));
            goto* kHandlers[static_cast<uint32_t>(inp->opcode)];
        plan_Append:
            SPARREL_GO_ON_AT(RunAppend(f, inp));
            goto* kHandlers[static_cast<uint32_t>(inp->opcode)];
        plan_CountingHead:
            SPARREL_GO_ON_AT(CountingHead(f, inp, code));
            goto* kHandlers[static_cast<uint32_t>(inp->opcode)];
        plan_AscentStep:
            // An ascent whose body runs in place, going on: with counter and bound held reals and the
            // body's entry within the limit, counted on and into the body at once.
            if (stack->size() >= 2) [[likely]] {
                Value* const counter = stack->data() + stack->size() - 1;
                const uint64_t counterBits = counter->Bits();
                const uint64_t boundBits = counter[-1].Bits();
                const Instruction* const head = code + ip->a;
                const double counted = HeldBitsReal(counterBits) + 1;
                // A real below another is no NaN, which every handle holds.
                if (counterBits >= Value::kHeldBase && boundBits >= Value::kHeldBase &&
                    HeldBitsReal(boundBits) > counted && f->depth + head[4].c < kMaxCallDepth) [[likely]] {
                    *counter = Value::HeldReal(counted);
                    Value* const variables = f->variables.data();
                    const Instruction& enter = head[4];
                    if (enter.b != 1) {
                        // Mostly the counter is the body's one variable; others are voided.
                        for (uint32_t i = enter.a; i < enter.a + enter.b; ++i)
                            variables[i].Reset();
                    }
                    variables[head[5].b] = Value::HeldReal(counted);
                    ip = head + 6;
                    SPARREL_NEXT();
                }
            }
        plan_SuccessorToHead:
            if (!stack->empty() && stack->back().IsHeldReal()) {
                // Counted on, and straight into the head the jump back leads to.
                Value& counter = stack->back();
                const double counted = counter.HeldRealValue() + 1;
                if (!counter.ReplaceHeldReal(counted)) counter = NewRealValue(counted);
                const Instruction* head = code + ip->a;
                const Instruction* next = CountingHead(f, head, code);
                ip = next != nullptr ? next : head;
                SPARREL_NEXT();
            }
            goto* kHandlers[static_cast<uint32_t>(inp->opcode)];
        plan_RoutineCall:
            if (stack->size() >= inp->b && f->depth + inp->c < kMaxCallDepth) [[likely]]
                goto routine_call;
            goto unplanned;
            // Two reals on top of the stack: the operator's very result takes the first one's place.
#define SPARREL_STACK_OPERATOR(label, op)                                     \
    label : {                                                                 \
        const uint32_t n = stack->size();                                     \
        if (n >= 2) [[likely]] {                                              \
            Value& x = (*stack)[n - 2];                                       \
            Value& y = (*stack)[n - 1];                                       \
            if (x.IsHeldReal() && y.IsHeldReal()) [[likely]] {                \
                const double result = x.HeldRealValue() op y.HeldRealValue(); \
                if (!x.ReplaceHeldReal(result)) x = NewRealValue(result);     \
                (void)y.Detach(); /* a held real: nothing to release */       \
                stack->DropMoved(1);                                          \
                SPARREL_NEXT();                                               \
            }                                                                 \
        }                                                                     \
        goto unplanned;                                                       \
    }
            SPARREL_STACK_OPERATOR(plan_StackAdd, +)
            SPARREL_STACK_OPERATOR(plan_StackSubtract, -)
            SPARREL_STACK_OPERATOR(plan_StackMultiply, *)
#undef SPARREL_STACK_OPERATOR
            // `return x;` in a function's own frame, which nothing else holds and whose result is still void:
            // x goes straight to the caller (or is dropped with the frame when the call discards it), as the
            // assignment, the return and the frame's end would leave it.
#define SPARREL_RETURNS_AT_ONCE()                                                            \
    (f->parent != nullptr && f != base && f->referenceCount == 1 && !f->variables.empty() && \
     f->variables[0].IsVoid())
        plan_ReturnVariable : {
            const Value* variable = VariableValue(f, inp->a, inp->b);
            if (variable == nullptr || variable->IsVoid() || !SPARREL_RETURNS_AT_ONCE()) [[unlikely]]
                goto unplanned;
            if (f->wantsResult) {
                if (inp->a == f->block->level) {
                    // A variable of the frame itself goes with the frame: it is moved, not copied.
                    f->parent->stack.push_back(std::move(f->variables[inp->b]));
                } else {
                    f->parent->stack.push_back(*variable);
                }
            }
            goto return_at_once;
        }
        plan_Return:
            if (stack->empty() || !SPARREL_RETURNS_AT_ONCE()) [[unlikely]]
                goto unplanned;
            if (f->wantsResult) {
                f->parent->stack.push_back(std::move(stack->back()));
                stack->DropMoved(1);
            }
        return_at_once : {
            // On to the caller, which is at hand: its frame need not be looked up again.
            Frame* const caller = f->parent;
            tasks[current] = caller;
            ReleaseFrame(f);
            SPARREL_ENTER_FRAME(caller);
            SPARREL_NEXT();
        }
#undef SPARREL_RETURNS_AT_ONCE
        op_Assign : {
            SPARREL_NEED(1);
            Frame* target = FrameAtLevel(f, inp->a);
            if (target == nullptr || inp->b >= target->variables.size()) [[unlikely]] {
                if (target == nullptr) {
                    stack->pop_back();
                    SPARREL_NEXT();
                }
                target->variables.resize(inp->b + 1);
            }
            Value& destination = target->variables[inp->b];
            Value& source = stack->back();
            // Two held reals (the usual case) need no look at types.
            const uint64_t held = destination.Bits();
            if (held != 0 && (held < Value::kHeldBase || source.Bits() < Value::kHeldBase) &&
                !SameBodyType(destination, source) && destination.Type() != source.Type() &&
                !(destination.IsArray() && source.IsArray())) [[unlikely]] {
                RaiseScriptError(*this, kTypeChanged);
                error.line = inp->line;
                destination = std::move(source);  // the store still happens
                stack->pop_back();
                goto stopped;
            }
            destination = std::move(source);
            stack->pop_back();
            SPARREL_NEXT();
        }
        op_AssignThrough:
            if (!AssignThrough(*inp)) goto stopped;
            SPARREL_NEXT();
        op_BreakLoop:
            SPARREL_SAVE_POSITION();
            BreakLoop();
            ip = code + f->position;
            SPARREL_NEXT();
        op_ReturnFromRoutine:
            if (f->block->kind == BlockKind::Function || f->block->kind == BlockKind::Sub) {
                ip = end;  // the routine's own frame: it ends here
                SPARREL_NEXT();
            }
            SPARREL_SAVE_POSITION();
            ReturnFromRoutine();
            ip = code + f->position;
            SPARREL_NEXT();
        op_Call:
        op_CallAndPushResult:
            if (inp->a == kPlainCall) goto plain_call;
            if (inp->a >= kFastAdd && TryFastCall(inp->a, *stack, *types)) SPARREL_NEXT();
            if (inp->a == kAppendsToAssignedVariable && AppendInPlace(f, ip, end)) {
                ip += 2;
                SPARREL_NEXT();
            }
        plain_call:
            if (!inp->block->isNative && inp->block->kind != BlockKind::Task && stack->size() >= inp->b &&
                f->depth + inp->c < kMaxCallDepth) [[likely]] {
                // A script routine, inner block or loop body on the caller's thread: made here.
            routine_call:
                SPARREL_SAVE_POSITION();
                Frame* callFrame = NewFrame(f, inp->block, inp->c);
                const uint32_t count = inp->b;
                uint32_t skipped = 0;
                if (count != 0 && count == inp->block->parameterMoves) {
                    // Into the parameters' fresh variables, as the routine's first assignments would.
                    Value* argument = stack->data() + (stack->size() - count);
                    const Instruction* assign = inp->block->instructions.data();
                    // The variables are void, so the arguments are put in without a look at them.
                    for (uint32_t i = 0; i < count; ++i)
                        ::new (static_cast<void*>(&callFrame->variables[assign[i].b]))
                            Value(std::move(argument[i]));
                    stack->DropMoved(count);
                    skipped = inp->block->movedEntry;
                } else {
                    for (uint32_t i = 0; i < count; ++i) {
                        callFrame->stack.push_back(std::move(stack->back()));
                        stack->pop_back();
                    }
                }
                callFrame->wantsResult = inp->opcode == Opcode::CallAndPushResult;
                tasks[current] = callFrame;
                f = callFrame;
                code = f->code;
                end = f->end;
                ip = code + skipped;
                stack = &f->stack;
                SPARREL_NEXT();
            }
            SPARREL_SAVE_POSITION();
            if (inp->block->native != nullptr && inp->a != kGrowsAssignedVariable &&
                stack->size() >= inp->b) {
                // A builtin or operator function, called here as CallSlow would.
                const uint32_t count = inp->b;
                calledBuiltin = inp->block;
                nativeCallBodies = inp->c;
                {
                    // Handles live in inner blocks only: no handler jump may leave a handle's scope.
                    Value result = CallNative(*inp->block, static_cast<int32_t>(count),
                                              stack->data() + (stack->size() - count));
                    // A nested run leaves this frame's stack as it was, arguments included.
                    if (stack->size() < count) [[unlikely]]
                        stack->InsertVoidAtBottom(count - stack->size());
                    PutCallResult(*stack, count, inp->opcode == Opcode::CallAndPushResult, std::move(result));
                }
                const bool stop = finished;
                if (stop) [[unlikely]]
                    error.line = inp->line;
                SPARREL_LOAD_FRAME();
                if (stop) [[unlikely]]
                    goto stopped;
                SPARREL_NEXT();
            }
            if (!CallSlow(*inp)) {
                SPARREL_LOAD_FRAME();
                goto stopped;
            }
            SPARREL_LOAD_FRAME();
            SPARREL_NEXT();
        op_CaseBegin:
        op_CaseEnd:
            SPARREL_NEXT();
        op_CaseJumpIfTrue : {
            SPARREL_NEED(1);
            const bool value = Truth(stack->back());
            stack->pop_back();
            if (value) ip = code + inp->a;
            SPARREL_NEXT();
        }
        op_CaseNext:
            ip = code + inp->a;
            SPARREL_NEXT();
        op_CompareEqual:
        op_CompareGreater:
        op_CompareGreaterEqual:
        op_CompareLess:
        op_CompareLessEqual:
        op_CompareNotEqual : {
            SPARREL_NEED(1);
            Value& top = stack->back();
            BecomeBoolean(top, booleanType, ComparisonHolds(inp->opcode, ValueToReal(top)));
            SPARREL_NEXT();
        }
        op_Duplicate : {
            SPARREL_NEED(1);
            stack->push_back(Value(stack->back()));  // copied before the stack may grow
            SPARREL_NEXT();
        }
        op_DuplicatePair : {
            SPARREL_NEED(2);
            {
                Value first = (*stack)[stack->size() - 2];
                Value second = stack->back();
                stack->push_back(std::move(first));
                stack->push_back(std::move(second));
            }
            SPARREL_NEXT();
        }
        op_LoopWhileGreater : {
            SPARREL_NEED(1);
            const double r = ValueToReal(stack->back());
            stack->pop_back();
            if (!(r > 0)) ip = code + inp->a;
            SPARREL_NEXT();
        }
        op_LoopBack:
            ip = code + inp->a;
            SPARREL_NEXT();
        op_LoopCount : {
            SPARREL_NEED(1);
            Value& top = stack->back();
            const double r = ValueToReal(top);
            if (r > 0) {
                if (!top.ReplaceHeldReal(r - 1)) top = NewRealValue(r - 1);
                // Into a body that declares nothing (see PlanComputations); its entry reports the limit.
                if (inp->b != 0 && f->depth + ip->c < kMaxCallDepth) ++ip;
            } else {
                ip = code + inp->a;
            }
            SPARREL_NEXT();
        }
        op_LoopWhileLess : {
            SPARREL_NEED(1);
            const double r = ValueToReal(stack->back());
            stack->pop_back();
            if (!(r < 0)) ip = code + inp->a;
            SPARREL_NEXT();
        }
        op_CaseJumpIfFalse:
        op_LoopIf : {
            SPARREL_NEED(1);
            const bool value = Truth(stack->back());
            stack->pop_back();
            if (!value) ip = code + inp->a;
            SPARREL_NEXT();
        }
        op_Pop:
            if (!stack->empty()) stack->pop_back();
            SPARREL_NEXT();
        op_PushValue:
            stack->push_back(inp->value);
            SPARREL_NEXT();
        op_PushVariable:
        op_PushVariableWritable : {
            Frame* holder = FrameAtLevel(f, inp->a);
            if (holder == nullptr || inp->b >= holder->variables.size() || holder->variables[inp->b].IsVoid())
                [[unlikely]] {
                RaiseScriptError(*this, kUnassigned);
                error.line = inp->line;
                stack->emplace_back();
                goto stopped;
            }
            Value& variable = holder->variables[inp->b];
            if (inp->opcode == Opcode::PushVariableWritable) MakeUnique(variable);
            stack->push_back(variable);
            SPARREL_NEXT();
        }
        op_Swap : {
            SPARREL_NEED(2);
            std::swap((*stack)[stack->size() - 2], stack->back());
            SPARREL_NEXT();
        }
        op_EnterBody : {
            if (f->depth + inp->c >= kMaxCallDepth) [[unlikely]] {
                // Where the call of a body with a frame of its own would have failed.
                RaiseNestingLimit(f, nullptr, inp->line);
                goto stopped;
            }
            Value* variables = f->variables.data() + inp->a;
            for (uint32_t i = 0; i < inp->b; ++i)
                variables[i].Reset();
            SPARREL_NEXT();
        }
        op_TrimStack:
            if (stack->size() > inp->a) [[unlikely]]
                stack->resize(inp->a);
            SPARREL_NEXT();
        op_Yield:
            SPARREL_SAVE_POSITION();
            current = current == 0 ? tasks.size() - 1 : current - 1;
            SPARREL_LOAD_FRAME();
            SPARREL_NEXT();
        }
    }
stopped:
    SPARREL_SAVE_POSITION();
    return steps;
#undef SPARREL_LOAD_FRAME
#undef SPARREL_ENTER_FRAME
#undef SPARREL_SAVE_POSITION
#undef SPARREL_NEED
#undef SPARREL_NEXT
#undef SPARREL_GO_ON_AT
}

template uint64_t ScriptMachine::Loop<false>(uint64_t);
template uint64_t ScriptMachine::Loop<true>(uint64_t);
