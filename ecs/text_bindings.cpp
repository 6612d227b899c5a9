#include "ecs/text_bindings.h"

#include <string>

#include "base/console.h"
#include "ecs/binding_args.h"
#include "ecs/text.h"
#include "script/text_narrow.h"
#include "script/value.h"

namespace {

using C = TextComponent;

// The component of argument 0, or none after the invalid-id or the missing-component messages (the
// builtin's own line included).
TextComponent* Setter(const BuiltinArgs& args, const char* builtin, EntityId& id) {
    if (!args.EntityIdAt(0, builtin, id)) return nullptr;
    TextComponent* c = FindTextComponent(id);
    if (c == nullptr) ReportMissingIn(builtin);
    return c;
}

TextComponent* Setter(const BuiltinArgs& args, const char* builtin) {
    EntityId id = 0;
    return Setter(args, builtin, id);
}

std::string NarrowArgument(const BuiltinArgs& args, int index) {
    return TextToNarrow(ValueToText(args[index]));
}

template <typename T>
Value SetField(int32_t n, Value* a, const char* builtin, T C::*field, T value) {
    if (TextComponent* c = Setter(BuiltinArgs(n, a), builtin)) c->*field = value;
    return {};
}

Value SetColor(int32_t n, Value* a, const char* builtin, uint8_t (C::*color)[4], bool endsRainbow) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (TextComponent* c = Setter(args, builtin, id)) {
        uint8_t* rgb = c->*color;
        rgb[0] = args.Byte(1);
        rgb[1] = args.Byte(2);
        rgb[2] = args.Byte(3);
        if (endsRainbow) {
            c->rainbow = false;
            // The glyphs take the new colour now, not at the next layout.
            SysText_RefreshColor(*c, id);
        }
    }
    return {};
}

// Getters: the value, or 0 after the warnings.
template <typename Read>
Value GetReal(ScriptMachine& m, int32_t n, Value* a, const char* builtin, Read read) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (!args.EntityIdAt(0, builtin, id)) return RealResult(m, 0);
    const TextComponent* c = FindTextComponent(id);
    if (c == nullptr) return NeutralReal(m, builtin);
    return RealResult(m, read(*c));
}

}  // namespace

Value SysTextAdd(ScriptMachine&, int32_t n, Value* a) {
    EntityId id = 0;
    if (BuiltinArgs(n, a).ExistingEntityAt(0, "SysText_Add", id)) AddTextComponent(id);
    return {};
}

Value SysTextRemove(ScriptMachine&, int32_t n, Value* a) {
    EntityId id = 0;
    if (Setter(BuiltinArgs(n, a), "SysText_Remove", id) != nullptr) RemoveTextComponent(id);
    return {};
}

Value SysTextInstallFont(ScriptMachine&, int32_t n, Value* a) {
    InstallFont(NarrowArgument(BuiltinArgs(n, a), 0).c_str());
    return {};
}

Value SysTextSetDefaultFont(ScriptMachine&, int32_t n, Value* a) {
    CopyFontName(g_textSystem.defaultFontName, NarrowArgument(BuiltinArgs(n, a), 0).c_str());
    return {};
}

Value SysTextRefresh(ScriptMachine&, int32_t n, Value* a) {
    EntityId id = 0;
    if (TextComponent* c = Setter(BuiltinArgs(n, a), "SysText_Refresh", id)) LayoutText(*c, id, "SysText_Refresh");
    return {};
}

Value SysTextSetText(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (TextComponent* c = Setter(args, "SysText_SetText", id)) {
        SetText(*c, NarrowArgument(args, 1).c_str());
        LayoutText(*c, id, "SysText_SetText");
    }
    return {};
}

Value SysTextSetFont(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (TextComponent* c = Setter(args, "SysText_SetFont", id)) {
        CopyFontName(c->fontName, NarrowArgument(args, 1).c_str());
        LayoutText(*c, id, "SysText_SetFont");
    }
    return {};
}

Value SysTextSetFontSize(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (TextComponent* c = Setter(args, "SysText_SetFontSize", id)) ApplyFontSize(*c, id, args.Byte(1));
    return {};
}

Value SysTextSetFontBold(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysText_SetFontBold", &C::bold, BuiltinArgs(n, a).Truth(1));
}

Value SysTextSetFontColorRainbow(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysText_SetFontColorRainbow", &C::rainbow, true);
}

Value SysTextSetFontColorTop(ScriptMachine&, int32_t n, Value* a) {
    return SetColor(n, a, "SysText_SetFontColorTop", &C::topColor, true);
}

Value SysTextSetFontColorBottom(ScriptMachine&, int32_t n, Value* a) {
    return SetColor(n, a, "SysText_SetFontColorBottom", &C::bottomColor, true);
}

Value SysTextSetFontBorderWidth(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysText_SetFontBorderWidth", &C::borderWidth, BuiltinArgs(n, a).Byte(1));
}

Value SysTextSetFontBorderType(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysText_SetFontBorderType", &C::borderType, BuiltinArgs(n, a).Byte(1));
}

Value SysTextSetFontBorderColor(ScriptMachine&, int32_t n, Value* a) {
    return SetColor(n, a, "SysText_SetFontBorderColor", &C::borderColor, false);
}

Value SysTextSetMaxWidth(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysText_SetMaxWidth", &C::maxWidth, BuiltinArgs(n, a).Float(1));
}

Value SysTextSetMaxHeight(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysText_SetMaxHeight", &C::maxHeight, BuiltinArgs(n, a).Float(1));
}

Value SysTextShowControlCharacters(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysText_ShowControlCharacters", &C::showControlCharacters, BuiltinArgs(n, a).Truth(1));
}

Value SysTextSetSyntacticAnalysis(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysText_SetSyntacticAnalysis", &C::syntacticAnalysis, BuiltinArgs(n, a).Truth(1));
}

Value SysTextGetTextLengthVisible(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysText_GetTextLengthVisible", TextLengthVisible);
}

Value SysTextGetTextLength(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysText_GetTextLength", TextLength);
}

Value SysTextGetTextLengthCU(ScriptMachine& m, int32_t, Value*) {
    ConsolePrintf("\nfuchsiablack{ECS Interface diagnostics:} aquablack{SysText_GetTextLengthCU} yellowblack{not "
                  "implemented}");
    return RealResult(m, 0);
}

Value SysTextGetTextLinebreaks(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysText_GetTextLinebreaks", [](const C&) { return 0; });
}

Value SysTextGetTotalWidth(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysText_GetTotalWidth", [](const C& c) { return c.totalWidth; });
}

Value SysTextGetTotalHeight(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysText_GetTotalHeight", [](const C& c) { return c.totalHeight; });
}
