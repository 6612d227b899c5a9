#pragma once
// Small scenes drawn through the engine's queue and back end on whatever device is installed: the
// software device on Linux and Direct3D 9 under Wine draw the same calls, and the two frames are
// compared. Together they touch every blend factor and operation, the alpha test, the scissor,
// textured and untextured meshes of every vertex type, lines and points.

#include <vector>

struct TextureHandle;

struct DeviceScene {
    const char* name;
    // Queues the scene's meshes between BeginFrame and FlushQueue; textures made go to `textures`,
    // which the caller releases after the frame.
    void (*draw)(std::vector<TextureHandle*>& textures);
};

const std::vector<DeviceScene>& DeviceScenes();
