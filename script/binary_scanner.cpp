#include "script/binary_scanner.h"

#include <cstring>

#include "base/console.h"
#include "script/token_kind.h"

namespace {

enum Keyword : int {
    kShotImage = kShotDataKeywordBase + 0,
    kDelayRect = kShotDataKeywordBase + 1,
    kShotData = kShotDataKeywordBase + 2,
    kId = kShotDataKeywordBase + 3,
    kRect = kShotDataKeywordBase + 4,
    kDelayColor = kShotDataKeywordBase + 5,
    kRender = kShotDataKeywordBase + 6,
    kAnimationDataEntry = kShotDataKeywordBase + 11,
};

constexpr int kOpenParen = static_cast<int>(TokenKind::OpenParen);
constexpr int kCloseParen = static_cast<int>(TokenKind::CloseParen);
constexpr int kComma = static_cast<int>(TokenKind::Comma);
constexpr int kAssign = static_cast<int>(TokenKind::Assign);

int PayloadSize(uint8_t kind) {
    switch (kind) {
        case kShotDataCharacter:
        case 0x2D:
        case 0x2E:
            return 1;
        case 0x2F:
        case 0x30:
            return 2;
        case 0x31:
        case 0x32:
        case 0x33:
            return 4;
        case 0x34:
            return 8;
        default:
            return 0;
    }
}

uint64_t ReadLittleEndian(const uint8_t* p, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

double DecodeNumber(uint8_t kind, const uint8_t* p) {
    const uint64_t raw = ReadLittleEndian(p, PayloadSize(kind));
    switch (kind) {
        case 0x2D:
            return static_cast<uint8_t>(raw);
        case 0x2E:
            return static_cast<int8_t>(raw);
        case 0x2F:
            return static_cast<uint16_t>(raw);
        case 0x30:
            return static_cast<int16_t>(raw);
        case 0x31:
            return static_cast<uint32_t>(raw);
        case 0x32:
            return static_cast<int32_t>(raw);
        case 0x33: {
            const uint32_t bits = static_cast<uint32_t>(raw);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        default: {
            double value;
            std::memcpy(&value, &raw, sizeof value);
            return value;
        }
    }
}

void EndOfStream(ScannerToken& token) {
    token.kind = kShotDataEndOfText;
    token.cursor = token.end;
}

// Copies the NUL-terminated payload at `from` into a field; false when the stream ends before its NUL.
bool CopyTerminated(ScannerToken& token, const uint8_t* from, char* field, size_t capacity,
                    const char* cutMessage) {
    const void* nul = std::memchr(from, 0, static_cast<size_t>(token.end - from));
    if (nul == nullptr) return false;
    size_t length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - from);
    if (length > capacity) {
        ConsolePrintf("%s", cutMessage);
        length = capacity;
    }
    std::memcpy(field, from, length);
    field[length] = '\0';
    token.cursor = static_cast<const uint8_t*>(nul) + 1;
    return true;
}

// The scanner's kinds 1 to 5 are not the script kinds that name the table's entries.
const char* ScannerKindDisplayName(int kind) {
    switch (kind) {
        case kShotDataEndOfText:
            return TokenDisplayName(TokenKind::EndOfFile);
        case kShotDataInvalid:
            return TokenDisplayName(TokenKind::Invalid);
        case kShotDataWord:
            return TokenDisplayName(TokenKind::Word);
        case kShotDataCharacter:
            return TokenDisplayName(TokenKind::Character);
        case kShotDataString:
            return TokenDisplayName(TokenKind::String);
        default:
            if (kind >= kScannerFirstNumberKind && kind <= kScannerLastNumberKind) {
                return TokenDisplayName(TokenKind::Real);
            }
            return TokenDisplayName(kind);
    }
}

// The next token's number, its integer part reduced to the target width as C narrowing does; values
// without an integer representation (NaN, infinities, beyond 64 bits) give 0.
int64_t ReadInteger(ScannerToken& token) {
    ReadScannerToken(token);
    const double value = token.number;
    if (!(value > -9223372036854775808.0 && value < 9223372036854775808.0)) return 0;
    return static_cast<int64_t>(value);
}

bool AtEnd(const ScannerToken& token) {
    return token.kind == kShotDataEndOfText || token.kind == kShotDataInvalid;
}

}  // namespace

ScannerToken StartScanner(const TokenBuffer& buffer) {
    ScannerToken token;
    token.cursor = buffer.bytes.data();
    token.end = buffer.bytes.data() + buffer.bytes.size();
    return token;
}

void ReadScannerToken(ScannerToken& token) {
    if (token.cursor >= token.end || *token.cursor == kShotDataEndOfText) {
        token.kind = kShotDataEndOfText;
        return;
    }
    const uint8_t kind = *token.cursor;
    const uint8_t* payload = token.cursor + 1;
    if (kind == kShotDataWord || kind == kShotDataString) {
        const bool complete =
            kind == kShotDataWord
                ? CopyTerminated(token, payload, token.word, kShotDataWordCapacity, kShotDataWordCutMessage)
                : CopyTerminated(token, payload, token.string, kShotDataStringCapacity,
                                 kShotDataStringCutMessage);
        if (!complete) return EndOfStream(token);
        token.kind = kind;
        return;
    }
    const int size = PayloadSize(kind);
    if (token.end - payload < size) return EndOfStream(token);
    if (kind == kShotDataCharacter) {
        token.character = *payload;
    } else if (size > 0) {
        token.number = DecodeNumber(kind, payload);
    }
    token.kind = kind;
    token.cursor = payload + size;
}

bool ExpectToken(ScannerToken& token, int kind) {
    const ScannerToken saved = token;
    ReadScannerToken(token);
    if (token.kind == kind) return true;
    token = saved;
    ConsolePrintf(
        "\nredblack{Binary Scanner error:} yellowblack{Line} aquablack{%u} yellowblack{expected} "
        "aquablack{%s}",
        token.line, ScannerKindDisplayName(kind));
    return false;
}

void ReadRect(ScannerToken& token, ScanRect& rect) {
    ExpectToken(token, kOpenParen);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) ExpectToken(token, kComma);
        rect[i] = static_cast<int32_t>(ReadInteger(token));
    }
    ExpectToken(token, kCloseParen);
}

