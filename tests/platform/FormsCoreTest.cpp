#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"

using namespace ui;

namespace {

// A form of our own with published methods, as the module's forms have.
class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) {
        edit1 = new TEdit(this);
        edit1->SetName("edit1");
        edit1->SetParent(this);
        edit2 = new TEdit(this);
        edit2->SetName("edit2");
        edit2->SetParent(this);
        ok = new TButton(this);
        ok->SetName("ok");
        ok->SetParent(this);
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
    }
    static const ClassInfo& StaticClassInfo() {
        static const ClassInfo info = ClassBuilder<TTestForm>("TTestForm", &TForm::StaticClassInfo())
                                          .Method("EditEnter", &TTestForm::EditEnter)
                                          .Method("EditExit", &TTestForm::EditExit)
                                          .Build();
        return info;
    }
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    void EditEnter(TObject* sender) { log.push_back("enter " + static_cast<TComponent*>(sender)->Name()); }
    void EditExit(TObject* sender) { log.push_back("exit " + static_cast<TComponent*>(sender)->Name()); }

    TEdit* edit1;
    TEdit* edit2;
    TButton* ok;
    std::vector<std::string> log;
};

TEST(Reflection, PublishedPropertiesByNameAndText) {
    TTestForm* f = CreateForm<TTestForm>(nullptr);
    EXPECT_EQ(GetStrProp(f->edit1, "text"), "");
    SetStrProp(f->edit1, "Text", "abc");
    EXPECT_EQ(f->edit1->Text(), "abc");
    EXPECT_EQ(GetPropText(f->edit1, "Color"), "clWindow");  // a system colour reads back by name
    SetPropText(f->edit1, "PasswordChar", "*");
    EXPECT_EQ(GetPropText(f->edit1, "PasswordChar"), "*");
    SetPropText(f->edit1, "Color", "clRed");
    EXPECT_EQ(f->edit1->Color(), clRed);
    EXPECT_EQ(GetPropText(f->edit1, "Color"), "clRed");
    SetPropText(f->edit1, "Enabled", "False");
    EXPECT_FALSE(f->edit1->Enabled());
    SetPropText(f, "BorderIcons", "[biSystemMenu,biMaximize]");
    EXPECT_EQ(GetPropText(f, "BorderIcons"), "[biSystemMenu,biMaximize]");
    SetPropText(f->ok, "Cursor", "crHandPoint");
    EXPECT_EQ(f->ok->Cursor(), crHandPoint);
    SetPropText(f->edit1->Font(), "Style", "[fsBold]");
    EXPECT_TRUE(f->edit1->Font()->HasStyle(fsBold));
    EXPECT_EQ(GetPropText(f->edit2, "Align"), "alNone");
    EXPECT_THROW(SetPropText(f->edit1, "Align", "alNowhere"), EPropertyConvertError);
    EXPECT_THROW(SetPropText(f->edit1, "Width", "wide"), EPropertyConvertError);
    EXPECT_THROW(GetStrProp(f->edit1, "NoSuchProperty"), EPropertyError);
    EXPECT_THROW(SetStrProp(f->edit1, "Width", "1"), EPropertyError);
    EXPECT_TRUE(IsPublishedProp(f->ok, "ModalResult"));
    EXPECT_FALSE(IsPublishedProp(f->edit1, "ModalResult"));
    EXPECT_TRUE(f->InheritsFrom("TCustomForm"));
    EXPECT_EQ(f->edit1->ClassName(), "TEdit");
    f->Free();
}

TEST(Reflection, EventsHaveIdentityAndCanBeSetByName) {
    TTestForm* f = CreateForm<TTestForm>(nullptr);
    const TMethod enter = f->MethodAddress("EditEnter");
    ASSERT_TRUE(enter.Assigned());
    EXPECT_FALSE(f->MethodAddress("NoSuchMethod").Assigned());
    SetMethodProp(f->edit1, "OnEnter", enter);
    EXPECT_TRUE(GetMethodProp(f->edit1, "OnEnter") == enter);
    EXPECT_TRUE(f->edit1->OnEnter == TNotifyEvent(f, &TTestForm::EditEnter));
    EXPECT_FALSE(f->edit1->OnEnter == TNotifyEvent(f, &TTestForm::EditExit));
    EXPECT_EQ(GetPropText(f->edit1, "OnEnter"), "EditEnter");
    // Saving, replacing and restoring a handler, as hooks do.
    const TNotifyEvent saved = f->edit1->OnEnter;
    f->edit1->OnEnter = TNotifyEvent::Lambda([&](TObject*) { f->log.push_back("hook"); });
    f->edit1->OnEnter(f->edit1);
    saved(f->edit1);
    EXPECT_EQ(f->log, (std::vector<std::string>{"hook", "enter edit1"}));
    f->edit1->OnEnter = saved;
    EXPECT_TRUE(f->edit1->OnEnter == saved);
    // A handler of another signature is refused.
    EXPECT_THROW(SetMethodProp(f->edit1, "OnKeyPress", enter), EPropertyError);
    SetMethodProp(f->edit1, "OnEnter", TMethod());
    EXPECT_FALSE(f->edit1->OnEnter.Assigned());
    f->Free();
}

