#include "ecs/collision.h"

#include <cmath>

#include "base/console.h"
#include "ecs/object_type.h"
#include "ecs/system_callbacks.h"

CollisionStore g_collision;

namespace {

constexpr float kPi = 3.1415927f;

struct Point {
    double x, y;
};

// A local point placed in the world by a row-vector transform, with the projective divide.
Point Place(const Matrix4& m, float x, float y) {
    const double w = double(x) * m.m[0][3] + double(y) * m.m[1][3] + m.m[3][3];
    if (w == 0) return {NAN, NAN};
    return {(double(x) * m.m[0][0] + double(y) * m.m[1][0] + m.m[3][0]) / w,
            (double(x) * m.m[0][1] + double(y) * m.m[1][1] + m.m[3][1]) / w};
}

double Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Every comparison below is written so that NaN anywhere gives "no touch".
bool HasReach(float radius) {
    return radius > 0;
}

// Circles meet at their entities' positions; their own offsets do not move them here.
bool CirclesTouch(const Matrix4& a, const ColliderComponent& ca, const Matrix4& b,
                  const ColliderComponent& cb) {
    const double ra = ca.f[2], rb = cb.f[2];
    if (!HasReach(ca.f[2]) || !HasReach(cb.f[2])) return false;
    const double dx = double(a.m[3][0]) - b.m[3][0];
    const double dy = double(a.m[3][1]) - b.m[3][1];
    return (ra + rb) * (ra + rb) > dx * dx + dy * dy;
}

bool EdgeTouches(Point p, Point q, Point c, double r) {
    const double dx = q.x - p.x, dy = q.y - p.y;
    const double length = std::hypot(dx, dy);
    // A collapsed edge (equal corners, a segment of width 0) has no direction to measure along.
    if (length == 0) return Distance(c, p) <= r;
    const double lineDistance = std::fabs((c.y - p.y) * dx - (c.x - p.x) * dy) / length;
    if (!(lineDistance <= r)) return false;
    const double alongP = (c.x - p.x) * dx + (c.y - p.y) * dy;
    const double alongQ = (c.x - q.x) * dx + (c.y - q.y) * dy;
    return alongP * alongQ <= 0 || Distance(c, p) <= r || Distance(c, q) <= r;
}

// Inside when the centre is on the same side of every edge, whichever way the corners turn (a
// rectangle given right to left, or mirrored by a negative scale, turns the other way). A quad of no
// area has no inside: its edges alone decide.
bool Inside(const Point (&corners)[4], Point c) {
    bool left = false, right = false;
    for (int i = 0; i < 4; ++i) {
        const Point a = corners[i], b = corners[(i + 1) % 4];
        const double e = (b.y - a.y) * (c.x - a.x) - (b.x - a.x) * (c.y - a.y);
        if (e < 0) {
            left = true;
        } else if (e > 0) {
            right = true;
        } else if (e != 0) {
            return false;
        }
    }
    return left != right;
}

// The radius is taken as stored: a scaled entity does not scale it.
bool RectTouchesCircle(const Matrix4& rm, const ColliderComponent& rect, const Matrix4& cm,
                       const ColliderComponent& circle) {
    const double r = circle.f[2];
    if (!HasReach(circle.f[2])) return false;
    const Point c = Place(cm, circle.f[0], circle.f[1]);
    Point corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = Place(rm, rect.f[2 * i], rect.f[2 * i + 1]);
    for (int i = 0; i < 4; ++i) {
        if (EdgeTouches(corners[i], corners[(i + 1) % 4], c, r)) return true;
    }
    return Inside(corners, c);
}

void ReportMissingCollider(EntityId id, uint8_t multipleId) {
    ConsolePrintf(
        "\nblueblack{ECS warning:} yellowblack{Unable to find Collider Component} aquablack{%i} "
        "yellowblack{for "
        "Entity} aquablack{%i} yellowblack{while executing} ",
        static_cast<int>(multipleId), static_cast<int>(id));
}

bool HasSlot(EntityId id) {
    return id != 0 && id < MAX_ENTITIES;
}

void RemoveAt(uint16_t index) {
    CollisionStore& s = g_collision;
    const uint16_t last = static_cast<uint16_t>(s.count - 1);
    s.ids[index] = s.ids[last];
    s.multipleIds[index] = s.multipleIds[last];
    s.records[index] = s.records[last];
    s.ids[last] = 0;
    s.multipleIds[last] = 0;
    s.records[last] = ColliderComponent{};
    s.cacheId = 0;
    --s.count;
}

// Calls visit(hit) for every collider of another entity that the given one touches, in storage order,
// until visit returns false.
template <typename Visit>
void WalkTouching(EntityId id, const ColliderComponent& own, bool includeSameType, Visit visit) {
    const CollisionStore& s = g_collision;
    const MovementComponent* ownMovement = LookupMovement(id);
    if (ownMovement == nullptr || own.type == COL_NONE) return;
    for (uint16_t i = 0; i < s.count; ++i) {
        const EntityId other = s.ids[i];
        if (other == id) continue;
        if (!includeSameType && g_objectTypes.types[id] == g_objectTypes.types[other]) continue;
        const MovementComponent* otherMovement = LookupMovement(other);
        if (otherMovement == nullptr) continue;
        if (!Intersects(ownMovement->transform, own, otherMovement->transform, s.records[i])) continue;
        if (!visit(ColliderHit{other, s.multipleIds[i]})) return;
    }
}

}  // namespace

