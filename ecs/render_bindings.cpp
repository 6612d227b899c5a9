#include "ecs/render_bindings.h"

#include <string>

#include "base/console.h"
#include "ecs/binding_args.h"
#include "ecs/movement.h"
#include "ecs/render_system.h"
#include "render/texture.h"
#include "script/text_narrow.h"
#include "script/value.h"

namespace {

using C = RenderComponent;
using S = RenderStateBlock;

// The component of argument 0, or none after the invalid-id or the missing-component messages (the
// builtin's own line included, for builtins without a result).
RenderComponent* Setter(const BuiltinArgs& args, const char* builtin, EntityId& id) {
    if (!args.EntityIdAt(0, builtin, id)) return nullptr;
    RenderComponent* c = FindRenderComponent(id);
    if (c == nullptr) ReportMissingIn(builtin);
    return c;
}

RenderComponent* Setter(const BuiltinArgs& args, const char* builtin) {
    EntityId id = 0;
    return Setter(args, builtin, id);
}

// For getters: the component, or none after the invalid-id warning or the Render warning alone (the
// getter prints its own line with the neutral value it returns).
RenderComponent* Getter(const BuiltinArgs& args, const char* builtin, bool& invalidId) {
    EntityId id = 0;
    invalidId = !args.EntityIdAt(0, builtin, id);
    return invalidId ? nullptr : FindRenderComponent(id);
}

// Edit mode bakes the change just made into the vertices.
void Bake(RenderComponent& c, const Matrix4& matrix) {
    if (c.editMode) BakeTransform(c, matrix);
}

template <typename T>
Value SetField(int32_t n, Value* a, const char* builtin, T C::*field, T value) {
    if (RenderComponent* c = Setter(BuiltinArgs(n, a), builtin)) c->*field = value;
    return {};
}

template <typename T>
Value SetState(int32_t n, Value* a, const char* builtin, T S::*field, T value) {
    if (RenderComponent* c = Setter(BuiltinArgs(n, a), builtin)) c->states.*field = value;
    return {};
}

// A number as the 32-bit state fields keep it: the integer's low 32 bits.
uint32_t StateNumber(const BuiltinArgs& args, int index) {
    return static_cast<uint32_t>(args.Integer(index));
}

template <typename Read>
Value GetReal(ScriptMachine& m, int32_t n, Value* a, const char* builtin, Read read) {
    bool invalidId = false;
    const RenderComponent* c = Getter(BuiltinArgs(n, a), builtin, invalidId);
    if (invalidId) return RealResult(m, 0);
    if (c == nullptr) return NeutralReal(m, builtin);
    return RealResult(m, read(*c));
}

Value GetTriple(ScriptMachine& m, int32_t n, Value* a, const char* builtin, float C::*x, float C::*y, float C::*z,
                bool ones) {
    bool invalidId = false;
    const RenderComponent* c = Getter(BuiltinArgs(n, a), builtin, invalidId);
    const double fallback = ones ? 1 : 0;
    if (invalidId) return RealArrayResult(m, {fallback, fallback, fallback});
    if (c == nullptr) return ones ? NeutralScale(m, builtin) : NeutralPosition(m, builtin);
    return RealArrayResult(m, {c->*x, c->*y, c->*z});
}

// Getters of four numbers: `neutral` is both the printed text and the values returned.
Value GetQuad(ScriptMachine& m, int32_t n, Value* a, const char* builtin, const char* neutral,
              std::initializer_list<double> neutralValues, void (*read)(const C&, double[4])) {
    bool invalidId = false;
    const RenderComponent* c = Getter(BuiltinArgs(n, a), builtin, invalidId);
    if (invalidId) return RealArrayResult(m, neutralValues);
    if (c == nullptr) {
        ReportReturning(builtin, neutral);
        return RealArrayResult(m, neutralValues);
    }
    double v[4];
    read(*c, v);
    return RealArrayResult(m, {v[0], v[1], v[2], v[3]});
}

}  // namespace

Value SysRenderAdd(ScriptMachine&, int32_t n, Value* a) {
    EntityId id = 0;
    if (BuiltinArgs(n, a).ExistingEntityAt(0, "SysRender_Add", id)) AddRenderComponent(id);
    return {};
}

