#pragma once
// Script types: the four kinds and the per-program table that interns their records, so that two
// values have the same type exactly when they point to the same record.

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

    const TypeRecord* Real() const { return &records_[0]; }
    const TypeRecord* Char() const { return &records_[1]; }
    const TypeRecord* Boolean() const { return &records_[2]; }
    const TypeRecord* String() const { return &records_[3]; }

    // The array-of-`element` record, created on first demand.
    const TypeRecord* ArrayOf(const TypeRecord* element);

    size_t Count() const { return records_.size(); }
    const TypeRecord* At(size_t index) const { return &records_[index]; }

    // A shared char body for `code` below 256 (null above), held by the table. Strings are built
    // from these so that text of common characters costs no allocation per character; writers
    // always go through MakeUnique, which copies a body held twice.
    ValueBody* CommonChar(char16_t code);

private:
    std::deque<TypeRecord> records_;  // a deque keeps addresses stable as it grows
    ValueBody* commonChars_[256] = {};
};
