#pragma once
// The steps Preprocess is made of, for the preprocessor and its tests.

#include <optional>
#include <string>
#include <vector>

inline constexpr char kDefaultIncludePath[] = "SCRIPT/SYSTEM/AUTOINCL.QSF";
inline constexpr char kTopLevelFileName[] = "Top level script (not #included)";
// Deep enough for any real include tree; stops a file that includes itself.
inline constexpr int kMaxIncludeDepth = 64;

struct DefineEntry {
    std::string name;
    std::string value;
};

// Shared by the top-level script and every file it includes, at any depth.
struct PreprocessRun {
    std::vector<DefineEntry> defines;  // in the order the directives were met
    int includeDepth = 0;
    // Once the depth limit is hit, no further file is included in this run: a file that includes
    // itself twice would otherwise branch 2^64 times.
    bool includeLimitReached = false;
};

// Reports unbalanced block comments; the text itself is not changed.
void CheckComments(const std::string& text);
// Removes the #define lines, appending each to `defines`.
std::string CollectDefines(const std::string& text, std::vector<DefineEntry>& defines);
// Replaces every #include directive by the preprocessed file on one line, followed by a space.
std::string IncludeFiles(const std::string& text, const std::string& baseDirectory, PreprocessRun& run);
std::string PreprocessIncluded(const std::string& text, const std::string& baseDirectory, PreprocessRun& run);
std::string RemoveLineBreaks(const std::string& text);
std::string ExpandLineAndFile(const std::string& text, const std::string& fileName);
// Replaces occurrences of `from` by `to`, searching again from the leftmost possible position after
// every replacement, so that text formed by a replacement and its surroundings is replaced too.
// Empty when that would never end: `from` empty or inside `to`, or a text that keeps growing.
std::optional<std::string> ReplaceAll(const std::string& text, const std::string& from,
                                      const std::string& to);
// Substitutes every define in table order, skipping (with a warning) those that would never end.
std::string ApplyDefines(std::string text, const std::vector<DefineEntry>& defines);
