#include "script/value_copy.h"

#include <gtest/gtest.h>

namespace {

Value ArrayOfReals(TypeTable& types, std::initializer_list<double> reals) {
    Value array = NewArray(types.ArrayOf(types.Real()));
    for (double r : reals)
        array.Body()->elements.Append(NewReal(types, r));
    return array;
}

TEST(ValueCopy, RetypesScalarsAndStrings) {
    TypeTable from;
    TypeTable into;
    EXPECT_TRUE(CopyValueInto(Value(), into).IsVoid());
    const Value real = CopyValueInto(NewReal(from, 2.5), into);
    EXPECT_EQ(real.Type(), into.Real());
    EXPECT_EQ(ValueToReal(real), 2.5);
    EXPECT_EQ(CopyValueInto(NewBoolean(from, true), into).Type(), into.Boolean());
    const Value text = CopyValueInto(NewString(from, u"h\u00e9\u4e16"), into);
    EXPECT_EQ(text.Type(), into.String());
    EXPECT_EQ(ValueToText(text), u"h\u00e9\u4e16");
    EXPECT_EQ(text.Body()->elements[0].Type(), into.Char());
}

TEST(ValueCopy, NestedArraysAndSharedBodies) {
    TypeTable into;
    Value copy;
    {
        TypeTable from;
        Value inner = ArrayOfReals(from, {1, 2});
        Value outer = NewArray(from.ArrayOf(inner.Type()));
        outer.Body()->elements.Append(inner);
        outer.Body()->elements.Append(inner);
        outer.Body()->elements.Append(NewArray(inner.Type()));
        copy = CopyValueInto(outer, into);
    }  // the source program is gone; the copy does not depend on it
    EXPECT_EQ(copy.Type(), into.ArrayOf(into.ArrayOf(into.Real())));
    EXPECT_EQ(ValueToText(copy), u"[[1.000000,2.000000],[1.000000,2.000000],[]]");
    EXPECT_EQ(copy.Body()->elements[0].Body(), copy.Body()->elements[1].Body());
    EXPECT_EQ(copy.Body()->elements[0].Body()->referenceCount, 2);
}

TEST(ValueCopy, DeepAndWideSharingIsCopiedOnce) {
    TypeTable from;
    TypeTable into;
    Value v = ArrayOfReals(from, {7});
    for (int i = 0; i < 40; ++i) {  // 2^40 paths, 41 bodies
        Value pair = NewArray(from.ArrayOf(v.Type()));
        pair.Body()->elements.Append(v);
        pair.Body()->elements.Append(v);
        v = pair;
    }
    Value copy = CopyValueInto(v, into);
    const ValueBody* body = copy.Body();
    int depth = 0;
    while (body->type->kind == TypeKind::Array && body->type->element->kind == TypeKind::Array) {
        EXPECT_EQ(body->elements[0].Body(), body->elements[1].Body());
        body = body->elements[0].Body();
        ++depth;
    }
    EXPECT_EQ(depth, 40);
    Value deep = ArrayOfReals(from, {1});
    for (int i = 0; i < 200000; ++i) {
        Value wrap = NewArray(from.ArrayOf(deep.Type()));
        wrap.Body()->elements.Append(std::move(deep));
        deep = std::move(wrap);
    }
    EXPECT_FALSE(CopyValueInto(deep, into).IsVoid());
}

}  // namespace
