#include "tests/support/png_writer.h"

namespace {

uint32_t Crc32(const std::string& bytes, size_t from) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= static_cast<uint8_t>(bytes[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void Put32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void Chunk(std::string& out, const char* type, const std::string& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type) + data;
    out += body;
    Put32(out, Crc32(body, 0));
}

}  // namespace

std::string EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba) {
    std::string raw;
    for (uint32_t row = 0; row < height; ++row) {
        raw += '\0';  // no filter
        raw.append(reinterpret_cast<const char*>(rgba.data()) + size_t{row} * width * 4, size_t{width} * 4);
    }
    std::string zlib = "\x78\x01";
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        zlib += static_cast<char>(at + length >= raw.size() ? 1 : 0);
        zlib += static_cast<char>(length & 0xFF);
        zlib += static_cast<char>(length >> 8);
        zlib += static_cast<char>(~length & 0xFF);
        zlib += static_cast<char>((~length >> 8) & 0xFF);
        zlib += raw.substr(at, length);
        if (raw.empty()) break;
    }
    uint32_t a = 1, b = 0;
    for (char c : raw) {
        a = (a + static_cast<uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    Put32(zlib, b << 16 | a);

    std::string header;
    Put32(header, width);
    Put32(header, height);
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", zlib);
    Chunk(png, "IEND", "");
    return png;
}

std::string SolidPng(uint32_t width, uint32_t height, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    std::vector<uint8_t> pixels;
    for (uint32_t i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), {red, green, blue, alpha});
    return EncodePng(width, height, pixels);
}
