#include "platform/softgpu/raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "render/device.h"

namespace {

constexpr int kSubBits = 8;  // sub-pixel bits of snapped positions
constexpr int64_t kSub = int64_t{1} << kSubBits;
// Geometry beyond this band around the viewport is clipped away before it is snapped, which keeps
// every edge product inside 64 bits.
constexpr float kGuard = 8192.0f;
constexpr int kMaxPolygon = 16;

// ---- arithmetic ------------------------------------------------------------------------------

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
    int64_t q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

// Nearest integer (ties to even) of |value| < 2^51, without a library call.
inline int64_t RoundToInt(double value) {
    constexpr double kMagic = 6755399441055744.0;  // 2^52 + 2^51
    return static_cast<int64_t>((value + kMagic) - kMagic);
}

// 16.16 fixed point of a float, NaN and huge values clamped so that stepping never overflows.
inline int64_t ToFixed(double value) {
    constexpr double kLimit = 1.0e8;
    if (!(value > -kLimit)) value = -kLimit;
    if (value > kLimit) value = kLimit;
    return RoundToInt(value * 65536.0);
}

// round(x / 255) for 0 <= x <= 65025.
[[gnu::always_inline]] inline uint32_t Div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

[[gnu::always_inline]] inline uint32_t Mul8(uint32_t a, uint32_t b) {
    return Div255(a * b);
}

[[gnu::always_inline]] inline uint32_t Clamp255(int64_t fixed) {
    const int64_t v = fixed >> 16;
    return v < 0 ? 0 : (v > 255 ? 255 : static_cast<uint32_t>(v));
}

[[gnu::always_inline]] inline bool Compare(uint32_t func, uint32_t value, uint32_t ref) {
    switch (func) {
        case CMP_NEVER: return false;
        case CMP_LESS: return value < ref;
        case CMP_EQUAL: return value == ref;
        case CMP_LESSEQUAL: return value <= ref;
        case CMP_GREATER: return value > ref;
        case CMP_NOTEQUAL: return value != ref;
        case CMP_GREATEREQUAL: return value >= ref;
        default: return true;
    }
}

[[gnu::always_inline]] inline uint32_t Wrap(int64_t i, uint32_t size) {
    if ((size & (size - 1)) == 0) [[likely]] return static_cast<uint32_t>(i) & (size - 1);
    const int64_t m = i % size;
    return static_cast<uint32_t>(m < 0 ? m + size : m);
}

// ---- pixel pipeline --------------------------------------------------------------------------

// Attributes at a span's first pixel and their steps per pixel to the right: colour 0-255 and
// texel coordinates in 16.16, depth as a float.
struct SpanState {
    int64_t r, g, b, a, dr, dg, db, da;
    int64_t u, v, du, dv;
    float z, dz;
};

enum TexMode { kNoTexture, kPoint, kLinear };
enum ColorMode { kWhite, kConstant, kGouraud };
enum BlendMode { kOpaque, kAlphaOver, kGeneric };

[[gnu::always_inline]] inline uint32_t FetchPoint(const RasterPipeline& p, int64_t u, int64_t v) {
    const uint32_t x = Wrap(u >> 16, p.texWidth), y = Wrap(v >> 16, p.texHeight);
    return p.texels[size_t{y} * p.texWidth + x];
}

// Weighs two texels by f / 256 of the second, two channels at a time.
[[gnu::always_inline]] inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t f) {
    const uint32_t g = 256 - f;
    const uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f + 0x00800080u) >> 8) & 0x00FF00FFu;
    const uint32_t ag = ((((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f + 0x00800080u)) & 0xFF00FF00u;
    return rb | ag;
}

// Bilinear between the four texels around the sample, whose centres sit at half-texel offsets.
[[gnu::always_inline]] inline uint32_t FetchLinear(const RasterPipeline& p, int64_t u, int64_t v) {
    u -= 32768;
    v -= 32768;
    const int64_t iu = u >> 16, iv = v >> 16;
    const uint32_t fx = static_cast<uint32_t>(u >> 8) & 255, fy = static_cast<uint32_t>(v >> 8) & 255;
    const uint32_t x0 = Wrap(iu, p.texWidth), x1 = Wrap(iu + 1, p.texWidth);
    const uint32_t y0 = Wrap(iv, p.texHeight), y1 = Wrap(iv + 1, p.texHeight);
    const uint32_t* row0 = p.texels + size_t{y0} * p.texWidth;
    const uint32_t* row1 = p.texels + size_t{y1} * p.texWidth;
    return Mix(Mix(row0[x0], row0[x1], fx), Mix(row1[x0], row1[x1], fx), fy);
}

[[gnu::always_inline]] inline uint32_t BlendFactor(uint32_t factor, uint32_t src, uint32_t srcAlpha, uint32_t dst) {
    switch (factor) {
        case 2: return 255;              // one
        case 3: return src;              // source colour
        case 4: return 255 - src;        // inverse source colour
        case 5: return srcAlpha;         // source alpha
        case 6: return 255 - srcAlpha;   // inverse source alpha
        case 7: return 255;              // destination alpha: the display format has none, it reads as 1
        case 8: return 0;                // inverse destination alpha
        case 9: return dst;              // destination colour
        case 10: return 255 - dst;       // inverse destination colour
        default: return 0;               // zero, and factors the engine never sets
    }
}

[[gnu::always_inline]] inline uint32_t BlendChannel(const RasterPipeline& p, uint32_t s, uint32_t sa, uint32_t d) {
    const int32_t fs = static_cast<int32_t>(BlendFactor(p.srcBlend, s, sa, d));
    const int32_t fd = static_cast<int32_t>(BlendFactor(p.destBlend, s, sa, d));
    const int32_t ss = static_cast<int32_t>(s) * fs, dd = static_cast<int32_t>(d) * fd;
    int32_t x;
    switch (p.blendOp) {
        case BLENDOP_SUBTRACT: x = ss - dd; break;
        case BLENDOP_REVSUBTRACT: x = dd - ss; break;
        case BLENDOP_MIN: return s < d ? s : d;  // factors do not apply to min and max
        case BLENDOP_MAX: return s > d ? s : d;
        default: x = ss + dd; break;
    }
    if (x < 0) x = 0;
    if (x > 65025) x = 65025;
    return Div255(static_cast<uint32_t>(x));
}

template <int Tex, int Col, int Blend>
void ShadeSpan(const RasterPipeline& p, uint32_t* dst, uint16_t* depth, int count, const SpanState& start,
               uint32_t constant) {
    SpanState s = start;
    const bool zTest = p.zEnable && depth != nullptr;
    for (int i = 0; i < count; ++i) {
        uint32_t dr, dg, db, da;
        if constexpr (Col == kGouraud) {
            dr = Clamp255(s.r), dg = Clamp255(s.g), db = Clamp255(s.b), da = Clamp255(s.a);
            s.r += s.dr, s.g += s.dg, s.b += s.db, s.a += s.da;
        } else {
            dr = (constant >> 16) & 255, dg = (constant >> 8) & 255, db = constant & 255, da = constant >> 24;
        }
        uint32_t r, g, b, a;
        if constexpr (Tex == kNoTexture) {
            r = dr, g = dg, b = db, a = da;
        } else {
            const uint32_t t = Tex == kPoint ? FetchPoint(p, s.u, s.v) : FetchLinear(p, s.u, s.v);
            s.u += s.du, s.v += s.dv;
            r = (t >> 16) & 255, g = (t >> 8) & 255, b = t & 255, a = t >> 24;
            if constexpr (Col != kWhite) r = Mul8(r, dr), g = Mul8(g, dg), b = Mul8(b, db);
        }
        if (zTest) {
            float z = s.z;
            s.z += s.dz;
            if (!(z >= 0.0f)) z = 0.0f;
            if (z > 1.0f) z = 1.0f;
            const uint16_t z16 = static_cast<uint16_t>(z * 65535.0f + 0.5f);
            // Alpha test comes first: a rejected pixel leaves the depth buffer alone.
            if (p.alphaTest && !Compare(p.alphaFunc, a, p.alphaRef)) continue;
            if (z16 > depth[i]) continue;
            if (p.zWrite) depth[i] = z16;
        } else if (p.alphaTest && !Compare(p.alphaFunc, a, p.alphaRef)) {
            continue;
        }
        if constexpr (Blend == kOpaque) {
            dst[i] = 0xFF000000u | r << 16 | g << 8 | b;
        } else if constexpr (Blend == kAlphaOver) {
            const uint32_t d = dst[i], ia = 255 - a;
            const uint32_t orr = Div255(r * a + ((d >> 16) & 255) * ia);
            const uint32_t og = Div255(g * a + ((d >> 8) & 255) * ia);
            const uint32_t ob = Div255(b * a + (d & 255) * ia);
            dst[i] = 0xFF000000u | orr << 16 | og << 8 | ob;
        } else {
            const uint32_t d = dst[i];
            const uint32_t orr = BlendChannel(p, r, a, (d >> 16) & 255);
            const uint32_t og = BlendChannel(p, g, a, (d >> 8) & 255);
            const uint32_t ob = BlendChannel(p, b, a, d & 255);
            dst[i] = 0xFF000000u | orr << 16 | og << 8 | ob;
        }
    }
}

using SpanFunction = void (*)(const RasterPipeline&, uint32_t*, uint16_t*, int, const SpanState&, uint32_t);

template <int Tex, int Col>
constexpr SpanFunction kSpanByBlend[3] = {ShadeSpan<Tex, Col, kOpaque>, ShadeSpan<Tex, Col, kAlphaOver>,
                                          ShadeSpan<Tex, Col, kGeneric>};
template <int Tex>
constexpr const SpanFunction* kSpanByColor[3] = {kSpanByBlend<Tex, kWhite>, kSpanByBlend<Tex, kConstant>,
                                                 kSpanByBlend<Tex, kGouraud>};
constexpr const SpanFunction* const* kSpans[3] = {kSpanByColor<kNoTexture>, kSpanByColor<kPoint>,
                                                  kSpanByColor<kLinear>};

int BlendModeOf(const RasterPipeline& p) {
    if (!p.blend) return kOpaque;
    if (p.blendOp == BLENDOP_ADD && p.srcBlend == BLEND_SRCALPHA && p.destBlend == BLEND_INVSRCALPHA) return kAlphaOver;
    return kGeneric;
}

uint32_t PackColor(const RasterVertex& v) {
    auto channel = [](float c) {
        const int64_t value = c > 0 ? RoundToInt(c > 1000 ? 1000 : c) : 0;
        return static_cast<uint32_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    };
    return channel(v.a) << 24 | channel(v.r) << 16 | channel(v.g) << 8 | channel(v.b);
}

bool Finite(const RasterVertex& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.rhw);
}

