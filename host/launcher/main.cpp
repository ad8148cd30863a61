// kpa-launcher: loads a module, drives its controller with a script, writes JSON lines.
#include <dlfcn.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <memory>

#include "Json.h"
#include "LauncherWindowSystem.h"
#include "Options.h"
#include "Session.h"
#include "platform/com/ComObj.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"

namespace {

constexpr int kFailure = 2;

// Errors before the script runs: one JSON line and a human message.
int StartupError(const std::string& message) {
    launcher::Json e = launcher::Json::Object();
    e.Set("error", message);
    std::cout << e.Dump() << std::endl;
    std::cerr << "kpa-launcher: " << message << "\n";
    return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    launcher::Options options;
    try {
        options = launcher::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const launcher::UsageError& e) {
        std::cerr << "kpa-launcher: " << e.what() << "\nTry 'kpa-launcher --help'.\n";
        return kFailure;
    }
    if (options.help) {
        std::cout << launcher::HelpText();
        return 0;
    }
    if (options.user.empty()) options.user = os::GetUserName();
    const std::string modulePath = options.module.empty() ? os::GetExecutableFolder() + launcher::kDefaultModule : options.module;

    std::ifstream scriptFile;
    std::istream* script = &std::cin;
    const bool fromStdin = options.script.empty() || options.script == "-";
    if (!fromStdin) {
        scriptFile.open(options.script);
        if (!scriptFile) return StartupError("cannot open the script " + options.script);
        script = &scriptFile;
    }

    // The library stays loaded to the end: the objects it made live in its code.
    void* lib = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) return StartupError("cannot load the module " + modulePath + ": " + dlerror());
    auto getController = reinterpret_cast<GetControllerFn>(dlsym(lib, "GetController"));
    if (!getController) return StartupError("the module " + modulePath + " has no GetController");

    // The manager's lookup window asks the script's user: its answers go through a file of this
    // run unless the caller names one.
    std::string lookupAnswers;
    if (os::GetEnv("KPA_LOOKUP_ANSWERS").empty()) {
        lookupAnswers = os::GetTempPath() + "kpa-lookup-" + std::to_string(getpid()) + ".jsonl";
        os::WriteFileBytes(lookupAnswers, "");
        setenv("KPA_LOOKUP_ANSWERS", lookupAnswers.c_str(), 1);
    }
    struct RemoveAnswers {
        std::string file;
        ~RemoveAnswers() {
            if (!file.empty()) os::DeleteFile(file);
        }
    } removeAnswers{lookupAnswers};

    rtl::Variant manager;
    if (!options.noManager) {
        try {
            manager = com::CreateOleObject(options.manager);
        } catch (const std::exception& e) {
            return StartupError("cannot create the manager " + options.manager + ": " + e.what() +
                                " (is it registered in the registry file KPA_REGISTRY names? --no-manager runs without one)");
        }
    }

    TDLLBaseController* controller = nullptr;
    try {
        controller = getController();
    } catch (const std::exception& e) {
        return StartupError(std::string("GetController failed: ") + e.what());
    }
    if (!controller) return StartupError("GetController answered no controller");
    controller->Manager = manager;

    launcher::SessionSettings settings;
    settings.context = launcher::ContextArray(options);
    settings.trace = options.trace;
    settings.keepGoing = fromStdin && isatty(STDIN_FILENO);
    int status;
    {
        launcher::Session session(controller, std::move(settings), &launcher::FormOfWindow, std::cout, std::cerr);
        launcher::ScriptReader reader(*script);
        status = session.Run(reader);
    }
    // The manager may live in a library that is unloaded at exit: release it first.
    manager = rtl::Variant();
    return status;
}
