#include "script/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "script/text_narrow.h"

namespace {

[[noreturn]] void OutOfMemory() {
    throw std::bad_alloc();
}

// `capacity` is at least the length the list needs; growth may ask for more than the length limit,
// which is then all it gets.
void Relocate(ValueList& list, uint64_t needed, uint64_t capacity) {
    if (needed > kMaxArrayLength) throw ArrayTooLong();
    if (capacity > kMaxArrayLength) capacity = kMaxArrayLength;
    // Handles are plain words with no address of their own, so moving their bytes moves them.
    void* items = std::realloc(static_cast<void*>(list.items), capacity * sizeof(Value));
    if (items == nullptr) OutOfMemory();
    list.items = static_cast<Value*>(items);
    list.capacity = static_cast<uint32_t>(capacity);
}

bool IsStringType(const TypeRecord* type) {
    return type->kind == TypeKind::Array && type->element != nullptr && type->element->kind == TypeKind::Char;
}

void AppendAscii(std::u16string& out, const char* text) {
    while (*text != '\0')
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text++)));
}

// Text of anything that is not an array other than a string.
void AppendLeafText(std::u16string& out, const Value& value);

void AppendStringChars(std::u16string& out, const ValueBody* body) {
    const ValueList& list = body->elements;
    out.reserve(out.size() + list.length);
    for (const Value& item : list) {
        const ValueBody* unit = item.Body();
        if (unit != nullptr && unit->type->kind == TypeKind::Char) {
            out.push_back(unit->scalar.character);
        } else {
            AppendValueText(out, item);
        }
    }
}

void AppendLeafText(std::u16string& out, const Value& value) {
    if (value.IsHeldReal()) {
        AppendRealText(out, value.HeldRealValue());
        return;
    }
    const ValueBody* body = value.Body();
    if (body == nullptr) {
        out += u"(VOID)";
        return;
    }
    switch (body->type->kind) {
        case TypeKind::Real:
            AppendRealText(out, body->scalar.real);
            return;
        case TypeKind::Char:
            out.push_back(body->scalar.character);
            return;
        case TypeKind::Boolean:
            out += body->scalar.boolean != 0 ? u"true" : u"false";
            return;
        case TypeKind::Array:
            AppendStringChars(out, body);
            return;
    }
    out += u"(INTERNAL-ERROR)";
}

bool IsNestingArray(const ValueBody* body) {
    return body != nullptr && body->type->kind == TypeKind::Array && !IsStringType(body->type);
}

}  // namespace

void ValueList::Reserve(uint32_t count) {
    uint64_t needed = uint64_t{length} + count;
    if (needed > capacity) Relocate(*this, needed, needed);
}

void ValueList::Grow(uint32_t count) {
    uint64_t s = uint64_t{capacity} + count;
    uint64_t grown = 2 * s - s / 2;
    uint64_t needed = uint64_t{length} + count;
    Relocate(*this, needed, grown < needed ? needed : grown);
}

void ValueList::AppendShared(const Value* source, uint32_t count) {
    if (count == 0) return;
    if (uint64_t{length} + count > capacity) {
        bool inside = source >= items && source < items + length;
        size_t offset = inside ? static_cast<size_t>(source - items) : 0;
        Grow(count);
        if (inside) source = items + offset;
    }
    for (uint32_t i = 0; i < count; ++i)
        new (&items[length + i]) Value(source[i]);
    length += count;
}

void ReleaseBody(ValueBody* body) noexcept {
    if (body->elements.items == nullptr) {
        ValuePoolFree(body);
    } else {
        DestroyBody(body);
    }
}

void DestroyBody(ValueBody* body) noexcept {
    // Bodies whose count fell to 0 wait in a chain through their scalar, which is dead by then.
    body->scalar.next = nullptr;
    ValueBody* pending = body;
    while (pending != nullptr) {
        ValueBody* current = pending;
        pending = current->scalar.next;
        ValueList& list = current->elements;
        for (uint32_t i = 0; i < list.length; ++i) {
            ValueBody* item = list.items[i].Detach();
            if (item == nullptr || --item->referenceCount != 0) continue;
            if (item->elements.items == nullptr) {
                ValuePoolFree(item);
            } else {
                item->scalar.next = pending;
                pending = item;
            }
        }
        std::free(static_cast<void*>(list.items));
        ValuePoolFree(current);
    }
}

Value NewArray(const TypeRecord* type, uint32_t reserve) {
    ValueBody* body = NewBody(type);
    if (reserve != 0) body->elements.Reserve(reserve);
    return Value::Adopt(body);
}

namespace {

template <typename Unit>
Value BuildString(TypeTable& types, const Unit* units, size_t count) {
    if (count > kMaxArrayLength) throw ArrayTooLong();
    Value result = NewArray(types.String(), static_cast<uint32_t>(count));
    ValueList& list = result.Body()->elements;
    for (size_t i = 0; i < count; ++i) {
        char16_t code = static_cast<char16_t>(units[i]);
        ValueBody* common = types.CommonChar(code);
        if (common != nullptr) {
            ++common->referenceCount;
            new (&list.items[i]) Value(Value::Adopt(common));
        } else {
            new (&list.items[i]) Value(NewChar(types, code));
        }
    }
    list.length = static_cast<uint32_t>(count);
    return result;
}

}  // namespace

