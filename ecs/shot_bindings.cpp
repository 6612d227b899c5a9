#include "ecs/shot_bindings.h"

#include <string>

#include "base/console.h"
#include "ecs/binding_args.h"
#include "ecs/shot.h"
#include "script/text_narrow.h"
#include "script/value.h"

namespace {

// The shot of the id in argument 0. An id outside the table gets the Invalid Entity warning alone; a
// missing component the Shot warning, which the caller completes with its own line.
enum class ShotLookup { InvalidId, Missing, Found };

ShotLookup ShotAt(const BuiltinArgs& args, const char* builtin, ShotRecord*& shot) {
    EntityId id = 0;
    if (!args.EntityIdAt(0, builtin, id)) return ShotLookup::InvalidId;
    shot = FindShot(id);
    return shot != nullptr ? ShotLookup::Found : ShotLookup::Missing;
}

ShotRecord* ShotOrLine(const BuiltinArgs& args, const char* builtin) {
    ShotRecord* shot = nullptr;
    if (ShotAt(args, builtin, shot) == ShotLookup::Missing) ReportMissingIn(builtin);
    return shot;
}

// Setters of one field from argument 1.
template <typename Field>
Value SetField(int32_t count, Value* values, const char* builtin, Field ShotRecord::*field,
               Field (*read)(const BuiltinArgs&, int)) {
    const BuiltinArgs args(count, values);
    if (ShotRecord* shot = ShotOrLine(args, builtin)) shot->*field = read(args, 1);
    return {};
}

uint8_t FlagByte(const BuiltinArgs& args, int index) {
    return args.Flag(index) ? 1 : 0;
}
uint8_t Byte(const BuiltinArgs& args, int index) {
    return args.Byte(index);
}
uint16_t Frames(const BuiltinArgs& args, int index) {
    return args.FrameCount(index);
}
uint32_t Unsigned32(const BuiltinArgs& args, int index) {
    return static_cast<uint32_t>(args.Integer(index));
}

Value GetReal(ScriptMachine& machine, int32_t count, Value* values, const char* builtin,
              double (*read)(const ShotRecord&)) {
    ShotRecord* shot = nullptr;
    switch (ShotAt(BuiltinArgs(count, values), builtin, shot)) {
        case ShotLookup::Found:
            return RealResult(machine, read(*shot));
        case ShotLookup::Missing:
            return NeutralReal(machine, builtin);
        case ShotLookup::InvalidId:
            break;
    }
    return RealResult(machine, 0);
}

Value GetBoolean(ScriptMachine& machine, int32_t count, Value* values, const char* builtin,
                 bool (*read)(const ShotRecord&)) {
    ShotRecord* shot = nullptr;
    switch (ShotAt(BuiltinArgs(count, values), builtin, shot)) {
        case ShotLookup::Found:
            return BooleanResult(machine, read(*shot));
        case ShotLookup::Missing:
            return NeutralBoolean(machine, builtin);
        case ShotLookup::InvalidId:
            break;
    }
    return BooleanResult(machine, false);
}

std::string PathArgument(const BuiltinArgs& args) {
    return TextToNarrow(ValueToText(args[0]));
}

void NotImplemented(const char* builtin) {
    ConsolePrintf("\nfuchsiablack{ECS Interface diagnostics:} aquablack{%s} yellowblack{not implemented}", builtin);
}

}  // namespace

Value SysShotAdd(ScriptMachine&, int32_t count, Value* values) {
    EntityId id = 0;
    if (BuiltinArgs(count, values).ExistingEntityAt(0, "SysShot_Add", id)) AddShot(id);
    return {};
}

Value SysShotRemove(ScriptMachine&, int32_t count, Value* values) {
    EntityId id = 0;
    if (BuiltinArgs(count, values).EntityIdAt(0, "SysShot_Remove", id)) RemoveShot(id);
    return {};
}

Value SysShotDeleteAll(ScriptMachine&, int32_t count, Value* values) {
    DeleteAllShots(BuiltinArgs(count, values).Integer(0));
    return {};
}

