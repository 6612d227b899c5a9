#pragma once
// Start-up of the entity system: the systems register their callbacks in a fixed order, which is
// the order their callbacks run in for the rest of the program.

struct SystemInitEntry {
    const char* system;
    void (*init)();  // registers the system's callbacks; null while the system is not part of the build
};

inline constexpr int kSystemCount = 9;
extern const SystemInitEntry SystemInitTable[kSystemCount];

// Starts the systems in table order and creates entity 1, inactive, so that scripts' entities begin
// at 2.
void InitEntitySystem();

// Back to the state before InitEntitySystem: no entities, no callbacks (for test fixtures).
void ResetEntitySystem();
