// Where the manager finds the company database and writes its alert log. Read afresh on every
// call, as the suite's configuration readers do: a changed ini takes effect at once.
#pragma once

#include <memory>
#include <string>

#include "platform/data/SqlDB.h"

namespace manager {

struct ServerSettings {
    std::string serverPath;  // registry ServerPath, ending with "/"
    std::string iniFile;     // serverPath + "StewardS.ini"
    std::string dbType;      // [DBE Setting] MainDBType
    std::string dbPath;      // [DBE Setting] MainDBName, resolved against serverPath
    std::string fileFolder;  // [File Service] Folder (newer copies of work libraries), ending with "/"
};

// Raises com::EOleException with the reason when the registry key, the ini file or its database
// settings are missing.
ServerSettings ReadServerSettings();

// Opens the company database named by the settings (only SQLITE databases are served).
std::shared_ptr<data::SqlDatabase> OpenCompanyDatabase(const ServerSettings& settings);

// "Provider=SQLite;Data Source=<path>", the path quoted when it holds ";" or a quote.
std::string ConnectionString(const std::string& dbPath);

// One line "[YYYY/MM/DD hh:nn:ss:zzz] text" in Log/Alert_Manager_<YYYYMMDD>.log below the
// launcher's folder (registry ClientPath, else ServerPath, else the program's folder). Never
// raises; answers whether the line was written.
bool WriteManagerLog(const std::string& text);

}  // namespace manager
