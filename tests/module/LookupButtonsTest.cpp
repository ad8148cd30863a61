// The glyph button, the lookup button and the edits with their own label and button.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "controls/F2Button.h"
#include "controls/GSpdBtn.h"
#include "controls/TgkEdit.h"
#include "platform/data/DBClient.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "support/ScriptedUser.h"

using namespace ui;
using kpatest::ScriptedUser;

namespace {

// A form that records the lookup requests it is sent.
class TLookupForm : public TForm {
public:
    explicit TLookupForm(TComponent* owner) : TForm(owner) {}
    std::vector<std::string>* log = nullptr;
    std::vector<TWinControl*> lookups;
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_OPENLOOKUP) {
            EXPECT_EQ(m.WParam, 0);
            lookups.push_back(reinterpret_cast<TWinControl*>(m.LParam));
            if (log) log->push_back("lookup");
            return;
        }
        TForm::WndProc(m);
    }
};

class LookupControls : public ::testing::Test {
protected:
    ScriptedUser user;
    TLookupForm* form = nullptr;
    std::vector<std::string> log;

    void SetUp() override {
        form = CreateForm<TLookupForm>(nullptr);
        form->log = &log;
        form->SetBounds(0, 0, 640, 480);
        form->Show();
    }
    void TearDown() override {
        form->Free();
        Application().ProcessMessages();
    }
    template <typename T>
    T* Make(const std::string& name, TWinControl* parent = nullptr) {
        T* c = new T(form);
        c->SetName(name);
        c->SetParent(parent ? parent : form);
        return c;
    }
    TNotifyEvent Logger(const std::string& what) {
        return TNotifyEvent::Lambda([this, what](TObject*) { log.push_back(what); });
    }
};

// Puts another glyph library in place for a scope.
class ScopedGlyphLibrary {
public:
    explicit ScopedGlyphLibrary(TGlyphLibrary* library) : before_(SetGlyphLibrary(library)) {}
    ~ScopedGlyphLibrary() { SetGlyphLibrary(before_); }

private:
    TGlyphLibrary* before_;
};

std::string PixelsOf(const TBitmap* b) {
    std::string s;
    for (int y = 0; y < b->Height(); ++y) s.append(reinterpret_cast<const char*>(b->ScanLine(y)), static_cast<size_t>(b->Width() * 3));
    return s;
}

TRect Bounds(const TControl* c) { return c->BoundsRect(); }
TRect Rect(int l, int t, int w, int h) { return TRect{l, t, l + w, t + h}; }

}  // namespace

// ---- TGSpeedButton -------------------------------------------------------------------------------

TEST_F(LookupControls, GlyphByNumberAndTheNumberAsCaptionWithoutOne) {
    struct Case {
        int index;
        const char* caption;
        int width;      // of the strip; 0: no picture
        int numGlyphs;  // checked when there is a picture
    } cases[] = {
        {8, "", 16, 1},     {4, "", 32, 2},       {9, "", 16, 1},     {39, "", 16, 1}, {47, "", 16, 1},
        {0, "0", 0, 0},     {48, "48", 0, 0},     {5, "5", 0, 0},     {-3, "-3", 0, 0},
    };
    for (const Case& c : cases) {
        auto* b = Make<TGSpeedButton>("b");
        // Start from another picture, which must not stay.
        b->SetGlyphIndex(c.index == 9 ? 8 : 9);
        ASSERT_FALSE(b->Glyph()->Empty());
        b->SetGlyphIndex(c.index);
        EXPECT_EQ(b->GlyphIndex(), c.index);
        EXPECT_EQ(b->Caption(), c.caption) << c.index;
        EXPECT_EQ(b->Glyph()->Width(), c.width) << c.index;
        if (c.width) {
            EXPECT_EQ(b->NumGlyphs(), c.numGlyphs) << c.index;
            TBitmap expected;
            ASSERT_TRUE(GlyphLibrary().LoadBmp(&expected, c.index));
            EXPECT_EQ(PixelsOf(b->Glyph()), PixelsOf(&expected)) << c.index;
        }
        b->Free();
    }
    EXPECT_TRUE(user.Dialogs().empty());
}

