#pragma once
// The script lexer: turns preprocessed script text into tokens, one per NextToken call.
//
// Use:
//     Lexer lexer;
//     StartLexer(lexer, text);  // text stays alive and NUL-terminated while the lexer is used
//     NextToken(lexer);         // the first token; call again for each following one
//     switch (lexer.kind) { ... lexer.word / lexer.number / lexer.character / lexer.string ... }
//
// The record is small and copyable: copy it to look ahead and assign the copy back to back-track.
// Lexical errors throw parser_error; `line` then holds the line to report. The lexer never reads past
// the terminating NUL: at the end of the text every call gives TokenKind::EndOfFile again.

#include <cstdint>
#include <string>

#include "script/parser_error.h"
#include "script/token_kind.h"

struct Lexer {
    const char* cursor = nullptr;  // next unread character
    TokenKind kind = TokenKind::EndOfFile;
    // Each token sets only the field of its own kind; the others keep their old content.
    std::string word;        // Word and keyword tokens: the spelling
    double number = 0;       // Real
    char16_t character = 0;  // Character
    std::u16string string;   // String, and the text of a quoted Character
    int line = 1;            // advanced by line breaks in blanks and comments, not inside quotes
};

// Points the lexer at the start of `text`, empties word and string, sets line 1. Reads no token.
void StartLexer(Lexer& lexer, const char* text);

// Reads the next token into `lexer`. Throws parser_error for a single `.`, a quoted character that is
// not exactly one character, an unknown `\` escape, and a quote that is never closed. An unclosed
// block comment runs to the end of the text. An invalid character gives TokenKind::Invalid and leaves
// the cursor on it.
void NextToken(Lexer& lexer);

// Lexer messages, as thrown.
inline constexpr const char* kSinglePeriodMessage =
    "Decimals can not start with a period (ex. \".\" and \".5\"), they must be defined completely "
    "(ex. \"0.5\")";
inline constexpr const char* kCharacterLengthMessage = "The length of a character type value is only 1";
inline constexpr const char* kStrangeEscapeMessage =
    "Special characters are strange (do not forget \" ... \")";
inline constexpr const char* kUnclosedQuoteMessage =
    "A string or character value is not closed (do not forget the closing quote)";