// Attributes interpolated across a triangle, in the order of the planes below.
enum Attribute { kR, kG, kB, kA, kU, kV, kZ, kQ, kAttributeCount };

// ---- triangles ---------------------------------------------------------------------------------

void FillTriangle(const RasterPipeline& p, const RasterVertex* v0, const RasterVertex* v1, const RasterVertex* v2) {
    int64_t X[3], Y[3];
    const RasterVertex* v[3] = {v0, v1, v2};
    for (int i = 0; i < 3; ++i) {
        X[i] = RoundToInt(static_cast<double>(v[i]->x) * kSub);
        Y[i] = RoundToInt(static_cast<double>(v[i]->y) * kSub);
    }
    int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) return;
    if (area < 0) {  // edge functions below want clockwise order on screen
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        area = -area;
    }
    const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    const int64_t firstRow = std::max<int64_t>(p.clipTop, -FloorDiv(-minY, kSub));
    const int64_t lastRow = std::min<int64_t>(p.clipBottom - 1, FloorDiv(maxY, kSub));
    if (firstRow > lastRow || p.clipLeft >= p.clipRight) return;

    // Edge a->b keeps pixel (px, py) when dx (py - Ya) - dy (px - Xa) + bias >= 0 (positions in
    // sub-pixels); bias -1 excludes pixels on edges that are neither top nor left. Per row this is a
    // bound on px, ceil or floor of K / |A|, kept exactly as quotient and remainder.
    struct Edge {
        int kind;  // +1 left bound, -1 right bound, 0 horizontal
        int64_t q, rem, d, stepQ, stepRem;  // floor(K / d), K mod d, and the same of the row step
        int64_t k, stepK;                   // for horizontal edges
    } edges[3] = {};  // horizontal edges step only k; their quotient fields stay 0
    for (int e = 0; e < 3; ++e) {
        const int a = e, b = (e + 1) % 3;
        const int64_t dx = X[b] - X[a], dy = Y[b] - Y[a];
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        const int64_t k = dx * (firstRow * kSub - Y[a]) + dy * X[a] + (topLeft ? 0 : -1);
        const int64_t stepK = dx * kSub;
        Edge& edge = edges[e];
        const int64_t A = -dy * kSub;
        edge.kind = A > 0 ? 1 : (A < 0 ? -1 : 0);
        edge.k = k;
        edge.stepK = stepK;
        if (edge.kind != 0) {
            edge.d = A > 0 ? A : -A;
            // A > 0: px >= ceil(-K / A) = -floor(K / A); A < 0: px <= floor(K / -A).
            edge.q = FloorDiv(k, edge.d);
            edge.rem = k - edge.q * edge.d;
            edge.stepQ = FloorDiv(stepK, edge.d);
            edge.stepRem = stepK - edge.stepQ * edge.d;
        }
    }

    // Planes of the attributes over the snapped triangle, in double so that values that land on a
    // texel boundary snap to it when turned into fixed point.
    const double x0 = static_cast<double>(X[0]) / kSub, y0 = static_cast<double>(Y[0]) / kSub;
    const double ex1 = static_cast<double>(X[1] - X[0]) / kSub, ey1 = static_cast<double>(Y[1] - Y[0]) / kSub;
    const double ex2 = static_cast<double>(X[2] - X[0]) / kSub, ey2 = static_cast<double>(Y[2] - Y[0]) / kSub;
    const double det = ex1 * ey2 - ex2 * ey1;
    const bool textured = p.texels != nullptr;
    const bool perspective = !(v[0]->rhw == v[1]->rhw && v[1]->rhw == v[2]->rhw);
    double value[3][kAttributeCount];
    for (int i = 0; i < 3; ++i) {
        const RasterVertex& s = *v[i];
        const double q = perspective ? s.rhw : 1.0;
        value[i][kR] = s.r * q, value[i][kG] = s.g * q, value[i][kB] = s.b * q, value[i][kA] = s.a * q;
        value[i][kU] = textured ? static_cast<double>(s.u) * p.texWidth * q : 0;
        value[i][kV] = textured ? static_cast<double>(s.v) * p.texHeight * q : 0;
        value[i][kZ] = s.z;
        value[i][kQ] = q;
    }
    double base[kAttributeCount], ddx[kAttributeCount], ddy[kAttributeCount];
    for (int k = 0; k < kAttributeCount; ++k) {
        const double d1 = value[1][k] - value[0][k], d2 = value[2][k] - value[0][k];
        base[k] = value[0][k];
        ddx[k] = (d1 * ey2 - d2 * ey1) / det;
        ddy[k] = (d2 * ex1 - d1 * ex2) / det;
    }

    // Minification or magnification from the texel footprint of one pixel, constant over an affine
    // triangle (taken at the vertices' mean depth otherwise).
    int tex = kNoTexture;
    if (textured) {
        const double q = perspective ? (value[0][kQ] + value[1][kQ] + value[2][kQ]) / 3 : 1.0;
        const double rx = (ddx[kU] * ddx[kU] + ddx[kV] * ddx[kV]) / (q * q);
        const double ry = (ddy[kU] * ddy[kU] + ddy[kV] * ddy[kV]) / (q * q);
        const bool minified = (rx > ry ? rx : ry) > 1.0;
        tex = (minified ? p.linearMin : p.linearMag) ? kLinear : kPoint;
    }
    const uint32_t c0 = PackColor(*v[0]);
    int color = kGouraud;
    uint32_t constant = 0;
    if (!perspective && c0 == PackColor(*v[1]) && c0 == PackColor(*v[2])) {
        color = c0 == 0xFFFFFFFFu && textured ? kWhite : kConstant;
        constant = c0;
    }
    const SpanFunction affineSpan = kSpans[tex][color][BlendModeOf(p)];
    const SpanFunction pixelSpan = kSpans[tex][kGouraud][BlendModeOf(p)];

    for (int64_t row = firstRow; row <= lastRow; ++row) {
        int64_t left = p.clipLeft, right = p.clipRight - 1;
        bool empty = false;
        for (Edge& edge : edges) {
            if (edge.kind > 0) {
                if (-edge.q > left) left = -edge.q;
            } else if (edge.kind < 0) {
                if (edge.q < right) right = edge.q;
            } else if (edge.k < 0) {
                empty = true;
            }
            edge.k += edge.stepK;
            edge.q += edge.stepQ;
            edge.rem += edge.stepRem;
            if (edge.rem >= edge.d) edge.rem -= edge.d, ++edge.q;
        }
        if (empty || left > right) continue;
        uint32_t* dst = p.color + row * p.pitch + left;
        uint16_t* depth = p.depth != nullptr ? p.depth + row * p.pitch + left : nullptr;
        const double px = static_cast<double>(left) - x0, py = static_cast<double>(row) - y0;
        const int count = static_cast<int>(right - left + 1);
        if (!perspective) {
            SpanState s{};
            auto at = [&](int k) { return base[k] + ddx[k] * px + ddy[k] * py; };
            s.r = ToFixed(at(kR)), s.g = ToFixed(at(kG)), s.b = ToFixed(at(kB)), s.a = ToFixed(at(kA));
            s.dr = ToFixed(ddx[kR]), s.dg = ToFixed(ddx[kG]), s.db = ToFixed(ddx[kB]), s.da = ToFixed(ddx[kA]);
            s.u = ToFixed(at(kU)), s.v = ToFixed(at(kV)), s.du = ToFixed(ddx[kU]), s.dv = ToFixed(ddx[kV]);
            s.z = static_cast<float>(at(kZ)), s.dz = static_cast<float>(ddx[kZ]);
            affineSpan(p, dst, depth, count, s, constant);
            continue;
        }
        // Perspective-correct: every pixel divides by its own interpolated 1/w.
        for (int i = 0; i < count; ++i) {
            const double x = px + i;
            auto at = [&](int k) { return base[k] + ddx[k] * x + ddy[k] * py; };
            const double q = at(kQ);
            const double w = q != 0 ? 1.0 / q : 0.0;
            SpanState s{};
            s.r = ToFixed(at(kR) * w), s.g = ToFixed(at(kG) * w), s.b = ToFixed(at(kB) * w), s.a = ToFixed(at(kA) * w);
            s.u = ToFixed(at(kU) * w), s.v = ToFixed(at(kV) * w);
            s.z = static_cast<float>(at(kZ));
            pixelSpan(p, dst + i, depth != nullptr ? depth + i : nullptr, 1, s, 0);
        }
    }
}

