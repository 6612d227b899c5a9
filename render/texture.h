#pragma once
// Textures shared by file path: 64 reference-counted slots over the back end's texture records.

#include <cstdint>

#include "render/device.h"
#include "render/image.h"

// Owned by the back end.
struct TextureHandle {
    uint16_t textureWidth, textureHeight;  // the device texture's size
    Image* image;                          // may be null
    DeviceTexture texture;                 // 0 without a device texture
};

inline constexpr int kTextureSlots = 64;
inline constexpr int kTexturePathBytes = 256;

struct TextureSlot {
    int32_t referenceCount;
    // Of referenceCount, the references scripts took by path (LoadTexture); only those may a
    // script's RemoveTexture give back, so that it never frees a texture something else draws.
    int32_t scriptReferences;
    TextureHandle* texture;  // null: free slot
    char path[kTexturePathBytes];
};

struct TextureManager {
    TextureSlot slots[kTextureSlots];
};
extern TextureManager g_textureMgr;

// Releases every texture and clears every slot (tests).
void ResetTextureManager();

// The texture of `path` (the exact bytes, case-sensitive) with one more reference; loaded into a
// free slot on first use. Null, with a message, when the path is too long, no slot is free or the
// image cannot be read (no slot is taken then).
TextureHandle* GetTexture(const char* path);
// One reference less in every slot that holds the handle; a slot reaching 0 frees the texture.
// Null is ignored.
void ReleaseTextureHandle(TextureHandle* handle);
// One more reference in every slot that holds the handle (a second holder of a handle it was given).
void AddTextureHandleReference(TextureHandle* handle);

// The script interface: a reference taken by path, and given back by path. Giving back more than
// was taken does nothing.
TextureHandle* LoadScriptTexture(const char* path);
void RemoveTexture(const char* path);

// The slot holding `path`, or null.
const TextureSlot* FindTextureSlot(const char* path);
