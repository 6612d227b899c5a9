// Replays the checked-in inputs of the binary_scanner fuzz target (seeds and inputs that once failed it)
// under the ordinary test build, so the sanitizer preset keeps them fixed.
#define LLVMFuzzerTestOneInput FuzzBinaryScannerOneInput
#include "tests/fuzz/binary_scanner.cpp"
#undef LLVMFuzzerTestOneInput

#include <gtest/gtest.h>

#include "tests/script/fuzz_replay.h"

TEST(FuzzReplay, BinaryScanner) {
    ReplayFuzzInputs("binary_scanner", FuzzBinaryScannerOneInput);
}
