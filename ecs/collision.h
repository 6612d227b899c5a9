#pragma once
// Collision: 2D hit shapes attached to entities, several per entity told apart by their multipleId,
// kept in the entity's local coordinates and placed by its Movement transform. Nothing is tested
// on its own: the player, enemy and shot updates and the scripts ask which colliders one touches.

#include <cstdint>

#include "ecs/entity.h"
#include "ecs/movement.h"

inline constexpr uint32_t COL_NONE = 0;
inline constexpr uint32_t kColliderRectangle = 3;
inline constexpr uint32_t kColliderCircle = 4;

// The multipleId that names no collider: what a refused add gives, and what systems keep while no
// collider is chosen.
inline constexpr uint8_t MULTIPLE_ERROR = 255;

struct ColliderComponent {
    uint32_t type = COL_NONE;
    // Rectangle: corners (f[0], f[1]) .. (f[6], f[7]) in order around the quad.
    // Circle: centre offset (f[0], f[1]) and radius f[2].
    float f[8] = {};
};

inline constexpr uint16_t kCollisionCapacity = 2048;

struct CollisionStore {
    // One entity may appear several times, once per collider.
    EntityId ids[kCollisionCapacity];
    uint8_t multipleIds[kCollisionCapacity];
    ColliderComponent records[kCollisionCapacity];
    uint16_t count;
    EntityId cacheId;  // 0: empty
    uint8_t cacheMultipleId;
    uint16_t cacheIndex;
};
extern CollisionStore g_collision;

// No colliders.
void ResetCollisionSystem();
// Registers the deletion callback.
void InitCollisionSystem();

// A collider of type COL_NONE for a live entity, numbered with the lowest multipleId the entity does
// not use. MULTIPLE_ERROR (with a warning) when the id names no live entity, the store is full or the
// entity already uses every number.
uint8_t AddCollider(EntityId id);
// The collider, or none after the Collider warning (the caller's own line follows).
ColliderComponent* FindCollider(EntityId id, uint8_t multipleId);
// The same without the warning.
ColliderComponent* LookupCollider(EntityId id, uint8_t multipleId);
// Also the deletion callback.
void RemoveAllColliders(EntityId id);
// Removes the entity's n-th collider in storage order, counted from 1; false when it has none such.
bool RemoveNthCollider(EntityId id, int64_t n);

// Shapes, in the entity's local coordinates. The rectangle is given as its scripts give it: left,
// top, bottom, right. The segment becomes a rectangle of that width centred on it.
void SetColliderNone(ColliderComponent& collider);
void SetColliderRect(ColliderComponent& collider, float left, float top, float bottom, float right);
void SetColliderSegment(ColliderComponent& collider, float x1, float y1, float x2, float y2, float width);
void SetColliderCircle(ColliderComponent& collider, float x, float y, float radius);

// Whether two colliders placed by their entities' transforms touch. Only a rectangle and a circle, or
// two circles, can; a radius of 0 or less (or NaN) touches nothing.
bool Intersects(const Matrix4& a, const ColliderComponent& colliderA, const Matrix4& b,
                const ColliderComponent& colliderB);

inline constexpr int kMaxColliderHits = 5;

struct ColliderHit {
    EntityId id;         // the other entity
    uint8_t multipleId;  // its collider that was touched
};

struct HitList {
    uint8_t count = 0;
    ColliderHit hits[kMaxColliderHits] = {};
};

// Decides whether a touching collider is a hit the caller can use. It must not add, remove or
// delete anything: the store is being walked.
using HitFilter = bool (*)(const ColliderHit& hit, void* context);

// The colliders of other entities that the given collider touches, in storage order, at most five.
// Pairs of entities of one object type are skipped unless includeSameType. Only hits that `accept`
// takes are listed and counted toward the five (all, without a filter), so that hits a caller would
// ignore cannot crowd out those it needs. A missing collider prints the Collider warning and the
// SysCollision_Check line, and gives an empty list. An entity without a Movement component is nowhere
// and touches nothing.
HitList QueryCollider(EntityId id, uint8_t multipleId, bool includeSameType, HitFilter accept = nullptr,
                      void* context = nullptr);

// Every collider of other entities that the given one touches, whatever their types, without limit.
// False when the collider is missing (after the Collider warning).
bool CountTouching(EntityId id, uint8_t multipleId, uint32_t& count);
