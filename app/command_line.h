#pragma once
// The tool commands of the program: help, pp and cc.

#include <string>

// False when there are no arguments (game mode); true when they were taken as a tool command,
// whether it succeeded or not.
bool EvaluateCommandLine(int argc, char** argv);

// pp: writes the preprocessed form of the input file; "./" includes resolve against its folder.
void PreprocessFileCommand(const std::string& inputPath, const std::string& outputPath);

// cc: writes the input file with its // comments turned into block comments.
void ConvertCommentsCommand(const std::string& inputPath, const std::string& outputPath);