ShotHeaderRecord ScanShotHeader(const TokenBuffer& buffer) {
    ShotHeaderRecord header;
    ScannerToken token = StartScanner(buffer);
    for (ReadScannerToken(token); !AtEnd(token); ReadScannerToken(token)) {
        if (token.kind == kShotImage) {
            ExpectToken(token, kAssign);
            // A missing string leaves the path alone rather than taking some earlier token's text.
            if (ExpectToken(token, kShotDataString)) {
                size_t length = std::strlen(token.string);
                if (length >= sizeof header.shotImage) {
                    ConsolePrintf("\nThe length of a path is at most 255 characters, the rest is cut off");
                    length = sizeof header.shotImage - 1;
                }
                std::memcpy(header.shotImage, token.string, length);
                header.shotImage[length] = '\0';
            }
        } else if (token.kind == kDelayRect) {
            ExpectToken(token, kAssign);
            ReadRect(token, header.delayRect);
        }
    }
    return header;
}

ShotEntryRecord ScanShotEntry(const TokenBuffer& buffer, int index) {
    ShotEntryRecord entry;
    ScannerToken token = StartScanner(buffer);
    int counter = -1;
    for (ReadScannerToken(token); !AtEnd(token); ReadScannerToken(token)) {
        if (token.kind == kShotData) {
            if (counter >= index) break;
            ++counter;
            continue;
        }
        if (counter != index) continue;
        switch (token.kind) {
            case kId:
                ExpectToken(token, kAssign);
                entry.id = static_cast<uint16_t>(ReadInteger(token));
                break;
            case kRect:
                ExpectToken(token, kAssign);
                ReadRect(token, entry.rect);
                break;
            case kDelayColor:
                ExpectToken(token, kAssign);
                ExpectToken(token, kOpenParen);
                for (int i = 0; i < 3; ++i) {
                    if (i > 0) ExpectToken(token, kComma);
                    entry.delayColor[i] = static_cast<uint8_t>(ReadInteger(token));
                }
                ExpectToken(token, kCloseParen);
                entry.delayColor[3] = 255;
                break;
            case kRender: {
                ExpectToken(token, kAssign);
                // Without the word the blend stays "none" instead of following an earlier word.
                const char* word = ExpectToken(token, kShotDataWord) ? token.word : "";
                if (std::strcmp(word, "ADD") == 0) {
                    entry.renderBlend = 1;
                } else if (std::strcmp(word, "ADD_ARGB") == 0) {
                    entry.renderBlend = 2;
                } else if (std::strcmp(word, "MULTIPLY") == 0) {
                    entry.renderBlend = 3;
                } else if (std::strcmp(word, "SUBTRACT") == 0) {
                    entry.renderBlend = 4;
                } else {
                    entry.renderBlend = 0;
                }
                break;
            }
            case kAnimationDataEntry:
                ++entry.animationFrameCount;
                break;
            default:
                break;
        }
    }
    return entry;
}