Value SysShotSetShotBoundary(ScriptMachine&, int32_t count, Value* values) {
    const BuiltinArgs args(count, values);
    g_shots.boundary = {args.Int32(0), args.Int32(1), args.Int32(2), args.Int32(3)};
    return {};
}

Value SysShotLoadEnemyShotData(ScriptMachine&, int32_t count, Value* values) {
    LoadEnemyShotData(PathArgument(BuiltinArgs(count, values)));
    return {};
}

Value SysShotLoadPlayerShotData(ScriptMachine&, int32_t count, Value* values) {
    LoadPlayerShotData(PathArgument(BuiltinArgs(count, values)));
    return {};
}

Value SysShotSetCollider(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetCollider", &ShotRecord::colliderId, Byte);
}

Value SysShotGetCollider(ScriptMachine& machine, int32_t count, Value* values) {
    ShotRecord* shot = nullptr;
    const ShotLookup found = ShotAt(BuiltinArgs(count, values), "SysShot_GetCollider", shot);
    if (found == ShotLookup::Found) return RealResult(machine, shot->colliderId);
    if (found == ShotLookup::Missing) ReportReturning("SysShot_GetCollider", "aquablack{MULTIPLE_ERROR}");
    return RealResult(machine, 255);
}

Value SysShotSetAutoDelete(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetAutoDelete", &ShotRecord::autoDelete, FlagByte);
}

Value SysShotFadeDelete(ScriptMachine&, int32_t, Value*) {
    NotImplemented("SysShot_FadeDelete");
    return {};
}

Value SysShotSetDeleteFrame(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetDeleteFrame", &ShotRecord::deleteFrame, Frames);
}

Value SysShotSetSpawnDelay(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetSpawnDelay", &ShotRecord::spawnDelay, Frames);
}

Value SysShotSetSpellResist(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetSpellResist", &ShotRecord::spellResist, FlagByte);
}

Value SysShotSetGraphicId(ScriptMachine&, int32_t count, Value* values) {
    const BuiltinArgs args(count, values);
    EntityId id = 0;
    if (!args.EntityIdAt(0, "SysShot_SetGraphicId", id)) return {};
    if (FindShot(id) == nullptr) {
        ReportMissingIn("SysShot_SetGraphicId");
        return {};
    }
    SetShotGraphic(id, args.FrameCount(1));
    return {};
}

Value SysShotSetSourceBlendType(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetSourceBlendType", &ShotRecord::sourceBlendType, Unsigned32);
}

Value SysShotToItem(ScriptMachine&, int32_t, Value*) {
    NotImplemented("SysShot_ToItem");
    return {};
}

Value SysShotSetGrazeInvalidFrame(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetGrazeInvalidFrame", &ShotRecord::grazeInvalidFrame, Frames);
}

Value SysShotSetPlayerShot(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetPlayerShot", &ShotRecord::playerShot, FlagByte);
}

Value SysShotSetDamage(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetDamage", &ShotRecord::damage, Frames);
}

Value SysShotSetPenetration(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetPenetration", &ShotRecord::penetration, Byte);
}

Value SysShotSetEraseShot(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetEraseShot", &ShotRecord::eraseShot, FlagByte);
}

Value SysShotSetSpellFactor(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetSpellFactor", &ShotRecord::spellFactor, FlagByte);
}

Value SysShotAddShotA1(ScriptMachine&, int32_t count, Value* values) {
    const BuiltinArgs args(count, values);
    EntityId parent = 0;
    EntityId child = 0;
    if (!args.EntityIdAt(0, "SysShot_AddShotA1", parent) || !args.EntityIdAt(1, "SysShot_AddShotA1", child))
        return {};
    const ShotRecord* shot = FindShot(parent);
    if (shot == nullptr) {
        ReportMissingIn("SysShot_AddShotA1");
        return {};
    }
    SetShotChild(parent, child, args.FrameCount(2), shot->childDistance, shot->childAngle);
    return {};
}

