// Check boxes, radio buttons, group boxes, memos, combo and list boxes, mask edits, and the
// published properties of every control of this family.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Buttons.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImgList.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"
#include "support/Fixtures.h"

using namespace ui;

namespace {

class Owned : public ::testing::Test {
protected:
    TPanel* root = nullptr;
    std::vector<std::string> log;
    void SetUp() override { root = new TPanel(nullptr); }
    void TearDown() override { root->Free(); }
    template <typename T>
    T* Make(TWinControl* parent, const char* name = nullptr) {
        T* c = new T(root);
        if (name) c->SetName(name);
        if (parent) c->SetParent(parent);
        return c;
    }
    TNotifyEvent Logger(const std::string& what) {
        return TNotifyEvent::Lambda([this, what](TObject*) { log.push_back(what); });
    }
};

using CheckBoxes = Owned;
using RadioButtons = Owned;
using GroupBoxes = Owned;
using Memos = Owned;
using ComboBoxes = Owned;
using ListBoxes = Owned;

}  // namespace

// ---- Published properties ----------------------------------------------------------------------

TEST(PublishedControls, NamesDefaultsAndRoundTrips) {
    struct Row {
        const char* className;
        std::function<TComponent*(TComponent*)> make;
        std::vector<std::pair<const char*, const char*>> values;  // as read right after creation
        std::pair<const char*, const char*> set;                  // set by text, read back the same
        std::vector<const char*> notDefault;                     // redeclared by the class library
    } rows[] = {
        {"TPanel", [](TComponent* o) { return new TPanel(o); },
         {{"Alignment", "taCenter"}, {"BevelOuter", "bvRaised"}, {"BevelInner", "bvNone"}, {"BevelWidth", "1"},
          {"BorderStyle", "bsNone"}, {"BorderWidth", "0"}, {"Width", "185"}, {"Height", "41"}, {"Caption", ""}},
         {"BevelInner", "bvLowered"}, {}},
        {"TSplitter", [](TComponent* o) { return new TSplitter(o); },
         {{"Align", "alLeft"}, {"Width", "3"}, {"MinSize", "30"}, {"ResizeStyle", "rsPattern"}, {"Cursor", "crHSplit"},
          {"Beveled", "False"}, {"AutoSnap", "True"}},
         {"ResizeStyle", "rsUpdate"}, {}},
        {"TBevel", [](TComponent* o) { return new TBevel(o); },
         {{"Shape", "bsBox"}, {"Style", "bsLowered"}, {"Width", "50"}}, {"Shape", "bsTopLine"}, {}},
        {"TImage", [](TComponent* o) { return new TImage(o); },
         {{"Width", "105"}, {"Stretch", "False"}, {"Center", "False"}, {"Transparent", "False"}}, {"Stretch", "True"}, {}},
        {"TSpeedButton", [](TComponent* o) { return new TSpeedButton(o); },
         {{"Width", "23"}, {"Height", "22"}, {"NumGlyphs", "1"}, {"Margin", "-1"}, {"Spacing", "4"},
          {"Layout", "blGlyphLeft"}, {"GroupIndex", "0"}, {"Flat", "False"}, {"Transparent", "True"}},
         {"Layout", "blGlyphTop"}, {}},
        {"TBitBtn", [](TComponent* o) { return new TBitBtn(o); },
         {{"Kind", "bkCustom"}, {"Width", "75"}, {"Height", "25"}, {"Style", "bsAutoDetect"}, {"NumGlyphs", "1"}},
         {"Layout", "blGlyphRight"}, {}},
        {"TMaskEdit", [](TComponent* o) { return new TMaskEdit(o); },
         {{"EditMask", ""}, {"Width", "121"}, {"Height", "21"}, {"ImeMode", "imDontCare"}, {"ImeName", ""}},
         {"EditMask", "!9999/99/99;1;_"}, {}},
        {"TPageControl", [](TComponent* o) { return new TPageControl(o); },
         {{"Width", "289"}, {"Height", "193"}, {"TabPosition", "tpTop"}, {"Style", "tsTabs"}, {"MultiLine", "False"},
          {"ActivePage", ""}, {"TabStop", "True"}},
         {"TabPosition", "tpBottom"}, {}},
        {"TTabSheet", [](TComponent* o) { return new TTabSheet(o); },
         {{"TabVisible", "True"}, {"ImageIndex", "0"}, {"PageIndex", "-1"}, {"Visible", "False"}},
         {"Highlighted", "True"}, {"Visible", "Align"}},
        {"TListView", [](TComponent* o) { return new TListView(o); },
         {{"ViewStyle", "vsIcon"}, {"ColumnClick", "True"}, {"HideSelection", "True"}, {"ReadOnly", "False"},
          {"SortType", "stNone"}, {"BorderStyle", "bsSingle"}, {"Width", "250"}, {"Height", "150"},
          {"RowSelect", "False"}, {"GridLines", "False"}, {"MultiSelect", "False"}},
         {"ViewStyle", "vsReport"}, {}},
        {"TToolBar", [](TComponent* o) { return new TToolBar(o); },
         {{"Align", "alTop"}, {"ButtonWidth", "23"}, {"ButtonHeight", "22"}, {"EdgeBorders", "[ebTop]"},
          {"Wrapable", "True"}, {"EdgeInner", "esRaised"}, {"EdgeOuter", "esLowered"}, {"Height", "29"}},
         {"EdgeOuter", "esNone"}, {}},
        {"TToolButton", [](TComponent* o) { return new TToolButton(o); },
         {{"Style", "tbsButton"}, {"ImageIndex", "-1"}, {"Width", "23"}, {"Height", "22"}, {"Grouped", "False"}},
         {"Style", "tbsCheck"}, {}},
        {"TStatusBar", [](TComponent* o) { return new TStatusBar(o); },
         {{"Align", "alBottom"}, {"SizeGrip", "True"}, {"SimplePanel", "False"}, {"Height", "19"}},
         {"SimpleText", "就绪"}, {}},
        {"TCheckBox", [](TComponent* o) { return new TCheckBox(o); },
         {{"State", "cbUnchecked"}, {"Checked", "False"}, {"Alignment", "taRightJustify"}, {"AllowGrayed", "False"},
          {"Width", "97"}, {"Height", "17"}, {"TabStop", "True"}},
         {"Alignment", "taLeftJustify"}, {}},
        {"TRadioButton", [](TComponent* o) { return new TRadioButton(o); },
         {{"Checked", "False"}, {"Width", "113"}, {"Height", "17"}, {"TabStop", "False"}}, {"Checked", "True"}, {}},
        {"TGroupBox", [](TComponent* o) { return new TGroupBox(o); },
         {{"Width", "185"}, {"Height", "105"}, {"Ctl3D", "True"}}, {"Caption", "条件"}, {}},
        {"TMemo", [](TComponent* o) { return new TMemo(o); },
         {{"WantReturns", "True"}, {"WantTabs", "False"}, {"WordWrap", "True"}, {"ScrollBars", "ssNone"},
          {"Alignment", "taLeftJustify"}, {"Width", "185"}, {"Height", "89"}},
         {"ScrollBars", "ssBoth"}, {}},
        {"TComboBox", [](TComponent* o) { return new TComboBox(o); },
         {{"Style", "csDropDown"}, {"ItemIndex", "-1"}, {"DropDownCount", "8"}, {"Sorted", "False"}, {"Width", "145"},
          {"Height", "21"}, {"Text", ""}, {"ItemHeight", "16"}},
         {"Style", "csDropDownList"}, {}},
        {"TListBox", [](TComponent* o) { return new TListBox(o); },
         {{"Style", "lbStandard"}, {"MultiSelect", "False"}, {"ExtendedSelect", "True"}, {"Sorted", "False"},
          {"Width", "121"}, {"Height", "97"}, {"BorderStyle", "bsSingle"}},
         {"Style", "lbOwnerDrawFixed"}, {}},
        {"TImageList", [](TComponent* o) { return new TImageList(o); },
         {{"Width", "16"}, {"Height", "16"}, {"Masked", "True"}, {"BkColor", "clNone"}, {"AllocBy", "4"},
          {"DrawingStyle", "dsNormal"}, {"ImageType", "itImage"}},
         {"DrawingStyle", "dsTransparent"}, {}},
    };
    TComponent* owner = new TComponent(nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.className);
        TComponent* c = row.make(owner);
        EXPECT_EQ(c->ClassName(), row.className);
        for (const auto& [name, text] : row.values) EXPECT_EQ(GetPropText(c, name), text) << name;
        // Every ordinal property registered with a default holds it on a new component.
        for (const PropInfo* p : c->GetClassInfo().AllProps()) {
            if (!p->Default || !p->IsOrdinal()) continue;
            bool redeclared = false;
            for (const char* n : row.notDefault) redeclared = redeclared || p->Name == n;
            if (!redeclared) {
                EXPECT_EQ(GetOrdProp(c, p->Name), *p->Default) << p->Name;
            }
        }
        SetPropText(c, row.set.first, row.set.second);
        EXPECT_EQ(GetPropText(c, row.set.first), row.set.second);
    }
    TComponent* list = new TListView(owner);
    EXPECT_EQ(GetOrdProp(list, "Color"), clWindow);
    EXPECT_THROW(SetPropText(rows[0].make(owner), "BevelOuter", "bvSunken"), EPropertyConvertError);
    EXPECT_THROW(SetPropText(rows[0].make(owner), "BorderStyle", "bsSizeable"), EPropertyConvertError);
    owner->Free();
}

