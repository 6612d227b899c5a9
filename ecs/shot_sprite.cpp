// PLACEHOLDER until the render system is merged: replaced by the real sprite set-up before landing.
#include "ecs/shot.h"

TextureHandle* LoadSheetTexture(const std::string&) { return nullptr; }
void AddShotSprite(EntityId) {}
void SetShotSprite(EntityId, const ShotGraphic&) {}