void ResetCollisionSystem() {
    CollisionStore& s = g_collision;
    for (uint16_t i = 0; i < kCollisionCapacity; ++i) {
        s.ids[i] = 0;
        s.multipleIds[i] = 0;
        s.records[i] = ColliderComponent{};
    }
    s.count = 0;
    s.cacheId = 0;
    s.cacheMultipleId = 0;
    s.cacheIndex = 0;
}

void InitCollisionSystem() {
    AddDeletionCallback(RemoveAllColliders);
}

uint8_t AddCollider(EntityId id) {
    CollisionStore& s = g_collision;
    if (!HasSlot(id) || g_entities.exists[id] == 0) {
        ReportInvalidEntityId(id, "AddCollider");
        return MULTIPLE_ERROR;
    }
    if (s.count >= kCollisionCapacity) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{Unable to add} aquablack{%s} yellowblack{Component to "
            "Entity} aquablack{%i}yellowblack{, all} aquablack{%u} yellowblack{components are in use}",
            "Collision", static_cast<int>(id), static_cast<unsigned>(kCollisionCapacity));
        return MULTIPLE_ERROR;
    }
    // The lowest number the entity does not use: counting its colliders would hand out a number still
    // held after a removal.
    bool used[256] = {};
    for (uint16_t i = 0; i < s.count; ++i) {
        if (s.ids[i] == id) used[s.multipleIds[i]] = true;
    }
    int multipleId = 0;
    while (multipleId < MULTIPLE_ERROR && used[multipleId])
        ++multipleId;
    if (multipleId == MULTIPLE_ERROR) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{Unable to add another Collider Component to Entity} "
            "aquablack{%i}yellowblack{, all} aquablack{%u} yellowblack{multipleIds are in use}",
            static_cast<int>(id), static_cast<unsigned>(MULTIPLE_ERROR));
        return MULTIPLE_ERROR;
    }
    s.ids[s.count] = id;
    s.multipleIds[s.count] = static_cast<uint8_t>(multipleId);
    s.records[s.count] = ColliderComponent{};
    ++s.count;
    return static_cast<uint8_t>(multipleId);
}

ColliderComponent* LookupCollider(EntityId id, uint8_t multipleId) {
    CollisionStore& s = g_collision;
    if (id != 0 && id == s.cacheId && multipleId == s.cacheMultipleId) return &s.records[s.cacheIndex];
    for (uint16_t i = 0; i < s.count; ++i) {
        if (s.ids[i] == id && s.multipleIds[i] == multipleId) {
            s.cacheId = id;
            s.cacheMultipleId = multipleId;
            s.cacheIndex = i;
            return &s.records[i];
        }
    }
    return nullptr;
}

