// The program in game mode as a player runs it: an SDL window on a virtual X server, keys pressed
// through the server, a screenshot, and the window closed. The screenshot must match the headless
// runner's frame of the same scene to the byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

bool HaveCommand(const std::string& name) {
    TempDir work;
    return RunProgram("/bin/sh", {"-c", "command -v " + name}, work.Path()).exitCode == 0;
}

// An orange square moved 8 pixels per arrow-key push; the frame depends only on the pushes, not on
// when they came.
constexpr const char* kMovingShip =
    "let x = 200;\n"
    "let y = 200;\n"
    "let ship = -1;\n"
    "function Place() {\n"
    "    let corners = [0, 0, 16, 0, 0, 16, 16, 0, 16, 16, 0, 16];\n"
    "    let i = 0;\n"
    "    while (i < 6) {\n"
    "        SysRender_SetVertexPosition(ship, i, x + corners[i * 2], y + corners[i * 2 + 1], 0);\n"
    "        SysRender_SetVertexRHW(ship, i, 1);\n"
    "        SysRender_SetVertexColor(ship, i, 255, 128, 0);\n"
    "        i++;\n"
    "    }\n"
    "}\n"
    "@Initialize {\n"
    "    ship = ECS_Create(true);\n"
    "    SysMovement_Add(ship);\n"
    "    SysRender_Add(ship);\n"
    "    SysRender_SetVertexType(ship, 3);\n"
    "    SysRender_SetVertexCount(ship, 6);\n"
    "    Place();\n"
    "}\n"
    "// A press and release between two frames reaches the frame as released only: it counts too.\n"
    "let seen = [0, 0, 0, 0];\n"
    "let moves = [-8, 0, 0, -8, 8, 0, 0, 8];\n"
    "let names = [\"left\", \"up\", \"right\", \"down\"];\n"
    "@MainLoop {\n"
    "    let k = 0;\n"
    "    while (k < 4) {\n"
    "        let state = GetKeyState(37 + k);\n"
    "        let before = seen[k];\n"
    "        seen[k] = state;\n"
    "        if (state == 1 || (state == 3 && before != 1 && before != 2)) {\n"
    "            x = x + moves[k * 2];\n"
    "            y = y + moves[k * 2 + 1];\n"
    "            print(names[k]);\n"
    "        }\n"
    "        k++;\n"
    "    }\n"
    "    Place();\n"
    "}\n";

void WriteGame(const TempDir& game) {
    game.WriteFile("SCRIPT/SYSTEM/AUTOINCL.QSF", "");
    game.WriteFile("SCRIPT/SYSTEM/MAIN.QSF", kMovingShip);
}

// Starts a virtual X server on a free display, runs Main in the game folder, presses Right three
// times, Down twice and F12, then asks the program to close (SDL turns the termination request into
// the same quit event as the window's close button) and prints the program's exit code. A loaded
// machine can leave a fresh server unreachable for a moment: the server must answer before Main
// starts, and a session whose window never shows is tried again on a new server.
constexpr const char* kPlayerSession = R"sh(
set -u
main="$0"
# D-Bus and the X libraries SDL loads keep allocations until exit: in sanitizer builds only the
# in-process window tests check leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" SDL_AUDIODRIVER=dummy
xserver=""
trap '[ -n "$xserver" ] && kill $xserver 2>/dev/null' EXIT
window=""
for attempt in 1 2 3; do
    [ -n "$xserver" ] && { kill $xserver 2>/dev/null; wait $xserver 2>/dev/null; }
    rm -f display.txt main.out main.err
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display.txt 2>>xvfb.err &
    xserver=$!
    for i in $(seq 100); do [ -s display.txt ] && break; sleep 0.1; done
    [ -s display.txt ] || continue
    export DISPLAY=":$(cat display.txt)"
    for i in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
    "$main" >main.out 2>main.err &
    game=$!
    for i in $(seq 150); do
        window=$(xdotool search --name '^DirectX$' 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        kill -0 $game 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$window" ] && break
    kill $game 2>/dev/null
    wait $game 2>/dev/null
    echo "attempt $attempt: no window"
done
[ -n "$window" ] || { cat xvfb.err 2>/dev/null; exit 1; }
sleep 0.5
press() { xdotool keydown --window "$window" "$1"; sleep 0.15; xdotool keyup --window "$window" "$1"; sleep 0.15; }
press Right; press Right; press Right; press Down; press Down
sleep 0.3
press F12
sleep 0.3
kill -TERM $game
wait $game
echo "exit $?"
)sh";

TEST(GameWindow, KeysScreenshotAndCloseUnderAVirtualXServer) {
    if (!HaveCommand("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (scripts/setup.sh installs it)";
    if (!HaveCommand("xdotool")) GTEST_SKIP() << "xdotool is not installed (scripts/setup.sh installs it)";
    TempDir game;
    WriteGame(game);
    const ProgramRun session = RunProgram("/bin/sh", {"-c", kPlayerSession, SPARREL_MAIN_PATH}, game.Path(), 120);
    ASSERT_NE(session.standardOutput.find("exit 0"), std::string::npos)
        << session.standardOutput << session.standardError << game.ReadFile("main.err");
    EXPECT_EQ(game.ReadFile("main.out"), "right\nright\nright\ndown\ndown\n") << game.ReadFile("main.err");
    EXPECT_NE(game.ReadFile("main.err").find("Screenshot: SHOT0001.PNG"), std::string::npos)
        << game.ReadFile("main.err");
    ASSERT_TRUE(game.Exists("SHOT0001.PNG"));

    // The same pushes in the headless runner, then a still frame.
    const std::filesystem::path runner = std::filesystem::path(SPARREL_MAIN_PATH).parent_path() / "tools" / "Headless";
    TempDir reference;
    WriteGame(reference);
    const ProgramRun headless = RunProgram(
        runner.string(),
        {"--frames", "40", "--key", "2:39:down", "--key", "4:39:up", "--key", "6:39:down", "--key", "8:39:up",
         "--key", "10:39:down", "--key", "12:39:up", "--key", "14:40:down", "--key", "16:40:up", "--key",
         "18:40:down", "--key", "20:40:up", "--png", "39:frame.png", reference.Path().string()},
        reference.Path());
    ASSERT_EQ(headless.exitCode, 0) << headless.standardError;
    ASSERT_EQ(headless.standardOutput, "right\nright\nright\ndown\ndown\n");
    const std::string expected = reference.ReadFile("frame.png");
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(game.ReadFile("SHOT0001.PNG") == expected) << "the window's frame differs from the headless frame";
}

}  // namespace
