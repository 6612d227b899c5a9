// The code the compiler emits for the forms whose instruction sequences the machine depends on, the
// registration of builtins, and the records it leaves (blocks, levels, variables, events, errors).

#include "script/compiler.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    EXPECT_EQ(static_cast<int>(Opcode::TrimStack), 31);
    EXPECT_STREQ(OpcodeName(Opcode::PushVariableWritable), "PushVariableWritable");
    EXPECT_STREQ(OpcodeName(Opcode::EnterBody), "EnterBody");
    EXPECT_STREQ(OpcodeName(static_cast<Opcode>(32)), "?");
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
        "function F(a, b) { let c; local { let d; function G { } } }\n"
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
    // A body that defines a routine keeps a block of its own (G sees d through its frame).
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
    // The body runs in place: EnterBody voids its variables (the counter is variable 0 of the block).
    EXPECT_EQ(Listing(main), (std::vector<std::string>{
                                 "PushValue", "PushValue", "Swap", "DuplicatePair",
                                 "CallAndPushResult:compare", "LoopWhileGreater", "Duplicate", "EnterBody",
                                 "Assign", "CallAndPushResult:successor", "LoopBack", "TrimStack", "Pop",
                                 "Pop"}));
    EXPECT_EQ(main.instructions[10].a, 3u);  // back to DuplicatePair
    EXPECT_EQ(main.instructions[5].a, 11u);  // leaving the loop: just past LoopBack
    EXPECT_EQ(main.instructions[7].a, 0u);
    EXPECT_EQ(main.instructions[7].b, 1u);
    EXPECT_EQ(main.instructions[11].a, 2u);  // bound and counter stay
    EXPECT_EQ(main.variableCount, 1u);
    ASSERT_EQ(main.loopsInPlace.size(), 1u);
    EXPECT_EQ(main.loopsInPlace[0].first, 8u);
    EXPECT_EQ(main.loopsInPlace[0].last, 10u);
    EXPECT_EQ(main.loopsInPlace[0].exit, 11u);

    // With a routine inside, the body is a block of its own that receives the counter.
    engine = CompileText("ascent (i in 0 .. 3) { sub S { } }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block* body = CalledBlock(*engine->mainBlock, 7);
    EXPECT_EQ(body->kind, BlockKind::Loop);
    EXPECT_EQ(body->level, 1u);
    EXPECT_EQ(Listing(*body), (std::vector<std::string>{"Assign"}));
    EXPECT_EQ(engine->mainBlock->instructions[7].b, 1u);
    EXPECT_EQ(engine->mainBlock->instructions[5].a, 10u);
}

TEST(CompilerTest, DescentCountsDownBeforeTheBody) {
    auto engine = CompileText("descent (i in 0 .. 3) { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    EXPECT_EQ(Listing(*engine->mainBlock),
              (std::vector<std::string>{"PushValue", "PushValue", "DuplicatePair", "CallAndPushResult:compare",
                                        "LoopWhileLess", "CallAndPushResult:predecessor", "Duplicate",
                                        "EnterBody", "Assign", "LoopBack", "TrimStack", "Pop", "Pop"}));
}

TEST(CompilerTest, OtherLoops) {
    auto engine = CompileText("loop (2) { } loop { break; } while (true) { } times (1) loop { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    EXPECT_EQ(Listing(*engine->mainBlock),
              (std::vector<std::string>{"PushValue", "LoopCount", "EnterBody", "LoopBack", "TrimStack", "Pop",  //
                                        "EnterBody", "BreakLoop", "LoopBack", "TrimStack",                     //
                                        "CallAndPushResult:true", "LoopIf", "EnterBody", "LoopBack", "TrimStack",
                                        "PushValue", "LoopCount", "EnterBody", "LoopBack", "TrimStack", "Pop"}));
    const Block& main = *engine->mainBlock;
    EXPECT_EQ(main.instructions[1].a, 4u);
    EXPECT_EQ(main.instructions[3].a, 1u);
    EXPECT_EQ(main.instructions[4].a, 1u);  // the count stays
    EXPECT_EQ(main.instructions[8].a, 6u);
    EXPECT_EQ(main.instructions[9].a, 0u);
    EXPECT_EQ(main.instructions[13].a, 10u);  // the condition is evaluated again each time
    EXPECT_EQ(main.instructions[11].a, 14u);
    // A loop in place inside another: the trim keeps both counts.
    engine = CompileText("loop (2) { loop (3) { } }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    EXPECT_EQ(Listing(*engine->mainBlock),
              (std::vector<std::string>{"PushValue", "LoopCount", "EnterBody", "PushValue", "LoopCount",
                                        "EnterBody", "LoopBack", "TrimStack", "Pop", "LoopBack", "TrimStack",
                                        "Pop"}));
    EXPECT_EQ(engine->mainBlock->instructions[4].a, 7u);  // the inner loop leaves to its own exit
    EXPECT_EQ(engine->mainBlock->instructions[1].a, 10u);
    EXPECT_EQ(engine->mainBlock->instructions[7].a, 2u);
    EXPECT_EQ(engine->mainBlock->instructions[10].a, 1u);
    EXPECT_EQ(engine->mainBlock->instructions[5].c, 1u);  // one body around the inner one
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
    for (const char* op : {"PushValue", "CaseEnd", "CaseJumpIfFalse", "Pop", "EnterBody", "CaseNext",
                           "Pop", "EnterBody", "CaseEnd"}) {
        expected.push_back(op);
    }
    EXPECT_EQ(Listing(main), expected);
    // A value that matches jumps past the inner CaseEnd (a jump never lands on a marker) with true on
    // the stack.
    EXPECT_EQ(main.instructions[8].a, 19u);
    EXPECT_EQ(main.instructions[15].a, 19u);
    // No match: past the CaseNext, to the others' Pop; the CaseNext leaves past the outer CaseEnd.
    EXPECT_EQ(main.instructions[19].a, 23u);
    EXPECT_EQ(main.instructions[22].a, 26u);
}

