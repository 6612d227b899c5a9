#include "script/lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using K = TokenKind;

// Kinds up to and including the end of text (or the first invalid character).
std::vector<TokenKind> Kinds(const char* text) {
    Lexer lexer;
    StartLexer(lexer, text);
    std::vector<TokenKind> kinds;
    do {
        NextToken(lexer);
        kinds.push_back(lexer.kind);
    } while (lexer.kind != K::EndOfFile && lexer.kind != K::Invalid);
    return kinds;
}

// The message of the error raised while lexing `text` to its end, or "" when none is.
std::string ErrorOf(const char* text, int* line = nullptr) {
    Lexer lexer;
    StartLexer(lexer, text);
    try {
        do
            NextToken(lexer);
        while (lexer.kind != K::EndOfFile && lexer.kind != K::Invalid);
    } catch (const parser_error& error) {
        if (line != nullptr) *line = lexer.line;
        return error.what();
    }
    return "";
}

TEST(Lexer, EmptyTextEndsAndKeepsEnding) {
    Lexer lexer;
    const char* text = "  \n";
    StartLexer(lexer, text);
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::EndOfFile);
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::EndOfFile);
    EXPECT_EQ(lexer.cursor, text + 3);
    EXPECT_EQ(lexer.line, 2);
}

TEST(Lexer, EveryOperatorLongestMatchFirst) {
    EXPECT_EQ(Kinds("()[]{}(||),;~=+-++--*/%^"),
              (std::vector<K>{K::OpenParen,  K::CloseParen,   K::OpenBracket,   K::CloseBracket, K::OpenBrace,
                              K::CloseBrace, K::OpenAbsolute, K::CloseAbsolute, K::Comma,        K::Semicolon,
                              K::Tilde,      K::Assign,       K::Plus,          K::Minus,        K::Increment,
                              K::Decrement,  K::Asterisk,     K::Slash,         K::Percent,      K::Caret,
                              K::EndOfFile}));
    EXPECT_EQ(Kinds("==>>=<<=!=!&&&|||@+=-=*=/=%=^=.."),
              (std::vector<K>{K::Equal,           K::Greater,        K::GreaterEqual,   K::Less,
                              K::LessEqual,       K::NotEqual,       K::Exclamation,    K::AndThen,
                              K::Ampersand,       K::OrElse,         K::Vertical,       K::At,
                              K::AddAssign,       K::SubtractAssign, K::MultiplyAssign, K::DivideAssign,
                              K::RemainderAssign, K::PowerAssign,    K::Range,          K::EndOfFile}));
    EXPECT_EQ(Kinds("(|x|)"), (std::vector<K>{K::OpenAbsolute, K::Word, K::CloseAbsolute, K::EndOfFile}));
    EXPECT_EQ(Kinds("a+=1"), (std::vector<K>{K::Word, K::AddAssign, K::Real, K::EndOfFile}));
    EXPECT_EQ(Kinds("+++"), (std::vector<K>{K::Increment, K::Plus, K::EndOfFile}));
}

TEST(Lexer, KindNumbersAreThoseOfTheTokenFiles) {
    EXPECT_EQ(static_cast<int>(K::Range), 44);
    EXPECT_EQ(static_cast<int>(K::KwAlternative), 45);
    EXPECT_EQ(static_cast<int>(K::KwYield), 64);
    EXPECT_STREQ(TokenDisplayName(0), "End of File");
    EXPECT_STREQ(TokenDisplayName(K::Word), "Word");
    EXPECT_STREQ(TokenDisplayName(K::OpenAbsolute), "(| (Open Absolute)");
    EXPECT_STREQ(TokenDisplayName(K::AndThen), "&& (And then)");
    EXPECT_STREQ(TokenDisplayName(K::Range), ". (Range)");
    EXPECT_STREQ(TokenDisplayName(45), "Unknown Token");
    EXPECT_STREQ(TokenDisplayName(-1), "Unknown Token");
}

TEST(Lexer, KeywordsAndWords) {
    EXPECT_EQ(
        Kinds("alternative ascent break case descent else function if in let var local loop others real "
              "return sub task times while yield"),
        (std::vector<K>{K::KwAlternative, K::KwAscent, K::KwBreak, K::KwCase,   K::KwDescent, K::KwElse,
                        K::KwFunction,    K::KwIf,     K::KwIn,    K::KwLet,    K::KwLet,     K::KwLocal,
                        K::KwLoop,        K::KwOthers, K::KwReal,  K::KwReturn, K::KwSub,     K::KwTask,
                        K::KwTimes,       K::KwWhile,  K::KwYield, K::EndOfFile}));
    Lexer lexer;
    StartLexer(lexer, "_if9 If letter");
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::Word);
    EXPECT_EQ(lexer.word, "_if9");
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::Word);
    EXPECT_EQ(lexer.word, "If");
    NextToken(lexer);
    EXPECT_EQ(lexer.word, "letter");
}

TEST(Lexer, NumbersAndRanges) {
    Lexer lexer;
    StartLexer(lexer, "1.5 0..5 4294967296 007");
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::Real);
    EXPECT_EQ(lexer.number, 1.5);
    NextToken(lexer);
    EXPECT_EQ(lexer.number, 0);
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::Range);
    NextToken(lexer);
    EXPECT_EQ(lexer.number, 5);
    NextToken(lexer);
    EXPECT_EQ(lexer.number, 4294967296.0);
    NextToken(lexer);
    EXPECT_EQ(lexer.number, 7);
    // The fraction adds digit x scale with scale divided by ten per digit, as stored scripts expect.
    StartLexer(lexer, "0.1 2.25");
    NextToken(lexer);
    EXPECT_EQ(lexer.number, 0.1);
    NextToken(lexer);
    EXPECT_EQ(lexer.number, 2.25);
    EXPECT_EQ(Kinds("1..3"), (std::vector<K>{K::Real, K::Range, K::Real, K::EndOfFile}));
    EXPECT_EQ(Kinds("-2"), (std::vector<K>{K::Minus, K::Real, K::EndOfFile}));
}