Value SysRenderRemove(ScriptMachine&, int32_t n, Value* a) {
    EntityId id = 0;
    if (BuiltinArgs(n, a).EntityIdAt(0, "SysRender_Remove", id)) RemoveRenderComponent(id, true);
    return {};
}

Value SysRenderSetSTGFrame(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    StgFrame& f = g_renderSystem.frame;
    f.left = args.Int32(0);
    f.top = args.Int32(1);
    f.right = args.Int32(2);
    f.bottom = args.Int32(3);
    f.low = args.Byte(4);
    f.high = args.Byte(5);
    return {};
}

Value SysRenderSetPosition(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetPosition")) {
        c->x = args.Float(1);
        c->y = args.Float(2);
        c->z = args.Float(3);
        Bake(*c, MatrixTranslation(c->x, c->y, c->z));
    }
    return {};
}

Value SysRenderSetX(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetX")) {
        c->x = args.Float(1);
        Bake(*c, MatrixTranslation(c->x, 0, 0));
    }
    return {};
}

Value SysRenderSetY(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetY")) {
        c->y = args.Float(1);
        Bake(*c, MatrixTranslation(0, c->y, 0));
    }
    return {};
}

Value SysRenderSetZ(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetZ")) {
        c->z = args.Float(1);
        Bake(*c, MatrixTranslation(0, 0, c->z));
    }
    return {};
}

Value SysRenderSetRotation(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetRotation")) {
        c->angleX = MovementRadians(args.Float(1));
        c->angleY = MovementRadians(args.Float(2));
        c->angleZ = MovementRadians(args.Float(3));
        Bake(*c, MatrixYawPitchRoll(c->angleY, c->angleX, c->angleZ));
    }
    return {};
}

Value SysRenderSetAngleX(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetAngleX")) {
        c->angleX = MovementRadians(args.Float(1));
        Bake(*c, MatrixRotationX(c->angleX));
    }
    return {};
}

Value SysRenderSetAngleY(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetAngleY")) {
        c->angleY = MovementRadians(args.Float(1));
        Bake(*c, MatrixRotationY(c->angleY));
    }
    return {};
}

Value SysRenderSetAngleZ(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetAngleZ")) {
        c->angleZ = MovementRadians(args.Float(1));
        Bake(*c, MatrixRotationZ(c->angleZ));
    }
    return {};
}

Value SysRenderSetScale(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetScale")) {
        c->scaleX = args.Float(1);
        c->scaleY = args.Float(2);
        c->scaleZ = args.Float(3);
        Bake(*c, MatrixScaling(c->scaleX, c->scaleY, c->scaleZ));
    }
    return {};
}

Value SysRenderSetScaleX(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetScaleX")) {
        c->scaleX = args.Float(1);
        Bake(*c, MatrixScaling(c->scaleX, 1, 1));
    }
    return {};
}

Value SysRenderSetScaleY(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetScaleY")) {
        c->scaleY = args.Float(1);
        Bake(*c, MatrixScaling(1, c->scaleY, 1));
    }
    return {};
}

Value SysRenderSetScaleZ(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetScaleZ")) {
        c->scaleZ = args.Float(1);
        Bake(*c, MatrixScaling(1, 1, c->scaleZ));
    }
    return {};
}

Value SysRenderSetEditMode(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetEditMode")) {
        c->editMode = args.Truth(1);
        c->x = c->y = c->z = 0;
        c->angleX = c->angleY = c->angleZ = 0;
        c->scaleX = c->scaleY = c->scaleZ = 1;
    }
    return {};
}

Value SysRenderIsEditMode(ScriptMachine& m, int32_t n, Value* a) {
    bool invalidId = false;
    const RenderComponent* c = Getter(BuiltinArgs(n, a), "SysRender_IsEditMode", invalidId);
    if (invalidId) return RealResult(m, 0);
    if (c == nullptr) {
        ReportReturning("SysRender_IsEditMode", "aquablack{FALSE}");
        return RealResult(m, 0);
    }
    return RealResult(m, c->editMode ? 1 : 0);
}