Value NewString(TypeTable& types, std::u16string_view text) {
    return BuildString(types, text.data(), text.size());
}

Value NewLatin1String(TypeTable& types, std::string_view text) {
    return BuildString(types, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

Value NewBoxedReal(double real) {
    ValueBody* body = NewBody(&kRealRecord);
    body->scalar.real = real;
    return Value::Adopt(body);
}

void MakeUnique(Value& handle) {
    if (handle.IsHeldReal()) {
        handle = NewBoxedReal(handle.HeldRealValue());
        return;
    }
    ValueBody* body = handle.Body();
    if (body == nullptr) {
        handle = Value::Adopt(NewBody(&kUntypedRecord));
        return;
    }
    if (body->referenceCount == 1) return;
    ValueBody* copy = NewBody(body->type);
    copy->scalar = body->scalar;
    copy->elements.AppendShared(body->elements.items, body->elements.length);
    handle = Value::Adopt(copy);
}

double ValueToRealSlow(const Value& value) {
    if (value.IsHeldReal()) return value.HeldRealValue();
    const ValueBody* body = value.Body();
    if (body == nullptr) return 0.0;
    switch (body->type->kind) {
        case TypeKind::Real:
            return body->scalar.real;
        case TypeKind::Char:
            return body->scalar.character;
        case TypeKind::Boolean:
            return body->scalar.boolean != 0 ? 1.0 : 0.0;
        case TypeKind::Array:
            if (IsStringType(body->type)) {
                std::string narrow = TextToNarrow(ValueToText(value));
                return std::strtod(narrow.c_str(), nullptr);
            }
            return 0.0;
    }
    return 0.0;
}

bool ValueToBoolean(const Value& value) {
    if (value.IsHeldReal()) return value.HeldRealValue() != 0.0;
    const ValueBody* body = value.Body();
    if (body == nullptr) return false;
    switch (body->type->kind) {
        case TypeKind::Real:
            return body->scalar.real != 0.0;
        case TypeKind::Char:
            return body->scalar.character != 0;
        case TypeKind::Boolean:
            return body->scalar.boolean != 0;
        case TypeKind::Array:
            return body->elements.length != 0;
    }
    return false;
}

char16_t ValueToChar(const Value& value) {
    double real;
    if (value.ReadReal(real)) {
        // The low 16 bits of the truncated number, computed without a conversion that overflows;
        // NaN and the infinities have no bits to give and become code 0.
        double truncated = std::trunc(real);
        if (!std::isfinite(truncated)) return 0;
        double low = std::fmod(truncated, 65536.0);
        if (low < 0) low += 65536.0;
        return static_cast<char16_t>(static_cast<uint32_t>(low));
    }
    const ValueBody* body = value.Body();
    if (body == nullptr) return 0;
    switch (body->type->kind) {
        case TypeKind::Real:  // read above
            return 0;
        case TypeKind::Char:
            return body->scalar.character;
        case TypeKind::Boolean:
            return body->scalar.boolean != 0 ? u'1' : u'0';
        case TypeKind::Array:
            return 0;
    }
    return 0;
}

void AppendRealText(std::u16string& out, double real) {
    // Whole numbers are by far the most printed reals; their "%Lf" form is the integer and six zeros.
    if (real == std::trunc(real) && std::fabs(real) < 1e15) {
        char digits[24];
        int count = 0;
        uint64_t magnitude = static_cast<uint64_t>(std::fabs(real));
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (std::signbit(real)) out.push_back(u'-');
        while (count > 0)
            out.push_back(static_cast<char16_t>(digits[--count]));
        out += u".000000";
        return;
    }
    // "%f" of the double prints the same digits as "%Lf" of it widened: both print the exact binary
    // value rounded to six places, and this form does not depend on the runtime's long double.
    char buffer[512];
    int length = std::snprintf(buffer, sizeof buffer, "%f", real);
    if (length < 0) return;
    if (static_cast<size_t>(length) < sizeof buffer) {
        AppendAscii(out, buffer);
        return;
    }
    std::vector<char> large(static_cast<size_t>(length) + 1);
    std::snprintf(large.data(), large.size(), "%f", real);
    AppendAscii(out, large.data());
}

void AppendValueText(std::u16string& out, const Value& value) {
    const ValueBody* body = value.Body();
    if (!IsNestingArray(body)) {
        AppendLeafText(out, value);
        return;
    }
    // Arrays of arrays are walked with an explicit stack, so nesting of any depth prints safely.
    struct Level {
        const ValueBody* body;
        uint32_t next;
    };
    std::vector<Level> stack;
    out.push_back(u'[');
    stack.push_back({body, 0});
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next == top.body->elements.length) {
            out.push_back(u']');
            stack.pop_back();
            continue;
        }
        if (top.next != 0) out.push_back(u',');
        const Value& element = top.body->elements.items[top.next++];
        const ValueBody* item = element.Body();
        if (IsNestingArray(item)) {
            out.push_back(u'[');
            stack.push_back({item, 0});
        } else {
            AppendLeafText(out, element);
        }
    }
}

std::u16string ValueToText(const Value& value) {
    std::u16string text;
    AppendValueText(text, value);
    return text;
}
