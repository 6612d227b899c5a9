#pragma once
// What a script declares about itself in its header fields (#Quillstorm[Stage], #Title["..."], ...).

#include <cstdint>
#include <string_view>

enum class ScriptKind : int32_t {
    None = 0,  // no header word, or a kind name the engine does not know
    Player = 1,
    Single = 2,
    Plural = 3,
    Stage = 4,
    Package = 5,
};

// Texts are narrow and NUL-terminated; a longer value is cut to fit its field.
struct ScriptHeader {
    ScriptKind kind;
    uint8_t scriptVersion;
    char id[32];
    char title[32];
    char description[256];
    char imagePath[256];
};

// Scans a preprocessed script for its header fields. Fields may stand anywhere in the text, a later
// one replaces an earlier one, and missing ones stay zero; the scan never fails.
ScriptHeader ParseHeader(std::string_view text);
