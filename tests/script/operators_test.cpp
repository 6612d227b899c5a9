#include "script/operators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "script/machine.h"
#include "script/text_narrow.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class OperatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        baseline_ = g_valuePool.liveBodies;
        engine_ = std::make_unique<ScriptEngine>();
        machine_ = std::make_unique<ScriptMachine>(*engine_);
    }
    void TearDown() override {
        machine_.reset();
        engine_.reset();
        EXPECT_EQ(g_valuePool.liveBodies, baseline_);
    }

    TypeTable& types() { return engine_->types; }
    ScriptMachine& machine() { return *machine_; }

    // Calls the operator `name` with the arguments as a machine would: a run of stack slots.
    Value Call(const char* name, std::vector<Value> arguments) {
        for (const BuiltinEntry& entry : OperatorTable) {
            if (std::strcmp(entry.name, name) != 0) continue;
            EXPECT_EQ(static_cast<size_t>(entry.argumentCount), arguments.size()) << name;
            return entry.function(machine(), entry.argumentCount, arguments.data());
        }
        ADD_FAILURE() << "no operator " << name;
        return Value();
    }
    // The message of the error a call raises; the call must return void and finish the machine.
    std::string ErrorOf(const char* name, std::vector<Value> arguments) {
        machine_ = std::make_unique<ScriptMachine>(*engine_);
        Value result = Call(name, std::move(arguments));
        EXPECT_TRUE(result.IsVoid()) << name;
        EXPECT_TRUE(machine().error.raised) << name;
        EXPECT_TRUE(machine().finished) << name;
        return machine().error.message;
    }
    double RealOf(const char* name, std::vector<Value> arguments) {
        Value result = Call(name, std::move(arguments));
        EXPECT_FALSE(machine().error.raised) << name << ": " << machine().error.message;
        EXPECT_EQ(result.Type(), types().Real()) << name;
        return ValueToReal(result);
    }
    std::string TextOf(const char* name, std::vector<Value> arguments) {
        Value result = Call(name, std::move(arguments));
        EXPECT_FALSE(machine().error.raised) << name << ": " << machine().error.message;
        return Text(result);
    }

    Value R(double x) { return NewReal(types(), x); }
    Value C(char16_t c) { return NewChar(types(), c); }
    Value B(bool b) { return NewBoolean(types(), b); }
    Value S(std::u16string_view text) { return NewString(types(), text); }
    // An array literal: the empty string followed by one append per element.
    Value A(std::vector<Value> items) {
        Value array = S(u"");
        for (Value& item : items)
            array = Call("append", {array, item});
        return array;
    }
    static std::string Text(const Value& value) { return TextToNarrow(ValueToText(value)); }

private:
    size_t baseline_ = 0;
    std::unique_ptr<ScriptEngine> engine_;
    std::unique_ptr<ScriptMachine> machine_;
};

TEST_F(OperatorTest, TableListsTheOperatorsInOrder) {
    const char* names[kOperatorCount] = {
        "true",      "false",    "pi",       "length",   "not",         "negative", "predecessor",
        "successor", "round",    "trunc",    "truncate", "ceil",        "floor",    "absolute",
        "add",       "subtract", "multiply", "divide",   "remainder",   "power",    "index_",
        "index!",    "slice",    "erase",    "append",   "concatenate", "compare",  "assert"};
    const int counts[kOperatorCount] = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                        2, 2, 2, 2, 2, 2, 2, 2, 3, 2, 2, 2, 2, 2};
    for (int i = 0; i < kOperatorCount; ++i) {
        EXPECT_STREQ(OperatorTable[i].name, names[i]);
        EXPECT_EQ(OperatorTable[i].argumentCount, counts[i]) << names[i];
        EXPECT_NE(OperatorTable[i].function, nullptr);
    }
    EXPECT_EQ(OperatorTable[9].function, OperatorTable[10].function);
    EXPECT_EQ(OperatorTable[18].function, &OperatorRemainder);
}