// ---- Check boxes and radio buttons -------------------------------------------------------------

TEST_F(CheckBoxes, AClickTogglesAndClicksOnce) {
    struct Case {
        bool allowGrayed;
        TCheckBoxState from, to;
    } cases[] = {
        {false, TCheckBoxState::cbUnchecked, TCheckBoxState::cbChecked},
        {false, TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked},
        {false, TCheckBoxState::cbGrayed, TCheckBoxState::cbChecked},
        {true, TCheckBoxState::cbUnchecked, TCheckBoxState::cbGrayed},
        {true, TCheckBoxState::cbGrayed, TCheckBoxState::cbChecked},
        {true, TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked},
    };
    for (const Case& c : cases) {
        auto* box = Make<TCheckBox>(root);
        box->SetAllowGrayed(c.allowGrayed);
        box->SetState(c.from);
        int clicks = 0;
        box->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
        box->UserClick();
        EXPECT_EQ(box->State(), c.to) << c.allowGrayed << static_cast<int>(c.from);
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(box->Checked(), c.to == TCheckBoxState::cbChecked);
        box->Free();
    }
}

TEST_F(CheckBoxes, SettingTheStateInCodeClicksToo) {
    auto* box = Make<TCheckBox>(root);
    box->OnClick = Logger("click");
    box->SetChecked(true);
    box->SetChecked(true);  // no change, no click
    EXPECT_EQ(log.size(), 1u);
    SetPropText(box, "State", "cbGrayed");
    EXPECT_EQ(log.size(), 2u);
    EXPECT_FALSE(box->Checked());
    box->SendKey(VK_SPACE, 0, ' ');  // the space key clicks
    EXPECT_EQ(box->State(), TCheckBoxState::cbChecked);
    EXPECT_EQ(log.size(), 3u);
    box->SetEnabled(false);
    box->UserClick();
    EXPECT_EQ(log.size(), 3u);
}

