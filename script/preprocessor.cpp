#include "script/preprocessor.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "base/console.h"
#include "base/text_file.h"
#include "script/preprocessor_steps.h"

namespace {

// Limits of one define's replacement: past either, the replacement is running away (a rewrite such
// as "ab" -> "bba" doubles the text per "a"), not expanding a script. Replacements that do not feed
// on their own output number at most one per character of the text.
constexpr size_t kMinReplaceTextLimit = size_t{32} << 20;
constexpr size_t kReplaceGrowthFactor = 16;
constexpr size_t kMinReplaceCountLimit = 65536;

bool PairAt(const std::string& text, size_t i, char first, char second) {
    return i + 1 < text.size() && text[i] == first && text[i + 1] == second;
}

bool WordAt(const std::string& text, size_t i, std::string_view word) {
    return text.compare(i, word.size(), word) == 0;
}

size_t FindOrEnd(const std::string& text, char c, size_t from) {
    const size_t at = text.find(c, from);
    return at == std::string::npos ? text.size() : at;
}

size_t SkipSpaces(const std::string& text, size_t i) {
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    return i;
}

std::string ConvertCommentsClosing(const std::string& text, bool closeOpenLineComment) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    int depth = 0;
    bool inLineComment = false;
    size_t i = 0;
    while (i < text.size()) {
        if (PairAt(text, i, '/', '*')) ++depth;
        if (PairAt(text, i, '*', '/')) --depth;
        if (depth != 0) {
            out.push_back(text[i++]);
            continue;
        }
        if (PairAt(text, i, '/', '/') && !inLineComment) {
            inLineComment = true;
            out += "/*";
            i += 2;
            continue;
        }
        if (inLineComment && text[i] == '\n') {
            inLineComment = false;
            out += "*/";
        }
        out.push_back(text[i++]);
    }
    if (closeOpenLineComment && inLineComment) out += "*/";
    return out;
}

bool LoadIncludeFile(const std::string& path, std::string& content) {
    // Only plain files: a script naming a device or a pipe must not block or read without end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    return LoadTextFile(path, content);
}

// Handles the #include at `hash`, appending its replacement to `out`; returns where to go on.
size_t IncludeDirective(const std::string& text, size_t hash, int line, const std::string& baseDirectory,
                        PreprocessRun& run, std::string& out) {
    // The quotes must be on the directive's own line: a path never holds a line break, and taking
    // quotes from later lines would swallow the script text in between.
    const size_t lineEnd = FindOrEnd(text, '\n', hash);
    const size_t open = FindOrEnd(text, '"', hash);
    const size_t close = open < lineEnd ? FindOrEnd(text, '"', open + 1) : lineEnd;
    if (close >= lineEnd) {
        ConsolePrintf(
            "\nblueblack{Preprocessor warning:} yellowblack{Line} aquablack{%i} "
            "yellowblack{#include without a path in two quote characters, the rest of the line is ignored}",
            line);
        return lineEnd;
    }

    std::string path = text.substr(open + 1, close - open - 1);
    if (path.starts_with("./")) path = GetDirectory(baseDirectory) + path.substr(2);

    if (run.includeLimitReached || run.includeDepth >= kMaxIncludeDepth) {
        run.includeLimitReached = true;
        ConsolePrintf(
            "\nblueblack{Preprocessor warning:} yellowblack{Line} aquablack{%i} "
            "yellowblack{Could not #include} aquablack{%s} "
            "yellowblack{(include depth limit of} aquablack{%i} yellowblack{reached)}",
            line, path.c_str(), kMaxIncludeDepth);
        out.push_back(' ');
        return close + 1;
    }

    std::string content;
    if (!LoadIncludeFile(path, content)) {
        ConsolePrintf(
            "\nblueblack{Preprocessor warning:} yellowblack{Line} aquablack{%i} "
            "yellowblack{Could not #include} aquablack{%s} yellowblack{(IfStream failure)}",
            line, path.c_str());
    }
    content = ExpandLineAndFile(content, path);
    ++run.includeDepth;
    content = PreprocessIncluded(content, GetDirectory(path), run);
    --run.includeDepth;
    out += content;
    out.push_back(' ');
    return close + 1;
}

}  // namespace

