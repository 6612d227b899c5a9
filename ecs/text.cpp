#include "ecs/text.h"

#include <cstring>

#include "base/console.h"
#include "ecs/binding_args.h"
#include "ecs/movement.h"
#include "ecs/render_system.h"
#include "ecs/system_callbacks.h"

TextSystem g_textSystem;

namespace {

constexpr char kTab = 9, kLineFeed = 10, kVerticalTab = 11, kSpace = 32;
// Vertex indices are 16-bit: a text has at most this many six-vertex quads.
constexpr uint32_t kMaxLaidOutCharacters = 65535 / 6;

FixedHeap* TextHeap() {
    TextSystem& s = g_textSystem;
    if (s.heap == nullptr) s.heap = FixedHeapInit(s.heapRegion, kTextHeapBytes);
    return s.heap;
}

void RemoveOnDeletion(EntityId id) {
    RemoveTextComponent(id);
}

bool IsControl(char c) {
    return c == kTab || c == kLineFeed || c == kVerticalTab || c == kSpace;
}

// The report the layout gives for a glyph without area; it names the routine scripts know.
void ReportEmptyGlyph(int line, const char* condition, const char* message) {
    ConsolePrintf(
        "\nredblack{Assertion failed} yellowblack{at} aquablack{%s} : aquablack{%i}\nyellowblack{Within function:} "
        "aquablack{%s}\nyellowblack{Condition:} aquablack{%s}",
        "Source\\SysText", line, "SysText_Refresh", condition);
    ConsolePrintf("\nyellowblack{Message:} aquablack{%s}", message);
}

// Colour of the g-th visible glyph: the text's own, or the rainbow entry that moves with the phase.
void GlyphColors(const TextComponent& c, uint32_t g, uint8_t top[4], uint8_t bottom[4]) {
    if (!c.rainbow) {
        std::memcpy(top, c.topColor, 4);
        std::memcpy(bottom, c.bottomColor, 4);
        return;
    }
    // Unsigned wrap-around keeps the index a true modulo 8, also when the phase is ahead of g.
    const uint32_t entry = (g - g_textSystem.rainbowPhase - 1u) & (kRainbowColors - 1);
    const uint32_t argb = kRainbowTable[entry];
    const uint8_t color[4] = {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                              static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24)};
    std::memcpy(top, color, 4);
    std::memcpy(bottom, color, 4);
}

void ColorQuad(RenderComponent& r, EntityId id, uint32_t quad, const uint8_t top[4], const uint8_t bottom[4]) {
    for (uint16_t k = 0; k < 6; ++k) {
        const uint8_t* color = (k == 0 || k == 4 || k == 5) ? top : bottom;
        const auto index = static_cast<uint16_t>(6 * quad + k);
        SetVertexColor(r, id, index, color[0], color[1], color[2]);
        SetVertexAlpha(r, id, index, color[3]);
    }
}

// The mesh a layout may write into: an array of the component's vertex type.
bool MeshUsable(const RenderComponent& r) {
    return r.vertices != nullptr && VectorHeader(r.vertices).elementSize == VertexSizeOf(r.vertexType);
}

void Recolor(TextComponent& c, EntityId id, bool rainbowOnly) {
    if (c.text == nullptr || (rainbowOnly && !c.rainbow)) return;
    RenderComponent* r = LookupRenderComponent(id);
    if (r == nullptr || !MeshUsable(*r) || !VertexIsColored(r->vertexType)) return;
    // Only the quads the mesh holds: a layout may have cut the text.
    const uint32_t quads = RenderVertexCount(*r) / 6;
    uint32_t g = 0;
    for (uint32_t i = 0; c.text[i] != '\0' && i < quads; ++i) {
        if (IsControl(c.text[i])) continue;
        uint8_t top[4], bottom[4];
        GlyphColors(c, g++, top, bottom);
        ColorQuad(*r, id, i, top, bottom);
    }
}

}  // namespace

void ResetTextSystem() {
    TextSystem& s = g_textSystem;
    s.store.Reset();
    std::memset(s.defaultFontName, 0, sizeof s.defaultFontName);
    s.frameCounter = 0;
    s.rainbowPhase = 0;
    s.heap = nullptr;
    ResetFonts();
}

void InitTextSystem() {
    AddDeletionCallback(RemoveOnDeletion);
    AddUpdateCallback(UpdateTexts);
}

