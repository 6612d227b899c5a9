#include "script/operators.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "script/machine.h"
#include "script/text_narrow.h"

namespace {

Value Fail(ScriptMachine& machine, std::string_view message) {
    RaiseScriptError(machine, message);
    return Value();
}

// The operators that read their operand's type have no answer for void (a routine that returned
// nothing, for example): they stop the script and name themselves.
Value FailVoid(ScriptMachine& machine, const char* name) {
    return Fail(machine, std::string(name) + " cannot be used on a void value");
}

bool HasType(const ValueBody* body) {
    return body != nullptr && IsKnownKind(body->type->kind);
}

bool HasType(const Value& value) {
    return value.Type() != nullptr;
}

// Whole numbers only: NaN and the infinities are not, so they never reach an index conversion.
bool IsWhole(double position) {
    return std::isfinite(position) && std::trunc(position) == position;
}

// A stack for walking nested arrays; the first levels live in place, so flat arrays never allocate.
template <typename Level>
class WorkStack {
public:
    bool Empty() const { return size_ == 0; }
    Level& Back() { return size_ <= kInline ? inline_[size_ - 1] : more_.back(); }
    void Push(const Level& level) {
        if (size_ < kInline) {
            inline_[size_] = level;
        } else {
            more_.push_back(level);
        }
        ++size_;
    }
    void Pop() {
        if (size_ > kInline) more_.pop_back();
        --size_;
    }

private:
    static constexpr size_t kInline = 16;
    Level inline_[kInline];
    std::vector<Level> more_;
    size_t size_ = 0;
};

Value OpTrue(ScriptMachine& machine, int32_t, Value*) {
    return NewBoolean(*machine.types, true);
}

Value OpFalse(ScriptMachine& machine, int32_t, Value*) {
    return NewBoolean(*machine.types, false);
}

Value OpPi(ScriptMachine& machine, int32_t, Value*) {
    return NewReal(*machine.types, std::numbers::pi);
}

Value OpLength(ScriptMachine& machine, int32_t, Value* arguments) {
    if (!HasType(arguments[0])) return FailVoid(machine, "length");
    const ValueBody* body = arguments[0].Body();
    return NewReal(*machine.types, body != nullptr ? body->elements.length : 0);
}

Value OpNot(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewBoolean(*machine.types, !ValueToBoolean(arguments[0]));
}

Value OpNegative(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, -ValueToReal(arguments[0]));
}

// predecessor and successor keep the operand's type.
Value Step(ScriptMachine& machine, Value* arguments, int delta, const char* name, const char* arrayMessage) {
    double real;
    if (arguments[0].ReadReal(real)) return NewReal(*machine.types, real + delta);
    const ValueBody* body = arguments[0].Body();
    if (!HasType(body)) return FailVoid(machine, name);
    if (body->type->kind == TypeKind::Array) return Fail(machine, arrayMessage);
    ValueBody* result = NewBody(body->type);
    switch (body->type->kind) {
        case TypeKind::Real:
            result->scalar.real = body->scalar.real + delta;
            break;
        case TypeKind::Char:
            result->scalar.character = static_cast<char16_t>(body->scalar.character + delta);
            break;
        default:
            result->scalar.boolean = delta > 0 ? 1 : 0;
            break;
    }
    return Value::Adopt(result);
}

Value OpPredecessor(ScriptMachine& machine, int32_t, Value* arguments) {
    return Step(machine, arguments, -1, "predecessor", "(value) predecessor of this type cannot be used");
}

Value OpSuccessor(ScriptMachine& machine, int32_t, Value* arguments) {
    return Step(machine, arguments, 1, "successor", "(value) successor of this type cannot be used");
}

Value OpRound(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, std::floor(ValueToReal(arguments[0]) + 0.5));
}

Value OpTruncate(ScriptMachine& machine, int32_t, Value* arguments) {
    double x = ValueToReal(arguments[0]);
    return NewReal(*machine.types, x > 0 ? std::floor(x) : std::ceil(x));
}

Value OpCeil(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, std::ceil(ValueToReal(arguments[0])));
}

Value OpFloor(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, std::floor(ValueToReal(arguments[0])));
}

Value OpAbsolute(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, std::fabs(ValueToReal(arguments[0])));
}

struct ArithmeticWords {
    const char* name;
    const char* typeMismatch;
    const char* lengthMismatch;
};
constexpr ArithmeticWords kAddWords{"add", "Add type mismatch", "Add array lengths do not match"};
constexpr ArithmeticWords kSubtractWords{"subtract", "Subtract type mismatch",
                                         "Subtract array lengths do not match"};

