// libFuzzer entry of the FNT font target; its body is shared with the replay test.
#include "tests/fuzz/font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzFont(data, size);
}
