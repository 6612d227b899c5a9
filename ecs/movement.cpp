#include "ecs/movement.h"

#include <cmath>

#include "base/console.h"
#include "ecs/system_callbacks.h"

MovementStore g_movement;

namespace {

constexpr float kPi = 3.1415927f;

// Yaw about Y, pitch about X, roll about Z, composed as roll, then pitch, then yaw (row vectors).
void YawPitchRoll(float yaw, float pitch, float roll, float r[3][3]) {
    const float sy = std::sin(yaw), cy = std::cos(yaw);
    const float sp = std::sin(pitch), cp = std::cos(pitch);
    const float sr = std::sin(roll), cr = std::cos(roll);
    r[0][0] = cr * cy + sr * sp * sy;
    r[0][1] = sr * cp;
    r[0][2] = sr * sp * cy - cr * sy;
    r[1][0] = cr * sp * sy - sr * cy;
    r[1][1] = cr * cp;
    r[1][2] = sr * sy + cr * sp * cy;
    r[2][0] = cp * sy;
    r[2][1] = -sp;
    r[2][2] = cp * cy;
}

bool HasSlot(EntityId id) {
    return id != 0 && id < MAX_ENTITIES;
}

}  // namespace

void ResetMovementSystem() {
    MovementStore& s = g_movement;
    for (uint16_t i = 0; i < kMovementCapacity; ++i) {
        s.ids[i] = 0;
        s.records[i] = MovementComponent{};
    }
    s.count = 0;
    for (uint16_t& index : s.movementIndex)
        index = NO_INDEX;
}

void InitMovementSystem() {
    // The index table starts all NO_INDEX, which static zeroing cannot give.
    ResetMovementSystem();
    AddDeletionCallback(RemoveMovement);
    AddUpdateCallback(UpdateMovement);
}

MovementComponent* AddMovement(EntityId id) {
    MovementStore& s = g_movement;
    if (!HasSlot(id) || g_entities.exists[id] == 0) {
        ReportInvalidEntityId(id, "AddMovement");
        return nullptr;
    }
    if (s.movementIndex[id] != NO_INDEX) return &s.records[s.movementIndex[id]];
    if (s.count >= kMovementCapacity) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{Unable to add} aquablack{%s} yellowblack{Component to "
            "Entity} aquablack{%i}yellowblack{, all} aquablack{%u} yellowblack{components are in use}",
            "Movement", static_cast<int>(id), static_cast<unsigned>(kMovementCapacity));
        return nullptr;
    }
    const uint16_t index = s.count++;
    s.ids[index] = id;
    s.records[index] = MovementComponent{};
    s.movementIndex[id] = index;
    return &s.records[index];
}

void RemoveMovement(EntityId id) {
    MovementStore& s = g_movement;
    if (!HasSlot(id) || s.movementIndex[id] == NO_INDEX) return;
    const uint16_t index = s.movementIndex[id];
    const uint16_t last = static_cast<uint16_t>(s.count - 1);
    s.records[index] = s.records[last];
    s.ids[index] = s.ids[last];
    s.movementIndex[s.ids[index]] = index;
    s.ids[last] = 0;
    --s.count;
    s.movementIndex[id] = NO_INDEX;
}

MovementComponent* LookupMovement(EntityId id) {
    MovementStore& s = g_movement;
    if (id >= MAX_ENTITIES || s.movementIndex[id] == NO_INDEX) return nullptr;
    return &s.records[s.movementIndex[id]];
}

MovementComponent* FindMovement(EntityId id) {
    MovementComponent* movement = LookupMovement(id);
    if (movement == nullptr) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{Unable to find Movement Component for Entity} aquablack{%i} "
            "yellowblack{while executing} ",
            static_cast<int>(id));
    }
    return movement;
}

float MovementRadians(float degrees) {
    return degrees * (kPi / 180.0f);
}

void RebuildTransform(MovementComponent& c) {
    float r[3][3];
    YawPitchRoll(c.angleY, c.angleX, c.angleZ, r);
    const float scale[3] = {c.scaleX, c.scaleY, c.scaleZ};
    Matrix4& t = c.transform;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            t.m[row][column] = r[row][column] * scale[row];
        t.m[row][3] = 0;
    }
    t.m[3][0] = c.x;
    t.m[3][1] = c.y;
    t.m[3][2] = c.z;
    t.m[3][3] = 1;
}

void UpdateMovement() {
    MovementStore& s = g_movement;
    for (uint16_t i = 0; i < s.count; ++i) {
        if (g_entities.active[s.ids[i]] == 0) continue;
        MovementComponent& c = s.records[i];
        if (c.acceleration != 0) {
            c.speed += c.acceleration;
            if (c.acceleration > 0 && c.speed > c.maxSpeed) c.speed = c.maxSpeed;
            if (c.acceleration < 0 && c.speed < c.maxSpeed) c.speed = c.maxSpeed;
        }
        // The rates turn angles other than their names suggest; scripts rely on exactly this.
        if (c.turnZ != 0) c.angleZ += c.turnZ;
        if (c.turnY != 0) c.angleZ += c.turnY;
        if (c.turnX != 0) c.angleX += c.turnX;
        if (c.speed != 0) {
            // Forward is the image of (0, 1, 0) under a rotation that takes angle X as its yaw and
            // angle Y as its pitch; at angle 0 that is up the screen.
            float d[3][3];
            YawPitchRoll(c.angleX, c.angleY, c.angleZ, d);
            c.x -= c.speed * d[1][0];
            c.y -= c.speed * d[1][1];
            c.z -= c.speed * d[1][2];
        }
        RebuildTransform(c);
    }
}

const Matrix4* SysMovement_GetTransformMatrix(EntityId id) {
    const MovementComponent* movement = FindMovement(id);
    if (movement == nullptr) {
        ConsolePrintf("aquablack{SysMovement_GetTransformMatrix}, yellowblack{returning} redblack{NULL}");
        return nullptr;
    }
    return &movement->transform;
}

Matrix4 SysMovement_GetTransformMatrixFixedAngle(EntityId id) {
    const MovementComponent* movement = FindMovement(id);
    if (movement == nullptr) {
        ConsolePrintf("aquablack{SysMovement_GetTransformMatrixFixedAngle}, yellowblack{returning} redblack{IDENTITY}");
        return kIdentityMatrix;
    }
    Matrix4 matrix = kIdentityMatrix;
    matrix.m[0][0] = movement->scaleX;
    matrix.m[1][1] = movement->scaleY;
    matrix.m[2][2] = movement->scaleZ;
    matrix.m[3][0] = movement->x;
    matrix.m[3][1] = movement->y;
    matrix.m[3][2] = movement->z;
    return matrix;
}
