#pragma once
// The binary scanner: walks a token stream (see token_file.h) token by token, and the two scans of
// shot-data records built on it. The scanner never reads past the end of its buffer: a stream that
// ends without its end-of-text token, or inside a token's payload, ends as end of text there.

#include <array>
#include <cstdint>

#include "script/shotdata_lexer.h"
#include "script/token_file.h"

// Scanner kinds are the stream's kind bytes: 1 end of text, 2 invalid, 3 word, 4 character, 5 string,
// 6 to 44 operators, 45 to 52 the number forms, 65 to 76 the keywords (0x41 + id).
inline constexpr int kScannerFirstNumberKind = 0x2D;
inline constexpr int kScannerLastNumberKind = 0x34;

struct ScannerToken {
    const uint8_t* cursor = nullptr;
    const uint8_t* end = nullptr;  // one past the last byte of the stream
    int kind = kShotDataEndOfText;
    // Each token sets only the field of its own kind; the others keep their old content.
    char word[kShotDataWordCapacity + 1] = {};
    double number = 0;
    uint8_t character = 0;
    char string[kShotDataStringCapacity + 1] = {};
    uint32_t line = 1;  // the stream carries no lines
};

using ScanRect = std::array<int32_t, 4>;  // left, top, right, bottom

struct ShotHeaderRecord {
    ScanRect delayRect{};
    char shotImage[256] = {};
};

struct ShotEntryRecord {
    uint16_t id = 0;
    uint16_t animationFrameCount = 0;
    uint32_t renderBlend = 0;             // 0 none, 1 ADD, 2 ADD_ARGB, 3 MULTIPLY, 4 SUBTRACT
    std::array<uint8_t, 4> delayColor{};  // red, green, blue from the stream, then 255
    ScanRect rect{};
};

// A token at the start of `buffer` with empty fields; the buffer must outlive it.
ScannerToken StartScanner(const TokenBuffer& buffer);

// Decodes the token at the cursor and moves past it. End of text leaves the cursor where it is, so
// it repeats. Longer words and strings are cut to their fields with the shot-data lexer's messages.
void ReadScannerToken(ScannerToken& token);

// Reads the next token; when it is not of `kind`, puts it back (the next read sees it again), prints
// the scanner error and returns false. Scanning always goes on.
bool ExpectToken(ScannerToken& token, int kind);

// "(" number "," number "," number "," number ")" into `rect`.
void ReadRect(ScannerToken& token, ScanRect& rect);

// shot_image and delay_rect, wherever they stand in the stream.
ShotHeaderRecord ScanShotHeader(const TokenBuffer& buffer);
// The entry after the (index + 1)-th ShotData keyword; an empty record when there is none.
ShotEntryRecord ScanShotEntry(const TokenBuffer& buffer, int index);
