#pragma once
// The Text system: one text per entity, laid out as a quad per character into the entity's Render
// component (so the Render system draws it like any mesh) and sized through its Movement scale.
// Rainbow texts change colour along the text once every 8 frames.

#include <cstdint>

#include "base/heap.h"
#include "ecs/component_store.h"
#include "render/font.h"

struct TextComponent {
    char* text = nullptr;  // zero-terminated, escapes converted, in the text heap; null before any text
    char fontName[kFontNameBytes] = {};
    bool showControlCharacters = false;
    bool bold = false;  // stored only
    uint8_t fontSize = 23;
    uint8_t borderWidth = 0;  // stored only
    uint8_t borderType = 0;   // stored only
    bool rainbow = false;
    uint8_t topColor[4] = {255, 255, 255, 255};     // red, green, blue, alpha
    uint8_t bottomColor[4] = {255, 255, 255, 255};
    uint8_t borderColor[4] = {255, 255, 255, 255};  // stored only
    float totalWidth = 0, totalHeight = 0;
    float maxWidth = 0, maxHeight = 0;  // stored only: texts are neither wrapped nor clipped
    bool syntacticAnalysis = true;      // stored only
};

inline constexpr uint16_t kTextCapacity = 256;
inline constexpr int kRainbowColors = 8;
// Opaque ARGB.
inline constexpr uint32_t kRainbowTable[kRainbowColors] = {0xFFFFFFFF, 0xFF00FFFF, 0xFFFFFF00, 0xFF94FF73,
                                                            0xFFFF00FF, 0xFF0000D6, 0xFFD67B00, 0xFF838383};

struct TextSystem {
    ComponentStore<TextComponent, kTextCapacity> store{
        "Text",
        "\nblueblack{ECS warning:} yellowblack{Unable to find Text Component for Entity} aquablack{%i} "
        "yellowblack{while executing} "};
    char defaultFontName[kFontNameBytes];
    // Both 0-7, shared by every text: the phase moves on once every 8 frames.
    uint8_t frameCounter;
    uint8_t rainbowPhase;
    // Texts; laid out on the first SetText.
    FixedHeap* heap;
    alignas(FixedHeap) unsigned char heapRegion[kTextHeapBytes];
};
extern TextSystem g_textSystem;

// No components, no fonts, no default font, counters at 0, the heap forgotten.
void ResetTextSystem();
// Registers the deletion and update callbacks.
void InitTextSystem();

// A component with the defaults (the default font name); nothing when the entity has one.
TextComponent* AddTextComponent(EntityId id);
// Gives the text back to the heap.
void RemoveTextComponent(EntityId id);
// The component, or none after the Text warning (the caller's own line follows).
TextComponent* FindTextComponent(EntityId id);

// Stores `text` with the bracket escapes converted ([r] line feed, [t] tab, [v] vertical tab, [b]
// code 8, any other [x] a question mark). A text the heap has no room for leaves the old one.
void SetText(TextComponent& c, const char* text);
// Writes a quad per character into the entity's Render component and sizes it by the font size.
// `builtin` names the caller in the messages of a missing Render component.
void LayoutText(TextComponent& c, EntityId id, const char* builtin);
// Sets the font size and the entity's Movement scale to size over the font's line height.
void ApplyFontSize(TextComponent& c, EntityId id, uint8_t size);
// Recolours the glyphs from the text's colours (or the rainbow), without layout.
void SysText_RefreshColor(TextComponent& c, EntityId id);

// Stored characters, and those other than line feed and tab.
uint32_t TextLength(const TextComponent& c);
uint32_t TextLengthVisible(const TextComponent& c);

// The update callback: rainbow texts recoloured, then the counters moved on.
void UpdateTexts();
