#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/rtl/SysUtils.h"

namespace os {

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
    if (path.empty()) return false;
    const std::string p = ExcludeTrailingPathDelimiter(path);
    if (p.empty() || DirectoryExists(p)) return !p.empty() || path == "/";
    const std::string parent = ExcludeTrailingPathDelimiter(ExtractFilePath(p));
    if (!parent.empty() && parent != p && !DirectoryExists(parent) && !ForceDirectories(parent)) return false;
    if (mkdir(p.c_str(), 0777) == 0) return true;
    return errno == EEXIST && DirectoryExists(p);
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string p(path);
    if (p.empty() || p.back() != '/') p.push_back('/');
    return p;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
    std::string p(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

std::string ExtractFilePath(std::string_view path) {
    const size_t p = path.rfind('/');
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileName(std::string_view path) {
    const size_t p = path.rfind('/');
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string PathJoin(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::string r = IncludeTrailingPathDelimiter(folder);
    while (!name.empty() && name.front() == '/') name.remove_prefix(1);
    return r.append(name);
}

std::string ReadFileBytes(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        throw rtl::EInOutError("Cannot open file \"" + path + "\". " + std::strerror(e), e);
    }
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            close(fd);
            throw rtl::EInOutError("Cannot read file \"" + path + "\". " + std::strerror(e), e);
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return data;
}

namespace {
bool WriteAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}
}  // namespace

bool AppendFileBytes(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool ok = WriteAll(fd, bytes);
    return close(fd) == 0 && ok;
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int e = errno;
        throw rtl::EInOutError("Cannot create file \"" + path + "\". " + std::strerror(e), e);
    }
    const bool ok = WriteAll(fd, bytes);
    const int e = errno;
    if (close(fd) != 0 || !ok) throw rtl::EInOutError("Cannot write file \"" + path + "\". " + std::strerror(e), e);
}

}  // namespace os