TEST(Components, OwnershipNamesAndNotification) {
    auto* owner = new TComponent(nullptr);
    auto* a = new TComponent(owner);
    a->SetName("Alpha");
    auto* b = new TComponent(owner);
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("ALPHA"), a);
    EXPECT_THROW(b->SetName("alpha"), EComponentError);
    EXPECT_THROW(b->SetName("1bad"), EComponentError);
    b->SetName("Beta");
    EXPECT_EQ(b->ComponentIndex(), 1);
    b->Free();
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->FindComponent("Beta"), nullptr);
    owner->Free();  // frees Alpha too (a sanitizer build sees a leak or double free otherwise)
}

TEST(Components, FreeNotificationClearsReferences) {
    auto* form = CreateForm<TForm>(nullptr);
    auto* label = new TLabel(form);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    label->SetFocusControl(edit);
    auto* menu = new TPopupMenu(form);
    edit->SetPopupMenu(menu);
    edit->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_EQ(form->ControlCount(), 0);
    auto* edit2 = new TEdit(form);
    edit2->SetPopupMenu(menu);
    menu->Free();
    EXPECT_EQ(edit2->PopupMenu(), nullptr);
    form->Free();
}

TEST(Controls, AlignmentFillsTheClientArea) {
    auto* form = CreateForm<TForm>(nullptr);
    form->SetBounds(0, 0, 509, 355);
    EXPECT_EQ(form->ClientWidth(), 501);
    EXPECT_EQ(form->ClientHeight(), 328);
    auto make = [&](TAlign a, int w, int h) {
        auto* c = new TEdit(form);
        c->SetBounds(0, 0, w, h);
        c->SetParent(form);
        c->SetAlign(a);
        return c;
    };
    TEdit* bottom = make(TAlign::alBottom, 10, 43);
    TEdit* left = make(TAlign::alLeft, 151, 10);
    TEdit* client = make(TAlign::alClient, 10, 10);
    TEdit* split = make(TAlign::alLeft, 3, 10);  // added last at the left edge: it goes first
    EXPECT_EQ(split->Left(), 0);
    split->SetAlign(TAlign::alNone);
    split->SetLeft(200);  // dropped right of the panel, as a designer places a splitter
    split->SetAlign(TAlign::alLeft);
    EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 285, 501, 328}));
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 151, 285}));
    EXPECT_EQ(split->BoundsRect(), (TRect{151, 0, 154, 285}));
    EXPECT_EQ(client->BoundsRect(), (TRect{154, 0, 501, 285}));
    form->SetBounds(0, 0, 609, 455);
    EXPECT_EQ(client->BoundsRect(), (TRect{154, 0, 601, 385}));
    left->Hide();
    EXPECT_EQ(split->Left(), 0);
    form->Free();
}

TEST(Focus, ExitAndEnterRunInOrderAndCanBeInterrupted) {
    TTestForm* f = CreateForm<TTestForm>(nullptr);
    for (TEdit* e : {f->edit1, f->edit2}) {
        e->OnEnter = TNotifyEvent(f, &TTestForm::EditEnter);
        e->OnExit = TNotifyEvent(f, &TTestForm::EditExit);
    }
    f->Show();  // activating focuses the first control in tab order
    EXPECT_EQ(f->ActiveControl(), f->edit1);
    f->edit2->SetFocus();
    EXPECT_EQ(f->log, (std::vector<std::string>{"enter edit1", "exit edit1", "enter edit2"}));
    // A validation that sends the focus back during exit wins.
    f->log.clear();
    f->edit2->OnExit = TNotifyEvent::Lambda([&](TObject*) {
        f->log.push_back("validate");
        f->edit2->OnExit.Clear();
        f->edit2->SetFocus();
    });
    f->ok->SetFocus();
    EXPECT_EQ(f->ActiveControl(), f->edit2);
    f->edit2->Hide();
    EXPECT_EQ(f->ActiveControl(), nullptr);  // a hidden control gives up the focus
    EXPECT_FALSE(f->edit2->CanFocus());
    EXPECT_THROW(f->edit2->SetFocus(), EInvalidOperation);
    f->Free();
}