TEST_F(LookupControls, TheSameNumberAgainChangesNothing) {
    auto* b = Make<TGSpeedButton>("b");
    b->SetGlyphIndex(9);
    b->SetCaption("x");
    b->SetGlyphIndex(9);
    EXPECT_EQ(b->Caption(), "x");
    // A stored form sets the number by name.
    SetPropText(b, "GlyphIndex", "47");
    EXPECT_EQ(b->GlyphIndex(), 47);
    EXPECT_EQ(b->Glyph()->Width(), 16);
}

namespace {
int32_t TenGlyphs() { return 10; }
int32_t NoBitmap(uint8_t* buffer, int32_t capacity, int32_t) {
    static const char bytes[] = "BMxx";
    if (buffer && capacity >= 4) std::copy(bytes, bytes + 4, buffer);
    return 4;
}
}  // namespace

TEST_F(LookupControls, AGlyphThatCannotBeReadIsShownInTheErrorDialog) {
    auto* b = Make<TGSpeedButton>("b");
    b->SetGlyphIndex(8);
    TGlyphLibrary broken(&TenGlyphs, &NoBitmap);
    ScopedGlyphLibrary use(&broken);

    b->SetGlyphIndex(3);
    ASSERT_EQ(user.Dialogs().size(), 1u);
    EXPECT_EQ(user.Dialogs()[0].text, "读取 BMP 发生错误");
    EXPECT_EQ(user.Dialogs()[0].type, "mtError");
    ASSERT_EQ(user.Dialogs()[0].buttons.size(), 1u);
    EXPECT_EQ(user.Dialogs()[0].buttons[0].substr(0, 3), "OK=");
    EXPECT_EQ(b->Caption(), "3");
    EXPECT_TRUE(b->Glyph()->Empty());

    // Above the library's highest number nothing is read, so nothing can fail.
    b->SetGlyphIndex(11);
    EXPECT_EQ(user.Dialogs().size(), 1u);
    EXPECT_EQ(b->Caption(), "11");
}

TEST_F(LookupControls, PublishedPropertiesAndTheirDefaults) {
    auto* gsb = Make<TGSpeedButton>("gsb");
    auto* f2 = Make<TF2Button>("f2");
    auto* tg = Make<TTgEdit>("tg");
    auto* db = Make<TTgDBEdit>("db");
    auto* btn = Make<TTgBtnDBEdit>("btn");
    struct Case {
        TObject* object;
        const char* property;
        const char* text;      // the value now
        std::optional<int64_t> def;
    } cases[] = {
        {gsb, "GlyphIndex", "0", 0},        {gsb, "HintIndex", "0", 0},          {gsb, "Flat", "False", 0},
        {f2, "GlyphIndex", "8", 0},         {f2, "AutoAlign", "True", 1},        {f2, "Gap", "2", 2},
        {f2, "Flat", "True", 0},            {f2, "Caption", "", std::nullopt},   {tg, "Caption", "", std::nullopt},
        {tg, "LabelPosition", "lpLeft", 2}, {tg, "LabelSpacing", "4", 4},        {db, "LabelPosition", "lpLeft", 2},
        {db, "LabelSpacing", "4", 4},       {db, "DataField", "", std::nullopt}, {btn, "ButtonSpacing", "2", 2},
        {btn, "GlyphIndex", "8", 8},        {btn, "ButtonHint", "", std::nullopt},
    };
    for (const Case& c : cases) {
        ASSERT_NE(GetPropInfo(c.object, c.property), nullptr) << c.property;
        EXPECT_EQ(GetPropText(c.object, c.property), c.text) << c.object->ClassName() << "." << c.property;
        EXPECT_EQ(GetPropInfo(c.object, c.property)->Default, c.def) << c.object->ClassName() << "." << c.property;
    }
    EXPECT_NE(GetPropInfo(gsb, "Glyph"), nullptr);
    EXPECT_NE(GetPropInfo(btn, "OnDialog"), nullptr);
    EXPECT_NE(GetPropInfo(f2, "F2Control"), nullptr);
    // The edits' own parts, by their names.
    EXPECT_EQ(tg->FindComponent("EditLabel"), tg->EditLabel());
    EXPECT_EQ(btn->FindComponent("F2Button"), btn->Button());
    EXPECT_EQ(tg->EditLabel()->FocusControl(), tg);
    EXPECT_TRUE(btn->Button()->Flat());
    EXPECT_EQ(btn->Button()->GlyphIndex(), 8);
    EXPECT_FALSE(btn->Button()->Glyph()->Empty());
}