Value SysRenderSetEditRange(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetEditRange")) {
        c->editStart = args.FrameCount(1);
        c->editCount = args.FrameCount(2);
    }
    return {};
}

Value SysRenderSetEditAll(ScriptMachine&, int32_t n, Value* a) {
    if (RenderComponent* c = Setter(BuiltinArgs(n, a), "SysRender_SetEditAll")) c->editStart = c->editCount = 0;
    return {};
}

Value SysRenderSetVisible(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysRender_SetVisible", &C::visible, BuiltinArgs(n, a).Truth(1));
}
Value SysRenderSetFixedAngle(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysRender_SetFixedAngle", &C::fixedAngle, BuiltinArgs(n, a).Truth(1));
}
Value SysRenderSetRenderPriority(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysRender_SetRenderPriority", &C::renderPriority, BuiltinArgs(n, a).Byte(1));
}
Value SysRenderSetVertexLayout(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysRender_SetVertexLayout", &C::vertexLayout, uint32_t{BuiltinArgs(n, a).Byte(1)});
}
Value SysRenderSetVertexType(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysRender_SetVertexType", &C::vertexType, uint32_t{BuiltinArgs(n, a).Byte(1)});
}

Value SysRenderSetVertexCount(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (RenderComponent* c = Setter(args, "SysRender_SetVertexCount", id)) {
        // Beyond what the heap could ever hold is refused by the heap itself, with its message.
        const int64_t count = args.Integer(1);
        SetVertexCount(*c, id, count < 0 || count > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(count));
    }
    return {};
}

Value SysRenderSetVertexPosition(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (RenderComponent* c = Setter(args, "SysRender_SetVertexPosition", id)) {
        SetVertexPosition(*c, id, args.FrameCount(1), args.Float(2), args.Float(3), args.Float(4));
    }
    return {};
}

Value SysRenderSetVertexRHW(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (RenderComponent* c = Setter(args, "SysRender_SetVertexRHW", id)) {
        SetVertexRHW(*c, id, args.FrameCount(1), args.Float(2));
    }
    return {};
}

Value SysRenderSetVertexColor(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (RenderComponent* c = Setter(args, "SysRender_SetVertexColor", id)) {
        SetVertexColor(*c, id, args.FrameCount(1), args.Byte(2), args.Byte(3), args.Byte(4));
    }
    return {};
}

Value SysRenderSetVertexAlpha(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (RenderComponent* c = Setter(args, "SysRender_SetVertexAlpha", id)) {
        SetVertexAlpha(*c, id, args.FrameCount(1), args.Byte(2));
    }
    return {};
}

Value SysRenderSetVertexUV(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (RenderComponent* c = Setter(args, "SysRender_SetVertexUV", id)) {
        SetVertexUV(*c, id, args.FrameCount(1), args.Float(2), args.Float(3));
    }
    return {};
}

Value SysRenderSetVertexUVT(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (RenderComponent* c = Setter(args, "SysRender_SetVertexUVT", id)) {
        SetVertexUVT(*c, id, args.FrameCount(1), static_cast<int16_t>(args.FrameCount(2)),
                     static_cast<int16_t>(args.FrameCount(3)));
    }
    return {};
}

Value SysRenderSetColorRGB(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetColorRGB")) {
        c->red = args.Byte(1);
        c->green = args.Byte(2);
        c->blue = args.Byte(3);
    }
    return {};
}

Value SysRenderSetColorHSV(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetColorHSV")) {
        SetColorHSV(*c, args.Byte(1), args.Byte(2), args.Byte(3));
    }
    return {};
}

Value SysRenderSetAlpha(ScriptMachine&, int32_t n, Value* a) {
    return SetField(n, a, "SysRender_SetAlpha", &C::alpha, BuiltinArgs(n, a).Byte(1));
}

Value SysRenderSetTexture(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    if (RenderComponent* c = Setter(args, "SysRender_SetTexture")) {
        const std::string path = TextToNarrow(ValueToText(args[1]));
        TextureHandle* handle = GetTexture(path.c_str());
        // GetTexture's reference is the component's own: stored without another.
        TextureHandle* old = c->texture;
        c->texture = handle;
        ReleaseTextureHandle(old);
    }
    return {};
}

