#pragma once
// Kinds of script tokens. The numbers are part of the token file format and index the display names.

enum class TokenKind : int {
    EndOfFile = 0,
    Invalid = 1,  // a character that starts no token; the lexer leaves the cursor on it
    Word = 2,
    Real = 3,
    Character = 4,
    String = 5,
    OpenParen = 6,         // (
    CloseParen = 7,        // )
    OpenBracket = 8,       // [
    CloseBracket = 9,      // ]
    OpenBrace = 10,        // {
    CloseBrace = 11,       // }
    OpenAbsolute = 12,     // (|
    CloseAbsolute = 13,    // |)
    Comma = 14,            // ,
    Semicolon = 15,        // ;
    Tilde = 16,            // ~
    Assign = 17,           // =
    Plus = 18,             // +
    Minus = 19,            // -
    Increment = 20,        // ++
    Decrement = 21,        // --
    Asterisk = 22,         // *
    Slash = 23,            // /
    Percent = 24,          // %
    Caret = 25,            // ^
    Equal = 26,            // ==
    Greater = 27,          // >
    GreaterEqual = 28,     // >=
    Less = 29,             // <
    LessEqual = 30,        // <=
    NotEqual = 31,         // !=
    Exclamation = 32,      // !
    Ampersand = 33,        // &
    AndThen = 34,          // &&
    Vertical = 35,         // |
    OrElse = 36,           // ||
    At = 37,               // @
    AddAssign = 38,        // +=
    SubtractAssign = 39,   // -=
    MultiplyAssign = 40,   // *=
    DivideAssign = 41,     // /=
    RemainderAssign = 42,  // %=
    PowerAssign = 43,      // ^=
    Range = 44,            // ..
    KwAlternative = 45,
    KwAscent = 46,
    KwBreak = 47,
    KwCase = 48,
    KwDescent = 49,
    KwElse = 50,
    KwFunction = 51,
    KwIf = 52,
    KwIn = 53,
    KwLet = 54,  // both `let` and `var`
    KwLocal = 55,
    KwLoop = 56,
    KwOthers = 57,
    KwReal = 58,
    KwReturn = 59,
    KwSub = 60,
    KwTask = 61,
    KwTimes = 62,
    KwWhile = 63,
    KwYield = 64,
};

inline constexpr int kLastDisplayedTokenKind = 44;
inline constexpr int kLastTokenKind = 64;

// Display name of kinds 0 to 44 ("Word", "( (Open Parenthesis)", ...). Keywords and numbers outside
// the table have no display name; they give "Unknown Token" so messages never print a null string.
const char* TokenDisplayName(int kind);
inline const char* TokenDisplayName(TokenKind kind) {
    return TokenDisplayName(static_cast<int>(kind));
}
