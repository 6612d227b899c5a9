#include "script/type_table.h"

#include "script/value.h"

const TypeRecord kUntypedRecord{static_cast<TypeKind>(-1), nullptr, nullptr, nullptr};
const TypeRecord kRealRecord{TypeKind::Real, nullptr, nullptr, nullptr};
const TypeRecord kCharRecord{TypeKind::Char, nullptr, nullptr, nullptr};
const TypeRecord kBooleanRecord{TypeKind::Boolean, nullptr, nullptr, nullptr};

TypeTable::TypeTable() {
    records_.push_back({TypeKind::Array, &kCharRecord, nullptr, this});
    scalarArrays_[static_cast<size_t>(TypeKind::Char)] = &records_[0];
    for (int i = 0; i < 2; ++i) {
        ValueBody* body = NewBody(&kBooleanRecord);
        body->scalar.boolean = static_cast<uint8_t>(i);
        commonBooleans_[i] = body;
    }
}

TypeTable::~TypeTable() {
    for (ValueBody*& body : commonBooleans_) {
        Value::Adopt(body).Reset();
        body = nullptr;
    }
    for (ValueBody*& body : commonChars_) {
        Value::Adopt(body).Reset();
        body = nullptr;
    }
}

const TypeRecord* TypeTable::ArrayOf(const TypeRecord* element) {
    if (element->owner == nullptr && element->kind != TypeKind::Array && IsKnownKind(element->kind)) {
        const TypeRecord*& cached = scalarArrays_[static_cast<size_t>(element->kind)];
        if (cached == nullptr) {
            records_.push_back({TypeKind::Array, element, nullptr, this});
            cached = &records_.back();
        }
        return cached;
    }
    if (element->owner == this) {
        if (element->arrayOf == nullptr) {
            records_.push_back({TypeKind::Array, element, nullptr, this});
            element->arrayOf = &records_.back();
        }
        return element->arrayOf;
    }
    // An element typed by another program's table (a value handed between scripts): its own cache
    // belongs to that table, so search.
    for (const TypeRecord& record : records_) {
        if (record.kind == TypeKind::Array && record.element == element) return &record;
    }
    records_.push_back({TypeKind::Array, element, nullptr, this});
    return &records_.back();
}

ValueBody* TypeTable::CommonChar(char16_t code) {
    if (code >= 256) return nullptr;
    ValueBody*& body = commonChars_[code];
    if (body == nullptr) body = NewChar(*this, code).Detach();
    return body;
}
