#pragma once
// Directory listings for scripts: plain names, the same order on every run and platform.

#include <optional>
#include <string>
#include <vector>

enum class DirectoryEntryKind { Files, Directories };

// Names (without directory part) of the entries of `directory` of the given kind, sorted by their
// bytes. "." and ".." are never listed. Backslashes count as separators. An empty result is an empty
// list; a directory that cannot be opened gives nothing.
std::optional<std::vector<std::string>> ListDirectory(const std::string& directory, DirectoryEntryKind kind);
