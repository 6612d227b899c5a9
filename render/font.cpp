#include "render/font.h"

#include <cstring>
#include <new>
#include <string_view>

#include "base/console.h"
#include "base/text_file.h"

FontTable g_fonts;

namespace {

// The characters of keys and block keywords: codes 65 to 122.
bool IsKeyChar(char c) {
    return c >= 'A' && c <= 'z';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int32_t Saturated(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Comments run from "//" to the end of the line, whatever they stand in.
std::string WithoutComments(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n') ++i;
            if (i < text.size()) out += '\n';
            continue;
        }
        out += text[i];
    }
    return out;
}

class FntReader {
public:
    FntReader(const std::string& text, const std::string& path) : text_(WithoutComments(text)), path_(path) {}

    FntFile Read() {
        FntFile font;
        const size_t n = text_.size();
        for (size_t i = 0; i < n; ++i) {
            const char c = text_[i];
            if (c == '{') {
                const std::string_view keyword = KeyBefore(i, 0);
                const size_t close = MatchingBrace(i);
                if (keyword == "PaletteData") {
                    font.palettes.push_back({});
                    ReadBlock(i, close, [&](std::string_view key, size_t at, size_t end) {
                        return PaletteEntry(font.palettes.back(), key, at, end);
                    });
                } else if (keyword == "CharacterData") {
                    font.characters.push_back({});
                    ReadBlock(i, close, [&](std::string_view key, size_t at, size_t end) {
                        return CharacterEntry(font.characters.back(), key, at, end);
                    });
                }
                // Other blocks are skipped whole: their entries are not the top level's.
                i = close;
            } else if (c == '=' && KeyBefore(i, 0) == "font_name") {
                i = ReadString(i + 1, n, font.fontName);
            }
        }
        return font;
    }

private:
    // The run of key characters nearest before `at` (not before `floor`), whatever stands between.
    std::string_view KeyBefore(size_t at, size_t floor) const {
        size_t end = at;
        while (end > floor && !IsKeyChar(text_[end - 1])) --end;
        size_t begin = end;
        while (begin > floor && IsKeyChar(text_[begin - 1])) --begin;
        return std::string_view(text_).substr(begin, end - begin);
    }

    // The brace closing the one at `open`, or the end of the text.
    size_t MatchingBrace(size_t open) const {
        int64_t depth = 0;
        for (size_t i = open; i < text_.size(); ++i) {
            if (text_[i] == '{') ++depth;
            if (text_[i] == '}' && --depth == 0) return i;
        }
        return text_.size();
    }

    // Entries at depth 1 between the braces; `entry` reads the value after an '=' and returns where
    // it ended, never past the block.
    template <typename Entry>
    void ReadBlock(size_t open, size_t close, Entry entry) const {
        int64_t depth = 1;
        for (size_t i = open + 1; i < close; ++i) {
            const char c = text_[i];
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                --depth;
            } else if (c == '=' && depth == 1) {
                i = entry(KeyBefore(i, open + 1), i + 1, close);
            }
        }
    }

    size_t PaletteEntry(FntPalette& palette, std::string_view key, size_t at, size_t end) const {
        if (key == "id") return ReadInteger(at, end, palette.id);
        if (key == "rect") return ReadRect(at, end, palette.rect);
        if (key == "image") {
            const size_t last = ReadString(at, end, palette.image);
            ResolveImagePath(palette.image);
            return last;
        }
        return at - 1;
    }

    size_t CharacterEntry(FntCharacter& character, std::string_view key, size_t at, size_t end) const {
        if (key == "char") return ReadInteger(at, end, character.code);
        if (key == "rect") return ReadRect(at, end, character.rect);
        if (key == "palette") return ReadInteger(at, end, character.palette);
        if (key == "visible") {
            while (at < end && !(text_[at] >= 'a' && text_[at] <= 'z')) ++at;
            size_t stop = at;
            while (stop < end && text_[stop] >= 'a' && text_[stop] <= 'z') ++stop;
            character.visible = std::string_view(text_).substr(at, stop - at) == "true";
            return stop - 1;
        }
        return at - 1;
    }

    // The characters between the next two double quotes before `end`; an unclosed quote takes the
    // rest. Returns the position of the closing quote (or of the last character read).
    size_t ReadString(size_t at, size_t end, std::string& out) const {
        while (at < end && text_[at] != '"') ++at;
        if (at >= end) return end - 1;
        size_t close = at + 1;
        while (close < end && text_[close] != '"') ++close;
        out.assign(text_, at + 1, close - at - 1);
        return close < end ? close : end - 1;
    }

    // The first run of decimal digits, read with a leading 0 as octal.
    size_t ReadInteger(size_t at, size_t end, int32_t& out) const {
        while (at < end && !IsDigit(text_[at])) ++at;
        size_t stop = at;
        while (stop < end && IsDigit(text_[stop])) ++stop;
        if (at == stop) return end - 1;
        const int base = text_[at] == '0' ? 8 : 10;
        int64_t value = 0;
        for (size_t k = at; k < stop && text_[k] - '0' < base; ++k) {
            if (value <= INT32_MAX) value = value * base + (text_[k] - '0');
        }
        out = Saturated(value);
        return stop - 1;
    }

