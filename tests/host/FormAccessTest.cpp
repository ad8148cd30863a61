// Acting on a form the way the launcher does: by name, as the user would, and dumping it.
#include <gtest/gtest.h>

#include "FormAccess.h"
#include "TestForm.h"

using hosttest::TTestForm;
using launcher::ActionError;
using launcher::Json;

namespace {

class FormAccess : public ::testing::Test {
protected:
    TTestForm* form = hosttest::NewTestForm();
    void TearDown() override { form->Free(); }

    // The message of the ActionError that `action` raises.
    template <typename F>
    std::string Refusal(F action) {
        try {
            action();
        } catch (const ActionError& e) {
            return e.what();
        }
        return "(no error)";
    }
    // A child node by name; the test fails when there is none.
    static const Json* Child(const Json& node, const std::string& name) {
        if (const Json* children = node.Find("children")) {
            for (const Json& c : children->Items()) {
                if (c.At("name").AsString() == name) return &c;
            }
        }
        throw std::runtime_error("no child " + name + " in " + node.Dump());
    }
};

TEST_F(FormAccess, FindsComponentsByNameWithoutRegardToCase) {
    EXPECT_EQ(launcher::FindByName(form, "EDNAME"), form->edName);
    EXPECT_EQ(launcher::FindByName(form, "frmtest"), form);
    EXPECT_EQ(launcher::FindByName(form, "edInner"), form->edInner);
    EXPECT_EQ(launcher::FindByName(form, "nothing"), nullptr);
    EXPECT_EQ(Refusal([&] { launcher::RequireComponent(*form, "btnGone"); }),
              "the form frmTest (TTestForm) has no component 'btnGone'");
}

TEST_F(FormAccess, DumpIsTheComponentTree) {
    form->Show();
    form->edName->SetText("李雷");
    form->cboKind->SetItemIndex(1);
    form->chkFlag->SetChecked(true);
    form->SetActiveControl(form->lstItems);
    const Json dump = launcher::DumpComponent(form);
    EXPECT_EQ(dump.At("name").AsString(), "frmTest");
    EXPECT_EQ(dump.At("class").AsString(), "TTestForm");
    EXPECT_EQ(dump.At("caption").AsString(), "测试窗体");
    EXPECT_TRUE(dump.At("visible").AsBool());
    EXPECT_EQ(dump.At("width").AsInt(), 400);
    // Controls in z-order, each with its own shape.
    std::vector<std::string> names;
    for (const Json& c : dump.At("children").Items()) names.push_back(c.At("name").AsString());
    EXPECT_EQ(names, (std::vector<std::string>{"edName", "btnAsk", "btnOk", "btnQuit", "btnOff", "btnHidden", "lblAnswer",
                                               "lstItems", "cboKind", "chkFlag", "gbHidden", "lvDocs", "pgPages"}));
    EXPECT_EQ(Child(dump, "edName")->Dump(),
              R"({"name":"edName","class":"TEdit","text":"李雷","visible":true,"enabled":true,"left":8,"top":8,"width":120,"height":21})");
    EXPECT_EQ(Child(dump, "btnAsk")->At("caption").AsString(), "&Ask");
    EXPECT_FALSE(Child(dump, "btnOff")->At("enabled").AsBool());
    EXPECT_FALSE(Child(dump, "btnHidden")->At("visible").AsBool());
    const Json* list = Child(dump, "lstItems");
    EXPECT_EQ(list->At("rows").Dump(), R"(["alpha","beta","gamma"])");
    EXPECT_EQ(list->At("itemIndex").AsInt(), -1);
    EXPECT_TRUE(list->At("focused").AsBool());
    EXPECT_EQ(Child(dump, "edName")->Find("focused"), nullptr);
    const Json* combo = Child(dump, "cboKind");
    EXPECT_EQ(combo->At("text").AsString(), "week");
    EXPECT_EQ(combo->At("itemIndex").AsInt(), 1);
    EXPECT_EQ(combo->At("rows").Dump(), R"(["day","week"])");
    EXPECT_TRUE(Child(dump, "chkFlag")->At("checked").AsBool());
    // A list view's rows are its items' captions and sub-items.
    const Json* docs = Child(dump, "lvDocs");
    EXPECT_EQ(docs->At("rows").Dump(), R"([["Doc A","a.htm"],["Doc B","b.htm"]])");
    EXPECT_EQ(docs->At("columns").Dump(), R"(["Name","Address"])");
    EXPECT_EQ(docs->At("itemIndex").AsInt(), -1);
    const Json* pages = Child(dump, "pgPages");
    EXPECT_EQ(pages->At("tabs").Dump(), R"(["One","Two"])");
    EXPECT_EQ(pages->At("tabIndex").AsInt(), 0);
    EXPECT_EQ(pages->Find("rows"), nullptr);
    const Json* group = Child(dump, "gbHidden");
    EXPECT_EQ(Child(*group, "edInner")->At("class").AsString(), "TEdit");
    // Components that are no controls are listed apart.
    EXPECT_EQ(dump.At("components").Dump(),
              R"([{"name":"miRefresh","class":"TMenuItem","caption":"刷新","visible":true,"enabled":true,"checked":false}])");
    // A dump of one control is its own subtree.
    EXPECT_EQ(launcher::DumpComponent(form->gbHidden).At("children").Items().size(), 1u);
}

TEST_F(FormAccess, OnlyWhatTheUserCanReachIsActedOn) {
    EXPECT_EQ(Refusal([&] { launcher::ClickAsUser(form->btnOk); }), "the form frmTest (TTestForm) is not shown (show it first)");
    form->Show();
    struct Case {
        const char* name;
        const char* refusal;
    } cases[] = {
        {"btnOff", "btnOff (TButton) is disabled"},
        {"btnHidden", "btnHidden (TButton) is hidden"},
        {"edInner", "edInner (TEdit) is on gbHidden (TGroupBox), which is hidden"},
    };
    for (const Case& c : cases) {
        ui::TComponent* comp = launcher::RequireComponent(*form, c.name);
        EXPECT_EQ(Refusal([&] { launcher::ClickAsUser(comp); }), c.refusal);
        EXPECT_EQ(Refusal([&] { launcher::TypeAsUser(comp, "x"); }), c.refusal);
    }
    form->miRefresh->SetEnabled(false);
    EXPECT_EQ(Refusal([&] { launcher::ClickAsUser(form->miRefresh); }), "miRefresh (TMenuItem) is disabled");
    EXPECT_TRUE(form->log.empty());
}

TEST_F(FormAccess, ClicksMoveTheFocusFirstAndToggleCheckBoxes) {
    form->Show();
    launcher::TypeAsUser(form->edName, "ab");
    launcher::ClickAsUser(form->btnOk);
    launcher::ClickAsUser(form->chkFlag);
    launcher::ClickAsUser(form->miRefresh);
    EXPECT_EQ(form->log, (std::vector<std::string>{"change a", "change ab", "exit edName", "click btnOk", "checked", "refresh"}));
    EXPECT_EQ(form->ActiveControl(), form->chkFlag);
    EXPECT_EQ(form->ModalResult(), ui::mrOk);
}

TEST_F(FormAccess, TypingGoesKeyByKeyIntoEditsAndCombos) {
    form->Show();
    launcher::TypeAsUser(form->cboKind, "w");  // a drop-down list picks by first letter
    EXPECT_EQ(form->cboKind->Text(), "week");
    launcher::TypeAsUser(form->lblAnswer, "set as text");
    EXPECT_EQ(form->lblAnswer->Caption(), "set as text");
    form->edName->SetMaxLength(3);
    launcher::TypeAsUser(form->edName, "abcdef");
    EXPECT_EQ(form->edName->Text(), "abc");
}

TEST_F(FormAccess, RowsAreSelectedAsTheUserClicksThem) {
    form->Show();
    launcher::SelectRow(form->lstItems, 2);
    launcher::SelectRow(form->cboKind, 0);
    EXPECT_EQ(form->lstItems->ItemIndex(), 2);
    EXPECT_EQ(form->cboKind->Text(), "day");
    // The list took the focus from the edit the form had focused.
    EXPECT_EQ(form->log, (std::vector<std::string>{"exit edName", "select 2", "kind day"}));
    EXPECT_EQ(Refusal([&] { launcher::SelectRow(form->lstItems, 3); }), "lstItems (TListBox) has no row 3 (it has 3 rows)");
    // A list view row, and page control tabs (by number, or by a click on the sheet).
    form->log.clear();
    launcher::SelectRow(form->lvDocs, 1);
    launcher::SelectRow(form->pgPages, 1);
    launcher::ClickAsUser(form->tsOne);
    EXPECT_EQ(form->lvDocs->ItemIndex(), 1);
    EXPECT_EQ(form->pgPages->ActivePage(), form->tsOne);
    EXPECT_EQ(form->log, (std::vector<std::string>{"open b.htm", "page tsTwo", "page tsOne"}));
    EXPECT_EQ(Refusal([&] { launcher::SelectRow(form->lvDocs, 2); }), "lvDocs (TListView) has no row 2 (it has 2 rows)");
    form->tsTwo->SetTabVisible(false);
    EXPECT_EQ(Refusal([&] { launcher::ClickAsUser(form->tsTwo); }), "the tab of tsTwo (TTabSheet) is hidden");
    EXPECT_EQ(Refusal([&] { launcher::SelectRow(form->edName, 0); }), "edName (TEdit) is no list");
    form->lstItems->SetEnabled(false);
    EXPECT_EQ(Refusal([&] { launcher::SelectRow(form->lstItems, 0); }), "lstItems (TListBox) is disabled");
}

TEST_F(FormAccess, PropertiesByPath) {
    launcher::SetPropertyText(*form, "edName.Text", "王");
    launcher::SetPropertyText(*form, "lblAnswer.Font.Size", "12");
    launcher::SetPropertyText(*form, "frmTest.Tag", "7");
    launcher::SetPropertyText(*form, "chkFlag.Checked", "True");
    EXPECT_EQ(form->edName->Text(), "王");
    EXPECT_EQ(form->lblAnswer->Font()->Size(), 12);
    EXPECT_EQ(form->Tag(), 7);
    EXPECT_TRUE(form->chkFlag->Checked());
    EXPECT_EQ(launcher::GetPropertyText(*form, "lblAnswer.Font.Size"), "12");
    EXPECT_EQ(launcher::GetPropertyText(*form, "cboKind.Style"), "csDropDownList");
    struct Case {
        const char* path;
        const char* value;
        const char* refusal;
    } cases[] = {
        {"edName", "x", "'edName' names no property (NAME.PROPERTY)"},
        {"edName.", "x", "'edName.' has an empty part"},
        {"edName.Colour", "x", "edName (TEdit) has no published property Colour"},
        {"edName.Font.Weight", "x", "edName.Font (TFont) has no published property Weight"},
        {"edName.Text.Length", "x", "edName.Text is no object"},
        {"edName.PopupMenu.AutoPopup", "x", "edName.PopupMenu is empty"},
        {"edName.OnExit", "x", "edName.OnExit is an event and cannot be set from text"},
        {"edName.MaxLength", "many", "edName.MaxLength: "},
        {"ghost.Text", "x", "the form frmTest (TTestForm) has no component 'ghost'"},
    };
    for (const Case& c : cases) {
        const std::string r = Refusal([&] { launcher::SetPropertyText(*form, c.path, c.value); });
        EXPECT_EQ(r.rfind(c.refusal, 0), 0u) << c.path << ": " << r;
    }
}

TEST(DialogAccess, ReadsAndAnswersAMessageDialogByName) {
    ui::TMessageForm* dialog =
        ui::CreateMessageDialog("E;000006", ui::TMsgDlgType::mtError, {ui::TMsgDlgBtn::mbYes, ui::TMsgDlgBtn::mbCancel});
    EXPECT_TRUE(launcher::IsMessageDialog(*dialog));
    EXPECT_EQ(launcher::DialogToJson(*dialog).Dump(),
              R"({"type":"mtError","caption":"Error","text":"E;000006","buttons":["Yes=&Yes","Cancel=Cancel"]})");
    EXPECT_EQ(launcher::FindDialogButton(*dialog, "yes"), dialog->FindComponent("Yes"));
    EXPECT_EQ(launcher::FindDialogButton(*dialog, "&Yes"), dialog->FindComponent("Yes"));  // by caption
    EXPECT_EQ(launcher::FindDialogButton(*dialog, "No"), nullptr);
    dialog->Free();
    ui::TMessageForm* dialog2 = ui::CreateMessageDialog("Bye", ui::TMsgDlgType::mtInformation, {ui::TMsgDlgBtn::mbOK});
    TTestForm* form = hosttest::NewTestForm();
    EXPECT_FALSE(launcher::IsMessageDialog(*form));
    EXPECT_EQ(launcher::Describe(dialog2), "the dialog \"Bye\"");
    EXPECT_EQ(launcher::Describe(form), "frmTest (TTestForm)");
    dialog2->Free();
    form->Free();
}

}  // namespace
