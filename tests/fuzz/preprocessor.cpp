// libFuzzer entry of the preprocessor target; its body is shared with the replay test.
#include "tests/fuzz/preprocessor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzPreprocessor(data, size);
}
