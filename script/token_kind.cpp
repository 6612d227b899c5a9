#include "script/token_kind.h"

namespace {

const char* const kDisplayNames[kLastDisplayedTokenKind + 1] = {
    "End of File",
    "Invalid Token",
    "Word",
    "Real",
    "Character",
    "String",
    "( (Open Parenthesis)",
    ") (Close Parenthesis)",
    "[ (Open Bracket)",
    "] (Close Bracket)",
    "{ (Open Curly Bracket)",
    "} (Close Curly Bracket)",
    "(| (Open Absolute)",
    "|) (Close Absolute)",
    ", (Comma)",
    "; (Semicolon)",
    "~ (Tilde)",
    "= (Assign)",
    "+ (Plus)",
    "- (Minus)",
    "++ (Increment)",
    "-- (Decrement)",
    "* (Asterisk)",
    "/ (Slash)",
    "% (Percent)",
    "^ (Caret)",
    "== (Equality)",
    "> (Greater)",
    ">= (Greater or Equal)",
    "< (Lesser)",
    "<= (Lesser or Equal)",
    "!= (Not Equal)",
    "! (Exclamation)",
    "& (Ampersand)",
    "&& (And then)",
    "| (Vertical)",
    "|| (Or else)",
    "@ (At)",
    "+= (Add assign)",
    "-= (Subtract assign)",
    "*= (Multiply assign)",
    "/= (Divide assign)",
    "%= (Remainder assign)",
    "^= (Power assign)",
    ". (Range)",
};

}  // namespace

const char* TokenDisplayName(int kind) {
    if (kind < 0 || kind > kLastDisplayedTokenKind) return "Unknown Token";
    return kDisplayNames[kind];
}
