// Machine behaviour that script output alone does not show: frame reuse, released values, bounded
// runs, runs that refuse to start, and events delivered from inside a builtin of the same machine.

#include "script/machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/compiler.h"
#include "script/text_narrow.h"

namespace {

std::vector<std::string> g_printed;
ScriptEngine* g_engine = nullptr;

Value Record(ScriptMachine&, int32_t, Value* arguments) {
    g_printed.push_back(TextToNarrow(ValueToText(arguments[0])));
    return Value();
}

// Delivers the event named by the argument to the calling machine itself.
Value Notify(ScriptMachine& machine, int32_t, Value* arguments) {
    machine.RunEvent(g_engine->FindEvent(TextToNarrow(ValueToText(arguments[0]))));
    return Value();
}

// A real made with another program's table.
TypeTable g_otherTypes;
Value Foreign(ScriptMachine&, int32_t, Value*) {
    return NewReal(g_otherTypes, 5);
}

const BuiltinEntry kRows[] = {{"print", Record, 1}, {"Notify", Notify, 1}, {"Foreign", Foreign, 0}};

class MachineTest : public testing::Test {
protected:
    void SetUp() override {
        g_printed.clear();
        liveBefore_ = g_valuePool.liveBodies;
    }
    void TearDown() override {
        machine_.reset();
        engine_.reset();
        g_engine = nullptr;
        EXPECT_EQ(g_valuePool.liveBodies, liveBefore_) << "value bodies leaked";
    }

    ScriptMachine& Load(const std::string& text) {
        engine_ = Compile(text, kRows);
        EXPECT_FALSE(engine_->hasError) << engine_->errorMessage << " at line " << engine_->errorLine;
        g_engine = engine_.get();
        machine_ = std::make_unique<ScriptMachine>(*engine_);
        return *machine_;
    }

