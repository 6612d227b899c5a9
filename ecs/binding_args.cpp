#include "ecs/binding_args.h"

#include <cmath>
#include <limits>

#include "base/console.h"
#include "script/machine.h"

namespace {

const Value kNoArgument;

// Truncation toward zero that is defined for every real.
int64_t TruncateReal(double real) {
    if (std::isnan(real)) return 0;
    // 2^63: the first real past the 64-bit range.
    constexpr double kLimit = 9223372036854775808.0;
    if (real >= kLimit) return std::numeric_limits<int64_t>::max();
    if (real < -kLimit) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(real);
}

}  // namespace

const Value& BuiltinArgs::operator[](int index) const {
    return index >= 0 && index < count_ ? values_[index] : kNoArgument;
}

int64_t BuiltinArgs::Integer(int index) const {
    return TruncateReal(ValueToReal((*this)[index]));
}

int32_t BuiltinArgs::Int32(int index) const {
    const int64_t value = Integer(index);
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

float BuiltinArgs::Float(int index) const {
    const double real = ValueToReal((*this)[index]);
    // Narrowing a real beyond the float range is undefined; the hardware would give an infinity.
    constexpr double kMax = std::numeric_limits<float>::max();
    if (real > kMax) return std::numeric_limits<float>::infinity();
    if (real < -kMax) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(real);
}

bool BuiltinArgs::Flag(int index) const {
    return ValueToReal((*this)[index]) != 0;
}

bool BuiltinArgs::Truth(int index) const {
    return ValueToBoolean((*this)[index]);
}

bool BuiltinArgs::EntityIdAt(int index, const char* builtin, EntityId& id) const {
    const double real = ValueToReal((*this)[index]);
    // NaN names no number at all; it is reported as -1, like any other id below the table.
    const int64_t value = std::isnan(real) ? -1 : TruncateReal(real);
    if (!IsEntityIdInRange(value)) {
        ReportInvalidEntityId(value, builtin);
        return false;
    }
    id = static_cast<EntityId>(value);
    return true;
}

bool BuiltinArgs::ExistingEntityAt(int index, const char* builtin, EntityId& id) const {
    EntityId candidate = 0;
    if (!EntityIdAt(index, builtin, candidate)) return false;
    if (g_entities.exists[candidate] == 0) {
        ReportInvalidEntityId(candidate, builtin);
        return false;
    }
    id = candidate;
    return true;
}

Value RealResult(ScriptMachine& machine, double real) {
    return NewReal(*machine.types, real);
}

Value BooleanResult(ScriptMachine& machine, bool boolean) {
    return NewBoolean(*machine.types, boolean);
}

Value RealArrayResult(ScriptMachine& machine, std::initializer_list<double> reals) {
    TypeTable& types = *machine.types;
    Value array = NewArray(types.ArrayOf(types.Real()), static_cast<uint32_t>(reals.size()));
    for (double real : reals)
        array.Body()->elements.Append(NewReal(types, real));
    return array;
}

void ReportMissingIn(const char* builtin) {
    ConsolePrintf("aquablack{%s}", builtin);
}

void ReportReturning(const char* builtin, const char* neutral) {
    ConsolePrintf("aquablack{%s}, yellowblack{returning} %s", builtin, neutral);
}

Value NeutralReal(ScriptMachine& machine, const char* builtin) {
    ConsolePrintf("aquablack{%s}, yellowblack{returning} aquablack{%i}", builtin, 0);
    return RealResult(machine, 0);
}

Value NeutralBoolean(ScriptMachine& machine, const char* builtin) {
    ConsolePrintf("aquablack{%s}, yellowblack{returning} aquablack{%i}", builtin, 0);
    return BooleanResult(machine, false);
}

Value NeutralPosition(ScriptMachine& machine, const char* builtin) {
    ReportReturning(builtin, "aquablack{[0.0f, 0.0f, 0.0f]}");
    return RealArrayResult(machine, {0, 0, 0});
}

Value NeutralScale(ScriptMachine& machine, const char* builtin) {
    ReportReturning(builtin, "aquablack{[1.0f, 1.0f, 1.0f]}");
    return RealArrayResult(machine, {1, 1, 1});
}