TEST_F(OperatorTest, ConstantsAndOneArgumentArithmetic) {
    EXPECT_EQ(TextOf("true", {}), "true");
    EXPECT_EQ(TextOf("false", {}), "false");
    EXPECT_EQ(RealOf("pi", {}), 3.141592653589793);

    EXPECT_EQ(TextOf("not", {R(0)}), "true");
    EXPECT_EQ(TextOf("not", {S(u"x")}), "false");
    EXPECT_EQ(TextOf("not", {Value()}), "true");
    EXPECT_EQ(RealOf("negative", {S(u"4")}), -4);
    EXPECT_EQ(RealOf("negative", {B(true)}), -1);
    EXPECT_EQ(RealOf("round", {R(2.5)}), 3);
    EXPECT_EQ(RealOf("round", {R(-2.5)}), -2);
    EXPECT_EQ(RealOf("trunc", {R(2.7)}), 2);
    EXPECT_EQ(RealOf("truncate", {R(-2.7)}), -2);
    EXPECT_EQ(RealOf("ceil", {R(1.2)}), 2);
    EXPECT_EQ(RealOf("floor", {R(-1.2)}), -2);
    EXPECT_EQ(RealOf("absolute", {R(-3)}), 3);
    EXPECT_EQ(RealOf("absolute", {C(u'a')}), 97);
    EXPECT_TRUE(std::isnan(RealOf("trunc", {R(kNaN)})));
}

TEST_F(OperatorTest, Length) {
    EXPECT_EQ(RealOf("length", {A({R(1), R(2), R(3)})}), 3);
    EXPECT_EQ(RealOf("length", {S(u"abcd")}), 4);
    EXPECT_EQ(RealOf("length", {R(5)}), 0);
    EXPECT_EQ(ErrorOf("length", {Value()}), "length cannot be used on a void value");
}

TEST_F(OperatorTest, PredecessorAndSuccessorKeepTheType) {
    Value r = Call("successor", {R(1.5)});
    EXPECT_EQ(r.Type(), types().Real());
    EXPECT_EQ(ValueToReal(r), 2.5);
    EXPECT_EQ(RealOf("predecessor", {R(0)}), -1);
    Value c = Call("predecessor", {C(0)});
    EXPECT_EQ(c.Type(), types().Char());
    EXPECT_EQ(ValueToChar(c), 0xFFFF);
    EXPECT_EQ(ValueToChar(Call("successor", {C(0xFFFF)})), 0);
    EXPECT_EQ(TextOf("successor", {C(u'a')}), "b");
    EXPECT_EQ(TextOf("successor", {B(false)}), "true");
    EXPECT_EQ(TextOf("predecessor", {B(true)}), "false");

    EXPECT_EQ(ErrorOf("predecessor", {A({R(1)})}), "(value) predecessor of this type cannot be used");
    EXPECT_EQ(ErrorOf("successor", {S(u"a")}), "(value) successor of this type cannot be used");
    EXPECT_EQ(ErrorOf("predecessor", {Value()}), "predecessor cannot be used on a void value");
    EXPECT_EQ(ErrorOf("successor", {Value()}), "successor cannot be used on a void value");
}

TEST_F(OperatorTest, AddAndSubtractScalarsConvertToReal) {
    EXPECT_EQ(RealOf("add", {B(true), B(true)}), 2);
    EXPECT_EQ(RealOf("add", {C(u'a'), R(1)}), 98);
    EXPECT_EQ(RealOf("add", {R(1), S(u"2.5")}), 3.5);
    EXPECT_EQ(RealOf("add", {R(1), A({R(7)})}), 1);
    EXPECT_EQ(RealOf("add", {R(1), Value()}), 1);
    EXPECT_EQ(RealOf("subtract", {R(1), R(3)}), -2);
    EXPECT_EQ(RealOf("subtract", {B(true), S(u"10")}), -9);
    EXPECT_EQ(ErrorOf("add", {Value(), R(1)}), "add cannot be used on a void value");
    EXPECT_EQ(ErrorOf("subtract", {Value(), R(1)}), "subtract cannot be used on a void value");
}

