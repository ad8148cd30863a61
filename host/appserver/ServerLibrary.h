// Running a program's server library ("<ProgramID>S.DLL") in the server's process.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/Variants.h"

namespace appserver {

// The library could not be found, loaded or asked for its controller.
class EServerLibrary : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EServerLibrary"; }
};

// The first folder, in order, holding "<programID>S.DLL" (the file <programID>S.so); the
// path as the system names it (ending in "S.DLL"). Raises EServerLibrary naming the folders
// when none holds it.
std::string FindServerLibrary(const std::vector<std::string>& folders, const std::string& programID);

struct ServerLibraryOutcome {
    bool failed = false;    // Execute raised
    std::string message;    // the library's last error, or what Execute raised when it has none
};

// Loads the library, runs its controller's Execute with params, asks for the last error,
// frees the controller and unloads the library. Raises EServerLibrary when the library does
// not load, lacks "GetSvrController" or makes no controller.
ServerLibraryOutcome RunServerLibrary(const std::string& library, const rtl::Variant& params);

}  // namespace appserver
