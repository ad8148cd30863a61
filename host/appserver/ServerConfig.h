// The application server's configuration: the server folder named by the registry
// (HKEY_LOCAL_MACHINE\Software\TGK\Steward, value "ServerPath") and its "StewardS.ini".
// Read afresh by every call that needs it; nothing is written.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/data/SqlDB.h"
#include "platform/rtl/SysUtils.h"

namespace appserver {

class EServerConfig : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EServerConfig"; }
};

struct ServerConfig {
    std::string ServerPath;   // ends with "/"
    std::string IniFileName;  // ServerPath + "StewardS.ini"
    std::string DBType;       // [DBE Setting] MainDBType
    std::string DBName;       // [DBE Setting] MainDBName, resolved against ServerPath
    int DBKind = 0;           // 0 the SQL Server dialect (SQLite too), 1 Oracle, 2 DB2
    std::string UICodePage;   // [CodePage] UICodePage: "936", "950" or "437"
    std::vector<std::string> WorkDLLPaths;  // [WorkDLLPath] folders, each ending with "/"
};

// Raises EServerConfig naming what is missing: the registry value, the folder or the ini file.
ServerConfig ReadServerConfig();

// The work-library folders of a [WorkDLLPath] section ("key=folder" lines): an absolute folder
// as it is, one starting with "\" or a relative one below the server folder; no lines give the
// server folder's "S_PKG/".
std::vector<std::string> ResolveWorkFolders(const std::vector<std::string>& values, const std::string& serverPath);

// Opens the company database the configuration names (SQLite only) and makes sure the
// application server's tables exist. Raises EServerConfig or data::ESqlError.
std::shared_ptr<data::SqlDatabase> OpenServerDatabase(const ServerConfig& config);

// The application server's schema (host/appserver/schema.sql), built into the library.
const char* ServerSchemaSql();

}  // namespace appserver
