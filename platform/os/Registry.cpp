#include "Registry.h"

#include <sys/stat.h>

#include <map>
#include <mutex>

#include "Environment.h"
#include "Files.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/Variants.h"

namespace os {

struct RegistryValue {
    std::string name;  // as written
    RegDataType type = RegDataType::Unknown;
    std::string text;
    uint32_t number = 0;
};

struct RegistryKey {
    std::string path;  // as written, without the root
    std::map<std::string, RegistryValue> values;  // by upper-cased name
};

struct RegistryData {
    std::map<std::string, RegistryKey> keys;  // by upper-cased "ROOT\PATH"
};

namespace {

const char* RootName(HKEY root) {
    switch (root) {
        case HKEY::ClassesRoot: return "HKEY_CLASSES_ROOT";
        case HKEY::CurrentUser: return "HKEY_CURRENT_USER";
        case HKEY::LocalMachine: return "HKEY_LOCAL_MACHINE";
        case HKEY::Users: return "HKEY_USERS";
        case HKEY::CurrentConfig: return "HKEY_CURRENT_CONFIG";
    }
    return "";
}

std::string Fold(std::string_view s) { return rtl::AnsiUpperCase(s); }

// "a\\b\" -> "a\b": no empty parts, no leading or trailing separators.
std::string NormalizeKeyPath(std::string_view key) {
    std::string out;
    size_t i = 0;
    while (i < key.size()) {
        while (i < key.size() && key[i] == '\\') ++i;
        size_t e = i;
        while (e < key.size() && key[e] != '\\') ++e;
        if (e > i) {
            if (!out.empty()) out.push_back('\\');
            out.append(key.substr(i, e - i));
        }
        i = e;
    }
    return out;
}

std::string ExpandRoot(std::string_view full) {
    const std::string path = NormalizeKeyPath(full);
    const size_t p = path.find('\\');
    const std::string head = Fold(path.substr(0, p));
    const std::string rest = p == std::string::npos ? std::string() : path.substr(p);
    static const std::pair<const char*, const char*> shortNames[] = {
        {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"}, {"HKCR", "HKEY_CLASSES_ROOT"},
        {"HKU", "HKEY_USERS"},          {"HKCC", "HKEY_CURRENT_CONFIG"}};
    for (const auto& [s, l] : shortNames) {
        if (head == s) return l + rest;
    }
    return head + rest;
}

// Reads a quoted string starting at s[i] == '"'; i ends past the closing quote.
bool ReadQuoted(std::string_view s, size_t& i, std::string& out) {
    if (i >= s.size() || s[i] != '"') return false;
    ++i;
    out.clear();
    while (i < s.size()) {
        const char c = s[i++];
        if (c == '\\' && i < s.size()) {
            out.push_back(s[i++]);
        } else if (c == '"') {
            return true;
        } else {
            out.push_back(c);
        }
    }
    return false;
}

std::string HexBytes(std::string_view s) {
    std::string bytes;
    int nibbles = 0;
    unsigned v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else {
            if (nibbles) bytes.push_back(static_cast<char>(v));
            nibbles = 0, v = 0;
            continue;
        }
        v = v * 16 + static_cast<unsigned>(d);
        if (++nibbles == 2) {
            bytes.push_back(static_cast<char>(v));
            nibbles = 0, v = 0;
        }
    }
    if (nibbles) bytes.push_back(static_cast<char>(v));
    return bytes;
}

std::string DecodeFileText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return rtl::WideToUtf8Lenient(rtl::DecodeCodePage(std::string_view(bytes).substr(2), 1200));
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    return bytes;
}

struct CacheEntry {
    std::string path;
    struct timespec mtime {};
    off_t size = -1;
    ino_t inode = 0;
    std::shared_ptr<const RegistryData> data;
};

// The file is parsed again whenever it changes, so a change is seen by the next reader.
std::shared_ptr<const RegistryData> LoadRegistry() {
    static std::mutex mutex;
    static CacheEntry cache;
    const std::string path = RegistryFilePath();
    struct stat st {};
    std::lock_guard lock(mutex);
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        cache = CacheEntry{};
        return std::make_shared<RegistryData>();
    }
    if (cache.data && cache.path == path && cache.size == st.st_size && cache.inode == st.st_ino &&
        cache.mtime.tv_sec == st.st_mtim.tv_sec && cache.mtime.tv_nsec == st.st_mtim.tv_nsec) {
        return cache.data;
    }
    std::shared_ptr<const RegistryData> data;
    try {
        data = ParseRegistryText(DecodeFileText(ReadFileBytes(path)));
    } catch (const rtl::Exception&) {
        data = std::make_shared<RegistryData>();
    }
    cache = CacheEntry{path, st.st_mtim, st.st_size, st.st_ino, data};
    return data;
}

}  // namespace