// Why the array `b` cannot be combined element-wise with the array `a`, or null when it can.
const char* PairProblem(const ValueBody* a, const ValueBody* b, const ArithmeticWords& words) {
    if (a->type != b->type) return words.typeMismatch;
    if (a->elements.length != b->elements.length) return words.lengthMismatch;
    return nullptr;
}

template <bool kSubtract>
Value AddArrays(ScriptMachine& machine, const Value& first, const Value& second) {
    const ArithmeticWords& words = kSubtract ? kSubtractWords : kAddWords;
    const ValueBody* a = first.Body();
    if (!HasType(second)) return FailVoid(machine, words.name);
    if (!second.IsArray()) return Fail(machine, words.typeMismatch);
    const ValueBody* b = second.Body();
    if (const char* problem = PairProblem(a, b, words)) return Fail(machine, problem);

    struct Level {
        const ValueBody* a;
        const ValueBody* b;
        ValueBody* result;
        uint32_t next;
    };
    Value root = NewArray(a->type, a->elements.length);
    WorkStack<Level> stack;
    stack.Push({a, b, root.Body(), 0});
    while (!stack.Empty()) {
        Level& top = stack.Back();
        if (top.next == top.a->elements.length) {
            stack.Pop();
            continue;
        }
        uint32_t i = top.next++;
        const Value& x = top.a->elements[i];
        const Value& y = top.b->elements[i];
        ValueBody* result = top.result;
        if (!HasType(x)) return FailVoid(machine, words.name);
        if (!x.IsArray()) {
            double sum = kSubtract ? ValueToReal(x) - ValueToReal(y) : ValueToReal(x) + ValueToReal(y);
            result->elements.Append(NewReal(*machine.types, sum));
            continue;
        }
        const ValueBody* xBody = x.Body();
        if (!HasType(y)) return FailVoid(machine, words.name);
        if (!y.IsArray()) return Fail(machine, words.typeMismatch);
        const ValueBody* yBody = y.Body();
        if (const char* problem = PairProblem(xBody, yBody, words)) return Fail(machine, problem);
        Value child = NewArray(xBody->type, xBody->elements.length);
        ValueBody* childBody = child.Body();
        result->elements.Append(std::move(child));
        stack.Push({xBody, yBody, childBody, 0});
    }
    return root;
}

template <bool kSubtract>
Value AddOrSubtract(ScriptMachine& machine, Value* arguments) {
    double a;
    double b;
    if (arguments[0].ReadReal(a) && arguments[1].ReadReal(b)) {
        return NewReal(*machine.types, kSubtract ? a - b : a + b);
    }
    if (!HasType(arguments[0])) return FailVoid(machine, kSubtract ? "subtract" : "add");
    if (arguments[0].IsArray()) return AddArrays<kSubtract>(machine, arguments[0], arguments[1]);
    double x = ValueToReal(arguments[0]);
    double y = ValueToReal(arguments[1]);
    return NewReal(*machine.types, kSubtract ? x - y : x + y);
}

Value OpAdd(ScriptMachine& machine, int32_t, Value* arguments) {
    return AddOrSubtract<false>(machine, arguments);
}

Value OpSubtract(ScriptMachine& machine, int32_t, Value* arguments) {
    return AddOrSubtract<true>(machine, arguments);
}

Value OpMultiply(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, ValueToReal(arguments[0]) * ValueToReal(arguments[1]));
}

Value OpDivide(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, ValueToReal(arguments[0]) / ValueToReal(arguments[1]));
}

Value OpPower(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, std::pow(ValueToReal(arguments[0]), ValueToReal(arguments[1])));
}

struct IndexWords {
    const char* notArray;
    const char* decimal;
    const char* exceeded;
};
constexpr IndexWords kReadWords{"Index can only be used on arrays and strings", "Decimal point in index",
                                "Index exceeded the size of the array"};
constexpr IndexWords kWriteWords{"IndexWritable can only be used on arrays and strings",
                                 "Decimal point in index", "IndexWritable exceeded the size of the array"};

// The checked position of an index or erase, or -1 after raising the error.
int64_t Position(ScriptMachine& machine, const ValueBody* container, const Value& position,
                 const char* decimal, const char* exceeded) {
    double real = ValueToReal(position);
    if (!IsWhole(real)) {
        RaiseScriptError(machine, decimal);
        return -1;
    }
    if (!(real >= 0 && real < container->elements.length)) {
        RaiseScriptError(machine, exceeded);
        return -1;
    }
    return static_cast<int64_t>(real);
}

