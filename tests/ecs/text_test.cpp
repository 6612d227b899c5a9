#include "ecs/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "ecs/entity_system.h"
#include "ecs/movement.h"
#include "ecs/render_system.h"
#include "ecs/system_callbacks.h"
#include "platform/headless/headless_platform.h"
#include "tests/support/capture_console.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = g_platform.platform;
        SetPlatform(&platform_);
        ResetEntitySystem();
        InitEntitySystem();
    }
    void TearDown() override {
        ResetEntitySystem();
        SetPlatform(previous_);
    }

    // A font put in the table by hand: no file and no texture needed.
    static void AddFont(const char* name, std::initializer_list<Glyph> glyphs) {
        Font& font = g_fonts.fonts[g_fonts.count++];
        CopyFontName(font.name, name);
        font.characters = new Glyph[glyphs.size() + 1];
        std::copy(glyphs.begin(), glyphs.end(), font.characters);
        font.characterCount = static_cast<int32_t>(glyphs.size());
    }

    // An entity with Movement, a mesh of `vertexType` and a text in `font`, laid out.
    static EntityId TextEntity(const char* font, const std::string& text, uint32_t vertexType = VERTEX_COLOR) {
        const EntityId id = CreateEntity(true);
        AddMovement(id);
        AddRenderComponent(id)->vertexType = vertexType;
        TextComponent* c = AddTextComponent(id);
        CopyFontName(c->fontName, font);
        SetText(*c, text.c_str());
        LayoutText(*c, id, "SysText_Refresh");
        return id;
    }

    static std::vector<int> Color(EntityId id, uint32_t vertex) {
        const RenderComponent* r = LookupRenderComponent(id);
        const uint8_t* v = static_cast<const uint8_t*>(r->vertices) + vertex * VertexSizeOf(r->vertexType) +
                           VertexColorOffset(r->vertexType);
        return {v[0], v[1], v[2], v[3]};
    }

    HeadlessPlatform platform_;
    Platform* previous_ = nullptr;
};

TEST_F(TextTest, GlyphsAreColouredTopAndBottomOrByTheMovingRainbow) {
    AddFont("Test", {{65, 0, 0, 4, 8, true}, {32, 4, 0, 6, 8, true}});
    const EntityId id = TextEntity("Test", "A AA");
    TextComponent& c = *g_textSystem.store.Lookup(id);
    c.topColor[0] = 200;
    c.bottomColor[3] = 100;
    SysText_RefreshColor(c, id);
    EXPECT_EQ(Color(id, 5), (std::vector<int>{200, 255, 255, 255}));   // top corners: 0, 4, 5
    EXPECT_EQ(Color(id, 3), (std::vector<int>{255, 255, 255, 100}));   // bottom corners: 1, 2, 3
    EXPECT_EQ(Color(id, 6), (std::vector<int>{255, 255, 255, 255}));   // the space is not coloured

    // Phase 0: the first visible glyph takes entry 7, the next ones 0 and 1; spaces are not counted.
    c.rainbow = true;
    SysText_RefreshColor(c, id);
    EXPECT_EQ(Color(id, 0), (std::vector<int>{0x83, 0x83, 0x83, 255}));
    EXPECT_EQ(Color(id, 12), (std::vector<int>{255, 255, 255, 255}));
    EXPECT_EQ(Color(id, 23), (std::vector<int>{0, 255, 255, 255}));
    // The phase moves on once every 8 frames; behind it the index wraps to the end of the table.
    for (int frame = 0; frame < 8; ++frame) RunUpdateCallbacks();
    EXPECT_EQ(g_textSystem.rainbowPhase, 1);
    EXPECT_EQ(Color(id, 0), (std::vector<int>{0xD6, 0x7B, 0x00, 255}));
    for (int frame = 0; frame < 48; ++frame) RunUpdateCallbacks();
    EXPECT_EQ(g_textSystem.rainbowPhase, 7);
    EXPECT_EQ(Color(id, 18), (std::vector<int>{0xFF, 0xFF, 0x00, 255}));  // g 2: (2 - 7 - 1) mod 8 = 2
}

TEST_F(TextTest, GlyphsWithoutAreaNeverDivideOrReadOutsideTheTable) {
    CaptureConsole console;
    AddFont("Empty", {});
    const EntityId empty = TextEntity("Empty", "AB");
    EXPECT_TRUE(Contains(console.Text(), "Unable to find Character 65 in loaded fonts list"));
    EXPECT_TRUE(Contains(console.Text(), "Assertion failed at Source\\SysText : "));
    EXPECT_TRUE(Contains(console.Text(), "Within function: SysText_Refresh\nCondition: charSize.x > 0"));
    EXPECT_TRUE(Contains(console.Text(), "Message: Character Rect height must be a positive number"));
    EXPECT_TRUE(Contains(console.Text(), "The space character of font Empty has no height"));
    EXPECT_EQ(RenderVertexCount(*LookupRenderComponent(empty)), 12u);
    EXPECT_EQ(LookupMovement(empty)->scaleX, 1.0f);

    // A flat space leaves the size alone; otherwise the scale is a true quotient.
    AddFont("Flat", {{32, 0, 5, 4, 5, true}});
    AddFont("Sixteen", {{32, 0, 0, 4, 16, true}});
    const EntityId flat = TextEntity("Flat", " ");
    EXPECT_EQ(LookupMovement(flat)->scaleX, 1.0f);
    const EntityId sized = TextEntity("Sixteen", " ");
    ApplyFontSize(*g_textSystem.store.Lookup(sized), sized, 24);
    EXPECT_EQ(LookupMovement(sized)->scaleY, 1.5f);
    EXPECT_EQ(LookupMovement(sized)->scaleZ, 0.0f);
}

TEST_F(TextTest, ATextTheMeshCannotHoldIsCutToTheQuadsItHas) {
    AddFont("Test", {{65, 0, 0, 4, 8, true}, {32, 4, 0, 6, 8, true}});
    const EntityId id = TextEntity("Test", "AAA", VERTEX_COLORTEXTURE);
    CaptureConsole console;
    // More quads than 16-bit vertex indices reach, and more bytes than the vertex heap holds.
    TextComponent& c = *g_textSystem.store.Lookup(id);
    SetText(c, std::string(12000, 'A').c_str());
    LayoutText(c, id, "SysText_Refresh");
    EXPECT_TRUE(Contains(console.Text(), "The text of Entity 2 is cut to 3 of its 12000 characters"));
    EXPECT_EQ(RenderVertexCount(*LookupRenderComponent(id)), 18u);
    EXPECT_EQ(c.totalWidth, 12.0f);

    // Without a mesh to keep, nothing is laid out.
    RemoveTextComponent(id);
    console.Clear();
    const EntityId fresh = TextEntity("Test", std::string(12000, 'A'), VERTEX_COLORTEXTURE);
    EXPECT_TRUE(Contains(console.Text(), "The text of Entity 3 is cut to 0 of its 12000 characters"));
    EXPECT_EQ(LookupRenderComponent(fresh)->vertices, nullptr);

    // A text longer than the text heap leaves the old one.
    TextComponent& kept = *g_textSystem.store.Lookup(fresh);
    SetText(kept, std::string(kTextHeapBytes, 'A').c_str());
    EXPECT_EQ(TextLength(kept), 12000u);
}

}  // namespace
