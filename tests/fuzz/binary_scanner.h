// Binary scanner on arbitrary bytes: no read outside the buffer, every scan ends.
#pragma once
#include "script/binary_scanner.h"

#include <cstddef>
#include <cstdint>

#include "script/token_file.h"
#include "tests/fuzz/quiet_console.h"

inline int FuzzBinaryScanner(const uint8_t* data, size_t size) {
    QuietConsole quiet;
    // An exact-size heap copy, so AddressSanitizer sees any read past the end.
    TokenBuffer buffer;
    buffer.bytes.assign(data, data + size);
    buffer.bytes.shrink_to_fit();

    ScannerToken token = StartScanner(buffer);
    for (size_t calls = 0;; ++calls) {
        if (calls > size + 1) __builtin_trap();
        const uint8_t* before = token.cursor;
        ReadScannerToken(token);
        if (token.cursor < before || token.cursor > token.end) __builtin_trap();
        if (token.kind == kShotDataEndOfText || token.kind == kShotDataInvalid) break;
        if (token.cursor == before) __builtin_trap();
    }

    ScanShotHeader(buffer);
    for (int index = -1; index < 4; ++index)
        ScanShotEntry(buffer, index);
    return 0;
}