// ---- TF2Button ------------------------------------------------------------------------------------

TEST_F(LookupControls, TheLookupButtonStandsSquareRightOfItsControl) {
    struct Case {
        int gap;
        TRect control;
        TRect button;
    } cases[] = {
        {2, Rect(10, 20, 100, 21), Rect(112, 20, 21, 21)},
        {0, Rect(10, 20, 100, 21), Rect(110, 20, 21, 21)},
        {7, Rect(50, 5, 80, 30), Rect(137, 5, 30, 30)},
        {255, Rect(0, 0, 10, 12), Rect(265, 0, 12, 12)},
    };
    for (const Case& c : cases) {
        auto* edit = Make<TEdit>("edit");
        edit->SetBounds(c.control.Left, c.control.Top, c.control.Width(), c.control.Height());
        auto* b = Make<TF2Button>("button");
        SetOrdProp(b, "Gap", c.gap);
        b->SetF2Control(edit);
        EXPECT_EQ(Bounds(b), c.button) << c.gap;
        // In a running form the button does not follow its control by itself.
        edit->SetBounds(c.control.Left + 5, c.control.Top + 5, c.control.Width() + 5, c.control.Height() + 5);
        EXPECT_EQ(Bounds(b), c.button) << c.gap;
        b->Free();
        edit->Free();
    }
}

TEST_F(LookupControls, TheButtonIsAlignedOnlyWhenItsSettingsChange) {
    auto* edit = Make<TEdit>("edit");
    edit->SetBounds(10, 20, 100, 21);
    auto* other = Make<TEdit>("other");
    other->SetBounds(10, 60, 100, 25);
    auto* b = Make<TF2Button>("button");
    b->SetF2Control(edit);
    ASSERT_EQ(Bounds(b), Rect(112, 20, 21, 21));

    b->SetBounds(300, 300, 40, 40);
    b->SetGap(2);  // the same gap: nothing
    EXPECT_EQ(Bounds(b), Rect(300, 300, 40, 40));
    b->SetGap(3);
    EXPECT_EQ(Bounds(b), Rect(113, 20, 21, 21));

    b->SetAutoAlign(false);
    b->SetBounds(300, 300, 40, 40);
    b->SetF2Control(other);
    b->SetF2Control(edit);
    b->SetGap(9);
    EXPECT_EQ(Bounds(b), Rect(300, 300, 40, 40));
    b->SetAutoAlign(true);
    EXPECT_EQ(Bounds(b), Rect(119, 20, 21, 21));
    EXPECT_TRUE(user.Dialogs().empty());
}