TEST_F(OperatorTest, AddAndSubtractArraysElementWise) {
    Value sum = Call("add", {A({R(1), R(2)}), A({R(3), R(4)})});
    EXPECT_EQ(Text(sum), "[4.000000,6.000000]");
    EXPECT_EQ(sum.Type(), types().ArrayOf(types().Real()));
    EXPECT_EQ(TextOf("subtract", {A({A({R(5), R(6)}), A({R(7)})}), A({A({R(1), R(2)}), A({R(3)})})}),
              "[[4.000000,4.000000],[4.000000]]");

    Value codes = Call("add", {S(u"ab"), S(u"\x01\x02")});
    EXPECT_EQ(codes.Type(), types().String());
    EXPECT_EQ(codes.Body()->elements[0].Type(), types().Real());
    EXPECT_EQ(ValueToReal(codes.Body()->elements[1]), 100);

    EXPECT_EQ(ErrorOf("add", {A({R(1), R(2)}), A({R(1)})}), "Add array lengths do not match");
    EXPECT_EQ(ErrorOf("subtract", {A({R(1), R(2)}), A({R(1)})}), "Subtract array lengths do not match");
    EXPECT_EQ(ErrorOf("add", {A({R(1)}), A({S(u"x")})}), "Add type mismatch");
    EXPECT_EQ(ErrorOf("subtract", {A({R(1)}), R(1)}), "Subtract type mismatch");
    EXPECT_EQ(ErrorOf("add", {A({A({R(1)})}), A({A({R(1), R(2)})})}), "Add array lengths do not match");
    EXPECT_EQ(ErrorOf("add", {A({R(1)}), Value()}), "add cannot be used on a void value");
    EXPECT_EQ(ErrorOf("subtract", {A({R(1)}), Value()}), "subtract cannot be used on a void value");
}

TEST_F(OperatorTest, TwoArgumentArithmetic) {
    EXPECT_EQ(RealOf("multiply", {R(3), S(u"4")}), 12);
    EXPECT_EQ(RealOf("multiply", {A({R(3)}), R(4)}), 0);
    EXPECT_EQ(RealOf("divide", {R(1), R(4)}), 0.25);
    EXPECT_EQ(RealOf("divide", {R(-1), R(0)}), -kInf);
    EXPECT_TRUE(std::isnan(RealOf("divide", {R(0), R(0)})));
    EXPECT_EQ(RealOf("remainder", {R(-7), R(3)}), -1);
    EXPECT_EQ(RealOf("remainder", {R(7.5), R(2)}), 1.5);
    EXPECT_EQ(RealOf("power", {R(2), R(10)}), 1024);
    EXPECT_EQ(RealOf("power", {B(false), R(0)}), 1);
    EXPECT_FALSE(machine().error.raised);
}