std::string GetDirectory(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) return std::string();
    std::string directory = path.substr(0, separator + 1);
    std::replace(directory.begin(), directory.end(), '\\', '/');
    return directory;
}

void CheckComments(const std::string& text) {
    int line = 1;
    int depth = 0;
    int balance = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') ++line;
        if (PairAt(text, i, '/', '*')) {
            ++depth;
            ++balance;
        }
        if (PairAt(text, i, '*', '/')) {
            --balance;
            if (--depth < 0) {
                ConsolePrintf(
                    "\nredblack{Preprocessor error:} yellowblack{Line} aquablack{%i} "
                    "yellowblack{Comment mismatch: Encountered} limeblack{*/} "
                    "yellowblack{without} limeblack{/*}",
                    line);
                depth = 0;
            }
        }
    }
    if (balance > 0) {
        ConsolePrintf(
            "\nfuchsiablack{Preprocessor diagnostics:} aquablack{%i} "
            "yellowblack{more comment(s) were opened than closed}",
            balance);
    } else if (balance < 0) {
        ConsolePrintf(
            "\nfuchsiablack{Preprocessor diagnostics:} aquablack{%i} "
            "yellowblack{more comment(s) were closed than opened}",
            -balance);
    }
}

std::string CollectDefines(const std::string& text, std::vector<DefineEntry>& defines) {
    std::string out;
    out.reserve(text.size());
    bool inLineComment = false;
    bool inBlockComment = false;
    size_t i = 0;
    while (i < text.size()) {
        if (PairAt(text, i, '/', '/')) inLineComment = true;
        if (PairAt(text, i, '/', '*')) inBlockComment = true;
        if (text[i] == '\n') inLineComment = false;
        if (PairAt(text, i, '*', '/')) inBlockComment = false;
        if (!inLineComment && !inBlockComment && text[i] == '#' && WordAt(text, i + 1, "define")) {
            const size_t nameStart = SkipSpaces(text, FindOrEnd(text, ' ', i));
            const size_t nameEnd = FindOrEnd(text, ' ', nameStart);
            const size_t valueStart = SkipSpaces(text, nameEnd);
            const size_t valueEnd = FindOrEnd(text, '\n', valueStart);
            defines.push_back({text.substr(nameStart, nameEnd - nameStart),
                               text.substr(valueStart, valueEnd - valueStart)});
            i = std::min(valueEnd + 1, text.size());
            continue;
        }
        out.push_back(text[i++]);
    }
    return out;
}

std::string ConvertComments(const std::string& text) {
    return ConvertCommentsClosing(text, false);
}

std::string IncludeFiles(const std::string& text, const std::string& baseDirectory, PreprocessRun& run) {
    std::string out;
    out.reserve(text.size());
    int line = 1;
    int depth = 0;
    bool inLineComment = false;
    size_t i = 0;
    while (i < text.size()) {
        if (PairAt(text, i, '/', '/')) inLineComment = true;
        if (PairAt(text, i, '/', '*')) ++depth;
        if (text[i] == '\n') {
            ++line;
            inLineComment = false;
        }
        if (PairAt(text, i, '*', '/')) --depth;
        if (!inLineComment && depth == 0 && text[i] == '#' && WordAt(text, i + 1, "include")) {
            i = IncludeDirective(text, i, line, baseDirectory, run, out);
            continue;
        }
        out.push_back(text[i++]);
    }
    return out;
}

std::string PreprocessIncluded(const std::string& text, const std::string& baseDirectory,
                               PreprocessRun& run) {
    CheckComments(text);
    std::string out = CollectDefines(text, run.defines);
    // The file's lines are about to be joined: a line comment on its last line, without a final line
    // break, would otherwise stay open and comment out the includer's text after the directive.
    out = ConvertCommentsClosing(out, true);
    out = IncludeFiles(out, baseDirectory, run);
    return RemoveLineBreaks(out);
}

std::string RemoveLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\n') out.push_back(c);
    }
    return out;
}

