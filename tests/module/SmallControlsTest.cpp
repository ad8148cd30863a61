// The small controls: the attached label, the system's spin edit, the self-drawn page tabs and
// the glyph check box, with the tabs and the check box painted into bitmaps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/BtChkBox.h"
#include "controls/DBLabel.h"
#include "controls/ExtPage.h"
#include "controls/TgSpin.h"
#include "platform/data/DB.h"
#include "platform/data/DBClient.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "support/ScriptedUser.h"

using namespace ui;
using kpatest::ScriptedUser;

namespace {

// An edit bound to a data field, as the data-aware edits publish it.
class TFieldEdit : public TEdit {
public:
    explicit TFieldEdit(TComponent* owner) : TEdit(owner) {}
    static const ClassInfo& StaticClassInfo() {
        static const ClassInfo info = ClassBuilder<TFieldEdit>("TFieldEdit", &TEdit::StaticClassInfo())
                                          .Str("DataField", &TFieldEdit::DataField, &TFieldEdit::SetDataField)
                                          .Object<data::TDataSource>("DataSource", &TFieldEdit::DataSource, &TFieldEdit::SetDataSource)
                                          .Build();
        return info;
    }
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    const std::string& DataField() const { return field_; }
    void SetDataField(const std::string& v) { field_ = v; }
    data::TDataSource* DataSource() const { return source_; }
    void SetDataSource(data::TDataSource* v) { source_ = v; }

private:
    std::string field_;
    data::TDataSource* source_ = nullptr;
};

// A form-less owner for controls, freed at the end of the test.
struct Owner {
    TComponent* o = new TComponent(nullptr);
    ~Owner() { o->Free(); }
};

TEdit* EditAt(TComponent* owner, int left, int top, int width, int height) {
    auto* e = new TEdit(owner);
    e->SetBounds(left, top, width, height);
    return e;
}

TDBLabel* FixedLabel(TComponent* owner, int width, int height) {
    auto* l = new TDBLabel(owner);
    l->SetAutoSize(false);
    l->SetBounds(0, 0, width, height);
    return l;
}

}  // namespace

// ---- TDBLabel ----------------------------------------------------------------------------------

TEST(DBLabels, DefaultsAndPublishedProperties) {
    Owner owner;
    auto* label = new TDBLabel(owner.o);
    EXPECT_EQ(label->ClassName(), "TDBLabel");
    EXPECT_TRUE(label->InheritsFrom("TLabel"));
    EXPECT_EQ(label->Caption(), "挂靠标签");
    // Auto-sized to the caption as measured.
    EXPECT_EQ(label->Width(), TextWidth(*label->Font(), "挂靠标签"));
    EXPECT_EQ(label->Height(), TextHeight(*label->Font()));
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"AutoAlign", "True"}, {"AutoCaption", "True"}, {"FocusControl", ""}, {"Gap", "4"}, {"Pos", "psLeft"}}) {
        EXPECT_EQ(GetPropText(label, name), value) << name;
    }
    SetPropText(label, "Pos", "psBottom");
    EXPECT_EQ(label->Pos(), TPos::psBottom);
    EXPECT_EQ(PosEnum().Names, (std::vector<std::string>{"psTop", "psLeft", "psRight", "psBottom"}));
}

