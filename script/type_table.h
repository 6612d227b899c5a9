#pragma once
// Script types: the four kinds and the records that stand for them, so that two values have the same
// type exactly when they point to the same record. The three scalar types have one record each for the
// whole program (a real held in a handle has no table to ask); each script's table interns its array
// types.

#include <cstddef>
#include <cstdint>
#include <deque>

class TypeTable;

enum class TypeKind : int32_t { Real = 0, Char = 1, Boolean = 2, Array = 3 };

struct TypeRecord {
    TypeKind kind;
    const TypeRecord* element;  // Array only
    // The array-of-this record once asked for; saves a search on every append.
    mutable const TypeRecord* arrayOf;
    const TypeTable* owner;
};

// Type of a body that was created for a void handle and not yet given a value. Its kind lies outside
// the four kinds, so every reader treats it as "no type".
extern const TypeRecord kUntypedRecord;

// The scalar types, shared by every table.
extern const TypeRecord kRealRecord;
extern const TypeRecord kCharRecord;
extern const TypeRecord kBooleanRecord;

inline bool IsKnownKind(TypeKind kind) {
    return static_cast<uint32_t>(kind) <= 3;
}

struct ValueBody;

class TypeTable {
public:
    TypeTable();
    ~TypeTable();
    TypeTable(const TypeTable&) = delete;
    TypeTable& operator=(const TypeTable&) = delete;

    const TypeRecord* Real() const { return &kRealRecord; }
    const TypeRecord* Char() const { return &kCharRecord; }
    const TypeRecord* Boolean() const { return &kBooleanRecord; }
    const TypeRecord* String() const { return &records_[0]; }

    // The array-of-`element` record, created on first demand.
    const TypeRecord* ArrayOf(const TypeRecord* element);

    // The scalar records, then this table's array records.
    size_t Count() const { return kScalarCount + records_.size(); }
    const TypeRecord* At(size_t index) const {
        return index < kScalarCount ? kScalars[index] : &records_[index - kScalarCount];
    }

    // A shared char body for `code` below 256 (null above), held by the table. Strings are built
    // from these so that text of common characters costs no allocation per character; writers
    // always go through MakeUnique, which copies a body held twice.
    ValueBody* CommonChar(char16_t code);
    // The table's shared bodies of true and false, under the same rule.
    ValueBody* CommonBoolean(bool boolean) const { return commonBooleans_[boolean ? 1 : 0]; }

private:
    static constexpr size_t kScalarCount = 3;
    static constexpr const TypeRecord* kScalars[kScalarCount] = {&kRealRecord, &kCharRecord, &kBooleanRecord};

    std::deque<TypeRecord> records_;  // array types; a deque keeps addresses stable as it grows
    // The array-of-scalar records of this table (the shared scalar records cannot cache them).
    const TypeRecord* scalarArrays_[kScalarCount] = {};
    ValueBody* commonChars_[256] = {};
    ValueBody* commonBooleans_[2] = {};
};
