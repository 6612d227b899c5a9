#pragma once
// Token files: shot-data text compiled into a compact token stream (DCOMP.TKB) and read back.
//
// Stream format (no header, no line information, multi-byte values little-endian): a sequence of
// tokens, each a kind byte and a payload.
//   0x01 end of text (last token)          0x02 invalid character (last token)
//   0x03 word, its characters and a NUL     0x04 character, one byte
//   0x05 string, its bytes and a NUL        0x06 to 0x2C operators, the script kind numbers
//   0x2D u8, 0x2E s8, 0x2F u16, 0x30 s16, 0x31 u32, 0x32 s32, 0x33 float, 0x34 double: numbers
//   0x41 + id: keyword of the keyword table

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

inline constexpr const char* kDefaultShotDataPath = "SCRIPT/SYSTEM/VANTOR/Default_ShotData.sht";
inline constexpr const char* kTokenFilePath = "DCOMP.TKB";

inline constexpr int kShotDataKeywordCount = 12;
inline constexpr uint8_t kShotDataKeywordBase = 0x41;

struct ShotDataKeyword {
    uint8_t id;
    char name[32];  // at most 31 characters
};
using ShotDataKeywordTable = std::array<ShotDataKeyword, kShotDataKeywordCount>;

// The keywords of the shot-data language, ids 0 to 11: shot_image, delay_rect, ShotData, id, rect,
// delay_color, render, angular_velocity, fixed_angle, collision, AnimationData, animation_data.
ShotDataKeywordTable BuildShotDataKeywordTable();

struct TokenBuffer {
    std::vector<uint8_t> bytes;  // the stream; its size always fits in 32 bits
    uint32_t size() const { return static_cast<uint32_t>(bytes.size()); }
};

// Encodes NUL-terminated shot-data text; always ends with an end-of-text or invalid token.
TokenBuffer EncodeShotDataText(const ShotDataKeywordTable& keywords, const char* text);
// Reads the shot-data file (binary mode) and encodes it; nothing when it cannot be opened (silently).
std::optional<TokenBuffer> EncodeShotData(const ShotDataKeywordTable& keywords,
                                          const char* path = kDefaultShotDataPath);
// Appends the smallest number form of `value`. Whole numbers beyond the 32-bit ranges, like fractions
// that single precision cannot hold as normal numbers, take the double form, so no whole number
// changes on the way through a token file.
void EncodeShotDataNumber(std::vector<uint8_t>& out, double value);

// Encodes the shot-data file and writes the stream to the token file; failures are printed.
void WriteTokenFile(const ShotDataKeywordTable& keywords, const char* shotDataPath = kDefaultShotDataPath,
                    const char* tokenPath = kTokenFilePath);
// Reads a whole token file; nothing (after a warning) when it cannot be opened.
std::optional<TokenBuffer> ReadTokenFile(const char* path = kTokenFilePath);
void ReleaseTokenBuffer(TokenBuffer& buffer);