TEST(DBLabels, AlignsBesideItsControl) {
    struct Case {
        TPos pos;
        int gap;
        int controlLeft, controlTop, labelHeight;
        int left, top;
    } cases[] = {
        {TPos::psLeft, 4, 42, 4, 13, 12, 8},           // 42 - 26 - 4; 4 + 21 div 2 - 13 div 2
        {TPos::psRight, 4, 42, 4, 13, 42 + 45 + 4, 8},
        {TPos::psTop, 4, 42, 40, 13, 42, 40 - 13 - 4},
        {TPos::psBottom, 2, 42, 4, 13, 42, 4 + 21 + 2},
        {TPos::psLeft, 4, 42, 4, 21, 12, 4},           // as high as the control: its top
        {TPos::psTop, 4, 42, 4, 13, 42, 0},            // above the parent's top: 0
        {TPos::psLeft, 4, 10, 4, 13, 0, 8},            // left of the parent: 0
        {TPos::psTop, 0, -5, 40, 13, -5, 27},          // only beside the control is left kept at 0
        {TPos::psRight, 10, -80, 4, 13, 0, 8},
    };
    for (const Case& c : cases) {
        Owner owner;
        TEdit* edit = EditAt(owner.o, c.controlLeft, c.controlTop, 45, 21);
        TDBLabel* label = FixedLabel(owner.o, 26, c.labelHeight);
        label->SetPos(c.pos);
        label->SetGap(static_cast<uint8_t>(c.gap));
        label->SetFocusControl(edit);
        EXPECT_EQ((TPoint{label->Left(), label->Top()}), (TPoint{c.left, c.top}))
            << PosEnum().NameOf(static_cast<int>(c.pos)) << " gap " << c.gap << " at " << c.controlLeft;
        EXPECT_EQ(label->Width(), 26);
    }
}

TEST(DBLabels, ChangingPosGapOrAutoAlignAlignsAgain) {
    Owner owner;
    TEdit* edit = EditAt(owner.o, 100, 50, 45, 21);
    auto* label = new TDBLabel(owner.o);
    label->SetCaption("名称");  // the label's size is the measured caption
    const int w = TextWidth(*label->Font(), "名称"), h = TextHeight(*label->Font());
    label->SetFocusControl(edit);
    EXPECT_EQ((TPoint{label->Left(), label->Top()}), (TPoint{100 - w - 4, 50 + 21 / 2 - h / 2}));
    label->SetGap(10);
    EXPECT_EQ(label->Left(), 100 - w - 10);
    SetPropText(label, "Pos", "psBottom");
    EXPECT_EQ((TPoint{label->Left(), label->Top()}), (TPoint{100, 50 + 21 + 10}));
    label->SetAutoAlign(false);
    edit->SetLeft(200);
    label->SetPos(TPos::psTop);
    EXPECT_EQ(label->Left(), 100);  // stays where it was
    label->SetAutoAlign(true);
    EXPECT_EQ((TPoint{label->Left(), label->Top()}), (TPoint{200, 50 - h - 10}));
    // A control freed by someone else is forgotten.
    edit->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
    label->SetGap(1);  // nothing to align with
    EXPECT_EQ(label->Left(), 200);
}

TEST(DBLabels, AStoredFormAlignsOnceLoaded) {
    Owner owner;
    owner.o->BeginLoading();
    auto* label = FixedLabel(owner.o, 26, 13);
    auto* edit = new TEdit(owner.o);
    label->SetFocusControl(edit);  // read before the control's bounds
    edit->SetBounds(42, 4, 45, 21);
    owner.o->EndLoading();
    EXPECT_EQ((TPoint{label->Left(), label->Top()}), (TPoint{12, 8}));
}

TEST(DBLabels, TwoLabelsOfOneParentMayNotShareAControl) {
    ScriptedUser user;
    TForm* form = CreateForm<TForm>(nullptr);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    auto* other = new TEdit(form);
    other->SetParent(form);
    auto* first = new TDBLabel(form);
    first->SetParent(form);
    auto* second = new TDBLabel(form);
    second->SetParent(form);

    first->SetFocusControl(edit);
    second->SetFocusControl(other);
    EXPECT_TRUE(user.Dialogs().empty());
    second->SetFocusControl(edit);
    ASSERT_EQ(user.Dialogs().size(), 1u);
    EXPECT_EQ(user.Dialogs()[0].text, "不能同时有两个 DBLabel 指到同一个 Control.");
    EXPECT_EQ(user.Dialogs()[0].type, "mtError");
    ASSERT_EQ(user.Dialogs()[0].buttons.size(), 1u);
    EXPECT_EQ(user.Dialogs()[0].buttons[0].rfind("OK=", 0), 0u);
    EXPECT_EQ(second->FocusControl(), other);  // the old control stays

    // Through the published property too; the label's own control again is no conflict.
    SetObjectProp(second, "FocusControl", nullptr);
    EXPECT_EQ(second->FocusControl(), nullptr);
    SetObjectProp(second, "FocusControl", edit);
    EXPECT_EQ(user.Dialogs().size(), 2u);
    EXPECT_EQ(second->FocusControl(), nullptr);
    first->SetFocusControl(edit);
    EXPECT_EQ(user.Dialogs().size(), 2u);

    // The check looks among the components the label's parent owns: a panel owns none.
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    auto* inPanel = new TDBLabel(form);
    inPanel->SetParent(panel);
    inPanel->SetFocusControl(edit);
    EXPECT_EQ(inPanel->FocusControl(), edit);
    EXPECT_EQ(user.Dialogs().size(), 2u);
    form->Free();
}

