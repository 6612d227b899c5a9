#pragma once
// The script value: a 64-bit handle that is void, a real held in the handle itself, or a pointer to a
// jointly owned, reference-counted body. Reals are by far the most common values, so they take no body
// while nothing needs a reference to them: MakeUnique gives a held real a body of its own (a "boxed"
// real), which readers treat exactly as the held form. Bodies are never changed while shared: writers
// call MakeUnique first.
//
// Encoding: 0 is void; a word below 2^49 is a body pointer (every address the engine's platforms give
// out lies below 2^47); any other word is a real's bits plus 2^49. The few NaN bit patterns that this
// would carry past 2^64 keep a body instead, so every real keeps its exact bits.

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "script/type_table.h"
#include "script/value_pool.h"

struct ValueBody;

class Value {
public:
    Value() noexcept = default;
    [[gnu::always_inline]] Value(const Value& other) noexcept : bits_(other.bits_) { Retain(); }
    [[gnu::always_inline]] Value(Value&& other) noexcept : bits_(other.bits_) { other.bits_ = 0; }
    [[gnu::always_inline]] ~Value() { Drop(); }

    [[gnu::always_inline]] Value& operator=(const Value& other) noexcept {
        const uint64_t old = bits_;
        bits_ = other.bits_;
        Retain();  // before the drop, so that assigning a handle to itself keeps its body
        DropBits(old);
        return *this;
    }
    [[gnu::always_inline]] Value& operator=(Value&& other) noexcept {
        if (this != &other) {
            const uint64_t old = bits_;
            bits_ = other.bits_;
            other.bits_ = 0;
            DropBits(old);
        }
        return *this;
    }

    // Takes over one reference that the caller holds on `body`.
    static Value Adopt(ValueBody* body) noexcept {
        Value value;
        value.bits_ = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(body));
        return value;
    }
    // Whether `real` can be held in a handle (all but a few NaN bit patterns can).
    static bool Holds(double real) noexcept { return RealBits(real) < kHeldLimit; }
    // A handle holding `real`, which Holds must accept.
    static Value HeldReal(double real) noexcept {
        Value value;
        value.bits_ = RealBits(real) + kHeldBase;
        return value;
    }
    // Gives up the handle's reference to its body to the caller; a held real or void gives null. The
    // handle is void afterwards.
    ValueBody* Detach() noexcept {
        ValueBody* body = Body();
        bits_ = 0;
        return body;
    }
    [[gnu::always_inline]] void Reset() noexcept {
        DropBits(bits_);
        bits_ = 0;
    }

    bool IsVoid() const noexcept { return bits_ == 0; }
    // A real held in the handle, without a body.
    bool IsHeldReal() const noexcept { return bits_ >= kHeldBase; }
    double HeldRealValue() const noexcept {
        const uint64_t bits = bits_ - kHeldBase;
        double real;
        std::memcpy(&real, &bits, sizeof real);
        return real;
    }
    // When the handle holds a real without a body and `real` can be held too, it holds `real` now;
    // otherwise nothing changes and the answer is false.
    bool ReplaceHeldReal(double real) noexcept {
        const uint64_t bits = RealBits(real);
        if (bits_ < kHeldBase || bits >= kHeldLimit) return false;
        bits_ = bits + kHeldBase;
        return true;
    }
    // The body; null for void and for a held real.
    ValueBody* Body() const noexcept {
        return bits_ < kHeldBase ? reinterpret_cast<ValueBody*>(static_cast<uintptr_t>(bits_)) : nullptr;
    }
    // Null for void and for a body without a type.
    inline const TypeRecord* Type() const noexcept;
    inline bool IsArray() const noexcept;
    // Whether the value is a real, held or in a body; `real` receives it.
    inline bool ReadReal(double& real) const noexcept;

    // The raw handle word, for code that moves or compares handles wholesale.
    uint64_t Bits() const noexcept { return bits_; }

    static constexpr uint64_t kHeldBase = uint64_t{1} << 49;

private:
    static constexpr uint64_t kHeldLimit = ~uint64_t{0} - kHeldBase + 1;  // 2^64 - 2^49
    static uint64_t RealBits(double real) noexcept {
        uint64_t bits;
        std::memcpy(&bits, &real, sizeof bits);
        return bits;
    }
    // A non-null body pointer, in one comparison.
    static bool IsBodyBits(uint64_t bits) noexcept { return bits - 1 < kHeldBase - 1; }
    [[gnu::always_inline]] inline void Retain() noexcept;
    [[gnu::always_inline]] inline void Drop() noexcept { DropBits(bits_); }
    [[gnu::always_inline]] static inline void DropBits(uint64_t bits) noexcept;

    uint64_t bits_ = 0;
};

static_assert(sizeof(Value) == 8, "a handle is one 64-bit word");

// The longest array or string a script may build. Growing past it throws ArrayTooLong, which the
// machine reports as a run-time error of the script that tried: one script cannot take the memory
// of the whole program (a 32-bit one at that).
inline constexpr uint32_t kMaxArrayLength = 1u << 24;

struct ArrayTooLong : std::bad_alloc {
    const char* what() const noexcept override { return "array too long"; }
};

// The items of an array. Growth follows the growable-array rule (s = capacity + n, grown to
// 2s - s/2), so appending is amortised constant time.
struct ValueList {
    Value* items;
    uint32_t length;
    uint32_t capacity;

    Value* begin() const { return items; }
    Value* end() const { return items + length; }
    Value& operator[](uint32_t index) const { return items[index]; }

