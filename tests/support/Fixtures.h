// Shared test fixtures: temporary folders, a temporary registry file, environment overrides.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kpatest {

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }  // ends with "/"
    std::string File(const std::string& name) const { return path_ + name; }
    // Writes a file (creating its folders) and answers its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// Sets an environment variable for a scope and restores the earlier value afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// A registry file in a temporary folder, in use (KPA_REGISTRY) for the scope.
class ScopedRegistry {
public:
    ScopedRegistry();
    // Replaces the file's keys: a list of (key, [(name, value)]) written as string values.
    void SetKeys(const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>& keys);
    void SetRawText(const std::string& text);
    const std::string& FilePath() const { return file_; }
    void Remove();

private:
    TempDir dir_;
    std::string file_;
    ScopedEnv env_;
};

// The launcher's registry key pointing at folders (either may be empty: the value is omitted).
void WriteStewardKey(ScopedRegistry& reg, const std::string& clientPath, const std::string& serverPath,
                     const std::optional<std::string>& profileType = std::nullopt);

std::string ReadFile(const std::string& path);
std::vector<std::string> ListFiles(const std::string& folder);

}  // namespace kpatest
