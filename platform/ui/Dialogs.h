// Message dialogs: a form with the message, an icon place and one button per answer, run
// modally through the window system like any form, so that a scripted or interactive user
// answers them and callers may change the buttons (by their component names) before showing.
#pragma once

#include <string>
#include <vector>

#include "Forms.h"
#include "StdCtrls.h"

namespace ui {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = std::vector<TMsgDlgBtn>;

const EnumInfo& MsgDlgTypeEnum();
// The component name of a dialog button ("Yes", "OK", "NoToAll" ...).
const char* ButtonName(TMsgDlgBtn b);
TModalResult ButtonResult(TMsgDlgBtn b);

class TMessageForm : public TForm {
public:
    explicit TMessageForm(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TMsgDlgType DialogType() const noexcept { return type_; }
    // The message label ("Message") and the buttons in the order shown.
    TLabel* MessageLabel() const noexcept { return message_; }
    const std::vector<TButton*>& Buttons() const noexcept { return buttons_; }

private:
    friend TMessageForm* CreateMessageDialog(const std::string&, TMsgDlgType, const TMsgDlgButtons&);
    TMsgDlgType type_ = TMsgDlgType::mtCustom;
    TLabel* message_ = nullptr;
    std::vector<TButton*> buttons_;
};

// A message dialog ready to be shown; the caller frees it.
TMessageForm* CreateMessageDialog(const std::string& msg, TMsgDlgType type, const TMsgDlgButtons& buttons);
// Creates, shows modally and frees a message dialog; the answer is the pressed button's result.
int MessageDlg(const std::string& msg, TMsgDlgType type, const TMsgDlgButtons& buttons, int helpContext = 0);

}  // namespace ui