TEST_F(OperatorTest, Compare) {
    EXPECT_EQ(RealOf("compare", {R(1), R(2)}), -1);
    EXPECT_EQ(RealOf("compare", {R(2), R(1)}), 1);
    EXPECT_EQ(RealOf("compare", {R(2), R(2)}), 0);
    EXPECT_EQ(RealOf("compare", {R(kNaN), R(1)}), 0);
    EXPECT_EQ(RealOf("compare", {C(u'a'), C(u'b')}), -1);
    EXPECT_EQ(RealOf("compare", {B(true), B(false)}), 1);
    EXPECT_EQ(RealOf("compare", {S(u"ab"), S(u"ab")}), 0);
    EXPECT_EQ(RealOf("compare", {S(u""), S(u"a")}), -1);
    EXPECT_EQ(RealOf("compare", {S(u"a"), S(u"ab")}), -1);
    EXPECT_EQ(RealOf("compare", {S(u"ab"), S(u"b")}), -1);
    EXPECT_EQ(RealOf("compare", {S(u"b"), S(u"ab")}), 1);
    EXPECT_EQ(RealOf("compare", {S(u"ab"), S(u"a")}), 1);
    EXPECT_EQ(RealOf("compare", {A({A({R(1), R(2)})}), A({A({R(1), R(3)})})}), -1);
    EXPECT_EQ(RealOf("compare", {A({A({R(1)}), A({R(5)})}), A({A({R(1)}), A({R(4)})})}), 1);
    Value same = A({A({R(1)})});
    EXPECT_EQ(RealOf("compare", {same, same}), 0);

    const char* different = "An attempt of comparison between different types was made";
    EXPECT_EQ(ErrorOf("compare", {R(1), S(u"1")}), different);
    EXPECT_EQ(ErrorOf("compare", {C(u'1'), R(49)}), different);
    EXPECT_EQ(ErrorOf("compare", {A({R(1)}), S(u"a")}), different);
    EXPECT_EQ(ErrorOf("compare", {Value(), R(1)}), "compare cannot be used on a void value");
    EXPECT_EQ(ErrorOf("compare", {R(1), Value()}), "compare cannot be used on a void value");
    EXPECT_EQ(ErrorOf("compare", {Value(), Value()}), "compare cannot be used on a void value");
}

TEST_F(OperatorTest, CompareOfElementsWhoseTypesDiverged) {
    // An element assignment may give an element of an array of arrays another array type.
    Value a = A({A({R(1)})});
    Value b = A({A({R(1)})});
    b.Body()->elements[0] = S(u"x");
    EXPECT_EQ(ErrorOf("compare", {a, b}), "An attempt of comparison between different types was made");
}

TEST_F(OperatorTest, IndexReadSharesTheElement) {
    Value array = A({R(10), R(20), R(30)});
    Value element = Call("index_", {array, R(1)});
    EXPECT_EQ(element.Bits(), array.Body()->elements[1].Bits());
    Value nested = A({S(u"xy")});
    Value inner = Call("index_", {nested, R(0)});
    EXPECT_EQ(inner.Body(), nested.Body()->elements[0].Body());
    EXPECT_EQ(inner.Body()->referenceCount, 2);
    EXPECT_EQ(TextOf("index_", {S(u"abc"), R(2)}), "c");
    EXPECT_EQ(TextOf("index_", {array, S(u"0")}), "10.000000");
    EXPECT_EQ(TextOf("index_", {array, R(-0.0)}), "10.000000");

    EXPECT_EQ(ErrorOf("index_", {R(1), R(0)}), "Index can only be used on arrays and strings");
    EXPECT_EQ(ErrorOf("index_", {Value(), R(0)}), "Index can only be used on arrays and strings");
    EXPECT_EQ(ErrorOf("index_", {array, R(1.5)}), "Decimal point in index");
    EXPECT_EQ(ErrorOf("index_", {array, R(kNaN)}), "Decimal point in index");
    EXPECT_EQ(ErrorOf("index_", {array, R(kInf)}), "Decimal point in index");
    EXPECT_EQ(ErrorOf("index_", {array, R(-1)}), "Index exceeded the size of the array");
    EXPECT_EQ(ErrorOf("index_", {array, R(3)}), "Index exceeded the size of the array");
    EXPECT_EQ(ErrorOf("index_", {array, R(1e300)}), "Index exceeded the size of the array");
}

TEST_F(OperatorTest, IndexWritableUnsharesOnlyTheSlot) {
    Value element = R(20);
    Value other = A({R(1), element});
    Value array = A({R(1), element});
    Value slot = Call("index!", {array, R(1)});
    EXPECT_NE(slot.Body(), element.Body());
    EXPECT_EQ(slot.Body(), array.Body()->elements[1].Body());
    EXPECT_EQ(slot.Body()->referenceCount, 2);
    // An assignment through the returned handle writes the container's own element.
    slot.Body()->scalar.real = 99;
    EXPECT_EQ(Text(array), "[1.000000,99.000000]");
    EXPECT_EQ(Text(other), "[1.000000,20.000000]");
    EXPECT_EQ(Text(element), "20.000000");
}

