#include "host/script_header.h"

#include <cmath>
#include <cstring>

namespace {

// The script lexer's token rules, except that `#` starts no comment here: the header lines begin
// with it. Only the tokens the scan looks at are told apart.
enum class HeaderToken {
    End,
    Identifier,
    Number,
    String,
    Other,  // operators, punctuation, characters, keywords, words the header does not use
    Quillstorm,
    ScriptVersion,
    Id,
    Title,
    Text,
    Image,
    IgnoredField,  // System, Background, BGM: known header words whose values are not kept
};

struct HeaderScanner {
    const char* cursor;
    const char* end;
    std::string_view spelling;  // Identifier: the word; String: the text between the quotes
    double number = 0;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsWordChar(char c) {
    return IsWordStart(c) || IsDigit(c);
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

struct WordKind {
    std::string_view word;
    HeaderToken token;
};
constexpr WordKind kHeaderWords[] = {
    {"Quillstorm", HeaderToken::Quillstorm},
    {"ScriptVersion", HeaderToken::ScriptVersion},
    {"ID", HeaderToken::Id},
    {"Title", HeaderToken::Title},
    {"Text", HeaderToken::Text},
    {"Image", HeaderToken::Image},
    {"System", HeaderToken::IgnoredField},
    {"Background", HeaderToken::IgnoredField},
    {"BGM", HeaderToken::IgnoredField},
};
// Keywords are not identifiers, so a kind name is never taken from one.
constexpr std::string_view kKeywords[] = {
    "alternative", "ascent", "break", "case", "descent", "else",  "function",
    "if",          "in",     "let",   "var",  "local",   "loop",  "others",
    "real",        "return", "sub",   "task", "times",   "while", "yield",
};

HeaderToken ClassifyWord(std::string_view word) {
    for (const WordKind& entry : kHeaderWords) {
        if (entry.word == word) return entry.token;
    }
    for (std::string_view keyword : kKeywords) {
        if (keyword == word) return HeaderToken::Other;
    }
    return HeaderToken::Identifier;
}

void SkipBlanks(HeaderScanner& s) {
    while (s.cursor < s.end) {
        const char c = *s.cursor;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++s.cursor;
        } else if (c == '/' && s.cursor + 1 < s.end && s.cursor[1] == '/') {
            while (s.cursor < s.end && *s.cursor != '\n' && *s.cursor != '\r')
                ++s.cursor;
        } else if (c == '/' && s.cursor + 1 < s.end && s.cursor[1] == '*') {
            s.cursor += 2;
            while (s.cursor < s.end && !(*s.cursor == '*' && s.cursor + 1 < s.end && s.cursor[1] == '/')) {
                ++s.cursor;
            }
            s.cursor = s.cursor < s.end ? s.cursor + 2 : s.end;
        } else {
            return;
        }
    }
}

HeaderToken NextHeaderToken(HeaderScanner& s) {
    SkipBlanks(s);
    if (s.cursor >= s.end || *s.cursor == '\0') return HeaderToken::End;
    const char c = *s.cursor;
    if (IsWordStart(c)) {
        const char* start = s.cursor;
        while (s.cursor < s.end && IsWordChar(*s.cursor))
            ++s.cursor;
        s.spelling = std::string_view(start, s.cursor - start);
        return ClassifyWord(s.spelling);
    }
    if (IsDigit(c)) {
        double value = 0;
        while (s.cursor < s.end && IsDigit(*s.cursor))
            value = value * 10 + (*s.cursor++ - '0');
        if (s.cursor + 1 < s.end && s.cursor[0] == '.' && IsDigit(s.cursor[1])) {
            ++s.cursor;
            double scale = 1;
            while (s.cursor < s.end && IsDigit(*s.cursor)) {
                scale /= 10;
                value += (*s.cursor++ - '0') * scale;
            }
        }
        s.number = value;
        return HeaderToken::Number;
    }
    if (c == '"' || c == '\'') {
        const char* close = static_cast<const char*>(std::memchr(s.cursor + 1, c, s.end - s.cursor - 1));
        if (close == nullptr) {
            // An unclosed quote swallows the rest of the text, so nothing after it is a header field.
            s.cursor = s.end;
            return HeaderToken::End;
        }
        s.spelling = std::string_view(s.cursor + 1, close - s.cursor - 1);
        s.cursor = close + 1;
        return c == '"' ? HeaderToken::String : HeaderToken::Other;
    }
    if (c == '\\') {
        ++s.cursor;
        if (s.cursor < s.end && *s.cursor == 'x') {
            ++s.cursor;
            while (s.cursor < s.end && IsHexDigit(*s.cursor))
                ++s.cursor;
        } else if (s.cursor < s.end) {
            ++s.cursor;
        }
        return HeaderToken::Other;
    }
    // Any other character, `#` and the brackets included, is one token that the scan passes over.
    ++s.cursor;
    return HeaderToken::Other;
}

// Skips to the next token of kind `wanted`; false when the text ends first.
bool SkipTo(HeaderScanner& s, HeaderToken wanted) {
    for (;;) {
        const HeaderToken token = NextHeaderToken(s);
        if (token == wanted) return true;
        if (token == HeaderToken::End) return false;
    }
}

template <size_t N>
void CopyField(char (&field)[N], std::string_view text) {
    const size_t length = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

ScriptKind KindFromName(std::string_view name) {
    if (name == "Single") return ScriptKind::Single;
    if (name == "Plural") return ScriptKind::Plural;
    if (name == "Stage") return ScriptKind::Stage;
    if (name == "Player") return ScriptKind::Player;
    if (name == "Package") return ScriptKind::Package;
    return ScriptKind::None;
}

}  // namespace

ScriptHeader ParseHeader(std::string_view text) {
    ScriptHeader header;
    std::memset(&header, 0, sizeof header);
    HeaderScanner s{text.data(), text.data() + text.size(), {}, 0};
    for (;;) {
        switch (NextHeaderToken(s)) {
            case HeaderToken::End:
                return header;
            case HeaderToken::Quillstorm:
                if (SkipTo(s, HeaderToken::Identifier)) header.kind = KindFromName(s.spelling);
                break;
            case HeaderToken::ScriptVersion:
                if (SkipTo(s, HeaderToken::Number)) {
                    // A number too long for a double has no low bits to keep.
                    const double low = std::isfinite(s.number) ? std::fmod(std::trunc(s.number), 256.0) : 0.0;
                    header.scriptVersion = static_cast<uint8_t>(low);
                }
                break;
            case HeaderToken::Id:
                if (SkipTo(s, HeaderToken::String)) CopyField(header.id, s.spelling);
                break;
            case HeaderToken::Title:
                if (SkipTo(s, HeaderToken::String)) CopyField(header.title, s.spelling);
                break;
            case HeaderToken::Text:
                if (SkipTo(s, HeaderToken::String)) CopyField(header.description, s.spelling);
                break;
            case HeaderToken::Image:
                if (SkipTo(s, HeaderToken::String)) CopyField(header.imagePath, s.spelling);
                break;
            default:
                break;
        }
    }
}
