#pragma once
// Frames of the software device as PNG files, for references and for looking at a game's frames.

#include <cstdint>

// Writes width x height pixels of A8R8G8B8 (`pitch` pixels per row) as an 8-bit RGBA PNG, alpha
// as stored. False when the file cannot be written.
bool WriteArgbPng(const char* path, const uint32_t* pixels, uint32_t width, uint32_t height, uint32_t pitch);
