// Shot-data lexer and encoder on arbitrary text, checked against the binary scanner: reading the
// encoded stream back gives the lexer's tokens again, one for one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "script/binary_scanner.h"
#include "script/shotdata_lexer.h"
#include "script/token_file.h"
#include "tests/fuzz/quiet_console.h"

namespace fuzz_shotdata_encoder {

const ShotDataKeywordTable keywords = BuildShotDataKeywordTable();

int KeywordKind(const char* word) {
    for (const ShotDataKeyword& keyword : keywords) {
        if (std::strcmp(word, keyword.name) == 0) return kShotDataKeywordBase + keyword.id;
    }
    return 0;
}

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace fuzz_shotdata_encoder

inline int FuzzShotdataEncoder(const uint8_t* data, size_t size) {
    using namespace fuzz_shotdata_encoder;
    QuietConsole quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TokenBuffer buffer = EncodeShotDataText(keywords, text.c_str());
    Check(buffer.size() > 0);
    Check(buffer.bytes.back() == kShotDataEndOfText || buffer.bytes.back() == kShotDataInvalid);

    ShotDataLexer lexer;
    StartShotDataLexer(lexer, text.c_str());
    ScannerToken token = StartScanner(buffer);
    for (size_t calls = 0;; ++calls) {
        Check(calls <= size + 1);
        NextShotDataToken(lexer);
        ReadScannerToken(token);
        switch (lexer.kind) {
            case kShotDataWord:
                if (const int keyword = KeywordKind(lexer.word); keyword != 0) {
                    Check(token.kind == keyword);
                } else {
                    Check(token.kind == kShotDataWord && std::strcmp(token.word, lexer.word) == 0);
                }
                break;
            case kShotDataString:
                Check(token.kind == kShotDataString && std::strcmp(token.string, lexer.string) == 0);
                break;
            case kShotDataCharacter:
                Check(token.kind == kShotDataCharacter && token.character == lexer.character);
                break;
            case kShotDataNumber:
                Check(token.kind >= kScannerFirstNumberKind && token.kind <= kScannerLastNumberKind);
                if (token.kind == 0x33) {
                    Check(token.number == static_cast<double>(static_cast<float>(lexer.number)));
                } else {
                    Check(token.number == lexer.number);
                }
                break;
            default:
                Check(token.kind == lexer.kind);
                break;
        }
        if (lexer.kind == kShotDataEndOfText || lexer.kind == kShotDataInvalid) break;
    }
    Check(lexer.kind != kShotDataEndOfText || token.cursor + 1 == buffer.bytes.data() + buffer.size());
    return 0;
}
