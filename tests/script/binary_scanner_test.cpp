#include "script/binary_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/token_file.h"
#include "tests/support/capture_console.h"

namespace {

using Bytes = std::vector<uint8_t>;

TokenBuffer Buffer(Bytes bytes) {
    TokenBuffer buffer;
    buffer.bytes = std::move(bytes);
    return buffer;
}

TokenBuffer FromText(const char* text) {
    return EncodeShotDataText(BuildShotDataKeywordTable(), text);
}

std::vector<int> Kinds(const TokenBuffer& buffer) {
    ScannerToken token = StartScanner(buffer);
    std::vector<int> kinds;
    do {
        ReadScannerToken(token);
        kinds.push_back(token.kind);
    } while (token.kind != kShotDataEndOfText && token.kind != kShotDataInvalid);
    return kinds;
}

TEST(ReadScannerToken, DecodesEveryNumberForm) {
    const TokenBuffer buffer = Buffer({0x2D, 0xFF, 0x2E, 0xFF, 0x2F, 0x00, 0x01, 0x30, 0x7F, 0xFF, 0x31, 0xFF,
                                       0xFF, 0xFF, 0xFF, 0x32, 0x00, 0x00, 0x00, 0x80, 0x33, 0x00, 0x00, 0xC0,
                                       0x3F, 0x34, 0,    0,    0,    0,    0,    0,    0xF8, 0xBF, 0x01});
    const double expected[] = {255, -1, 256, -129, 4294967295.0, -2147483648.0, 1.5, -1.5};
    ScannerToken token = StartScanner(buffer);
    int kind = 0x2D;
    for (double value : expected) {
        ReadScannerToken(token);
        EXPECT_EQ(token.kind, kind++);
        EXPECT_EQ(token.number, value);
    }
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, kShotDataEndOfText);
}

TEST(ReadScannerToken, PayloadsKeywordsAndOtherFieldsKept) {
    const TokenBuffer buffer =
        Buffer({0x03, 'a', 'b', 0x00, 0x05, 'p', 0x00, 0x04, 'z', 0x41, 0x4C, 0x2C, 0x00, 0x01});
    ScannerToken token = StartScanner(buffer);
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, kShotDataWord);
    EXPECT_STREQ(token.word, "ab");
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, kShotDataString);
    EXPECT_STREQ(token.string, "p");
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, kShotDataCharacter);
    EXPECT_EQ(token.character, 'z');
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, 65);
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, 76);
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, 44);
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, 0);  // an unknown byte is a kind of its own without payload
    EXPECT_STREQ(token.word, "ab");
    EXPECT_STREQ(token.string, "p");
    const uint8_t* end = token.cursor;
    ReadScannerToken(token);
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, kShotDataEndOfText);
    EXPECT_EQ(token.cursor, end);  // end of text repeats in place
    EXPECT_EQ(token.line, 1u);
}

TEST(ReadScannerToken, TruncatedStreamsEndAsEndOfText) {
    const std::vector<Bytes> streams = {
        {},
        {0x03, 'a', 'b'},
        {0x05},
        {0x05, 'x'},
        {0x04},
        {0x2D},
        {0x2F, 0x01},
        {0x30, 1},
        {0x31, 1, 2, 3},
        {0x33, 1, 2},
        {0x34, 1, 2, 3, 4, 5, 6, 7},
    };
    for (const Bytes& bytes : streams) {
        // An exact-size heap copy: the sanitizers catch any read past its end.
        TokenBuffer buffer = Buffer(bytes);
        buffer.bytes.shrink_to_fit();
        ScannerToken token = StartScanner(buffer);
        ReadScannerToken(token);
        EXPECT_EQ(token.kind, kShotDataEndOfText) << int(bytes.empty() ? -1 : bytes[0]);
        EXPECT_EQ(token.cursor, token.end);
        ReadScannerToken(token);
        EXPECT_EQ(token.kind, kShotDataEndOfText);
    }
    // A whole token before the cut is still read.
    TokenBuffer buffer = Buffer({0x44, 0x2D, 0x07, 0x2F, 0x01});
    EXPECT_EQ(Kinds(buffer), (std::vector<int>{0x44, 0x2D, kShotDataEndOfText}));
    EXPECT_EQ(ScanShotEntry(Buffer({0x43, 0x44, 0x11, 0x2D, 0x07}), 0).id, 7);
}

