// libFuzzer entry of the binary scanner target; its body is shared with the replay test.
#include "tests/fuzz/binary_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzBinaryScanner(data, size);
}
