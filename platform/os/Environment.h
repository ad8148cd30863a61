// What the operating system tells about the process and the machine.
#pragma once

#include <string>
#include <vector>

namespace os {

// The system ANSI code page: the environment variable KPA_ACP when set to a number, else from the
// locale (LC_ALL, LC_CTYPE, LANG): zh_CN and zh_SG give 936, zh_TW and zh_HK give 950, any other 1252.
int GetACP();

std::string GetUserName();       // the user owning the process
std::string GetComputerName();   // the host name
std::string GetTempPath();       // TMPDIR or /tmp, resolved, ending with "/"
std::string GetExecutablePath(); // the running program's file
std::string GetExecutableFolder();  // its folder, ending with "/"
std::vector<std::string> GetCommandLine();  // argv of the process, program first
std::string GetEnv(const char* name);       // empty when unset

}  // namespace os
