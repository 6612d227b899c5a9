// The shipped program takes these kernel functions from backfill rather than from kernel32, so that
// it starts on systems whose kernel32 lacks them. The runtime libraries of this build call only
// some of them; this table binds the rest too, so that the import table is the same whatever the
// runtime happens to call.
#include "platform/win32/win32_api.h"

extern "C" {
__attribute__((used)) const void* const g_backfillImports[] = {
    reinterpret_cast<const void*>(&DecodePointer),
    reinterpret_cast<const void*>(&EncodePointer),
    reinterpret_cast<const void*>(&FindFirstFileExW),
    reinterpret_cast<const void*>(&GetFileSizeEx),
    reinterpret_cast<const void*>(&InitializeCriticalSectionAndSpinCount),
    reinterpret_cast<const void*>(&InitializeSListHead),
    reinterpret_cast<const void*>(&IsDebuggerPresent),
    reinterpret_cast<const void*>(&IsProcessorFeaturePresent),
    reinterpret_cast<const void*>(&ReadFile),
    reinterpret_cast<const void*>(&SetFilePointerEx),
    reinterpret_cast<const void*>(&WriteFile),
};
}
