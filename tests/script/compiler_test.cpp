// The code the compiler emits for the forms whose instruction sequences the machine depends on, the
// registration of builtins, and the records it leaves (blocks, levels, variables, events, errors).

#include "script/compiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/operators.h"

namespace {

Value Nop(ScriptMachine&, int32_t, Value*) {
    return Value();
}
Value Other(ScriptMachine&, int32_t, Value*) {
    return Value();
}

const BuiltinEntry kRows[] = {
    {"print", Nop, 1},
    {"Twice", Nop, 2},
    {"Twice", Other, 1},  // a later row of the same name replaces the earlier symbol
    {"Quiet", nullptr, 0},
};

std::unique_ptr<ScriptEngine> CompileText(const std::string& text) {
    return Compile(text, kRows);
}

// The opcodes of a block, with the callee's name after calls: "Call:print".
std::vector<std::string> Listing(const Block& block) {
    std::vector<std::string> out;
    for (const Instruction& in : block.instructions) {
        std::string line = OpcodeName(in.opcode);
        if (in.opcode == Opcode::Call || in.opcode == Opcode::CallAndPushResult) {
            line += ":" + (in.block->name.empty() ? std::string("<block>") : in.block->name);
        }
        out.push_back(line);
    }
    return out;
}

const Block* CalledBlock(const Block& block, size_t index) {
    return block.instructions.at(index).block;
}

TEST(OpcodeTest, NumbersAreFixed) {
    EXPECT_EQ(static_cast<int>(Opcode::Assign), 0);
    EXPECT_EQ(static_cast<int>(Opcode::CallAndPushResult), 5);
    EXPECT_EQ(static_cast<int>(Opcode::CaseNext), 10);
    EXPECT_EQ(static_cast<int>(Opcode::CompareNotEqual), 16);
    EXPECT_EQ(static_cast<int>(Opcode::LoopBack), 20);
    EXPECT_EQ(static_cast<int>(Opcode::PushValue), 25);
    EXPECT_EQ(static_cast<int>(Opcode::Yield), 29);
    EXPECT_STREQ(OpcodeName(Opcode::PushVariableWritable), "PushVariableWritable");
    EXPECT_STREQ(OpcodeName(static_cast<Opcode>(30)), "?");
}

TEST(CompilerTest, RegistersOperatorsThenRowsAndLaterRowsReplaceEarlierOnes) {
    auto engine = CompileText("Twice(1); Quiet; let x = Quiet;");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    // Operators, then the four rows, then the main block first of all.
    ASSERT_EQ(engine->blocks.size(), 1u + kOperatorCount + 4u);
    EXPECT_EQ(engine->blocks[1].name, "true");
    EXPECT_EQ(engine->blocks[kOperatorCount].name, "assert");
    const Block& main = *engine->mainBlock;
    const Block* twice = CalledBlock(main, 1);
    EXPECT_EQ(twice->native, &Other);
    EXPECT_EQ(twice->arguments, 1u);
    EXPECT_EQ(twice->kind, BlockKind::Function);
    EXPECT_EQ(twice->level, 0u);
    const Block* quiet = CalledBlock(main, 2);
    EXPECT_TRUE(quiet->isNative);
    EXPECT_EQ(quiet->native, nullptr);
}

TEST(CompilerTest, RoutineBlocksCarryLevelKindArgumentsAndVariables) {
    auto engine = CompileText(
        "function F(a, b) { let c; local { let d; } }\n"
        "task T(x) { }\n"
        "sub S { }\n"
        "@MainLoop { }\n"
        "F(1, 2); T(1); S;");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block& main = *engine->mainBlock;
    const Block* f = CalledBlock(main, 2);
    EXPECT_EQ(f->name, "F");
    EXPECT_EQ(f->kind, BlockKind::Function);
    EXPECT_EQ(f->level, 1u);
    EXPECT_EQ(f->arguments, 2u);
    EXPECT_EQ(f->variableCount, 4u);  // result, a, b, c
    // The parameters arrive first argument on top: Assign a (index 1), then b (index 2).
    ASSERT_GE(f->instructions.size(), 2u);
    EXPECT_EQ(f->instructions[0].opcode, Opcode::Assign);
    EXPECT_EQ(f->instructions[0].a, 1u);
    EXPECT_EQ(f->instructions[0].b, 1u);
    EXPECT_EQ(f->instructions[1].b, 2u);
    const Block* local = CalledBlock(*f, 2);
    EXPECT_EQ(local->kind, BlockKind::Normal);
    EXPECT_EQ(local->level, 2u);
    EXPECT_EQ(local->variableCount, 1u);

    const Block* t = CalledBlock(main, 4);
    EXPECT_EQ(t->kind, BlockKind::Task);
    EXPECT_EQ(t->variableCount, 1u);
    const Block* s = CalledBlock(main, 5);
    EXPECT_EQ(s->kind, BlockKind::Sub);

    const Block* event = engine->FindEvent("MainLoop");
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->kind, BlockKind::Sub);
    EXPECT_EQ(event->level, 1u);
    EXPECT_EQ(engine->FindEvent("Initialize"), nullptr);
}

