#include "script/multibyte.h"

#include <cstdint>

#ifdef _WIN32
#include <cwchar>
#endif

namespace {

constexpr char16_t kReplacement = 0xFFFD;

#ifndef _WIN32

void AppendCodePoint(std::u16string& out, uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

std::u16string DecodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t lead = static_cast<uint8_t>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int trailing;
        uint32_t cp;
        // The accepted range of the first continuation byte rules out overlong forms, surrogates and
        // values above U+10FFFF before any byte is consumed.
        uint8_t low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trailing = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2;
            cp = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailing = 3;
            cp = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        ++i;
        bool complete = true;
        for (int k = 0; k < trailing; ++k) {
            const uint8_t b = i < n ? static_cast<uint8_t>(bytes[i]) : 0;
            if (i >= n || b < low || b > high) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
            low = 0x80;
            high = 0xBF;
            ++i;
        }
        if (complete) {
            AppendCodePoint(out, cp);
        } else {
            out.push_back(kReplacement);
        }
    }
    return out;
}

#else

std::u16string DecodeAnsi(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::mbstate_t state{};
    size_t i = 0;
    while (i < bytes.size()) {
        wchar_t unit = 0;
        const size_t used = std::mbrtowc(&unit, bytes.data() + i, bytes.size() - i, &state);
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2)) {
            out.push_back(kReplacement);
            state = std::mbstate_t{};
            ++i;
            continue;
        }
        out.push_back(static_cast<char16_t>(unit));
        i += used == 0 ? 1 : used;
    }
    return out;
}

#endif

}  // namespace

std::u16string MultibyteToWide(std::string_view bytes) {
#ifdef _WIN32
    return DecodeAnsi(bytes);
#else
    return DecodeUtf8(bytes);
#endif
}