TEST(DBLabels, TheCaptionComesFromTheDataFieldsDisplayLabel) {
    Owner owner;
    auto* data = new data::TClientDataSet(owner.o);
    data->FieldDefs()->Add("NAME", data::TFieldType::ftString, 20);
    data->FieldDefs()->Add("CODE", data::TFieldType::ftString, 10);
    data->CreateDataSet();
    data->FieldByName("NAME")->SetDisplayLabel("员工名称");
    auto* source = new data::TDataSource(owner.o);
    source->SetDataSet(data);
    auto* emptySource = new data::TDataSource(owner.o);

    struct Case {
        const char* name;
        data::TDataSource* source;
        const char* field;
        bool autoCaption;
        bool plainEdit;
        const char* caption;
    } cases[] = {
        {"display label", source, "NAME", true, false, "员工名称"},
        {"no label: the field name", source, "CODE", true, false, "CODE"},
        {"unknown field", source, "NONE", true, false, "挂靠标签"},
        {"no data source", nullptr, "NAME", true, false, "挂靠标签"},
        {"no data set", emptySource, "NAME", true, false, "挂靠标签"},
        {"auto caption off", source, "NAME", false, false, "挂靠标签"},
        {"not data-aware", nullptr, "", true, true, "挂靠标签"},
    };
    for (const Case& c : cases) {
        TEdit* control = nullptr;
        if (c.plainEdit) {
            control = new TEdit(owner.o);
        } else {
            auto* fe = new TFieldEdit(owner.o);
            fe->SetDataSource(c.source);
            fe->SetDataField(c.field);
            control = fe;
        }
        control->SetBounds(100, 10, 45, 21);
        auto* label = new TDBLabel(owner.o);
        label->SetAutoCaption(c.autoCaption);
        label->SetFocusControl(control);
        EXPECT_EQ(label->Caption(), c.caption) << c.name;
        // Sized to the new caption before it is aligned.
        EXPECT_EQ(label->Left(), 100 - TextWidth(*label->Font(), c.caption) - 4) << c.name;
        if (!c.autoCaption) {
            label->SetAutoCaption(true);
            EXPECT_EQ(label->Caption(), "员工名称") << c.name;
        }
    }
}

// ---- TTgSpinEdit -------------------------------------------------------------------------------

TEST(TgSpinEdits, SignsAfterTheFirstCharacterAreTakenBack) {
    struct Case {
        const char* typed;
        const char* text;
    } cases[] = {
        {"12+", "12"}, {"12-", "12"}, {"-5", "-5"}, {"+5", "+5"}, {"1-2", "12"}, {"-5-", "-5"},
    };
    for (const Case& c : cases) {
        auto* spin = new TTgSpinEdit(nullptr);
        spin->SetText("");
        std::vector<std::string> told;
        spin->OnChange = TNotifyEvent::Lambda([&](TObject*) { told.push_back(spin->Text()); });
        spin->TypeText(c.typed);
        EXPECT_EQ(spin->Text(), c.text) << c.typed;
        ASSERT_FALSE(told.empty()) << c.typed;
        EXPECT_EQ(told.back(), c.text) << c.typed;
        for (const std::string& t : told) {
            EXPECT_EQ(t.find_first_of("+-", 1), std::string::npos) << c.typed << ": told of " << t;
        }
        spin->Free();
    }
}