// ---- one pixel of a line or a point -------------------------------------------------------------

void ShadePixel(const RasterPipeline& p, int64_t x, int64_t y, const RasterVertex& at) {
    if (x < p.clipLeft || x >= p.clipRight || y < p.clipTop || y >= p.clipBottom) return;
    SpanState s{};
    s.r = ToFixed(at.r), s.g = ToFixed(at.g), s.b = ToFixed(at.b), s.a = ToFixed(at.a);
    const bool textured = p.texels != nullptr;
    if (textured) s.u = ToFixed(static_cast<double>(at.u) * p.texWidth), s.v = ToFixed(static_cast<double>(at.v) * p.texHeight);
    s.z = at.z;
    const SpanFunction span = kSpans[textured ? (p.linearMag ? kLinear : kPoint) : kNoTexture][kGouraud][BlendModeOf(p)];
    span(p, p.color + y * p.pitch + x, p.depth != nullptr ? p.depth + y * p.pitch + x : nullptr, 1, s, 0);
}

RasterVertex Lerp(const RasterVertex& a, const RasterVertex& b, float t) {
    auto mix = [t](float x, float y) { return x + (y - x) * t; };
    return RasterVertex{mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.rhw, b.rhw), mix(a.r, b.r),
                        mix(a.g, b.g),  mix(a.b, b.b), mix(a.a, b.a), mix(a.u, b.u),     mix(a.v, b.v)};
}

