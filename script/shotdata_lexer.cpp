#include "script/shotdata_lexer.h"

#include <cstring>

#include "base/console.h"
#include "script/lex_rules.h"

namespace {

// Copies [begin, end) into a field of `capacity` characters and a NUL; reports a cut with `message`.
void CopyBounded(char* field, int capacity, const char* begin, const char* end, const char* message) {
    size_t length = static_cast<size_t>(end - begin);
    if (length > static_cast<size_t>(capacity)) {
        ConsolePrintf("%s", message);
        length = static_cast<size_t>(capacity);
    }
    std::memcpy(field, begin, length);
    field[length] = '\0';
}

}  // namespace

void StartShotDataLexer(ShotDataLexer& lexer, const char* text) {
    lexer = ShotDataLexer{};
    lexer.cursor = text;
}

void NextShotDataToken(ShotDataLexer& lexer) {
    for (;;) {
        const char* p = LexSkipBlanks(lexer.cursor, lexer.line);
        lexer.cursor = p;
        const char c = *p;

        if (c == '\0') {
            lexer.kind = kShotDataEndOfText;
            return;
        }
        if (const OperatorMatch op = LexMatchOperator(p); op.kind != 0) {
            lexer.kind = op.kind;
            lexer.cursor = p + op.length;
            return;
        }
        if (c == '.') {
            if (p[1] != '.') {
                ConsolePrintf(
                    "\nDecimals can not start with a period (ex. \".\" and \".5\"), they must be defined "
                    "completely (ex. \"0.5\")");
                lexer.cursor = p + 1;
                continue;
            }
            lexer.kind = 44;
            lexer.cursor = p + 2;
            return;
        }
        if (LexIsDigit(c)) {
            lexer.number = LexReadNumber(p);
            lexer.kind = kShotDataNumber;
            lexer.cursor = p;
            return;
        }
        if (c == '"' || c == '\'') {
            const char* close = LexFindClosingQuote(p);
            if (close == nullptr) {
                ConsolePrintf(
                    "\nA string or character value is not closed (do not forget the closing quote)");
                lexer.cursor = p + std::strlen(p);
                lexer.kind = kShotDataEndOfText;
                return;
            }
            lexer.cursor = close + 1;
            if (c == '"') {
                CopyBounded(lexer.string, kShotDataStringCapacity, p + 1, close, kShotDataStringCutMessage);
                lexer.kind = kShotDataString;
                return;
            }
            if (close - p != 2) {
                ConsolePrintf("\nThe length of a character type value is only 1");
                continue;
            }
            lexer.character = static_cast<uint8_t>(p[1]);
            lexer.kind = kShotDataCharacter;
            return;
        }
        if (c == '\\') {
            uint16_t value = 0;
            const bool known = LexReadEscape(p, value);
            lexer.cursor = p;
            if (!known) {
                ConsolePrintf("\nSpecial characters are strange (do not forget \" ... \")");
                continue;
            }
            lexer.character = static_cast<uint8_t>(value);
            lexer.kind = kShotDataCharacter;
            return;
        }
        if (LexIsWordStart(c)) {
            const char* end = p;
            while (LexIsWordChar(*end))
                ++end;
            CopyBounded(lexer.word, kShotDataWordCapacity, p, end, kShotDataWordCutMessage);
            lexer.kind = kShotDataWord;
            lexer.cursor = end;
            return;
        }
        lexer.kind = kShotDataInvalid;
        return;
    }
}
