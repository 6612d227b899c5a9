#include "render/texture.h"

#include <cstring>

#include "base/console.h"
#include "render/backend.h"

TextureManager g_textureMgr;

namespace {

TextureSlot* SlotOf(const char* path) {
    for (TextureSlot& slot : g_textureMgr.slots) {
        if (slot.texture != nullptr && std::strncmp(slot.path, path, kTexturePathBytes) == 0) return &slot;
    }
    return nullptr;
}

void FreeSlot(TextureSlot& slot) {
    TextureHandle* handle = slot.texture;
    slot = TextureSlot{};
    g_renderBackend.ReleaseTexture(handle);
}

void Release(TextureSlot& slot) {
    if (--slot.referenceCount <= 0) FreeSlot(slot);
    else if (slot.scriptReferences > slot.referenceCount) slot.scriptReferences = slot.referenceCount;
}

}  // namespace

void ResetTextureManager() {
    for (TextureSlot& slot : g_textureMgr.slots) {
        if (slot.texture != nullptr) FreeSlot(slot);
        slot = TextureSlot{};
    }
}

const TextureSlot* FindTextureSlot(const char* path) {
    return path != nullptr ? SlotOf(path) : nullptr;
}

TextureHandle* GetTexture(const char* path) {
    if (path == nullptr) return nullptr;
    if (std::strlen(path) >= static_cast<size_t>(kTexturePathBytes)) {
        ConsolePrintf(
            "\nredblack{TextureMgr error:} yellowblack{Texture path longer than} aquablack{%i} "
            "yellowblack{characters:} aquablack{%.64s...}",
            kTexturePathBytes - 1, path);
        return nullptr;
    }
    if (TextureSlot* slot = SlotOf(path)) {
        ++slot->referenceCount;
        return slot->texture;
    }
    TextureSlot* free = nullptr;
    for (TextureSlot& slot : g_textureMgr.slots) {
        if (slot.texture == nullptr) {
            free = &slot;
            break;
        }
    }
    if (free == nullptr) {
        ConsolePrintf("\nredblack{TextureMgr error:} yellowblack{Out of Texture Slots (Limit = %i)}", kTextureSlots);
        return nullptr;
    }
    // A path whose image cannot be read takes no slot: its users get no texture and a later load
    // may find the file.
    Image* image = LoadImage(path, MaxTextureSide());
    if (image == nullptr) return nullptr;
    TextureHandle* handle = g_renderBackend.CreateTextureFromImage(image);
    if (handle == nullptr) {
        FreeImage(image);
        return nullptr;
    }
    free->texture = handle;
    free->referenceCount = 1;
    free->scriptReferences = 0;
    std::memcpy(free->path, path, std::strlen(path) + 1);
    return handle;
}

void ReleaseTextureHandle(TextureHandle* handle) {
    if (handle == nullptr) return;
    for (TextureSlot& slot : g_textureMgr.slots) {
        if (slot.texture == handle) Release(slot);
    }
}

void AddTextureHandleReference(TextureHandle* handle) {
    if (handle == nullptr) return;
    for (TextureSlot& slot : g_textureMgr.slots) {
        if (slot.texture == handle) ++slot.referenceCount;
    }
}

TextureHandle* LoadScriptTexture(const char* path) {
    TextureHandle* handle = GetTexture(path);
    if (handle != nullptr) {
        if (TextureSlot* slot = SlotOf(path)) ++slot->scriptReferences;
    }
    return handle;
}

void RemoveTexture(const char* path) {
    if (path == nullptr) return;
    TextureSlot* slot = SlotOf(path);
    if (slot == nullptr || slot->scriptReferences <= 0) return;
    --slot->scriptReferences;
    Release(*slot);
}
