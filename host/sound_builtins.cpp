#include "host/sound_builtins.h"

#include <string>

#include "audio/sound.h"
#include "script/machine.h"
#include "script/text_narrow.h"
#include "script/value.h"

namespace {

std::string PathArgument(int32_t argumentCount, Value* arguments) {
    return argumentCount >= 1 && arguments != nullptr ? TextToNarrow(ValueToText(arguments[0])) : std::string();
}

}  // namespace

Value ApiLoadSound(ScriptMachine& machine, int32_t argumentCount, Value* arguments) {
    const std::string path = PathArgument(argumentCount, arguments);
    return NewReal(*machine.types, LoadSoundByName(path.c_str()));
}

Value ApiRemoveSound(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    RemoveSoundByName(PathArgument(argumentCount, arguments).c_str());
    return {};
}

Value ApiPlayBGM(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    PlaySoundByName(PathArgument(argumentCount, arguments).c_str());
    return {};
}

Value ApiPlaySE(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    PlaySoundByName(PathArgument(argumentCount, arguments).c_str());
    return {};
}

Value ApiStopSound(ScriptMachine&, int32_t argumentCount, Value* arguments) {
    StopSoundByName(PathArgument(argumentCount, arguments).c_str());
    return {};
}