TEST(CompilerTest, AscentKeepsCounterAndBoundOnTheStack) {
    auto engine = CompileText("ascent (i in 0 .. 3) { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block& main = *engine->mainBlock;
    EXPECT_EQ(Listing(main), (std::vector<std::string>{
                                 "PushValue", "PushValue", "Swap", "DuplicatePair",
                                 "CallAndPushResult:compare", "LoopWhileGreater", "Duplicate", "Call:<block>",
                                 "CallAndPushResult:successor", "LoopBack", "Pop", "Pop"}));
    EXPECT_EQ(main.instructions[9].a, 3u);   // back to DuplicatePair
    EXPECT_EQ(main.instructions[5].a, 10u);  // leaving the loop: just past LoopBack
    const Block* body = CalledBlock(main, 7);
    EXPECT_EQ(body->kind, BlockKind::Loop);
    EXPECT_EQ(body->arguments, 0u);
    EXPECT_EQ(Listing(*body), (std::vector<std::string>{"Assign"}));
    EXPECT_EQ(main.instructions[7].b, 1u);
}

TEST(CompilerTest, DescentCountsDownBeforeTheBody) {
    auto engine = CompileText("descent (i in 0 .. 3) { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    EXPECT_EQ(Listing(*engine->mainBlock),
              (std::vector<std::string>{
                  "PushValue", "PushValue", "DuplicatePair", "CallAndPushResult:compare", "LoopWhileLess",
                  "CallAndPushResult:predecessor", "Duplicate", "Call:<block>", "LoopBack", "Pop", "Pop"}));
}

TEST(CompilerTest, OtherLoops) {
    auto engine = CompileText("loop (2) { } loop { break; } while (true) { } times (1) loop { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    EXPECT_EQ(Listing(*engine->mainBlock),
              (std::vector<std::string>{"PushValue", "LoopCount", "Call:<block>", "LoopBack", "Pop",  //
                                        "Call:<block>", "LoopBack",                                   //
                                        "CallAndPushResult:true", "LoopIf", "Call:<block>", "LoopBack",
                                        "PushValue", "LoopCount", "Call:<block>", "LoopBack", "Pop"}));
    const Block& main = *engine->mainBlock;
    EXPECT_EQ(main.instructions[3].a, 1u);
    EXPECT_EQ(main.instructions[6].a, 5u);
    EXPECT_EQ(main.instructions[10].a, 7u);  // the condition is evaluated again each time
    EXPECT_EQ(main.instructions[8].a, 11u);
}

TEST(CompilerTest, AlternativeTestsEveryValueAgainstTheSelector) {
    auto engine = CompileText("alternative (1) case (1, 2) { } others { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block& main = *engine->mainBlock;
    const std::vector<std::string> value = {"Duplicate",    "PushValue", "CallAndPushResult:compare",
                                            "CompareEqual", "Duplicate", "CaseJumpIfTrue",
                                            "Pop"};
    std::vector<std::string> expected = {"PushValue", "CaseBegin", "CaseBegin"};
    expected.insert(expected.end(), value.begin(), value.end());
    expected.insert(expected.end(), value.begin(), value.end());
    for (const char* op : {"PushValue", "CaseEnd", "CaseJumpIfFalse", "Pop", "Call:<block>", "CaseNext",
                           "Pop", "Call:<block>", "CaseEnd"}) {
        expected.push_back(op);
    }
    EXPECT_EQ(Listing(main), expected);
    // A value that matches jumps to the inner CaseEnd with true on the stack.
    EXPECT_EQ(main.instructions[8].a, 18u);
    EXPECT_EQ(main.instructions[15].a, 18u);
    // No match: past the CaseNext, to the others' Pop; the CaseNext leaves for the outer CaseEnd.
    EXPECT_EQ(main.instructions[19].a, 23u);
    EXPECT_EQ(main.instructions[22].a, 25u);
}

TEST(CompilerTest, IfChainsShareOneCaseGroup) {
    auto engine = CompileText("if (1) { } else if (2) { } else { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block& main = *engine->mainBlock;
    EXPECT_EQ(Listing(main),
              (std::vector<std::string>{"CaseBegin", "PushValue", "CaseJumpIfFalse", "Call:<block>",
                                        "CaseNext", "PushValue", "CaseJumpIfFalse", "Call:<block>",
                                        "CaseNext", "Call:<block>", "CaseEnd"}));
    EXPECT_EQ(main.instructions[2].a, 5u);
    EXPECT_EQ(main.instructions[4].a, 10u);
    EXPECT_EQ(main.instructions[6].a, 9u);
}

TEST(CompilerTest, LogicalOperatorsKeepTheDecidingValue) {
    auto engine = CompileText("let x = 1 && 2;");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    EXPECT_EQ(Listing(*engine->mainBlock),
              (std::vector<std::string>{"PushValue", "Duplicate", "CaseBegin", "CaseJumpIfFalse", "Pop",
                                        "PushValue", "CaseEnd", "Assign"}));
}

TEST(CompilerTest, ElementAssignmentWritesThroughTheVariable) {
    auto engine = CompileText("let a = [[1]]; a[0][0] = 2; a += [3]; a++;");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    EXPECT_EQ(Listing(*engine->mainBlock), (std::vector<std::string>{"PushValue",
                                                                     "PushValue",
                                                                     "PushValue",
                                                                     "CallAndPushResult:append",
                                                                     "CallAndPushResult:append",
                                                                     "Assign",
                                                                     "PushVariableWritable",
                                                                     "PushValue",
                                                                     "CallAndPushResult:index!",
                                                                     "PushValue",
                                                                     "CallAndPushResult:index!",
                                                                     "PushValue",
                                                                     "AssignThrough",
                                                                     "PushVariable",
                                                                     "PushValue",
                                                                     "PushValue",
                                                                     "CallAndPushResult:append",
                                                                     "CallAndPushResult:add",
                                                                     "Assign",
                                                                     "PushVariable",
                                                                     "CallAndPushResult:successor",
                                                                     "Assign"}));
}

TEST(CompilerTest, ReturnAssignsTheNearestFunctionResult) {
    auto engine = CompileText("function F { loop { return 1; } }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block* f = nullptr;
    for (const Block& block : engine->blocks) {
        if (block.name == "F") f = &block;
    }
    ASSERT_NE(f, nullptr);
    const Block* loop = CalledBlock(*f, 0);
    EXPECT_EQ(Listing(*loop), (std::vector<std::string>{"PushValue", "Assign", "ReturnFromRoutine"}));
    EXPECT_EQ(loop->instructions[1].a, 1u);  // the function's level
    EXPECT_EQ(loop->instructions[1].b, 0u);  // result is variable 0
}

TEST(CompilerTest, InstructionsCarryTheirSourceLine) {
    auto engine = CompileText("let a = 1;\n\nlet b = 2;");
    ASSERT_FALSE(engine->hasError);
    const Block& main = *engine->mainBlock;
    EXPECT_EQ(main.instructions[0].line, 1);
    EXPECT_EQ(main.instructions[2].line, 3);
}

TEST(CompilerTest, ErrorsCarryMessageAndLineAndLeaveNoEvents) {
    auto engine = CompileText("@MainLoop { }\nlet a = 1;\nlet a = 2;");
    EXPECT_TRUE(engine->hasError);
    EXPECT_EQ(engine->errorMessage, "Variables with the same name are declared in the same scope (a)");
    EXPECT_EQ(engine->errorLine, 3);
    EXPECT_TRUE(engine->events.empty());

    engine = CompileText("let a = 1;\nlet b = a +\n;");
    EXPECT_EQ(engine->errorMessage, "There is not a valid expression term");
    EXPECT_EQ(engine->errorLine, 3);
}

TEST(CompilerTest, CountingLoopCountersMayRepeatInOneBlock) {
    auto engine = CompileText("ascent (let i in 0 .. 2) { } ascent (let i in 0 .. 2) { } let i = 5;");
    EXPECT_FALSE(engine->hasError) << engine->errorMessage;
}

TEST(CompilerTest, DeepNestingIsRefused) {
    std::string text = "let a = ";
    text += std::string(10000, '(') + "1" + std::string(10000, ')') + ";";
    auto engine = CompileText(text);
    EXPECT_EQ(engine->errorMessage, kNestingTooDeepMessage);

    std::string blocks;
    for (int i = 0; i < 10000; ++i)
        blocks += "local { ";
    engine = CompileText(blocks);
    EXPECT_EQ(engine->errorMessage, kNestingTooDeepMessage);

    std::string minuses;
    for (int i = 0; i < 10000; ++i)
        minuses += "- ";
    engine = CompileText("let a = " + minuses + "1;");
    EXPECT_EQ(engine->errorMessage, kNestingTooDeepMessage);
}

TEST(CompilerTest, NestingWithinTheLimitCompiles) {
    std::string text = "let a = ";
    text += std::string(100, '(') + "1" + std::string(100, ')') + ";";
    EXPECT_FALSE(CompileText(text)->hasError);
}

}  // namespace