TEST_F(OperatorTest, IndexWritableErrors) {
    Value array = A({R(1)});
    EXPECT_EQ(ErrorOf("index!", {B(true), R(0)}), "IndexWritable can only be used on arrays and strings");
    EXPECT_EQ(ErrorOf("index!", {Value(), R(0)}), "IndexWritable can only be used on arrays and strings");
    EXPECT_EQ(ErrorOf("index!", {array, R(0.5)}), "Decimal point in index");
    EXPECT_EQ(ErrorOf("index!", {array, R(-kInf)}), "Decimal point in index");
    EXPECT_EQ(ErrorOf("index!", {array, R(1)}), "IndexWritable exceeded the size of the array");
}

TEST_F(OperatorTest, Slice) {
    Value array = A({R(1), R(2), R(3)});
    Value middle = Call("slice", {array, R(1), R(3)});
    EXPECT_EQ(Text(middle), "[2.000000,3.000000]");
    EXPECT_EQ(middle.Body()->elements[0].Body(), array.Body()->elements[1].Body());
    Value empty = Call("slice", {array, R(1), R(1)});
    EXPECT_EQ(ValueToReal(Call("length", {empty})), 0);
    EXPECT_EQ(empty.Type(), array.Type());
    EXPECT_EQ(TextOf("slice", {S(u"hello"), R(1), R(4)}), "ell");

    EXPECT_EQ(ErrorOf("slice", {array, R(2), R(1)}), "Slice exceeded the size of the array");
    EXPECT_EQ(ErrorOf("slice", {array, R(-1), R(1)}), "Slice exceeded the size of the array");
    EXPECT_EQ(ErrorOf("slice", {array, R(0), R(4)}), "Slice exceeded the size of the array");
    EXPECT_EQ(ErrorOf("slice", {array, R(0.5), R(1.5)}), "Decimal point at the start position of slice");
    EXPECT_EQ(ErrorOf("slice", {array, R(0), R(kNaN)}), "Decimal point at the end position of slice");
    EXPECT_EQ(ErrorOf("slice", {R(3), R(0), R(0)}), "Slice can only be used on arrays and strings");
    EXPECT_EQ(ErrorOf("slice", {Value(), R(0), R(0)}), "Slice can only be used on arrays and strings");
}

TEST_F(OperatorTest, Erase) {
    Value array = A({R(1), R(2), R(3)});
    EXPECT_EQ(TextOf("erase", {array, R(1)}), "[1.000000,3.000000]");
    EXPECT_EQ(TextOf("erase", {array, R(0)}), "[2.000000,3.000000]");
    EXPECT_EQ(TextOf("erase", {S(u"abc"), R(2)}), "ab");
    EXPECT_EQ(Text(array), "[1.000000,2.000000,3.000000]");

    EXPECT_EQ(ErrorOf("erase", {array, R(3)}), "Erase exceeded the size of the array");
    EXPECT_EQ(ErrorOf("erase", {S(u""), R(0)}), "Erase exceeded the size of the array");
    EXPECT_EQ(ErrorOf("erase", {array, R(1.25)}), "Decimal point at erase position");
    EXPECT_EQ(ErrorOf("erase", {array, R(kNaN)}), "Decimal point at erase position");
    EXPECT_EQ(ErrorOf("erase", {C(u'a'), R(0)}), "Erase can only be used on arrays and strings");
}

