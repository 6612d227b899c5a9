#pragma once
// A fresh folder under the system's temporary directory, removed with everything in it at the end.

#include <filesystem>
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes `content` byte for byte to `relative` inside the folder, creating parent folders.
    void WriteFile(const std::string& relative, const std::string& content) const;
    // The file's bytes; empty when it does not exist.
    std::string ReadFile(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

// Makes `dir` the working directory for its lifetime, then returns to the previous one.
class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& dir);
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};
