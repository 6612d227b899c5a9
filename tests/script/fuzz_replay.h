#pragma once
// Runs a fuzz target over its checked-in inputs: tests/fuzz/corpus/<target>/ and
// tests/script/data/fuzz/<target>/ (edge inputs and inputs that once made it fail).

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline void ReplayFuzzInputs(const std::string& target, int (*run)(const uint8_t*, size_t)) {
    namespace fs = std::filesystem;
    const fs::path root = SPARREL_SOURCE_DIR;
    int count = 0;
    for (const fs::path& dir :
         {root / "tests/fuzz/corpus" / target, root / "tests/script/data/fuzz" / target}) {
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
