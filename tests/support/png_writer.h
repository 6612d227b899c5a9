#pragma once
// Small RGBA pictures for tests, encoded as PNG (stored deflate blocks) or as 32-bit BMP.

#include <cstdint>
#include <string>
#include <vector>

// width x height pixels, each four bytes red, green, blue, alpha, rows top to bottom.
std::string EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba);
// Every pixel the same colour.
std::string SolidPng(uint32_t width, uint32_t height, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
