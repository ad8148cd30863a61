#include "StewardINI.h"

#include <memory>

#include "KestrelGeneratorU.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"
#include "platform/os/IniFiles.h"
#include "platform/os/Registry.h"
#include "platform/rtl/SysUtils.h"

uint8_t CaptionConvertTypeOf(const std::string& uiCodePage, const std::string& sysCodePage) {
    if (uiCodePage == "950") return 2;
    if (uiCodePage == "936" && sysCodePage == "950") return 4;
    return 0;
}

uint8_t DataConvertTypeOf(const std::string& uiCodePage, const std::string& dbCodePage) {
    if (uiCodePage == "950" && dbCodePage == "936") return 2;
    if (uiCodePage == "936" && dbCodePage == "950") return 1;
    return 0;
}

namespace {

void ComputeConvertTypes(TStewardIniFields& f) {
    f.CaptionConvertType = CaptionConvertTypeOf(f.UICodePage, f.SysCodePage);
    f.DataConvertType = DataConvertTypeOf(f.UICodePage, f.DBCodePage);
}

// Steps shared by both readers: defaults, registry, root and profile folders, file choice.
// Answers the ini file to read, or nothing when reading stops (errorCode tells whether it failed).
std::unique_ptr<os::TIniFile> Locate(TStewardIniFields& f, bool client, std::string& errorCode) {
    errorCode.clear();
    f.RootPath.clear();
    f.ProfilePath.clear();
    f.ProfileType = "0";
    f.ProfileUser = "Default";
    f.UICodePage = "936";
    f.DBCodePage = "936";
    f.SysCodePage = rtl::IntToStr(os::GetACP());
    if (f.SysCodePage != "936" && f.SysCodePage != "950") f.SysCodePage = "437";
    f.UICodePage = f.SysCodePage;
    f.SupportCallBack = false;
    f.IniFileName.clear();
    ComputeConvertTypes(f);

    try {
        os::TRegistry reg;
        reg.RootKey = os::HKEY_LOCAL_MACHINE;
        if (!reg.OpenKeyReadOnly("Software\\TGK\\Steward")) {
            errorCode = "E;000015";
            return nullptr;
        }
        auto readText = [&reg](const char* name) {
            try {
                return reg.ReadString(name);
            } catch (const os::ERegistryException&) {
                return std::string();  // a value that is not text reads as missing
            }
        };
        f.RootPath = readText(client ? "ClientPath" : "ServerPath");
        f.ProfileType = readText("ProfileType");
    } catch (const std::exception&) {
        errorCode = "E;000015";
        return nullptr;
    }
    if (f.RootPath.empty()) return nullptr;
    f.RootPath = os::IncludeTrailingPathDelimiter(f.RootPath);

    if (!f.ProfileType.empty() && f.ProfileType != "0") {
        const std::string user = os::GetUserName();
        f.ProfilePath = f.RootPath + "Profile/" + user + "/";
        f.ProfileUser = user;
    } else {
        f.ProfilePath = f.RootPath;
    }
    const char* fileName = client ? "StewardC.ini" : "StewardS.ini";
    f.IniFileName = f.ProfilePath + fileName;
    if (!os::FileExists(f.IniFileName)) {
        f.ProfilePath = f.RootPath;
        f.IniFileName = f.ProfilePath + fileName;
    }
    return std::make_unique<os::TIniFile>(f.IniFileName);
}

bool ReadFlag(const os::TIniFile& ini, const char* section, const char* key) {
    const std::string v = rtl::UpperCase(ini.ReadString(section, key, "0"));
    return v == "1" || v == "Y" || v == "YES" || v == "TRUE";
}

// A decimal integer, else the default.
int ReadDecimal(const os::TIniFile& ini, const char* section, const char* key, int def) {
    int v;
    return rtl::TryStrToIntDecimal(ini.ReadString(section, key, ""), v) ? v : def;
}

bool HasDriveOrShare(const std::string& v) {
    const bool drive = v.size() >= 2 && v[1] == ':' &&
                       ((v[0] >= 'A' && v[0] <= 'Z') || (v[0] >= 'a' && v[0] <= 'z'));
    const bool share = v.starts_with("\\\\") || v.starts_with("//");
    return drive || share;
}

// Turns "key=folder" lines into folders resolved against the root folder.
void ResolveWorkDLLPaths(rtl::TStringList& paths, const std::string& rootPath, const char* defaultFolder) {
    if (paths.Count() == 0) {
        paths.Add(rootPath + defaultFolder);
        return;
    }
    for (int i = 0; i < paths.Count(); ++i) {
        const std::string value = paths.ValueFromIndex(i);
        std::string folder;
        if (HasDriveOrShare(value) || value.starts_with("/")) {
            folder = value;  // absolute already
        } else if (value.starts_with("\\")) {
            folder = rootPath + value.substr(1);
        } else {
            folder = rootPath + value;
        }
        paths.Put(i, os::IncludeTrailingPathDelimiter(folder));
    }
}

}  // namespace

