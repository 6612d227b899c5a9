#include "tests/support/capture_console.h"

CaptureConsole::CaptureConsole() : previous_(SetConsoleSink(this)) {}

CaptureConsole::~CaptureConsole() { SetConsoleSink(previous_); }

void CaptureConsole::SetAttribute(uint8_t attribute) { attribute_ = attribute; }

void CaptureConsole::Write(const char* text, size_t length) {
    if (length == 0) return;
    text_.append(text, length);
    if (!segments_.empty() && segments_.back().attribute == attribute_) {
        segments_.back().text.append(text, length);
    } else {
        segments_.push_back({attribute_, std::string(text, length)});
    }
}

std::vector<ConsoleSegment> CaptureConsole::Segments() const { return segments_; }

void CaptureConsole::Clear() {
    segments_.clear();
    text_.clear();
}