TEST_F(OperatorTest, AppendRetypesAndCopiesOnlyShared) {
    Value literal = S(u"");
    EXPECT_EQ(literal.Type(), types().String());
    Value reals = Call("append", {literal, R(1)});
    EXPECT_EQ(reals.Type(), types().ArrayOf(types().Real()));
    EXPECT_EQ(literal.Type(), types().String());  // the shared empty literal is not touched
    EXPECT_EQ(ValueToReal(Call("length", {literal})), 0);

    // A container the caller holds alone grows in place.
    std::vector<Value> slots{reals, R(2)};
    reals = Value();
    ValueBody* body = slots[0].Body();
    Value grown = OperatorTable[24].function(machine(), 2, slots.data());
    EXPECT_EQ(grown.Body(), body);
    EXPECT_EQ(Text(grown), "[1.000000,2.000000]");

    // The empty literal is a string, so it does not join a non-empty array of arrays of reals.
    EXPECT_EQ(ErrorOf("append", {A({A({R(1)})}), S(u"")}), "Type mismatch");
    EXPECT_EQ(ErrorOf("append", {A({R(1)}), S(u"x")}), "Type mismatch");
    EXPECT_EQ(ErrorOf("append", {R(1), R(1)}), "Append can only be used on arrays and strings");
    EXPECT_EQ(ErrorOf("append", {Value(), R(1)}), "Append can only be used on arrays and strings");
    EXPECT_EQ(ErrorOf("append", {S(u""), Value()}), "append cannot be used on a void value");
    EXPECT_EQ(ErrorOf("append", {A({R(1)}), Value()}), "append cannot be used on a void value");
}

TEST_F(OperatorTest, Concatenate) {
    Value joined = Call("concatenate", {S(u""), A({R(1)})});
    EXPECT_EQ(Text(joined), "[1.000000]");
    EXPECT_EQ(joined.Type(), types().ArrayOf(types().Real()));
    EXPECT_EQ(TextOf("concatenate", {S(u"ab"), S(u"cd")}), "abcd");
    EXPECT_EQ(TextOf("concatenate", {S(u"ab"), S(u"")}), "ab");
    Value emptyReals = Call("slice", {A({R(1)}), R(0), R(0)});
    EXPECT_EQ(Call("concatenate", {emptyReals, S(u"")}).Type(), types().String());

    Value twice = S(u"xy");
    Value doubled = Call("concatenate", {twice, twice});
    EXPECT_EQ(Text(doubled), "xyxy");
    EXPECT_EQ(Text(twice), "xy");

    EXPECT_EQ(ErrorOf("concatenate", {S(u"ab"), A({R(1)})}), "Type mismatch");
    const char* notArrays = "Can only concatenate arrays and strings (Create element with [] operator)";
    EXPECT_EQ(ErrorOf("concatenate", {S(u"ab"), C(u'c')}), notArrays);
    EXPECT_EQ(ErrorOf("concatenate", {R(1), S(u"ab")}), notArrays);
    EXPECT_EQ(ErrorOf("concatenate", {Value(), S(u"ab")}), notArrays);
}

TEST_F(OperatorTest, Assert) {
    Value passed = Call("assert", {B(true), S(u"unused")});
    EXPECT_TRUE(passed.IsVoid());
    EXPECT_FALSE(machine().error.raised);
    EXPECT_EQ(ErrorOf("assert", {R(0), S(u"boss too early")}), "boss too early");
    EXPECT_EQ(ErrorOf("assert", {Value(), R(3)}), "3.000000");
    EXPECT_EQ(ErrorOf("assert", {S(u""), S(u"\u00e9")}), "\xc3\xa9");
    EXPECT_EQ(ErrorOf("assert", {B(false), S(u"\xD800")}), "(BAD-DATA)");
}

TEST_F(OperatorTest, ResultsAreFreshValuesOfTheProgramsTypes) {
    Value a = R(1);
    Value sum = Call("add", {a, R(0)});
    EXPECT_TRUE(sum.IsHeldReal());
    EXPECT_EQ(sum.Type(), types().Real());
    EXPECT_EQ(Call("compare", {a, a}).Type(), types().Real());
    EXPECT_EQ(Call("not", {a}).Type(), types().Boolean());
}

}  // namespace
