// Replays the checked-in inputs of the shotdata_encoder fuzz target (seeds and inputs that once failed it)
// under the ordinary test build, so the sanitizer preset keeps them fixed.
#define LLVMFuzzerTestOneInput FuzzShotdataEncoderOneInput
#include "tests/fuzz/shotdata_encoder.cpp"
#undef LLVMFuzzerTestOneInput

#include <gtest/gtest.h>

#include "tests/script/fuzz_replay.h"

TEST(FuzzReplay, ShotdataEncoder) {
    ReplayFuzzInputs("shotdata_encoder", FuzzShotdataEncoderOneInput);
}
