#include "host/directory_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::optional<std::vector<std::string>> ListDirectory(const std::string& directory, DirectoryEntryKind kind) {
    std::string path = directory;
    // Scripts written on Windows may separate folders with backslashes.
    if constexpr (fs::path::preferred_separator == '/') std::replace(path.begin(), path.end(), '\\', '/');
    // The directory text is taken as a folder even without a trailing separator; an empty text
    // therefore names the root, as the engine always did.
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '/';

    std::error_code error;
    fs::directory_iterator it(fs::path(path), error);
    if (error) return std::nullopt;

    std::vector<std::string> names;
    // A listing that breaks off part way keeps what was read.
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name == "." || name == "..") continue;
        std::error_code typeError;
        const bool isDirectory = it->is_directory(typeError);
        if (isDirectory == (kind == DirectoryEntryKind::Directories)) names.push_back(std::move(name));
    }
    // std::string compares as unsigned bytes: the order does not depend on the platform or locale.
    std::sort(names.begin(), names.end());
    return names;
}
