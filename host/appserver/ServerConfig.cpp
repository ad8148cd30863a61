#include "ServerConfig.h"

#include "platform/os/Environment.h"
#include "platform/os/Files.h"
#include "platform/os/IniFiles.h"
#include "platform/os/Registry.h"
#include "platform/rtl/Classes.h"

namespace appserver {

namespace {

constexpr const char* kStewardKey = "Software\\TGK\\Steward";

std::string SystemCodePage() {
    const int acp = os::GetACP();
    return acp == 936 || acp == 950 ? std::to_string(acp) : "437";
}

bool IsAbsoluteFolder(const std::string& v) {
    const bool drive = v.size() >= 2 && v[1] == ':' && ((v[0] >= 'A' && v[0] <= 'Z') || (v[0] >= 'a' && v[0] <= 'z'));
    return drive || v.starts_with("/") || v.starts_with("\\\\") || v.starts_with("//");
}

}  // namespace

std::vector<std::string> ResolveWorkFolders(const std::vector<std::string>& values, const std::string& serverPath) {
    std::vector<std::string> folders;
    if (values.empty()) {
        folders.push_back(serverPath + "S_PKG/");
        return folders;
    }
    for (const std::string& value : values) {
        std::string folder;
        if (IsAbsoluteFolder(value)) {
            folder = value;
        } else if (value.starts_with("\\")) {
            folder = serverPath + value.substr(1);
        } else {
            folder = serverPath + value;
        }
        folders.push_back(os::IncludeTrailingPathDelimiter(folder));
    }
    return folders;
}

ServerConfig ReadServerConfig() {
    ServerConfig c;
    std::string root;
    try {
        os::TRegistry reg;
        reg.RootKey = os::HKEY_LOCAL_MACHINE;
        if (!reg.OpenKeyReadOnly(kStewardKey)) {
            throw EServerConfig("The registry has no key HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward");
        }
        root = reg.ReadString("ServerPath");
    } catch (const os::ERegistryException& e) {
        throw EServerConfig(std::string("The registry value ServerPath cannot be read: ") + e.what());
    }
    if (rtl::Trim(root).empty()) {
        throw EServerConfig("The registry value ServerPath under HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward is missing");
    }
    c.ServerPath = os::IncludeTrailingPathDelimiter(root);
    c.IniFileName = c.ServerPath + "StewardS.ini";
    if (!os::FileExists(c.IniFileName)) throw EServerConfig("The server configuration " + c.IniFileName + " does not exist");

    const os::TIniFile ini(c.IniFileName);
    c.DBType = ini.ReadString("DBE Setting", "MainDBType", "MSSQL");
    c.DBKind = rtl::SameText(c.DBType, "ORACLE") ? 1 : (rtl::SameText(c.DBType, "DB2") ? 2 : 0);
    const std::string dbName = rtl::Trim(ini.ReadString("DBE Setting", "MainDBName", ""));
    if (!dbName.empty()) c.DBName = dbName.starts_with("/") ? dbName : c.ServerPath + dbName;
    c.UICodePage = ini.ReadString("CodePage", "UICodePage", SystemCodePage());

    rtl::TStringList lines;
    ini.ReadSectionValues("WorkDLLPath", lines);
    std::vector<std::string> values;
    for (int i = 0; i < lines.Count(); ++i) values.push_back(lines.ValueFromIndex(i));
    c.WorkDLLPaths = ResolveWorkFolders(values, c.ServerPath);
    return c;
}

std::shared_ptr<data::SqlDatabase> OpenServerDatabase(const ServerConfig& config) {
    if (!rtl::SameText(config.DBType, "SQLITE")) {
        throw EServerConfig("The company database of " + config.IniFileName + " is of type '" + config.DBType +
                            "'; the application server reads SQLITE databases");
    }
    if (config.DBName.empty()) throw EServerConfig("MainDBName is missing from [DBE Setting] of " + config.IniFileName);
    if (!os::FileExists(config.DBName)) throw EServerConfig("The company database " + config.DBName + " does not exist");
    std::shared_ptr<data::SqlDatabase> db = data::OpenSqlite(config.DBName, false);

    // A company database made before these tables existed gets them now; the script only
    // creates what is missing.
    const data::SqlRows have = db->Query(
        "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN "
        "('CONDITION_SET', 'JOB_COUNTER', 'JOB_REQUEST', 'JOB_STATUS', 'USER_RIGHTS')");
    if (have.Rows.empty() || have.Rows[0][0].AsInt64() != 5) {
        data::SqlTransaction t(*db);
        db->ExecScript(ServerSchemaSql());
        t.Commit();
    }
    return db;
}

}  // namespace appserver
