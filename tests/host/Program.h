// Runs a program of the build as a child process and collects what it wrote.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Json.h"

namespace hosttest {

struct ProgramRun {
    int status = -1;        // the exit status; -1 when the program did not exit by itself
    bool timedOut = false;  // killed after the time limit
    std::string out;
    std::string err;
    // The standard output's lines, each read as JSON (a line that is no JSON fails the test).
    std::vector<launcher::Json> Lines() const;
    // The lines that carry a member of that name.
    std::vector<launcher::Json> With(const std::string& key) const;
};

// Runs `program` with `args`, `input` as its standard input and the environment of this process
// changed by `env` (an empty value removes the variable). Killed after `seconds`.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                      const std::map<std::string, std::string>& env, int seconds = 60);

}  // namespace hosttest