TEST(ReadScannerToken, InvalidIsTheLastToken) {
    EXPECT_EQ(Kinds(Buffer({0x06, 0x02, 0x07})), (std::vector<int>{6, kShotDataInvalid}));
}

TEST(ReadScannerToken, LongPayloadsAreCutToTheirFields) {
    CaptureConsole console;
    Bytes bytes = {0x03};
    bytes.insert(bytes.end(), 300, 'w');
    bytes.push_back(0);
    bytes.push_back(0x05);
    bytes.insert(bytes.end(), 300, 's');
    bytes.push_back(0);
    bytes.push_back(0x44);
    const TokenBuffer buffer = Buffer(bytes);
    ScannerToken token = StartScanner(buffer);
    ReadScannerToken(token);
    EXPECT_EQ(std::string(token.word), std::string(255, 'w'));
    ReadScannerToken(token);
    EXPECT_EQ(std::string(token.string), std::string(258, 's'));
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, 0x44);  // the cut payload is stepped over whole
    EXPECT_EQ(console.Text(),
              "\nThe length of a word is at most 255 characters, the rest is cut off"
              "\nThe length of a string value is at most 258 characters, the rest is cut off");
}

TEST(ExpectToken, MismatchPutsTheTokenBackAndReports) {
    CaptureConsole console;
    const TokenBuffer buffer = Buffer({0x2D, 0x05, 0x11, 0x01});
    ScannerToken token = StartScanner(buffer);
    EXPECT_FALSE(ExpectToken(token, 17));
    EXPECT_EQ(console.Segments(), (std::vector<ConsoleSegment>{{0x0F, "\n"},
                                                               {0x0C, "Binary Scanner error:"},
                                                               {0x0F, " "},
                                                               {0x0E, "Line"},
                                                               {0x0F, " "},
                                                               {0x0B, "1"},
                                                               {0x0F, " "},
                                                               {0x0E, "expected"},
                                                               {0x0F, " "},
                                                               {0x0B, "= (Assign)"}}));
    console.Clear();
    ReadScannerToken(token);
    EXPECT_EQ(token.kind, 0x2D);
    EXPECT_EQ(token.number, 5);
    EXPECT_TRUE(ExpectToken(token, 17));
    EXPECT_EQ(console.Text(), "");
    // Kinds 1 to 5 of the stream are named for what they are.
    EXPECT_FALSE(ExpectToken(token, kShotDataWord));
    EXPECT_FALSE(ExpectToken(token, kShotDataString));
    EXPECT_EQ(console.Text(),
              "\nBinary Scanner error: Line 1 expected Word\nBinary Scanner error: Line 1 expected String");
}

TEST(ScanShotHeader, ReadsImageAndDelayRectWherEverTheyStand) {
    CaptureConsole console;
    const TokenBuffer buffer =
        FromText("ShotData { id = 1 } shot_image = \"./img/shots.png\" delay_rect = (1, 2, 300, 70000)");
    const ShotHeaderRecord header = ScanShotHeader(buffer);
    EXPECT_STREQ(header.shotImage, "./img/shots.png");
    EXPECT_EQ(header.delayRect, (ScanRect{1, 2, 300, 70000}));
    EXPECT_EQ(console.Text(), "");
}

TEST(ScanShotHeader, MissingPiecesAreReportedAndScanningGoesOn) {
    CaptureConsole console;
    ShotHeaderRecord header = ScanShotHeader(FromText("\"old\" shot_image = word delay_rect (4 5, 6, 7)"));
    EXPECT_STREQ(header.shotImage, "");  // not some earlier string
    EXPECT_EQ(header.delayRect, (ScanRect{4, 5, 6, 7}));
    EXPECT_EQ(console.Text(),
              "\nBinary Scanner error: Line 1 expected String"
              "\nBinary Scanner error: Line 1 expected = (Assign)"
              "\nBinary Scanner error: Line 1 expected , (Comma)");
    console.Clear();
    header = ScanShotHeader(Buffer({}));
    EXPECT_STREQ(header.shotImage, "");
    EXPECT_EQ(header.delayRect, (ScanRect{}));
    EXPECT_EQ(console.Text(), "");
}

TEST(ScanShotHeader, LongImagePathIsCutToItsField) {
    CaptureConsole console;
    const std::string text = "shot_image = \"" + std::string(258, 'p') + "\"";
    const ShotHeaderRecord header = ScanShotHeader(FromText(text.c_str()));
    EXPECT_EQ(std::string(header.shotImage), std::string(255, 'p'));
    EXPECT_EQ(console.Text(), "\nThe length of a path is at most 255 characters, the rest is cut off");
}

