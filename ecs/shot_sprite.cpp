// The sprite side of shots: every graphic is a textured quad of its sheet rectangle's size, centred
// on the shot, drawn through the Render system.
#include "ecs/render_system.h"
#include "ecs/shot.h"
#include "render/texture.h"

namespace {

inline constexpr uint32_t kLinearFilter = 2;

}  // namespace

TextureHandle* LoadSheetTexture(const std::string& imagePath) {
    // An unreadable sheet leaves an empty path, which the texture manager reports.
    return GetTexture(imagePath.c_str());
}

void AddShotSprite(EntityId id) {
    AddRenderComponent(id);
    RenderComponent* sprite = LookupRenderComponent(id);
    if (sprite == nullptr) return;
    sprite->vertexLayout = 2;
    sprite->states.magFilter = kLinearFilter;
    sprite->states.minFilter = kLinearFilter;
    sprite->states.mipFilter = kLinearFilter;
}

void SetShotSprite(EntityId id, const ShotGraphic& graphic) {
    RenderComponent* sprite = LookupRenderComponent(id);
    if (sprite == nullptr) return;
    const int32_t left = graphic.rect[0], top = graphic.rect[1], right = graphic.rect[2], bottom = graphic.rect[3];
    sprite->vertexType = VERTEX_TEXTURE_PT;
    SetVertexCount(*sprite, id, 6);
    // The empty graphic of a shot made before any sheet has no texture to take texels from.
    if (graphic.texture == nullptr) return;
    SetTextureHandle(*sprite, graphic.texture);
    SetSourceRect(*sprite, id, left, top, right, bottom);
    // Corners in the order the source rectangle gives them their texels.
    const float halfWidth = static_cast<float>(right - left) / 2;
    const float halfHeight = static_cast<float>(bottom - top) / 2;
    const float corners[6][2] = {{-halfWidth, -halfHeight}, {halfWidth, halfHeight}, {-halfWidth, halfHeight},
                                 {halfWidth, halfHeight},   {-halfWidth, -halfHeight}, {halfWidth, -halfHeight}};
    for (uint16_t i = 0; i < 6; ++i) SetVertexPosition(*sprite, id, i, corners[i][0], corners[i][1], 0);
}
