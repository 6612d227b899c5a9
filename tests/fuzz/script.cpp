// libFuzzer entry of the script target; its body is shared with the replay test.
#include "tests/fuzz/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzScript(data, size);
}