    std::unique_ptr<ScriptEngine> engine_;
    std::unique_ptr<ScriptMachine> machine_;
    size_t liveBefore_ = 0;
};

TEST_F(MachineTest, FramesAreReusedAndReleased) {
    ScriptMachine& machine = Load(
        "function Fib(n) { if (n < 2) { return n; } return Fib(n - 1) + Fib(n - 2); }\n"
        "let x = Fib(15);\n"
        "@MainLoop { x = Fib(10); loop (3) { local { } } }");
    machine.Run();
    EXPECT_FALSE(machine.error.raised);
    EXPECT_EQ(machine.FramesInUse(), 1u);  // the root keeps the globals
    // The deepest chain is 15 calls of Fib, each with its if block: far fewer frames than calls.
    const size_t made = machine.frames.size();
    EXPECT_LE(made, 40u);
    for (int i = 0; i < 5; ++i)
        machine.RunEvent(engine_->FindEvent("MainLoop"));
    EXPECT_EQ(machine.FramesInUse(), 1u);
    EXPECT_EQ(machine.frames.size(), made);
}

TEST_F(MachineTest, TopLevelRunsOnce) {
    ScriptMachine& machine = Load("print(\"top\");");
    machine.Run();
    machine.Run();
    machine.RunEvent(nullptr);
    EXPECT_EQ(g_printed, std::vector<std::string>{"top"});
}

TEST_F(MachineTest, RunEventRunsTheTopLevelFirst) {
    ScriptMachine& machine = Load("print(\"top\"); @Initialize { print(\"init\"); }");
    machine.RunEvent(engine_->FindEvent("Initialize"));
    EXPECT_EQ(g_printed, (std::vector<std::string>{"top", "init"}));
}

TEST_F(MachineTest, AnEngineWithACompileErrorNeverRuns) {
    engine_ = Compile("print(1); if (1) { print(2); } let = 3;", kRows);
    ASSERT_TRUE(engine_->hasError);
    machine_ = std::make_unique<ScriptMachine>(*engine_);
    machine_->Run();
    machine_->Step();
    EXPECT_EQ(machine_->Execute(100), 0u);
    EXPECT_TRUE(g_printed.empty());
    EXPECT_EQ(machine_->frames.size(), 0u);
}

TEST_F(MachineTest, ABudgetBoundsAnEndlessLoop) {
    ScriptMachine& machine = Load("let n = 0; loop { n++; }");
    ASSERT_TRUE(machine.BeginRun());
    EXPECT_FALSE(machine.BeginRun());
    EXPECT_EQ(machine.Execute(1000), 1000u);
    EXPECT_FALSE(machine.finished);
    EXPECT_EQ(machine.Execute(500), 500u);
    EXPECT_FALSE(machine.error.raised);
}

TEST_F(MachineTest, StepRunsOneInstructionOrOneBlockExit) {
    // A block that defines a routine runs in a frame of its own.
    ScriptMachine& machine = Load("local { print(1); sub S { } }");
    ASSERT_TRUE(machine.BeginRun());
    machine.Step();  // Call of the block
    EXPECT_EQ(machine.tasks[0]->block, engine_->mainBlock->instructions[0].block);
    machine.Step();  // PushValue
    machine.Step();  // Call print
    EXPECT_EQ(g_printed, std::vector<std::string>{"1.000000"});
    machine.Step();  // exit of the inner block
    EXPECT_EQ(machine.tasks[0], machine.root);
    EXPECT_FALSE(machine.finished);
    machine.Step();  // end of the top level
    EXPECT_TRUE(machine.finished);
}

TEST_F(MachineTest, ErrorsKeepTheirLineAcrossLaterRuns) {
    ScriptMachine& machine = Load("@MainLoop {\n let a;\n print(1);\n print(a);\n print(2);\n}");
    machine.RunEvent(engine_->FindEvent("MainLoop"));
    ASSERT_TRUE(machine.error.raised);
    EXPECT_EQ(machine.error.line, 4);
    EXPECT_EQ(machine.error.message, "Attempted to use a variable that has never been assigned");
    machine.RunEvent(engine_->FindEvent("MainLoop"));
    EXPECT_EQ(machine.error.line, 4);
    // Each call ran the routine from its start.
    EXPECT_EQ(g_printed, (std::vector<std::string>{"1.000000", "1.000000"}));
}

TEST_F(MachineTest, AnEventDeliveredFromInsideABuiltinRunsToItsEndFirst) {
    ScriptMachine& machine = Load(
        "task Ticker { loop { print(\"tick\"); yield; } }\n"
        "task Echo { yield; yield; print(\"echo\"); }\n"
        "@Inner { print(\"inner\"); Echo(); yield; print(\"inner end\"); }\n"
        "@MainLoop { print(\"main\"); Notify(\"Inner\"); print(\"main after\"); yield; }\n"
        "Ticker();");
    machine.Run();
    EXPECT_EQ(g_printed, std::vector<std::string>{"tick"});
    g_printed.clear();

    // The inner event runs with its own task list: Ticker does not run inside it, and Echo, still
    // alive when the inner event ends, joins the outer list.
    machine.RunEvent(engine_->FindEvent("MainLoop"));
    EXPECT_FALSE(machine.error.raised) << machine.error.message;
    EXPECT_EQ(g_printed,
              (std::vector<std::string>{"main", "inner", "inner end", "main after", "tick", "echo"}));
    EXPECT_EQ(machine.tasks.size(), 2u);   // the event thread and Ticker
    EXPECT_EQ(machine.FramesInUse(), 2u);  // the root and Ticker (its loop body runs in place)
}

TEST_F(MachineTest, RecursionLimitStopsWithoutExhaustingTheStack) {
    ScriptMachine& machine = Load("function Down(n) { return Down(n + 1) + 1; }\nlet x = Down(0);");
    machine.Run();
    ASSERT_TRUE(machine.error.raised);
    EXPECT_EQ(machine.error.message, "Calls are nested too deeply (Down)");
    EXPECT_EQ(machine.error.line, 1);
}

TEST_F(MachineTest, ValuesSharedWithConstantsAreNeverChanged) {
    ScriptMachine& machine =
        Load("@MainLoop { let a = [1, 2]; a[0] = 5; let s = \"ab\"; s[1] = 'x'; print(a ~ [0]); print(s); }");
    machine.RunEvent(engine_->FindEvent("MainLoop"));
    machine.RunEvent(engine_->FindEvent("MainLoop"));
    EXPECT_EQ(g_printed, (std::vector<std::string>{"[5.000000,2.000000,0.000000]", "ax",
                                                   "[5.000000,2.000000,0.000000]", "ax"}));
}

// A real is a real in every program: one made by another program's table mixes freely with this
// program's reals in arithmetic, comparison and assignment.
TEST_F(MachineTest, RealsOfAnotherProgramAreRealsHere) {
    ScriptMachine& machine = Load(
        "@Sum { let x = Foreign(); print(x + 1); print(1 + x); let y = 2; y = y + x; print(y); }\n"
        "@Compare { let x = Foreign(); print(x < 9); x = x + 1; x++; print(x); }");
    machine.RunEvent(engine_->FindEvent("Sum"));
    machine.RunEvent(engine_->FindEvent("Compare"));
    EXPECT_FALSE(machine.error.raised) << machine.error.message;
    EXPECT_EQ(g_printed, (std::vector<std::string>{"6.000000", "6.000000", "7.000000", "true", "7.000000"}));
}

}  // namespace