std::string ExpandLineAndFile(const std::string& text, const std::string& fileName) {
    std::string out;
    out.reserve(text.size());
    int line = 1;
    bool inLineComment = false;
    bool inBlockComment = false;
    size_t i = 0;
    while (i < text.size()) {
        if (PairAt(text, i, '/', '/')) inLineComment = true;
        if (PairAt(text, i, '/', '*')) inBlockComment = true;
        if (text[i] == '\n') {
            ++line;
            inLineComment = false;
        }
        if (PairAt(text, i, '*', '/')) inBlockComment = false;
        if (!inLineComment && !inBlockComment) {
            if (WordAt(text, i, "__LINE__")) {
                out += std::to_string(line);
                i += 8;
                continue;
            }
            if (WordAt(text, i, "__FILE__")) {
                out += fileName;
                i += 8;
                continue;
            }
        }
        out.push_back(text[i++]);
    }
    return out;
}

// Same result as replacing the first occurrence and searching again from the start of the text, in
// one pass: output is built left to right, and a replacement is pushed back onto the input so that
// it is scanned again together with what surrounds it. The output never holds a whole occurrence,
// so the leftmost occurrence is always the first one completed at its end.
std::optional<std::string> ReplaceAll(const std::string& text, const std::string& from,
                                      const std::string& to) {
    if (from.empty() || to.find(from) != std::string::npos) return std::nullopt;
    size_t match = text.find(from);
    if (match == std::string::npos) return text;

    const size_t m = from.size();
    const size_t textLimit = std::max(kMinReplaceTextLimit, text.size() * kReplaceGrowthFactor);
    const size_t countLimit = kMinReplaceCountLimit + text.size();
    std::string out;
    out.reserve(text.size() + (to.size() > m ? 64 * (to.size() - m) : 0));
    out.append(text, 0, match);
    std::string pending;    // replaced text still to be scanned, reversed: its next character is at the back
    size_t pos = match;     // next character of `text` to read
    size_t copied = match;  // how many of the last characters of `out` are text[pos - copied, pos)
    size_t replacements = 0;

    for (;;) {
        if (pending.empty() && copied + 1 >= m) {
            // The output ends in original text, so the next occurrence can be found in `text` directly.
            match = text.find(from, pos - (m - 1));
            if (match == std::string::npos) {
                out.append(text, pos, std::string::npos);
                return out;
            }
            out.append(text, pos, match + m - pos);
            pos = match + m;
        } else {
            if (pending.empty() && pos == text.size()) return out;
            char c;
            if (!pending.empty()) {
                c = pending.back();
                pending.pop_back();
                copied = 0;
            } else {
                c = text[pos++];
                ++copied;
            }
            out.push_back(c);
            if (c != from.back() || out.size() < m ||
                std::memcmp(out.data() + out.size() - m, from.data(), m) != 0) {
                continue;
            }
        }
        out.resize(out.size() - m);
        pending.append(to.rbegin(), to.rend());
        copied = 0;
        if (++replacements > countLimit || out.size() + pending.size() > textLimit) return std::nullopt;
    }
}

std::string ApplyDefines(std::string text, const std::vector<DefineEntry>& defines) {
    for (const DefineEntry& define : defines) {
        if (define.name.empty()) {
            ConsolePrintf(
                "\nblueblack{Preprocessor warning:} yellowblack{Define with an empty name and the value} "
                "aquablack{%s} yellowblack{is not replaced}",
                define.value.c_str());
            continue;
        }
        if (define.value.find(define.name) != std::string::npos) {
            ConsolePrintf(
                "\nblueblack{Preprocessor warning:} yellowblack{Define} aquablack{%s} "
                "yellowblack{contains its own name in its value and is not replaced}",
                define.name.c_str());
            continue;
        }
        std::optional<std::string> replaced = ReplaceAll(text, define.name, define.value);
        if (!replaced) {
            ConsolePrintf(
                "\nblueblack{Preprocessor warning:} yellowblack{Define} aquablack{%s} "
                "yellowblack{keeps forming its own name again and is not replaced}",
                define.name.c_str());
            continue;
        }
        text = std::move(*replaced);
    }
    return text;
}

std::string Preprocess(const std::string& text, const std::string& baseDirectory) {
    PreprocessRun run;
    CheckComments(text);
    std::string out = CollectDefines(text, run.defines);
    // On line 1 without a line break of its own: flattened, it adds no line.
    out = std::string("#include \"") + kDefaultIncludePath + "\"" + out;
    out = ConvertComments(out);
    out = IncludeFiles(out, baseDirectory, run);
    out = ApplyDefines(std::move(out), run.defines);
    return ExpandLineAndFile(out, kTopLevelFileName);
}