TEST(Lexer, SinglePeriodIsAnError) {
    const std::string message =
        "Decimals can not start with a period (ex. \".\" and \".5\"), they must be defined completely (ex. "
        "\"0.5\")";
    EXPECT_EQ(ErrorOf(".5"), message);
    EXPECT_EQ(ErrorOf("x = 1."), message);
    Lexer lexer;
    StartLexer(lexer, "1.");
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::Real);
    EXPECT_EQ(lexer.number, 1);
    EXPECT_THROW(NextToken(lexer), parser_error);
}

TEST(Lexer, QuotedLiterals) {
    Lexer lexer;
    StartLexer(lexer, "\"a\\n'b\" 'x' '\xC3\xA9' \"\"");
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::String);
    EXPECT_EQ(lexer.string, u"a\\n'b");  // no escapes inside quotes
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::Character);
    EXPECT_EQ(lexer.character, u'x');
    EXPECT_EQ(lexer.string, u"x");
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::Character);
    EXPECT_EQ(lexer.character, u'\u00E9');
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::String);
    EXPECT_EQ(lexer.string, u"");
    EXPECT_EQ(lexer.character, u'\u00E9');  // fields of other kinds keep their content

    EXPECT_EQ(ErrorOf("'ab'"), "The length of a character type value is only 1");
    EXPECT_EQ(ErrorOf("''"), "The length of a character type value is only 1");
    // A character outside the 16-bit range takes two units and so is not one character.
    EXPECT_EQ(ErrorOf("'\xF0\x9F\x98\x80'"), "The length of a character type value is only 1");
}

TEST(Lexer, UnclosedQuoteIsAnErrorOnItsLine) {
    int line = 0;
    EXPECT_EQ(ErrorOf("a\n\"open\nstill open", &line),
              "A string or character value is not closed (do not forget the closing quote)");
    EXPECT_EQ(line, 2);
    EXPECT_EQ(ErrorOf("'"), "A string or character value is not closed (do not forget the closing quote)");
    // After the error the lexer stands at the end of the text.
    Lexer lexer;
    StartLexer(lexer, "\"abc");
    EXPECT_THROW(NextToken(lexer), parser_error);
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::EndOfFile);
}

TEST(Lexer, EscapedCharacters) {
    Lexer lexer;
    StartLexer(lexer, "\\0\\n\\r\\t\\x41\\xfFfF1\\x");
    const char16_t expected[] = {0, 10, 13, 9, 0x41, 0xFFF1, 0};
    for (char16_t value : expected) {
        NextToken(lexer);
        EXPECT_EQ(lexer.kind, K::Character);
        EXPECT_EQ(lexer.character, value);
    }
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::EndOfFile);

    const std::string message = "Special characters are strange (do not forget \" ... \")";
    EXPECT_EQ(ErrorOf("\\q"), message);
    // A backslash at the very end must not step over the terminating NUL.
    const char text[] = "\\";
    StartLexer(lexer, text);
    EXPECT_THROW(NextToken(lexer), parser_error);
    EXPECT_EQ(lexer.cursor, text + 1);
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::EndOfFile);
}

TEST(Lexer, CommentsAndLineCounting) {
    Lexer lexer;
    StartLexer(lexer, "# directive left over\na // line\r\n/* one\ntwo */ b #x\n\"s\nt\" c");
    NextToken(lexer);
    EXPECT_EQ(lexer.word, "a");
    EXPECT_EQ(lexer.line, 2);
    NextToken(lexer);
    EXPECT_EQ(lexer.word, "b");
    EXPECT_EQ(lexer.line, 4);
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::String);
    NextToken(lexer);
    EXPECT_EQ(lexer.word, "c");
    EXPECT_EQ(lexer.line, 5);  // the break inside the string is not counted
    EXPECT_EQ(Kinds("/**/x/*/ y */"), (std::vector<K>{K::Word, K::EndOfFile}));
    EXPECT_EQ(Kinds("/* a /* b */ c */"), (std::vector<K>{K::Word, K::Asterisk, K::Slash, K::EndOfFile}));
}

TEST(Lexer, UnclosedBlockCommentRunsToTheEnd) {
    Lexer lexer;
    StartLexer(lexer, "x /* never closed\n\n");
    NextToken(lexer);
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::EndOfFile);
    EXPECT_EQ(lexer.line, 3);
    EXPECT_EQ(Kinds("/*"), (std::vector<K>{K::EndOfFile}));
    EXPECT_EQ(Kinds("/*/"), (std::vector<K>{K::EndOfFile}));
}

TEST(Lexer, InvalidCharacterStaysUnderTheCursor) {
    for (const char* text : {"$", "\x80", "`", "?", "\xC3\xA9"}) {
        Lexer lexer;
        StartLexer(lexer, text);
        NextToken(lexer);
        EXPECT_EQ(lexer.kind, K::Invalid) << text;
        EXPECT_EQ(lexer.cursor, text);
        NextToken(lexer);
        EXPECT_EQ(lexer.kind, K::Invalid);
    }
}

TEST(Lexer, CopyBacktracks) {
    Lexer lexer;
    StartLexer(lexer, "f(x)");
    NextToken(lexer);
    const Lexer saved = lexer;
    NextToken(lexer);
    NextToken(lexer);
    EXPECT_EQ(lexer.word, "x");
    lexer = saved;
    NextToken(lexer);
    EXPECT_EQ(lexer.kind, K::OpenParen);
}

}  // namespace
