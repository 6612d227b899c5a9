#include "tests/support/capture_stdout.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

CaptureStdout::CaptureStdout() {
    std::fflush(stdout);
    char pattern[] = "/tmp/sparrel-stdout-XXXXXX";
    fileDescriptor_ = mkstemp(pattern);
    if (fileDescriptor_ < 0) throw std::runtime_error("mkstemp failed");
    unlink(pattern);
    savedDescriptor_ = dup(STDOUT_FILENO);
    dup2(fileDescriptor_, STDOUT_FILENO);
}

CaptureStdout::~CaptureStdout() {
    Finish();
}

std::string CaptureStdout::Finish() {
    if (savedDescriptor_ < 0) return text_;
    std::fflush(stdout);
    dup2(savedDescriptor_, STDOUT_FILENO);
    close(savedDescriptor_);
    savedDescriptor_ = -1;
    lseek(fileDescriptor_, 0, SEEK_SET);
    char buffer[4096];
    ssize_t got;
    while ((got = read(fileDescriptor_, buffer, sizeof buffer)) > 0)
        text_.append(buffer, static_cast<size_t>(got));
    close(fileDescriptor_);
    fileDescriptor_ = -1;
    return text_;
}
