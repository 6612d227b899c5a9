// libFuzzer entry of the image target; its body is shared with the replay test.
#include "tests/fuzz/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzImage(data, size);
}
