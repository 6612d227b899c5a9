#pragma once
// Records what ConsolePrintf writes, as (attribute, text) segments, and what scripts print.

#include <cstdint>
#include <string>
#include <vector>

#include "base/console.h"

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

// Records what scripts print (the output sink) while it lives.
class CaptureOutput final : public OutputSink {
public:
    CaptureOutput() : previous_(SetOutputSink(this)) {}
    ~CaptureOutput() override { SetOutputSink(previous_); }
    CaptureOutput(const CaptureOutput&) = delete;
    CaptureOutput& operator=(const CaptureOutput&) = delete;

    void Write(const char* text, size_t length) override { text_.append(text, length); }
    const std::string& Text() const { return text_; }

private:
    OutputSink* previous_;
    std::string text_;
};
