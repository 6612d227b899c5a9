#pragma once
// Fuzz targets print many diagnostics; they are rendered (so the printer is exercised) but dropped.

#include "app/console.h"

class QuietConsole final : public ConsoleSink {
public:
    QuietConsole() { SetConsoleSink(this); }
    void SetAttribute(uint8_t) override {}
    void Write(const char*, size_t) override {}
};
