// A read-only registry kept in a text file in the standard ".reg" export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\TGK\Steward]
//   "ClientPath"="/opt/kpa/"
//   "Count"=dword:0000000a
//
// The file is named by the environment variable KPA_REGISTRY, or else /etc/kpa/registry.reg.
// It may be UTF-8 (with or without a byte-order mark) or UTF-16LE with its mark, as the
// system's registry editor writes it. Key and value names compare without regard to case.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/SysUtils.h"

namespace os {

enum class HKEY { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };
inline constexpr HKEY HKEY_CLASSES_ROOT = HKEY::ClassesRoot;
inline constexpr HKEY HKEY_CURRENT_USER = HKEY::CurrentUser;
inline constexpr HKEY HKEY_LOCAL_MACHINE = HKEY::LocalMachine;
inline constexpr HKEY HKEY_USERS = HKEY::Users;
inline constexpr HKEY HKEY_CURRENT_CONFIG = HKEY::CurrentConfig;

class ERegistryException : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "ERegistryException"; }
};

enum class RegDataType { Unknown, String, ExpandString, Integer, Binary };

// The registry file in use.
std::string RegistryFilePath();

struct RegistryData;  // a parsed file

class TRegistry {
public:
    TRegistry();
    ~TRegistry();

    HKEY RootKey = HKEY_CURRENT_USER;

    // Opens a key below RootKey ("Software\TGK\Steward"); false when it does not exist.
    bool OpenKeyReadOnly(std::string_view key);
    // The file is read-only to the system: a key that does not exist is never created.
    bool OpenKey(std::string_view key, bool canCreate);
    void CloseKey();
    const std::string& CurrentPath() const { return currentPath_; }

    bool KeyExists(std::string_view key);
    bool ValueExists(std::string_view name) const;
    RegDataType GetDataType(std::string_view name) const;
    // Empty for a missing value; raises ERegistryException for a value that is not text.
    std::string ReadString(std::string_view name) const;
    // Raises ERegistryException for a missing value or one that is not an integer.
    int ReadInteger(std::string_view name) const;
    std::vector<std::string> GetValueNames() const;
    std::vector<std::string> GetKeyNames() const;

private:
    std::shared_ptr<const RegistryData> data_;
    std::string currentKey_;   // full key, folded to upper case; empty when none is open
    std::string currentFull_;  // the same as written, with its root
    std::string currentPath_;
};

// Parses ".reg" text (already decoded to UTF-8); exposed for tests and tools.
std::shared_ptr<const RegistryData> ParseRegistryText(std::string_view text);

}  // namespace os