std::string RegistryFilePath() {
    const std::string env = GetEnv("KPA_REGISTRY");
    return env.empty() ? std::string("/etc/kpa/registry.reg") : env;
}

std::shared_ptr<const RegistryData> ParseRegistryText(std::string_view text) {
    auto data = std::make_shared<RegistryData>();
    RegistryKey* current = nullptr;
    size_t pos = 0;
    std::string pending;  // a line continued with a trailing backslash
    while (pos <= text.size()) {
        size_t e = text.find('\n', pos);
        if (e == std::string_view::npos) e = text.size();
        std::string line(text.substr(pos, e - pos));
        pos = e + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!pending.empty()) {
            line = pending + rtl::TrimLeft(line);
            pending.clear();
        }
        const std::string t = rtl::Trim(line);
        if (!t.empty() && t.back() == '\\' && t.find("=hex") != std::string::npos) {
            pending = t.substr(0, t.size() - 1);
            continue;
        }
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            const size_t close = t.rfind(']');
            current = nullptr;
            if (close == std::string::npos || t.size() < 3 || t[1] == '-') continue;  // deletions are not ours
            const std::string full = ExpandRoot(std::string_view(t).substr(1, close - 1));
            RegistryKey& key = data->keys[Fold(full)];
            key.path = full;
            current = &key;
            // Parent keys exist too.
            for (size_t p = full.rfind('\\'); p != std::string::npos; p = full.rfind('\\', p - 1)) {
                const std::string parent = full.substr(0, p);
                RegistryKey& k = data->keys[Fold(parent)];
                if (k.path.empty()) k.path = parent;
                if (p == 0) break;
            }
            continue;
        }
        if (!current) continue;
        size_t i = 0;
        std::string name;
        if (t[0] == '@') {
            i = 1;
        } else if (!ReadQuoted(t, i, name)) {
            continue;
        }
        while (i < t.size() && t[i] == ' ') ++i;
        if (i >= t.size() || t[i] != '=') continue;
        ++i;
        while (i < t.size() && t[i] == ' ') ++i;
        const std::string_view rest = std::string_view(t).substr(i);
        RegistryValue value;
        value.name = name;
        if (!rest.empty() && rest[0] == '"') {
            size_t k = 0;
            if (!ReadQuoted(rest, k, value.text)) continue;
            value.type = RegDataType::String;
        } else if (rtl::StartsText("dword:", rest)) {
            int64_t n;
            if (!rtl::TryStrToInt64("$" + std::string(rest.substr(6)), n) || n < 0 || n > 0xFFFFFFFFLL) continue;
            value.type = RegDataType::Integer;
            value.number = static_cast<uint32_t>(n);
        } else if (rtl::StartsText("hex(2):", rest)) {
            std::string bytes = HexBytes(rest.substr(7));
            std::u16string w = rtl::DecodeCodePage(bytes, 1200);
            while (!w.empty() && w.back() == u'\0') w.pop_back();
            value.type = RegDataType::ExpandString;
            value.text = rtl::WideToUtf8Lenient(w);
        } else if (rtl::StartsText("hex", rest)) {
            const size_t colon = rest.find(':');
            value.type = RegDataType::Binary;
            value.text = HexBytes(colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1));
        } else {
            continue;  // "-" deletes a value in an import; anything else is not a value
        }
        current->values[Fold(name)] = std::move(value);
    }
    return data;
}

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

