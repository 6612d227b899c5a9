// libFuzzer entry of the script lexer target; its body is shared with the replay test.
#include "tests/fuzz/script_lexer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzScriptLexer(data, size);
}