TEST(TgSpinEdits, ABlankTextTellsNoChange) {
    auto* spin = new TTgSpinEdit(nullptr);
    EXPECT_EQ(spin->ClassName(), "TTgSpinEdit");
    EXPECT_TRUE(spin->InheritsFrom("TSpinEdit"));
    spin->SetText("12");
    int changes = 0;
    spin->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    spin->SetText("");
    spin->SetText("  ");
    EXPECT_EQ(changes, 0);
    spin->SetValue(3);
    EXPECT_EQ(changes, 1);
    spin->SetSelStart(1);
    spin->TypeText("\b");
    EXPECT_EQ(spin->Text(), "");
    EXPECT_EQ(changes, 1);
    spin->Free();
}

// ---- TExtPageControl ---------------------------------------------------------------------------

namespace {

struct Pages {
    TForm* form = CreateForm<TForm>(nullptr);
    TExtPageControl* pc = new TExtPageControl(form);
    TTabSheet* one = nullptr;
    TTabSheet* hidden = nullptr;
    TTabSheet* chinese = nullptr;
    Pages() {
        pc->SetParent(form);
        pc->SetBounds(0, 0, 200, 100);
        one = Sheet("One");
        hidden = Sheet("Hidden");
        hidden->SetTabVisible(false);
        chinese = Sheet("中文");
        pc->SetActivePage(chinese);
    }
    ~Pages() { form->Free(); }
    TTabSheet* Sheet(const char* caption) {
        auto* s = new TTabSheet(form);
        s->SetPageControl(pc);
        s->SetCaption(caption);
        return s;
    }
    TColor At(int x, int y) { return pc->Canvas()->Pixels(x, y); }
};

TColor Rgb(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

}  // namespace

TEST(ExtPageControls, OwnerDrawnWithTheEventFirst) {
    Pages p;
    EXPECT_EQ(p.pc->ClassName(), "TExtPageControl");
    EXPECT_TRUE(p.pc->OwnerDraw());
    EXPECT_EQ(GetPropText(p.pc, "OwnerDraw"), "True");
    EXPECT_EQ(p.pc->TabCount(), 2);
    std::vector<std::string> calls;
    p.pc->OnDrawTab = TDrawTabEvent::Lambda([&](TCustomTabControl*, int index, const TRect& r, bool active) {
        calls.push_back(std::to_string(index) + (active ? " active " : " ") + std::to_string(r.Left));
    });
    p.pc->PaintTabs();
    EXPECT_EQ(calls, (std::vector<std::string>{"0 2", "1 active " + std::to_string(p.pc->TabRect(1).Left)}));
    // The handler drew nothing: the surface is as new.
    const TRect r = p.pc->TabRect(0);
    EXPECT_EQ(p.At(r.Left + 5, r.Top + 5), clWhite);
}

TEST(ExtPageControls, TabsArePaintedInTheCaptionColours) {
    Pages p;
    p.pc->PaintTabs();
    const TColor activeFill = Rgb(clActiveCaption), inactiveFill = Rgb(clInactiveCaption);
    const TColor activeText = Rgb(clCaptionText), inactiveText = Rgb(clInactiveCaptionText);

    // The inactive tab "One": its whole rectangle filled; the caption centred below a top
    // moved down by 2, not bold.
    const TRect r0 = p.pc->TabRect(0);
    EXPECT_EQ(r0, (TRect{2, 2, 2 + 18 + 12, 2 + 12 + 5}));
    EXPECT_EQ(p.At(r0.Left, r0.Top), inactiveFill);
    EXPECT_EQ(p.At(r0.Right - 1, r0.Bottom - 1), inactiveFill);
    EXPECT_EQ(p.At(r0.Right, r0.Top + 3), clWhite);  // the active tab's ring is left as it was
    const int x0 = r0.Left + (r0.Width() - 18) / 2;
    const int y0 = r0.Top + 2 + (r0.Height() - 2 - 12) / 2;
    // "O": its first row is its columns 1 to 3, two rows below the cell's top.
    EXPECT_EQ(p.At(x0, y0 + 2), inactiveFill);
    EXPECT_EQ(p.At(x0 + 1, y0 + 2), inactiveText);
    EXPECT_EQ(p.At(x0 + 3, y0 + 2), inactiveText);
    EXPECT_EQ(p.At(x0 + 4, y0 + 2), inactiveFill);

    // The active tab "中文": the rectangle less 2 on every side, bold (13-pixel cells), centred.
    const TRect r1 = p.pc->TabRect(1);
    EXPECT_EQ(r1, (TRect{r0.Right, 2, r0.Right + 24 + 12, 2 + 12 + 5}));
    EXPECT_EQ(p.At(r1.Left + 1, r1.Top + 1), clWhite);
    EXPECT_EQ(p.At(r1.Right - 2, r1.Bottom - 2), clWhite);
    EXPECT_EQ(p.At(r1.Left + 2, r1.Top + 2), activeFill);
    EXPECT_EQ(p.At(r1.Right - 3, r1.Bottom - 3), activeFill);
    const TRect inner{r1.Left + 2, r1.Top + 2, r1.Right - 2, r1.Bottom - 2};
    const int textWidth = 2 * (12 + 1);
    const int x1 = inner.Left + (inner.Width() - textWidth) / 2;
    const int y1 = inner.Top + (inner.Height() - 12) / 2;
    // Each character is the outline of its cell less the last column, clipped to the tab.
    EXPECT_EQ(p.At(x1 - 1, y1 + 5), activeFill);
    EXPECT_EQ(p.At(x1, y1 + 5), activeText);
    EXPECT_EQ(p.At(x1 + 1, y1 + 5), activeFill);
    EXPECT_EQ(p.At(x1 + 11, y1 + 5), activeText);
    EXPECT_EQ(p.At(x1 + 12, y1 + 5), activeFill);
    EXPECT_EQ(p.At(x1 + 13, y1 + 5), activeText);  // the second character's cell
    EXPECT_EQ(y1, inner.Top);  // 12 of 13 rows: no room above
    EXPECT_EQ(p.At(x1 + 5, y1), activeText);
    EXPECT_EQ(p.At(x1 + 5, y1 + 11), activeText);

    // Choosing the other page swaps the looks.
    p.pc->SetActivePage(p.one);
    p.pc->PaintTabs();
    EXPECT_EQ(p.At(r0.Left + 2, r0.Top + 2), activeFill);
    EXPECT_EQ(p.At(r1.Left + 1, r1.Top + 1), inactiveFill);
}

// ---- TBitCheckBox ------------------------------------------------------------------------------

TEST(BitCheckBoxes, DefaultsAndPublishedProperties) {
    Owner owner;
    auto* box = new TBitCheckBox(owner.o);
    EXPECT_EQ((TRect{0, 0, 97, 17}), box->BoundsRect());
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"Alignment", "taRightJustify"}, {"AllowGrayed", "False"}, {"Checked", "False"}, {"CheckedNumGlyphs", "1"},
             {"GrayedNumGlyphs", "1"}, {"UncheckedNumGlyphs", "1"}, {"State", "cbUnchecked"}, {"TabStop", "True"},
             {"ParentCtl3D", "True"}, {"Ctl3D", "True"}, {"DragMode", "dmManual"}, {"DragCursor", "crDrag"}}) {
        EXPECT_EQ(GetPropText(box, name), value) << name;
    }
    for (const char* event : {"OnClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown",
                              "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag"}) {
        const PropInfo* p = GetPropInfo(box, event);
        ASSERT_NE(p, nullptr) << event;
        EXPECT_EQ(p->Kind, TypeKind::Method) << event;
    }
    for (TBitmap* glyph : {box->CheckedGlyph(), box->GrayedGlyph(), box->UncheckedGlyph()}) {
        EXPECT_EQ(glyph->Width(), 19);
        EXPECT_EQ(glyph->Height(), 14);
    }
    // The 3D look is the parent's until set.
    auto* panel = new TPanel(owner.o);
    box->SetParent(panel);
    panel->SetCtl3D(false);
    EXPECT_FALSE(box->Ctl3D());
    box->SetCtl3D(true);
    EXPECT_TRUE(box->Ctl3D());
    EXPECT_FALSE(box->ParentCtl3D());

}

