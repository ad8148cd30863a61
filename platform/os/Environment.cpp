#include "Environment.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/rtl/SysUtils.h"

namespace os {

std::string GetEnv(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

int GetACP() {
    int cp;
    if (const std::string forced = GetEnv("KPA_ACP"); !forced.empty() && rtl::TryStrToInt(forced, cp) && cp > 0) {
        return cp;
    }
    std::string locale;
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        locale = GetEnv(var);
        if (!locale.empty()) break;
    }
    const std::string l = rtl::LowerCase(locale);
    if (l.starts_with("zh_cn") || l.starts_with("zh_sg")) return 936;
    if (l.starts_with("zh_tw") || l.starts_with("zh_hk") || l.starts_with("zh_mo")) return 950;
    return 1252;
}

std::string GetUserName() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name) return pw->pw_name;
    if (std::string u = GetEnv("USER"); !u.empty()) return u;
    return GetEnv("LOGNAME");
}

std::string GetComputerName() {
    char buf[HOST_NAME_MAX + 1] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) return {};
    return buf;
}

std::string GetTempPath() {
    std::string t = GetEnv("TMPDIR");
    if (t.empty()) t = "/tmp";
    char resolved[PATH_MAX];
    if (realpath(t.c_str(), resolved)) t = resolved;
    if (t.empty() || t.back() != '/') t.push_back('/');
    return t;
}

std::string GetExecutablePath() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

std::string GetExecutableFolder() {
    const std::string exe = GetExecutablePath();
    const size_t p = exe.rfind('/');
    return p == std::string::npos ? std::string("./") : exe.substr(0, p + 1);
}

std::vector<std::string> GetCommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\0') {
            args.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < all.size()) args.push_back(all.substr(start));
    return args;
}

}  // namespace os