TextComponent* AddTextComponent(EntityId id) {
    ComponentStore<TextComponent, kTextCapacity>& store = g_textSystem.store;
    if (TextComponent* existing = store.Lookup(id)) return existing;
    TextComponent* c = store.Add(id);
    if (c != nullptr) std::memcpy(c->fontName, g_textSystem.defaultFontName, kFontNameBytes);
    return c;
}

void RemoveTextComponent(EntityId id) {
    ComponentStore<TextComponent, kTextCapacity>& store = g_textSystem.store;
    TextComponent* c = store.Lookup(id);
    if (c == nullptr) return;
    FixedHeapFree(g_textSystem.heap, c->text);
    c->text = nullptr;
    store.Remove(id);
}

TextComponent* FindTextComponent(EntityId id) {
    return g_textSystem.store.Find(id);
}

void SetText(TextComponent& c, const char* text) {
    FixedHeap* heap = TextHeap();
    if (heap == nullptr) return;
    // Escapes only ever shorten the text: its own length is room enough. A length past the heap is
    // asked for as the whole heap, which the heap refuses with its message.
    const size_t length = std::strlen(text);
    const uint32_t bytes = length < kTextHeapBytes ? static_cast<uint32_t>(length + 1) : kTextHeapBytes;
    auto* buffer = static_cast<char*>(FixedHeapRealloc(heap, c.text, bytes));
    if (buffer == nullptr) return;  // the heap has said why; the old text stays
    size_t out = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '[' && i + 2 < length && text[i + 2] == ']') {
            switch (text[i + 1]) {
                case 'r': buffer[out++] = kLineFeed; break;
                case 't': buffer[out++] = kTab; break;
                case 'v': buffer[out++] = kVerticalTab; break;
                case 'b': buffer[out++] = 8; break;
                default: buffer[out++] = '?'; break;
            }
            i += 2;
            continue;
        }
        buffer[out++] = text[i];
    }
    buffer[out] = '\0';
    c.text = buffer;
}

void LayoutText(TextComponent& c, EntityId id, const char* builtin) {
    if (c.fontName[0] == '\0') return;
    const int32_t font = FindFont(c.fontName);
    if (font < 0) return;
    RenderComponent* r = FindRenderComponent(id);
    if (r == nullptr) {
        ReportMissingIn(builtin);
        return;
    }
    const Glyph& space = FindGlyph(font, kSpace);
    const auto lineHeight = static_cast<float>(int64_t{space.bottom} - space.top);
    SetTextureHandle(*r, g_fonts.fonts[font].texture);

    const uint32_t length = TextLength(c);
    uint32_t characters = length < kMaxLaidOutCharacters ? length : kMaxLaidOutCharacters;
    SetVertexCount(*r, id, 6 * characters);
    // No vertex type yet, or one the mesh was not made for: SetVertexCount said so.
    if (r->vertices == nullptr ? VertexSizeOf(r->vertexType) == 0 : !MeshUsable(*r)) return;
    // A failed allocation keeps the old mesh (or none): only the quads it holds are written.
    const uint32_t held = RenderVertexCount(*r) / 6;
    if (held < characters) {
        characters = held;
        if (r->vertices != nullptr) SetVertexCount(*r, id, 6 * characters);
    }
    if (characters < length) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{The text of Entity} aquablack{%i} yellowblack{is cut to} "
            "aquablack{%u} yellowblack{of its} aquablack{%u} yellowblack{characters: its mesh has no room for more}",
            static_cast<int>(id), characters, length);
    }
    if (r->vertices == nullptr) return;

    const bool textured = VertexIsTextured(r->vertexType) && r->texture != nullptr;
    const bool colored = VertexIsColored(r->vertexType);
    float x = 0, y = 0, totalWidth = 0;
    uint32_t g = 0;
    for (uint32_t i = 0; i < characters; ++i) {
        const char ch = c.text[i];
        const Glyph& glyph = FindGlyph(font, static_cast<uint8_t>(ch));
        const auto w = static_cast<float>(int64_t{glyph.right} - glyph.left);
        const auto h = static_cast<float>(int64_t{glyph.bottom} - glyph.top);
        if (!(w > 0)) ReportEmptyGlyph(__LINE__, "charSize.x > 0", "Character Rect width must be a positive number");
        if (!(h > 0)) ReportEmptyGlyph(__LINE__, "charSize.y > 0", "Character Rect height must be a positive number");

        const float corners[6][2] = {{x, y}, {x + w, y + h}, {x, y + h}, {x + w, y + h}, {x, y}, {x + w, y}};
        const auto first = static_cast<uint16_t>(6 * i);
        for (uint16_t k = 0; k < 6; ++k) SetVertexPosition(*r, id, first + k, corners[k][0], corners[k][1], 0);

        const bool control = IsControl(ch);
        // Control characters take room but show nothing unless asked to.
        const bool showGlyph = !control || c.showControlCharacters;
        if (textured) {
            const auto l = static_cast<int16_t>(showGlyph ? glyph.left : 0);
            const auto t = static_cast<int16_t>(showGlyph ? glyph.top : 0);
            const auto rr = static_cast<int16_t>(showGlyph ? glyph.right : 0);
            const auto b = static_cast<int16_t>(showGlyph ? glyph.bottom : 0);
            const int16_t texels[6][2] = {{l, t}, {rr, b}, {l, b}, {rr, b}, {l, t}, {rr, t}};
            for (uint16_t k = 0; k < 6; ++k) SetVertexUVT(*r, id, first + k, texels[k][0], texels[k][1]);
        }
        switch (ch) {
            case kTab: x += 4 * w; break;
            case kLineFeed:
                y += h;
                x = 0;
                break;
            case kVerticalTab: y += 4 * h; break;
            case kSpace: x += w; break;
            default:
                if (colored) {
                    uint8_t top[4], bottom[4];
                    GlyphColors(c, g, top, bottom);
                    ColorQuad(*r, id, i, top, bottom);
                }
                x += w;
                ++g;
                break;
        }
        if (x > totalWidth) totalWidth = x;
    }
    c.totalWidth = totalWidth;
    c.totalHeight = y + lineHeight;
    ApplyFontSize(c, id, c.fontSize);
}