TEST(BitCheckBoxes, ClicksCycleTheStates) {
    struct Case {
        bool allowGrayed;
        std::vector<TCheckBoxState> after;
    } cases[] = {
        {true, {TCheckBoxState::cbGrayed, TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked}},
        {false, {TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked, TCheckBoxState::cbChecked}},
    };
    for (const Case& c : cases) {
        Owner owner;
        auto* box = new TBitCheckBox(owner.o);
        box->SetAllowGrayed(c.allowGrayed);
        std::vector<TCheckBoxState> seen;
        box->OnClick = TNotifyEvent::Lambda([&](TObject*) { seen.push_back(box->State()); });
        for (size_t i = 0; i < c.after.size(); ++i) box->Click();
        EXPECT_EQ(seen, c.after) << c.allowGrayed;
    }
}

TEST(BitCheckBoxes, CheckedAndStateInCodeRaiseNoClick) {
    Owner owner;
    auto* box = new TBitCheckBox(owner.o);
    int clicks = 0;
    box->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    box->SetState(TCheckBoxState::cbGrayed);
    EXPECT_FALSE(box->Checked());
    box->SetChecked(true);
    EXPECT_EQ(box->State(), TCheckBoxState::cbChecked);
    EXPECT_TRUE(box->Checked());
    SetPropText(box, "Checked", "False");
    EXPECT_EQ(box->State(), TCheckBoxState::cbUnchecked);
    box->Toggle();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 0);
}

