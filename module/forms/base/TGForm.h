// The base of every form of the module: one look and one language handling for all of them.
#pragma once

#include <string>

#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

class TTGForm : public ui::TForm {
public:
    explicit TTGForm(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // Translates target from the language files of its classes (root-most first).
    virtual void ApplyLanguage(ui::TComponent* target, bool wholeChain);
    virtual void ApplyLanguageBelowBase(ui::TComponent* target, bool wholeChain);

    // Converts every text of the form for display, once.
    void ConvertForDisplay();
    bool Converted() const noexcept { return converted_; }
    int ShowMessageBox(const std::string& text, ui::TMsgDlgType type, const ui::TMsgDlgButtons& buttons);
    // The code pages of the client configuration: the system's ("936", "950" or "437") and the
    // interface's ("437" is the English interface).
    const std::string& SystemCodePage() const noexcept { return systemCodePage_; }
    const std::string& InterfaceCodePage() const noexcept { return interfaceCodePage_; }
    std::string LangText(const std::string& section, const std::string& ident, bool convert, const std::string& def);

    virtual void FormCreate(ui::TObject* sender);
    virtual void FormShow(ui::TObject* sender);

protected:
    // The class names whose language files translate target, root-most first.
    std::vector<std::string> LanguageChain(ui::TComponent* target, bool wholeChain, bool belowBase) const;

private:
    bool converted_ = false;
    bool translateOnShow_ = true;
    std::string systemCodePage_;
    std::string interfaceCodePage_;
};
