#pragma once
// Conversion of script text (multibyte) to the engine's wide strings (UTF-16 code units).
//
// Linux: script files are UTF-8. Each well-formed sequence becomes its code point (two units above
// U+FFFF). Ill-formed input never fails: every maximal ill-formed subpart (a byte that cannot start a
// sequence, a sequence cut short, an overlong form, a surrogate or a value above U+10FFFF) becomes one
// U+FFFD and decoding resumes at the next byte that was not part of it, as web browsers decode.
//
// Windows: script files are text in the ANSI code page. The conversion is the C runtime's mbrtowc
// (wchar_t is a UTF-16 unit there) under the current LC_CTYPE locale; the Windows build assumes that
// locale is the user's ANSI code page, which `setlocale(LC_CTYPE, "")` at start-up selects. Bytes the
// runtime rejects become U+FFFD one by one, as above.

#include <cstddef>
#include <string>
#include <string_view>

std::u16string MultibyteToWide(std::string_view bytes);
