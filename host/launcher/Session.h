// One launcher session: a controller driven by a script, every event, dialog and answer written
// as a JSON line. Modal runs (the form's own, and the message dialogs the module shows) read
// the script lines that follow until the modal form has its result, so a script reads in the
// order things happen on the screen.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "Json.h"
#include "Script.h"
#include "entry/DLLBaseCtrller.h"
#include "platform/ui/Forms.h"

namespace launcher {

// Writes one JSON value a line and flushes it, so that a watcher sees each line as it happens.
class Output {
public:
    explicit Output(std::ostream& out) : out_(out) {}
    void Write(const Json& line);
    // Nothing more is written once muted (after the error that stops a session).
    void Mute() { muted_ = true; }

private:
    std::ostream& out_;
    bool muted_ = false;
};

struct SessionSettings {
    rtl::Variant context;    // what `create` hands to CreateForm
    bool trace = false;      // echo each command as {"line":N,"command":"..."}
    bool keepGoing = false;  // report errors and go on (a session typed at a terminal)
};

// The form that owns a window handle; nullptr when the handle is unknown.
using FormLocator = std::function<ui::TCustomForm*(uintptr_t handle)>;

class Session {
public:
    // Takes the controller over (it is freed by free-controller or at the end) and becomes the
    // process's modal runner for its lifetime.
    Session(TDLLBaseController* controller, SessionSettings settings, FormLocator locator, std::ostream& out,
            std::ostream& err);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs the script to its end, frees the controller and writes {"ResultCode":..,"ResultValue":..}.
    // 0 when every command succeeded; 2 after an error (the session stops at the first one
    // unless keepGoing is set).
    int Run(ScriptReader& script);

private:
    struct Abort {};  // unwinds the launcher's own frames after an error; never crosses the module
    struct PendingAnswer {
        std::string button;
        int line;
        std::string text;
    };

    void CommandLoop(ui::TCustomForm* modalForm);
    void Execute(const Command& cmd);
    void Dispatch(const Command& cmd);
    void Fail(int line, const std::string& text, const std::string& message);
    void CheckAbort() const;
    void DeliverMessages();

    void OnEvent(int32_t code, TDLLBaseController* sender);
    void RunModalForm(ui::TCustomForm& form);
    bool PressAnswer(ui::TCustomForm& dialog, const PendingAnswer& answer);

    TDLLBaseController& Controller();
    ui::TCustomForm& CurrentForm();
    ui::TCustomForm* ControllerForm();
    bool SafeToDeliver() const;
    void RefuseWhileModal(const char* what) const;
    void FreeController();
    void Snapshot(TDLLBaseController& c);
    void Result(const std::string& key, Json value);
    void Expect(const Command& cmd);
    void Key(const Command& cmd);

    TDLLBaseController* ctl_;
    SessionSettings settings_;
    FormLocator locator_;
    Output out_;
    std::ostream& err_;
    ScriptReader* script_ = nullptr;
    struct ModalRun {
        ui::TCustomForm* form;
        bool own;  // the controller's form, run modally: nothing of the module's is below it
    };
    std::vector<ModalRun> modal_;          // the modal runs in progress, innermost last
    std::deque<PendingAnswer> answers_;   // answers given before their dialog came
    std::map<std::string, Json> last_;    // the last value of each result, for expect
    int32_t resultCode_ = 0;
    rtl::Variant resultValue_;
    bool aborted_ = false;
    bool hadError_ = false;
    bool endNoted_ = false;
};

}  // namespace launcher
