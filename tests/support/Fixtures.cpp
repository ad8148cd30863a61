#include "Fixtures.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kpatest {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/kpatest-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = std::string(buf.data()) + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const std::string p = path_ + name;
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
    return p;
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
    if (const char* v = std::getenv(name_.c_str())) old_ = v;
    if (value) {
        setenv(name_.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ScopedRegistry::ScopedRegistry() : file_(dir_.Path() + "registry.reg"), env_("KPA_REGISTRY", file_) {}

void ScopedRegistry::SetRawText(const std::string& text) { dir_.Write("registry.reg", text); }

void ScopedRegistry::SetKeys(
    const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>& keys) {
    auto quote = [](const std::string& s) {
        std::string r = "\"";
        for (char c : s) {
            if (c == '\\' || c == '"') r.push_back('\\');
            r.push_back(c);
        }
        return r + "\"";
    };
    std::ostringstream out;
    out << "Windows Registry Editor Version 5.00\r\n\r\n";
    for (const auto& [key, values] : keys) {
        out << "[" << key << "]\r\n";
        for (const auto& [name, value] : values) out << quote(name) << "=" << quote(value) << "\r\n";
        out << "\r\n";
    }
    SetRawText(out.str());
}

void ScopedRegistry::Remove() { std::filesystem::remove(file_); }

void WriteStewardKey(ScopedRegistry& reg, const std::string& clientPath, const std::string& serverPath,
                     const std::optional<std::string>& profileType) {
    std::vector<std::pair<std::string, std::string>> values;
    if (!clientPath.empty()) values.emplace_back("ClientPath", clientPath);
    if (!serverPath.empty()) values.emplace_back("ServerPath", serverPath);
    if (profileType) values.emplace_back("ProfileType", *profileType);
    reg.SetKeys({{"HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward", values}});
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace kpatest
