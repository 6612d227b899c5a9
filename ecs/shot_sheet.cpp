#include "ecs/shot_sheet.h"

#include <cstddef>
#include <string_view>

#include "base/console.h"
#include "base/text_file.h"

namespace {

bool IsKeyChar(char c) {
    return c >= 'A' && c <= 'z';
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

class SheetReader {
public:
    SheetReader(const std::string& text, const std::string& sheetPath) : text_(text), path_(sheetPath) {}

    ShotSheet Read() {
        ShotSheet sheet;
        const size_t n = text_.size();
        for (size_t i = 0; i < n; ++i) {
            const char c = text_[i];
            if (c == '=') {
                const std::string_view key = KeyBefore(i);
                if (key == "shot_image") {
                    i = ReadQuoted(i + 1, sheet.imagePath);
                    ResolveImagePath(sheet.imagePath);
                } else if (key == "delay_rect") {
                    i = ReadList(i + 1, sheet.delayRect);
                }
            } else if (c == '{' && KeyBefore(i) == "ShotData") {
                sheet.records.push_back({});
                i = ReadRecord(i, sheet.records.back());
            } else if (c == '"') {
                // A quoted text outside a known key is skipped whole, so its characters mean nothing.
                std::string ignored;
                i = ReadQuoted(i, ignored);
            }
        }
        return sheet;
    }

private:
    // The run of key characters nearest before `at`, whatever stands between.
    std::string_view KeyBefore(size_t at) const {
        size_t end = at;
        while (end > 0 && !IsKeyChar(text_[end - 1])) --end;
        size_t begin = end;
        while (begin > 0 && IsKeyChar(text_[begin - 1])) --begin;
        return std::string_view(text_).substr(begin, end - begin);
    }

    size_t SkipSpaces(size_t at) const {
        while (at < text_.size() && IsSpace(text_[at])) ++at;
        return at;
    }

    // The text between the next pair of double quotes; an unclosed quote takes the rest of the text.
    // Returns the position of the closing quote (or the end).
    size_t ReadQuoted(size_t from, std::string& out) const {
        const size_t open = text_.find('"', from);
        if (open == std::string::npos) return text_.size();
        size_t close = text_.find('"', open + 1);
        if (close == std::string::npos) close = text_.size();
        out.assign(text_, open + 1, close - open - 1);
        return close;
    }

    void ResolveImagePath(std::string& image) const {
        if (image.rfind("./", 0) != 0) return;
        const size_t slash = path_.rfind('/');
        image = (slash == std::string::npos ? std::string() : path_.substr(0, slash + 1)) + image.substr(2);
    }

    // An integer with an optional sign and automatic base: 0x hexadecimal, a leading 0 octal, else
    // decimal. Saturates far beyond any field's range instead of overflowing.
    int64_t ReadInteger(size_t& at) const {
        at = SkipSpaces(at);
        bool negative = false;
        if (at < text_.size() && (text_[at] == '+' || text_[at] == '-')) negative = text_[at++] == '-';
        int base = 10;
        if (at < text_.size() && text_[at] == '0') {
            base = 8;
            if (at + 1 < text_.size() && (text_[at + 1] == 'x' || text_[at + 1] == 'X')) {
                base = 16;
                at += 2;
            }
        }
        constexpr int64_t kLimit = int64_t{1} << 40;
        int64_t value = 0;
        for (; at < text_.size(); ++at) {
            const char c = text_[at];
            int digit;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            } else {
                break;
            }
            if (digit >= base) break;
            if (value < kLimit) value = value * base + digit;
        }
        return negative ? -value : value;
    }

    // A parenthesised, comma-separated list right after the '='. A list is also ended by a brace or
    // an '=' (an unclosed parenthesis never swallows the records after it). Returns the position of
    // the last character read.
    size_t ReadList(size_t from, std::vector<int32_t>& values) const {
        size_t at = SkipSpaces(from);
        if (at >= text_.size() || text_[at] != '(') return from - 1;
        ++at;
        values.push_back(Int32(ReadInteger(at)));
        for (; at < text_.size(); ++at) {
            const char c = text_[at];
            if (c == ')') return at;
            if (c == '{' || c == '}' || c == '=') return at - 1;
            if (c == ',') {
                ++at;
                values.push_back(Int32(ReadInteger(at)));
                --at;
            }
        }
        return text_.size();
    }

    static int32_t Int32(int64_t value) {
        if (value > INT32_MAX) return INT32_MAX;
        if (value < INT32_MIN) return INT32_MIN;
        return static_cast<int32_t>(value);
    }

    int64_t Clamped(int64_t value, int64_t low, int64_t high, std::string_view key) const {
        const int64_t kept = value < low ? low : value > high ? high : value;
        if (kept != value) {
            ConsolePrintf(
                "\nblueblack{Shot sheet warning:} yellowblack{Value} aquablack{%lld} yellowblack{of} "
                "aquablack{%.*s} yellowblack{in} aquablack{%s} yellowblack{is out of range, using} "
                "aquablack{%lld}",
                static_cast<long long>(value), static_cast<int>(key.size()), key.data(), path_.c_str(),
                static_cast<long long>(kept));
        }
        return kept;
    }

    // A ShotData block from its '{' to the '}' that closes it; keys of nested blocks are skipped.
    // Returns the position of that '}' (or the end of the text).
    size_t ReadRecord(size_t open, ShotSheetRecord& record) const {
        int depth = 1;
        for (size_t i = open + 1; i < text_.size(); ++i) {
            const char c = text_[i];
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (--depth == 0) return i;
            } else if (c == '"') {
                std::string ignored;
                i = ReadQuoted(i, ignored);
            } else if (c == '=' && depth == 1) {
                i = ReadField(i, KeyBefore(i), record);
            }
        }
        return text_.size();
    }

