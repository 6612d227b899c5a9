#include "host/texture_builtins.h"

#include <string>

#include "render/texture.h"
#include "script/machine.h"
#include "script/text_narrow.h"
#include "script/value.h"

namespace {

std::string PathArgument(int32_t argumentCount, Value* arguments) {
    return argumentCount >= 1 && arguments != nullptr ? TextToNarrow(ValueToText(arguments[0])) : std::string();
}

Value ImageSide(ScriptMachine& machine, int32_t argumentCount, Value* arguments, bool width) {
    const std::string path = PathArgument(argumentCount, arguments);
    // A reference of its own for the look, given back at once: a texture nobody else holds goes again.
    TextureHandle* handle = GetTexture(path.c_str());
    if (handle == nullptr) return NewReal(*machine.types, -1);
    const Image* image = handle->image;
    const double side = image == nullptr ? 0 : (width ? image->width : image->height);
    ReleaseTextureHandle(handle);
    return NewReal(*machine.types, side);
}

}  // namespace

Value ApiLoadTexture(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    const std::string path = PathArgument(argumentCount, arguments);
    return NewReal(*machine.types, LoadScriptTexture(path.c_str()) != nullptr ? 0 : -1);
}

Value ApiRemoveTexture(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    const std::string path = PathArgument(argumentCount, arguments);
    RemoveTexture(path.c_str());
    return {};
}

Value ApiGetTextureWidth(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    return ImageSide(machine, argumentCount, arguments, true);
}

Value ApiGetTextureHeight(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    return ImageSide(machine, argumentCount, arguments, false);
}
