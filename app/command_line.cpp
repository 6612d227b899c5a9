#include "app/command_line.h"

#include <cstring>

#include "base/console.h"
#include "base/text_file.h"
#include "script/preprocessor.h"

namespace {

void PrintArgumentCountError() {
    ConsolePrintf(
        "\nredblack{CLI Error:} yellowblack{Invalid amount of arguments, use argument} aquablack{help} "
        "yellowblack{to show a list of available operations}");
}

}  // namespace

void PreprocessFileCommand(const std::string& inputPath, const std::string& outputPath) {
    ConsolePrintf("\nfuchsiablack{Preprocessor diagnostics:} yellowblack{Preprocessing} aquablack{%s}",
                  inputPath.c_str());
    const std::string text = ReadTextFile(inputPath);
    WriteTextFile(outputPath, Preprocess(text, GetDirectory(inputPath)));
}

void ConvertCommentsCommand(const std::string& inputPath, const std::string& outputPath) {
    ConsolePrintf("\nfuchsiablack{Preprocessor diagnostics:} yellowblack{Converting comments} aquablack{%s}",
                  inputPath.c_str());
    const std::string text = ReadTextFile(inputPath);
    WriteTextFile(outputPath, ConvertComments(text));
}

bool EvaluateCommandLine(int argc, char** argv) {
    if (argc <= 1) return false;
    ConsolePrintf("\nyellowblack{Evaluating command line arguments...}");
    const char* command = argv[1];
    if (std::strcmp(command, "help") == 0) {
        ConsolePrintf(
            "\nfuchsiablack{Diagnostics:} yellowblack{Command line operations:}"
            "\naquablack{pp <InputFile> <OutputFile>} - "
            "yellowblack{Preprocess a file and write output to a file}"
            "\naquablack{cc <InputFile> <OutputFile>} - yellowblack{Convert comments to C-Style comments}");
    }
    if (std::strcmp(command, "cc") == 0) {
        if (argc != 4) {
            PrintArgumentCountError();
        } else {
            ConvertCommentsCommand(argv[2], argv[3]);
        }
    }
    if (std::strcmp(command, "pp") == 0) {
        if (argc != 4) {
            PrintArgumentCountError();
        } else {
            PreprocessFileCommand(argv[2], argv[3]);
        }
    }
    return true;
}
