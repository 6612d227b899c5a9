#include "script/shotdata_lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/capture_console.h"

namespace {

std::vector<int> Kinds(const char* text) {
    ShotDataLexer lexer;
    StartShotDataLexer(lexer, text);
    std::vector<int> kinds;
    do {
        NextShotDataToken(lexer);
        kinds.push_back(lexer.kind);
    } while (lexer.kind != kShotDataEndOfText && lexer.kind != kShotDataInvalid);
    return kinds;
}

TEST(ShotDataLexer, OwnKindNumbersAndNoKeywords) {
    CaptureConsole console;
    EXPECT_EQ(Kinds(""), (std::vector<int>{1}));
    EXPECT_EQ(Kinds("ShotData { id = 3 } 'c' \"s\" \\n (| .. ^="),
              (std::vector<int>{3, 10, 3, 17, 52, 11, 4, 5, 4, 12, 44, 43, 1}));
    EXPECT_EQ(Kinds("let $"), (std::vector<int>{3, 2}));
    EXPECT_EQ(console.Text(), "");
}

TEST(ShotDataLexer, FieldsAreNarrowBytes) {
    ShotDataLexer lexer;
    StartShotDataLexer(lexer, "\"./img/a \xC3\xA9.png\" '\xFF' \\x1FF word_9 2.5");
    NextShotDataToken(lexer);
    EXPECT_STREQ(lexer.string, "./img/a \xC3\xA9.png");
    NextShotDataToken(lexer);
    EXPECT_EQ(lexer.character, 0xFF);
    NextShotDataToken(lexer);
    EXPECT_EQ(lexer.kind, kShotDataCharacter);
    EXPECT_EQ(lexer.character, 0xFF);  // the low byte of 0x1FF
    NextShotDataToken(lexer);
    EXPECT_STREQ(lexer.word, "word_9");
    NextShotDataToken(lexer);
    EXPECT_EQ(lexer.number, 2.5);
    EXPECT_STREQ(lexer.word, "word_9");
}

TEST(ShotDataLexer, ErrorsArePrintedAndLexingGoesOn) {
    CaptureConsole console;
    EXPECT_EQ(Kinds(".5 'ab' \\q x"), (std::vector<int>{52, 3, 1}));
    EXPECT_EQ(
        console.Text(),
        "\nDecimals can not start with a period (ex. \".\" and \".5\"), they must be defined completely "
        "(ex. \"0.5\")"
        "\nThe length of a character type value is only 1"
        "\nSpecial characters are strange (do not forget \" ... \")");
    EXPECT_EQ(console.Segments().size(), 1u);  // no colour labels

    console.Clear();
    // A multibyte character is more than one byte, so no character value here.
    EXPECT_EQ(Kinds("'\xC3\xA9' \\"), (std::vector<int>{1}));
    EXPECT_EQ(console.Text(),
              "\nThe length of a character type value is only 1"
              "\nSpecial characters are strange (do not forget \" ... \")");
}

TEST(ShotDataLexer, UnclosedQuoteEndsTheText) {
    CaptureConsole console;
    EXPECT_EQ(Kinds("x \"open"), (std::vector<int>{3, 1}));
    EXPECT_EQ(console.Text(),
              "\nA string or character value is not closed (do not forget the closing quote)");
    console.Clear();
    EXPECT_EQ(Kinds("x /* open"), (std::vector<int>{3, 1}));
    EXPECT_EQ(console.Text(), "");
}

TEST(ShotDataLexer, LongWordsAndStringsAreCutToTheirFields) {
    CaptureConsole console;
    const std::string word(300, 'w');
    const std::string string(400, 's');
    const std::string text = word + " \"" + string + "\" " + std::string(255, 'k') + " tail";
    ShotDataLexer lexer;
    StartShotDataLexer(lexer, text.c_str());
    NextShotDataToken(lexer);
    EXPECT_EQ(lexer.kind, kShotDataWord);
    EXPECT_EQ(std::string(lexer.word), std::string(255, 'w'));
    NextShotDataToken(lexer);
    EXPECT_EQ(lexer.kind, kShotDataString);
    EXPECT_EQ(std::string(lexer.string), std::string(258, 's'));
    EXPECT_EQ(console.Text(),
              "\nThe length of a word is at most 255 characters, the rest is cut off"
              "\nThe length of a string value is at most 258 characters, the rest is cut off");
    console.Clear();
    NextShotDataToken(lexer);
    EXPECT_EQ(std::string(lexer.word), std::string(255, 'k'));  // exactly full: no message
    NextShotDataToken(lexer);
    EXPECT_STREQ(lexer.word, "tail");
    EXPECT_EQ(console.Text(), "");
}

TEST(ShotDataLexer, CountsLinesLikeTheScriptLexer) {
    ShotDataLexer lexer;
    StartShotDataLexer(lexer, "# a\n// b\r\n/* c\n*/ x");
    NextShotDataToken(lexer);
    EXPECT_STREQ(lexer.word, "x");
    EXPECT_EQ(lexer.line, 4u);
}

}  // namespace
