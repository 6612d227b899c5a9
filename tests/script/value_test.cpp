#include "script/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "script/text_narrow.h"
#include "script/type_table.h"

namespace {

// Every test ends with the pool's live-body count back where it started: nothing leaked.
class ValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        baseline_ = g_valuePool.liveBodies;
        types_ = std::make_unique<TypeTable>();
    }
    void TearDown() override {
        types_.reset();
        EXPECT_EQ(g_valuePool.liveBodies, baseline_);
    }

    TypeTable& types() { return *types_; }
    Value Real(double x) { return NewReal(types(), x); }
    Value Str(std::u16string_view text) { return NewString(types(), text); }
    Value Array(std::initializer_list<Value> items) {
        Value array = NewArray(types().ArrayOf(items.begin()->Type()));
        for (const Value& item : items)
            array.Body()->elements.Append(item);
        return array;
    }
    static std::string Text(const Value& value) { return TextToNarrow(ValueToText(value)); }

private:
    size_t baseline_ = 0;
    std::unique_ptr<TypeTable> types_;
};

TEST_F(ValueTest, CopiesShareAndCountMovesDoNot) {
    Value a = NewChar(types(), u'\u4e00');
    ValueBody* body = a.Body();
    EXPECT_EQ(body->referenceCount, 1);
    {
        Value b = a;
        EXPECT_EQ(b.Body(), body);
        EXPECT_EQ(body->referenceCount, 2);
        Value c = std::move(b);
        EXPECT_TRUE(b.IsVoid());
        EXPECT_EQ(body->referenceCount, 2);
        c = c;
        EXPECT_EQ(body->referenceCount, 2);
        c = std::move(c);
        EXPECT_EQ(body->referenceCount, 2);
    }
    EXPECT_EQ(body->referenceCount, 1);
    size_t live = g_valuePool.liveBodies;
    a = Value();
    EXPECT_EQ(g_valuePool.liveBodies, live - 1);
}

// Reals live in the handle, every bit kept, and take no body; the NaNs whose bits the handle cannot
// carry get a body instead, and so does a real that something must refer to.
TEST_F(ValueTest, RealsAreHeldInTheHandle) {
    const size_t live = g_valuePool.liveBodies;
    for (double x : {0.0, -0.0, 1.5, -1e308, std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::denorm_min(),
                     std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()}) {
        Value held = Real(x);
        Value copy = held;
        EXPECT_TRUE(copy.IsHeldReal());
        EXPECT_EQ(copy.Type(), types().Real());
        double read = 0;
        ASSERT_TRUE(copy.ReadReal(read));
        EXPECT_EQ(std::memcmp(&read, &x, sizeof x), 0);
    }
    EXPECT_EQ(g_valuePool.liveBodies, live);

    const uint64_t bits = 0xFFFF'0000'0000'0123;  // a negative NaN with a payload
    double odd;
    std::memcpy(&odd, &bits, sizeof odd);
    Value boxed = Real(odd);
    ASSERT_NE(boxed.Body(), nullptr);
    EXPECT_EQ(g_valuePool.liveBodies, live + 1);
    double read = 0;
    ASSERT_TRUE(boxed.ReadReal(read));
    EXPECT_EQ(std::memcmp(&read, &odd, sizeof odd), 0);
    EXPECT_EQ(Text(boxed), "-nan");

    Value referred = Real(5);
    MakeUnique(referred);
    ASSERT_NE(referred.Body(), nullptr);
    EXPECT_EQ(referred.Type(), types().Real());
    EXPECT_EQ(ValueToReal(referred), 5.0);
    EXPECT_EQ(Text(referred), "5.000000");
}

