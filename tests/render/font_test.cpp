#include "render/font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/capture_console.h"

namespace {

std::vector<int32_t> Rect(const int32_t (&rect)[4]) {
    return {rect[0], rect[1], rect[2], rect[3]};
}

TEST(FntReader, ReadsEntriesAsTheFormatDefinesThem) {
    const FntFile font = ParseFnt(
        "// a comment with font_name = \"Wrong\"\n"
        "font_name = \"Main\"   // the name\n"
        "PaletteData { id = 3 image = \"./img/font.png\" rect = ( 1, -2 , 0x1f,010 ) }\n"
        "PaletteData { image = \"second.png\" }\n"
        "Unknown { char = 5 }\n"
        "CharacterData {\n"
        "  char = 010                   // octal: 8\n"
        "  rect = (+4, 0X0A, 3 junk, 8) // conversion stops at the first character not of the number\n"
        "  visible = TRUE false\n"      // the first run of lowercase letters
        "  palette = x7y\n"             // the first run of digits
        "  Nested { char = 99 }\n"      // depth 2: not the block's own entry
        "  char# = 9\n"                 // the key is read backwards, skipping what stands before '='
        "}\n"
        "CharacterData { CHAR = 1 rect = (1, 2, 3, 4, 5) }\n"  // keys are case-sensitive; a fifth number is dropped
        "CharacterData { char = 09 rect = (7) }\n",          // "09" read as octal stops at 9; missing numbers are 0
        "FONTS/main.fnt");
    EXPECT_EQ(font.fontName, "Main");
    ASSERT_EQ(font.palettes.size(), 2u);
    EXPECT_EQ(font.palettes[0].id, 3);
    EXPECT_EQ(font.palettes[0].image, "FONTS/img/font.png");
    EXPECT_EQ(Rect(font.palettes[0].rect), (std::vector<int32_t>{1, -2, 31, 8}));
    EXPECT_EQ(font.palettes[1].image, "second.png");
    ASSERT_EQ(font.characters.size(), 3u);
    EXPECT_EQ(font.characters[0].code, 9);
    EXPECT_EQ(Rect(font.characters[0].rect), (std::vector<int32_t>{4, 10, 3, 8}));
    EXPECT_FALSE(font.characters[0].visible);
    EXPECT_EQ(font.characters[0].palette, 7);
    EXPECT_EQ(font.characters[1].code, 0);
    EXPECT_TRUE(font.characters[1].visible);
    EXPECT_EQ(Rect(font.characters[1].rect), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(font.characters[2].code, 0);
    EXPECT_EQ(Rect(font.characters[2].rect), (std::vector<int32_t>{7, 0, 0, 0}));

    // "./" against a path without a folder; numbers far past the 32-bit range saturate.
    const FntFile bare = ParseFnt(
        "PaletteData { image = \"./a.png\" rect = (99999999999, -0x7fffffffffff, 0x, 08) }"
        "CharacterData { char = 123456789012345 }",
        "main.fnt");
    EXPECT_EQ(bare.palettes[0].image, "a.png");
    EXPECT_EQ(Rect(bare.palettes[0].rect), (std::vector<int32_t>{INT32_MAX, INT32_MIN, 0, 0}));
    EXPECT_EQ(bare.characters[0].code, INT32_MAX);
}

TEST(FntReader, UnterminatedValuesAndBlocksEndAtTheEndOfTheText) {
    // Each cut-off text ends inside a value or block; the reader keeps what it read.
    EXPECT_EQ(ParseFnt("font_name = \"Open", "f.fnt").fontName, "Open");
    EXPECT_EQ(ParseFnt("font_name = ", "f.fnt").fontName, "");
    EXPECT_EQ(ParseFnt("CharacterData { char = 12", "f.fnt").characters.at(0).code, 12);
    EXPECT_EQ(ParseFnt("CharacterData { char = ", "f.fnt").characters.at(0).code, 0);
    EXPECT_EQ(Rect(ParseFnt("CharacterData { rect = (1, 2", "f.fnt").characters.at(0).rect),
              (std::vector<int32_t>{1, 2, 0, 0}));
    EXPECT_EQ(Rect(ParseFnt("CharacterData { rect = (1,", "f.fnt").characters.at(0).rect),
              (std::vector<int32_t>{1, 0, 0, 0}));
    EXPECT_EQ(Rect(ParseFnt("CharacterData { rect = (", "f.fnt").characters.at(0).rect),
              (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(ParseFnt("PaletteData { image = \"x.png", "f.fnt").palettes.at(0).image, "x.png");
    EXPECT_TRUE(ParseFnt("CharacterData { visible = fals", "f.fnt").characters.at(0).visible == false);
    // A value is looked for inside its own block only.
    const FntFile split = ParseFnt("CharacterData { char = } CharacterData { char = 7 }", "f.fnt");
    ASSERT_EQ(split.characters.size(), 2u);
    EXPECT_EQ(split.characters[0].code, 0);
    EXPECT_EQ(split.characters[1].code, 7);
    // A comment marker at the very end, a lone brace, an empty text.
    EXPECT_TRUE(ParseFnt("/", "f.fnt").characters.empty());
    EXPECT_TRUE(ParseFnt("}{=", "f.fnt").characters.empty());
    EXPECT_TRUE(ParseFnt("", "").palettes.empty());
}

TEST(FontTable, MissingFontsAndGlyphsFallBackInsideTheTables) {
    ResetFonts();
    CaptureConsole console;
    EXPECT_EQ(FindFont("Any"), -1);
    EXPECT_NE(console.Text().find("Unable to find Font Any in loaded fonts list"), std::string::npos);
    // A font without glyphs and one whose first glyph stands in for missing ones.
    g_fonts.count = 2;
    CopyFontName(g_fonts.fonts[0].name, "Empty");
    CopyFontName(g_fonts.fonts[1].name, "A font name of more than thirty-one characters");
    EXPECT_STREQ(g_fonts.fonts[1].name, "A font name of more than thirty");
    g_fonts.fonts[1].characters = new Glyph[2]{{65, 1, 2, 3, 4, true}, {32, 0, 0, 5, 9, true}};
    g_fonts.fonts[1].characterCount = 2;
    EXPECT_EQ(FindFont("A font name of more than thirty"), 1);
    EXPECT_EQ(FindGlyph(1, 32).right, 5);
    console.Clear();
    EXPECT_EQ(FindGlyph(1, 200).code, 65);
    EXPECT_NE(console.Text().find("Unable to find Character 200 in loaded fonts list"), std::string::npos);
    const Glyph& none = FindGlyph(0, 32);
    EXPECT_EQ(none.right - none.left, 0);
    EXPECT_EQ(FindGlyph(-1, 32).bottom, 0);
    EXPECT_EQ(FindGlyph(kFontSlots, 32).bottom, 0);
    ResetFonts();
    EXPECT_EQ(g_fonts.count, 0);
    EXPECT_EQ(g_fonts.fonts[1].characters, nullptr);
}

}  // namespace
