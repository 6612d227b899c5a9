#include "base/console.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

const char* const kConsoleColourNames[16] = {"black", "navy", "green", "teal",    "maroon", "purple",
                                             "olive", "silver", "gray", "blue",    "lime",   "aqua",
                                             "red",   "fuchsia", "yellow", "white"};

ConsoleState g_console;

namespace {

struct ColourPairTable {
    char names[256][16];
    size_t lengths[256];

    ColourPairTable() {
        for (int entry = 0; entry < 256; ++entry) {
            std::snprintf(names[entry], sizeof names[entry], "%s%s", kConsoleColourNames[entry % 16],
                          kConsoleColourNames[entry / 16]);
            lengths[entry] = std::strlen(names[entry]);
        }
    }
};

const ColourPairTable kPairs;

class PlainSink final : public ConsoleSink {
public:
    void SetAttribute(uint8_t) override {}
    void Write(const char* text, size_t length) override { std::fwrite(text, 1, length, stderr); }
};

struct LabelRecord {
    size_t contentStart;
    size_t contentEnd;  // one past the last content character (the position of the closing brace)
    int entry;
};

ConsoleSink& Sink() {
    if (!g_console.handleKnown) {
        g_console.handleKnown = true;
        if (g_console.sink == nullptr) g_console.sink = &PlainStdErrSink();
    }
    return *g_console.sink;
}

void WriteRange(ConsoleSink& sink, const char* buffer, size_t from, size_t to) {
    if (to > from) sink.Write(buffer + from, to - from);
}

}  // namespace

const char* ConsoleColourPairName(int entry) { return kPairs.names[entry & 0xFF]; }

ConsoleSink& PlainStdErrSink() {
    static PlainSink sink;
    return sink;
}

ConsoleSink* SetConsoleSink(ConsoleSink* sink) {
    ConsoleSink* previous = g_console.sink;
    g_console.sink = sink;
    g_console.handleKnown = sink != nullptr;
    return previous;
}

void ResetConsole() { g_console = ConsoleState{}; }

OutputState g_output;

OutputSink* SetOutputSink(OutputSink* sink) {
    OutputSink* previous = g_output.sink;
    g_output.sink = sink;
    return previous;
}

void WriteOutput(const char* text, size_t length) {
    if (g_output.sink != nullptr) {
        g_output.sink->Write(text, length);
        return;
    }
    std::fwrite(text, 1, length, stdout);
    std::fflush(stdout);
}

int ConsolePrintf(const char* format, ...) {
    ConsoleSink& sink = Sink();

    char buffer[kConsoleBufferBytes];
    va_list args;
    va_start(args, format);
    int formatted = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (formatted < 0) buffer[0] = '\0';
    const size_t length = std::strlen(buffer);

    // Label search in passes over the 256 pair names; a found label is masked so that the next
    // pass, which starts again at entry 0, finds the next one.
    LabelRecord labels[kMaxConsoleLabels];
    int labelCount = 0;
    bool found = true;
    while (found && labelCount < kMaxConsoleLabels) {
        found = false;
        for (int entry = 0; entry < 256; ++entry) {
            const char* name = std::strstr(buffer, kPairs.names[entry]);
            if (name == nullptr) continue;
            const char* open = std::strchr(name, '{');
            if (open == nullptr || open != name + kPairs.lengths[entry]) continue;
            const char* close = std::strchr(open + 1, '}');
            if (close == nullptr) {
                if (g_console.warningDepth == 0) {
                    ++g_console.warningDepth;
                    ConsolePrintf(
                        "\nblueblack{Color warning:} A starting color label named aquablack{%s} was "
                        "identified with no closing } bracket.\nFormat text: %s\nFull   text: %s\n"
                        "Position in full text: redblack{%d}\n",
                        kPairs.names[entry], format, buffer, static_cast<int>(name - buffer));
                    --g_console.warningDepth;
                }
                continue;
            }
            labels[labelCount++] = {static_cast<size_t>(open + 1 - buffer), static_cast<size_t>(close - buffer),
                                    entry};
            std::memset(const_cast<char*>(name), '#', kPairs.lengths[entry] + 1);
            buffer[close - buffer] = ' ';
            found = true;
            break;
        }
    }

    if (labelCount == 0) {
        WriteRange(sink, buffer, 0, length);
        return 0;
    }

    std::sort(labels, labels + labelCount,
              [](const LabelRecord& a, const LabelRecord& b) { return a.contentStart < b.contentStart; });
    sink.SetAttribute(kDefaultConsoleAttribute);
    size_t plainFrom = 0;
    for (int i = 0; i < labelCount; ++i) {
        const LabelRecord& label = labels[i];
        const size_t nameStart = label.contentStart - 1 - kPairs.lengths[label.entry];
        WriteRange(sink, buffer, plainFrom, nameStart);
        sink.SetAttribute(static_cast<uint8_t>(label.entry));
        WriteRange(sink, buffer, label.contentStart, label.contentEnd);
        sink.SetAttribute(kDefaultConsoleAttribute);
        plainFrom = std::max(plainFrom, label.contentEnd + 1);
    }
    WriteRange(sink, buffer, plainFrom, length);
    return 0;
}
