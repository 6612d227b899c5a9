#pragma once
// Counting and copying of UTF-16 text for widebridge, in plain C over fixed-width integers so that
// the library and the native unit tests share it. On Windows the characters are WCHAR.
#include <stdint.h>

#ifdef _WIN32
typedef wchar_t WidebridgeChar;
#else
typedef uint16_t WidebridgeChar;
#endif

static inline int WidebridgeLength(const WidebridgeChar* text) {
    int length = 0;
    while (text[length] != 0) ++length;
    return length;
}

// Bytes for the ANSI form of `length` characters: every character may take two bytes in a
// double-byte code page, and the terminator needs one more.
static inline int WidebridgeAnsiBytes(int length) { return 2 * length + 1; }

// Copies the whole text with its terminator (count < 0), or at most count - 1 characters and a
// terminator (count > 0).
static inline void WidebridgeCopy(WidebridgeChar* destination, const WidebridgeChar* source, int count) {
    int i = 0;
    for (; (count < 0 || i < count - 1) && source[i] != 0; ++i) destination[i] = source[i];
    destination[i] = 0;
}

// Bytes of an environment block (terminated strings closed by an empty one), the final
// terminator included.
static inline int WidebridgeBlockLength(const char* block) {
    const char* p = block;
    while (*p != 0) {
        while (*p != 0) ++p;
        ++p;
    }
    return (int)(p - block) + 1;
}

// A computer name holds letters, digits and ! # $ % & ' ( ) - . @ ^ _ { } ~ only.
static inline int WidebridgeValidComputerName(const WidebridgeChar* name) {
    for (; *name != 0; ++name) {
        const unsigned c = (unsigned)*name;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) continue;
        int allowed = 0;
        for (const char* p = "!#$%&'()-.@^_{}~"; *p != 0; ++p) allowed = allowed || c == (unsigned char)*p;
        if (!allowed) return 0;
    }
    return 1;
}
