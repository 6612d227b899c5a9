// Replays the checked-in inputs of the script_lexer fuzz target (seeds and inputs that once failed it)
// under the ordinary test build, so the sanitizer preset keeps them fixed.
#define LLVMFuzzerTestOneInput FuzzScriptLexerOneInput
#include "tests/fuzz/script_lexer.cpp"
#undef LLVMFuzzerTestOneInput

#include <gtest/gtest.h>

#include "tests/script/fuzz_replay.h"

TEST(FuzzReplay, ScriptLexer) {
    ReplayFuzzInputs("script_lexer", FuzzScriptLexerOneInput);
}
