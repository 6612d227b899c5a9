#pragma once
// Whole-file text reading and writing for scripts and tool input and output.

#include <string>

// Returns the whole content of the file with CR LF read as LF, the same on every platform.
// On failure prints "CLI Error: Failed to read file" and returns an empty string.
std::string ReadTextFile(const std::string& path);

// Creates or truncates the file and writes `text`. On failure prints "CLI Error: Failed to write file".
void WriteTextFile(const std::string& path, const std::string& text);