Value OpIndex(ScriptMachine& machine, int32_t, Value* arguments) {
    const ValueBody* container = arguments[0].Body();
    if (!arguments[0].IsArray()) return Fail(machine, kReadWords.notArray);
    int64_t index = Position(machine, container, arguments[1], kReadWords.decimal, kReadWords.exceeded);
    if (index < 0) return Value();
    return container->elements[static_cast<uint32_t>(index)];
}

// The machine has made the container unique in its variable before this runs; the container handle
// here is a second holder of that body, so it is deliberately not made unique again (that would
// detach the write from the variable). Only the element slot is.
Value OpIndexWritable(ScriptMachine& machine, int32_t, Value* arguments) {
    ValueBody* container = arguments[0].Body();
    if (!arguments[0].IsArray()) return Fail(machine, kWriteWords.notArray);
    int64_t index = Position(machine, container, arguments[1], kWriteWords.decimal, kWriteWords.exceeded);
    if (index < 0) return Value();
    Value& slot = container->elements[static_cast<uint32_t>(index)];
    MakeUnique(slot);
    return slot;
}

Value OpSlice(ScriptMachine& machine, int32_t, Value* arguments) {
    const ValueBody* container = arguments[0].Body();
    if (!arguments[0].IsArray()) return Fail(machine, "Slice can only be used on arrays and strings");
    double start = ValueToReal(arguments[1]);
    if (!IsWhole(start)) return Fail(machine, "Decimal point at the start position of slice");
    double end = ValueToReal(arguments[2]);
    if (!IsWhole(end)) return Fail(machine, "Decimal point at the end position of slice");
    if (!(start >= 0 && start <= end && end <= container->elements.length)) {
        return Fail(machine, "Slice exceeded the size of the array");
    }
    uint32_t first = static_cast<uint32_t>(start);
    uint32_t count = static_cast<uint32_t>(end) - first;
    Value result = NewArray(container->type, count);
    result.Body()->elements.AppendShared(container->elements.items + first, count);
    return result;
}

Value OpErase(ScriptMachine& machine, int32_t, Value* arguments) {
    const ValueBody* container = arguments[0].Body();
    if (!arguments[0].IsArray()) return Fail(machine, "Erase can only be used on arrays and strings");
    int64_t index = Position(machine, container, arguments[1], "Decimal point at erase position",
                             "Erase exceeded the size of the array");
    if (index < 0) return Value();
    uint32_t position = static_cast<uint32_t>(index);
    uint32_t length = container->elements.length;
    Value result = NewArray(container->type, length - 1);
    ValueList& items = result.Body()->elements;
    items.AppendShared(container->elements.items, position);
    items.AppendShared(container->elements.items + position + 1, length - position - 1);
    return result;
}

Value OpAppend(ScriptMachine& machine, int32_t, Value* arguments) {
    if (!arguments[0].IsArray()) return Fail(machine, "Append can only be used on arrays and strings");
    const TypeRecord* elementType = arguments[1].Type();
    if (elementType == nullptr) return FailVoid(machine, "append");
    const ValueBody* container = arguments[0].Body();
    if (container->elements.length != 0 && container->type->element != elementType) {
        return Fail(machine, "Type mismatch");
    }
    MakeUnique(arguments[0]);
    ValueBody* body = arguments[0].Body();
    body->elements.Append(arguments[1]);
    if (body->type->element != elementType) body->type = machine.types->ArrayOf(elementType);
    return arguments[0];
}

Value OpConcatenate(ScriptMachine& machine, int32_t, Value* arguments) {
    if (!arguments[0].IsArray() || !arguments[1].IsArray()) {
        return Fail(machine, "Can only concatenate arrays and strings (Create element with [] operator)");
    }
    const ValueBody* tail = arguments[1].Body();
    bool wasEmpty = arguments[0].Body()->elements.length == 0;
    if (!wasEmpty && tail->elements.length != 0 && arguments[0].Body()->type != tail->type) {
        return Fail(machine, "Type mismatch");
    }
    // When both arguments hold one body, MakeUnique copies it (it is shared), so `tail` stays intact.
    MakeUnique(arguments[0]);
    ValueBody* body = arguments[0].Body();
    body->elements.AppendShared(tail->elements.items, tail->elements.length);
    if (wasEmpty) body->type = tail->type;
    return arguments[0];
}