TEST(CheckBoxFocus, AClickTakesTheFocusFirst) {
    TForm* form = CreateForm<TForm>(nullptr);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    std::vector<std::string> log;
    edit->OnExit = TNotifyEvent::Lambda([&](TObject*) { log.push_back("exit edit"); });
    box->OnClick = TNotifyEvent::Lambda([&](TObject*) { log.push_back("click"); });
    form->Show();
    ASSERT_EQ(form->ActiveControl(), edit);
    box->UserClick();
    EXPECT_EQ(form->ActiveControl(), box);
    EXPECT_EQ(log, (std::vector<std::string>{"exit edit", "click"}));
    form->Free();
}

TEST_F(RadioButtons, CheckingOneUnchecksItsSiblings) {
    TPanel* p1 = Make<TPanel>(root);
    TPanel* p2 = Make<TPanel>(root);
    auto* r1 = Make<TRadioButton>(p1, "r1");
    auto* r2 = Make<TRadioButton>(p1, "r2");
    auto* r3 = Make<TRadioButton>(p1, "r3");
    auto* r4 = Make<TRadioButton>(p2, "r4");
    for (TRadioButton* r : {r1, r2, r3, r4}) r->OnClick = Logger("click " + r->Name());
    r1->SetChecked(true);
    r4->SetChecked(true);
    EXPECT_EQ(log, (std::vector<std::string>{"click r1", "click r4"}));
    EXPECT_TRUE(r1->TabStop());

    log.clear();
    r2->UserClick();
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(r2->Checked());
    EXPECT_TRUE(r4->Checked());  // another parent, another group
    EXPECT_FALSE(r1->TabStop());
    EXPECT_TRUE(r2->TabStop());
    EXPECT_EQ(log, std::vector<std::string>{"click r2"});  // the unchecked one does not click
    r2->UserClick();  // already checked: nothing
    r2->SetChecked(false);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_FALSE(r1->Checked() || r2->Checked() || r3->Checked());
    SetPropText(r3, "Checked", "True");
    EXPECT_EQ(log.back(), "click r3");
}

