#include "platform/headless/headless_platform.h"

#include <cstdio>
#include <cstdlib>

void HeadlessPlatform::ExitProcess(unsigned exitCode) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(static_cast<int>(exitCode));
}

PlatformLocalTime HeadlessPlatform::GetLocalTime() {
    // Virtual time counts from kStartTime; a run never lasts beyond its first month.
    PlatformLocalTime t = kStartTime;
    const int64_t ms = microseconds_ / 1000;
    t.milliseconds = static_cast<uint16_t>(ms % 1000);
    const int64_t seconds = ms / 1000;
    t.second = static_cast<uint16_t>(seconds % 60);
    t.minute = static_cast<uint16_t>(seconds / 60 % 60);
    t.hour = static_cast<uint16_t>(seconds / 3600 % 24);
    const int64_t days = seconds / 86400;
    t.day = static_cast<uint16_t>(t.day + days % 28);
    t.dayOfWeek = static_cast<uint16_t>((t.dayOfWeek + days) % 7);
    return t;
}

int16_t HeadlessPlatform::GetKeyState(int virtualKey) {
    return keyDown_[virtualKey & 0xFF] ? static_cast<int16_t>(0x8000 | 1) : 0;
}

std::vector<HeadlessPlatform::DueKeyEvent> HeadlessPlatform::TakeKeyEvents(uint32_t frame) {
    std::vector<DueKeyEvent> due;
    std::vector<ScriptedKeyEvent> later;
    for (const ScriptedKeyEvent& event : events_) {
        if (event.frame > frame) {
            later.push_back(event);
            continue;
        }
        due.push_back({event.virtualKey, event.down, keyDown_[event.virtualKey]});
        keyDown_[event.virtualKey] = event.down;
    }
    events_ = std::move(later);
    return due;
}

bool ParseScriptedKeyEvent(const std::string& text, ScriptedKeyEvent& event) {
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) return false;
    const std::string frame = text.substr(0, first);
    const std::string key = text.substr(first + 1, second - first - 1);
    const std::string action = text.substr(second + 1);
    char* end = nullptr;
    const unsigned long frameNumber = std::strtoul(frame.c_str(), &end, 10);
    if (frame.empty() || *end != '\0' || frame[0] == '-' || frameNumber > 0xFFFFFFFFul) return false;
    const unsigned long keyCode = std::strtoul(key.c_str(), &end, 0);
    if (key.empty() || *end != '\0' || key[0] == '-' || keyCode > 0xFF) return false;
    if (action != "down" && action != "up") return false;
    event =
        ScriptedKeyEvent{static_cast<uint32_t>(frameNumber), static_cast<uint8_t>(keyCode), action == "down"};
    return true;
}

int32_t HeadlessPlatform::GetWindowLong(void*, int index) {
    if (index == kWindowLongStyle) return style_;
    if (index == kWindowLongExStyle) return exStyle_;
    return 0;
}

int32_t HeadlessPlatform::SetWindowLong(void* window, int index, int32_t value) {
    const int32_t previous = GetWindowLong(window, index);
    if (index == kWindowLongStyle) style_ = value;
    if (index == kWindowLongExStyle) exStyle_ = value;
    return previous;
}

bool HeadlessPlatform::SetWindowPos(void*, intptr_t insertAfter, int x, int y, int width, int height,
                                    uint32_t flags) {
    placement_ = WindowPlacement{insertAfter, x, y, width, height, flags};
    return true;
}
