#include "base/text_file.h"

#include <cstdio>

#include "base/console.h"

namespace {

// Read in binary and fold CR LF ourselves, so that a script saved on Windows reads the same on
// every platform; a lone CR stays as it is.
void FoldLineEnds(std::string& text) {
    size_t out = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        text[out++] = text[i];
    }
    text.resize(out);
}

}  // namespace

bool LoadTextFile(const std::string& path, std::string& text) {
    text.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char chunk[16384];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
    }
    // A directory opens like a file on some systems and only fails on the first read.
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        text.clear();
        return false;
    }
    FoldLineEnds(text);
    return true;
}

std::string ReadTextFile(const std::string& path) {
    std::string text;
    if (!LoadTextFile(path, text)) {
        ConsolePrintf("\nredblack{CLI Error:} yellowblack{Failed to read file} aquablack{%s}", path.c_str());
    }
    return text;
}

void WriteTextFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    bool failed = file == nullptr;
    if (file) {
        failed = std::fwrite(text.data(), 1, text.size(), file) != text.size();
        // Buffered write errors (a full disk) only show once the data leaves the buffer.
        failed = (std::fclose(file) != 0) || failed;
    }
    if (failed) {
        ConsolePrintf("\nredblack{CLI Error:} yellowblack{Failed to write file} aquablack{%s}", path.c_str());
    }
}