TEST_F(GroupBoxes, ChildrenSitBelowTheCaptionInsideTheFrame) {
    auto* box = Make<TGroupBox>(root);
    box->SetBounds(0, 0, 200, 100);
    auto* child = Make<TPanel>(box);
    child->SetAlign(TAlign::alClient);
    EXPECT_EQ(child->BoundsRect(), (TRect{2, 14, 198, 98}));  // text height 12
    box->SetCtl3D(false);
    EXPECT_EQ(child->BoundsRect(), (TRect{1, 13, 199, 99}));
    box->SetCtl3D(true);
    box->Font()->SetHeight(-16);
    EXPECT_EQ(child->BoundsRect(), (TRect{2, 18, 198, 98}));
}

// ---- Memos -------------------------------------------------------------------------------------

TEST_F(Memos, TextAndLinesAreOneValue) {
    auto* memo = Make<TMemo>(root);
    int changes = 0;
    memo->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    memo->SetText("a\r\nb");
    EXPECT_EQ(memo->Lines()->ToVector(), (std::vector<std::string>{"a", "b"}));
    memo->Lines()->Add("c");
    EXPECT_EQ(memo->Text(), "a\r\nb\r\nc\r\n");
    memo->Lines()->Delete(0);
    EXPECT_EQ(memo->Text(), "b\r\nc\r\n");
    memo->Lines()->Put(0, "B");
    EXPECT_EQ(memo->Text(), "B\r\nc\r\n");
    EXPECT_EQ(changes, 4);
    SetStrProp(memo, "Text", "x\ny\n");
    EXPECT_EQ(memo->Lines()->ToVector(), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(GetObjectProp(memo, "Lines"), memo->Lines());
    TStrings other;
    other.Add("1");
    SetObjectProp(memo, "Lines", &other);
    EXPECT_EQ(memo->Text(), "1\r\n");

    memo->SetText("");
    memo->TypeText("ab\rc");
    EXPECT_EQ(memo->Text(), "ab\r\nc");
    EXPECT_EQ(memo->Lines()->Count(), 2);
    memo->SetWantReturns(false);
    memo->TypeText("\r\t");
    EXPECT_EQ(memo->Text(), "ab\r\nc");
}

TEST(MemoKeys, EnterStaysInTheMemoWithWantReturns) {
    TForm* form = CreateForm<TForm>(nullptr);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    form->Show();
    memo->SetFocus();
    memo->SendKey(VK_RETURN, 0, '\r');
    EXPECT_EQ(clicks, 0);
    memo->SetWantReturns(false);
    memo->SendKey(VK_RETURN, 0, '\r');
    EXPECT_EQ(clicks, 1);
    form->Free();
}

// ---- Combo boxes -------------------------------------------------------------------------------

TEST_F(ComboBoxes, SelectingShowsTheItemAndTellsTheUserChoiceOnly) {
    auto* combo = Make<TComboBox>(root);
    for (const char* s : {"a", "b", "c"}) combo->Items()->Add(s);
    combo->OnClick = Logger("click");
    combo->OnChange = Logger("change");
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "b");
    EXPECT_TRUE(log.empty());  // in code: no events
    combo->SelectItem(2);
    EXPECT_EQ(combo->Text(), "c");
    EXPECT_EQ(log, (std::vector<std::string>{"click", "change"}));
    combo->OnSelect = Logger("select");
    log.clear();
    combo->SelectItem(0);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "select"}));  // OnSelect instead of OnChange
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");

    // The edit's own text clears the choice while the list is closed.
    combo->SetItemIndex(1);
    combo->SetText("zzz");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetDroppedDown(true);
    combo->SetText("B");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetDroppedDown(false);
    EXPECT_EQ(log.size(), 2u);  // OnDropDown and OnCloseUp unassigned
    log.clear();
    combo->TypeText("x\b\bq");  // Bx, B, empty, q
    EXPECT_EQ(combo->Text(), "q");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(log, (std::vector<std::string>{"change", "change", "change", "change"}));
}

