// Arbitrary text through the preprocessor, in a private working folder holding a few fixed include
// files: the default include, a file that includes itself, a chain through "./" paths.
#pragma once
#include "script/preprocessor.h"

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/console.h"

namespace fuzz_preprocessor {

class DiscardingSink final : public ConsoleSink {
public:
    void SetAttribute(uint8_t) override {}
    void Write(const char*, size_t) override {}
};

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::filesystem::path g_folder;

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

bool SetUp() {
    static DiscardingSink sink;
    SetConsoleSink(&sink);
    std::string pattern = (std::filesystem::temp_directory_path() / "sparrel-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    g_folder = pattern;
    std::filesystem::current_path(g_folder);
    atexit(RemoveFolder);
    WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "// default\r\n#define AUTO 1\r\nlet auto = AUTO; /* x */\r\n");
    WriteFile("SCRIPT/self.qsf", "s\n#include \"./self.qsf\"\n__LINE__");
    WriteFile("SCRIPT/lib/a.qsf", "#define A __FILE__\n#include \"./b.qsf\" // tail");
    WriteFile("SCRIPT/lib/b.qsf", "b /* open");
    return true;
}

}  // namespace fuzz_preprocessor

inline int FuzzPreprocessor(const uint8_t* data, size_t size) {
    using namespace fuzz_preprocessor;
    static const bool ready = SetUp();
    (void)ready;
    if (size == 0) return 0;
    // The first byte picks the base directory, so "./" includes reach the fixed files too.
    static const char* const kBases[] = {"", "SCRIPT/", "SCRIPT/lib/", "SCRIPT\\lib\\"};
    const std::string base = kBases[data[0] % 4];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    Preprocess(text, base);
    ConvertComments(text);
    return 0;
}
