#include "TestForm.h"

namespace hosttest {

namespace {
template <typename T>
T* Make(ui::TComponent* owner, const char* name, ui::TWinControl* parent, int left, int top, int width, int height) {
    T* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}
}  // namespace

const ui::ClassInfo& TTestForm::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TTestForm>("TTestForm", &ui::TForm::StaticClassInfo()).Build();
    return info;
}

TTestForm::TTestForm(ui::TComponent* owner) : ui::TForm(owner) {
    SetName("frmTest");
    SetCaption("测试窗体");
    SetBounds(0, 0, 400, 300);
    edName = Make<ui::TEdit>(this, "edName", this, 8, 8, 120, 21);
    edName->SetTabStop(true);
    btnAsk = Make<ui::TButton>(this, "btnAsk", this, 8, 40, 75, 25);
    btnAsk->SetCaption("&Ask");
    btnAsk->SetTabStop(true);
    btnOk = Make<ui::TButton>(this, "btnOk", this, 90, 40, 75, 25);
    btnOk->SetCaption("确定");
    btnOk->SetModalResult(ui::mrOk);
    btnOk->SetTabStop(true);
    btnQuit = Make<ui::TButton>(this, "btnQuit", this, 330, 40, 60, 25);
    btnQuit->SetTabStop(true);
    btnOff = Make<ui::TButton>(this, "btnOff", this, 170, 40, 75, 25);
    btnOff->SetEnabled(false);
    btnHidden = Make<ui::TButton>(this, "btnHidden", this, 250, 40, 75, 25);
    btnHidden->SetVisible(false);
    lblAnswer = Make<ui::TLabel>(this, "lblAnswer", this, 8, 70, 100, 13);
    lstItems = Make<ui::TListBox>(this, "lstItems", this, 8, 90, 120, 80);
    lstItems->Items()->SetText("alpha\nbeta\ngamma");
    lstItems->SetTabStop(true);
    cboKind = Make<ui::TComboBox>(this, "cboKind", this, 140, 90, 100, 21);
    cboKind->Items()->SetText("day\nweek");
    cboKind->SetStyle(ui::TComboBoxStyle::csDropDownList);
    cboKind->SetTabStop(true);
    chkFlag = Make<ui::TCheckBox>(this, "chkFlag", this, 140, 120, 100, 17);
    chkFlag->SetCaption("Flag");
    chkFlag->SetTabStop(true);
    gbHidden = Make<ui::TGroupBox>(this, "gbHidden", this, 250, 90, 120, 80);
    gbHidden->SetVisible(false);
    edInner = Make<ui::TEdit>(this, "edInner", gbHidden, 8, 20, 100, 21);
    lvDocs = Make<ui::TListView>(this, "lvDocs", this, 8, 180, 200, 100);
    lvDocs->SetViewStyle(ui::TViewStyle::vsReport);
    lvDocs->SetTabStop(true);
    lvDocs->Columns()->Add()->SetCaption("Name");
    lvDocs->Columns()->Add()->SetCaption("Address");
    for (const auto& [name, address] : {std::pair{"Doc A", "a.htm"}, std::pair{"Doc B", "b.htm"}}) {
        ui::TListItem* item = lvDocs->Items()->Add();
        item->SetCaption(name);
        item->SubItems()->Add(address);
    }
    pgPages = Make<ui::TPageControl>(this, "pgPages", this, 220, 180, 170, 100);
    tsOne = Make<ui::TTabSheet>(this, "tsOne", pgPages, 0, 0, 160, 80);
    tsOne->SetCaption("One");
    tsTwo = Make<ui::TTabSheet>(this, "tsTwo", pgPages, 0, 0, 160, 80);
    tsTwo->SetCaption("Two");
    pgPages->SetActivePage(tsOne);
    miRefresh = new ui::TMenuItem(this);
    miRefresh->SetName("miRefresh");
    miRefresh->SetCaption("刷新");

    btnAsk->OnClick = ui::TNotifyEvent::Lambda([this](ui::TObject*) {
        const int r = ui::MessageDlg("Sure?", ui::TMsgDlgType::mtConfirmation, {ui::TMsgDlgBtn::mbYes, ui::TMsgDlgBtn::mbNo});
        lblAnswer->SetCaption(std::to_string(r));
        log.push_back("asked " + std::to_string(r));
    });
    btnQuit->OnClick = ui::TNotifyEvent::Lambda([this](ui::TObject*) {
        ui::WindowSystem().PostMessage(Handle(), ui::WM_CLOSE, 0, 0);
        ui::MessageDlg("Bye", ui::TMsgDlgType::mtInformation, {ui::TMsgDlgBtn::mbOK});
    });
    OnClose = ui::TCloseEvent::Lambda([](ui::TObject*, ui::TCloseAction& action) { action = ui::TCloseAction::caFree; });
    edName->OnExit = ui::TNotifyEvent::Lambda([this](ui::TObject*) { log.push_back("exit edName"); });
    edName->OnChange = ui::TNotifyEvent::Lambda([this](ui::TObject*) { log.push_back("change " + edName->Text()); });
    btnOk->OnClick = ui::TNotifyEvent::Lambda([this](ui::TObject*) { log.push_back("click btnOk"); });
    lstItems->OnClick = ui::TNotifyEvent::Lambda([this](ui::TObject*) { log.push_back("select " + std::to_string(lstItems->ItemIndex())); });
    cboKind->OnSelect = ui::TNotifyEvent::Lambda([this](ui::TObject*) { log.push_back("kind " + cboKind->Text()); });
    chkFlag->OnClick = ui::TNotifyEvent::Lambda([this](ui::TObject*) { log.push_back(chkFlag->Checked() ? "checked" : "unchecked"); });
    lvDocs->OnSelectItem = ui::TLVSelectItemEvent::Lambda([this](ui::TObject*, ui::TListItem* item, bool selected) {
        if (selected) log.push_back("open " + (*item->SubItems())[0]);
    });
    pgPages->OnChange = ui::TNotifyEvent::Lambda([this](ui::TObject*) { log.push_back("page " + pgPages->ActivePage()->Name()); });
    miRefresh->OnClick = ui::TNotifyEvent::Lambda([this](ui::TObject*) { log.push_back("refresh"); });
}

TTestForm* NewTestForm(ui::TComponent* owner) { return ui::CreateForm<TTestForm>(owner); }

}  // namespace hosttest
