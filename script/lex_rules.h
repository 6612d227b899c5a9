#pragma once
// Character rules shared by the script lexer and the shot-data lexer: blanks and comments, operators
// and punctuation, numbers, escaped characters and quoted literals. Both lexers work on NUL-terminated
// text and never look past the terminating NUL.

#include <cstdint>

// ASCII only: bytes of multibyte characters are neither letters nor digits, whatever the locale.
inline bool LexIsDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool LexIsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
inline bool LexIsWordChar(char c) {
    return LexIsWordStart(c) || LexIsDigit(c);
}

// Skips blanks, `#` and `//` line comments and `/* */` block comments; every LF passed adds 1 to
// `line`. An unclosed block comment runs to the end of the text. Returns the first other character.
template <typename LineCounter>
const char* LexSkipBlanks(const char* p, LineCounter& line);

struct OperatorMatch {
    int kind;    // 6 to 43 (the script kinds), 0 when no operator starts at the character
    int length;  // characters consumed
};
// Operators and punctuation other than `..`, longest match first.
OperatorMatch LexMatchOperator(const char* p);

// Reads the digits at `p` (the first one is a digit) and an optional fraction; a `.` is taken only when
// a digit follows it. Moves `p` past the number.
double LexReadNumber(const char*& p);

// Reads the escaped character at `p` (on the backslash). Returns false for an unknown second
// character. Moves `p` past both characters, but never past the terminating NUL.
bool LexReadEscape(const char*& p, uint16_t& value);

// The closing quote that matches the quote at `open`, or null when the text ends first.
const char* LexFindClosingQuote(const char* open);

template <typename LineCounter>
const char* LexSkipBlanks(const char* p, LineCounter& line) {
    for (;;) {
        const char c = *p;
        if (c == ' ' || c == '\t' || c == '\r') {
            ++p;
        } else if (c == '\n') {
            ++p;
            ++line;
        } else if (c == '#' || (c == '/' && p[1] == '/')) {
            while (*p != '\0' && *p != '\n' && *p != '\r')
                ++p;
        } else if (c == '/' && p[1] == '*') {
            p += 2;
            while (*p != '\0' && !(p[0] == '*' && p[1] == '/')) {
                if (*p == '\n') ++line;
                ++p;
            }
            if (*p != '\0') p += 2;
        } else {
            return p;
        }
    }
}
