#include "ManagerConfig.h"

#include <cstdio>

#include "platform/com/ComObj.h"
#include "platform/os/Clock.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"
#include "platform/os/IniFiles.h"
#include "platform/os/Registry.h"

namespace manager {

namespace {

constexpr const char* kStewardKey = "Software\\TGK\\Steward";

// Reads one value of the launcher's key; empty when the key or value is missing.
std::string StewardValue(const char* name) {
    try {
        os::TRegistry reg;
        reg.RootKey = os::HKEY_LOCAL_MACHINE;
        if (!reg.OpenKeyReadOnly(kStewardKey)) return {};
        return rtl::Trim(reg.ReadString(name));
    } catch (const std::exception&) {
        return {};
    }
}

std::string Resolve(const std::string& value, const std::string& base) {
    return value.starts_with("/") ? value : base + value;
}

}  // namespace

ServerSettings ReadServerSettings() {
    ServerSettings s;
    const std::string root = StewardValue("ServerPath");
    if (root.empty()) {
        throw com::EOleException(
            "The registry has no ServerPath under HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward: the company database "
            "cannot be found");
    }
    s.serverPath = os::IncludeTrailingPathDelimiter(root);
    s.iniFile = s.serverPath + "StewardS.ini";
    if (!os::FileExists(s.iniFile)) throw com::EOleException("The server configuration " + s.iniFile + " does not exist");
    const os::TIniFile ini(s.iniFile);
    s.dbType = rtl::Trim(ini.ReadString("DBE Setting", "MainDBType", "MSSQL"));
    const std::string name = rtl::Trim(ini.ReadString("DBE Setting", "MainDBName", ""));
    if (!name.empty()) s.dbPath = Resolve(name, s.serverPath);
    const std::string files = rtl::Trim(ini.ReadString("File Service", "Folder", ""));
    s.fileFolder = os::IncludeTrailingPathDelimiter(files.empty() ? s.serverPath + "Update" : Resolve(files, s.serverPath));
    return s;
}

std::shared_ptr<data::SqlDatabase> OpenCompanyDatabase(const ServerSettings& settings) {
    if (!rtl::SameText(settings.dbType, "SQLITE")) {
        throw com::EOleException("The company database of " + settings.iniFile + " is of type '" + settings.dbType +
                                 "'; the manager serves SQLITE databases (MainDBType=SQLITE)");
    }
    if (settings.dbPath.empty()) {
        throw com::EOleException("MainDBName is missing from [DBE Setting] of " + settings.iniFile);
    }
    try {
        return data::OpenSqlite(settings.dbPath);
    } catch (const data::ESqlError& e) {
        throw com::EOleException(e.Message());
    }
}

std::string ConnectionString(const std::string& dbPath) {
    std::string source = dbPath;
    if (source.find_first_of(";\"'") != std::string::npos) {
        source = "\"" + rtl::StringReplaceAll(source, "\"", "\"\"") + "\"";
    }
    return "Provider=SQLite;Data Source=" + source;
}

bool WriteManagerLog(const std::string& text) {
    try {
        std::string base = StewardValue("ClientPath");
        if (base.empty()) base = StewardValue("ServerPath");
        if (base.empty()) base = os::GetExecutableFolder();
        const std::string folder = os::PathJoin(base, "Log");
        if (!os::ForceDirectories(folder)) return false;
        const rtl::TDateTime now = os::Now();
        const rtl::DateParts d = rtl::DecodeDate(now);
        const rtl::TimeParts t = rtl::DecodeTime(now);
        char day[64], stamp[128];
        std::snprintf(day, sizeof day, "%04d%02d%02d", d.year, d.month, d.day);
        std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d:%02d:%03d", d.year, d.month, d.day, t.hour, t.minute,
                      t.second, t.msec);
        const std::string file = os::PathJoin(folder, std::string("Alert_Manager_") + day + ".log");
        return os::AppendFileBytes(file, "[" + std::string(stamp) + "] " + text + "\n");
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace manager
