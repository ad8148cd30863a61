// A scripted user for modal forms and message dialogs: records every dialog shown and answers
// as told. Works on forms of any library loaded in the process (it reads them by name).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Forms.h"

namespace kpatest {

struct DialogRecord {
    std::string type;     // "mtWarning", "mtError", ... as the dialog's DialogType
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;  // "Name=Caption" in the order shown
    std::string fontName;
    int fontCharset = 0;
};

class ScriptedUser {
public:
    using Action = std::function<void(ui::TCustomForm&)>;
    ScriptedUser();
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    // The next modal run does this; without a queued action a message dialog is answered with
    // its first button and any other form is cancelled.
    void Then(Action action);
    // Answers the next dialog by pressing the button of that name ("OK", "Yes", "Cancel" ...).
    void Press(const std::string& buttonName);
    // Clicks a component of the next modal form by name.
    void Click(const std::string& componentName);

    const std::vector<DialogRecord>& Dialogs() const { return dialogs_; }
    std::vector<std::string> DialogTexts() const;
    int ModalRuns() const { return runs_; }

private:
    void Run(ui::TCustomForm& form);
    std::deque<Action> actions_;
    std::vector<DialogRecord> dialogs_;
    int runs_ = 0;
};

}  // namespace kpatest