    size_t ReadField(size_t equals, std::string_view key, ShotSheetRecord& record) const {
        size_t at = equals + 1;
        if (key == "id") {
            record.id = static_cast<uint16_t>(Clamped(ReadInteger(at), 0, 65535, key));
            return at - 1;
        }
        if (key == "angular_velocity") {
            record.angularVelocity = static_cast<int8_t>(Clamped(ReadInteger(at), -128, 127, key));
            return at - 1;
        }
        if (key == "collision") {
            record.collision = static_cast<uint8_t>(Clamped(ReadInteger(at), 0, 255, key));
            return at - 1;
        }
        if (key == "fixed_angle") {
            at = SkipSpaces(at);
            size_t end = at;
            while (end < text_.size() && IsKeyChar(text_[end])) ++end;
            record.fixedAngle = std::string_view(text_).substr(at, end - at) == "true" ? 1 : 0;
            return end - 1;
        }
        if (key == "rect" || key == "delay_color") {
            std::vector<int32_t> values;
            const size_t last = ReadList(at, values);
            if (key == "rect") {
                for (size_t k = 0; k < values.size() && k < 4; ++k) record.rect[k] = values[k];
            } else {
                for (size_t k = 0; k < values.size() && k < 3; ++k)
                    record.delayColor[k] = static_cast<uint8_t>(Clamped(values[k], 0, 255, key));
            }
            return last;
        }
        return equals;
    }

    const std::string& text_;
    const std::string& path_;
};

}  // namespace

ShotSheet ParseShotSheet(const std::string& text, const std::string& sheetPath) {
    return SheetReader(text, sheetPath).Read();
}

ShotSheet LoadShotSheet(const std::string& path) {
    std::string text;
    if (!LoadTextFile(path, text)) {
        ConsolePrintf(
            "\nredblack{LoadSHT error:} yellowblack{Could not load SHT file:} aquablack{%s} "
            "yellowblack{(IfStream failure)}",
            path.c_str());
        return {};
    }
    return ParseShotSheet(text, path);
}
