#include "Session.h"

#include <cstdio>

#include "FormAccess.h"
#include "VariantJson.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/WindowSystem.h"

namespace launcher {

namespace {

class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const char* EventName(int32_t code) {
    switch (code) {
        case kEventFormCreate: return "FormCreate";
        case kEventFormShow: return "FormShow";
        case kEventFormHide: return "FormHide";
        case kEventFormDestroy: return "FormDestroy";
        case kEventFormNotify: return "FormNotify";
        default: return nullptr;
    }
}

Json One(const std::string& key, Json value) {
    Json j = Json::Object();
    j.Set(key, std::move(value));
    return j;
}

// The results that expect can check, besides properties.
constexpr const char* kExpectable[] = {"create", "update", "exec", "modal", "visible", "info", "version",
                                       "freed", "event", "dialog", "ResultCode", "ResultValue"};

}  // namespace

void Output::Write(const Json& line) {
    if (muted_) return;
    out_ << line.Dump() << '\n';
    out_.flush();
}

Session::Session(TDLLBaseController* controller, SessionSettings settings, FormLocator locator, std::ostream& out,
                 std::ostream& err)
    : ctl_(controller), settings_(std::move(settings)), locator_(std::move(locator)), out_(out), err_(err) {
    ctl_->OnEvent = TDLLEvent::Lambda([this](int32_t code, TDLLBaseController* sender) { OnEvent(code, sender); }, this);
    ui::WindowSystem().SetModalRunner([this](ui::TCustomForm& form) { RunModalForm(form); });
}

Session::~Session() {
    if (ctl_) {
        out_.Mute();
        FreeController();
    }
    ui::WindowSystem().SetModalRunner({});
}

int Session::Run(ScriptReader& script) {
    script_ = &script;
    try {
        CommandLoop(nullptr);
        DeliverMessages();
        if (!answers_.empty()) {
            const PendingAnswer a = answers_.front();
            Fail(a.line, a.text, "no dialog came for this answer");
        }
    } catch (const Abort&) {
    }
    if (aborted_) out_.Mute();
    // The launcher's part at the end: free the controller (and with it an open form).
    FreeController();
    Json result = Json::Object();
    result.Set("ResultCode", resultCode_);
    result.Set("ResultValue", VariantToJson(resultValue_));
    out_.Write(result);
    return aborted_ || hadError_ ? 2 : 0;
}

// ---- The command loop --------------------------------------------------------------------------

void Session::CommandLoop(ui::TCustomForm* modalForm) {
    // A modal form that disappears under the loop (freed by the module) ends it too.
    const uintptr_t handle = modalForm ? modalForm->Handle() : 0;
    for (;;) {
        CheckAbort();
        if (modalForm && (!ui::WindowSystem().IsWindow(handle) || modalForm->ModalResult() != ui::mrNone)) return;
        std::optional<Command> cmd;
        try {
            cmd = script_->Next();
        } catch (const ScriptError& e) {
            Fail(e.Line(), e.Text(), e.what());
            continue;
        }
        if (!cmd) return;
        Execute(*cmd);
        DeliverMessages();
    }
}

void Session::Execute(const Command& cmd) {
    if (settings_.trace) {
        Json t = Json::Object();
        t.Set("line", cmd.line);
        t.Set("command", cmd.text);
        out_.Write(t);
    }
    try {
        Dispatch(cmd);
    } catch (const Abort&) {
        throw;
    } catch (const ActionError& e) {
        Fail(cmd.line, cmd.text, e.what());
    } catch (const CommandError& e) {
        Fail(cmd.line, cmd.text, e.what());
    } catch (const JsonError& e) {
        Fail(cmd.line, cmd.text, e.what());
    } catch (const std::exception& e) {
        // Raised by the module or the platform: its class tells what kind of failure it was.
        Fail(cmd.line, cmd.text, rtl::ExceptionClassName(e) + ": " + e.what());
    } catch (...) {
        Fail(cmd.line, cmd.text, "an exception of unknown type");
    }
}

void Session::Fail(int line, const std::string& text, const std::string& message) {
    Json e = Json::Object();
    e.Set("error", message);
    e.Set("line", line);
    e.Set("command", text);
    out_.Write(e);
    err_ << "kpa-launcher: line " << line << ": " << message << "\n    " << line << " | " << text << "\n";
    err_.flush();
    if (settings_.keepGoing) {
        hadError_ = true;
        return;
    }
    aborted_ = true;
    out_.Mute();
    throw Abort{};
}

void Session::CheckAbort() const {
    if (aborted_) throw Abort{};
}

// Posted messages (close requests, releases) may free a form. They are delivered only when no
// operation of the module is in progress below the command loop: at the top, or in the modal
// run of the controller's own form. Inside a dialog the module is in the middle of something,
// and freeing its form there would pull it from under the module.
bool Session::SafeToDeliver() const {
    for (const ModalRun& m : modal_) {
        if (!m.own) return false;
    }
    return true;
}

void Session::DeliverMessages() {
    if (SafeToDeliver()) ui::WindowSystem().ProcessMessages();
}

// ---- What the module reports -------------------------------------------------------------------

void Session::OnEvent(int32_t code, TDLLBaseController* sender) {
    try {
        Json e = Json::Object();
        e.Set("event", code);
        if (const char* name = EventName(code)) e.Set("name", name);
        if (code == kEventFormDestroy && sender) {
            Snapshot(*sender);
            e.Set("ResultCode", resultCode_);
            e.Set("ResultValue", VariantToJson(resultValue_));
        }
        out_.Write(e);
        last_["event"] = Json(code);
    } catch (...) {
        // Nothing may escape into the module.
    }
}

void Session::RunModalForm(ui::TCustomForm& form) {
    // After an error nothing more is read: every modal form is cancelled.
    if (aborted_) {
        form.SetModalResult(ui::mrCancel);
        return;
    }
    const bool dialog = IsMessageDialog(form);
    try {
        if (dialog) {
            Json d = DialogToJson(form);
            last_["dialog"] = d.At("text");
            out_.Write(One("dialog", std::move(d)));
        } else {
            Json f = Json::Object();
            f.Set("name", form.Name());
            f.Set("class", form.ClassName());
            f.Set("caption", form.Caption());
            out_.Write(One("modal-form", std::move(f)));
        }
        if (dialog && !answers_.empty()) {
            const PendingAnswer a = answers_.front();
            answers_.pop_front();
            if (PressAnswer(form, a) && form.ModalResult() != ui::mrNone) return;
        }
        modal_.push_back(ModalRun{&form, !dialog && &form == ControllerForm()});
        try {
            CommandLoop(&form);
        } catch (...) {
            modal_.pop_back();
            throw;
        }
        modal_.pop_back();
        if (form.ModalResult() == ui::mrNone && script_ && script_->AtEnd() && !endNoted_) {
            endNoted_ = true;
            err_ << "kpa-launcher: the script ended while " << (dialog ? "a dialog" : "the modal form " + Describe(&form))
                 << " waited; it is closed with Cancel\n";
        }
    } catch (const Abort&) {
        // The module's frames are not unwound: the form is cancelled and the error stops the
        // session once the module hands control back.
    } catch (const std::exception& e) {
        try {
            Fail(script_ ? script_->LineNumber() : 0, "", std::string("while a modal form ran: ") + e.what());
        } catch (const Abort&) {
        }
    }
    if (aborted_) form.SetModalResult(ui::mrCancel);
}

bool Session::PressAnswer(ui::TCustomForm& dialog, const PendingAnswer& answer) {
    ui::TControl* button = FindDialogButton(dialog, answer.button);
    if (!button) {
        const Json shown = DialogToJson(dialog);
        std::string names;
        for (const Json& b : shown.At("buttons").Items()) {
            const std::string& text = b.AsString();
            names += (names.empty() ? "" : ", ") + text.substr(0, text.find('='));
        }
        Fail(answer.line, answer.text, "the dialog has no button '" + answer.button + "' (it has " + names + ")");
        return false;
    }
    button->Click();
    return true;
}

// ---- Commands ----------------------------------------------------------------------------------

TDLLBaseController& Session::Controller() {
    if (!ctl_) throw CommandError("the controller has been freed (free-controller): nothing drives the form any more");
    return *ctl_;
}

ui::TCustomForm* Session::ControllerForm() {
    const uintptr_t handle = ctl_ ? ctl_->GetHandle() : 0;
    return handle && locator_ ? locator_(handle) : nullptr;
}

ui::TCustomForm& Session::CurrentForm() {
    if (!modal_.empty()) return *modal_.back().form;
    const uintptr_t handle = Controller().GetHandle();
    CheckAbort();
    if (!handle) throw CommandError("there is no form (create it first)");
    ui::TCustomForm* form = locator_ ? locator_(handle) : nullptr;
    if (!form) throw CommandError("the launcher does not know the form's window " + std::to_string(handle));
    return *form;
}

void Session::RefuseWhileModal(const char* what) const {
    if (!modal_.empty()) {
        throw CommandError(std::string("cannot ") + what + " while " + Describe(modal_.back().form) +
                           " runs modally (answer or close it first)");
    }
}

void Session::Snapshot(TDLLBaseController& c) {
    resultCode_ = c.ResultCode;
    resultValue_ = c.ResultValue;
}

void Session::FreeController() {
    if (!ctl_) return;
    TDLLBaseController* c = ctl_;
    Snapshot(*c);
    ctl_ = nullptr;
    delete c;  // an open form is freed on the way and reports 304, which snapshots again
}

void Session::Result(const std::string& key, Json value) {
    last_[key] = value;
    out_.Write(One(key, std::move(value)));
}

void Session::Dispatch(const Command& cmd) {
    switch (cmd.verb) {
        case Verb::Create: {
            const int32_t r = Controller().CreateForm(settings_.context);
            CheckAbort();
            Result("create", r);
            break;
        }
        case Verb::Show:
        case Verb::Hide:
            Controller().SetVisible(cmd.verb == Verb::Show ? -1 : 0);
            CheckAbort();
            break;
        case Verb::Visible: Result("visible", Controller().GetVisible() != 0); break;
        case Verb::Modal: {
            const rtl::Variant r = Controller().ShowModal();
            CheckAbort();
            Result("modal", VariantToJson(r));
            break;
        }
        case Verb::Update: {
            const rtl::Variant package = rtl::VarArrayOf({rtl::Variant(false), JsonToVariant(cmd.json)});
            const int32_t r = Controller().UpdateParams(package);
            CheckAbort();
            Result("update", r);
            break;
        }
        case Verb::Exec: {
            const int32_t r = Controller().ExecCommand(5, 0, JsonToVariant(cmd.json));
            CheckAbort();
            Result("exec", r);
            break;
        }
        case Verb::Info: {
            rtl::Variant info;
            const int32_t r = Controller().GetFormInfo(info);
            Result("info", r == 0 ? VariantToJson(info) : Json());
            break;
        }
        case Verb::Version: Result("version", rtl::WideToUtf8Lenient(Controller().GetVersion())); break;
        case Verb::Freed: Result("freed", Controller().FormFreed() != 0); break;
        case Verb::Notify:
            Controller().DoFormNotify();
            CheckAbort();
            break;
        case Verb::Click:
            ClickAsUser(RequireComponent(CurrentForm(), cmd.name));
            CheckAbort();
            break;
        case Verb::Set:
            SetPropertyText(CurrentForm(), cmd.name, cmd.value);
            CheckAbort();
            break;
        case Verb::Type:
            TypeAsUser(RequireComponent(CurrentForm(), cmd.name), cmd.value);
            CheckAbort();
            break;
        case Verb::Key:
            Key(cmd);
            CheckAbort();
            break;
        case Verb::Select:
            SelectRow(RequireComponent(CurrentForm(), cmd.name), cmd.index);
            CheckAbort();
            break;
        case Verb::Answer:
            if (!modal_.empty() && IsMessageDialog(*modal_.back().form)) {
                PressAnswer(*modal_.back().form, PendingAnswer{cmd.name, cmd.line, cmd.text});
            } else {
                answers_.push_back(PendingAnswer{cmd.name, cmd.line, cmd.text});
            }
            CheckAbort();
            break;
        case Verb::Lookup: {
            // The manager's lookup window takes its answers from this file, in order.
            const std::string file = os::GetEnv("KPA_LOOKUP_ANSWERS");
            if (file.empty()) throw CommandError("lookup needs KPA_LOOKUP_ANSWERS (the launcher sets it unless given)");
            if (!os::AppendFileBytes(file, cmd.json.Dump() + "\n")) throw CommandError("cannot write the lookup answers to " + file);
            break;
        }
        case Verb::Close:
            CurrentForm().Close();
            CheckAbort();
            break;
        case Verb::Dump: {
            ui::TCustomForm& form = CurrentForm();
            out_.Write(One("dump", DumpComponent(cmd.name.empty() ? &form : RequireComponent(form, cmd.name))));
            break;
        }
        case Verb::Expect: Expect(cmd); break;
        case Verb::Process:
            for (auto m = modal_.rbegin(); m != modal_.rend(); ++m) {
                if (m->own) continue;
                throw CommandError("cannot deliver posted messages while " + Describe(m->form) +
                                   " waits: the module is in the middle of an operation (answer or close it first)");
            }
            DeliverMessages();
            CheckAbort();
            break;
        case Verb::FreeForm:
            RefuseWhileModal("free the form");
            Controller().FreeForm();
            CheckAbort();
            break;
        case Verb::FreeController:
            RefuseWhileModal("free the controller");
            Controller();
            FreeController();
            CheckAbort();
            break;
    }
}

void Session::Key(const Command& cmd) {
    const std::optional<KeyStroke> k = ParseKey(cmd.value);
    if (!k) throw CommandError("unknown key '" + cmd.value + "'");
    ui::TCustomForm& form = CurrentForm();
    ui::TWinControl* target = nullptr;
    if (!cmd.name.empty()) {
        ui::TComponent* c = RequireComponent(form, cmd.name);
        if (!c->InheritsFrom("TWinControl")) throw ActionError(Describe(c) + " takes no keys (it has no window)");
        target = static_cast<ui::TWinControl*>(c);
        RequireReachable(target);
        FocusAsUser(target);
    } else {
        RequireReachable(&form);
        target = form.ActiveControl() ? form.ActiveControl() : &form;
    }
    target->SendKey(k->key, k->shift, k->ch);
}

void Session::Expect(const Command& cmd) {
    if (cmd.name.find('.') != std::string::npos) {
        const std::string actual = GetPropertyText(CurrentForm(), cmd.name);
        if (actual != cmd.value) {
            throw CommandError("expected " + cmd.name + " to be " + JsonQuote(cmd.value) + ", it is " + JsonQuote(actual));
        }
        return;
    }
    std::string key;
    for (const char* k : kExpectable) {
        if (rtl::SameText(k, cmd.name)) key = k;
    }
    if (key.empty()) {
        std::string known;
        for (const char* k : kExpectable) known += (known.empty() ? "" : ", ") + std::string(k);
        throw CommandError("expect knows NAME.PROPERTY and " + known + "; not '" + cmd.name + "'");
    }
    Json expected;
    try {
        expected = Json::Parse(cmd.value);
    } catch (const JsonError&) {
        expected = Json(cmd.value);  // a bare text stands for itself
    }
    Json actual;
    if (key == "ResultCode" || key == "ResultValue") {
        if (ctl_) Snapshot(*ctl_);
        actual = key == "ResultCode" ? Json(resultCode_) : VariantToJson(resultValue_);
    } else {
        auto it = last_.find(key);
        if (it == last_.end()) throw CommandError("nothing to compare: no " + key + " has been written yet");
        actual = it->second;
    }
    if (!(actual == expected)) {
        throw CommandError("expected " + key + " " + expected.Dump() + ", got " + actual.Dump());
    }
}

}  // namespace launcher
