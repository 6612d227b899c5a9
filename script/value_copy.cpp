#include "script/value_copy.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace {

using TypeMap = std::unordered_map<const TypeRecord*, const TypeRecord*>;

const TypeRecord* MapType(const TypeRecord* type, TypeTable& types, TypeMap& mapped) {
    if (type->owner == &types || !IsKnownKind(type->kind)) return type;
    // Array types nest as deeply as their values: walk down to a scalar (or a type already mapped),
    // then build back up, remembering every level.
    std::vector<const TypeRecord*> chain;
    const TypeRecord* result = nullptr;
    for (;;) {
        auto found = mapped.find(type);
        if (found != mapped.end()) {
            result = found->second;
            break;
        }
        if (type->kind != TypeKind::Array || type->element == nullptr) break;
        chain.push_back(type);
        type = type->element;
    }
    if (result == nullptr) {
        switch (type->kind) {
            case TypeKind::Real:
                result = types.Real();
                break;
            case TypeKind::Char:
                result = types.Char();
                break;
            case TypeKind::Boolean:
                result = types.Boolean();
                break;
            default:
                // An array without an element type (the engine makes none today): a string is the
                // nearest kin every table has.
                result = types.String();
                break;
        }
        mapped.emplace(type, result);
    }
    for (size_t i = chain.size(); i-- > 0;) {
        result = types.ArrayOf(result);
        mapped.emplace(chain[i], result);
    }
    return result;
}

}  // namespace

Value CopyValueInto(const Value& value, TypeTable& types) {
    // Void and held reals need no table.
    if (value.Body() == nullptr) return value;
    std::unordered_map<const ValueBody*, ValueBody*> copies;
    TypeMap mappedTypes;
    std::vector<std::pair<const ValueBody*, ValueBody*>> pending;

    // A fresh (or already made) copy of `source` without its elements, with one reference for the caller.
    auto copyBody = [&](const ValueBody* source) -> ValueBody* {
        auto found = copies.find(source);
        if (found != copies.end()) {
            ++found->second->referenceCount;
            return found->second;
        }
        ValueBody* copy;
        if (source->type->kind == TypeKind::Char && source->elements.length == 0 &&
            (copy = types.CommonChar(source->scalar.character)) != nullptr) {
            ++copy->referenceCount;
        } else {
            copy = NewBody(MapType(source->type, types, mappedTypes));
            copy->scalar = source->scalar;
            if (source->elements.length != 0) pending.emplace_back(source, copy);
        }
        copies.emplace(source, copy);
        return copy;
    };

    Value result = Value::Adopt(copyBody(value.Body()));
    while (!pending.empty()) {
        const auto [source, copy] = pending.back();
        pending.pop_back();
        copy->elements.Reserve(source->elements.length);
        for (const Value& item : source->elements) {
            copy->elements.Append(item.Body() == nullptr ? item : Value::Adopt(copyBody(item.Body())));
        }
    }
    return result;
}
