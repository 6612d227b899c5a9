#include "host/builtin_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "script/block.h"
#include "script/engine.h"
#include "script/machine.h"
#include "script/operators.h"
#include "tests/support/capture_console.h"

namespace {

struct Row {
    std::string name;
    int32_t argumentCount;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << row.name << " " << row.argumentCount;
}

std::vector<Row> ExpectedRows() {
    std::ifstream in(SPARREL_SOURCE_DIR "/tests/host/builtin_rows.txt");
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Row row;
        fields >> row.name >> row.argumentCount;
        rows.push_back(row);
    }
    return rows;
}

const BuiltinEntry& RowNamed(std::string_view name) {
    for (const BuiltinEntry& entry : BuiltinTable()) {
        if (name == entry.name) return entry;
    }
    throw std::runtime_error("no builtin " + std::string(name));
}

TEST(BuiltinTable, NamesAndArgumentCountsInTableOrder) {
    const std::vector<Row> expected = ExpectedRows();
    ASSERT_EQ(expected.size(), kBuiltinCount);
    std::vector<Row> actual;
    for (const BuiltinEntry& entry : BuiltinTable())
        actual.push_back({entry.name, entry.argumentCount});
    EXPECT_EQ(actual, expected);
}

TEST(BuiltinTable, SharedAndMissingFunctions) {
    const auto table = BuiltinTable();
    std::vector<size_t> scriptResultRows;
    for (size_t row = 0; row < table.size(); ++row) {
        if (std::string_view(table[row].name) == "GetScriptResult") scriptResultRows.push_back(row);
    }
    ASSERT_EQ(scriptResultRows.size(), 2u);
    EXPECT_EQ(table[scriptResultRows[0]].function, table[scriptResultRows[1]].function);
    EXPECT_NE(table[scriptResultRows[0]].function, nullptr);

    EXPECT_EQ(RowNamed("CloseStgScene").function, nullptr);
    EXPECT_EQ(RowNamed("rtos").function, RowNamed("vtos").function);
    EXPECT_EQ(RowNamed("modc").function, &OperatorRemainder);
    EXPECT_EQ(RowNamed("GetCommonDataAreaKeyList").function, RowNamed("GetCommonDataValueKeyList").function);
    // Getters bound to another getter's routine.
    const std::vector<std::pair<std::string, std::string>> movementAliases = {
        {"SysShot_GetDamage", "SysShot_GetPenetration"},
        {"SysPlayer_SetSpell", "SysPlayer_SetPower"},
        {"SysPlayer_GetDownStateFrame", "SysPlayer_GetCounterspellFrame"},
        {"SysRender_GetAngleX", "SysRender_GetScaleX"},
        {"SysRender_GetAngleY", "SysRender_GetScaleY"},
        {"SysRender_GetAngleZ", "SysRender_GetScaleZ"},
        {"SysMovement_GetAngleX", "SysMovement_GetScaleX"},
        {"SysMovement_GetAngleY", "SysMovement_GetScaleY"},
        {"SysMovement_GetAngleZ", "SysMovement_GetScaleZ"},
        {"SysMovement_GetScale", "SysMovement_GetAngularVelocity"},
        {"SysMovement_GetAngleX", "SysMovement_GetAngularVelocityX"},
        {"SysMovement_GetAngleY", "SysMovement_GetAngularVelocityY"},
        {"SysMovement_GetAngleZ", "SysMovement_GetAngularVelocityZ"},
        {"SysMovement_GetScaleX", "SysMovement_GetAngularVelocityX"},
        {"SysMovement_GetScaleY", "SysMovement_GetAngularVelocityY"},
        {"SysMovement_GetScaleZ", "SysMovement_GetAngularVelocityZ"},
        {"SysMovement_GetSpeed", "SysMovement_GetAcceleration"}};
    for (const auto& [target, alias] : movementAliases)
        EXPECT_EQ(RowNamed(target).function, RowNamed(alias).function) << alias;
    // Every other row of the engine's own has its own function.
    for (size_t row = 0; row < table.size(); ++row) {
        if (KindOfBuiltin(table[row].function) != BuiltinKind::Engine) continue;
        for (size_t other = row + 1; other < table.size(); ++other) {
            if (table[row].function == nullptr || table[row].function != table[other].function) continue;
            const std::string pair = std::string(table[row].name) + "/" + table[other].name;
            const bool movementAlias =
                std::find(movementAliases.begin(), movementAliases.end(),
                          std::pair<std::string, std::string>(table[row].name, table[other].name)) !=
                movementAliases.end();
            EXPECT_TRUE(pair == "GetScriptResult/GetScriptResult" || pair == "rtos/vtos" ||
                        pair == "GetCommonDataAreaKeyList/GetCommonDataValueKeyList" || movementAlias)
                << pair;
        }
    }
}

TEST(BuiltinTable, StandInsStopTheScriptNamingTheirRow) {
    ScriptEngine engine;
    for (const BuiltinEntry& entry : BuiltinTable()) {
        if (KindOfBuiltin(entry.function) != BuiltinKind::NotBuilt) continue;
        ScriptMachine machine(engine);
        // One stand-in serves every row: it reads the name the script called it by.
        Block called;
        called.name = entry.name;
        machine.calledBuiltin = &called;
        std::vector<Value> arguments(static_cast<size_t>(entry.argumentCount) + 1);
        Value result = entry.function(machine, entry.argumentCount, arguments.data());
        EXPECT_TRUE(result.IsVoid());
        EXPECT_TRUE(machine.error.raised);
        EXPECT_TRUE(machine.finished);
        EXPECT_EQ(machine.error.message, std::string(entry.name) + " is not available in this build");
    }
}