Value SysRenderSetSourceRect(ScriptMachine&, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (RenderComponent* c = Setter(args, "SysRender_SetSourceRect", id)) {
        SetSourceRect(*c, id, args.Int32(1), args.Int32(2), args.Int32(3), args.Int32(4));
    }
    return {};
}

Value SysRenderSetZTest(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetZTest", &S::zTest, BuiltinArgs(n, a).Truth(1));
}
Value SysRenderSetLighting(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetLighting", &S::lighting, BuiltinArgs(n, a).Truth(1));
}
Value SysRenderSetZWrite(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetZWrite", &S::zWrite, BuiltinArgs(n, a).Truth(1));
}
// A truth value: scripts choose between no culling (0) and clockwise (1).
Value SysRenderSetCullMode(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetCullMode", &S::cullMode, uint32_t{BuiltinArgs(n, a).Truth(1)});
}
Value SysRenderSetAlphaBlend(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetAlphaBlend", &S::alphaBlend, BuiltinArgs(n, a).Truth(1));
}
Value SysRenderSetBlendOperation(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetBlendOperation", &S::blendOperation, StateNumber(BuiltinArgs(n, a), 1));
}
Value SysRenderSetSourceBlendState(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetSourceBlendState", &S::sourceBlend, StateNumber(BuiltinArgs(n, a), 1));
}
Value SysRenderSetDestBlendState(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetDestBlendState", &S::destBlend, StateNumber(BuiltinArgs(n, a), 1));
}
Value SysRenderSetAlphaTest(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetAlphaTest", &S::alphaTest, BuiltinArgs(n, a).Truth(1));
}
Value SysRenderSetAlphaRef(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetAlphaRef", &S::alphaRef, BuiltinArgs(n, a).Byte(1));
}
Value SysRenderSetAlphaFunc(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetAlphaFunc", &S::alphaFunc, StateNumber(BuiltinArgs(n, a), 1));
}
Value SysRenderSetMagFilter(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetMagFilter", &S::magFilter, StateNumber(BuiltinArgs(n, a), 1));
}
Value SysRenderSetMinFilter(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetMinFilter", &S::minFilter, StateNumber(BuiltinArgs(n, a), 1));
}
Value SysRenderSetMipFilter(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetMipFilter", &S::mipFilter, StateNumber(BuiltinArgs(n, a), 1));
}
Value SysRenderSetFillMode(ScriptMachine&, int32_t n, Value* a) {
    return SetState(n, a, "SysRender_SetFillMode", &S::fillMode, StateNumber(BuiltinArgs(n, a), 1));
}

Value SysRenderGetPosition(ScriptMachine& m, int32_t n, Value* a) {
    return GetTriple(m, n, a, "SysRender_GetPosition", &C::x, &C::y, &C::z, false);
}
Value SysRenderGetRotation(ScriptMachine& m, int32_t n, Value* a) {
    return GetTriple(m, n, a, "SysRender_GetRotation", &C::angleX, &C::angleY, &C::angleZ, false);
}
Value SysRenderGetScale(ScriptMachine& m, int32_t n, Value* a) {
    return GetTriple(m, n, a, "SysRender_GetScale", &C::scaleX, &C::scaleY, &C::scaleZ, true);
}

