// The native stack the engine needs at its deepest nestings, measured by running a game on a thread
// whose stack is painted first and counting the bytes touched: events delivered inside events up to
// their limit, the deepest compile nesting, the deepest include chain, the deepest script call chain.
// Each must fit well inside the 1 MiB stack of the shipped program's main thread.
#include <pthread.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/frame_loop.h"
#include "host/script_manager.h"
#include "platform/headless/headless_game.h"
#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr size_t kThreadStack = size_t{8} << 20;
constexpr unsigned char kPaint = 0xA5;
constexpr size_t kShippedStack = size_t{1} << 20;

void* PlayTwoFrames(void*) {
    HeadlessPlatform platform;
    Platform* previous = g_platform.platform;
    SetPlatform(&platform);
    ResetGame();
    StartGame();
    RunHeadlessFrame(platform, 0);
    RunHeadlessFrame(platform, 1);
    ResetGame();
    SetPlatform(previous);
    return nullptr;
}

// Bytes of stack the game in the working folder used, thread start-up included.
size_t MeasureStackOfGame() {
    void* memory = std::aligned_alloc(4096, kThreadStack);
    std::memset(memory, kPaint, kThreadStack);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstack(&attributes, memory, kThreadStack);
    pthread_t thread;
    EXPECT_EQ(pthread_create(&thread, &attributes, PlayTwoFrames, nullptr), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    // The stack grows down from the top: what stayed painted at the bottom was never reached.
    const unsigned char* bytes = static_cast<const unsigned char*>(memory);
    size_t untouched = 0;
    while (untouched < kThreadStack && bytes[untouched] == kPaint) ++untouched;
    std::free(memory);
    return kThreadStack - untouched;
}

struct Nesting {
    const char* name;
    std::string mainScript;
    int includeFiles;  // a chain SCRIPT/CHAIN/<n>.QSF, each including the next
};

class NativeStackTest : public ::testing::TestWithParam<Nesting> {};

TEST_P(NativeStackTest, FitsTheShippedStack) {
    const Nesting& nesting = GetParam();
    TempDir game;
    game.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    game.WriteFile("SCRIPT/SYSTEM/MAIN.QSF", nesting.mainScript);
    for (int i = 0; i < nesting.includeFiles; ++i) {
        game.WriteFile("SCRIPT/CHAIN/" + std::to_string(i) + ".QSF",
                       "#include \"./" + std::to_string(i + 1) + ".QSF\"\nlet v" + std::to_string(i) + " = 1;\n");
    }
    ScopedWorkingDirectory inGame(game.Path());
    CaptureConsole console;
    CaptureOutput output;
    const size_t used = MeasureStackOfGame();
    std::printf("[ stack    ] %s: %zu bytes\n", nesting.name, used);
    EXPECT_EQ(output.Text(), "done\ndone\n") << console.Text();
#if !defined(__SANITIZE_ADDRESS__)
    // Sanitizer builds pad every frame; the plain build is the measure.
    EXPECT_LT(used, kShippedStack / 2) << nesting.name;
#endif
}

std::string Parenthesised(int depth) {
    return std::string(static_cast<size_t>(depth), '(') + "1" + std::string(static_cast<size_t>(depth), ')');
}

INSTANTIATE_TEST_SUITE_P(
    Deepest, NativeStackTest,
    testing::Values(
        Nesting{"nested events",
                "let own = GetOwnScriptID();\n"
                "@Event { NotifyEvent(own, 1, 0); }\n"
                "@MainLoop { NotifyEvent(own, 1, 0); print(\"done\"); }\n",
                0},
        Nesting{"compile nesting", "let x = " + Parenthesised(250) + ";\n@MainLoop { print(\"done\"); }\n", 0},
        Nesting{"include chain", "#include \"SCRIPT/CHAIN/0.QSF\"\n@MainLoop { print(\"done\"); }\n", 70},
        // Script calls keep their frames on the heap; each level here holds two of the 100,000
        // frames allowed (the routine and its if block).
        Nesting{"script calls",
                "// Each level holds two frames (the routine and its if block) of the 100,000 allowed.\n"
                "function Deep(n) { if (n > 0) { Deep(n - 1); } }\n"
                "@MainLoop { Deep(49000); print(\"done\"); }\n",
                0}),
    [](const testing::TestParamInfo<Nesting>& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            if (c == ' ') c = '_';
        }
        return name;
    });

}  // namespace
