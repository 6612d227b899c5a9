#include "ecs/system_callbacks.h"

#include <cstring>

#include "base/console.h"

SystemCallbacks g_systemCallbacks;

namespace {

template <typename Callback>
void Add(CallbackList<Callback>& list, Callback callback, const char* duplicateWarning,
         const char* fullWarning) {
    for (int i = 0; i < list.count; ++i) {
        if (list.functions[i] == callback) {
            ConsolePrintf("%s", duplicateWarning);
            return;
        }
    }
    // The count is one byte wide: the last slot stays unused so that it cannot wrap to 0.
    if (list.count == kCallbackSlots - 1) {
        ConsolePrintf("%s", fullWarning);
        return;
    }
    list.functions[list.count++] = callback;
}

}  // namespace

void ResetSystemCallbacks() {
    std::memset(&g_systemCallbacks, 0, sizeof g_systemCallbacks);
}

void AddDeletionCallback(DeletionCallback callback) {
    Add(g_systemCallbacks.deletion, callback,
        "\nblueblack{ECS warning:} yellowblack{Deletion callbacks can only be added once}",
        "\nblueblack{ECS warning:} yellowblack{The list of deletion callbacks is full}");
}

void AddUpdateCallback(UpdateCallback callback) {
    Add(g_systemCallbacks.update, callback,
        "\nblueblack{ECS warning:} yellowblack{Update callbacks can only be added once}",
        "\nblueblack{ECS warning:} yellowblack{The list of update callbacks is full}");
}

void AddRenderCallback(RenderCallback callback) {
    Add(g_systemCallbacks.render, callback,
        "\nblueblack{ECS warning:} yellowblack{Render callbacks can only be added once}",
        "\nblueblack{ECS warning:} yellowblack{The list of render callbacks is full}");
}

// The count is read again after each call: a callback may register another.
void RunDeletionCallbacks(EntityId id) {
    const CallbackList<DeletionCallback>& list = g_systemCallbacks.deletion;
    for (int i = 0; i < list.count; ++i)
        list.functions[i](id);
}

void RunUpdateCallbacks() {
    const CallbackList<UpdateCallback>& list = g_systemCallbacks.update;
    for (int i = 0; i < list.count; ++i)
        list.functions[i]();
}

void RunRenderCallbacks() {
    const CallbackList<RenderCallback>& list = g_systemCallbacks.render;
    for (int i = 0; i < list.count; ++i)
        list.functions[i]();
}