TEST_F(LookupControls, OneLookupButtonPerControl) {
    const std::string refusal = "不能同时有两个 F2Button 指到同一个 Edit.";
    auto* edit1 = Make<TEdit>("edit1");
    auto* edit2 = Make<TEdit>("edit2");
    auto* a = Make<TF2Button>("a");
    auto* b = Make<TF2Button>("b");
    a->SetF2Control(edit1);
    b->SetF2Control(edit2);
    b->SetF2Control(edit1);
    ASSERT_EQ(user.DialogTexts(), std::vector<std::string>{refusal});
    EXPECT_EQ(user.Dialogs()[0].type, "mtError");
    EXPECT_EQ(b->F2Control(), edit2);
    // Binding a button again to its own control is no second button.
    a->SetF2Control(edit1);
    EXPECT_EQ(user.Dialogs().size(), 1u);
    // Once the first lets go, the second may take the control.
    a->SetF2Control(nullptr);
    b->SetF2Control(edit1);
    EXPECT_EQ(b->F2Control(), edit1);
    EXPECT_EQ(user.Dialogs().size(), 1u);

    // The rule looks among the components the buttons' parent owns.
    auto* panel = Make<TPanel>("panel");
    auto* onPanel = Make<TEdit>("onPanel", panel);
    auto* p1 = new TF2Button(panel);
    p1->SetParent(panel);
    auto* p2 = new TF2Button(panel);
    p2->SetParent(panel);
    p1->SetF2Control(onPanel);
    p2->SetF2Control(onPanel);
    EXPECT_EQ(user.Dialogs().size(), 2u);
    EXPECT_EQ(p2->F2Control(), nullptr);
}

TEST_F(LookupControls, AClickAsksTheOwnersWindowForTheLookup) {
    struct Case {
        const char* name;
        bool bind, enabled, visible;
        bool lookup;
    } cases[] = {
        {"bound", true, true, true, true},
        {"control disabled", true, false, true, false},
        {"control hidden", true, true, false, false},
        {"no control", false, true, true, false},
    };
    for (const Case& c : cases) {
        auto* start = Make<TEdit>("start");
        auto* edit = Make<TEdit>("edit");
        auto* b = Make<TF2Button>("button");
        b->OnClick = Logger("click");
        start->SetFocus();
        if (c.bind) b->SetF2Control(edit);
        edit->SetEnabled(c.enabled);
        edit->SetVisible(c.visible);
        log.clear();
        form->lookups.clear();
        b->UserClick();
        const std::vector<std::string> expected =
            c.lookup ? std::vector<std::string>{"click", "lookup"} : std::vector<std::string>{"click"};
        EXPECT_EQ(log, expected) << c.name;
        if (c.lookup) {
            EXPECT_EQ(form->lookups, std::vector<TWinControl*>{edit}) << c.name;
            EXPECT_EQ(form->ActiveControl(), edit) << c.name;
        }
        b->Free();
        edit->Free();
        start->Free();
    }
}

TEST_F(LookupControls, AControlOwnedByNoWindowGetsNoLookup) {
    auto* holder = new TComponent(nullptr);
    auto* edit = new TEdit(holder);
    edit->SetParent(form);
    auto* b = Make<TF2Button>("button");
    b->SetF2Control(edit);
    b->UserClick();
    EXPECT_EQ(form->ActiveControl(), edit);
    EXPECT_TRUE(form->lookups.empty());
    holder->Free();
    EXPECT_EQ(b->F2Control(), nullptr);
}

TEST_F(LookupControls, TheButtonForgetsAControlFreedByItsOwnClick) {
    auto* edit = Make<TEdit>("edit");
    auto* b = Make<TF2Button>("button");
    b->SetF2Control(edit);
    b->OnClick = TNotifyEvent::Lambda([&](TObject*) {
        log.push_back("click");
        FreeAndNil(edit);
    });
    b->UserClick();
    EXPECT_EQ(b->F2Control(), nullptr);
    EXPECT_EQ(log, std::vector<std::string>{"click"});
    b->UserClick();
    EXPECT_EQ(log.size(), 2u);
}

// ---- The labelled edits ---------------------------------------------------------------------------