TEST_F(ValueTest, MakeUniqueCopiesOneLevelOnlyWhenShared) {
    Value empty;
    MakeUnique(empty);
    ASSERT_FALSE(empty.IsVoid());
    EXPECT_EQ(empty.Type(), nullptr);
    EXPECT_EQ(Text(empty), "(INTERNAL-ERROR)");

    Value alone = Real(5);
    MakeUnique(alone);
    ValueBody* body = alone.Body();
    MakeUnique(alone);
    EXPECT_EQ(alone.Body(), body);

    Value inner = Str(u"x");
    Value a = Array({inner, Str(u"y")});
    Value b = a;
    MakeUnique(b);
    EXPECT_NE(b.Body(), a.Body());
    EXPECT_EQ(a.Body()->referenceCount, 1);
    EXPECT_EQ(b.Type(), a.Type());
    EXPECT_EQ(b.Body()->elements[0].Body(), inner.Body());
    EXPECT_EQ(inner.Body()->referenceCount, 3);  // inner, a[0], b[0]
}

TEST_F(ValueTest, NestedWritesCopyOnlyAsFarAsShared) {
    Value a = Array({Array({Real(1), Real(2)}), Array({Real(3)})});
    Value b = a;
    // What an element assignment b[0][0] = 9 does: the variable, then each slot on the way, unique.
    MakeUnique(b);
    Value& row = b.Body()->elements[0];
    MakeUnique(row);
    Value& cell = row.Body()->elements[0];
    MakeUnique(cell);
    cell.Body()->scalar.real = 9;

    EXPECT_EQ(Text(a), "[[1.000000,2.000000],[3.000000]]");
    EXPECT_EQ(Text(b), "[[9.000000,2.000000],[3.000000]]");
    EXPECT_EQ(b.Body()->elements[1].Body(), a.Body()->elements[1].Body());  // untouched row still shared
    EXPECT_EQ(row.Body()->elements[1].Body(), a.Body()->elements[0].Body()->elements[1].Body());
}

TEST_F(ValueTest, DeepNestingIsReleasedAndPrintedWithoutRecursion) {
    Value value = Real(1);
    for (int i = 0; i < 200000; ++i) {
        Value outer = NewArray(types().ArrayOf(value.Type()), 1);
        outer.Body()->elements.Append(std::move(value));
        value = std::move(outer);
    }
    std::u16string text = ValueToText(value);
    EXPECT_EQ(text.size(), 200000u * 2 + 8);
    EXPECT_EQ(text.substr(199997, 14), u"[[[1.000000]]]");
}

TEST_F(ValueTest, TypesAreInternedPerTable) {
    ASSERT_EQ(types().Count(), 4u);
    EXPECT_EQ(types().At(0)->kind, TypeKind::Real);
    EXPECT_EQ(types().At(1)->kind, TypeKind::Char);
    EXPECT_EQ(types().At(2)->kind, TypeKind::Boolean);
    EXPECT_EQ(types().At(3)->kind, TypeKind::Array);
    EXPECT_EQ(types().String()->element, types().Char());
    EXPECT_EQ(types().ArrayOf(types().Char()), types().String());

    const TypeRecord* reals = types().ArrayOf(types().Real());
    EXPECT_EQ(types().ArrayOf(types().Real()), reals);
    const TypeRecord* nested = types().ArrayOf(reals);
    EXPECT_EQ(nested->element, reals);
    EXPECT_EQ(types().ArrayOf(reals), nested);
    EXPECT_NE(nested, reals);
    EXPECT_EQ(types().Count(), 6u);

    // The scalar types are every program's; array types are each table's own, and one of another
    // program is interned here by search, without touching the other table.
    TypeTable other;
    EXPECT_EQ(other.Real(), types().Real());
    EXPECT_EQ(types().ArrayOf(other.Real()), reals);
    const TypeRecord* otherReals = other.ArrayOf(other.Real());
    EXPECT_NE(otherReals, reals);
    const TypeRecord* foreign = types().ArrayOf(otherReals);
    EXPECT_EQ(types().ArrayOf(otherReals), foreign);
    EXPECT_EQ(otherReals->arrayOf, nullptr);
    EXPECT_NE(foreign, nested);
}

