// libFuzzer entry of the WAV target; its body is shared with the replay test.
#include "tests/fuzz/wav.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzWav(data, size);
}
