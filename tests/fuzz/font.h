// FNT reader on arbitrary text: every read ends, nothing is read outside the text, and the glyph
// lookups of a font made from what was read stay inside its table.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/font.h"
#include "tests/fuzz/quiet_console.h"

inline int FuzzFont(const uint8_t* data, size_t size) {
    QuietConsole quiet;
    // An exact-size heap copy, so AddressSanitizer sees any read past the end.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const FntFile file = ParseFnt(text, "SCRIPT/FONT/font.fnt");
    // Every block needs its own '{'.
    if (file.palettes.size() + file.characters.size() > size) __builtin_trap();
    if (file.fontName.size() > size) __builtin_trap();
    for (const FntPalette& palette : file.palettes) {
        if (palette.image.size() > size + 12) __builtin_trap();
    }
    // The glyphs as an installed font holds them, looked up as layout does.
    ResetFonts();
    Font& font = g_fonts.fonts[0];
    CopyFontName(font.name, file.fontName.c_str());
    font.characterCount = static_cast<int32_t>(file.characters.size() < 64 ? file.characters.size() : 64);
    font.characters = new Glyph[font.characterCount + 1];
    for (int32_t i = 0; i < font.characterCount; ++i) {
        const FntCharacter& c = file.characters[static_cast<size_t>(i)];
        font.characters[i] = {c.code, c.rect[0], c.rect[1], c.rect[2], c.rect[3], c.visible};
    }
    g_fonts.count = 1;
    if (FindFont(font.name) != 0) __builtin_trap();
    for (uint32_t code : {0u, 32u, 65u, 255u}) {
        const Glyph& glyph = FindGlyph(0, code);
        if (font.characterCount > 0 && (&glyph < font.characters || &glyph >= font.characters + font.characterCount))
            __builtin_trap();
    }
    ResetFonts();
    return 0;
}