TEST(BitCheckBoxes, TheUsersWaysToToggle) {
    TForm* form = CreateForm<TForm>(nullptr);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    auto* box = new TBitCheckBox(form);
    box->SetParent(form);
    box->SetCaption("&Yes");
    std::vector<std::string> log;
    box->OnClick = TNotifyEvent::Lambda([&](TObject*) { log.push_back(box->Checked() ? "click on" : "click off"); });
    box->OnEnter = TNotifyEvent::Lambda([&](TObject*) { log.push_back("enter"); });
    form->Show();
    ASSERT_EQ(form->ActiveControl(), edit);

    // A click toggles and tells, then takes the focus.
    box->Perform(WM_LBUTTONDOWN, 0, (3 << 16) | 5);
    box->Perform(WM_LBUTTONUP, 0, (3 << 16) | 5);
    EXPECT_EQ(log, (std::vector<std::string>{"click on", "enter"}));
    EXPECT_EQ(form->ActiveControl(), box);
    // Released outside: no click.
    box->Perform(WM_LBUTTONDOWN, 0, (3 << 16) | 5);
    box->Perform(WM_LBUTTONUP, 0, (3 << 16) | 200);
    EXPECT_TRUE(box->Checked());
    // The space key clicks.
    log.clear();
    box->SendKey(VK_SPACE, 0, ' ');
    EXPECT_EQ(log, (std::vector<std::string>{"click off"}));
    // The accelerator focuses and toggles without telling.
    edit->SetFocus();
    log.clear();
    EXPECT_FALSE(box->DialogChar('n'));
    EXPECT_TRUE(box->DialogChar('y'));
    EXPECT_EQ(form->ActiveControl(), box);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(log, (std::vector<std::string>{"enter"}));
    // Disabled: no click, no accelerator.
    box->SetEnabled(false);
    box->Perform(WM_LBUTTONDOWN, 0, (3 << 16) | 5);
    box->Perform(WM_LBUTTONUP, 0, (3 << 16) | 5);
    EXPECT_FALSE(box->DialogChar('y'));
    EXPECT_TRUE(box->Checked());
    form->Free();
}