TEST_F(LookupControls, TheLabelStandsWhereItsPositionSaysMeasuredFromItsText) {
    const TLabelPosition positions[] = {TLabelPosition::lpAbove, TLabelPosition::lpBelow, TLabelPosition::lpLeft,
                                        TLabelPosition::lpRight};
    const char* captions[] = {"开始日期", "Start:", "编号 No."};
    for (int fontHeight : {-12, -16}) {
        for (const char* caption : captions) {
            for (TLabelPosition position : positions) {
                for (int spacing : {0, 4, 9}) {
                    auto* edit = Make<TTgEdit>("edit");
                    edit->Font()->SetHeight(fontHeight);
                    edit->EditLabel()->Font()->SetHeight(fontHeight);
                    edit->SetLabelPosition(position);
                    edit->SetLabelSpacing(spacing);
                    edit->SetCaption(caption);
                    edit->SetBounds(150, 80, 121, 21);
                    const int lw = TextWidth(*edit->EditLabel()->Font(), caption);
                    const int lh = TextHeight(*edit->EditLabel()->Font());
                    const int l = 150, t = 80, w = 121, h = 21, s = spacing;
                    TRect expected;
                    switch (position) {
                        case TLabelPosition::lpAbove: expected = Rect(l, t - lh - s, lw, lh); break;
                        case TLabelPosition::lpBelow: expected = Rect(l, t + h + s, lw, lh); break;
                        case TLabelPosition::lpLeft: expected = Rect(l - lw - s, t + (h - lh) / 2, lw, lh); break;
                        case TLabelPosition::lpRight: expected = Rect(l + w + s, t + (h - lh) / 2, lw, lh); break;
                    }
                    EXPECT_EQ(Bounds(edit->EditLabel()), expected)
                        << caption << " " << LabelPositionEnum().NameOf(static_cast<int>(position)) << " " << spacing;
                    EXPECT_EQ(edit->Caption(), caption);
                    edit->Free();
                }
            }
        }
    }
}

TEST_F(LookupControls, ALabelOfItsOwnSizeByTheDefaults) {
    auto* edit = Make<TTgEdit>("edit");
    TLabel* label = edit->EditLabel();
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 40, 13);
    edit->SetBounds(100, 50, 121, 21);
    EXPECT_EQ(Bounds(label), Rect(56, 54, 40, 13));
    // A negative spacing is refused; the label stays.
    edit->SetLabelSpacing(-2);
    EXPECT_EQ(edit->LabelSpacing(), 4);
    EXPECT_EQ(Bounds(label), Rect(56, 54, 40, 13));
    // The position by name, as stored forms and language files give it.
    SetPropText(edit, "LabelPosition", "lpRight");
    EXPECT_EQ(Bounds(label), Rect(225, 54, 40, 13));
    edit->SetLeft(0);
    EXPECT_EQ(Bounds(label), Rect(125, 54, 40, 13));
}

TEST_F(LookupControls, TheLabelFollowsParentEnabledAndVisible) {
    auto* panel = Make<TPanel>("panel");
    auto* edit = new TTgEdit(form);
    edit->SetCaption("名称");
    EXPECT_EQ(edit->EditLabel()->Parent(), nullptr);
    edit->SetParent(panel);
    EXPECT_EQ(edit->EditLabel()->Parent(), panel);
    edit->SetEnabled(false);
    EXPECT_FALSE(edit->EditLabel()->Enabled());
    edit->SetEnabled(true);
    EXPECT_TRUE(edit->EditLabel()->Enabled());
    edit->SetVisible(false);
    EXPECT_FALSE(edit->EditLabel()->Visible());
    edit->SetVisible(true);
    EXPECT_TRUE(edit->EditLabel()->Visible());
    // The label goes with its edit.
    const int before = panel->ControlCount();
    edit->Free();
    EXPECT_EQ(panel->ControlCount(), before - 2);
}

