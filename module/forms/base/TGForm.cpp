#include "TGForm.h"

#include "lib/StewardINI.h"

const ui::ClassInfo& TTGForm::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TTGForm>("TTGForm", &ui::TForm::StaticClassInfo())
                                          .Method("FormCreate", &TTGForm::FormCreate)
                                          .Method("FormShow", &TTGForm::FormShow)
                                          .Build();
    return info;
}

TTGForm::TTGForm(ui::TComponent* owner) : ui::TForm(owner) {
    SetBounds(0, 0, 400, 191);
    SetCaption("TGForm");
    SetColor(ui::clBtnFace);
    Font()->SetName("宋体");
    Font()->SetHeight(-13);
    Font()->SetCharset(ui::DEFAULT_CHARSET);
    SetKeyPreview(true);
    SetPosition(ui::TPosition::poScreenCenter);
    SetShowHint(true);
    {
        const TStewardIniC ini;
        systemCodePage_ = ini.SysCodePage;
        interfaceCodePage_ = ini.UICodePage;
    }
    OnCreate = ui::TNotifyEvent(this, &TTGForm::FormCreate);
    OnShow = ui::TNotifyEvent(this, &TTGForm::FormShow);
}

void TTGForm::FormCreate(ui::TObject*) {
    converted_ = false;
    translateOnShow_ = true;
    for (ui::TComponent* c : ComponentList()) {
        if (const ui::PropInfo* ime = ui::GetPropInfo(c, "ImeName"); ime && ime->SetStr) ime->SetStr(*c, "");
        // The English interface writes with Tahoma in the GB2312 character set.
        if (interfaceCodePage_ == "437") {
            if (auto* font = dynamic_cast<ui::TFont*>(ui::IsPublishedProp(c, "Font") ? ui::GetObjectProp(c, "Font") : nullptr)) {
                font->SetCharset(ui::GB2312_CHARSET);
                font->SetName("Tahoma");
            }
        }
    }
}

void TTGForm::FormShow(ui::TObject*) {
    if (translateOnShow_) ApplyLanguage(this, true);
}

std::vector<std::string> TTGForm::LanguageChain(ui::TComponent* target, bool wholeChain, bool belowBase) const {
    std::vector<std::string> names;
    if (!target) return names;
    if (!wholeChain) return {target->ClassName()};
    for (const ui::ClassInfo* c = &target->GetClassInfo(); c; c = c->Parent) {
        if (c->Name == "TForm" || (belowBase && c->Name == "TTGForm")) break;
        names.insert(names.begin(), c->Name);
    }
    return names;
}

void TTGForm::ApplyLanguage(ui::TComponent* target, bool wholeChain) {
    // The language files are read by the language controller; without one nothing changes.
    (void)LanguageChain(target, wholeChain, false);
}

void TTGForm::ApplyLanguageBelowBase(ui::TComponent* target, bool wholeChain) {
    (void)LanguageChain(target, wholeChain, true);
}

void TTGForm::ConvertForDisplay() { converted_ = true; }

int TTGForm::ShowMessageBox(const std::string& text, ui::TMsgDlgType type, const ui::TMsgDlgButtons& buttons) {
    if (text.empty()) return 0;
    std::string shown = text;
    if (systemCodePage_ == "936" || interfaceCodePage_ == "936") shown += "      ";
    ui::TMessageForm* dlg = ui::CreateMessageDialog(shown, type, buttons);
    struct Freer {
        ui::TMessageForm* f;
        ~Freer() { f->Free(); }
    } freer{dlg};
    if (WindowState() == ui::TWindowState::wsMinimized) SetWindowState(ui::TWindowState::wsNormal);
    dlg->SetCaption(Caption());
    dlg->Font()->SetName("SimSun");
    dlg->Font()->SetCharset(interfaceCodePage_ == "950" ? ui::CHINESEBIG5_CHARSET : ui::GB2312_CHARSET);
    return dlg->ShowModal();
}

std::string TTGForm::LangText(const std::string&, const std::string&, bool, const std::string& def) { return def; }
