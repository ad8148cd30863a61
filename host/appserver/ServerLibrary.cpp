#include "ServerLibrary.h"

#include <memory>

#include "SvrController.h"
#include "platform/os/DynLibs.h"
#include "platform/os/Files.h"
#include "platform/rtl/CodePages.h"

namespace appserver {

std::string FindServerLibrary(const std::vector<std::string>& folders, const std::string& programID) {
    const std::string name = programID + "S.DLL";
    std::string searched;
    for (const std::string& folder : folders) {
        const std::string path = folder + name;
        if (os::FileExists(os::LibraryFileName(path))) return path;
        searched += (searched.empty() ? "" : ", ") + folder;
    }
    throw EServerLibrary("The server library " + name + " is in none of the work-library folders (" + searched + ")");
}

ServerLibraryOutcome RunServerLibrary(const std::string& library, const rtl::Variant& params) {
    os::DynLib lib(library);
    if (!lib) throw EServerLibrary("The server library " + library + " could not be loaded: " + os::LastLibraryError());
    auto create = reinterpret_cast<GetSvrControllerProc>(lib.Symbol(kGetSvrControllerExport));
    if (!create) throw EServerLibrary("The server library " + library + " has no export GetSvrController");

    ServerLibraryOutcome outcome;
    {
        // The controller's code lives in the library: it is freed before the library goes.
        std::unique_ptr<SvrController> controller(create());
        if (!controller) throw EServerLibrary("The server library " + library + " made no controller");
        std::string raised;
        try {
            controller->Execute(params);
        } catch (const std::exception& e) {
            outcome.failed = true;
            raised = e.what();
        } catch (...) {
            outcome.failed = true;
            raised = "The server library failed";
        }
        outcome.message = rtl::WideToUtf8Lenient(controller->LastError());
        if (outcome.message.empty()) outcome.message = raised;
    }
    return outcome;
}

}  // namespace appserver
