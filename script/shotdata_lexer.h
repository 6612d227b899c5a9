#pragma once
// The shot-data lexer: the token rules of the script lexer with the kind numbers of the token file
// format, narrow bounded fields, no keywords, and errors printed to the console instead of thrown.

#include <cstdint>

// Kinds that differ from the script kinds; operators and punctuation keep theirs (6 to 44).
inline constexpr int kShotDataEndOfText = 1;
inline constexpr int kShotDataInvalid = 2;
inline constexpr int kShotDataWord = 3;
inline constexpr int kShotDataCharacter = 4;
inline constexpr int kShotDataString = 5;
inline constexpr int kShotDataNumber = 52;

inline constexpr int kShotDataWordCapacity = 255;    // characters, NUL not counted
inline constexpr int kShotDataStringCapacity = 258;  // characters, NUL not counted

// Printed when a word or string is longer than its field (by this lexer and by the binary scanner).
inline constexpr const char* kShotDataWordCutMessage =
    "\nThe length of a word is at most 255 characters, the rest is cut off";
inline constexpr const char* kShotDataStringCutMessage =
    "\nThe length of a string value is at most 258 characters, the rest is cut off";

struct ShotDataLexer {
    const char* cursor = nullptr;  // next unread character of the NUL-terminated text
    int kind = kShotDataEndOfText;
    // Each token sets only the field of its own kind; the others keep their old content.
    char word[kShotDataWordCapacity + 1] = {};
    double number = 0;
    uint8_t character = 0;
    char string[kShotDataStringCapacity + 1] = {};
    uint32_t line = 1;
};

// Points the lexer at `text` with empty fields and line 1. Reads no token.
void StartShotDataLexer(ShotDataLexer& lexer, const char* text);

// Reads the next token. A lexical error prints its message and the offending characters are dropped:
// the token after them is returned. Longer words and strings are cut to their fields (with a
// message); a quote that is never closed prints a message and ends the text. The end of the text and
// an invalid character repeat on further calls (the cursor stays on them).
void NextShotDataToken(ShotDataLexer& lexer);
