#pragma once
// Bitmap fonts: the FNT text format (a name, palettes naming an image, glyph rectangles on it) and
// the table of the 8 fonts scripts install. Text is drawn by cutting glyph rectangles from the font's
// texture.

#include <cstdint>
#include <string>
#include <vector>

#include "render/texture.h"

inline constexpr int kFontSlots = 8;
// Font names, in fonts and texts alike, hold up to 31 characters; longer names are cut.
inline constexpr int kFontNameBytes = 32;

struct FntPalette {
    int32_t id = 0;
    std::string image;  // "./" already resolved against the FNT file's folder
    int32_t rect[4] = {0, 0, 0, 0};
};

struct FntCharacter {
    int32_t code = 0;
    int32_t rect[4] = {0, 0, 0, 0};  // left, top, right, bottom in texels
    bool visible = true;
    int32_t palette = 0;
};

struct FntFile {
    std::string fontName;
    std::vector<FntPalette> palettes;      // in file order
    std::vector<FntCharacter> characters;  // in file order
};

// Reads an FNT text; `fntPath` resolves "./" image paths. Every value, block and list ends at the
// end of the text (or of its block) when it is not closed.
FntFile ParseFnt(const std::string& text, const std::string& fntPath);
// Reads and parses the file; false with the LoadFNT error when it cannot be read.
bool LoadFnt(const std::string& path, FntFile& font);

struct Glyph {
    int32_t code;
    int32_t left, top, right, bottom;
    bool visible;
};

struct Font {
    int32_t paletteRect[4];
    TextureHandle* texture;  // may be null when the image could not be read
    int32_t characterCount;
    Glyph* characters;  // characterCount glyphs, owned
    char name[kFontNameBytes];
};

struct FontTable {
    Font fonts[kFontSlots];
    int32_t count;
};
extern FontTable g_fonts;

// Frees the glyph arrays and forgets the fonts; their textures are dropped without release (tests
// reset the texture manager beside it).
void ResetFonts();

// Parses the file and installs it in the next entry. Refused, with a message, when all entries are in
// use, the file cannot be read, it has no palette or its glyphs cannot be allocated.
void InstallFont(const char* path);
// The index of the first font of that exact name, else -1 with a warning.
int32_t FindFont(const char* name);
// The font's first glyph of that code, else the font's first glyph with a warning; a font without any
// glyph (or a bad index) gives an empty glyph, so callers never read outside a table.
const Glyph& FindGlyph(int32_t font, uint32_t code);

// Copies a name into a name field, cut to its 31 characters.
void CopyFontName(char (&field)[kFontNameBytes], const char* name);
