#include "host/builtin_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "ecs/entity_bindings.h"
#include "ecs/key_map_bindings.h"
#include "ecs/movement_bindings.h"
#include "ecs/object_type.h"
#include "ecs/ownership_bindings.h"
#include "host/common_data_builtins.h"
#include "host/core_library.h"
#include "host/engine_api.h"
#include "host/script_builtins.h"
#include "script/machine.h"
#include "script/operators.h"

namespace {

// Marks rows whose functions are not built yet; every such row is bound to its stand-in below and
// this function is never called.
Value NotBuilt(ScriptMachine&, int32_t, Value*) {
    return {};
}
constexpr BuiltinFunction kNotBuilt = NotBuilt;

// Marks rows of the older script interface that the engine answers with a diagnostic only; each is
// bound below to a function naming its row, and this one is never called.
Value NotProvided(ScriptMachine& machine, int32_t, Value*) {
    return ApiNotProvided(machine, "(unnamed)");
}
constexpr BuiltinFunction kNotProvided = NotProvided;

constexpr BuiltinEntry kRows[] = {
    // Core library: console, arithmetic, trigonometry, random numbers, text, directories (25)
    {"print", CorePrint, 1},
    {"min", CoreMin, 2},
    {"max", CoreMax, 2},
    {"cos", CoreCos, 1},
    {"sin", CoreSin, 1},
    {"tan", CoreTan, 1},
    {"acos", CoreAcos, 1},
    {"asin", CoreAsin, 1},
    {"atan", CoreAtan, 1},
    {"atan2", CoreAtan2, 2},
    {"srand", CoreSrand, 1},
    {"rand", CoreRand, 2},
    {"modc", OperatorRemainder, 2},
    {"ToRadian", CoreToRadian, 1},
    {"ToDegree", CoreToDegree, 1},
    {"ToString", CoreToString, 1},
    {"itoa", CoreItoa, 1},
    {"rtoa", CoreRtoa, 1},
    {"rtos", CoreRtos, 2},
    {"vtos", CoreRtos, 2},
    {"atoi", CoreAtoi, 1},
    {"ator", CoreAtor, 1},
    {"TrimString", CoreTrimString, 1},
    {"GetFilePathList", CoreGetFilePathList, 1},
    {"GetDirectoryList", CoreGetDirectoryList, 1},
    // Engine API: paths, logs, common data, sound, keys, textures, camera, items, shots (128)
    {"GetModuleDirectory", kNotProvided, 0},
    {"GetMainStgScriptPath", kNotProvided, 0},
    {"GetMainPackageScriptPath", kNotProvided, 0},
    {"GetMainStgScriptDirectory", kNotProvided, 0},
    {"GetCurrentScriptDirectory", ApiGetCurrentScriptDirectory, 0},
    {"GetScriptPathList", kNotProvided, 2},
    {"GetCurrentDateTimeS", kNotProvided, 0},
    {"GetStageTime", kNotProvided, 0},
    {"GetPackageTime", kNotProvided, 0},
    {"GetCurrentFps", ApiGetCurrentFps, 0},
    {"GetUnlimitedFps", ApiGetUnlimitedFps, 0},
    {"GetReplayFps", kNotProvided, 0},
    {"WriteLog", ApiWriteLog, 1},
    {"AppendLog", ApiAppendLog, 1},
    {"RaiseError", ApiRaiseError, 1},
    {"SetCommonData", ApiSetCommonData, 2},
    {"GetCommonData", ApiGetCommonData, 2},
    {"ClearCommonData", ApiClearCommonData, 0},
    {"DeleteCommonData", ApiDeleteCommonData, 1},
    {"SetAreaCommonData", ApiSetAreaCommonData, 3},
    {"GetAreaCommonData", ApiGetAreaCommonData, 3},
    {"ClearAreaCommonData", ApiClearAreaCommonData, 1},
    {"DeleteAreaCommonData", ApiDeleteAreaCommonData, 2},
    {"CreateCommonDataArea", ApiCreateCommonDataArea, 1},
    {"IsCommonDataAreaExists", ApiIsCommonDataAreaExists, 1},
    {"CopyCommonDataArea", ApiCopyCommonDataArea, 2},
    {"GetCommonDataAreaKeyList", ApiGetCommonDataKeyList, 2},
    {"GetCommonDataValueKeyList", ApiGetCommonDataKeyList, 2},
    {"SaveCommonDataAreaA1", kNotProvided, 1},
    {"LoadCommonDataAreaA1", kNotProvided, 1},
    {"SaveCommonDataAreaA2", kNotProvided, 2},
    {"LoadCommonDataAreaA2", kNotProvided, 2},
    {"SaveCommonDataAreaToReplayFile", kNotProvided, 1},
    {"LoadCommonDataAreaFromReplayFile", kNotProvided, 1},
    {"LoadSound", kNotBuilt, 1},
    {"RemoveSound", kNotBuilt, 1},
    {"PlayBGM", kNotBuilt, 3},
    {"PlaySE", kNotBuilt, 1},
    {"StopSound", kNotBuilt, 1},
    {"AddVirtualKey", kNotProvided, 3},
    {"AddReplayTargetVirtualKey", kNotProvided, 1},
    {"GetKeyState", ApiGetKeyState, 1},
    {"GetMouseState", kNotProvided, 1},
    {"GetMouseX", ApiGetMouseX, 0},
    {"GetMouseY", ApiGetMouseY, 0},
    {"GetMouseMoveZ", kNotProvided, 0},
    {"SetSkipModeKey", kNotProvided, 1},
    {"LoadTexture", kNotBuilt, 1},
    {"RemoveTexture", kNotBuilt, 1},
    {"GetTextureWidth", kNotBuilt, 1},
    {"GetTextureHeight", kNotBuilt, 1},
    {"SetFogEnable", kNotProvided, 1},
    {"SetFogParam", kNotProvided, 5},
    {"SetInvalidRenderPriorityA1", kNotProvided, 2},
    {"ClearInvalidRenderPriority", kNotProvided, 0},
    {"GetReservedRenderTargetName", kNotProvided, 1},
    {"CreateRenderTarget", kNotProvided, 1},
    {"RenderToTextureA1", kNotProvided, 4},
    {"RenderToTextureB1", kNotProvided, 3},
    {"SaveRenderedTextureA1", kNotProvided, 2},
    {"SaveRenderedTextureA2", kNotProvided, 6},
    {"SaveSnapShotA1", kNotProvided, 1},
    {"SaveSnapShotA2", kNotProvided, 5},
    {"IsPixelShaderSupported", kNotProvided, 2},
    {"SetShader", kNotProvided, 3},
    {"SetShaderI", kNotProvided, 3},
    {"ResetShader", kNotProvided, 2},
    {"ResetShaderI", kNotProvided, 2},
    {"Set2DCameraFocusX", kNotProvided, 1},
    {"Set2DCameraFocusY", kNotProvided, 1},
    {"Set2DCameraAngleZ", kNotProvided, 1},
    {"Set2DCameraRatio", kNotProvided, 1},
    {"Set2DCameraRatioX", kNotProvided, 1},
    {"Set2DCameraRatioY", kNotProvided, 1},
    {"Reset2DCamera", kNotProvided, 0},
    {"Get2DCameraX", kNotProvided, 0},
    {"Get2DCameraY", kNotProvided, 0},
    {"Get2DCameraAngleZ", kNotProvided, 0},
    {"Get2DCameraRatio", kNotProvided, 0},
    {"Get2DCameraRatioX", kNotProvided, 0},
    {"Get2DCameraRatioY", kNotProvided, 0},
    {"SetItemRenderPriorityI", kNotProvided, 1},
    {"SetShotRenderPriorityI", kNotProvided, 1},
    {"GetStgFrameRenderPriorityMinI", kNotProvided, 0},
    {"GetStgFrameRenderPriorityMaxI", kNotProvided, 0},
    {"GetItemRenderPriorityI", kNotProvided, 0},
    {"GetShotRenderPriorityI", kNotProvided, 0},
    {"GetPlayerRenderPriorityI", kNotProvided, 0},
    {"GetCameraFocusPermitPriorityI", kNotProvided, 0},
    {"SystemData_GetValue", ApiSystemDataGetValue, 1},
    {"SystemData_SetValue", ApiSystemDataSetValue, 2},
    {"GetScreenWidth", ApiGetScreenWidth, 0},
    {"GetScreenHeight", ApiGetScreenHeight, 0},
    {"IsReplay", kNotProvided, 0},
    {"AddArchiveFile", kNotProvided, 1},
    {"GetEnemyBossSceneObjectID", kNotProvided, 0},
    {"GetEnemyBossObjectID", kNotProvided, 0},
    {"GetAllEnemyID", kNotProvided, 0},
    {"GetIntersectionRegistedEnemyID", kNotProvided, 0},
    {"GetAllEnemyIntersectionPosition", kNotProvided, 0},
    {"GetEnemyIntersectionPosition", kNotProvided, 3},
    {"GetEnemyIntersectionPositionByIdA1", kNotProvided, 1},
    {"GetEnemyIntersectionPositionByIdA2", kNotProvided, 3},
    {"ReloadEnemyShotData", kNotProvided, 1},
    {"DeleteShotInCircle", kNotProvided, 5},
    {"CreateCurveLaserA1", kNotProvided, 8},
    {"SetShotIntersectionCircle", kNotProvided, 3},
    {"SetShotIntersectionLine", kNotProvided, 5},
    {"GetShotIdInCircleA1", kNotProvided, 3},
    {"GetShotIdInCircleA2", kNotProvided, 4},
    {"GetShotCount", kNotProvided, 1},
    {"SetShotAutoDeleteClip", kNotProvided, 4},
    {"GetShotDataInfoA1", kNotProvided, 3},
    {"StartShotScript", kNotProvided, 1},
    {"CreateItemA1", kNotProvided, 4},
    {"CreateItemA2", kNotProvided, 6},
    {"CreateItemU1", kNotProvided, 4},
    {"CreateItemU2", kNotProvided, 6},
    {"CollectAllItems", kNotProvided, 0},
    {"CollectItemsByType", kNotProvided, 1},
    {"CollectItemsInCircle", kNotProvided, 3},
    {"CancelCollectItems", kNotProvided, 0},
    {"StartItemScript", kNotProvided, 1},
    {"SetDefaultBonusItemEnable", kNotProvided, 1},
    {"LoadItemData", kNotProvided, 1},
    {"ReloadItemData", kNotProvided, 1},
    {"CallSpell", kNotProvided, 0},
    {"GetSpellManageObject", kNotProvided, 0},
    // Script manager: scripts, events and their results (17)
    {"LoadScript", ScriptLoadScript, 1},
    {"StartScript", ScriptStartScript, 1},
    {"RestartScript", ScriptRestartScript, 1},
    {"CloseScript", ScriptCloseScript, 1},
    {"IsCloseScript", ScriptIsCloseScript, 1},
    {"CloseStgScene", nullptr, 0},  // registered, but a call does nothing
    {"GetOwnScriptID", ScriptGetOwnScriptId, 0},
    {"GetEventArgument", ScriptGetEventArgument, 1},
    {"GetScriptResult", ScriptGetScriptResult, 1},
    {"SetScriptResult", ScriptSetScriptResult, 1},
    {"GetScriptResult", ScriptGetScriptResult, 1},
    {"SetAutoDeleteObject", ScriptSetAutoDeleteObject, 1},
    {"NotifyEvent", ScriptNotifyEvent, 3},
    {"NotifyEventAll", ScriptNotifyEventAll, 2},
    {"GetCurrentScriptInfoA1", ScriptGetCurrentScriptInfo, 1},
    {"GetScriptInfoA1", ScriptGetScriptInfo, 2},
    {"GetEventType", ScriptGetEventType, 0},
    // Entity system, ECS_ (6)
    {"ECS_Create", EcsCreate, 1},
    {"ECS_Remove", EcsRemove, 1},
    {"ECS_SetActive", EcsSetActive, 2},
    {"ECS_IsActive", EcsIsActive, 1},
    {"ECS_Exists", EcsExists, 1},
    {"ECS_EntityCount", EcsEntityCount, 0},
    // Entity system, SysObjType_ (2)
    {"SysObjType_SetType", SysObjTypeSetType, 2},
    {"SysObjType_GetType", SysObjTypeGetType, 1},
    // Entity system, SysKeyMap_ (7)
    {"SysKeyMap_Add", SysKeyMapAdd, 1},
    {"SysKeyMap_Remove", SysKeyMapRemove, 1},
    {"SysKeyMap_GetValue", SysKeyMapGetValue, 2},
    {"SysKeyMap_GetValueD", SysKeyMapGetValueD, 3},
    {"SysKeyMap_SetValue", SysKeyMapSetValue, 3},
    {"SysKeyMap_DeleteValue", SysKeyMapDeleteValue, 2},
    {"SysKeyMap_IsValueExists", SysKeyMapIsValueExists, 2},
    // Entity system, SysMovement_ (39)
    {"SysMovement_Add", SysMovementAdd, 1},
    {"SysMovement_Remove", SysMovementRemove, 1},
    {"SysMovement_SetPosition", SysMovementSetPosition, 4},
    {"SysMovement_SetX", SysMovementSetX, 2},
    {"SysMovement_SetY", SysMovementSetY, 2},
    {"SysMovement_SetZ", SysMovementSetZ, 2},
    {"SysMovement_SetRotation", SysMovementSetRotation, 4},
    {"SysMovement_SetAngleX", SysMovementSetAngleX, 2},
    {"SysMovement_SetAngleY", SysMovementSetAngleY, 2},
    {"SysMovement_SetAngleZ", SysMovementSetAngleZ, 2},
    {"SysMovement_SetScale", SysMovementSetScale, 4},
    {"SysMovement_SetScaleX", SysMovementSetScaleX, 2},
    {"SysMovement_SetScaleY", SysMovementSetScaleY, 2},
    {"SysMovement_SetScaleZ", SysMovementSetScaleZ, 2},
    {"SysMovement_SetSpeed", SysMovementSetSpeed, 2},
    {"SysMovement_SetAngularVelocity", SysMovementSetAngularVelocity, 4},
    {"SysMovement_SetAngularVelocityX", SysMovementSetAngularVelocityX, 2},
    {"SysMovement_SetAngularVelocityY", SysMovementSetAngularVelocityY, 2},
    {"SysMovement_SetAngularVelocityZ", SysMovementSetAngularVelocityZ, 2},
    {"SysMovement_SetAcceleration", SysMovementSetAcceleration, 2},
    {"SysMovement_SetMaxSpeed", SysMovementSetMaxSpeed, 2},
    {"SysMovement_GetPosition", SysMovementGetPosition, 1},
    {"SysMovement_GetX", SysMovementGetX, 1},
    {"SysMovement_GetY", SysMovementGetY, 1},
    {"SysMovement_GetZ", SysMovementGetZ, 1},
    {"SysMovement_GetRotation", SysMovementGetRotation, 1},
    {"SysMovement_GetAngleX", SysMovementGetAngleX, 1},
    {"SysMovement_GetAngleY", SysMovementGetAngleY, 1},
    {"SysMovement_GetAngleZ", SysMovementGetAngleZ, 1},
    {"SysMovement_GetScale", SysMovementGetScale, 1},
    {"SysMovement_GetScaleX", SysMovementGetAngleX, 1},
    {"SysMovement_GetScaleY", SysMovementGetAngleY, 1},
    {"SysMovement_GetScaleZ", SysMovementGetAngleZ, 1},
    {"SysMovement_GetSpeed", SysMovementGetSpeed, 1},
    {"SysMovement_GetAngularVelocity", SysMovementGetScale, 1},
    {"SysMovement_GetAngularVelocityX", SysMovementGetAngleX, 1},
    {"SysMovement_GetAngularVelocityY", SysMovementGetAngleY, 1},
    {"SysMovement_GetAngularVelocityZ", SysMovementGetAngleZ, 1},
    {"SysMovement_GetAcceleration", SysMovementGetSpeed, 1},
    // Entity system, SysRender_ (82)
    {"SysRender_Add", kNotBuilt, 1},
    {"SysRender_Remove", kNotBuilt, 1},
    {"SysRender_SetSTGFrame", kNotBuilt, 6},
    {"SysRender_SetPosition", kNotBuilt, 4},
    {"SysRender_SetX", kNotBuilt, 2},
    {"SysRender_SetY", kNotBuilt, 2},
    {"SysRender_SetZ", kNotBuilt, 2},
    {"SysRender_SetRotation", kNotBuilt, 4},
    {"SysRender_SetAngleX", kNotBuilt, 2},
    {"SysRender_SetAngleY", kNotBuilt, 2},
    {"SysRender_SetAngleZ", kNotBuilt, 2},
    {"SysRender_SetScale", kNotBuilt, 4},
    {"SysRender_SetScaleX", kNotBuilt, 2},
    {"SysRender_SetScaleY", kNotBuilt, 2},
    {"SysRender_SetScaleZ", kNotBuilt, 2},
    {"SysRender_SetEditMode", kNotBuilt, 2},
    {"SysRender_IsEditMode", kNotBuilt, 1},
    {"SysRender_SetEditRange", kNotBuilt, 3},
    {"SysRender_SetEditAll", kNotBuilt, 1},
    {"SysRender_SetVisible", kNotBuilt, 2},
    {"SysRender_SetFixedAngle", kNotBuilt, 2},
    {"SysRender_SetRenderPriority", kNotBuilt, 2},
    {"SysRender_SetVertexLayout", kNotBuilt, 2},
    {"SysRender_SetVertexType", kNotBuilt, 2},
    {"SysRender_SetVertexCount", kNotBuilt, 2},
    {"SysRender_SetVertexPosition", kNotBuilt, 5},
    {"SysRender_SetVertexRHW", kNotBuilt, 3},
    {"SysRender_SetVertexColor", kNotBuilt, 5},
    {"SysRender_SetVertexAlpha", kNotBuilt, 3},
    {"SysRender_SetVertexUV", kNotBuilt, 4},
    {"SysRender_SetVertexUVT", kNotBuilt, 4},
    {"SysRender_SetColorRGB", kNotBuilt, 4},
    {"SysRender_SetColorHSV", kNotBuilt, 4},
    {"SysRender_SetAlpha", kNotBuilt, 2},
    {"SysRender_SetTexture", kNotBuilt, 2},
    {"SysRender_SetSourceRect", kNotBuilt, 5},
    {"SysRender_SetZTest", kNotBuilt, 2},
    {"SysRender_SetLighting", kNotBuilt, 2},
    {"SysRender_SetZWrite", kNotBuilt, 2},
    {"SysRender_SetCullMode", kNotBuilt, 2},
    {"SysRender_SetAlphaBlend", kNotBuilt, 2},
    {"SysRender_SetBlendOperation", kNotBuilt, 2},
    {"SysRender_SetSourceBlendState", kNotBuilt, 2},
    {"SysRender_SetDestBlendState", kNotBuilt, 2},
    {"SysRender_SetAlphaTest", kNotBuilt, 2},
    {"SysRender_SetAlphaRef", kNotBuilt, 2},
    {"SysRender_SetAlphaFunc", kNotBuilt, 2},
    {"SysRender_SetMagFilter", kNotBuilt, 2},
    {"SysRender_SetMinFilter", kNotBuilt, 2},
    {"SysRender_SetMipFilter", kNotBuilt, 2},
    {"SysRender_SetFillMode", kNotBuilt, 2},
    {"SysRender_GetPosition", kNotBuilt, 1},
    {"SysRender_GetX", kNotBuilt, 1},
    {"SysRender_GetY", kNotBuilt, 1},
    {"SysRender_GetZ", kNotBuilt, 1},
    {"SysRender_GetRotation", kNotBuilt, 1},
    {"SysRender_GetAngleX", kNotBuilt, 1},
    {"SysRender_GetAngleY", kNotBuilt, 1},
    {"SysRender_GetAngleZ", kNotBuilt, 1},
    {"SysRender_GetScale", kNotBuilt, 1},
    {"SysRender_GetScaleX", kNotBuilt, 1},
    {"SysRender_GetScaleY", kNotBuilt, 1},
    {"SysRender_GetScaleZ", kNotBuilt, 1},
    {"SysRender_IsVisible", kNotBuilt, 1},
    {"SysRender_GetRenderPriority", kNotBuilt, 1},
    {"SysRender_GetVertexLayout", kNotBuilt, 1},
    {"SysRender_GetVertexType", kNotBuilt, 1},
    {"SysRender_GetVertexCount", kNotBuilt, 1},
    {"SysRender_GetVertexPosition", kNotBuilt, 2},
    {"SysRender_GetColorRGBA", kNotBuilt, 1},
    {"SysRender_GetColorHSVA", kNotBuilt, 1},
    {"SysRender_GetAlpha", kNotBuilt, 1},
    {"SysRender_GetSourceRect", kNotBuilt, 1},
    {"SysRender_IsZTest", kNotBuilt, 1},
    {"SysRender_IsZWrite", kNotBuilt, 1},
    {"SysRender_IsAlphaBlend", kNotBuilt, 1},
    {"SysRender_GetBlendOperation", kNotBuilt, 1},
    {"SysRender_GetSourceBlendState", kNotBuilt, 1},
    {"SysRender_GetDestBlendState", kNotBuilt, 1},
    {"SysRender_IsAlphaTest", kNotBuilt, 1},
    {"SysRender_GetAlphaRef", kNotBuilt, 1},
    {"SysRender_GetFillMode", kNotBuilt, 1},
    // Entity system, SysCollision_ (11)
    {"SysCollision_Add", kNotBuilt, 1},
    {"SysCollision_RemoveAll", kNotBuilt, 1},
    {"SysCollision_Remove", kNotBuilt, 2},
    {"SysCollision_Count", kNotBuilt, 2},
    {"SysCollision_Check", kNotBuilt, 2},
    {"SysCollision_GetType", kNotBuilt, 2},
    {"SysCollision_SetNone", kNotBuilt, 2},
    {"SysCollision_SetRect2D", kNotBuilt, 6},
    {"SysCollision_SetRect2DSegment", kNotBuilt, 7},
    {"SysCollision_SetCircle2D", kNotBuilt, 5},
    {"SysCollision_SetCircle2DRelative", kNotBuilt, 5},
    // Entity system, SysText_ (25)
    {"SysText_Add", kNotBuilt, 1},
    {"SysText_Remove", kNotBuilt, 1},
    {"SysText_InstallFont", kNotBuilt, 1},
    {"SysText_SetDefaultFont", kNotBuilt, 1},
    {"SysText_Refresh", kNotBuilt, 1},
    {"SysText_SetText", kNotBuilt, 2},
    {"SysText_SetFont", kNotBuilt, 2},
    {"SysText_SetFontSize", kNotBuilt, 2},
    {"SysText_SetFontBold", kNotBuilt, 2},
    {"SysText_SetFontColorRainbow", kNotBuilt, 1},
    {"SysText_SetFontColorTop", kNotBuilt, 4},
    {"SysText_SetFontColorBottom", kNotBuilt, 4},
    {"SysText_SetFontBorderWidth", kNotBuilt, 2},
    {"SysText_SetFontBorderType", kNotBuilt, 2},
    {"SysText_SetFontBorderColor", kNotBuilt, 4},
    {"SysText_SetMaxWidth", kNotBuilt, 2},
    {"SysText_SetMaxHeight", kNotBuilt, 2},
    {"SysText_ShowControlCharacters", kNotBuilt, 2},
    {"SysText_SetSyntacticAnalysis", kNotBuilt, 2},
    {"SysText_GetTextLengthVisible", kNotBuilt, 1},
    {"SysText_GetTextLength", kNotBuilt, 1},
    {"SysText_GetTextLengthCU", kNotBuilt, 1},
    {"SysText_GetTextLinebreaks", kNotBuilt, 1},
    {"SysText_GetTotalWidth", kNotBuilt, 1},
    {"SysText_GetTotalHeight", kNotBuilt, 1},
    // Entity system, SysPlayer_ (33)
    {"SysPlayer_Add", kNotBuilt, 1},
    {"SysPlayer_Remove", kNotBuilt, 1},
    {"SysPlayer_SetHitboxCollider", kNotBuilt, 2},
    {"SysPlayer_GetHitboxCollider", kNotBuilt, 1},
    {"SysPlayer_SetGrazeboxCollider", kNotBuilt, 2},
    {"SysPlayer_GetGrazeboxCollider", kNotBuilt, 1},
    {"SysPlayer_SetSpeed", kNotBuilt, 3},
    {"SysPlayer_SetClip", kNotBuilt, 5},
    {"SysPlayer_SetLife", kNotBuilt, 2},
    {"SysPlayer_SetSpell", kNotBuilt, 2},
    {"SysPlayer_SetPower", kNotBuilt, 2},
    {"SysPlayer_SetInitialInvincibilityFrame", kNotBuilt, 2},
    {"SysPlayer_SetInitialDownStateFrame", kNotBuilt, 2},
    {"SysPlayer_SetInitialCounterspellFrame", kNotBuilt, 2},
    {"SysPlayer_SetCounterspellFrameLoss", kNotBuilt, 2},
    {"SysPlayer_SetAutoItemCollectLine", kNotBuilt, 2},
    {"SysPlayer_SetShotAllowed", kNotBuilt, 2},
    {"SysPlayer_SetSpellAllowed", kNotBuilt, 2},
    {"SysPlayer_GetState", kNotBuilt, 1},
    {"SysPlayer_GetFocusSpeed", kNotBuilt, 1},
    {"SysPlayer_GetUnfocusSpeed", kNotBuilt, 1},
    {"SysPlayer_GetClip", kNotBuilt, 1},
    {"SysPlayer_GetLife", kNotBuilt, 1},
    {"SysPlayer_GetSpell", kNotBuilt, 1},
    {"SysPlayer_GetPower", kNotBuilt, 1},
    {"SysPlayer_GetInvincibilityFrame", kNotBuilt, 1},
    {"SysPlayer_GetDownStateFrame", kNotBuilt, 1},
    {"SysPlayer_GetCounterspellFrame", kNotBuilt, 1},
    {"SysPlayer_IsPermitShot", kNotBuilt, 1},
    {"SysPlayer_IsPermitSpell", kNotBuilt, 1},
    {"SysPlayer_IsPlayerCounterspell", kNotBuilt, 1},
    {"SysPlayer_IsPlayerSpellActive", kNotBuilt, 1},
    {"SysPlayer_GetHitCount", kNotBuilt, 1},
    // Entity system, SysShot_ (33)
    {"SysShot_Add", kNotBuilt, 1},
    {"SysShot_Remove", kNotBuilt, 1},
    {"SysShot_DeleteAll", kNotBuilt, 2},
    {"SysShot_SetShotBoundary", kNotBuilt, 4},
    {"SysShot_LoadEnemyShotData", kNotBuilt, 1},
    {"SysShot_LoadPlayerShotData", kNotBuilt, 1},
    {"SysShot_SetCollider", kNotBuilt, 2},
    {"SysShot_GetCollider", kNotBuilt, 1},
    {"SysShot_SetAutoDelete", kNotBuilt, 2},
    {"SysShot_FadeDelete", kNotBuilt, 1},
    {"SysShot_SetDeleteFrame", kNotBuilt, 2},
    {"SysShot_SetSpawnDelay", kNotBuilt, 2},
    {"SysShot_SetSpellResist", kNotBuilt, 2},
    {"SysShot_SetGraphicId", kNotBuilt, 2},
    {"SysShot_SetSourceBlendType", kNotBuilt, 2},
    {"SysShot_ToItem", kNotBuilt, 2},
    {"SysShot_SetGrazeInvalidFrame", kNotBuilt, 2},
    {"SysShot_SetPlayerShot", kNotBuilt, 2},
    {"SysShot_SetDamage", kNotBuilt, 2},
    {"SysShot_SetPenetration", kNotBuilt, 2},
    {"SysShot_SetEraseShot", kNotBuilt, 2},
    {"SysShot_SetSpellFactor", kNotBuilt, 2},
    {"SysShot_AddShotA1", kNotBuilt, 3},
    {"SysShot_AddShotA2", kNotBuilt, 5},
    {"SysShot_SetCollisionEnable", kNotBuilt, 2},
    {"SysShot_SetItemChange", kNotBuilt, 2},
    {"SysShot_GetDamage", kNotBuilt, 1},
    {"SysShot_GetPenetration", kNotBuilt, 1},
    {"SysShot_GetDelay", kNotBuilt, 1},
    {"SysShot_IsGrazed", kNotBuilt, 1},
    {"SysShot_IsPlayerShot", kNotBuilt, 1},
    {"SysShot_IsSpellResistant", kNotBuilt, 1},
    {"SysShot_GetGraphicId", kNotBuilt, 1},
    // Entity system, SysShotData_ (1)
    {"SysShotData_GetData", kNotBuilt, 3},
    // Entity system, SysOwnership_ (5)
    {"SysOwnership_Set", SysOwnershipSet, 2},
    {"SysOwnership_SetId", SysOwnershipSetId, 2},
    {"SysOwnership_Unset", SysOwnershipUnset, 1},
    {"SysOwnership_RemoveId", SysOwnershipRemoveId, 1},
    {"SysOwnership_RemoveIdType", SysOwnershipRemoveIdType, 2},
    // Entity system, SysEnemy_ (14)
    {"SysEnemy_Add", kNotBuilt, 1},
    {"SysEnemy_Remove", kNotBuilt, 1},
    {"SysEnemy_GetLife", kNotBuilt, 1},
    {"SysEnemy_GetDamageRateShot", kNotBuilt, 1},
    {"SysEnemy_GetDamageRateSpell", kNotBuilt, 1},
    {"SysEnemy_GetHitCount", kNotBuilt, 1},
    {"SysEnemy_SetLife", kNotBuilt, 2},
    {"SysEnemy_AddLife", kNotBuilt, 2},
    {"SysEnemy_SetDamageRateShot", kNotBuilt, 2},
    {"SysEnemy_SetDamageRateSpell", kNotBuilt, 2},
    {"SysEnemy_SetColliderShot", kNotBuilt, 2},
    {"SysEnemy_GetColliderShot", kNotBuilt, 1},
    {"SysEnemy_SetColliderPlayer", kNotBuilt, 2},
    {"SysEnemy_GetColliderPlayer", kNotBuilt, 1},
    // Entity system, Intrin_ (1)
    {"Intrin_CreateShotA2", kNotBuilt, 8},
};
static_assert(std::size(kRows) == kBuiltinCount);

// For each row, the first row of the same name, so that a name listed twice shares one stand-in.
// Rows are sorted by a hash of their names, so that only neighbours need a text comparison: the
// compilers' constant evaluation is too slow for comparing every pair of names.
constexpr uint64_t NameHash(const char* name) {
    uint64_t hash = 14695981039346656037u;
    for (; *name != '\0'; ++name)
        hash = (hash ^ static_cast<unsigned char>(*name)) * 1099511628211u;
    return hash;
}

constexpr std::array<size_t, kBuiltinCount> kFirstRowOfName = [] {
    std::array<uint64_t, kBuiltinCount> hashes{};
    std::array<size_t, kBuiltinCount> order{};
    for (size_t row = 0; row < kBuiltinCount; ++row) {
        hashes[row] = NameHash(kRows[row].name);
        order[row] = row;
    }
    std::sort(order.begin(), order.end(), [&hashes](size_t a, size_t b) {
        return hashes[a] != hashes[b] ? hashes[a] < hashes[b] : a < b;
    });
    std::array<size_t, kBuiltinCount> first{};
    for (size_t i = 0; i < kBuiltinCount; ++i) {
        const size_t row = order[i];
        first[row] = row;
        // Equal names are neighbours, the earliest row first.
        for (size_t j = i; j > 0 && hashes[order[j - 1]] == hashes[row]; --j) {
            if (std::string_view(kRows[order[j - 1]].name) == kRows[row].name)
                first[row] = first[order[j - 1]];
        }
    }
    return first;
}();

// One stand-in per name: the builtin signature carries no name, so each is instantiated for its row.
template <size_t kRow>
Value Unavailable(ScriptMachine& machine, int32_t, Value*) {
    RaiseScriptError(machine, std::string(kRows[kRow].name) + " is not available in this build");
    return {};
}

// Likewise one diagnostic per name.
template <size_t kRow>
Value NotProvidedNamed(ScriptMachine& machine, int32_t, Value*) {
    return ApiNotProvided(machine, kRows[kRow].name);
}

template <size_t kRow>
constexpr BuiltinEntry Bind() {
    BuiltinEntry entry = kRows[kRow];
    if (entry.function == kNotBuilt) entry.function = Unavailable<kFirstRowOfName[kRow]>;
    if (entry.function == kNotProvided) entry.function = NotProvidedNamed<kFirstRowOfName[kRow]>;
    return entry;
}

template <size_t... kRowIndex>
constexpr std::array<BuiltinEntry, kBuiltinCount> BindAll(std::index_sequence<kRowIndex...>) {
    return {Bind<kRowIndex>()...};
}

constexpr std::array<BuiltinEntry, kBuiltinCount> kBuiltinTable =
    BindAll(std::make_index_sequence<kBuiltinCount>{});

}  // namespace

std::span<const BuiltinEntry> BuiltinTable() {
    return kBuiltinTable;
}

namespace {

bool IsBoundFrom(BuiltinFunction marker, BuiltinFunction function) {
    for (size_t row = 0; row < kBuiltinCount; ++row) {
        if (kRows[row].function == marker && kBuiltinTable[row].function == function) return true;
    }
    return false;
}

}  // namespace

bool IsUnavailableBuiltin(BuiltinFunction function) {
    return IsBoundFrom(kNotBuilt, function);
}

bool IsNotProvidedBuiltin(BuiltinFunction function) {
    return IsBoundFrom(kNotProvided, function);
}
