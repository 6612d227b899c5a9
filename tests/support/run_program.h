#pragma once
// Runs a program as a user would, in a given working directory, and captures what it wrote.

#include <filesystem>
#include <string>
#include <vector>

struct ProgramRun {
    int exitCode = -1;  // 128 + signal number when the program was killed
    std::string standardOutput;
    std::string standardError;
};

// Standard input is empty; a program still running after `timeoutSeconds` is killed.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingDirectory, unsigned timeoutSeconds = 60);
