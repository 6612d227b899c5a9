#include "script/lexer.h"

#include <cstring>
#include <string_view>

#include "script/lex_rules.h"
#include "script/multibyte.h"

namespace {

struct Keyword {
    const char* spelling;
    TokenKind kind;
};

const Keyword kKeywords[] = {
    {"alternative", TokenKind::KwAlternative},
    {"ascent", TokenKind::KwAscent},
    {"break", TokenKind::KwBreak},
    {"case", TokenKind::KwCase},
    {"descent", TokenKind::KwDescent},
    {"else", TokenKind::KwElse},
    {"function", TokenKind::KwFunction},
    {"if", TokenKind::KwIf},
    {"in", TokenKind::KwIn},
    {"let", TokenKind::KwLet},
    {"var", TokenKind::KwLet},
    {"local", TokenKind::KwLocal},
    {"loop", TokenKind::KwLoop},
    {"others", TokenKind::KwOthers},
    {"real", TokenKind::KwReal},
    {"return", TokenKind::KwReturn},
    {"sub", TokenKind::KwSub},
    {"task", TokenKind::KwTask},
    {"times", TokenKind::KwTimes},
    {"while", TokenKind::KwWhile},
    {"yield", TokenKind::KwYield},
};

TokenKind WordKind(const std::string& word) {
    for (const Keyword& keyword : kKeywords) {
        if (word == keyword.spelling) return keyword.kind;
    }
    return TokenKind::Word;
}

}  // namespace

void StartLexer(Lexer& lexer, const char* text) {
    lexer.cursor = text;
    lexer.word.clear();
    lexer.string.clear();
    lexer.line = 1;
}

void NextToken(Lexer& lexer) {
    const char* p = LexSkipBlanks(lexer.cursor, lexer.line);
    lexer.cursor = p;
    const char c = *p;

    if (c == '\0') {
        lexer.kind = TokenKind::EndOfFile;
        return;
    }
    if (const OperatorMatch op = LexMatchOperator(p); op.kind != 0) {
        lexer.kind = static_cast<TokenKind>(op.kind);
        lexer.cursor = p + op.length;
        return;
    }
    if (c == '.') {
        if (p[1] != '.') {
            lexer.cursor = p + 1;
            throw parser_error(kSinglePeriodMessage);
        }
        lexer.kind = TokenKind::Range;
        lexer.cursor = p + 2;
        return;
    }
    if (LexIsDigit(c)) {
        lexer.number = LexReadNumber(p);
        lexer.kind = TokenKind::Real;
        lexer.cursor = p;
        return;
    }
    if (c == '"' || c == '\'') {
        const char* close = LexFindClosingQuote(p);
        if (close == nullptr) {
            lexer.cursor = p + std::strlen(p);
            throw parser_error(kUnclosedQuoteMessage);
        }
        lexer.string = MultibyteToWide(std::string_view(p + 1, static_cast<size_t>(close - p - 1)));
        lexer.cursor = close + 1;
        if (c == '"') {
            lexer.kind = TokenKind::String;
            return;
        }
        if (lexer.string.size() != 1) throw parser_error(kCharacterLengthMessage);
        lexer.character = lexer.string[0];
        lexer.kind = TokenKind::Character;
        return;
    }
    if (c == '\\') {
        uint16_t value = 0;
        const bool known = LexReadEscape(p, value);
        lexer.cursor = p;
        if (!known) throw parser_error(kStrangeEscapeMessage);
        lexer.character = value;
        lexer.kind = TokenKind::Character;
        return;
    }
    if (LexIsWordStart(c)) {
        const char* end = p;
        while (LexIsWordChar(*end))
            ++end;
        lexer.word.assign(p, end);
        lexer.kind = WordKind(lexer.word);
        lexer.cursor = end;
        return;
    }
    lexer.kind = TokenKind::Invalid;
}
