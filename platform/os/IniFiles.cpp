#include "IniFiles.h"

#include "Environment.h"
#include "Files.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/SysUtils.h"

namespace os {

namespace {

// Our files are UTF-8; a file from a system that wrote its own code page is read in that one.
std::string DecodeIniText(const std::string& bytes) {
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return rtl::WideToUtf8Lenient(rtl::DecodeCodePage(std::string_view(bytes).substr(2), 1200));
    }
    if (rtl::IsValidUtf8(bytes)) return bytes;
    const int acp = GetACP();
    const int cp = rtl::IsCodePageSupported(acp) ? acp : 936;
    return rtl::WideToUtf8Lenient(rtl::DecodeCodePage(bytes, cp));
}

std::string Unquote(std::string v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    if (!FileExists(fileName_)) return;
    std::string text;
    try {
        text = DecodeIniText(ReadFileBytes(fileName_));
    } catch (const rtl::EInOutError&) {
        return;  // an unreadable file reads as an empty one
    }
    rtl::TStringList lines;
    lines.SetText(text);
    Section* current = nullptr;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = rtl::Trim(lines[i]);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            sections_.push_back(Section{rtl::Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
            current = &sections_.back();
            continue;
        }
        if (!current) continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            current->entries.emplace_back(line, std::string());
        } else {
            current->entries.emplace_back(rtl::Trim(line.substr(0, eq)), Unquote(rtl::Trim(line.substr(eq + 1))));
        }
    }
}

TIniFile::~TIniFile() = default;

const TIniFile::Section* TIniFile::Find(std::string_view section) const {
    for (const Section& s : sections_) {
        if (rtl::AnsiSameText(s.name, section)) return &s;
    }
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view ident, std::string_view def) const {
    if (const Section* s = Find(section)) {
        for (const auto& [k, v] : s->entries) {
            if (rtl::AnsiSameText(k, ident)) return v;
        }
    }
    return std::string(def);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view ident, int def) const {
    return rtl::StrToIntDef(ReadString(section, ident, ""), def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view ident, bool def) const {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(std::string_view section) const { return Find(section) != nullptr; }

bool TIniFile::ValueExists(std::string_view section, std::string_view ident) const {
    if (const Section* s = Find(section)) {
        for (const auto& [k, v] : s->entries) {
            if (rtl::AnsiSameText(k, ident)) return true;
        }
    }
    return false;
}

void TIniFile::ReadSections(rtl::TStringList& out) const {
    out.Clear();
    for (const Section& s : sections_) {
        if (out.IndexOf(s.name) < 0) out.Add(s.name);
    }
}

void TIniFile::ReadSection(std::string_view section, rtl::TStringList& out) const {
    out.Clear();
    if (const Section* s = Find(section)) {
        for (const auto& [k, v] : s->entries) out.Add(k);
    }
}

void TIniFile::ReadSectionValues(std::string_view section, rtl::TStringList& out) const {
    out.Clear();
    if (const Section* s = Find(section)) {
        for (const auto& [k, v] : s->entries) out.Add(k + "=" + ReadString(section, k, ""));
    }
}

}  // namespace os