void ApplyFontSize(TextComponent& c, EntityId id, uint8_t size) {
    c.fontSize = size;
    const int32_t font = FindFont(c.fontName);
    if (font < 0) {
        ConsolePrintf(
            "\nblueblack{ECS warning:} yellowblack{Font must be set before using} aquablack{SysText_SetFontSize} "
            "yellowblack{on entity} aquablack{%i}",
            static_cast<int>(id));
        return;
    }
    const Glyph& space = FindGlyph(font, kSpace);
    const double height = static_cast<double>(space.bottom) - static_cast<double>(space.top);
    if (!(height > 0)) {
        ConsolePrintf(
            "\nblueblack{Font system warning:} yellowblack{The space character of font} aquablack{%s} "
            "yellowblack{has no height: the size of Entity} aquablack{%i} yellowblack{is left as it was}",
            c.fontName, static_cast<int>(id));
        return;
    }
    MovementComponent* m = FindMovement(id);
    if (m == nullptr) {
        ReportMissingIn("SysText_SetFontSize");
        return;
    }
    const auto scale = static_cast<float>(size / height);
    m->scaleX = scale;
    m->scaleY = scale;
    m->scaleZ = 0;
    RebuildTransform(*m);
}

void SysText_RefreshColor(TextComponent& c, EntityId id) {
    Recolor(c, id, false);
}

uint32_t TextLength(const TextComponent& c) {
    return c.text != nullptr ? static_cast<uint32_t>(std::strlen(c.text)) : 0;
}

uint32_t TextLengthVisible(const TextComponent& c) {
    uint32_t count = 0;
    for (const char* p = c.text; p != nullptr && *p != '\0'; ++p) {
        if (*p != kLineFeed && *p != kTab) ++count;
    }
    return count;
}

void UpdateTexts() {
    TextSystem& s = g_textSystem;
    for (uint16_t i = 0; i < s.store.count; ++i) {
        const EntityId id = s.store.ids[i];
        if (g_entities.exists[id] != 0) Recolor(s.store.records[i], id, true);
    }
    s.frameCounter = static_cast<uint8_t>((s.frameCounter + 1) % 8);
    if (s.frameCounter == 7) s.rainbowPhase = static_cast<uint8_t>((s.rainbowPhase + 1) % 8);
}
