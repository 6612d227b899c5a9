#pragma once
// The script value: a nullable handle to a jointly owned, reference-counted body. The null handle is
// void. Bodies are never changed while shared: writers call MakeUnique first.

#include <cstdint>
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
    Value(const Value& other) noexcept : body_(other.body_) { Retain(); }
    Value(Value&& other) noexcept : body_(other.body_) { other.body_ = nullptr; }
    ~Value() { Drop(); }

    Value& operator=(const Value& other) noexcept {
        ValueBody* old = body_;
        body_ = other.body_;
        Retain();  // before the drop, so that assigning a handle to itself keeps its body
        DropBody(old);
        return *this;
    }
    Value& operator=(Value&& other) noexcept {
        if (this != &other) {
            ValueBody* old = body_;
            body_ = other.body_;
            other.body_ = nullptr;
            DropBody(old);
        }
        return *this;
    }

    // Takes over one reference that the caller holds on `body`.
    static Value Adopt(ValueBody* body) noexcept {
        Value value;
        value.body_ = body;
        return value;
    }
    // Gives up the handle's reference to the caller.
    ValueBody* Detach() noexcept {
        ValueBody* body = body_;
        body_ = nullptr;
        return body;
    }
    void Reset() noexcept {
        DropBody(body_);
        body_ = nullptr;
    }

    bool IsVoid() const noexcept { return body_ == nullptr; }
    ValueBody* Body() const noexcept { return body_; }
    // Null for void and for a body without a type.
    inline const TypeRecord* Type() const noexcept;
    inline bool IsArray() const noexcept;

private:
    inline void Retain() noexcept;
    inline void Drop() noexcept { DropBody(body_); }
    static inline void DropBody(ValueBody* body) noexcept;

    ValueBody* body_ = nullptr;
};

static_assert(sizeof(Value) == sizeof(void*), "a handle is one pointer wide");

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
    return body_ != nullptr && IsKnownKind(body_->type->kind) ? body_->type : nullptr;
}
inline bool Value::IsArray() const noexcept {
    return body_ != nullptr && body_->type->kind == TypeKind::Array;
}
inline void Value::Retain() noexcept {
    if (body_ != nullptr) ++body_->referenceCount;
}

// Frees a body whose count reached 0 and drops its elements, without recursion, so nesting of any
// depth is released safely.
void DestroyBody(ValueBody* body) noexcept;

inline void Value::DropBody(ValueBody* body) noexcept {
    if (body != nullptr && --body->referenceCount == 0) {
        if (body->elements.items == nullptr) {
            ValuePoolFree(body);
        } else {
            DestroyBody(body);
        }
    }
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

inline Value NewReal(const TypeTable& types, double real) {
    ValueBody* body = NewBody(types.Real());
    body->scalar.real = real;
    return Value::Adopt(body);
}
inline Value NewChar(const TypeTable& types, char16_t code) {
    ValueBody* body = NewBody(types.Char());
    body->scalar.character = code;
    return Value::Adopt(body);
}
inline Value NewBoolean(const TypeTable& types, bool boolean) {
    ValueBody* body = NewBody(types.Boolean());
    body->scalar.boolean = boolean ? 1 : 0;
    return Value::Adopt(body);
}
// An empty array of `type` with room for `reserve` items.
Value NewArray(const TypeRecord* type, uint32_t reserve = 0);
// A string of UTF-16 code units.
Value NewString(TypeTable& types, std::u16string_view text);
// A string whose code units are the bytes of `text` (ASCII and Latin-1 text).
Value NewLatin1String(TypeTable& types, std::string_view text);

// Gives `handle` a body that no other handle shares: a fresh untyped body for void, a shallow copy
// (elements shared) for a shared body, nothing for a body it holds alone.
void MakeUnique(Value& handle);

inline bool IsString(const Value& value) {
    const TypeRecord* type = value.Type();
    return type != nullptr && type->kind == TypeKind::Array && type->element != nullptr &&
           type->element->kind == TypeKind::Char;
}

// Conversions between kinds; none of them fails (void gives 0, false and code 0).
double ValueToRealSlow(const Value& value);
inline double ValueToReal(const Value& value) {
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