constexpr const char* kTwoEntries =
    "ShotData { id = 3 rect = (0, 0, 16, 16) }\n"
    "ShotData {\n"
    "    id = 300 rect = (16, 32, 48, 64) delay_color = (10, 20, 30) render = ADD_ARGB\n"
    "    angular_velocity = 5 fixed_angle = true collision = 4\n"
    "    AnimationData { animation_data = (4, 0, 0, 16, 16) animation_data = (4, 16, 0, 32, 16) }\n"
    "}\n";

TEST(ScanShotEntry, ReadsTheEntryAfterTheMatchingShotData) {
    CaptureConsole console;
    const TokenBuffer buffer = FromText(kTwoEntries);
    const ShotEntryRecord first = ScanShotEntry(buffer, 0);
    EXPECT_EQ(first.id, 3);
    EXPECT_EQ(first.rect, (ScanRect{0, 0, 16, 16}));
    EXPECT_EQ(first.delayColor, (std::array<uint8_t, 4>{}));
    EXPECT_EQ(first.renderBlend, 0u);
    EXPECT_EQ(first.animationFrameCount, 0);

    const ShotEntryRecord second = ScanShotEntry(buffer, 1);
    EXPECT_EQ(second.id, 300);
    EXPECT_EQ(second.rect, (ScanRect{16, 32, 48, 64}));
    EXPECT_EQ(second.delayColor, (std::array<uint8_t, 4>{10, 20, 30, 255}));
    EXPECT_EQ(second.renderBlend, 2u);
    EXPECT_EQ(second.animationFrameCount, 2);

    const ShotEntryRecord none = ScanShotEntry(buffer, 2);
    EXPECT_EQ(none.id, 0);
    EXPECT_EQ(none.rect, (ScanRect{}));
    EXPECT_EQ(ScanShotEntry(buffer, -1).id, 0);
    EXPECT_EQ(console.Text(), "");
}

TEST(ScanShotEntry, RenderWords) {
    const char* const words[] = {"ADD", "ADD_ARGB", "MULTIPLY", "SUBTRACT", "add", "ALPHA"};
    const uint32_t blends[] = {1, 2, 3, 4, 0, 0};
    for (int i = 0; i < 6; ++i) {
        const std::string text = std::string("ShotData { render = ") + words[i] + " }";
        EXPECT_EQ(ScanShotEntry(FromText(text.c_str()), 0).renderBlend, blends[i]) << words[i];
    }
    CaptureConsole console;
    // Without its word the blend is none, not the blend of a word seen earlier.
    EXPECT_EQ(ScanShotEntry(FromText("ShotData { ADD render = 1 }"), 0).renderBlend, 0u);
    EXPECT_EQ(console.Text(), "\nBinary Scanner error: Line 1 expected Word");
}

TEST(ScanShotEntry, MissingAssignIsReportedAndTheRectStillRead) {
    CaptureConsole console;
    const ShotEntryRecord entry = ScanShotEntry(FromText("ShotData { rect (1, 2, 3, 4) id = 9 }"), 0);
    EXPECT_EQ(entry.rect, (ScanRect{1, 2, 3, 4}));
    EXPECT_EQ(entry.id, 9);
    EXPECT_EQ(console.Text(), "\nBinary Scanner error: Line 1 expected = (Assign)");
}

TEST(ScanShotEntry, NumbersAreNarrowedToTheirFields) {
    CaptureConsole console;
    const ShotEntryRecord entry =
        ScanShotEntry(FromText("ShotData { id = 70000 delay_color = (256, 2.9, 4294967296) "
                               "rect = (4294967295, 1e, 0, 0) }"),
                      0);
    EXPECT_EQ(entry.id, 70000 % 65536);
    EXPECT_EQ(entry.delayColor, (std::array<uint8_t, 4>{0, 2, 0, 255}));
    EXPECT_EQ(entry.rect[0], -1);
    EXPECT_NE(console.Text(), "");  // `1e` breaks the rectangle; reported, no harm done
}

TEST(ScanShotEntry, ScanStopsAtInvalidToken) {
    const ShotEntryRecord entry = ScanShotEntry(FromText("ShotData { id = 1 $ id = 2 }"), 0);
    EXPECT_EQ(entry.id, 1);
}

}  // namespace