TEST(Focus, TabOrderAndDialogKeys) {
    TTestForm* f = CreateForm<TTestForm>(nullptr);
    f->ok->SetTabOrder(0);
    EXPECT_EQ(f->ok->TabOrder(), 0);
    EXPECT_EQ(f->edit1->TabOrder(), 1);
    f->Show();
    EXPECT_EQ(f->ActiveControl(), f->ok);
    f->ok->SendKey(VK_TAB);
    EXPECT_EQ(f->ActiveControl(), f->edit1);
    f->edit1->SendKey(VK_TAB, ssShift);
    EXPECT_EQ(f->ActiveControl(), f->ok);
    int clicks = 0;
    f->ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    f->edit2->SetFocus();
    f->edit2->SendKey(VK_RETURN);
    EXPECT_EQ(clicks, 1);
    // Key preview lets the form see keys first and consume them.
    f->SetKeyPreview(true);
    f->OnKeyDown = TKeyEvent::Lambda([](TObject*, uint16_t& key, TShiftState) {
        if (key == VK_RETURN) key = 0;
    });
    f->edit2->SendKey(VK_RETURN);
    EXPECT_EQ(clicks, 1);
    f->Free();
}

TEST(Forms, ShowHideCloseAndRelease) {
    TTestForm* f = CreateForm<TTestForm>(nullptr);
    std::vector<std::string> events;
    f->OnShow = TNotifyEvent::Lambda([&](TObject*) { events.push_back("show"); });
    f->OnHide = TNotifyEvent::Lambda([&](TObject*) { events.push_back("hide"); });
    f->OnClose = TCloseEvent::Lambda([&](TObject*, TCloseAction& a) {
        events.push_back("close");
        a = TCloseAction::caFree;
    });
    bool destroyed = false;
    f->OnDestroy = TNotifyEvent::Lambda([&](TObject*) { destroyed = true; });
    f->Show();
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(WindowSystem().ForegroundWindow(), f->Handle());
    f->Close();
    EXPECT_FALSE(destroyed);  // freed once the queued messages are handled
    Application().ProcessMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
}

TEST(Forms, ModalRunsThroughTheWindowSystem) {
    TTestForm* f = CreateForm<TTestForm>(nullptr);
    WindowSystem().SetModalRunner([](TCustomForm& form) {
        static_cast<TTestForm&>(form).ok->Click();
    });
    EXPECT_EQ(f->ShowModal(), mrOk);
    EXPECT_FALSE(f->Visible());
    // A close refused once is asked again.
    int queries = 0;
    f->OnCloseQuery = TCloseQueryEvent::Lambda([&](TObject*, bool& can) { can = ++queries > 1; });
    EXPECT_EQ(f->ShowModal(), mrOk);
    EXPECT_EQ(queries, 2);
    WindowSystem().SetModalRunner({});
    f->OnCloseQuery.Clear();
    EXPECT_EQ(f->ShowModal(), mrCancel);  // nobody answers: cancelled
    f->Show();
    EXPECT_THROW(f->ShowModal(), EInvalidOperation);
    f->Free();
}

TEST(Dialogs, MessageDialogHasNamedButtons) {
    std::vector<std::string> seen;
    WindowSystem().SetModalRunner([&](TCustomForm& form) {
        auto& dlg = dynamic_cast<TMessageForm&>(form);
        seen.push_back(form.Caption() + "|" + dlg.MessageLabel()->Caption());
        for (TButton* b : dlg.Buttons()) seen.push_back(b->Name() + "=" + b->Caption());
        dynamic_cast<TButton*>(form.FindComponent("No"))->Click();
    });
    const int r = MessageDlg("Delete?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbNo, TMsgDlgBtn::mbYes});
    WindowSystem().SetModalRunner({});
    EXPECT_EQ(r, mrNo);
    EXPECT_EQ(seen, (std::vector<std::string>{"Confirm|Delete?", "Yes=&Yes", "No=&No"}));
    EXPECT_EQ(Screen().FormCount(), 0);
}

TEST(Messages, PostedMessagesReachLiveWindowsOnly) {
    TTestForm* f = CreateForm<TTestForm>(nullptr);
    int ups = 0;
    f->edit1->OnMouseUp = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; });
    const uintptr_t h1 = f->edit1->Handle();
    Application().PostMessage(h1, WM_LBUTTONUP, 0, 0);
    Application().PostMessage(f->edit2->Handle(), WM_LBUTTONUP, 0, 0);
    f->edit2->Free();
    Application().ProcessMessages();
    EXPECT_EQ(ups, 1);
    EXPECT_FALSE(Application().PostMessage(0xDEAD, WM_CLOSE, 0, 0));
    f->Free();
    EXPECT_FALSE(WindowSystem().IsWindow(h1));
}

}  // namespace
