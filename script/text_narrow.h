#pragma once
// The narrow form of engine text, for console output and file paths: UTF-8 on Linux, the console code
// page on Windows. Text that cannot be converted (an unpaired surrogate, a character the code page
// lacks) becomes "(BAD-DATA)"; like the runtime's conversion, the text ends at its first NUL.

#include <string>
#include <string_view>

inline constexpr const char* kBadDataText = "(BAD-DATA)";

std::string TextToNarrow(std::u16string_view text);

// The other way, for names the system hands back (directory entries): narrow text read as UTF-8 on
// Linux, in the current code page on Windows. A byte that starts no valid sequence becomes U+FFFD.
std::u16string NarrowToText(std::string_view narrow);