// Keeps the side of a polygon where distance(vertex) >= 0 (Sutherland-Hodgman).
template <typename Distance>
int ClipPolygon(const RasterVertex* in, int count, RasterVertex* out, Distance distance) {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const RasterVertex& a = in[i];
        const RasterVertex& b = in[(i + 1) % count];
        const float da = distance(a), db = distance(b);
        if (da >= 0) out[n++] = a;
        // Measured from the kept end: from a far end, float steps near t = 1 would land the new
        // vertex far outside the plane again.
        if ((da >= 0) != (db >= 0) && n < kMaxPolygon)
            out[n++] = da >= 0 ? Lerp(a, b, da / (da - db)) : Lerp(b, a, db / (db - da));
        if (n >= kMaxPolygon) break;
    }
    return n;
}

// Clip-space vertex to the viewport: pixels, depth and 1/w.
RasterVertex Project(const RasterPipeline& p, const RasterVertex& c) {
    RasterVertex s = c;
    const float q = 1.0f / c.rhw;
    s.x = (c.x * q + 1.0f) * 0.5f * static_cast<float>(p.width);
    s.y = (1.0f - c.y * q) * 0.5f * static_cast<float>(p.height);
    s.z = c.z * q;
    s.rhw = q;
    return s;
}

// Clips to the depth range (clip space) and the guard band (pixels); the result is in pixels.
int ClipToScreen(const RasterPipeline& p, const RasterVertex* in, int count, RasterVertex* out, bool clipSpace) {
    RasterVertex a[kMaxPolygon], b[kMaxPolygon];
    for (int i = 0; i < count; ++i) {
        if (!Finite(in[i])) return 0;
        a[i] = in[i];
    }
    int n = count;
    if (clipSpace) {
        n = ClipPolygon(a, n, b, [](const RasterVertex& v) { return v.z; });
        n = ClipPolygon(b, n, a, [](const RasterVertex& v) { return v.rhw - v.z; });
        n = ClipPolygon(a, n, b, [](const RasterVertex& v) { return v.rhw - 1.0e-6f; });
        for (int i = 0; i < n; ++i)
            a[i] = Project(p, b[i]);
        for (int i = 0; i < n; ++i)
            if (!Finite(a[i])) return 0;
    }
    const float w = static_cast<float>(p.width), h = static_cast<float>(p.height);
    n = ClipPolygon(a, n, b, [](const RasterVertex& v) { return v.x + kGuard; });
    n = ClipPolygon(b, n, a, [w](const RasterVertex& v) { return w + kGuard - v.x; });
    n = ClipPolygon(a, n, b, [](const RasterVertex& v) { return v.y + kGuard; });
    n = ClipPolygon(b, n, out, [h](const RasterVertex& v) { return h + kGuard - v.y; });
    return n;
}

