#include "ScriptedUser.h"

#include <stdexcept>

#include "platform/ui/WindowSystem.h"

namespace kpatest {

ScriptedUser::ScriptedUser() {
    ui::WindowSystem().SetModalRunner([this](ui::TCustomForm& form) { Run(form); });
}

ScriptedUser::~ScriptedUser() { ui::WindowSystem().SetModalRunner({}); }

void ScriptedUser::Then(Action action) { actions_.push_back(std::move(action)); }

void ScriptedUser::Press(const std::string& buttonName) { Click(buttonName); }

void ScriptedUser::Click(const std::string& componentName) {
    Then([componentName](ui::TCustomForm& form) {
        ui::TComponent* c = form.FindComponent(componentName);
        if (!c || !c->InheritsFrom("TControl")) throw std::runtime_error("the form has no control " + componentName);
        static_cast<ui::TControl*>(c)->Click();
    });
}

std::vector<std::string> ScriptedUser::DialogTexts() const {
    std::vector<std::string> texts;
    for (const DialogRecord& d : dialogs_) texts.push_back(d.text);
    return texts;
}

void ScriptedUser::Run(ui::TCustomForm& form) {
    ++runs_;
    const bool isDialog = form.ClassName() == "TMessageForm";
    if (isDialog) {
        DialogRecord r;
        r.type = ui::GetPropText(&form, "DialogType");
        r.caption = form.Caption();
        if (ui::TComponent* msg = form.FindComponent("Message")) r.text = ui::GetPropText(msg, "Caption");
        for (ui::TComponent* c : form.ComponentList()) {
            if (c->ClassName() == "TButton") r.buttons.push_back(c->Name() + "=" + ui::GetPropText(c, "Caption"));
        }
        r.fontName = form.Font()->Name();
        r.fontCharset = form.Font()->Charset();
        dialogs_.push_back(std::move(r));
    }
    if (!actions_.empty()) {
        Action a = std::move(actions_.front());
        actions_.pop_front();
        a(form);
        return;
    }
    if (isDialog) {
        for (ui::TComponent* c : form.ComponentList()) {
            if (c->ClassName() == "TButton") {
                static_cast<ui::TControl*>(c)->Click();
                return;
            }
        }
    }
    form.SetModalResult(ui::mrCancel);
}

}  // namespace kpatest
