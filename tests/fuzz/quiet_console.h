#pragma once
// Fuzz inputs provoke many diagnostics: they are rendered (so the printer is exercised) but dropped
// while one input runs.

#include "base/console.h"

class QuietConsole final : public ConsoleSink {
public:
    QuietConsole() : previous_(SetConsoleSink(this)) {}
    ~QuietConsole() override { SetConsoleSink(previous_); }
    void SetAttribute(uint8_t) override {}
    void Write(const char*, size_t) override {}

private:
    ConsoleSink* previous_;
};
