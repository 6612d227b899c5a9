#pragma once
// The engine's one message function and the console sink it writes through; beside it, the sink of
// what scripts print.

#include <cstddef>
#include <cstdint>

// Receives the rendered segments of every console message, in order: attribute changes and text.
class ConsoleSink {
public:
    virtual ~ConsoleSink() = default;
    // Console text attribute: 16 x background + foreground, colour numbers 0 to 15.
    virtual void SetAttribute(uint8_t attribute) = 0;
    virtual void Write(const char* text, size_t length) = 0;
};

inline constexpr uint8_t kDefaultConsoleAttribute = 0x0F;
inline constexpr size_t kConsoleBufferBytes = 8192;
inline constexpr int kMaxConsoleLabels = 128;

// Colour names in console colour order (index = colour number).
extern const char* const kConsoleColourNames[16];

// Name of colour pair `entry` (0 to 255): foreground entry % 16, background entry / 16.
const char* ConsoleColourPairName(int entry);

struct ConsoleState {
    ConsoleSink* sink = nullptr;  // null until the first message: then the plain standard-error sink
    bool handleKnown = false;
    int warningDepth = 0;  // colour warnings are not raised while one is being printed
};
extern ConsoleState g_console;

// Installs `sink` for every later message and returns the one it replaces (null: none installed).
ConsoleSink* SetConsoleSink(ConsoleSink* sink);
void ResetConsole();

// The sink that writes plain text to the standard error stream and ignores attributes.
ConsoleSink& PlainStdErrSink();

// Receives what scripts print: the program's output, kept apart from its messages.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual void Write(const char* text, size_t length) = 0;
};

struct OutputState {
    OutputSink* sink = nullptr;  // null: the standard output stream, flushed after every write
};
extern OutputState g_output;

// Installs `sink` for every later output and returns the one it replaces (null: standard output).
OutputSink* SetOutputSink(OutputSink* sink);
void WriteOutput(const char* text, size_t length);

// printf-style formatting into an 8192-byte buffer, colour labels rendered, written to the sink.
int ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define ENGINE_ASSERT(condition)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ConsolePrintf(                                                                         \
                "\nredblack{Assertion failed} yellowblack{at} aquablack{%s} : aquablack{%i}\n"     \
                "yellowblack{Within function:} aquablack{%s}\nyellowblack{Condition:} aquablack{%s}", \
                __FILE__, __LINE__, __func__, #condition);                                         \
        }                                                                                          \
    } while (0)

#define ENGINE_ASSERT_MSG(condition, message)                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ConsolePrintf(                                                                         \
                "\nredblack{Assertion failed} yellowblack{at} aquablack{%s} : aquablack{%i}\n"     \
                "yellowblack{Within function:} aquablack{%s}\nyellowblack{Condition:} aquablack{%s}", \
                __FILE__, __LINE__, __func__, #condition);                                         \
            ConsolePrintf("\nyellowblack{Message:} aquablack{%s}", (message));                    \
        }                                                                                          \
    } while (0)
