// Cost of the value primitives that every script operation is made of, so that later changes to the
// representation or the pool can be compared.

#include <benchmark/benchmark.h>

#include "script/machine.h"
#include "script/operators.h"
#include "script/value.h"

namespace {

BuiltinFunction OperatorNamed(const char* name) {
    for (const BuiltinEntry& entry : OperatorTable) {
        if (std::string_view(entry.name) == name) return entry.function;
    }
    return nullptr;
}

void CreateAndReleaseReal(benchmark::State& state) {
    TypeTable types;
    double x = 0;
    for (auto _ : state) {
        Value value = NewReal(types, x);
        benchmark::DoNotOptimize(value.Body());
        x += 1;
    }
}
BENCHMARK(CreateAndReleaseReal);

void ShareAndDrop(benchmark::State& state) {
    TypeTable types;
    Value value = NewReal(types, 1);
    for (auto _ : state) {
        Value copy = value;
        benchmark::DoNotOptimize(copy.Body());
    }
}
BENCHMARK(ShareAndDrop);

void MakeUniqueOfSharedReal(benchmark::State& state) {
    TypeTable types;
    Value value = NewReal(types, 1);
    for (auto _ : state) {
        Value copy = value;
        MakeUnique(copy);
        benchmark::DoNotOptimize(copy.Body());
    }
}
BENCHMARK(MakeUniqueOfSharedReal);

void CreateAndReleaseString(benchmark::State& state) {
    TypeTable types;
    std::u16string text(static_cast<size_t>(state.range(0)), u'x');
    for (auto _ : state) {
        Value value = NewString(types, text);
        benchmark::DoNotOptimize(value.Body());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(CreateAndReleaseString)->Arg(8)->Arg(64);

// A machine's view of a binary operator: two argument slots, a fresh result replacing the first.
void BinaryOperator(benchmark::State& state, const char* name) {
    ScriptEngine engine;
    ScriptMachine machine(engine);
    BuiltinFunction function = OperatorNamed(name);
    Value slots[2] = {NewReal(engine.types, 1.5), NewReal(engine.types, 2.25)};
    for (auto _ : state) {
        Value result = function(machine, 2, slots);
        benchmark::DoNotOptimize(result.Body());
    }
}
BENCHMARK_CAPTURE(BinaryOperator, add, "add");
BENCHMARK_CAPTURE(BinaryOperator, subtract, "subtract");
BENCHMARK_CAPTURE(BinaryOperator, multiply, "multiply");
BENCHMARK_CAPTURE(BinaryOperator, divide, "divide");
BENCHMARK_CAPTURE(BinaryOperator, remainder, "remainder");
BENCHMARK_CAPTURE(BinaryOperator, compare, "compare");

// A counter loop's body: i = i + 1 with the old value dropped.
void IncrementLoop(benchmark::State& state) {
    ScriptEngine engine;
    ScriptMachine machine(engine);
    BuiltinFunction add = OperatorNamed("add");
    Value one = NewReal(engine.types, 1);
    Value counter = NewReal(engine.types, 0);
    for (auto _ : state) {
        Value slots[2] = {counter, one};
        counter = add(machine, 2, slots);
    }
    benchmark::DoNotOptimize(ValueToReal(counter));
}
BENCHMARK(IncrementLoop);

void AddArrays(benchmark::State& state) {
    ScriptEngine engine;
    ScriptMachine machine(engine);
    Value array = NewArray(engine.types.ArrayOf(engine.types.Real()));
    for (int i = 0; i < state.range(0); ++i)
        array.Body()->elements.Append(NewReal(engine.types, i));
    Value slots[2] = {array, array};
    BuiltinFunction add = OperatorNamed("add");
    for (auto _ : state) {
        Value result = add(machine, 2, slots);
        benchmark::DoNotOptimize(result.Body());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AddArrays)->Arg(3)->Arg(100);

void AppendToArray(benchmark::State& state) {
    ScriptEngine engine;
    ScriptMachine machine(engine);
    BuiltinFunction append = OperatorNamed("append");
    Value element = NewReal(engine.types, 1);
    for (auto _ : state) {
        Value slots[2] = {NewString(engine.types, u""), element};
        for (int i = 0; i < 100; ++i)
            slots[0] = append(machine, 2, slots);
        benchmark::DoNotOptimize(slots[0].Body());
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(AppendToArray);

void CompareStrings(benchmark::State& state) {
    ScriptEngine engine;
    ScriptMachine machine(engine);
    BuiltinFunction compare = OperatorNamed("compare");
    Value slots[2] = {NewString(engine.types, u"ShotData_Default_01"),
                      NewString(engine.types, u"ShotData_Default_02")};
    for (auto _ : state) {
        Value result = compare(machine, 2, slots);
        benchmark::DoNotOptimize(result.Body());
    }
}
BENCHMARK(CompareStrings);

void RealToText(benchmark::State& state) {
    TypeTable types;
    Value whole = NewReal(types, 12345);
    Value fraction = NewReal(types, 3.14159);
    for (auto _ : state) {
        std::u16string a = ValueToText(whole);
        std::u16string b = ValueToText(fraction);
        benchmark::DoNotOptimize(a.data());
        benchmark::DoNotOptimize(b.data());
    }
}
BENCHMARK(RealToText);

}  // namespace

BENCHMARK_MAIN();
