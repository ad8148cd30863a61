// A form built in the test program, for the launcher's parts that act on forms.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/ComCtrls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

namespace hosttest {

// Closing frees it, as the module's forms do.
class TTestForm : public ui::TForm {
public:
    explicit TTestForm(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    ui::TEdit* edName;
    ui::TButton* btnAsk;     // asks "Sure?" (Yes/No); lblAnswer shows the answer's result
    ui::TButton* btnOk;      // modal result mrOk
    ui::TButton* btnQuit;    // posts a close request, then says "Bye" (OK)
    ui::TButton* btnOff;     // disabled
    ui::TButton* btnHidden;  // invisible
    ui::TLabel* lblAnswer;
    ui::TListBox* lstItems;  // "alpha", "beta", "gamma"
    ui::TComboBox* cboKind;  // "day", "week"
    ui::TCheckBox* chkFlag;
    ui::TGroupBox* gbHidden;  // invisible, holds edInner
    ui::TEdit* edInner;
    ui::TListView* lvDocs;    // report style: "Doc A" a.htm, "Doc B" b.htm; selecting logs "open <address>"
    ui::TPageControl* pgPages;  // tsOne "One", tsTwo "Two"
    ui::TTabSheet* tsOne;
    ui::TTabSheet* tsTwo;
    ui::TMenuItem* miRefresh;
    std::vector<std::string> log;  // what the handlers saw, in order
};

// Makes and completes a test form (freed by its owner, or with Free()).
TTestForm* NewTestForm(ui::TComponent* owner = nullptr);

}  // namespace hosttest