ColliderComponent* FindCollider(EntityId id, uint8_t multipleId) {
    ColliderComponent* collider = LookupCollider(id, multipleId);
    if (collider == nullptr) ReportMissingCollider(id, multipleId);
    return collider;
}

void RemoveAllColliders(EntityId id) {
    CollisionStore& s = g_collision;
    if (id == 0) return;
    for (uint16_t i = 0; i < s.count;) {
        // The collider moved into the hole is examined at the same index.
        if (s.ids[i] == id) {
            RemoveAt(i);
        } else {
            ++i;
        }
    }
}

bool RemoveNthCollider(EntityId id, int64_t n) {
    CollisionStore& s = g_collision;
    if (id == 0 || n < 1) return false;
    int64_t seen = 0;
    for (uint16_t i = 0; i < s.count; ++i) {
        if (s.ids[i] == id && ++seen == n) {
            RemoveAt(i);
            return true;
        }
    }
    return false;
}

void SetColliderNone(ColliderComponent& collider) {
    collider.type = COL_NONE;
}

void SetColliderRect(ColliderComponent& collider, float left, float top, float bottom, float right) {
    collider.type = kColliderRectangle;
    const float corners[8] = {left, top, right, top, right, bottom, left, bottom};
    for (int i = 0; i < 8; ++i)
        collider.f[i] = corners[i];
}

void SetColliderSegment(ColliderComponent& collider, float x1, float y1, float x2, float y2, float width) {
    collider.type = kColliderRectangle;
    const float a = std::atan2(y2 - y1, x2 - x1) + kPi / 2;
    const float c = (width / 2) * std::cos(a);
    const float s = (width / 2) * std::sin(a);
    const float corners[8] = {x1 + c, y1 + s, x1 - c, y1 - s, x2 - c, y2 - s, x2 + c, y2 + s};
    for (int i = 0; i < 8; ++i)
        collider.f[i] = corners[i];
}

void SetColliderCircle(ColliderComponent& collider, float x, float y, float radius) {
    collider.type = kColliderCircle;
    collider.f[0] = x;
    collider.f[1] = y;
    collider.f[2] = radius;
}

bool Intersects(const Matrix4& a, const ColliderComponent& colliderA, const Matrix4& b,
                const ColliderComponent& colliderB) {
    const uint32_t ta = colliderA.type, tb = colliderB.type;
    if (ta == kColliderCircle && tb == kColliderCircle) return CirclesTouch(a, colliderA, b, colliderB);
    if (ta == kColliderRectangle && tb == kColliderCircle)
        return RectTouchesCircle(a, colliderA, b, colliderB);
    if (ta == kColliderCircle && tb == kColliderRectangle)
        return RectTouchesCircle(b, colliderB, a, colliderA);
    return false;
}

HitList QueryCollider(EntityId id, uint8_t multipleId, bool includeSameType, HitFilter accept,
                      void* context) {
    HitList list;
    const ColliderComponent* own = FindCollider(id, multipleId);
    if (own == nullptr) {
        ConsolePrintf("aquablack{SysCollision_Check}, yellowblack{returning} aquablack{ERROR}");
        return list;
    }
    WalkTouching(id, *own, includeSameType, [&](const ColliderHit& hit) {
        if (accept != nullptr && !accept(hit, context)) return true;
        list.hits[list.count++] = hit;
        return list.count < kMaxColliderHits;
    });
    return list;
}

bool CountTouching(EntityId id, uint8_t multipleId, uint32_t& count) {
    count = 0;
    const ColliderComponent* own = FindCollider(id, multipleId);
    if (own == nullptr) return false;
    WalkTouching(id, *own, true, [&](const ColliderHit&) {
        ++count;
        return true;
    });
    return true;
}
