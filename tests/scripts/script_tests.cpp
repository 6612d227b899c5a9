// Runs every script test under tests/scripts/ as the main script of a game folder, through the script
// manager and the frame loop on the headless platform, and compares what it prints and what it reports
// on the console with the expectations written in its comments (tests/scripts/README.md).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "base/platform.h"
#include "host/script_manager.h"
#include "platform/headless/headless_game.h"
#include "platform/headless/null_render_device.h"
#include "render/device.h"
#include "tests/support/capture_console.h"
#include "tests/support/png_writer.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct ScriptFile {
    std::string path;      // where the script is written, for messages
    std::string testName;  // the path below tests/scripts/ with every other character as '_'
    std::string source;
    std::string filesFolder;  // copied into the game folder first; empty for none
    std::vector<std::pair<std::string, std::string>> extraFiles;  // game-folder path, content
};

void PrintTo(const ScriptFile& file, std::ostream* out) { *out << file.path; }

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TestNameOf(std::string name) {
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

std::vector<ScriptFile> FindScriptFiles() {
    const fs::path root = fs::path(SPARREL_SOURCE_DIR) / "tests" / "scripts";
    std::vector<ScriptFile> files;
    for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator(); ++entry) {
        // A `files` folder holds the other files of the tests beside it, not tests.
        if (entry->is_directory() && entry->path().filename() == "files") {
            entry.disable_recursion_pending();
            continue;
        }
        if (!entry->is_regular_file()) continue;
        std::string extension = entry->path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (extension != ".qsf") continue;
        const std::string name = TestNameOf(fs::relative(entry->path(), root).replace_extension().string());
        const fs::path folder = entry->path().parent_path() / "files";
        files.push_back({entry->path().string(), name, ReadWholeFile(entry->path()),
                         fs::is_directory(folder) ? folder.string() : "", {}});
    }
    std::sort(files.begin(), files.end(), [](const ScriptFile& a, const ScriptFile& b) { return a.path < b.path; });
    return files;
}

// The examples of the documentation: every block fenced with ```qsf in docs/*.md is a script test of
// its own, named by the file and the block's number (language_1, language_2...). A block fenced with
// ```qsf file=PATH is not run: it is written to PATH in the game folder of the next ```qsf block.
std::vector<ScriptFile> FindDocumentationExamples() {
    const fs::path root = fs::path(SPARREL_SOURCE_DIR) / "docs";
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(root)) {
        if (entry.is_regular_file() && entry.path().extension() == ".md") pages.push_back(entry.path());
    }
    std::sort(pages.begin(), pages.end());
    std::vector<ScriptFile> examples;
    for (const fs::path& page : pages) {
        std::istringstream in(ReadWholeFile(page));
        std::string line, block, helperPath;
        std::vector<std::pair<std::string, std::string>> helpers;
        bool inBlock = false, running = false;
        int lineNumber = 0, blockLine = 0, number = 0;
        while (std::getline(in, line)) {
            ++lineNumber;
            if (!inBlock) {
                if (line == "```qsf" || line.rfind("```qsf file=", 0) == 0) {
                    inBlock = true;
                    running = line == "```qsf";
                    helperPath = running ? "" : line.substr(12);
                    block.clear();
                    blockLine = lineNumber;
                }
                continue;
            }
            if (line != "```") {
                block += line + "\n";
                continue;
            }
            inBlock = false;
            if (!running) {
                helpers.emplace_back(helperPath, block);
                continue;
            }
            ++number;
            const std::string stem = page.stem().string();
            examples.push_back({"docs/" + page.filename().string() + ":" + std::to_string(blockLine),
                                TestNameOf(stem + "_" + std::to_string(number)), block, "", helpers});
            helpers.clear();
        }
        if (inBlock) ADD_FAILURE() << page << ":" << blockLine << ": code block not closed";
    }
    return examples;
}

// After start-up, in comment order: frames of the frame loop, or deliveries of one event to the main
// script outside the frame loop.
struct Step {
    std::string event;  // empty: `count` frames
    int count = 1;
};

struct Expectations {
    std::vector<std::string> output;   // print lines, in order
    std::vector<std::string> console;  // console lines with the colour labels removed, in order
    std::vector<Step> steps;
    std::vector<ScriptedKeyEvent> keys;
};

// Reads the expectation comments: "// expect: ", "// expect error: ", "// expect runtime error: ",
// "// expect console: ", "// frames: ", "// run: " and "// key: ".
Expectations ReadExpectations(const std::string& source, const std::string& path) {
    std::istringstream in(source);
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
        } else if (const char* rest = after("frames: ")) {
            expected.steps.push_back({"", std::atoi(rest)});
        } else if (const char* rest = after("run: ")) {
            std::istringstream words(rest);
            Step step;
            words >> step.event;
            if (!(words >> step.count)) step.count = 1;
            // The frame loop is what delivers MainLoop.
            if (step.event == "MainLoop") step.event.clear();
            expected.steps.push_back(step);
        } else if (const char* rest = after("key: ")) {
            std::istringstream words(rest);
            std::string frame, key, action;
            words >> frame >> key >> action;
            ScriptedKeyEvent event{};
            if (ParseScriptedKeyEvent(frame + ":" + key + ":" + action, event)) expected.keys.push_back(event);
            else ADD_FAILURE() << path << ":" << lineNumber << ": bad key line";
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
        // Console lines are compared without trailing spaces, which a comment cannot show reliably.
        if (skipEmpty) current.erase(current.find_last_not_of(' ') + 1);
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
    const Expectations expected = ReadExpectations(file.source, file.path);

    // The default include must exist so that scripts start without a warning; the test's `files`
    // folder supplies the other files of the game.
    TempDir work;
    work.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    work.WriteFile(kMenuImagePath, SolidPng(4, 4, 0, 0, 0, 255));
    work.WriteFile(kMenuOverlayPath, SolidPng(2, 2, 255, 255, 255, 255));
    if (!file.filesFolder.empty()) {
        fs::copy(file.filesFolder, work.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    for (const auto& [path, content] : file.extraFiles) work.WriteFile(path, content);
    work.WriteFile(kMainScriptPath, file.source);
    ScopedWorkingDirectory inWork(work.Path());

    HeadlessPlatform platform;
    for (const ScriptedKeyEvent& key : expected.keys) platform.AddKeyEvent(key);
    Platform* previousPlatform = g_platform.platform;
    SetPlatform(&platform);
    NullRenderDevice device;
    RenderDevice* previousDevice = GetRenderDevice();
    SetRenderDevice(&device);
    ResetGame();

    CaptureConsole console;
    CaptureOutput output;
    StartGame();
    uint32_t frame = 0;
    for (const Step& step : expected.steps) {
        for (int i = 0; i < step.count; ++i) {
            if (!step.event.empty()) {
                FireEvent(step.event.c_str(), 0);
                continue;
            }
            RunHeadlessFrame(platform, frame++);
        }
    }
    ResetGame();
    SetRenderDevice(previousDevice);
    SetPlatform(previousPlatform);
    const std::vector<std::string> printed = Lines(output.Text(), false);
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
INSTANTIATE_TEST_SUITE_P(Docs, ScriptFileTest, testing::ValuesIn(FindDocumentationExamples()),
                         [](const testing::TestParamInfo<ScriptFile>& info) { return info.param.testName; });

}  // namespace
