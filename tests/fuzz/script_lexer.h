// Script lexer on arbitrary text: every call ends, the cursor only moves forward inside the text, and
// lexing after an error goes on from a sound position.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/lexer.h"

inline int FuzzScriptLexer(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* begin = text.c_str();
    const char* end = begin + std::char_traits<char>::length(begin);
    Lexer lexer;
    StartLexer(lexer, begin);
    for (size_t calls = 0;; ++calls) {
        if (calls > size + 1) __builtin_trap();  // every token but the last consumes a character
        const char* before = lexer.cursor;
        try {
            NextToken(lexer);
        } catch (const parser_error&) {
            if (lexer.cursor <= before) __builtin_trap();
            continue;
        }
        if (lexer.cursor < before || lexer.cursor > end) __builtin_trap();
        if (lexer.kind == TokenKind::EndOfFile || lexer.kind == TokenKind::Invalid) {
            if (lexer.kind == TokenKind::EndOfFile && lexer.cursor != end) __builtin_trap();
            break;
        }
        if (lexer.cursor == before) __builtin_trap();
        if (lexer.kind == TokenKind::Real && !(lexer.number >= 0)) __builtin_trap();
    }
    return 0;
}
