// Ini files read the way the system's profile routines read them: sections and keys compare
// without regard to case, the first section and the first key of a name win, keys and values
// are trimmed, a value in matching quotes loses them, lines starting with ";" or "#" are
// comments. A missing file reads as an empty one. Read-only: nothing is ever written back.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Classes.h"

namespace os {

class TIniFile {
public:
    explicit TIniFile(std::string fileName);
    ~TIniFile();

    const std::string& FileName() const noexcept { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view ident, std::string_view def) const;
    // The class library's reading: decimal, or hexadecimal as "$1F" or "0x1F"; else the default.
    int ReadInteger(std::string_view section, std::string_view ident, int def) const;
    bool ReadBool(std::string_view section, std::string_view ident, bool def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view ident) const;
    void ReadSections(rtl::TStringList& out) const;
    // The key names of a section, in file order (duplicates included).
    void ReadSection(std::string_view section, rtl::TStringList& out) const;
    // "key=value" for every key of a section in file order; each value is looked up by its key,
    // so of two lines with the same key both show the first one's value.
    void ReadSectionValues(std::string_view section, rtl::TStringList& out) const;

    struct Section;

private:
    const Section* Find(std::string_view section) const;
    std::string fileName_;
    std::vector<Section> sections_;
};

struct TIniFile::Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;  // key, value, in file order
};

}  // namespace os
