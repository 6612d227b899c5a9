#pragma once
// The few checks the library probes need: each failure is printed with its line on standard output
// and counted; the exit code is the number of failures, so that the test under Wine shows them all.
#include <cstdio>
#include <cstring>

#include "platform/win32/win32_api.h"

inline int g_failures = 0;
inline const char* g_group = "";

inline void Fail(int line, const char* what, long long actual, long long expected) {
    ++g_failures;
    std::printf("FAIL %s line %d: %s (got %lld, expected %lld)\n", g_group, line, what, actual, expected);
}

#define CHECK(condition)                                   \
    do {                                                   \
        if (!(condition)) Fail(__LINE__, #condition, 0, 1); \
    } while (0)
#define CHECK_EQ(actual, expected)                                                                  \
    do {                                                                                            \
        const long long a_ = (long long)(actual);                                      \
        const long long e_ = (long long)(expected);              \
        if (a_ != e_) Fail(__LINE__, #actual " == " #expected, a_, e_);                              \
    } while (0)

// An export of a library loaded by the probe, typed after the kernel32 declaration of the name.
template <typename Function>
Function Export(HMODULE library, const char* name) {
    FARPROC found = library != nullptr ? GetProcAddress(library, name) : nullptr;
    if (found == nullptr) {
        ++g_failures;
        std::printf("FAIL %s: no export %s\n", g_group, name);
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// Loads a library named on the command line; the path may use '/'.
inline HMODULE LoadNamed(const char* path) {
    HMODULE library = LoadLibraryA(path);
    if (library == nullptr) std::printf("FAIL cannot load %s (error %lu)\n", path, GetLastError());
    return library;
}
