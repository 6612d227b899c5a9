#pragma once
// Records what the program writes to the standard output stream (for example through the script
// builtin print) while it lives.

#include <string>

class CaptureStdout {
public:
    CaptureStdout();
    ~CaptureStdout();
    CaptureStdout(const CaptureStdout&) = delete;
    CaptureStdout& operator=(const CaptureStdout&) = delete;

    // Stops recording (once) and returns everything written meanwhile.
    std::string Finish();

private:
    int savedDescriptor_ = -1;
    int fileDescriptor_ = -1;
    std::string text_;
};