void LineInPixels(const RasterPipeline& p, const RasterVertex& a, const RasterVertex& b) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    if (dx == 0 && dy == 0) return;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const double from = xMajor ? a.x : a.y, to = xMajor ? b.x : b.y, span = xMajor ? dx : dy;
    const double other = xMajor ? a.y : a.x, slope = (xMajor ? dy : dx) / span;
    // The line leaves the diamond of pixel c at c + 0.5 (going up) or c - 0.5 (going down); it
    // lights every pixel it leaves, so its own last pixel stays dark.
    int64_t first, last, step;
    if (span > 0) {
        first = static_cast<int64_t>(std::floor(from - 0.5)) + 1;
        last = static_cast<int64_t>(std::floor(to - 0.5));
        step = 1;
    } else {
        first = static_cast<int64_t>(std::ceil(from + 0.5)) - 1;
        last = static_cast<int64_t>(std::ceil(to + 0.5));
        step = -1;
    }
    for (int64_t c = first; step > 0 ? c <= last : c >= last; c += step) {
        const double t = (static_cast<double>(c) - from) / span;
        const int64_t o = static_cast<int64_t>(std::floor(other + (static_cast<double>(c) - from) * slope + 0.5));
        const RasterVertex at = Lerp(a, b, static_cast<float>(t < 0 ? 0 : (t > 1 ? 1 : t)));
        if (xMajor) {
            ShadePixel(p, c, o, at);
        } else {
            ShadePixel(p, o, c, at);
        }
    }
}