TEST_F(ValueTest, ConversionsOfEveryKind) {
    Value none;
    Value array = Array({Real(1)});
    EXPECT_EQ(ValueToReal(none), 0.0);
    EXPECT_FALSE(ValueToBoolean(none));
    EXPECT_EQ(ValueToChar(none), 0);

    EXPECT_EQ(ValueToReal(Real(-2.5)), -2.5);
    EXPECT_TRUE(ValueToBoolean(Real(-2.5)));
    EXPECT_FALSE(ValueToBoolean(Real(0)));
    EXPECT_TRUE(ValueToBoolean(Real(std::nan(""))));
    EXPECT_EQ(ValueToChar(Real(65.9)), u'A');
    EXPECT_EQ(ValueToChar(Real(-1.5)), 0xFFFF);
    EXPECT_EQ(ValueToChar(Real(65536 + 66)), u'B');
    EXPECT_EQ(ValueToChar(Real(std::nan(""))), 0);
    EXPECT_EQ(ValueToChar(Real(std::numeric_limits<double>::infinity())), 0);
    EXPECT_EQ(ValueToChar(Real(1e300)), 0);

    Value letter = NewChar(types(), u'a');
    EXPECT_EQ(ValueToReal(letter), 97.0);
    EXPECT_TRUE(ValueToBoolean(letter));
    EXPECT_FALSE(ValueToBoolean(NewChar(types(), 0)));
    EXPECT_EQ(ValueToChar(letter), u'a');

    Value yes = NewBoolean(types(), true);
    EXPECT_EQ(ValueToReal(yes), 1.0);
    EXPECT_EQ(ValueToReal(NewBoolean(types(), false)), 0.0);
    EXPECT_EQ(ValueToChar(yes), u'1');
    EXPECT_EQ(ValueToChar(NewBoolean(types(), false)), u'0');

    EXPECT_EQ(ValueToReal(Str(u"  12.5xyz")), 12.5);
    EXPECT_EQ(ValueToReal(Str(u"abc")), 0.0);
    EXPECT_EQ(ValueToReal(Str(u"-3e2")), -300.0);
    EXPECT_EQ(ValueToReal(Str(u"")), 0.0);
    EXPECT_EQ(ValueToReal(Str(u"\xD800"
                              u"5")),
              0.0);  // unconvertible text reads as nothing
    EXPECT_EQ(ValueToReal(array), 0.0);
    EXPECT_TRUE(ValueToBoolean(array));
    EXPECT_FALSE(ValueToBoolean(Str(u"")));
    EXPECT_EQ(ValueToChar(Str(u"7")), 0);
}

TEST_F(ValueTest, TextForms) {
    EXPECT_EQ(Text(Value()), "(VOID)");
    EXPECT_EQ(Text(Real(1)), "1.000000");
    EXPECT_EQ(Text(Real(-0.5)), "-0.500000");
    EXPECT_EQ(Text(Real(-0.0)), "-0.000000");
    EXPECT_EQ(Text(Real(0.1234567)), "0.123457");
    EXPECT_EQ(Text(Real(123456789012)), "123456789012.000000");
    EXPECT_EQ(Text(NewChar(types(), u'x')), "x");
    EXPECT_EQ(Text(NewBoolean(types(), true)), "true");
    EXPECT_EQ(Text(NewBoolean(types(), false)), "false");
    EXPECT_EQ(Text(Str(u"h\u00e9llo")), "h\xc3\xa9llo");
    EXPECT_EQ(Text(Str(u"")), "");
    EXPECT_EQ(Text(Array({Array({Real(1), Real(2)}), Array({Real(3)})})), "[[1.000000,2.000000],[3.000000]]");
    EXPECT_EQ(Text(Array({Str(u"ab"), Str(u"c")})), "[ab,c]");
    EXPECT_EQ(Text(NewArray(types().ArrayOf(types().Real()))), "[]");
    EXPECT_EQ(Text(Array({NewBoolean(types(), true)})), "[true]");
    EXPECT_EQ(Text(Str(u"\xDC00")), "(BAD-DATA)");
}

