// Replays the checked-in inputs of the script fuzz target (seeds and inputs that once failed it) under
// the ordinary test build, so the sanitizer preset keeps them fixed.
#define LLVMFuzzerTestOneInput FuzzScriptOneInput
#include "tests/fuzz/script.cpp"
#undef LLVMFuzzerTestOneInput

#include <gtest/gtest.h>

#include "tests/script/fuzz_replay.h"

TEST(FuzzReplay, Script) {
    ReplayFuzzInputs("script", FuzzScriptOneInput);
}
