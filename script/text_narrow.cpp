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

#endif
