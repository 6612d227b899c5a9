#include "ecs/player_bindings.h"

#include "ecs/binding_args.h"
#include "ecs/player.h"

namespace {

enum class PlayerLookup { InvalidId, Missing, Found };

// An id outside the table gets the Invalid Entity warning alone; a missing component the Player
// warning, which the caller completes with its own line.
PlayerLookup PlayerAt(const BuiltinArgs& args, const char* builtin, PlayerRecord*& player) {
    EntityId id = 0;
    if (!args.EntityIdAt(0, builtin, id)) return PlayerLookup::InvalidId;
    player = FindPlayer(id);
    return player != nullptr ? PlayerLookup::Found : PlayerLookup::Missing;
}

template <typename Change>
Value Set(int32_t count, Value* values, const char* builtin, Change change) {
    const BuiltinArgs args(count, values);
    PlayerRecord* player = nullptr;
    const PlayerLookup found = PlayerAt(args, builtin, player);
    if (found == PlayerLookup::Found) change(*player, args);
    if (found == PlayerLookup::Missing) ReportMissingIn(builtin);
    return {};
}

Value Get(ScriptMachine& machine, int32_t count, Value* values, const char* builtin,
          double (*read)(const PlayerRecord&)) {
    PlayerRecord* player = nullptr;
    switch (PlayerAt(BuiltinArgs(count, values), builtin, player)) {
        case PlayerLookup::Found:
            return RealResult(machine, read(*player));
        case PlayerLookup::Missing:
            return NeutralReal(machine, builtin);
        case PlayerLookup::InvalidId:
            break;
    }
    return RealResult(machine, 0);
}

Value Is(ScriptMachine& machine, int32_t count, Value* values, const char* builtin, uint8_t PlayerRecord::*field) {
    PlayerRecord* player = nullptr;
    switch (PlayerAt(BuiltinArgs(count, values), builtin, player)) {
        case PlayerLookup::Found:
            return BooleanResult(machine, player->*field != 0);
        case PlayerLookup::Missing:
            return NeutralBoolean(machine, builtin);
        case PlayerLookup::InvalidId:
            break;
    }
    return BooleanResult(machine, false);
}

Value GetCollider(ScriptMachine& machine, int32_t count, Value* values, const char* builtin,
                  uint8_t PlayerRecord::*field) {
    PlayerRecord* player = nullptr;
    const PlayerLookup found = PlayerAt(BuiltinArgs(count, values), builtin, player);
    if (found == PlayerLookup::Found) return RealResult(machine, player->*field);
    if (found == PlayerLookup::Missing) ReportReturning(builtin, "aquablack{MULTIPLE_ERROR}");
    return RealResult(machine, 255);
}

}  // namespace

Value SysPlayerAdd(ScriptMachine&, int32_t count, Value* values) {
    EntityId id = 0;
    if (BuiltinArgs(count, values).ExistingEntityAt(0, "SysPlayer_Add", id)) AddPlayer(id);
    return {};
}

Value SysPlayerRemove(ScriptMachine&, int32_t count, Value* values) {
    EntityId id = 0;
    if (BuiltinArgs(count, values).EntityIdAt(0, "SysPlayer_Remove", id)) g_players.store.Remove(id);
    return {};
}

Value SysPlayerSetHitboxCollider(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetHitboxCollider",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.hitboxCollider = args.Byte(1); });
}

Value SysPlayerGetHitboxCollider(ScriptMachine& machine, int32_t count, Value* values) {
    return GetCollider(machine, count, values, "SysPlayer_GetHitboxCollider", &PlayerRecord::hitboxCollider);
}

Value SysPlayerSetGrazeboxCollider(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetGrazeboxCollider",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.grazeboxCollider = args.Byte(1); });
}

Value SysPlayerGetGrazeboxCollider(ScriptMachine& machine, int32_t count, Value* values) {
    return GetCollider(machine, count, values, "SysPlayer_GetGrazeboxCollider", &PlayerRecord::grazeboxCollider);
}

Value SysPlayerSetSpeed(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetSpeed", [](PlayerRecord& p, const BuiltinArgs& args) {
        p.unfocusSpeed = args.Float(1);
        p.focusSpeed = args.Float(2);
    });
}

Value SysPlayerSetClip(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetClip", [](PlayerRecord& p, const BuiltinArgs& args) {
        for (int k = 0; k < 4; ++k) p.clip[k] = args.Int32(1 + k);
    });
}

