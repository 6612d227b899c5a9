#pragma once
// The three lists through which systems learn of deletions and take part in every frame.

#include <cstdint>

#include "ecs/entity.h"

using DeletionCallback = void (*)(EntityId id);
using UpdateCallback = void (*)();
using RenderCallback = void (*)();

inline constexpr int kCallbackSlots = 256;

template <typename Callback>
struct CallbackList {
    Callback functions[kCallbackSlots];
    uint8_t count;
};

struct SystemCallbacks {
    CallbackList<DeletionCallback> deletion;
    CallbackList<UpdateCallback> update;
    CallbackList<RenderCallback> render;
};
extern SystemCallbacks g_systemCallbacks;

void ResetSystemCallbacks();

// Each appends the function; a function already in the list is not added again (warning).
void AddDeletionCallback(DeletionCallback callback);
void AddUpdateCallback(UpdateCallback callback);
void AddRenderCallback(RenderCallback callback);

// Call every function of a list in registration order.
void RunDeletionCallbacks(EntityId id);
void RunUpdateCallbacks();
void RunRenderCallbacks();