TEST(BitCheckBoxes, GlyphsAreCopiedAndCountTheirImages) {
    struct Case {
        int width, height;
        int count;  // -1: the count stays as it was (2)
    } cases[] = {{26, 13, 2}, {39, 13, 2}, {13, 13, 1}, {19, 14, -1}, {0, 0, -1}};
    for (const Case& c : cases) {
        Owner owner;
        auto* box = new TBitCheckBox(owner.o);
        box->SetCheckedNumGlyphs(2);
        TBitmap picture(c.width, c.height);
        SetObjectProp(box, "CheckedGlyph", &picture);
        EXPECT_EQ(box->CheckedNumGlyphs(), c.count < 0 ? 2 : c.count) << c.width << "x" << c.height;
        EXPECT_EQ(box->CheckedGlyph()->Width(), c.width);
        EXPECT_NE(box->CheckedGlyph(), &picture);
    }
    Owner owner;
    auto* box = new TBitCheckBox(owner.o);
    for (auto [set, expected] : std::vector<std::pair<int, int>>{{0, 1}, {-3, 1}, {2, 2}, {5, 2}}) {
        box->SetGrayedNumGlyphs(set);
        EXPECT_EQ(box->GrayedNumGlyphs(), expected) << set;
    }
    // No picture: the built-in one again.
    TBitmap small(4, 4);
    box->SetUncheckedGlyph(&small);
    box->SetUncheckedGlyph(nullptr);
    EXPECT_EQ(box->UncheckedGlyph()->Width(), 19);
    TBitmap builtIn;
    LoadBitCheckBoxGlyph(TCheckBoxState::cbUnchecked, &builtIn);
    EXPECT_EQ(box->UncheckedGlyph()->SaveToData(), builtIn.SaveToData());
}

namespace {

// A check box with a 12-pixel black font on the button face, in a form, painted.
struct PaintedBox {
    TForm* form = CreateForm<TForm>(nullptr);
    TBitCheckBox* box = new TBitCheckBox(form);
    PaintedBox() {
        box->SetParent(form);
        box->SetParentFont(false);
        box->Font()->SetHeight(-12);
        box->Font()->SetColor(clBlack);
        box->SetColor(clBtnFace);
        box->SetCaption("AB");
    }
    ~PaintedBox() { form->Free(); }
    TColor At(int x, int y) { return box->Canvas()->Pixels(x, y); }
};

const TColor kFace = static_cast<TColor>(ColorToRGB(clBtnFace));

}  // namespace

TEST(BitCheckBoxes, PaintsGlyphCaptionAndFocus) {
    struct Case {
        TCheckBoxState state;
        TColor mark;  // the check mark's pixel
    } cases[] = {
        {TCheckBoxState::cbUnchecked, clWhite},
        {TCheckBoxState::cbChecked, clBlack},
        {TCheckBoxState::cbGrayed, 0x808080},
    };
    for (const Case& c : cases) {
        PaintedBox p;
        p.box->SetAllowGrayed(true);
        p.box->SetState(c.state);
        p.box->Paint();
        // The glyph at left 0, (17 - 14) div 2 down; its olive background left out.
        EXPECT_EQ(p.At(0, 1), kFace);
        EXPECT_EQ(p.At(3, 1), 0x808080);   // the box's shadow line
        EXPECT_EQ(p.At(6, 6), c.mark);
        EXPECT_EQ(p.At(0, 0), kFace);
        EXPECT_EQ(p.At(96, 16), kFace);
    }

    PaintedBox p;
    p.box->Paint();
    // The caption: from 19 + 4, as wide as "AB", rows (17 - 12) div 2 - 2 ... + 12 + 3, the
    // text centred in it: one row down.
    const int left = 19 + 4, top = 0, textTop = top + (15 - 12) / 2;
    EXPECT_EQ(p.box->CaptionRect(), (TRect{left, top, left + 12, top + 15}));
    // "A": its first row is columns 1 to 3 of the cell, two rows into the cell.
    EXPECT_EQ(p.At(left, textTop + 2), kFace);
    EXPECT_EQ(p.At(left + 1, textTop + 2), clBlack);
    EXPECT_EQ(p.At(left + 3, textTop + 2), clBlack);
    EXPECT_EQ(p.At(left + 4, textTop + 2), kFace);
    // Nothing drawn beyond the caption.
    for (int x = left + 12; x < 97; ++x) {
        for (int y = 0; y < 17; ++y) ASSERT_EQ(p.At(x, y), kFace) << x << "," << y;
    }

    // Focused: the dotted rectangle one pixel around the caption, within the control.
    p.form->Show();
    p.box->SetFocus();
    p.box->Paint();
    // The frame (22, 0) - (36, 16): the pixels whose x + y is even are inverted.
    const TColor inverted = static_cast<TColor>(~static_cast<uint32_t>(kFace) & 0xFFFFFF);
    EXPECT_EQ(p.At(left - 1, 0), inverted);
    EXPECT_EQ(p.At(left, 0), kFace);
    EXPECT_EQ(p.At(left - 1, 2), inverted);
    EXPECT_EQ(p.At(left - 1, 3), kFace);
    EXPECT_EQ(p.At(left + 12, 3), inverted);
    EXPECT_EQ(p.At(left + 12, 2), kFace);
    EXPECT_EQ(p.At(left, 15), inverted);
    EXPECT_EQ(p.At(left + 1, 15), kFace);
    EXPECT_EQ(p.At(left + 13, 3), kFace);
    EXPECT_EQ(p.At(left + 1, textTop + 2), clBlack);  // the caption untouched
}