TEST(CompilerTest, IfChainsShareOneCaseGroup) {
    auto engine = CompileText("if (1) { } else if (2) { } else { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block& main = *engine->mainBlock;
    EXPECT_EQ(Listing(main),
              (std::vector<std::string>{"CaseBegin", "PushValue", "CaseJumpIfFalse", "EnterBody",
                                        "CaseNext", "PushValue", "CaseJumpIfFalse", "EnterBody",
                                        "CaseNext", "EnterBody", "CaseEnd"}));
    EXPECT_EQ(main.instructions[2].a, 5u);
    EXPECT_EQ(main.instructions[4].a, 11u);  // past the CaseEnd
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
    EXPECT_EQ(Listing(*f), (std::vector<std::string>{"EnterBody", "PushValue", "Assign", "ReturnFromRoutine",
                                                     "LoopBack", "TrimStack"}));
    EXPECT_EQ(f->instructions[2].a, 1u);  // the function's level
    EXPECT_EQ(f->instructions[2].b, 0u);  // result is variable 0
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

// Element stores and reads are planned as computations with the instruction that takes their result;
// arithmetic by an operator a script redefined is not.
TEST(CompilerTest, PlansComputationsOfElementCode) {
    auto engine = CompileText("let f = [true]; let i = 0; f[i] = false; if (f[i + 0]) { }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block& main = *engine->mainBlock;
    std::vector<ComputeEnd> ends;
    for (const Instruction& in : main.instructions) {
        if (in.plan != 0 && (in.plan & (kPairPlan | kAppendPlan)) == 0) ends.push_back(main.computations[in.plan - 1].end);
    }
    EXPECT_EQ(ends, (std::vector<ComputeEnd>{ComputeEnd::StoreElement, ComputeEnd::JumpIfFalse}));
    const Computation& store = *std::find_if(main.computations.begin(), main.computations.end(),
                                             [](const Computation& c) { return c.end == ComputeEnd::StoreElement; });
    EXPECT_EQ(store.length, 5u);  // PushVariableWritable, PushVariable, index!, false, AssignThrough
    EXPECT_TRUE(store.valueIsTruth);

    engine = CompileText("sub S { function add(a, b) { return 0; } let f = [1]; let x = f[0] + 1; let y = f[0]; }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    const Block* s = nullptr;
    for (const Block& block : engine->blocks) {
        if (block.name == "S") s = &block;
    }
    ASSERT_NE(s, nullptr);
    std::vector<uint32_t> lengths;
    for (const Instruction& in : s->instructions) {
        if (in.plan != 0 && (in.plan & (kPairPlan | kAppendPlan)) == 0) lengths.push_back(s->computations[in.plan - 1].length);
    }
    // Only `y = f[0]`: the read of `f[0] + 1` is cut short by the script's own add, which is called.
    EXPECT_EQ(lengths, (std::vector<uint32_t>{4}));

    // A push and an operator with what takes the result are decoded as a pair.
    engine = CompileText("let n = 0; n = n * 2; while (n < 3) { n++; }");
    ASSERT_FALSE(engine->hasError) << engine->errorMessage;
    std::vector<PairEnd> pairs;
    for (const Instruction& in : engine->mainBlock->instructions) {
        if ((in.plan & kPairPlan) != 0) pairs.push_back(engine->mainBlock->pairs[in.plan & ~kPairPlan].end);
    }
    EXPECT_EQ(pairs, (std::vector<PairEnd>{PairEnd::Assign, PairEnd::JumpIfFalse, PairEnd::Assign}));
}