Value SysShotAddShotA2(ScriptMachine&, int32_t count, Value* values) {
    const BuiltinArgs args(count, values);
    EntityId parent = 0;
    EntityId child = 0;
    if (!args.EntityIdAt(0, "SysShot_AddShotA2", parent) || !args.EntityIdAt(1, "SysShot_AddShotA2", child))
        return {};
    if (FindShot(parent) == nullptr) {
        ReportMissingIn("SysShot_AddShotA2");
        return {};
    }
    SetShotChild(parent, child, args.FrameCount(2), args.Float(3), args.Float(4));
    return {};
}

Value SysShotSetCollisionEnable(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetCollisionEnable", &ShotRecord::collisionEnable, FlagByte);
}

Value SysShotSetItemChange(ScriptMachine&, int32_t count, Value* values) {
    return SetField(count, values, "SysShot_SetItemChange", &ShotRecord::itemChange, FlagByte);
}

Value SysShotGetDamage(ScriptMachine& machine, int32_t count, Value* values) {
    return GetReal(machine, count, values, "SysShot_GetDamage", [](const ShotRecord& s) -> double { return s.damage; });
}

Value SysShotGetDelay(ScriptMachine& machine, int32_t count, Value* values) {
    return GetReal(machine, count, values, "SysShot_GetDelay",
                   [](const ShotRecord& s) -> double { return s.spawnDelay; });
}

Value SysShotIsGrazed(ScriptMachine& machine, int32_t count, Value* values) {
    return GetBoolean(machine, count, values, "SysShot_IsGrazed", [](const ShotRecord& s) { return s.grazeCounter != 0; });
}

Value SysShotIsPlayerShot(ScriptMachine& machine, int32_t count, Value* values) {
    return GetBoolean(machine, count, values, "SysShot_IsPlayerShot",
                      [](const ShotRecord& s) { return s.playerShot != 0; });
}

Value SysShotIsSpellResistant(ScriptMachine& machine, int32_t count, Value* values) {
    return GetBoolean(machine, count, values, "SysShot_IsSpellResistant",
                      [](const ShotRecord& s) { return s.spellResist != 0; });
}

Value SysShotGetGraphicId(ScriptMachine& machine, int32_t count, Value* values) {
    return GetReal(machine, count, values, "SysShot_GetGraphicId",
                   [](const ShotRecord& s) -> double { return s.graphicId; });
}

Value SysShotDataGetData(ScriptMachine& machine, int32_t count, Value* values) {
    const BuiltinArgs args(count, values);
    const int64_t sheetType = args.Integer(0);
    if (sheetType != 0 && sheetType != 1) {
        ConsolePrintf("\nblueblack{VM Warning:} yellowblack{SysShotData_GetData encountered unknown shot sheet type} "
                      "aquablack{%u}",
                      static_cast<unsigned>(sheetType));
        return {};
    }
    const uint16_t graphicId = args.FrameCount(1);
    const ShotGraphic& graphic = sheetType == 0 ? FindEnemyGraphic(graphicId) : FindPlayerGraphic(graphicId);
    switch (args.Integer(2)) {
        case 1:
            return RealArrayResult(machine, {static_cast<double>(graphic.rect[0]), static_cast<double>(graphic.rect[1]),
                                             static_cast<double>(graphic.rect[2]), static_cast<double>(graphic.rect[3])});
        case 2:
            return RealArrayResult(machine, {static_cast<double>(graphic.delayColor[0]),
                                             static_cast<double>(graphic.delayColor[1]),
                                             static_cast<double>(graphic.delayColor[2])});
        case 3:
            return RealResult(machine, graphic.angularVelocity);
        case 4:
            return RealResult(machine, graphic.collision);
        case 5:
            return BooleanResult(machine, graphic.fixedAngle != 0);
        default:
            return {};
    }
}

Value IntrinCreateShotA2(ScriptMachine& machine, int32_t count, Value* values) {
    const BuiltinArgs args(count, values);
    const EntityId id = CreateShotA2(machine, args.Float(0), args.Float(1), args.Float(2), args.Float(3),
                                     args.Float(4), args.Float(5), args.FrameCount(6), args.FrameCount(7));
    return RealResult(machine, id);
}
