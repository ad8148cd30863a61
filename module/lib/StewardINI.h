// Readers of the launcher's client and server ini files ("StewardC.ini", "StewardS.ini"), found
// through the registry key "Software\TGK\Steward". A reader does all its work in its
// constructor and never raises: failures show in ErrorCode and in fields left at their
// defaults. Nothing is cached and nothing is written back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Variants.h"

struct TServerEntry {
    std::string Host;
    int Port = 0;
};

// The fields both readers share, in the system's order.
struct TStewardIniFields {
    std::string RootPath;
    std::string ProfilePath;
    std::string ProfileType = "0";
    std::string ProfileUser = "Default";
    std::string UICodePage;
    std::string DBCodePage = "936";
    std::string SysCodePage;
    uint8_t CaptionConvertType = 0;
    uint8_t DataConvertType = 0;
    bool SupportCallBack = false;
    std::string IniFileName;
};

class TStewardIniC : public TStewardIniFields {
public:
    TStewardIniC();

    std::vector<TServerEntry> Servers;
    std::string ErrorCode;
    std::string LangType = "ENG";
    rtl::TStringList WorkDLLPaths;
    std::string ProductVersion;
    std::string CreateGifBeforeSendEF = "Y";
    std::string AutoCheckNewMsg = "1";
    std::string CheckInterval = "1";
    std::string PopupMsg = "1";
    std::string LoginCheck = "0";
};

class TStewardIniS : public TStewardIniFields {
public:
    TStewardIniS();

    // 4 rows by 8 columns (bounds 0..3, 0..7); Empty until the file is about to be read.
    rtl::Variant DBSettings;
    std::string ErrorCode;
    rtl::TStringList WorkDLLPaths;
    std::string ProductVersion;
    uint8_t DBKind = 0;  // 1 ORACLE, 2 DB2, else 0
    std::string SystemControlAddress;
    std::string OtherSystemControlAddress;

    // Replaces the caller's list with the work-library folders.
    void AssignWorkDLLPaths(rtl::TStringList& list) const;
};

// How captions and data must be converted for the given code pages.
uint8_t CaptionConvertTypeOf(const std::string& uiCodePage, const std::string& sysCodePage);
uint8_t DataConvertTypeOf(const std::string& uiCodePage, const std::string& dbCodePage);
