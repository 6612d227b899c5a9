#pragma once
// Shot sheets (.sht): a texture and, per graphic id, its source rectangle, collision radius and
// display values. The reader scans the text itself, character by character; it never uses the
// script lexer.

#include <cstdint>
#include <string>
#include <vector>

struct ShotSheetRecord {
    uint16_t id = 0;
    int32_t rect[4] = {0, 0, 0, 0};  // left, top, right, bottom in texture pixels
    uint8_t delayColor[3] = {255, 255, 255};
    int8_t angularVelocity = 0;
    uint8_t collision = 0;  // radius in pixels; 0: the graphic defines none
    uint8_t render = 0;     // never set by a sheet
    uint8_t fixedAngle = 0;
};

struct ShotSheet {
    std::string imagePath;           // "./" already resolved against the sheet's folder
    std::vector<int32_t> delayRect;  // kept with the sheet, read by nobody
    std::vector<ShotSheetRecord> records;  // in file order
};

// Reads a sheet's text; `sheetPath` resolves "./" image paths and names the sheet in warnings.
// Numbers out of their field's range are clamped with a warning; an unclosed quote, list or block
// ends at the end of the text.
ShotSheet ParseShotSheet(const std::string& text, const std::string& sheetPath);

// Reads and parses the file; an unreadable file prints the LoadSHT error and gives an empty sheet.
ShotSheet LoadShotSheet(const std::string& path);