Value SysRenderGetX(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetX", [](const C& c) { return double{c.x}; });
}
Value SysRenderGetY(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetY", [](const C& c) { return double{c.y}; });
}
Value SysRenderGetZ(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetZ", [](const C& c) { return double{c.z}; });
}
Value SysRenderGetAngleX(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetAngleX", [](const C& c) { return double{c.angleX}; });
}
Value SysRenderGetAngleY(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetAngleY", [](const C& c) { return double{c.angleY}; });
}
Value SysRenderGetAngleZ(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetAngleZ", [](const C& c) { return double{c.angleZ}; });
}
Value SysRenderIsVisible(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_IsVisible", [](const C& c) { return c.visible ? 1.0 : 0.0; });
}
Value SysRenderGetRenderPriority(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetRenderPriority", [](const C& c) { return static_cast<double>(c.renderPriority); });
}
Value SysRenderGetVertexLayout(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetVertexLayout", [](const C& c) { return static_cast<double>(c.vertexLayout); });
}
Value SysRenderGetVertexType(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetVertexType", [](const C& c) { return static_cast<double>(c.vertexType); });
}
Value SysRenderGetVertexCount(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetVertexCount", [](const C& c) { return static_cast<double>(RenderVertexCount(c)); });
}
Value SysRenderGetAlpha(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetAlpha", [](const C& c) { return static_cast<double>(c.alpha); });
}
Value SysRenderIsZTest(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_IsZTest", [](const C& c) { return c.states.zTest ? 1.0 : 0.0; });
}
Value SysRenderIsZWrite(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_IsZWrite", [](const C& c) { return c.states.zWrite ? 1.0 : 0.0; });
}
Value SysRenderIsAlphaBlend(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_IsAlphaBlend", [](const C& c) { return c.states.alphaBlend ? 1.0 : 0.0; });
}
Value SysRenderGetBlendOperation(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetBlendOperation", [](const C& c) { return static_cast<double>(c.states.blendOperation); });
}
Value SysRenderGetSourceBlendState(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetSourceBlendState", [](const C& c) { return static_cast<double>(c.states.sourceBlend); });
}
Value SysRenderGetDestBlendState(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetDestBlendState", [](const C& c) { return static_cast<double>(c.states.destBlend); });
}
Value SysRenderIsAlphaTest(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_IsAlphaTest", [](const C& c) { return c.states.alphaTest ? 1.0 : 0.0; });
}
Value SysRenderGetAlphaRef(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetAlphaRef", [](const C& c) { return static_cast<double>(c.states.alphaRef); });
}
Value SysRenderGetFillMode(ScriptMachine& m, int32_t n, Value* a) {
    return GetReal(m, n, a, "SysRender_GetFillMode", [](const C& c) { return static_cast<double>(c.states.fillMode); });
}

Value SysRenderGetVertexPosition(ScriptMachine& m, int32_t n, Value* a) {
    const BuiltinArgs args(n, a);
    EntityId id = 0;
    if (!args.EntityIdAt(0, "SysRender_GetVertexPosition", id)) return RealArrayResult(m, {0, 0, 0});
    RenderComponent* c = FindRenderComponent(id);
    if (c == nullptr) return NeutralPosition(m, "SysRender_GetVertexPosition");
    float p[3];
    GetVertexPosition(*c, id, args.FrameCount(1), p);
    return RealArrayResult(m, {p[0], p[1], p[2]});
}

Value SysRenderGetColorRGBA(ScriptMachine& m, int32_t n, Value* a) {
    return GetQuad(m, n, a, "SysRender_GetColorRGBA", "aquablack{[255, 255, 255, 255]}", {255, 255, 255, 255},
                   [](const C& c, double v[4]) {
                       v[0] = c.red;
                       v[1] = c.green;
                       v[2] = c.blue;
                       v[3] = c.alpha;
                   });
}

Value SysRenderGetColorHSVA(ScriptMachine& m, int32_t n, Value* a) {
    return GetQuad(m, n, a, "SysRender_GetColorHSVA", "aquablack{[255, 255, 255, 255]}", {255, 255, 255, 255},
                   [](const C& c, double v[4]) {
                       uint8_t hsv[3];
                       GetColorHSV(c, hsv);
                       v[0] = hsv[0];
                       v[1] = hsv[1];
                       v[2] = hsv[2];
                       v[3] = c.alpha;
                   });
}

Value SysRenderGetSourceRect(ScriptMachine& m, int32_t n, Value* a) {
    return GetQuad(m, n, a, "SysRender_GetSourceRect", "aquablack{[0, 0, 255, 255]}", {0, 0, 255, 255},
                   [](const C& c, double v[4]) {
                       v[0] = c.sourceLeft;
                       v[1] = c.sourceTop;
                       v[2] = c.sourceRight;
                       v[3] = c.sourceBottom;
                   });
}