TEST_F(ComboBoxes, TheSelectionFollowsItemChanges) {
    auto* combo = Make<TComboBox>(root);
    for (const char* s : {"a", "b", "c"}) combo->Items()->Add(s);
    combo->SetItemIndex(1);
    combo->Items()->Insert(0, "x");
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->Items()->Delete(0);
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->Items()->Delete(1);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "b");  // an edit keeps its text
    combo->Items()->Clear();
    EXPECT_EQ(combo->Text(), "b");

    combo->SetStyle(TComboBoxStyle::csDropDownList);
    for (const char* s : {"apple", "banana", "berry"}) combo->Items()->Add(s);
    EXPECT_EQ(combo->Text(), "");  // a list without a choice shows nothing
    combo->SetText("BANANA");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "banana");
    combo->SetText("cherry");  // not in the list: nothing changes
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->TypeText("b");  // the next item beginning with b
    EXPECT_EQ(combo->Text(), "berry");
    combo->TypeText("b");
    EXPECT_EQ(combo->Text(), "banana");
    combo->Items()->Put(1, "blueberry");  // replaced: no longer chosen
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
}

TEST_F(ComboBoxes, SortedListsPutItemsInOrder) {
    kpatest::ScopedEnv acp("KPA_ACP", "936");
    auto* combo = Make<TComboBox>(root);
    for (const char* s : {"张", "王", "李"}) combo->Items()->Add(s);
    combo->SetItemIndex(0);
    combo->SetSorted(true);  // pinyin: li, wang, zhang; the same index is chosen again
    EXPECT_EQ(combo->Items()->ToVector(), (std::vector<std::string>{"李", "王", "张"}));
    EXPECT_EQ(combo->Text(), "李");
    EXPECT_EQ(combo->Items()->Add("刘"), 1);  // liu after li
    EXPECT_EQ(combo->Items()->Add("Zz"), 4);
    combo->Items()->Insert(0, "在前");  // Insert keeps the place asked for
    EXPECT_EQ((*combo->Items())[0], "在前");
}

// ---- List boxes --------------------------------------------------------------------------------

TEST_F(ListBoxes, SingleSelection) {
    auto* list = Make<TListBox>(root);
    for (const char* s : {"a", "b", "c"}) list->Items()->Add(s);
    list->OnClick = Logger("click");
    list->SelectItem(1);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_TRUE(list->Selected(1));
    EXPECT_FALSE(list->Selected(0));
    EXPECT_EQ(list->SelCount(), -1);
    EXPECT_EQ(log.size(), 1u);
    list->Items()->Insert(0, "x");
    EXPECT_EQ(list->ItemIndex(), 2);
    list->SetSelected(2, false);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetSelected(0, true);
    EXPECT_EQ(list->ItemIndex(), 0);
    list->SetItemIndex(99);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_THROW(list->Selected(4), rtl::EListError);
    EXPECT_THROW(list->SetSelected(-1, true), rtl::EListError);
    EXPECT_EQ(log.size(), 1u);  // only the user's click clicks
}

