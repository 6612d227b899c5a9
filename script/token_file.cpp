#include "script/token_file.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "script/shotdata_lexer.h"

namespace {

const char* const kKeywordNames[kShotDataKeywordCount] = {
    "shot_image", "delay_rect",       "ShotData",    "id",        "rect",          "delay_color",
    "render",     "angular_velocity", "fixed_angle", "collision", "AnimationData", "animation_data",
};

void AppendLittleEndian(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendWithNul(std::vector<uint8_t>& out, const char* text) {
    out.insert(out.end(), text, text + std::strlen(text) + 1);
}

// The whole file followed by a NUL; nothing when it cannot be opened or measured.
std::optional<std::vector<char>> ReadWholeFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return std::nullopt;
    std::optional<std::vector<char>> contents;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size >= 0 && static_cast<unsigned long>(size) <= UINT32_MAX &&
            std::fseek(file, 0, SEEK_SET) == 0) {
            contents.emplace(static_cast<size_t>(size) + 1, '\0');
            const size_t got = std::fread(contents->data(), 1, static_cast<size_t>(size), file);
            contents->resize(got + 1);
            contents->back() = '\0';
        }
    }
    std::fclose(file);
    return contents;
}

}  // namespace

ShotDataKeywordTable BuildShotDataKeywordTable() {
    ShotDataKeywordTable table{};
    for (int i = 0; i < kShotDataKeywordCount; ++i) {
        table[i].id = static_cast<uint8_t>(i);
        std::snprintf(table[i].name, sizeof table[i].name, "%s", kKeywordNames[i]);
    }
    return table;
}

void EncodeShotDataNumber(std::vector<uint8_t>& out, double value) {
    if (std::isfinite(value) && std::trunc(value) == value) {
        if (value >= 0) {
            if (value <= 255) {
                out.push_back(0x2D);
                AppendLittleEndian(out, static_cast<uint64_t>(value), 1);
                return;
            }
            if (value <= 65535) {
                out.push_back(0x2F);
                AppendLittleEndian(out, static_cast<uint64_t>(value), 2);
                return;
            }
            if (value <= 4294967295.0) {
                out.push_back(0x31);
                AppendLittleEndian(out, static_cast<uint64_t>(value), 4);
                return;
            }
        } else {
            // Two's complement bytes of the negative value.
            const uint64_t bits = static_cast<uint64_t>(static_cast<int64_t>(value));
            if (value >= -128) {
                out.push_back(0x2E);
                AppendLittleEndian(out, bits, 1);
                return;
            }
            if (value >= -32768) {
                out.push_back(0x30);
                AppendLittleEndian(out, bits, 2);
                return;
            }
            if (value >= -2147483648.0) {
                out.push_back(0x32);
                AppendLittleEndian(out, bits, 4);
                return;
            }
        }
    } else if (value >= FLT_MIN && value <= FLT_MAX) {
        const float single = static_cast<float>(value);
        uint32_t bits;
        std::memcpy(&bits, &single, sizeof bits);
        out.push_back(0x33);
        AppendLittleEndian(out, bits, 4);
        return;
    }
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    out.push_back(0x34);
    AppendLittleEndian(out, bits, 8);
}

TokenBuffer EncodeShotDataText(const ShotDataKeywordTable& keywords, const char* text) {
    TokenBuffer buffer;
    std::vector<uint8_t>& out = buffer.bytes;
    ShotDataLexer lexer;
    StartShotDataLexer(lexer, text);
    for (;;) {
        NextShotDataToken(lexer);
        switch (lexer.kind) {
            case kShotDataWord: {
                const ShotDataKeyword* match = nullptr;
                for (const ShotDataKeyword& keyword : keywords) {
                    if (std::strcmp(lexer.word, keyword.name) == 0) {
                        match = &keyword;
                        break;
                    }
                }
                if (match != nullptr) {
                    out.push_back(static_cast<uint8_t>(kShotDataKeywordBase + match->id));
                } else {
                    out.push_back(kShotDataWord);
                    AppendWithNul(out, lexer.word);
                }
                break;
            }
            case kShotDataString:
                out.push_back(kShotDataString);
                AppendWithNul(out, lexer.string);
                break;
            case kShotDataCharacter:
                out.push_back(kShotDataCharacter);
                out.push_back(lexer.character);
                break;
            case kShotDataNumber:
                EncodeShotDataNumber(out, lexer.number);
                break;
            default:
                out.push_back(static_cast<uint8_t>(lexer.kind));
                break;
        }
        if (lexer.kind == kShotDataEndOfText || lexer.kind == kShotDataInvalid) return buffer;
    }
}

std::optional<TokenBuffer> EncodeShotData(const ShotDataKeywordTable& keywords, const char* path) {
    std::optional<std::vector<char>> text = ReadWholeFile(path);
    if (!text) return std::nullopt;
    return EncodeShotDataText(keywords, text->data());
}

void WriteTokenFile(const ShotDataKeywordTable& keywords, const char* shotDataPath, const char* tokenPath) {
    std::optional<TokenBuffer> buffer = EncodeShotData(keywords, shotDataPath);
    if (!buffer) return;
    std::FILE* file = std::fopen(tokenPath, "wb");
    if (file == nullptr) {
        ConsolePrintf(
            "\nredblack{TKS Error:} yellowblack{Unable to open file} aquablack{%s} yellowblack{for writing "
            "compiled TKS file}",
            tokenPath);
        ReleaseTokenBuffer(*buffer);
        return;
    }
    const size_t written = std::fwrite(buffer->bytes.data(), 1, buffer->bytes.size(), file);
    if (written < buffer->bytes.size()) {
        // "yelloblack" is the stored text of this message; it prints as plain text.
        ConsolePrintf(
            "\nredblack{TKS Error:} yellowblack{Incomplete file writing, wrote} aquablack{%i}/aquablack{%i} "
            "yelloblack{elements to file} aquablack{%s}",
            static_cast<int>(written), static_cast<int>(buffer->size()), tokenPath);
    }
    if (std::fclose(file) != 0) {
        ConsolePrintf(
            "\nredblack{TKS Error:} yellowblack{Unable to close file} aquablack{%s} yellowblack{after "
            "writing "
            "compiled TKS file}",
            tokenPath);
    }
    ReleaseTokenBuffer(*buffer);
}

std::optional<TokenBuffer> ReadTokenFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    long size = -1;
    if (file != nullptr && std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    // A size that does not fit the 32-bit stream size (a directory reports one) is no token file.
    if (file == nullptr || size < 0 || static_cast<unsigned long>(size) > UINT32_MAX ||
        std::fseek(file, 0, SEEK_SET) != 0) {
        if (file != nullptr) std::fclose(file);
        ConsolePrintf(
            "\nblueblack{TKB Warning:} yellowblack{Could not open file} aquablack{%s} yellowblack{for "
            "reading}",
            path);
        return std::nullopt;
    }
    TokenBuffer buffer;
    buffer.bytes.resize(static_cast<size_t>(size));
    // A file that shrank meanwhile gives only the bytes that were read, never stale ones.
    buffer.bytes.resize(std::fread(buffer.bytes.data(), 1, buffer.bytes.size(), file));
    if (std::fclose(file) != 0) {
        ConsolePrintf(
            "\nredblack{TKB Error:} yellowblack{Could not close file} aquablack{%s} yellowblack{after "
            "reading}",
            path);
    }
    return buffer;
}

void ReleaseTokenBuffer(TokenBuffer& buffer) {
    buffer.bytes.clear();
    buffer.bytes.shrink_to_fit();
}