TEST_F(LookupControls, AnEditForgetsTheLabelOrButtonFreedBySomeoneElse) {
    auto* tg = Make<TTgEdit>("tg");
    auto* btn = Make<TTgBtnDBEdit>("btn");
    tg->EditLabel()->Free();
    btn->EditLabel()->Free();
    btn->Button()->Free();
    EXPECT_EQ(tg->EditLabel(), nullptr);
    EXPECT_EQ(btn->Button(), nullptr);
    for (TControl* c : std::vector<TControl*>{tg, btn}) {
        EXPECT_EQ(GetPropText(c, "Caption"), "");
        SetPropText(c, "Caption", "x");
        SetPropText(c, "LabelPosition", "lpAbove");
        SetOrdProp(c, "LabelSpacing", 7);
        c->SetBounds(5, 6, 70, 20);
        c->SetEnabled(false);
        c->SetVisible(false);
        c->SetParent(nullptr);
        c->SetParent(form);
    }
    EXPECT_EQ(btn->ButtonHint(), "");
    btn->SetButtonHint("h");
    btn->SetButtonSpacing(5);
    btn->SetGlyphIndex(9);
    EXPECT_EQ(btn->GlyphIndex(), 9);
    EXPECT_EQ(form->ControlCount(), 2);
}

// ---- TTgBtnDBEdit ---------------------------------------------------------------------------------

TEST_F(LookupControls, TheEditsButtonStandsSquareToItsRight) {
    struct Case {
        int spacing;
        TRect edit;
        TRect button;
    } cases[] = {
        {2, Rect(10, 20, 100, 21), Rect(112, 20, 21, 21)},
        {0, Rect(10, 20, 100, 21), Rect(110, 20, 21, 21)},
        {6, Rect(40, 3, 60, 24), Rect(106, 3, 24, 24)},
    };
    for (const Case& c : cases) {
        auto* edit = Make<TTgBtnDBEdit>("edit");
        edit->SetButtonSpacing(c.spacing);
        edit->SetBounds(c.edit.Left, c.edit.Top, c.edit.Width(), c.edit.Height());
        EXPECT_EQ(Bounds(edit->Button()), c.button) << c.spacing;
        edit->SetButtonSpacing(c.spacing + 3);
        EXPECT_EQ(edit->Button()->Left(), c.button.Left + 3) << c.spacing;
        edit->Free();
    }
}

TEST_F(LookupControls, TheEditsButtonFollowsTheEdit) {
    auto* panel = Make<TPanel>("panel");
    auto* edit = Make<TTgBtnDBEdit>("edit", panel);
    TGSpeedButton* b = edit->Button();
    EXPECT_EQ(b->Parent(), panel);
    edit->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
    edit->SetVisible(false);
    EXPECT_FALSE(b->Visible());
    edit->SetVisible(true);
    EXPECT_TRUE(b->Visible());
    edit->SetGlyphIndex(9);
    EXPECT_EQ(b->GlyphIndex(), 9);
    EXPECT_EQ(b->Caption(), "");
    SetPropText(edit, "ButtonHint", "日期快手");
    EXPECT_EQ(b->Hint(), "日期快手");
    EXPECT_EQ(edit->ButtonHint(), "日期快手");
}

TEST_F(LookupControls, TheEditsButtonRaisesOnDialogInsteadOfTheLookup) {
    auto* start = Make<TEdit>("start");
    auto* edit = Make<TTgBtnDBEdit>("edit");
    start->SetFocus();
    edit->Button()->UserClick();
    EXPECT_EQ(log, std::vector<std::string>{"lookup"});
    EXPECT_EQ(form->lookups, std::vector<TWinControl*>{edit});
    EXPECT_EQ(form->ActiveControl(), edit);

    start->SetFocus();
    log.clear();
    TObject* sender = nullptr;
    edit->OnDialog = TNotifyEvent::Lambda([&](TObject* s) {
        sender = s;
        log.push_back("dialog");
    });
    edit->Button()->UserClick();
    EXPECT_EQ(log, std::vector<std::string>{"dialog"});
    EXPECT_EQ(sender, edit);
    EXPECT_EQ(form->ActiveControl(), start);
}