void PointInPixels(const RasterPipeline& p, const RasterVertex& a) {
    ShadePixel(p, static_cast<int64_t>(std::ceil(a.x - 0.5)), static_cast<int64_t>(std::ceil(a.y - 0.5)), a);
}

}  // namespace

void RasterTriangle(const RasterPipeline& p, const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                    bool clipSpace) {
    RasterVertex poly[kMaxPolygon];
    int n = 3;
    auto inBand = [&p](const RasterVertex& v) {
        return v.x >= -kGuard && v.y >= -kGuard && v.x <= p.width + kGuard && v.y <= p.height + kGuard &&
               std::isfinite(v.z) && std::isfinite(v.rhw);
    };
    if (!clipSpace && inBand(a) && inBand(b) && inBand(c)) {
        poly[0] = a, poly[1] = b, poly[2] = c;
    } else {
        const RasterVertex in[3] = {a, b, c};
        n = ClipToScreen(p, in, 3, poly, clipSpace);
    }
    if (n < 3) return;
    // Culling by the winding on screen: clockwise has a positive area with y downward.
    double area = 0;
    for (int i = 0; i < n; ++i) {
        const RasterVertex& u = poly[i];
        const RasterVertex& w = poly[(i + 1) % n];
        area += static_cast<double>(u.x) * w.y - static_cast<double>(w.x) * u.y;
    }
    if ((p.cull == CULL_CW && area > 0) || (p.cull == CULL_CCW && area < 0)) return;
    if (p.fill == FILL_POINT) {
        for (int i = 0; i < n; ++i)
            PointInPixels(p, poly[i]);
    } else if (p.fill == FILL_WIREFRAME) {
        for (int i = 0; i < n; ++i)
            LineInPixels(p, poly[i], poly[(i + 1) % n]);
    } else {
        for (int i = 1; i + 1 < n; ++i)
            FillTriangle(p, &poly[0], &poly[i], &poly[i + 1]);
    }
}