namespace {
std::string FullKey(HKEY root, const std::string& current, std::string_view key) {
    const std::string rel = NormalizeKeyPath(key);
    // A key starting with "\" is taken from the root; otherwise from the open key, if any.
    if (!key.empty() && key[0] == '\\') return std::string(RootName(root)) + (rel.empty() ? "" : "\\" + rel);
    if (!current.empty()) return current + (rel.empty() ? "" : "\\" + rel);
    return std::string(RootName(root)) + (rel.empty() ? "" : "\\" + rel);
}
}  // namespace

bool TRegistry::OpenKeyReadOnly(std::string_view key) { return OpenKey(key, false); }

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
    const std::string full = FullKey(RootKey, currentFull_, key);
    data_ = LoadRegistry();
    const std::string folded = Fold(full);
    if (!data_->keys.count(folded)) return false;  // the file is never written, so nothing is created
    currentKey_ = folded;
    currentFull_ = full;
    const size_t rootEnd = full.find('\\');
    currentPath_ = rootEnd == std::string::npos ? std::string() : full.substr(rootEnd + 1);
    return true;
}

void TRegistry::CloseKey() {
    currentKey_.clear();
    currentFull_.clear();
    currentPath_.clear();
}

bool TRegistry::KeyExists(std::string_view key) {
    const std::string full = FullKey(RootKey, currentFull_, key);
    if (!data_) data_ = LoadRegistry();
    return data_->keys.count(Fold(full)) > 0;
}

namespace {
const RegistryValue* FindValue(const std::shared_ptr<const RegistryData>& data, const std::string& key,
                               std::string_view name) {
    if (!data || key.empty()) return nullptr;
    auto k = data->keys.find(key);
    if (k == data->keys.end()) return nullptr;
    auto v = k->second.values.find(Fold(name));
    return v == k->second.values.end() ? nullptr : &v->second;
}
}  // namespace

bool TRegistry::ValueExists(std::string_view name) const { return FindValue(data_, currentKey_, name) != nullptr; }

RegDataType TRegistry::GetDataType(std::string_view name) const {
    const RegistryValue* v = FindValue(data_, currentKey_, name);
    return v ? v->type : RegDataType::Unknown;
}

std::string TRegistry::ReadString(std::string_view name) const {
    const RegistryValue* v = FindValue(data_, currentKey_, name);
    if (!v) return {};
    if (v->type != RegDataType::String && v->type != RegDataType::ExpandString) {
        throw ERegistryException("Invalid data type for '" + std::string(name) + "'");
    }
    return v->text;
}

int TRegistry::ReadInteger(std::string_view name) const {
    const RegistryValue* v = FindValue(data_, currentKey_, name);
    if (!v || v->type != RegDataType::Integer) throw ERegistryException("Invalid data type for '" + std::string(name) + "'");
    return static_cast<int>(v->number);
}

std::vector<std::string> TRegistry::GetValueNames() const {
    std::vector<std::string> names;
    if (!data_ || currentKey_.empty()) return names;
    for (const auto& [folded, v] : data_->keys.at(currentKey_).values) names.push_back(v.name);
    return names;
}

std::vector<std::string> TRegistry::GetKeyNames() const {
    std::vector<std::string> names;
    if (!data_ || currentKey_.empty()) return names;
    const std::string prefix = currentKey_ + "\\";
    for (const auto& [folded, k] : data_->keys) {
        if (folded.size() > prefix.size() && folded.compare(0, prefix.size(), prefix) == 0 &&
            folded.find('\\', prefix.size()) == std::string::npos) {
            names.push_back(k.path.substr(k.path.rfind('\\') + 1));
        }
    }
    return names;
}

}  // namespace os
