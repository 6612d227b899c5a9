#include "script/text_narrow.h"

#include <cstdint>
#include <cstdlib>

#ifdef _WIN32

// wchar_t holds UTF-16 here; the runtime converts to the code page of the current locale.
std::string TextToNarrow(std::u16string_view text) {
    std::wstring wide(text.begin(), text.end());
    size_t length = std::wcstombs(nullptr, wide.c_str(), 0);
    if (length == static_cast<size_t>(-1)) return kBadDataText;
    std::string narrow(length, '\0');
    std::wcstombs(narrow.data(), wide.c_str(), length);
    return narrow;
}

std::u16string NarrowToText(std::string_view narrow) {
    std::string copy(narrow);
    size_t length = std::mbstowcs(nullptr, copy.c_str(), 0);
    if (length == static_cast<size_t>(-1)) {
        std::u16string text;
        for (char byte : copy)
            text.push_back(static_cast<unsigned char>(byte) < 0x80 ? static_cast<char16_t>(byte) : u'\uFFFD');
        return text;
    }
    std::wstring wide(length, L'\0');
    std::mbstowcs(wide.data(), copy.c_str(), length);
    return std::u16string(wide.begin(), wide.end());
}

#else

std::string TextToNarrow(std::u16string_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        if (code == 0) break;
        if (code >= 0xD800 && code <= 0xDFFF) {
            if (code >= 0xDC00 || i + 1 == text.size()) return kBadDataText;
            uint32_t low = text[i + 1];
            if (low < 0xDC00 || low > 0xDFFF) return kBadDataText;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            narrow.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            narrow.push_back(static_cast<char>(0xC0 | (code >> 6)));
            narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            narrow.push_back(static_cast<char>(0xE0 | (code >> 12)));
            narrow.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            narrow.push_back(static_cast<char>(0xF0 | (code >> 18)));
            narrow.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            narrow.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return narrow;
}

std::u16string NarrowToText(std::string_view narrow) {
    std::u16string text;
    text.reserve(narrow.size());
    size_t i = 0;
    while (i < narrow.size()) {
        const uint32_t lead = static_cast<unsigned char>(narrow[i]);
        uint32_t code = lead;
        size_t count = 0;
        uint32_t minimum = 0;
        if (lead >= 0xF0 && lead <= 0xF4) {
            code = lead & 0x07;
            count = 3;
            minimum = 0x10000;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            code = lead & 0x0F;
            count = 2;
            minimum = 0x800;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            code = lead & 0x1F;
            count = 1;
            minimum = 0x80;
        } else if (lead >= 0x80) {
            text.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        size_t taken = 0;
        while (taken < count && i + 1 + taken < narrow.size()) {
            const uint32_t next = static_cast<unsigned char>(narrow[i + 1 + taken]);
            if ((next & 0xC0) != 0x80) break;
            code = (code << 6) | (next & 0x3F);
            ++taken;
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not characters.
        if (taken < count || code < minimum || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            text.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            text.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
        i += 1 + count;
    }
    return text;
}

#endif