TEST_F(ValueTest, RealTextMatchesTheRuntimeFormat) {
    const double samples[] = {0,
                              1,
                              -1,
                              42,
                              1e15 - 1,
                              1e15,
                              -1e15 + 1,
                              9007199254740992.0,
                              1e20,
                              1e300,
                              -1e308,
                              0.5,
                              2.5e-7,
                              5e-7,
                              1.0 / 3,
                              -2.675,
                              1e-300,
                              123.456,
                              std::numeric_limits<double>::infinity()};
    for (double sample : samples) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "%Lf", static_cast<long double>(sample));
        EXPECT_EQ(Text(Real(sample)), expected) << sample;
    }
}

TEST_F(ValueTest, StringsShareCommonCharactersSafely) {
    Value a = Str(u"aa\u4e00");
    ValueList& items = a.Body()->elements;
    EXPECT_EQ(items[0].Body(), items[1].Body());
    EXPECT_EQ(items[0].Type(), types().Char());
    EXPECT_EQ(items[2].Body()->referenceCount, 1);
    Value b = Str(u"a");
    EXPECT_EQ(b.Body()->elements[0].Body(), items[0].Body());

    // Writing one character goes through MakeUnique, which copies the shared body.
    MakeUnique(items[0]);
    items[0].Body()->scalar.character = u'z';
    EXPECT_EQ(Text(a), "za\xe4\xb8\x80");
    EXPECT_EQ(Text(b), "a");

    EXPECT_EQ(Text(NewLatin1String(types(), "caf\xe9")), "caf\xc3\xa9");
}

TEST_F(ValueTest, ElementListsGrowByHalfAgain) {
    Value array = NewArray(types().ArrayOf(types().Real()));
    ValueList& list = array.Body()->elements;
    list.Append(Real(0));
    EXPECT_EQ(list.capacity, 2u);  // s = 1 -> 2 - 0
    list.Append(Real(1));
    EXPECT_EQ(list.capacity, 2u);
    list.Append(Real(2));
    EXPECT_EQ(list.capacity, 5u);  // s = 3 -> 6 - 1
    list.Append(Real(3));
    EXPECT_EQ(Text(array), "[0.000000,1.000000,2.000000,3.000000]");

    // Items of the list itself stay valid sources while the list grows under them.
    list.Append(list[3]);
    list.Append(list[0]);
    EXPECT_EQ(list.capacity, 9u);
    list.AppendShared(list.items, 6);
    list.AppendShared(list.items + 2, 8);
    EXPECT_EQ(list.length, 20u);
    EXPECT_EQ(Text(array),
              "[0.000000,1.000000,2.000000,3.000000,3.000000,0.000000,0.000000,1.000000,2.000000,3.000000,"
              "3.000000,0.000000,2.000000,3.000000,3.000000,0.000000,0.000000,1.000000,2.000000,3.000000]");
}

TEST(TextToNarrow, ConvertsToUtf8) {
    EXPECT_EQ(TextToNarrow(u"plain"), "plain");
    EXPECT_EQ(TextToNarrow(u"\u00e9\u20ac"), "\xc3\xa9\xe2\x82\xac");
    EXPECT_EQ(TextToNarrow(u"\U0001F600"), "\xf0\x9f\x98\x80");
    EXPECT_EQ(TextToNarrow(std::u16string_view(u"ab\0cd", 5)), "ab");
}

TEST(TextToNarrow, UnpairedSurrogatesAreBadData) {
    EXPECT_EQ(TextToNarrow(u"x\xD83D"), "(BAD-DATA)");
    EXPECT_EQ(TextToNarrow(u"\xD83Dx"), "(BAD-DATA)");
    EXPECT_EQ(TextToNarrow(u"\xDE00x"), "(BAD-DATA)");
    EXPECT_EQ(TextToNarrow(u"\xD83D\xD83D\xDE00"), "(BAD-DATA)");
}

}  // namespace
