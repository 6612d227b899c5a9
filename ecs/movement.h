#pragma once
// Movement: an entity's place in the world (position, orientation, scale), the world matrix built
// from them, and a simple motion model (speed along the facing direction, acceleration toward a
// limit, constant turn rates), advanced once a frame.

#include <cstdint>

#include "ecs/entity.h"
#include "render/matrix.h"

struct MovementComponent {
    float scaleX = 1, scaleY = 1, scaleZ = 1;
    float angleX = 0, angleY = 0, angleZ = 0;  // radians
    float x = 0, y = 0, z = 0;
    Matrix4 transform = kIdentityMatrix;
    float speed = 0;         // distance per frame
    float acceleration = 0;  // added to speed per frame
    float maxSpeed = 0;      // the limit acceleration drives toward
    float turnX = 0, turnY = 0, turnZ = 0;  // radians per frame
};

inline constexpr uint16_t kMovementCapacity = 2048;
inline constexpr uint16_t NO_INDEX = 65535;

struct MovementStore {
    EntityId ids[kMovementCapacity];
    MovementComponent records[kMovementCapacity];
    uint16_t count;
    // Record index by entity id, or NO_INDEX: lookups need no scan.
    uint16_t movementIndex[MAX_ENTITIES];
};
extern MovementStore g_movement;

// Empty store, every index NO_INDEX.
void ResetMovementSystem();
// Registers the deletion and update callbacks.
void InitMovementSystem();

// A component with the defaults; nothing when the entity has one. Gives the entity's component, or
// none when the store is full or the id names no live entity (both with a warning).
MovementComponent* AddMovement(EntityId id);
// Also the deletion callback. The last component moves into the freed index.
void RemoveMovement(EntityId id);

// The entity's component or none, silently.
MovementComponent* LookupMovement(EntityId id);
// The same, printing the Movement warning when there is none (the caller's own line follows).
MovementComponent* FindMovement(EntityId id);

// Degrees as the component keeps angles: radians by the single-precision pi.
float MovementRadians(float degrees);
// Scale, rotation (yaw Y, pitch X, roll Z) and position as one matrix.
void RebuildTransform(MovementComponent& movement);

// One frame of motion for every active entity, in storage order: speed, turning, moving, matrix.
void UpdateMovement();

// For the renderer: the entity's matrix, or none (with the warnings).
const Matrix4* SysMovement_GetTransformMatrix(EntityId id);
// Scale and position without rotation, for sprites drawn upright; the identity (with the warnings)
// when the entity has no Movement component.
Matrix4 SysMovement_GetTransformMatrixFixedAngle(EntityId id);
