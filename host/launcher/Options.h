// The launcher's command line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/rtl/Variants.h"

namespace launcher {

inline constexpr const char* kDefaultManager = "CorvaneWorkCenter.Manager";
inline constexpr const char* kDefaultModule = "KPAB02C.so";

struct Options {
    std::string module;  // empty: KPAB02C.so beside the program
    std::string user;    // empty: the login name
    std::string company;
    std::string database;
    int64_t hostWindow = 0;
    std::string hostData;
    int contextSize = 5;
    std::string manager = kDefaultManager;
    bool noManager = false;
    std::string script;  // empty or "-": standard input
    bool trace = false;
    bool help = false;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name; "--name value" and "--name=value" both work.
// Raises UsageError.
Options ParseOptions(const std::vector<std::string>& args);

// The context array for CreateForm: [user, company, database, host window, host data], cut to
// contextSize elements.
rtl::Variant ContextArray(const Options& options);

std::string HelpText();

}  // namespace launcher