Value SysPlayerSetLife(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetLife",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.life = args.Float(1); });
}

Value SysPlayerSetPower(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetPower",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.power = args.Float(1); });
}

Value SysPlayerSetInitialInvincibilityFrame(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetInitialInvincibilityFrame",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.initialInvincibility = args.FrameCount(1); });
}

Value SysPlayerSetInitialDownStateFrame(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetInitialDownStateFrame",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.initialDownState = args.FrameCount(1); });
}

Value SysPlayerSetInitialCounterspellFrame(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetInitialCounterspellFrame",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.initialCounterspell = args.FrameCount(1); });
}

Value SysPlayerSetCounterspellFrameLoss(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetCounterspellFrameLoss",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.counterspellFrameLoss = args.FrameCount(1); });
}

Value SysPlayerSetAutoItemCollectLine(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetAutoItemCollectLine",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.autoItemCollectLine = args.FrameCount(1); });
}

Value SysPlayerSetShotAllowed(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetShotAllowed",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.shotAllowed = args.Truth(1) ? 1 : 0; });
}

Value SysPlayerSetSpellAllowed(ScriptMachine&, int32_t count, Value* values) {
    return Set(count, values, "SysPlayer_SetSpellAllowed",
               [](PlayerRecord& p, const BuiltinArgs& args) { p.spellAllowed = args.Truth(1) ? 1 : 0; });
}

Value SysPlayerGetState(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetState", [](const PlayerRecord& p) -> double { return p.state; });
}

Value SysPlayerGetFocusSpeed(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetFocusSpeed",
               [](const PlayerRecord& p) -> double { return p.focusSpeed; });
}

Value SysPlayerGetUnfocusSpeed(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetUnfocusSpeed",
               [](const PlayerRecord& p) -> double { return p.unfocusSpeed; });
}

Value SysPlayerGetClip(ScriptMachine& machine, int32_t count, Value* values) {
    PlayerRecord* player = nullptr;
    const PlayerLookup found = PlayerAt(BuiltinArgs(count, values), "SysPlayer_GetClip", player);
    if (found == PlayerLookup::Found) {
        return RealArrayResult(machine, {static_cast<double>(player->clip[0]), static_cast<double>(player->clip[1]),
                                         static_cast<double>(player->clip[2]), static_cast<double>(player->clip[3])});
    }
    if (found == PlayerLookup::Missing) ReportReturning("SysPlayer_GetClip", "aquablack{[0, 0, 0, 0]}");
    return RealArrayResult(machine, {0, 0, 0, 0});
}

Value SysPlayerGetLife(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetLife", [](const PlayerRecord& p) -> double { return p.life; });
}

Value SysPlayerGetSpell(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetSpell", [](const PlayerRecord& p) -> double { return p.spell; });
}

Value SysPlayerGetPower(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetPower", [](const PlayerRecord& p) -> double { return p.power; });
}

Value SysPlayerGetInvincibilityFrame(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetInvincibilityFrame",
               [](const PlayerRecord& p) -> double { return p.invincibility; });
}

Value SysPlayerGetDownStateFrame(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetDownStateFrame",
               [](const PlayerRecord& p) -> double { return p.downState; });
}

Value SysPlayerIsPermitShot(ScriptMachine& machine, int32_t count, Value* values) {
    return Is(machine, count, values, "SysPlayer_IsPermitShot", &PlayerRecord::shotAllowed);
}

Value SysPlayerIsPermitSpell(ScriptMachine& machine, int32_t count, Value* values) {
    return Is(machine, count, values, "SysPlayer_IsPermitSpell", &PlayerRecord::spellAllowed);
}

Value SysPlayerIsPlayerCounterspell(ScriptMachine& machine, int32_t count, Value* values) {
    return Is(machine, count, values, "SysPlayer_IsPlayerCounterspell", &PlayerRecord::counterspellActive);
}

Value SysPlayerIsPlayerSpellActive(ScriptMachine& machine, int32_t count, Value* values) {
    return Is(machine, count, values, "SysPlayer_IsPlayerSpellActive", &PlayerRecord::spellActive);
}

Value SysPlayerGetHitCount(ScriptMachine& machine, int32_t count, Value* values) {
    return Get(machine, count, values, "SysPlayer_GetHitCount",
               [](const PlayerRecord& p) -> double { return p.hitCount; });
}
