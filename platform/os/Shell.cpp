#include "Shell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#include <unistd.h>

#include <vector>

#include "Environment.h"

extern char** environ;

namespace os {

std::string ShellTarget(const std::string& address) {
    if (address.find("://") != std::string::npos) return address;
    std::string path = address;
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

namespace {

// The handler's full path: as given when it holds a "/", else found on PATH; empty when missing.
std::string FindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : std::string();
    std::string path = GetEnv("PATH");
    if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        const size_t colon = path.find(':', start);
        std::string dir = path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return {};
}

}  // namespace

bool ShellExecute(uintptr_t, const std::string& verb, const std::string& file, const std::string& parameters,
                  const std::string& directory, int) {
    if (file.empty()) return false;
    std::string handler = GetEnv("KPA_SHELL_OPEN");
    if (handler.empty()) handler = "xdg-open";
    const std::string program = FindProgram(handler);
    if (program.empty()) return false;
    // A shell starts the handler in the background and ends at once: the handler is nobody's
    // child here, and its output does not mix with the host's (the launcher writes JSON).
    std::vector<std::string> args{"/bin/sh", "-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &", program};
    if (verb != "open" && !verb.empty()) args.push_back("--" + verb);
    args.push_back(ShellTarget(file));
    if (!parameters.empty()) args.push_back(parameters);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace os