// The functions of the older script interface that the engine answers with a diagnostic only.
TEST(BuiltinTable, NotProvidedRowsPrintTheirNameAndReturnZero) {
    const std::vector<std::string> expected = {
        // Paths and time
        "GetModuleDirectory", "GetMainStgScriptPath", "GetMainPackageScriptPath", "GetMainStgScriptDirectory",
        "GetScriptPathList", "GetCurrentDateTimeS", "GetStageTime", "GetPackageTime", "GetReplayFps",
        // Common-data files
        "SaveCommonDataAreaA1", "LoadCommonDataAreaA1", "SaveCommonDataAreaA2", "LoadCommonDataAreaA2",
        "SaveCommonDataAreaToReplayFile", "LoadCommonDataAreaFromReplayFile",
        // Input
        "AddVirtualKey", "AddReplayTargetVirtualKey", "GetMouseState", "GetMouseMoveZ", "SetSkipModeKey",
        // Rendering
        "SetFogEnable", "SetFogParam", "SetInvalidRenderPriorityA1", "ClearInvalidRenderPriority",
        "GetReservedRenderTargetName", "CreateRenderTarget", "RenderToTextureA1", "RenderToTextureB1",
        "SaveRenderedTextureA1", "SaveRenderedTextureA2", "SaveSnapShotA1", "SaveSnapShotA2",
        "IsPixelShaderSupported", "SetShader", "SetShaderI", "ResetShader", "ResetShaderI",
        // 2D camera
        "Set2DCameraFocusX", "Set2DCameraFocusY", "Set2DCameraAngleZ", "Set2DCameraRatio",
        "Set2DCameraRatioX", "Set2DCameraRatioY", "Reset2DCamera", "Get2DCameraX", "Get2DCameraY",
        "Get2DCameraAngleZ", "Get2DCameraRatio", "Get2DCameraRatioX", "Get2DCameraRatioY",
        // Render priorities
        "SetItemRenderPriorityI", "SetShotRenderPriorityI", "GetStgFrameRenderPriorityMinI",
        "GetStgFrameRenderPriorityMaxI", "GetItemRenderPriorityI", "GetShotRenderPriorityI",
        "GetPlayerRenderPriorityI", "GetCameraFocusPermitPriorityI",
        // Replay and archives
        "IsReplay", "AddArchiveFile",
        // Enemies
        "GetEnemyBossSceneObjectID", "GetEnemyBossObjectID", "GetAllEnemyID",
        "GetIntersectionRegistedEnemyID", "GetAllEnemyIntersectionPosition", "GetEnemyIntersectionPosition",
        "GetEnemyIntersectionPositionByIdA1", "GetEnemyIntersectionPositionByIdA2",
        // Shots
        "ReloadEnemyShotData", "DeleteShotInCircle", "CreateCurveLaserA1", "SetShotIntersectionCircle",
        "SetShotIntersectionLine", "GetShotIdInCircleA1", "GetShotIdInCircleA2", "GetShotCount",
        "SetShotAutoDeleteClip", "GetShotDataInfoA1", "StartShotScript",
        // Items and spells
        "CreateItemA1", "CreateItemA2", "CreateItemU1", "CreateItemU2", "CollectAllItems",
        "CollectItemsByType", "CollectItemsInCircle", "CancelCollectItems", "StartItemScript",
        "SetDefaultBonusItemEnable", "LoadItemData", "ReloadItemData", "CallSpell", "GetSpellManageObject"};
    std::vector<std::string> actual;
    ScriptEngine engine;
    for (const BuiltinEntry& entry : BuiltinTable()) {
        if (KindOfBuiltin(entry.function) != BuiltinKind::NotProvided) continue;
        actual.push_back(entry.name);
        ScriptMachine machine(engine);
        Block called;
        called.name = entry.name;
        machine.calledBuiltin = &called;
        // Whatever the arguments, they are not read.
        std::vector<Value> arguments(static_cast<size_t>(entry.argumentCount) + 1, NewReal(engine.types, 7));
        CaptureConsole console;
        Value result = entry.function(machine, entry.argumentCount, arguments.data());
        EXPECT_EQ(result.Type(), engine.types.Real()) << entry.name;
        EXPECT_EQ(ValueToReal(result), 0.0) << entry.name;
        EXPECT_FALSE(machine.error.raised) << entry.name;
        EXPECT_EQ(console.Segments(),
                  (std::vector<ConsoleSegment>{{kDefaultConsoleAttribute, "\n"},
                                               {0x0D, "Vantor Interface diagnostics:"},
                                               {kDefaultConsoleAttribute, " "},
                                               {0x0E, std::string(entry.name) + " not implemented"}}))
            << entry.name;
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(KindOfBuiltin(nullptr), BuiltinKind::Engine);
}

// The rows still waiting for their subsystem. Each change that binds real functions removes its rows
// here, so that what a build offers is always decided on purpose.
TEST(BuiltinTable, RowsStillOnTheStandIn) {
    // Every row is bound: none waits on the stand-in any more.
    const std::vector<std::string> expected = {};
    std::vector<std::string> actual;
    for (const BuiltinEntry& entry : BuiltinTable()) {
        if (KindOfBuiltin(entry.function) == BuiltinKind::NotBuilt) actual.push_back(entry.name);
    }
    EXPECT_EQ(actual, expected);
}

}  // namespace
