#pragma once
// Object types: one number per entity id that scripts classify their objects by (collision skips
// pairs of one type, the player reacts to enemies and shots, ownership deletes by type). A type
// belongs to the id, not the entity: deletion leaves it, and the next entity of that id has it.

#include <cstdint>

#include "ecs/entity.h"
#include "script/builtin.h"

struct ObjectTypeTable {
    int32_t types[MAX_ENTITIES];
};
extern ObjectTypeTable g_objectTypes;

// Every type 0.
void ResetObjectTypes();

Value SysObjTypeSetType(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysObjTypeGetType(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
