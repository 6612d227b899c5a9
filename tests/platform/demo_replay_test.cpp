// The bundled demo played by the headless runner with fixed keys: the frames it draws and the lines
// it prints must stay exactly as recorded, so that any change to the engine that changes the game
// shows up here. The runs, their keys and the frames kept are listed in
// tests/platform/frames/demo/replay.txt; scripts/make_demo_reference.sh records them anew.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "render/image.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kReferences = SPARREL_SOURCE_DIR "/tests/platform/frames/demo/";

struct Replay {
    std::string name;
    std::string frames;
    std::vector<std::string> keys;
    std::vector<std::string> pngs;
};

// Test names and messages show a replay by its name.
void PrintTo(const Replay& replay, std::ostream* out) { *out << replay.name; }

// Lines "run NAME FRAMES", then "key FRAME:KEY:down|up" and "png FRAME" for that run; "#" starts a
// comment.
std::vector<Replay> ReadReplays() {
    std::vector<Replay> replays;
    std::ifstream in(kReferences + "replay.txt");
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string word, value;
        if (!(words >> word >> value)) continue;
        if (word == "run") {
            replays.push_back({value, "", {}, {}});
            words >> replays.back().frames;
        } else if (!replays.empty() && word == "key") {
            replays.back().keys.push_back(value);
        } else if (!replays.empty() && word == "png") {
            replays.back().pngs.push_back(value);
        }
    }
    return replays;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string FrameName(const Replay& replay, const std::string& frame) {
    return replay.name + "_" + std::string(4 - std::min<size_t>(4, frame.size()), '0') + frame + ".png";
}

bool SameImage(const std::string& written, const std::string& reference) {
    Image* frame = LoadImage(written.c_str());
    Image* expected = LoadImage(reference.c_str());
    const bool same = frame != nullptr && expected != nullptr && frame->width == expected->width &&
                      frame->height == expected->height &&
                      std::memcmp(frame->pixels, expected->pixels, size_t{frame->width} * frame->height * 4) == 0;
    if (frame != nullptr) FreeImage(frame);
    if (expected != nullptr) FreeImage(expected);
    return same;
}

class DemoReplay : public testing::TestWithParam<Replay> {};

TEST_P(DemoReplay, DrawsAndPrintsWhatWasRecorded) {
    const Replay& replay = GetParam();
    const std::filesystem::path runner =
        std::filesystem::path(SPARREL_MAIN_PATH).parent_path() / "tools" / "Headless";
    // A copy of the game folder: a run writes its token file into it.
    TempDir work;
    std::filesystem::copy(SPARREL_SOURCE_DIR "/demo", work.Path() / "game", std::filesystem::copy_options::recursive);
    std::vector<std::string> arguments = {"--frames", replay.frames};
    for (const std::string& key : replay.keys) {
        arguments.push_back("--key");
        arguments.push_back(key);
    }
    for (const std::string& frame : replay.pngs) {
        arguments.push_back("--png");
        arguments.push_back(frame + ":" + (work.Path() / FrameName(replay, frame)).string());
    }
    arguments.push_back((work.Path() / "game").string());
    const ProgramRun run = RunProgram(runner.string(), arguments, work.Path(), 600);
    ASSERT_EQ(run.exitCode, 0) << run.standardError;

    const char* hint = "; scripts/make_demo_reference.sh records the replays anew when the change is meant";
    EXPECT_EQ(run.standardOutput, ReadFile(kReferences + replay.name + ".log")) << hint;
    // Nothing in the demo warns or fails.
    EXPECT_EQ(run.standardError.find("rror"), std::string::npos) << run.standardError;
    EXPECT_EQ(run.standardError.find("arning"), std::string::npos) << run.standardError;
    for (const std::string& frame : replay.pngs) {
        const std::string written = (work.Path() / FrameName(replay, frame)).string();
        if (SameImage(written, kReferences + FrameName(replay, frame))) continue;
        // Kept for a look at what changed.
        const std::filesystem::path kept = std::filesystem::temp_directory_path() / FrameName(replay, frame);
        std::error_code ignored;
        std::filesystem::copy_file(written, kept, std::filesystem::copy_options::overwrite_existing, ignored);
        ADD_FAILURE() << "frame " << frame << " of the " << replay.name << " replay differs from "
                      << FrameName(replay, frame) << " (drawn: " << kept.string() << ")" << hint;
    }
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoReplay, testing::ValuesIn(ReadReplays()),
                         [](const testing::TestParamInfo<Replay>& info) { return info.param.name; });

// The recorded replay is not empty: a lost replay.txt would otherwise leave nothing to test.
TEST(DemoReplays, AreListed) {
    const std::vector<Replay> replays = ReadReplays();
    ASSERT_EQ(replays.size(), 2u);
    for (const Replay& replay : replays) EXPECT_FALSE(replay.pngs.empty()) << replay.name;
}

}  // namespace