TStewardIniC::TStewardIniC() {
    std::unique_ptr<os::TIniFile> ini = Locate(*this, true, ErrorCode);
    if (!ini) return;
    LangType = ini->ReadString("Client Components", "LangType", "ENG");
    ProductVersion = ini->ReadString("ProductVersion", "Version", "");
    CreateGifBeforeSendEF = ini->ReadString("UserDefine", "CreateGifBeforeSendEF", "Y");
    UICodePage = ini->ReadString("CodePage", "UICodePage", SysCodePage);
    DBCodePage = ini->ReadString("CodePage", "DBCodePage", "936");
    SupportCallBack = ReadFlag(*ini, "Server Information", "SupportCallBack");
    std::string computers = rtl::Trim(ini->ReadString("Server Information", "ComputerName", "127.0.0.1"));
    const int port = ReadDecimal(*ini, "Server Information", "ServerPort", 211);
    ini->ReadSectionValues("WorkDLLPath", WorkDLLPaths);
    AutoCheckNewMsg = ini->ReadString("TaskMessageCenter Setting", "AutoCheckNewMsg", "1");
    CheckInterval = ini->ReadString("TaskMessageCenter Setting", "CheckInterval", "1");
    PopupMsg = ini->ReadString("TaskMessageCenter Setting", "PopupMsg", "1");
    LoginCheck = ini->ReadString("TaskMessageCenter Setting", "LoginCheck", "0");
    ComputeConvertTypes(*this);

    if (!computers.empty() && computers.back() == ';') computers.pop_back();
    if (computers.empty()) {
        ErrorCode = "E;000016";
        return;
    }
    size_t start = 0;
    for (;;) {
        const size_t p = computers.find(';', start);
        Servers.push_back(TServerEntry{computers.substr(start, p == std::string::npos ? std::string::npos : p - start), port});
        if (p == std::string::npos) break;
        start = p + 1;
    }
    ResolveWorkDLLPaths(WorkDLLPaths, RootPath, "C_PKG/");
}

TStewardIniS::TStewardIniS() {
    std::unique_ptr<os::TIniFile> ini = Locate(*this, false, ErrorCode);
    if (!ini) return;
    DBSettings = rtl::VarArrayCreate(0, 3, 0, 7);
    rtl::Variant& db = DBSettings;
    const char* dbe = "DBE Setting";
    ProductVersion = ini->ReadString("ProductVersion", "Version", "");
    UICodePage = ini->ReadString("CodePage", "UICodePage", SysCodePage);
    DBCodePage = ini->ReadString("CodePage", "DBCodePage", "936");
    db(0, 1) = ini->ReadString(dbe, "MainUserName", "sa");
    db(0, 2) = DecodeSQLSa(ini->ReadString(dbe, "XXXXXX", ""));
    db(0, 0) = ini->ReadString(dbe, "MainAlias", "Corvane");
    db(0, 3) = ini->ReadString(dbe, "MainDBType", "MSSQL");
    db(0, 4) = ini->ReadString(dbe, "MainDBName", "");
    db(0, 5) = ini->ReadString(dbe, "MainServerName", "");
    const std::string systemControl = ini->ReadString(dbe, "SystemControlAddress", "");
    const std::string otherSystemControl = ini->ReadString(dbe, "OtherSystemControlAddress", "");
    db(0, 6) = ReadDecimal(*ini, dbe, "MainConnectionTimeOut", 300);
    db(0, 7) = ReadDecimal(*ini, dbe, "MainCommandTimeOut", 3000);
    db(1, 0) = ini->ReadString(dbe, "TempAlias", "CorvaneTemp");
    db(1, 1) = ini->ReadString(dbe, "TempUserName", "sa");
    db(1, 2) = DecodeSQLSa(ini->ReadString(dbe, "TempPassword", ""));
    db(1, 3) = ini->ReadString(dbe, "TempDBType", "PARADOX");
    db(1, 4) = ini->ReadString(dbe, "TempDBName", "");
    db(1, 5) = ini->ReadString(dbe, "TempDriverName", "PostgreSQL");
    db(1, 6) = ReadDecimal(*ini, dbe, "TempConnectionTimeOut", 300);
    db(1, 7) = ReadDecimal(*ini, dbe, "TempCommandTimeOut", 3000);
    db(2, 0) = rtl::Trim(ini->ReadString("DBPasswordCtrl", "ComputerName", ""));
    db(2, 1) = ReadDecimal(*ini, "DBPasswordCtrl", "ServerPort", 211);
    db(2, 2) = ReadDecimal(*ini, "DBPasswordCtrl", "ClientSocketPort", 1024);
    SupportCallBack = ReadFlag(*ini, "DBPasswordCtrl", "SupportCallBack");
    db(2, 3) = ini->ReadString(dbe, "DataBaseCodeOrder", "Chinese_Taiwan_Stroke_BIN");
    db(3, 0) = ini->ReadString(dbe, "EctAlias", "EDIDATA");
    db(3, 1) = ini->ReadString(dbe, "EctUserName", "sa");
    db(3, 2) = ini->ReadString(dbe, "EctPassword", "");
    ini->ReadSectionValues("WorkDLLPath", WorkDLLPaths);

    const std::string mainType = db(0, 3).AsString();
    DBKind = rtl::SameText(mainType, "ORACLE") ? 1 : (rtl::SameText(mainType, "DB2") ? 2 : 0);
    const std::string mainServer = db(0, 5).AsString();
    SystemControlAddress = rtl::Trim(systemControl).empty() ? mainServer : systemControl;
    OtherSystemControlAddress = rtl::Trim(otherSystemControl).empty() ? mainServer : otherSystemControl;
    ComputeConvertTypes(*this);
    ResolveWorkDLLPaths(WorkDLLPaths, RootPath, "S_PKG/");
}

void TStewardIniS::AssignWorkDLLPaths(rtl::TStringList& list) const { list.Assign(WorkDLLPaths); }