    // A number as the runtime's automatic base reads it: spaces, a sign, 0x hexadecimal or a leading
    // 0 octal, up to the first character that does not belong. Saturates at the 32-bit range.
    int32_t ReadAutoBase(size_t& at, size_t end) const {
        while (at < end && IsSpace(text_[at])) ++at;
        bool negative = false;
        if (at < end && (text_[at] == '+' || text_[at] == '-')) negative = text_[at++] == '-';
        int base = 10;
        if (at < end && text_[at] == '0') {
            base = 8;
            const bool hexDigitFollows =
                at + 2 < end && (text_[at + 1] == 'x' || text_[at + 1] == 'X') && DigitValue(text_[at + 2]) < 16;
            if (hexDigitFollows) {
                base = 16;
                at += 2;
            }
        }
        int64_t value = 0;
        for (; at < end && DigitValue(text_[at]) < base; ++at) {
            if (value <= INT64_C(1) << 32) value = value * base + DigitValue(text_[at]);
        }
        return Saturated(negative ? -value : value);
    }

    static int DigitValue(char c) {
        if (IsDigit(c)) return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return 99;
    }

    // "(left, top, right, bottom)": a number after the parenthesis and after each comma up to the
    // closing one; numbers past the fourth are read and dropped.
    size_t ReadRect(size_t at, size_t end, int32_t (&rect)[4]) const {
        while (at < end && text_[at] != '(') ++at;
        if (at >= end) return end - 1;
        ++at;
        int32_t values[4] = {0, 0, 0, 0};
        size_t index = 0;
        for (;;) {
            const int32_t value = ReadAutoBase(at, end);
            if (index < 4) values[index] = value;
            ++index;
            while (at < end && text_[at] != ',' && text_[at] != ')') ++at;
            if (at >= end || text_[at] == ')') break;
            ++at;  // past the comma
        }
        std::memcpy(rect, values, sizeof values);
        return at < end ? at : end - 1;
    }

    void ResolveImagePath(std::string& image) const {
        if (image.rfind("./", 0) != 0) return;
        const size_t slash = path_.rfind('/');
        image = (slash == std::string::npos ? std::string() : path_.substr(0, slash + 1)) + image.substr(2);
    }

    const std::string text_;
    const std::string& path_;
};

const Glyph kEmptyGlyph = {0, 0, 0, 0, 0, false};

}  // namespace

FntFile ParseFnt(const std::string& text, const std::string& fntPath) {
    return FntReader(text, fntPath).Read();
}

bool LoadFnt(const std::string& path, FntFile& font) {
    std::string text;
    if (!LoadTextFile(path, text)) {
        ConsolePrintf(
            "\nredblack{LoadFNT error:} yellowblack{Could not load FNT file:} aquablack{%s} "
            "yellowblack{(IfStream failure)}",
            path.c_str());
        font = FntFile{};
        return false;
    }
    font = ParseFnt(text, path);
    return true;
}

void CopyFontName(char (&field)[kFontNameBytes], const char* name) {
    std::strncpy(field, name, kFontNameBytes - 1);
    field[kFontNameBytes - 1] = '\0';
}

void ResetFonts() {
    for (Font& font : g_fonts.fonts) {
        delete[] font.characters;
        font = Font{};
    }
    g_fonts.count = 0;
}

void InstallFont(const char* path) {
    if (g_fonts.count >= kFontSlots) {
        ConsolePrintf(
            "\nredblack{SysTextFont error:} yellowblack{Unable to install font} aquablack{%s}yellowblack{, all} "
            "aquablack{%i} yellowblack{font entries are in use}",
            path, kFontSlots);
        return;
    }
    FntFile file;
    if (!LoadFnt(path, file)) return;
    if (file.palettes.empty()) {
        ConsolePrintf(
            "\nblueblack{Font system warning:} yellowblack{Font file} aquablack{%s} yellowblack{has no} "
            "aquablack{PaletteData} yellowblack{block and is not installed}",
            path);
        return;
    }
    Font& font = g_fonts.fonts[g_fonts.count];
    font = Font{};
    CopyFontName(font.name, file.fontName.c_str());
    std::memcpy(font.paletteRect, file.palettes.front().rect, sizeof font.paletteRect);
    font.texture = GetTexture(file.palettes.front().image.c_str());
    const size_t count = file.characters.size();
    font.characters = new (std::nothrow) Glyph[count == 0 ? 1 : count];
    if (font.characters == nullptr) {
        ConsolePrintf(
            "\nredblack{SysTextFont error:} yellowblack{Unable to allocate memory for character data on font} "
            "aquablack{%s}",
            font.name);
        ReleaseTextureHandle(font.texture);
        font = Font{};
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        const FntCharacter& c = file.characters[i];
        font.characters[i] = {c.code, c.rect[0], c.rect[1], c.rect[2], c.rect[3], c.visible};
    }
    font.characterCount = static_cast<int32_t>(count);
    ++g_fonts.count;
}

int32_t FindFont(const char* name) {
    for (int32_t i = 0; i < g_fonts.count; ++i) {
        if (std::strcmp(g_fonts.fonts[i].name, name) == 0) return i;
    }
    ConsolePrintf(
        "\nblueblack{Font system warning:} yellowblack{Unable to find Font} aquablack{%s} yellowblack{in loaded "
        "fonts list}",
        name);
    return -1;
}

const Glyph& FindGlyph(int32_t font, uint32_t code) {
    if (font < 0 || font >= g_fonts.count) return kEmptyGlyph;
    const Font& f = g_fonts.fonts[font];
    for (int32_t i = 0; i < f.characterCount; ++i) {
        if (static_cast<uint32_t>(f.characters[i].code) == code) return f.characters[i];
    }
    ConsolePrintf(
        "\nblueblack{Font system warning:} yellowblack{Unable to find Character} aquablack{%u} yellowblack{in loaded "
        "fonts list}",
        code);
    return f.characterCount > 0 ? f.characters[0] : kEmptyGlyph;
}