TEST_F(ListBoxes, MultiSelection) {
    auto* list = Make<TListBox>(root);
    list->SetMultiSelect(true);
    for (const char* s : {"a", "b", "c", "d", "e"}) list->Items()->Add(s);
    auto selected = [&] {
        std::string s;
        for (int i = 0; i < list->Items()->Count(); ++i) s += list->Selected(i) ? '1' : '0';
        return s;
    };
    list->SelectItem(1);
    list->SelectItem(3, ssCtrl);
    EXPECT_EQ(selected(), "01010");
    list->SelectItem(4, ssShift);  // from the last click
    EXPECT_EQ(selected(), "00011");
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(list->SelCount(), 2);
    list->Items()->Delete(3);
    EXPECT_EQ(selected(), "0001");
    list->SetExtendedSelect(false);  // each click toggles
    list->SelectItem(0);
    list->SelectItem(3);
    EXPECT_EQ(selected(), "1000");
    list->SelectAll();
    EXPECT_EQ(list->SelCount(), 4);
    list->ClearSelection();
    EXPECT_EQ(list->SelCount(), 0);
}

// ---- String lists ------------------------------------------------------------------------------

TEST(ControlStrings, ObserverSeesEveryChangeOnChangeOncePerUpdate) {
    TStrings s;
    std::vector<std::string> seen;
    int changes = 0;
    s.Observer = [&](TStringsChange c, int i) { seen.push_back(std::to_string(static_cast<int>(c)) + ":" + std::to_string(i)); };
    s.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    s.BeginUpdate();
    s.Add("a");
    s.Add("b");
    s.Insert(0, "c");
    s.Delete(1);
    s.Put(0, "C");
    s.EndUpdate();
    EXPECT_EQ(seen, (std::vector<std::string>{"0:0", "0:1", "0:0", "1:1", "2:0"}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(s.IndexOf("c"), 0);  // without regard to case
    EXPECT_EQ(s.Text(), "C\nb\n");
    s.Exchange(0, 1);
    EXPECT_EQ(s.ToVector(), (std::vector<std::string>{"b", "C"}));
    EXPECT_THROW(s.Delete(5), rtl::EListError);
    EXPECT_LT(CompareLocaleText("a", "B"), 0);
    EXPECT_EQ(CompareLocaleText("abc", "ABC"), 0);
    EXPECT_NE(CompareLocaleText("abc", "ABC", false), 0);
}

// ---- Mask edits --------------------------------------------------------------------------------

namespace {
// Mask rules plug in through the edit text: here, a mask that shows the text upper-cased.
class TUpperMaskEdit : public TMaskEdit {
public:
    explicit TUpperMaskEdit(TComponent* owner) : TMaskEdit(owner) {}
    std::string GetEditText() const override { return rtl::UpperCase(TMaskEdit::GetEditText()); }
};
}  // namespace

TEST(MaskEdits, TheMaskIsStoredAndTheTextIsAnEditsText) {
    auto* edit = new TMaskEdit(nullptr);
    EXPECT_FALSE(edit->IsMasked());
    SetPropText(edit, "EditMask", "!9999/99/99;1;_");
    EXPECT_TRUE(edit->IsMasked());
    EXPECT_EQ(edit->EditMask(), "!9999/99/99;1;_");
    int changes = 0;
    edit->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    edit->TypeText("2024");
    // The mask's rules: literals saved in the text, blanks shown as the blank character.
    EXPECT_EQ(edit->Text(), "2024/  /  ");
    EXPECT_EQ(edit->EditText(), "2024/__/__");
    EXPECT_GE(changes, 4);
    SetPropText(edit, "Text", "x");
    EXPECT_EQ(edit->Text(), "   x/  /  ");
    EXPECT_NO_THROW(edit->ValidateEdit());
    edit->Free();

    auto* upper = new TUpperMaskEdit(nullptr);
    upper->SetText("abc");
    EXPECT_EQ(upper->Text(), "ABC");
    EXPECT_EQ(GetPropText(upper, "Text"), "ABC");
    upper->Free();
}
