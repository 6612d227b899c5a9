#include "host/script_header.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ScriptHeader, ReadsEveryField) {
    const ScriptHeader h = ParseHeader(
        "#Quillstorm[Stage]\n#ScriptVersion[3]\n#ID[\"st1\"]\n#Title[\"First stage\"]\n"
        "#Text[\"A short stage\"]\n#Image[\"img/stage.png\"]\n#System[\"sys.qsf\"]\n@Initialize { }\n");
    EXPECT_EQ(h.kind, ScriptKind::Stage);
    EXPECT_EQ(h.scriptVersion, 3);
    EXPECT_STREQ(h.id, "st1");
    EXPECT_STREQ(h.title, "First stage");
    EXPECT_STREQ(h.description, "A short stage");
    EXPECT_STREQ(h.imagePath, "img/stage.png");
}

TEST(ScriptHeader, KindNames) {
    EXPECT_EQ(ParseHeader("#Quillstorm[Player]").kind, ScriptKind::Player);
    EXPECT_EQ(ParseHeader("#Quillstorm[Single]").kind, ScriptKind::Single);
    EXPECT_EQ(ParseHeader("#Quillstorm[Plural]").kind, ScriptKind::Plural);
    EXPECT_EQ(ParseHeader("#Quillstorm[Package]").kind, ScriptKind::Package);
    EXPECT_EQ(ParseHeader("#Quillstorm[Boss]").kind, ScriptKind::None);
    EXPECT_EQ(ParseHeader("#Quillstorm[stage]").kind, ScriptKind::None);  // case matters
    // Only the exact word is a header word.
    EXPECT_EQ(ParseHeader("#Quillstorms[Stage]").kind, ScriptKind::None);
    // Keywords are not identifiers: the kind is the next plain word.
    EXPECT_EQ(ParseHeader("#Quillstorm[real] Plural").kind, ScriptKind::Plural);
}

TEST(ScriptHeader, MissingFieldsStayZero) {
    const ScriptHeader h = ParseHeader("let x = 1;\n@MainLoop { yield; }\n");
    EXPECT_EQ(h.kind, ScriptKind::None);
    EXPECT_EQ(h.scriptVersion, 0);
    EXPECT_STREQ(h.title, "");
    EXPECT_STREQ(h.imagePath, "");
    // A header word at the end of the text finds nothing to read.
    EXPECT_STREQ(ParseHeader("#Title[").title, "");
    EXPECT_EQ(ParseHeader("#Quillstorm").kind, ScriptKind::None);
}

TEST(ScriptHeader, LaterFieldWins) {
    const ScriptHeader h =
        ParseHeader("#Title[\"one\"]\n#Title[\"two\"]\n#Quillstorm[Stage]\n#Quillstorm[Boss]");
    EXPECT_STREQ(h.title, "two");
    EXPECT_EQ(h.kind, ScriptKind::None);
}

TEST(ScriptHeader, VersionIsTruncatedToItsLowByte) {
    EXPECT_EQ(ParseHeader("#ScriptVersion[3.7]").scriptVersion, 3);
    EXPECT_EQ(ParseHeader("#ScriptVersion[300]").scriptVersion, 44);
    EXPECT_EQ(ParseHeader("#ScriptVersion[\"2\"] 5").scriptVersion, 5);  // a string is not a number
    EXPECT_EQ(ParseHeader("#ScriptVersion[" + std::string(400, '9') + "]").scriptVersion, 0);
}

TEST(ScriptHeader, CommentsStringsAndEscapesHideHeaderWords) {
    EXPECT_STREQ(ParseHeader("/* #Title[\"no\"] */ #Title[\"yes\"]").title, "yes");
    EXPECT_STREQ(ParseHeader("let s = \"Title\"; #Title[\"yes\"]").title, "yes");
    // An escaped quote starts no string, so the field's string is the next real one.
    EXPECT_STREQ(ParseHeader("#Title[\\\" \"real\"]").title, "real");
    // The skip passes over strings in single quotes.
    EXPECT_STREQ(ParseHeader("#Title['x' \"t\"]").title, "t");
    // A quote that is never closed ends the scan.
    EXPECT_STREQ(ParseHeader("#Title[\"a\"] \" #Title[\"b\"]").title, "a");
}

TEST(ScriptHeader, LongTextsAreCutToTheirFields) {
    const std::string long40(40, 'x');
    const std::string long300(300, 'y');
    const ScriptHeader h = ParseHeader("#ID[\"" + long40 + "\"]#Title[\"" + long40 + "\"]#Text[\"" + long300 +
                                       "\"]#Image[\"" + long300 + "\"]#ScriptVersion[7]");
    EXPECT_EQ(std::string(h.id), std::string(31, 'x'));
    EXPECT_EQ(std::string(h.title), std::string(31, 'x'));
    EXPECT_EQ(std::string(h.description), std::string(255, 'y'));
    EXPECT_EQ(std::string(h.imagePath), std::string(255, 'y'));
    EXPECT_EQ(h.scriptVersion, 7);  // neighbouring fields untouched
    EXPECT_EQ(h.kind, ScriptKind::None);
}

}  // namespace
