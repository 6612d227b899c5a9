// libFuzzer entry of the shot sheet target; its body is shared with the replay test.
#include "tests/fuzz/shot_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzShotSheet(data, size);
}