// ---- The data-aware edit --------------------------------------------------------------------------

class DataEdit : public LookupControls {
protected:
    data::TClientDataSet* people = nullptr;
    data::TDataSource* source = nullptr;
    TTgDBEdit* edit = nullptr;
    TEdit* other = nullptr;

    void SetUp() override {
        LookupControls::SetUp();
        people = new data::TClientDataSet(form);
        people->FieldDefs()->Add("NAME", data::TFieldType::ftString, 20);
        people->CreateDataSet();
        for (const char* name : {"Alice", "Bob"}) {
            people->Append();
            people->FieldByName("NAME")->SetAsString(name);
            people->Post();
        }
        people->First();
        source = new data::TDataSource(form);
        source->SetDataSet(people);
        other = Make<TEdit>("other");
        edit = Make<TTgDBEdit>("edit");
        edit->SetDataSource(source);
        SetPropText(edit, "DataField", "NAME");
    }
};

TEST_F(DataEdit, ShowsTheFieldOfTheCurrentRecord) {
    EXPECT_EQ(edit->Text(), "Alice");
    people->Next();
    EXPECT_EQ(edit->Text(), "Bob");
    edit->SetDataField("NOSUCH");
    EXPECT_EQ(edit->Text(), "");
    edit->SetDataField("NAME");
    people->Close();
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(DataEdit, TypingEditsTheRecordAndLeavingWritesTheField) {
    edit->SetFocus();
    edit->TypeText("Carol");
    EXPECT_EQ(edit->Text(), "Carol");
    EXPECT_TRUE(edit->DataModified());
    EXPECT_EQ(people->State(), data::TDataSetState::dsEdit);
    EXPECT_EQ(people->FieldByName("NAME")->AsString(), "Alice");
    other->SetFocus();
    EXPECT_EQ(people->FieldByName("NAME")->AsString(), "Carol");
    EXPECT_FALSE(edit->DataModified());
    people->Post();
    people->First();
    EXPECT_EQ(edit->Text(), "Carol");
}

TEST_F(DataEdit, AnEditThatCannotModifyTakesNoTyping) {
    struct Case {
        const char* name;
        bool autoEdit, readOnly;
    } cases[] = {{"no auto edit", false, false}, {"read only", true, true}};
    for (const Case& c : cases) {
        source->SetAutoEdit(c.autoEdit);
        edit->SetReadOnly(c.readOnly);
        edit->SetFocus();
        edit->TypeText("Zed");
        EXPECT_EQ(edit->Text(), "Alice") << c.name;
        EXPECT_FALSE(edit->DataModified()) << c.name;
        EXPECT_EQ(people->State(), data::TDataSetState::dsBrowse) << c.name;
        other->SetFocus();
    }
}

TEST_F(DataEdit, ATextTheFieldRefusesKeepsTheFocus) {
    source->SetAutoEdit(false);
    edit->SetFocus();
    edit->SetText("Zed");
    EXPECT_THROW(other->SetFocus(), data::EDatabaseError);
    EXPECT_EQ(form->ActiveControl(), edit);
    EXPECT_EQ(edit->Text(), "Zed");
    edit->DataChange();
    EXPECT_EQ(edit->Text(), "Alice");
    other->SetFocus();
    EXPECT_EQ(people->FieldByName("NAME")->AsString(), "Alice");
}

TEST_F(DataEdit, AFreedDataSourceIsForgotten) {
    source->Free();
    EXPECT_EQ(edit->DataSource(), nullptr);
    EXPECT_EQ(edit->Text(), "");
    edit->SetText("free text");
    EXPECT_EQ(edit->Text(), "free text");
    EXPECT_EQ(edit->Field(), nullptr);
}
