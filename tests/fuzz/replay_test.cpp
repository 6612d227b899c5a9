// Replays every fuzz target over its checked-in inputs under the ordinary test build, so the
// sanitizer preset keeps them fixed: the seeds of tests/fuzz/corpus/<target>/ and the inputs of
// tests/fuzz/kept/<target>/ (inputs at the edges of a reader, and inputs that once made it fail).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/binary_scanner.h"
#include "tests/fuzz/font.h"
#include "tests/fuzz/image.h"
#include "tests/fuzz/preprocessor.h"
#include "tests/fuzz/script.h"
#include "tests/fuzz/script_lexer.h"
#include "tests/fuzz/shot_sheet.h"
#include "tests/fuzz/shotdata_encoder.h"
#include "tests/fuzz/wav.h"

namespace {

void ReplayFuzzInputs(const std::string& target, int (*run)(const uint8_t*, size_t)) {
    namespace fs = std::filesystem;
    const fs::path root = SPARREL_SOURCE_DIR;
    int count = 0;
    for (const fs::path& dir : {root / "tests/fuzz/corpus" / target, root / "tests/fuzz/kept" / target}) {
        if (!fs::is_directory(dir)) continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
            SCOPED_TRACE(entry.path().string());
            run(bytes.data(), bytes.size());
            ++count;
        }
    }
    EXPECT_GT(count, 0) << "no inputs for " << target;
}

TEST(FuzzReplay, BinaryScanner) { ReplayFuzzInputs("binary_scanner", FuzzBinaryScanner); }
TEST(FuzzReplay, Font) { ReplayFuzzInputs("font", FuzzFont); }
TEST(FuzzReplay, Image) { ReplayFuzzInputs("image", FuzzImage); }
TEST(FuzzReplay, Preprocessor) { ReplayFuzzInputs("preprocessor", FuzzPreprocessor); }
TEST(FuzzReplay, Script) { ReplayFuzzInputs("script", FuzzScript); }
TEST(FuzzReplay, ScriptLexer) { ReplayFuzzInputs("script_lexer", FuzzScriptLexer); }
TEST(FuzzReplay, ShotSheet) { ReplayFuzzInputs("shot_sheet", FuzzShotSheet); }
TEST(FuzzReplay, ShotdataEncoder) { ReplayFuzzInputs("shotdata_encoder", FuzzShotdataEncoder); }
TEST(FuzzReplay, Wav) { ReplayFuzzInputs("wav", FuzzWav); }

}  // namespace