TEST(BitCheckBoxes, PaintsDisabledAndLeftJustified) {
    {
        // Disabled with the 3D look: the caption once more one pixel down and right in the
        // highlight colour, under the grey one.
        PaintedBox p;
        p.box->SetEnabled(false);
        p.box->Paint();
        const int left = 23, textTop = 1;
        EXPECT_EQ(p.At(left + 1, textTop + 2), 0x808080);
        EXPECT_EQ(p.At(left + 2, textTop + 3), clWhite);   // the highlight's first row
        EXPECT_EQ(p.At(left + 4, textTop + 3), 0x808080);  // grey drawn over it
        p.box->SetCtl3D(false);
        p.box->Paint();
        EXPECT_EQ(p.At(left + 2, textTop + 3), kFace);
    }
    {
        // A strip of two images: the second one when disabled.
        PaintedBox p;
        TBitmap strip(28, 14);
        strip.Canvas()->Brush()->SetColor(clFuchsia);
        strip.Canvas()->FillRect(0, 0, 28, 14);
        strip.Canvas()->Brush()->SetColor(clRed);
        strip.Canvas()->FillRect(1, 0, 13, 13);
        strip.Canvas()->Brush()->SetColor(clBlue);
        strip.Canvas()->FillRect(15, 0, 27, 13);
        p.box->SetUncheckedGlyph(&strip);
        ASSERT_EQ(p.box->UncheckedNumGlyphs(), 2);
        p.box->Paint();
        EXPECT_EQ(p.At(5, 3), clRed);
        EXPECT_EQ(p.At(0, 3), kFace);  // transparent
        EXPECT_EQ(p.At(14, 3), kFace);  // one image wide
        EXPECT_EQ(p.box->CaptionRect().Left, 14 + 4);
        p.box->SetEnabled(false);
        p.box->Paint();
        EXPECT_EQ(p.At(5, 3), clBlue);
    }
    {
        // Left-justified: the caption from 1, the glyph at the right edge.
        PaintedBox p;
        p.box->SetAlignment(TAlignment::taLeftJustify);
        p.box->SetChecked(true);
        p.box->Paint();
        EXPECT_EQ(p.box->CaptionRect().Left, 1);
        EXPECT_EQ(p.At(1 + 1, 1 + 2), clBlack);  // the "A"
        EXPECT_EQ(p.At(97 - 19 + 6, 6), clBlack);  // the check mark
        EXPECT_EQ(p.At(97 - 19 + 3, 1), 0x808080);
    }
}
