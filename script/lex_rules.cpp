#include "script/lex_rules.h"

#include <cstring>

OperatorMatch LexMatchOperator(const char* p) {
    const char next = p[1];
    switch (p[0]) {
        case '(':
            return next == '|' ? OperatorMatch{12, 2} : OperatorMatch{6, 1};
        case ')':
            return {7, 1};
        case '[':
            return {8, 1};
        case ']':
            return {9, 1};
        case '{':
            return {10, 1};
        case '}':
            return {11, 1};
        case '|':
            if (next == ')') return {13, 2};
            if (next == '|') return {36, 2};
            return {35, 1};
        case ',':
            return {14, 1};
        case ';':
            return {15, 1};
        case '~':
            return {16, 1};
        case '=':
            return next == '=' ? OperatorMatch{26, 2} : OperatorMatch{17, 1};
        case '+':
            if (next == '+') return {20, 2};
            if (next == '=') return {38, 2};
            return {18, 1};
        case '-':
            if (next == '-') return {21, 2};
            if (next == '=') return {39, 2};
            return {19, 1};
        case '*':
            return next == '=' ? OperatorMatch{40, 2} : OperatorMatch{22, 1};
        case '/':
            return next == '=' ? OperatorMatch{41, 2} : OperatorMatch{23, 1};
        case '%':
            return next == '=' ? OperatorMatch{42, 2} : OperatorMatch{24, 1};
        case '^':
            return next == '=' ? OperatorMatch{43, 2} : OperatorMatch{25, 1};
        case '>':
            return next == '=' ? OperatorMatch{28, 2} : OperatorMatch{27, 1};
        case '<':
            return next == '=' ? OperatorMatch{30, 2} : OperatorMatch{29, 1};
        case '!':
            return next == '=' ? OperatorMatch{31, 2} : OperatorMatch{32, 1};
        case '&':
            return next == '&' ? OperatorMatch{34, 2} : OperatorMatch{33, 1};
        case '@':
            return {37, 1};
        default:
            return {0, 0};
    }
}

double LexReadNumber(const char*& p) {
    double value = 0;
    while (LexIsDigit(*p)) {
        value = value * 10 + (*p - '0');
        ++p;
    }
    if (p[0] == '.' && LexIsDigit(p[1])) {
        ++p;
        double scale = 1;
        while (LexIsDigit(*p)) {
            scale = scale / 10;
            value = value + (*p - '0') * scale;
            ++p;
        }
    }
    return value;
}

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool LexReadEscape(const char*& p, uint16_t& value) {
    const char selector = p[1];
    if (selector == '\0') {
        ++p;  // a backslash at the very end: the NUL stays unread
        return false;
    }
    p += 2;
    switch (selector) {
        case '0':
            value = 0;
            return true;
        case 'n':
            value = 10;
            return true;
        case 'r':
            value = 13;
            return true;
        case 't':
            value = 9;
            return true;
        case 'x': {
            uint16_t v = 0;
            for (int digit; (digit = HexDigitValue(*p)) >= 0; ++p)
                v = static_cast<uint16_t>(v * 16 + digit);
            value = v;
            return true;
        }
        default:
            return false;
    }
}

const char* LexFindClosingQuote(const char* open) {
    return std::strchr(open + 1, *open);
}
