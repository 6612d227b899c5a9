#include "host/core_library.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/console.h"
#include "host/directory_listing.h"
#include "host/random.h"
#include "script/machine.h"
#include "script/text_narrow.h"

namespace {

// Every degree and radian factor uses the single-precision pi, as scripts have always seen it.
constexpr double kPiF = static_cast<double>(3.1415927f);

double DegreesToRadians(double degrees) {
    return degrees * kPiF / 180.0;
}
double RadiansToDegrees(double radians) {
    return radians * 180.0 / kPiF;
}

Value Real(ScriptMachine& machine, double real) {
    return NewReal(*machine.types, real);
}

Value AsciiString(ScriptMachine& machine, const char* text) {
    return NewLatin1String(*machine.types, text);
}

std::string NarrowText(const Value& value) {
    return TextToNarrow(ValueToText(value));
}

// Toward zero into 32 bits. Out of range saturates and NaN gives 0, where the hardware conversion
// would give one fixed garbage value for all of them.
int32_t TruncateToInt32(double real) {
    if (std::isnan(real)) return 0;
    if (real >= 2147483647.0) return INT32_MAX;
    if (real <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(real);
}

// The whole part of `real` as the 64-bit integer conversion keeps it: the sign stays (an unsigned
// conversion of a negative number is undefined), magnitudes past 2^64 - 1 saturate, NaN gives 0.
double WholePartFor64Bits(double real) {
    if (std::isnan(real)) return 0.0;
    constexpr double kLimit = 18446744073709551615.0;  // rounds to 2^64, as the conversion back does
    const double whole = std::trunc(real);
    if (whole > kLimit) return kLimit;
    if (whole < -kLimit) return -kLimit;
    return whole + 0.0;  // -0 prints as 0
}

Value RealToWholeText(ScriptMachine& machine, const Value& real) {
    char text[48];  // "%f" of at most 2^64: 20 digits, sign, point and six decimals
    std::snprintf(text, sizeof text, "%f", WholePartFor64Bits(ValueToReal(real)));
    return AsciiString(machine, text);
}

// The low 32 bits of the integer toward zero, exact for every finite real; NaN and infinities give 0.
uint32_t LowBits32(double real) {
    if (!std::isfinite(real)) return 0;
    double low = std::fmod(std::trunc(real), 4294967296.0);
    if (low < 0) low += 4294967296.0;
    return static_cast<uint32_t>(low);
}

// Leading blanks, an optional sign, then decimal digits up to the first other character; 0 when
// there are none. Saturates to the 32-bit range instead of overflowing.
int32_t ParseInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t{INT32_MAX} + 1) magnitude = int64_t{INT32_MAX} + 1;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

Value ListDirectoryForScript(ScriptMachine& machine, const Value& directory, DirectoryEntryKind kind) {
    const std::string path = NarrowText(directory);
    auto names = ListDirectory(path, kind);
    if (!names) {
        ConsolePrintf("\nblueblack{Filesystem warning:} yellowblack{Could not open directory} aquablack{%s}",
                      path.c_str());
        return {};
    }
    TypeTable& types = *machine.types;
    Value result = NewArray(types.ArrayOf(types.String()), static_cast<uint32_t>(names->size()));
    for (const std::string& name : *names)
        result.Body()->elements.Append(NewString(types, NarrowToText(name)));
    return result;
}

}  // namespace

Value CorePrint(ScriptMachine&, int32_t, Value* arguments) {
    std::string line = NarrowText(arguments[0]);
    line.push_back('\n');
    WriteOutput(line.data(), line.size());
    return {};
}

Value CoreMin(ScriptMachine& machine, int32_t, Value* arguments) {
    const double first = ValueToReal(arguments[0]);
    const double second = ValueToReal(arguments[1]);
    return Real(machine, second < first ? second : first);
}

Value CoreMax(ScriptMachine& machine, int32_t, Value* arguments) {
    const double first = ValueToReal(arguments[0]);
    const double second = ValueToReal(arguments[1]);
    return Real(machine, second > first ? second : first);
}

