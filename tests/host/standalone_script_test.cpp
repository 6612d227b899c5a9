#include "host/standalone_script.h"

#include <gtest/gtest.h>

#include "ecs/entity_system.h"
#include "host/builtin_table.h"
#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

// The entity systems are started as in the game: the first entity of the script is 2, and a
// component lookup that fails warns instead of reading a table that was never set up.
TEST(StandaloneScript, RunsWithTheEntitySystemsStarted) {
    TempDir work;
    work.WriteFile("probe.qsf",
                   "let id = ECS_Create(true);\n"
                   "print(id);\n"
                   "print(SysMovement_GetX(id));\n"
                   "@Count { print(ECS_EntityCount()); }\n");
    CaptureConsole console;
    CaptureOutput output;
    const StandaloneEvent events[] = {{"Count", 2}};
    EXPECT_TRUE(RunStandaloneScript((work.Path() / "probe.qsf").string(), events, BuiltinTable()));
    EXPECT_EQ(output.Text(), "2.000000\n0.000000\n2.000000\n2.000000\n");
    EXPECT_NE(console.Text().find("ECS warning: Unable to find Movement Component for Entity 2 while executing "
                                  "SysMovement_GetX, returning 0"),
              std::string::npos)
        << console.Text();
    ResetEntitySystem();
}

}  // namespace
