#pragma once
// Whole-file text reading and writing for scripts and tool input and output.

#include <string>

// Reads the whole file into `text` with CR LF read as LF, the same on every platform. Returns false,
// printing nothing, when the file cannot be opened or read (`text` is then empty).
bool LoadTextFile(const std::string& path, std::string& text);

// Returns the whole content of the file with CR LF read as LF.
// On failure prints "CLI Error: Failed to read file" and returns an empty string.
std::string ReadTextFile(const std::string& path);

// Creates or truncates the file and writes `text`. On failure prints "CLI Error: Failed to write file".
void WriteTextFile(const std::string& path, const std::string& text);