constexpr int kCompareVoid = 2;
constexpr int kCompareTypes = 3;

// Two scalars of one type.
int CompareScalars(const Value& first, const Value& second) {
    double x;
    double y;
    if (first.ReadReal(x) && second.ReadReal(y)) return x < y ? -1 : (x > y ? 1 : 0);
    const ValueBody* a = first.Body();
    const ValueBody* b = second.Body();
    switch (a->type->kind) {
        case TypeKind::Char:
            return a->scalar.character < b->scalar.character
                       ? -1
                       : (a->scalar.character > b->scalar.character ? 1 : 0);
        default:
            return a->scalar.boolean < b->scalar.boolean ? -1
                                                         : (a->scalar.boolean > b->scalar.boolean ? 1 : 0);
    }
}

// -1, 0 or 1 for two arrays of one type, or kCompareVoid / kCompareTypes for a pair of elements that
// cannot be compared.
int CompareArrays(const ValueBody* a, const ValueBody* b) {
    struct Level {
        const ValueBody* a;
        const ValueBody* b;
        uint32_t next;
    };
    WorkStack<Level> stack;
    stack.Push({a, b, 0});
    while (!stack.Empty()) {
        Level& top = stack.Back();
        if (top.next == top.a->elements.length) {
            int result = top.a->elements.length < top.b->elements.length ? -1 : 0;
            if (result != 0) return result;
            stack.Pop();
            continue;
        }
        uint32_t i = top.next++;
        if (i >= top.b->elements.length) return 1;
        const Value& x = top.a->elements[i];
        const Value& y = top.b->elements[i];
        if (!HasType(x) || !HasType(y)) return kCompareVoid;
        if (x.Type() != y.Type()) return kCompareTypes;
        if (x.Bits() == y.Bits()) continue;
        if (!x.IsArray()) {
            int result = CompareScalars(x, y);
            if (result != 0) return result;
            continue;
        }
        stack.Push({x.Body(), y.Body(), 0});
    }
    return 0;
}

Value OpCompare(ScriptMachine& machine, int32_t, Value* arguments) {
    const Value& first = arguments[0];
    const Value& second = arguments[1];
    if (!HasType(first) || !HasType(second)) return FailVoid(machine, "compare");
    if (first.Type() != second.Type()) {
        return Fail(machine, "An attempt of comparison between different types was made");
    }
    int result = first.Bits() == second.Bits() ? 0
                 : first.IsArray()             ? CompareArrays(first.Body(), second.Body())
                                               : CompareScalars(first, second);
    if (result == kCompareVoid) return FailVoid(machine, "compare");
    if (result == kCompareTypes)
        return Fail(machine, "An attempt of comparison between different types was made");
    return NewReal(*machine.types, result);
}

Value OpAssert(ScriptMachine& machine, int32_t, Value* arguments) {
    if (ValueToBoolean(arguments[0])) return Value();
    return Fail(machine, TextToNarrow(ValueToText(arguments[1])));
}

}  // namespace

Value OperatorRemainder(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewReal(*machine.types, std::fmod(ValueToReal(arguments[0]), ValueToReal(arguments[1])));
}

const BuiltinEntry OperatorTable[kOperatorCount] = {
    {"true", OpTrue, 0},
    {"false", OpFalse, 0},
    {"pi", OpPi, 0},
    {"length", OpLength, 1},
    {"not", OpNot, 1},
    {"negative", OpNegative, 1},
    {"predecessor", OpPredecessor, 1},
    {"successor", OpSuccessor, 1},
    {"round", OpRound, 1},
    {"trunc", OpTruncate, 1},
    {"truncate", OpTruncate, 1},
    {"ceil", OpCeil, 1},
    {"floor", OpFloor, 1},
    {"absolute", OpAbsolute, 1},
    {"add", OpAdd, 2},
    {"subtract", OpSubtract, 2},
    {"multiply", OpMultiply, 2},
    {"divide", OpDivide, 2},
    {"remainder", OperatorRemainder, 2},
    {"power", OpPower, 2},
    {"index_", OpIndex, 2},
    {"index!", OpIndexWritable, 2},
    {"slice", OpSlice, 3},
    {"erase", OpErase, 2},
    {"append", OpAppend, 2},
    {"concatenate", OpConcatenate, 2},
    {"compare", OpCompare, 2},
    {"assert", OpAssert, 2},
};
