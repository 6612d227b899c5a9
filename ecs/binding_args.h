#pragma once
// What every system builtin shares: reading its arguments (ids, multipleIds, flags, frame counts,
// numbers) so that no value of any kind can index past a table, and answering with the system's
// warning, the builtin's own line and a neutral result when the entity lacks the component.

#include <cstdint>
#include <initializer_list>

#include "ecs/entity.h"
#include "script/builtin.h"

// The arguments of one call. Reading past the count gives void, so a builtin never reads beyond what
// its caller passed, whatever the count.
class BuiltinArgs {
public:
    BuiltinArgs(int32_t count, Value* values) : count_(values == nullptr ? 0 : count), values_(values) {}

    const Value& operator[](int index) const;

    // Real truncated toward zero; NaN gives 0 and values beyond the 64-bit range saturate, so that
    // every narrowing below is defined.
    int64_t Integer(int index) const;
    // Low 16 bits (frame counts), low 8 bits (multipleIds and other byte fields).
    uint16_t FrameCount(int index) const { return static_cast<uint16_t>(Integer(index)); }
    uint8_t Byte(int index) const { return static_cast<uint8_t>(Integer(index)); }
    // Saturated to the 32-bit range.
    int32_t Int32(int index) const;
    // Single precision, as the systems store numbers; beyond its range gives an infinity.
    float Float(int index) const;
    // A flag read as a number: set when not 0.
    bool Flag(int index) const;
    // A flag read by its truth value (any kind; see ValueToBoolean).
    bool Truth(int index) const;

    // An entity id within the table (0 to 4095). Anything else (past the table, negative, NaN,
    // infinite, ...) prints the "Invalid Entity" warning naming `builtin` and gives false.
    bool EntityIdAt(int index, const char* builtin, EntityId& id) const;
    // The same, and the id must name a live entity: components and owners given to a free id would
    // pass to the next entity that takes it.
    bool ExistingEntityAt(int index, const char* builtin, EntityId& id) const;

private:
    int32_t count_;
    Value* values_;
};

// Results.
Value RealResult(ScriptMachine& machine, double real);
Value BooleanResult(ScriptMachine& machine, bool boolean);
Value RealArrayResult(ScriptMachine& machine, std::initializer_list<double> reals);

// The builtin's own line after a system's missing-component warning (which ends in a space, so this
// continues its console line). A builtin without a result prints its name alone.
void ReportMissingIn(const char* builtin);
// A builtin with a result names what it returns instead: `neutral` is colour mark-up, such as
// "aquablack{0}" or "redblack{NULL}".
void ReportReturning(const char* builtin, const char* neutral);

// The line and the neutral value in one, for the usual result kinds.
Value NeutralReal(ScriptMachine& machine, const char* builtin);     // 0
Value NeutralBoolean(ScriptMachine& machine, const char* builtin);  // false
Value NeutralPosition(ScriptMachine& machine, const char* builtin); // [0, 0, 0]
Value NeutralScale(ScriptMachine& machine, const char* builtin);    // [1, 1, 1]
