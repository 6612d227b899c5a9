#pragma once
// Records what ConsolePrintf writes, as (attribute, text) segments.

#include <cstdint>
#include <string>
#include <vector>

#include "app/console.h"

struct ConsoleSegment {
    uint8_t attribute;
    std::string text;
    bool operator==(const ConsoleSegment&) const = default;
};

class CaptureConsole final : public ConsoleSink {
public:
    // Installs itself for its lifetime and restores the previous sink afterwards.
    CaptureConsole();
    ~CaptureConsole() override;

    void SetAttribute(uint8_t attribute) override;
    void Write(const char* text, size_t length) override;

    // Segments with their attribute; consecutive writes under one attribute are joined,
    // empty segments are dropped.
    std::vector<ConsoleSegment> Segments() const;
    // All text as a plain sink would write it.
    std::string Text() const { return text_; }
    void Clear();

private:
    ConsoleSink* previous_;
    uint8_t attribute_ = kDefaultConsoleAttribute;
    std::vector<ConsoleSegment> segments_;
    std::string text_;
};