    // Makes room for `count` more items, so that appending them moves nothing.
    void Reserve(uint32_t count);
    void Append(const Value& value) {
        Value copy = value;  // `value` may be one of these items, which growing moves
        Append(std::move(copy));
    }
    void Append(Value&& value) {
        if (length == capacity) Grow(1);
        new (&items[length++]) Value(std::move(value));
    }
    // Appends `count` shared handles; `source` may point into this list.
    void AppendShared(const Value* source, uint32_t count);

    void Grow(uint32_t count);
};

union ValueScalar {
    double real;
    char16_t character;  // one UTF-16 code unit
    uint8_t boolean;     // 0 or 1
    ValueBody* next;     // chain of bodies being released
};

struct ValueBody {
    int32_t referenceCount;
    const TypeRecord* type;  // never null: kUntypedRecord when the body has no type
    ValueList elements;      // empty for the scalar kinds
    ValueScalar scalar;
};
static_assert(sizeof(ValueBody) <= kValuePoolSlotBytes && alignof(ValueBody) <= 8);

inline const TypeRecord* Value::Type() const noexcept {
    if (IsHeldReal()) return &kRealRecord;
    const ValueBody* body = Body();
    return body != nullptr && IsKnownKind(body->type->kind) ? body->type : nullptr;
}
inline bool Value::IsArray() const noexcept {
    const ValueBody* body = Body();
    return body != nullptr && body->type->kind == TypeKind::Array;
}
inline bool Value::ReadReal(double& real) const noexcept {
    if (IsHeldReal()) {
        real = HeldRealValue();
        return true;
    }
    const ValueBody* body = Body();
    if (body == nullptr || body->type->kind != TypeKind::Real) return false;
    real = body->scalar.real;
    return true;
}
[[gnu::always_inline]] inline void Value::Retain() noexcept {
    if (IsBodyBits(bits_)) ++reinterpret_cast<ValueBody*>(static_cast<uintptr_t>(bits_))->referenceCount;
}

// Frees a body whose count reached 0 and drops its elements, without recursion, so nesting of any
// depth is released safely.
void DestroyBody(ValueBody* body) noexcept;

// Frees a body whose count reached 0, whatever it holds.
void ReleaseBody(ValueBody* body) noexcept;

// Handles are dropped everywhere, mostly holding reals: the test is kept inline, the release is not.
[[gnu::always_inline]] inline void Value::DropBits(uint64_t bits) noexcept {
    if (!IsBodyBits(bits)) return;
    ValueBody* body = reinterpret_cast<ValueBody*>(static_cast<uintptr_t>(bits));
    if (--body->referenceCount == 0) [[unlikely]]
        ReleaseBody(body);
}

// A fresh body (count 1) of `type` with no elements and a zero scalar.
inline ValueBody* NewBody(const TypeRecord* type) {
    ValueBody* body = static_cast<ValueBody*>(ValuePoolAllocate());
    body->referenceCount = 1;
    body->type = type;
    body->elements = ValueList{nullptr, 0, 0};
    body->scalar.real = 0.0;
    return body;
}

// A real: held in the handle when it can be, else in a body of its own.
Value NewBoxedReal(double real);
inline Value NewRealValue(double real) {
    return Value::Holds(real) ? Value::HeldReal(real) : NewBoxedReal(real);
}
inline Value NewReal(const TypeTable&, double real) {
    return NewRealValue(real);
}
inline Value NewChar(const TypeTable& types, char16_t code) {
    ValueBody* body = NewBody(types.Char());
    body->scalar.character = code;
    return Value::Adopt(body);
}
// A boolean: one of the table's two shared bodies.
inline Value NewBoolean(const TypeTable& types, bool boolean) {
    ValueBody* body = types.CommonBoolean(boolean);
    ++body->referenceCount;
    return Value::Adopt(body);
}
// An empty array of `type` with room for `reserve` items.
Value NewArray(const TypeRecord* type, uint32_t reserve = 0);
// A string of UTF-16 code units.
Value NewString(TypeTable& types, std::u16string_view text);
// A string whose code units are the bytes of `text` (ASCII and Latin-1 text).
Value NewLatin1String(TypeTable& types, std::string_view text);

// Gives `handle` a body that no other handle shares: a fresh untyped body for void, a body of its own
// for a held real, a shallow copy (elements shared) for a shared body, nothing for a body it holds
// alone.
void MakeUnique(Value& handle);

inline bool IsString(const Value& value) {
    const TypeRecord* type = value.Type();
    return type != nullptr && type->kind == TypeKind::Array && type->element != nullptr &&
           type->element->kind == TypeKind::Char;
}

// Conversions between kinds; none of them fails (void gives 0, false and code 0).
double ValueToRealSlow(const Value& value);
inline double ValueToReal(const Value& value) {
    if (value.IsHeldReal()) return value.HeldRealValue();
    const ValueBody* body = value.Body();
    if (body != nullptr && body->type->kind == TypeKind::Real) return body->scalar.real;
    return ValueToRealSlow(value);
}
bool ValueToBoolean(const Value& value);
char16_t ValueToChar(const Value& value);

// The text form of a value: "(VOID)", reals as "%Lf", characters, "true"/"false", strings as their
// characters and other arrays as "[a,b,...]".
std::u16string ValueToText(const Value& value);
void AppendValueText(std::u16string& out, const Value& value);
// The "%Lf" form of a real.
void AppendRealText(std::u16string& out, double real);

// Whether `a` and `b` are the same type record; void has no type and matches nothing.
inline bool SameType(const Value& a, const Value& b) {
    const TypeRecord* type = a.Type();
    return type != nullptr && type == b.Type();
}