double CoreCosOf(double x) {
    return std::cos(DegreesToRadians(x));
}

Value CoreCos(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, CoreCosOf(ValueToReal(arguments[0])));
}

double CoreSinOf(double x) {
    return std::sin(DegreesToRadians(x));
}

Value CoreSin(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, CoreSinOf(ValueToReal(arguments[0])));
}

double CoreTanOf(double x) {
    return std::tan(DegreesToRadians(x));
}

Value CoreTan(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, CoreTanOf(ValueToReal(arguments[0])));
}

double CoreAcosOf(double x) {
    return RadiansToDegrees(std::acos(x));
}

Value CoreAcos(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, CoreAcosOf(ValueToReal(arguments[0])));
}

double CoreAsinOf(double x) {
    return RadiansToDegrees(std::asin(x));
}

Value CoreAsin(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, CoreAsinOf(ValueToReal(arguments[0])));
}

double CoreAtanOf(double x) {
    return RadiansToDegrees(std::atan(x));
}

Value CoreAtan(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, CoreAtanOf(ValueToReal(arguments[0])));
}

Value CoreAtan2(ScriptMachine& machine, int32_t, Value* arguments) {
    const double y = ValueToReal(arguments[0]);
    const double x = ValueToReal(arguments[1]);
    return Real(machine, RadiansToDegrees(std::atan2(y, x)));
}

Value CoreSrand(ScriptMachine&, int32_t, Value* arguments) {
    SeedRandom(LowBits32(ValueToReal(arguments[0])));
    return {};
}

Value CoreRand(ScriptMachine& machine, int32_t, Value* arguments) {
    const double minimum = ValueToReal(arguments[0]);
    const double maximum = ValueToReal(arguments[1]);
    // The number is drawn even when unused, so one call always advances the sequence by one.
    const uint32_t drawn = NextRandom();
    const double span = std::round((32767.0 < maximum ? 32767.0 : maximum) - minimum);
    // An empty or reversed range (or NaN) would divide by zero or less: it yields the minimum.
    if (!(span >= 1.0)) return Real(machine, minimum);
    return Real(machine, minimum + std::fmod(static_cast<double>(drawn), span));
}

double CoreToRadianOf(double x) {
    return DegreesToRadians(x);
}

Value CoreToRadian(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, CoreToRadianOf(ValueToReal(arguments[0])));
}

double CoreToDegreeOf(double x) {
    return RadiansToDegrees(x);
}

Value CoreToDegree(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, CoreToDegreeOf(ValueToReal(arguments[0])));
}

Value CoreToString(ScriptMachine& machine, int32_t, Value* arguments) {
    return NewString(*machine.types, ValueToText(arguments[0]));
}

Value CoreItoa(ScriptMachine& machine, int32_t, Value* arguments) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(TruncateToInt32(ValueToReal(arguments[0]))));
    return AsciiString(machine, text);
}

Value CoreRtoa(ScriptMachine& machine, int32_t, Value* arguments) {
    return RealToWholeText(machine, arguments[0]);
}

Value CoreRtos(ScriptMachine& machine, int32_t, Value* arguments) {
    return RealToWholeText(machine, arguments[1]);
}

Value CoreAtoi(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, ParseInteger(NarrowText(arguments[0])));
}

Value CoreAtor(ScriptMachine& machine, int32_t, Value* arguments) {
    return Real(machine, std::strtod(NarrowText(arguments[0]).c_str(), nullptr));
}

Value CoreTrimString(ScriptMachine& machine, int32_t, Value* arguments) {
    std::u16string text = ValueToText(arguments[0]);
    std::erase(text, u' ');
    return NewString(*machine.types, text);
}

Value CoreGetFilePathList(ScriptMachine& machine, int32_t, Value* arguments) {
    return ListDirectoryForScript(machine, arguments[0], DirectoryEntryKind::Files);
}

Value CoreGetDirectoryList(ScriptMachine& machine, int32_t, Value* arguments) {
    return ListDirectoryForScript(machine, arguments[0], DirectoryEntryKind::Directories);
}
