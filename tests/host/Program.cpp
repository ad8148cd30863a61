#include "Program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "support/Fixtures.h"

extern char** environ;

namespace hosttest {

std::vector<launcher::Json> ProgramRun::Lines() const {
    std::vector<launcher::Json> lines;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        const std::string line = out.substr(start, end - start);
        try {
            lines.push_back(launcher::Json::Parse(line));
        } catch (const launcher::JsonError& e) {
            ADD_FAILURE() << "not a JSON line: " << line << " (" << e.what() << ")";
        }
        start = end + 1;
    }
    return lines;
}

std::vector<launcher::Json> ProgramRun::With(const std::string& key) const {
    std::vector<launcher::Json> r;
    for (const launcher::Json& l : Lines()) {
        if (l.Find(key)) r.push_back(l);
    }
    return r;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                      const std::map<std::string, std::string>& env, int seconds) {
    kpatest::TempDir dir;
    const std::string in = dir.Write("stdin.txt", input);
    const std::string out = dir.File("stdout.txt");
    const std::string err = dir.File("stderr.txt");

    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq) vars[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
    }
    for (const auto& [name, value] : env) {
        if (value.empty()) vars.erase(name);
        else vars[name] = value;
    }
    std::vector<std::string> envStore;
    for (const auto& [name, value] : vars) envStore.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ProgramRun run;
    if (rc != 0) {
        ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(rc);
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int wstatus = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &wstatus, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            run.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!run.timedOut && WIFEXITED(wstatus)) run.status = WEXITSTATUS(wstatus);
    run.out = kpatest::ReadFile(out);
    run.err = kpatest::ReadFile(err);
    return run;
}

}  // namespace hosttest
