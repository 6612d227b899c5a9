#include "base/platform.h"

#include <cstdlib>

#include "base/console.h"

PlatformState g_platform;

Platform& GetPlatform() {
    if (g_platform.platform == nullptr) std::abort();  // start-up installs one before anything runs
    return *g_platform.platform;
}

void SetPlatform(Platform* platform) { g_platform.platform = platform; }

int Platform::MessageBox(void*, const char* text, const char* caption, uint32_t) {
    ConsolePrintf("\nredblack{%s:} yellowblack{%s}", caption != nullptr ? caption : "", text != nullptr ? text : "");
    return 1;
}

int ShowMessageBox(void* owner, const char* text, const char* caption, uint32_t style) {
    if (g_platform.platform != nullptr) return g_platform.platform->MessageBox(owner, text, caption, style);
    ConsolePrintf("\nredblack{%s:} yellowblack{%s}", caption != nullptr ? caption : "", text != nullptr ? text : "");
    return 1;
}

void PlatformExitProcess(unsigned exitCode) {
    GetPlatform().ExitProcess(exitCode);
    std::abort();  // a platform's ExitProcess does not come back
}

namespace {

// Days from 1970-01-01 to the given civil date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

}  // namespace

int64_t LocalTimeSeconds() {
    const PlatformLocalTime t = GetPlatform().GetLocalTime();
    const int64_t days = DaysFromCivil(t.year, t.month, t.day);
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}
