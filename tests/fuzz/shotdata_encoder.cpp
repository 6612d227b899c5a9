// libFuzzer entry of the shotdata encoder target; its body is shared with the replay test.
#include "tests/fuzz/shotdata_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzShotdataEncoder(data, size);
}
