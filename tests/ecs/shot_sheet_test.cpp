#include "ecs/shot_sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

const char kSheet[] = R"(#ShotData
shot_image = "./bullets.png"
delay_rect = (0, 0x10, 010, -2)
ShotData {
    id = 1   rect = (1, 2, 3, 4, 99)   collision = 0x0A
    delay_color = (10, 20, 30, 40)   angular_velocity = -3   fixed_angle = true
    AnimationData { id = 77 rect = (9, 9, 9, 9) collision = 9 }
}
ShotData { id = 017 fixed_angle = TRUE rect = (5) }
ShotData { id = 2 collision = -1 angular_velocity = 300 delay_color = (256, 1) }
)";

TEST(ShotSheet, RecordsFieldsAndDefaults) {
    CaptureConsole console;
    const ShotSheet sheet = ParseShotSheet(kSheet, "data/sheet.sht");
    EXPECT_EQ(sheet.imagePath, "data/bullets.png");
    EXPECT_EQ(sheet.delayRect, (std::vector<int32_t>{0, 16, 8, -2}));
    ASSERT_EQ(sheet.records.size(), 3u);

    // Surplus list values are dropped; the nested block changes nothing.
    const ShotSheetRecord& first = sheet.records[0];
    EXPECT_EQ(first.id, 1);
    EXPECT_EQ(std::vector<int32_t>(first.rect, first.rect + 4), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(first.collision, 10);
    EXPECT_EQ(std::vector<int>(first.delayColor, first.delayColor + 3), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(first.angularVelocity, -3);
    EXPECT_EQ(first.fixedAngle, 1);

    // Octal id, only the exact word true, missing list values and keys keep their defaults.
    const ShotSheetRecord& second = sheet.records[1];
    EXPECT_EQ(second.id, 15);
    EXPECT_EQ(second.fixedAngle, 0);
    EXPECT_EQ(std::vector<int32_t>(second.rect, second.rect + 4), (std::vector<int32_t>{5, 0, 0, 0}));
    EXPECT_EQ(std::vector<int>(second.delayColor, second.delayColor + 3), (std::vector<int>{255, 255, 255}));

    // Out-of-range values are clamped with a warning, never wrapped (-1 is no radius 255).
    const ShotSheetRecord& third = sheet.records[2];
    EXPECT_EQ(third.collision, 0);
    EXPECT_EQ(third.angularVelocity, 127);
    EXPECT_EQ(std::vector<int>(third.delayColor, third.delayColor + 3), (std::vector<int>{255, 1, 255}));
    EXPECT_EQ(console.Text(),
              "\nShot sheet warning: Value -1 of collision in data/sheet.sht is out of range, using 0"
              "\nShot sheet warning: Value 300 of angular_velocity in data/sheet.sht is out of range, using 127"
              "\nShot sheet warning: Value 256 of delay_color in data/sheet.sht is out of range, using 255");
}

TEST(ShotSheet, UnclosedTextEndsAtTheEndAndMissingFilesAreReported) {
    // An unclosed list does not swallow the next record; an unclosed block or quote ends the text.
    const ShotSheet lists = ParseShotSheet("ShotData { id = 3 rect = (1, 2 } ShotData { id = 4 collision = 5", "s");
    ASSERT_EQ(lists.records.size(), 2u);
    EXPECT_EQ(lists.records[0].rect[1], 2);
    EXPECT_EQ(lists.records[1].collision, 5);
    EXPECT_EQ(ParseShotSheet("shot_image = \"img.png", "sheet.sht").imagePath, "img.png");
    EXPECT_EQ(ParseShotSheet("shot_image = \"./a.png\"", "sheet.sht").imagePath, "a.png");

    TempDir folder;
    CaptureConsole console;
    const ShotSheet missing = LoadShotSheet((folder.Path() / "none.sht").string());
    EXPECT_TRUE(missing.imagePath.empty() && missing.records.empty());
    EXPECT_NE(console.Text().find("LoadSHT error: Could not load SHT file: "), std::string::npos);
    EXPECT_NE(console.Text().find("none.sht (IfStream failure)"), std::string::npos);
}

}  // namespace
