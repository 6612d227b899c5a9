#include "script/token_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/capture_console.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

Bytes Number(double value) {
    Bytes out;
    EncodeShotDataNumber(out, value);
    return out;
}

Bytes Encode(const char* text) {
    return EncodeShotDataText(BuildShotDataKeywordTable(), text).bytes;
}

TEST(EncodeShotDataNumber, WholeNumbersTakeTheSmallestIntegerForm) {
    EXPECT_EQ(Number(0), (Bytes{0x2D, 0x00}));
    EXPECT_EQ(Number(255), (Bytes{0x2D, 0xFF}));
    EXPECT_EQ(Number(256), (Bytes{0x2F, 0x00, 0x01}));
    EXPECT_EQ(Number(65535), (Bytes{0x2F, 0xFF, 0xFF}));
    EXPECT_EQ(Number(65536), (Bytes{0x31, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(Number(4294967295.0), (Bytes{0x31, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Number(-1), (Bytes{0x2E, 0xFF}));
    EXPECT_EQ(Number(-128), (Bytes{0x2E, 0x80}));
    EXPECT_EQ(Number(-129), (Bytes{0x30, 0x7F, 0xFF}));
    EXPECT_EQ(Number(-32768), (Bytes{0x30, 0x00, 0x80}));
    EXPECT_EQ(Number(-32769), (Bytes{0x32, 0xFF, 0x7F, 0xFF, 0xFF}));
    EXPECT_EQ(Number(-2147483648.0), (Bytes{0x32, 0x00, 0x00, 0x00, 0x80}));
}

TEST(EncodeShotDataNumber, WholeNumbersBeyond32BitsKeepTheirValueAsDoubles) {
    // 2^32 = 0x41F0000000000000, -(2^31 + 1) = 0xC1E0000000200000
    EXPECT_EQ(Number(4294967296.0), (Bytes{0x34, 0, 0, 0, 0, 0, 0, 0xF0, 0x41}));
    EXPECT_EQ(Number(-2147483649.0), (Bytes{0x34, 0, 0, 0x20, 0, 0, 0, 0xE0, 0xC1}));
    EXPECT_EQ(Number(1e300)[0], 0x34);
    EXPECT_EQ(Number(HUGE_VAL), (Bytes{0x34, 0, 0, 0, 0, 0, 0, 0xF0, 0x7F}));
}

TEST(EncodeShotDataNumber, FractionsAreSinglesWhenNormalAndPositive) {
    EXPECT_EQ(Number(1.5), (Bytes{0x33, 0x00, 0x00, 0xC0, 0x3F}));
    EXPECT_EQ(Number(0.1), (Bytes{0x33, 0xCD, 0xCC, 0xCC, 0x3D}));  // rounded to single precision
    EXPECT_EQ(Number(-1.5), (Bytes{0x34, 0, 0, 0, 0, 0, 0, 0xF8, 0xBF}));
    EXPECT_EQ(Number(1e-39)[0], 0x34);  // below the smallest normal single
    EXPECT_EQ(Number(1.1754944e-38)[0], 0x33);
}

TEST(EncodeShotData, KeywordsAreSingleBytesInTableOrder) {
    EXPECT_EQ(Encode("shot_image delay_rect ShotData id rect delay_color render angular_velocity fixed_angle "
                     "collision AnimationData animation_data"),
              (Bytes{0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x01}));
    EXPECT_EQ(Encode("Shot_Image"),
              (Bytes{0x03, 'S', 'h', 'o', 't', '_', 'I', 'm', 'a', 'g', 'e', 0x00, 0x01}));
}

TEST(EncodeShotData, TokensAndTheirPayloads) {
    EXPECT_EQ(Encode("shot_image = \"a.png\""),
              (Bytes{0x41, 0x11, 0x05, 'a', '.', 'p', 'n', 'g', 0x00, 0x01}));
    EXPECT_EQ(Encode("rect = (0, 16, 300, 2.5)"),
              (Bytes{0x45, 0x11, 0x06, 0x2D, 0x00, 0x0E, 0x2D, 0x10, 0x0E, 0x2F,
                     0x2C, 0x01, 0x0E, 0x33, 0x00, 0x00, 0x20, 0x40, 0x07, 0x01}));
    EXPECT_EQ(Encode("'x' \\n \"\" -1"), (Bytes{0x04, 'x', 0x04, 0x0A, 0x05, 0x00, 0x13, 0x2D, 0x01, 0x01}));
    EXPECT_EQ(Encode("{ } ; .. |) $ never"), (Bytes{0x0A, 0x0B, 0x0F, 0x2C, 0x0D, 0x02}));
    EXPECT_EQ(Encode(""), (Bytes{0x01}));
}

TEST(EncodeShotData, TheCallersTableDecides) {
    ShotDataKeywordTable table = BuildShotDataKeywordTable();
    std::snprintf(table[0].name, sizeof table[0].name, "image");
    table[5].id = 0;
    std::snprintf(table[5].name, sizeof table[5].name, "image");  // the first match wins
    table[1].id = 9;
    EXPECT_EQ(EncodeShotDataText(table, "image shot_image delay_rect").bytes,
              (Bytes{0x41, 0x03, 's', 'h', 'o', 't', '_', 'i', 'm', 'a', 'g', 'e', 0x00, 0x4A, 0x01}));
}

class TokenFileTest : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return (dir_.Path() / name).string(); }
    void Write(const char* name, const std::string& contents) const { dir_.WriteFile(name, contents); }
    Bytes Read(const char* name) const {
        const std::string bytes = dir_.ReadFile(name);
        return Bytes(bytes.begin(), bytes.end());
    }

    TempDir dir_;
};

TEST_F(TokenFileTest, WritesTheEncodedFileAndReadsItBack) {
    CaptureConsole console;
    Write("sheet.sht", "id = 3\r\n");
    WriteTokenFile(BuildShotDataKeywordTable(), Path("sheet.sht").c_str(), Path("OUT.TKB").c_str());
    EXPECT_EQ(Read("OUT.TKB"), (Bytes{0x44, 0x11, 0x2D, 0x03, 0x01}));
    std::optional<TokenBuffer> buffer = ReadTokenFile(Path("OUT.TKB").c_str());
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->size(), 5u);
    EXPECT_EQ(buffer->bytes, Read("OUT.TKB"));
    ReleaseTokenBuffer(*buffer);
    EXPECT_EQ(buffer->size(), 0u);
    EXPECT_EQ(console.Text(), "");
}

TEST_F(TokenFileTest, EmbeddedNulEndsTheText) {
    Write("sheet.sht", std::string("id\0rect", 7));
    std::optional<TokenBuffer> buffer =
        EncodeShotData(BuildShotDataKeywordTable(), Path("sheet.sht").c_str());
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->bytes, (Bytes{0x44, 0x01}));
}

TEST_F(TokenFileTest, MissingShotDataWritesNothingAndSaysNothing) {
    CaptureConsole console;
    EXPECT_FALSE(EncodeShotData(BuildShotDataKeywordTable(), Path("none.sht").c_str()));
    WriteTokenFile(BuildShotDataKeywordTable(), Path("none.sht").c_str(), Path("OUT.TKB").c_str());
    EXPECT_FALSE(dir_.Exists("OUT.TKB"));
    EXPECT_EQ(console.Text(), "");
}

TEST_F(TokenFileTest, UnwritableTokenFileIsReported) {
    CaptureConsole console;
    Write("sheet.sht", "id");
    const std::string target = Path("no/such/folder/OUT.TKB");
    WriteTokenFile(BuildShotDataKeywordTable(), Path("sheet.sht").c_str(), target.c_str());
    EXPECT_EQ(console.Segments(), (std::vector<ConsoleSegment>{{0x0F, "\n"},
                                                               {0x0C, "TKS Error:"},
                                                               {0x0F, " "},
                                                               {0x0E, "Unable to open file"},
                                                               {0x0F, " "},
                                                               {0x0B, target},
                                                               {0x0F, " "},
                                                               {0x0E, "for writing compiled TKS file"}}));
}

TEST_F(TokenFileTest, ShortWriteIsReportedWithTheMessageAsStored) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "needs /dev/full";
    CaptureConsole console;
    // Large enough that the stream writes straight through instead of buffering.
    std::string sheet;
    for (int i = 0; i < 40000; ++i)
        sheet += "id ";
    Write("sheet.sht", sheet);
    WriteTokenFile(BuildShotDataKeywordTable(), Path("sheet.sht").c_str(), "/dev/full");
    const std::string text = console.Text();
    const std::string prefix = "\nTKS Error: Incomplete file writing, wrote ";
    ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
    // The misspelt colour name is no label, so it stays in the text and the words after it are plain.
    EXPECT_NE(text.find("/40001 yelloblack{elements to file} /dev/full"), std::string::npos) << text;
    const std::vector<ConsoleSegment> segments = console.Segments();
    ASSERT_GE(segments.size(), 10u);
    EXPECT_EQ(segments[6], (ConsoleSegment{0x0F, "/"}));
    EXPECT_EQ(segments[7], (ConsoleSegment{0x0B, "40001"}));
    EXPECT_EQ(segments[8], (ConsoleSegment{0x0F, " yelloblack{elements to file} "}));
    EXPECT_EQ(segments[9], (ConsoleSegment{0x0B, "/dev/full"}));
}

TEST_F(TokenFileTest, UnreadableTokenFileIsAWarning) {
    CaptureConsole console;
    EXPECT_FALSE(ReadTokenFile(Path("MISSING.TKB").c_str()));
    EXPECT_EQ(console.Text(), "\nTKB Warning: Could not open file " + Path("MISSING.TKB") + " for reading");
    EXPECT_EQ(console.Segments()[1], (ConsoleSegment{0x09, "TKB Warning:"}));
    console.Clear();
    // A folder opens on some systems but has no size that fits a token file.
    EXPECT_FALSE(ReadTokenFile(dir_.Path().string().c_str()));
    EXPECT_EQ(console.Text(), "\nTKB Warning: Could not open file " + dir_.Path().string() + " for reading");
}

TEST_F(TokenFileTest, EmptyTokenFileReadsAsEmptyBuffer) {
    Write("EMPTY.TKB", "");
    std::optional<TokenBuffer> buffer = ReadTokenFile(Path("EMPTY.TKB").c_str());
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->size(), 0u);
}

}  // namespace
