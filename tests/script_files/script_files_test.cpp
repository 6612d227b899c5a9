// Runs every script test under tests/scripts/ and compares what it prints and what it reports on the
// console with the expectations written in its comments (tests/scripts/README.md).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/builtin_table.h"
#include "host/standalone_script.h"
#include "tests/support/capture_console.h"
#include "tests/support/capture_stdout.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct ScriptFile {
    std::string path;      // absolute
    std::string testName;  // the path below tests/scripts/ with every other character as '_'
};

void PrintTo(const ScriptFile& file, std::ostream* out) { *out << file.path; }

std::vector<ScriptFile> FindScriptFiles() {
    const fs::path root = fs::path(SPARREL_SOURCE_DIR) / "tests" / "scripts";
    std::vector<ScriptFile> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (extension != ".qsf") continue;
        std::string name = fs::relative(entry.path(), root).replace_extension().string();
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        files.push_back({entry.path().string(), name});
    }
    std::sort(files.begin(), files.end(), [](const ScriptFile& a, const ScriptFile& b) { return a.path < b.path; });
    return files;
}

struct Expectations {
    std::vector<std::string> output;   // print lines, in order
    std::vector<std::string> console;  // console lines with the colour labels removed, in order
    std::vector<StandaloneEvent> events;
};

// Reads the expectation comments: "// expect: ", "// expect error: ", "// expect runtime error: ",
// "// expect console: " and "// run: ".
Expectations ReadExpectations(const std::string& path) {
    std::ifstream in(path);
    Expectations expected;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const size_t comment = line.find("// ");
        if (comment == std::string::npos) continue;
        const std::string text = line.substr(comment + 3);
        auto after = [&](const char* marker) -> const char* {
            const size_t length = std::char_traits<char>::length(marker);
            return text.compare(0, length, marker) == 0 ? text.c_str() + length : nullptr;
        };
        if (const char* rest = after("expect: ")) {
            expected.output.push_back(rest);
        } else if (const char* rest = after("expect error: ")) {
            expected.console.push_back("Engine error: Line " + std::to_string(lineNumber) + " " + rest);
        } else if (const char* rest = after("expect runtime error: ")) {
            expected.console.push_back("Machine error: Line " + std::to_string(lineNumber) + " " + rest);
        } else if (const char* rest = after("expect console: ")) {
            expected.console.push_back(rest);
        } else if (const char* rest = after("run: ")) {
            std::istringstream words(rest);
            StandaloneEvent event;
            words >> event.name;
            if (!(words >> event.count)) event.count = 1;
            expected.events.push_back(event);
        }
    }
    return expected;
}

std::vector<std::string> Lines(const std::string& text, bool skipEmpty) {
    std::vector<std::string> lines;
    std::string current;
    std::istringstream in(text);
    while (std::getline(in, current)) {
        if (skipEmpty && current.empty()) continue;
        lines.push_back(current);
    }
    return lines;
}

std::string Numbered(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) out += "  " + std::to_string(i + 1) + ": " + lines[i] + "\n";
    return out.empty() ? "  (nothing)\n" : out;
}

class ScriptFileTest : public testing::TestWithParam<ScriptFile> {};

TEST_P(ScriptFileTest, PrintsAndReportsWhatItsCommentsExpect) {
    const ScriptFile& file = GetParam();
    const Expectations expected = ReadExpectations(file.path);

    // The default include must exist so that scripts start without a warning.
    TempDir work;
    work.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    ScopedWorkingDirectory inWork(work.Path());

    CaptureConsole console;
    std::string output;
    {
        CaptureStdout capture;
        RunStandaloneScript(file.path, expected.events, BuiltinTable());
        output = capture.Finish();
    }
    const std::vector<std::string> printed = Lines(output, false);
    const std::vector<std::string> reported = Lines(console.Text(), true);
    EXPECT_EQ(printed, expected.output) << "printed:\n"
                                        << Numbered(printed) << "expected:\n"
                                        << Numbered(expected.output);
    EXPECT_EQ(reported, expected.console) << "console:\n"
                                          << Numbered(reported) << "expected:\n"
                                          << Numbered(expected.console);
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptFileTest, testing::ValuesIn(FindScriptFiles()),
                         [](const testing::TestParamInfo<ScriptFile>& info) { return info.param.testName; });

}  // namespace