void RasterLine(const RasterPipeline& p, const RasterVertex& a, const RasterVertex& b, bool clipSpace) {
    RasterVertex s[2] = {a, b};
    for (const RasterVertex& v : s)
        if (!Finite(v)) return;
    if (clipSpace) {
        // Clip the segment to the depth range in clip space, then map it to the viewport.
        float t0 = 0, t1 = 1;
        auto clip = [&](float d0, float d1) {
            if (d0 < 0 && d1 < 0) return false;
            if (d0 < 0) t0 = std::max(t0, d0 / (d0 - d1));
            if (d1 < 0) t1 = std::min(t1, d0 / (d0 - d1));
            return t0 <= t1;
        };
        if (!clip(a.z, b.z) || !clip(a.rhw - a.z, b.rhw - b.z) || !clip(a.rhw - 1.0e-6f, b.rhw - 1.0e-6f)) return;
        s[0] = Project(p, Lerp(a, b, t0));
        s[1] = Project(p, Lerp(a, b, t1));
        if (!Finite(s[0]) || !Finite(s[1])) return;
    }
    // Guard band, so that the stepping below stays short.
    float t0 = 0, t1 = 1;
    const float lo[2] = {-kGuard, -kGuard};
    const float hi[2] = {static_cast<float>(p.width) + kGuard, static_cast<float>(p.height) + kGuard};
    for (int axis = 0; axis < 2; ++axis) {
        const float from = axis == 0 ? s[0].x : s[0].y, to = axis == 0 ? s[1].x : s[1].y;
        for (int side = 0; side < 2; ++side) {
            const float d0 = side == 0 ? from - lo[axis] : hi[axis] - from;
            const float d1 = side == 0 ? to - lo[axis] : hi[axis] - to;
            if (d0 < 0 && d1 < 0) return;
            if (d0 < 0) t0 = std::max(t0, d0 / (d0 - d1));
            if (d1 < 0) t1 = std::min(t1, d0 / (d0 - d1));
        }
    }
    if (t0 > t1) return;
    const RasterVertex from = t0 > 0 ? Lerp(s[0], s[1], t0) : s[0];
    const RasterVertex to = t1 < 1 ? Lerp(s[0], s[1], t1) : s[1];
    LineInPixels(p, from, to);
}

void RasterPoint(const RasterPipeline& p, const RasterVertex& a, bool clipSpace) {
    if (!Finite(a)) return;
    RasterVertex s = a;
    if (clipSpace) {
        if (a.z < 0 || a.z > a.rhw || a.rhw < 1.0e-6f) return;
        s = Project(p, a);
        if (!Finite(s)) return;
    }
    if (s.x < -kGuard || s.y < -kGuard || s.x > p.width + kGuard || s.y > p.height + kGuard) return;
    PointInPixels(p, s);
}
