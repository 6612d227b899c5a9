#pragma once
// The texture builtins of the engine API: textures taken and given back by path.

#include "script/builtin.h"

// (path): 0 when the texture is loaded (or was), -1 when it cannot be.
Value ApiLoadTexture(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (path): gives back one reference the script took with LoadTexture.
Value ApiRemoveTexture(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// (path): the image's size, loading it for the moment when it is not loaded; -1 when it cannot be.
Value ApiGetTextureWidth(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value ApiGetTextureHeight(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
