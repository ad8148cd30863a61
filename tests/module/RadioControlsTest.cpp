// The radio button that paints its own caption, and the radio group.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "controls/TgRadioButton.h"
#include "controls/TgRadioGroup.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/WindowSystem.h"

using namespace ui;

namespace {

// A radio button that tells what it signals.
class TSpyRadio : public TTgRadioButton {
public:
    explicit TSpyRadio(TComponent* owner) : TTgRadioButton(owner) {}
    std::vector<std::string>* log = nullptr;
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_CHANGED && log) log->push_back(Name() + " changed");
        TTgRadioButton::WndProc(m);
    }
};

class RadioControls : public ::testing::Test {
protected:
    TForm* form = nullptr;
    std::vector<std::string> log;

    void SetUp() override {
        form = CreateForm<TForm>(nullptr);
        form->SetBounds(0, 0, 640, 480);
        form->Show();
    }
    void TearDown() override {
        form->Free();
        Application().ProcessMessages();
    }
    TSpyRadio* Radio(const std::string& name, TWinControl* parent) {
        auto* r = new TSpyRadio(form);
        r->SetName(name);
        r->SetParent(parent);
        r->log = &log;
        r->OnClick = TNotifyEvent::Lambda([this, name](TObject*) { log.push_back(name + " click"); });
        return r;
    }
    TPanel* Panel(const std::string& name) {
        auto* p = new TPanel(form);
        p->SetName(name);
        p->SetParent(form);
        return p;
    }
};

std::string Checks(const std::vector<TTgRadioButton*>& buttons) {
    std::string s;
    for (const TTgRadioButton* b : buttons) s += b->Checked() ? '1' : '0';
    return s;
}

TRect Rect(int l, int t, int w, int h) { return TRect{l, t, l + w, t + h}; }

TColor Rgb(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

}  // namespace

// ---- TTgRadioButton -------------------------------------------------------------------------------

TEST_F(RadioControls, CheckingOneUnchecksTheOthersOfItsParentOnly) {
    TPanel* p1 = Panel("p1");
    TPanel* p2 = Panel("p2");
    TSpyRadio* a = Radio("a", p1);
    TSpyRadio* b = Radio("b", p1);
    TSpyRadio* c = Radio("c", p1);
    TSpyRadio* other = Radio("other", p2);
    auto* platformRadio = new TRadioButton(form);
    platformRadio->SetParent(p1);
    other->SetChecked(true);
    platformRadio->SetChecked(true);
    const std::vector<TTgRadioButton*> all{a, b, c, other};
    log.clear();

    a->SetChecked(true);
    EXPECT_EQ(Checks(all), "1001");
    b->SetChecked(true);
    EXPECT_EQ(Checks(all), "0101");
    b->SetChecked(true);  // again: nothing
    c->SetChecked(false);  // unchecking: no click
    EXPECT_EQ(log, (std::vector<std::string>{"a changed", "a click", "b changed", "b click"}));
    EXPECT_TRUE(platformRadio->Checked());
    // The checked button holds the tab stop.
    EXPECT_FALSE(a->TabStop());
    EXPECT_TRUE(b->TabStop());
}

TEST_F(RadioControls, TheUsersClickAndTheOtherNotifications) {
    TSpyRadio* a = Radio("a", form);
    TSpyRadio* b = Radio("b", form);
    a->SetCaption("每&日");
    b->SetCaption("&Weekly");
    log.clear();

    a->UserClick();
    EXPECT_TRUE(a->Checked());
    EXPECT_EQ(form->ActiveControl(), a);
    EXPECT_EQ(log, (std::vector<std::string>{"a changed", "a click"}));

    // Checked while it takes the focus: that is no click.
    log.clear();
    b->OnEnter = TNotifyEvent::Lambda([&](TObject*) { b->SetChecked(true); });
    b->UserClick();
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(log, std::vector<std::string>{"b changed"});

    log.clear();
    a->SetEnabled(false);
    a->UserClick();
    EXPECT_FALSE(a->Checked());
    a->SetEnabled(true);
    a->OnDblClick = TNotifyEvent::Lambda([&](TObject*) { log.push_back("a double"); });
    a->UserDblClick();
    EXPECT_EQ(log, std::vector<std::string>{"a double"});

    uint16_t space = VK_SPACE;
    a->KeyUp(space, 0);
    EXPECT_TRUE(a->Checked());

    // The accelerator focuses the button; it does not check it.
    EXPECT_EQ(b->Perform(TTgRadioButton::CM_DIALOGCHAR, 'w'), 1);
    EXPECT_EQ(form->ActiveControl(), b);
    EXPECT_FALSE(b->Checked());
    EXPECT_FALSE(a->DialogChar('x'));
    b->SetEnabled(false);
    EXPECT_FALSE(b->DialogChar('W'));
}

TEST_F(RadioControls, AlignmentAndTheLookRecreateTheWindow) {
    TPanel* flat = Panel("flat");
    flat->SetCtl3D(false);
    TSpyRadio* r = Radio("r", flat);
    EXPECT_FALSE(r->Ctl3D());
    EXPECT_TRUE(r->ParentCtl3D());

    const uintptr_t first = r->Handle();
    r->SetAlignment(TAlignment::taLeftJustify);
    EXPECT_FALSE(WindowSystem().IsWindow(first));
    const uintptr_t second = r->Handle();
    EXPECT_TRUE(WindowSystem().IsWindow(second));
    r->SetCtl3D(true);
    EXPECT_FALSE(WindowSystem().IsWindow(second));
    EXPECT_TRUE(r->HandleAllocated());
    EXPECT_FALSE(r->ParentCtl3D());
    r->SetAlignment(TAlignment::taLeftJustify);  // unchanged: the window stays
    EXPECT_TRUE(WindowSystem().IsWindow(r->Handle()));
}

TEST_F(RadioControls, PublishedWithTheClassLibrarysDefaults) {
    TSpyRadio* r = Radio("r", form);
    EXPECT_EQ(r->Width(), 113);
    EXPECT_EQ(r->Height(), 17);
    struct Case {
        const char* property;
        const char* text;
        std::optional<int64_t> def;
    } cases[] = {
        {"Alignment", "taRightJustify", 1}, {"Checked", "False", 0},      {"TabStop", "False", 0},
        {"Ctl3D", "True", 1},               {"ParentCtl3D", "True", 1},   {"BiDiMode", "bdLeftToRight", 0},
        {"ParentBiDiMode", "True", 1},      {"Caption", "", std::nullopt},
    };
    for (const Case& c : cases) {
        ASSERT_NE(GetPropInfo(r, c.property), nullptr) << c.property;
        EXPECT_EQ(GetPropText(r, c.property), c.text) << c.property;
        EXPECT_EQ(GetPropInfo(r, c.property)->Default, c.def) << c.property;
    }
    SetPropText(r, "Checked", "True");
    EXPECT_TRUE(r->Checked());
}

TEST(RadioCaptionOffset, ByTheFontsSizeInPoints) {
    const std::pair<int, int> cases[] = {
        {1, 17},  {8, 17},  {9, 19},  {15, 19}, {16, 20}, {17, 20}, {18, 21}, {23, 21}, {24, 23}, {29, 23}, {30, 25},
        {35, 25}, {36, 27}, {41, 27}, {42, 29}, {43, 29}, {44, 31}, {60, 31}, {61, 39}, {80, 39}, {81, 44}, {0, 44},
        {-3, 44},
    };
    for (const auto& [size, offset] : cases) EXPECT_EQ(TTgRadioButton::CaptionOffset(size), offset) << size;
}

TEST_F(RadioControls, TheCaptionIsPaintedFromTheOffsetVerticallyCentred) {
    const std::pair<int, int> cases[] = {{8, 17}, {9, 19}, {11, 19}, {16, 20}, {20, 21}};
    for (const auto& [points, offset] : cases) {
        TSpyRadio* r = Radio("r", form);
        r->SetBounds(0, 0, 160, 40);
        r->SetColor(clYellow);
        r->Font()->SetSize(points);
        r->Font()->SetColor(clRed);
        r->SetCaption("&日");  // one wide character: the outline of its cell
        TCanvas* c = r->Canvas();
        const int h = TextHeight(*r->Font());
        const int w = TextWidth(*r->Font(), "日");
        const int top = (40 - h) / 2;

        // Where the font colour is: exactly the cell's outline, from the offset.
        int left = 1000, right = -1, first = 1000, last = -1;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 160; ++x) {
                if (c->Pixels(x, y) != clRed) continue;
                left = std::min(left, x), right = std::max(right, x);
                first = std::min(first, y), last = std::max(last, y);
            }
        }
        EXPECT_EQ(left, offset) << points;
        EXPECT_EQ(right, offset + w - 2) << points;
        EXPECT_EQ(first, top) << points;
        EXPECT_EQ(last, top + h - 1) << points;
        // The caption's ground is the button's colour from four pixels before the offset; the
        // circle before it is untouched.
        for (int x = offset - 4; x < offset; ++x) EXPECT_EQ(c->Pixels(x, 20), clYellow) << points << " x " << x;
        EXPECT_EQ(c->Pixels(12, 19), Rgb(clBtnShadow)) << points;  // the circle's right edge
        EXPECT_EQ(c->Pixels(6, 19), Rgb(clWindow)) << points;
        r->Free();
    }
}

TEST_F(RadioControls, PaintingFollowsStateFontAndAlignment) {
    TSpyRadio* r = Radio("r", form);
    r->SetColor(clYellow);
    r->Font()->SetColor(clRed);
    r->Font()->SetSize(9);
    r->SetCaption("日");
    TCanvas* c = r->Canvas();
    const int cy = (17 - 1) / 2;
    EXPECT_EQ(c->Pixels(6, cy), Rgb(clWindow));
    EXPECT_EQ(c->Pixels(19, 8), clRed);

    r->SetChecked(true);
    EXPECT_EQ(c->Pixels(6, cy), Rgb(clWindowText));
    r->SetEnabled(false);
    EXPECT_EQ(c->Pixels(6, cy), Rgb(clGrayText));
    EXPECT_EQ(c->Pixels(2, cy), Rgb(clBtnFace));
    r->Font()->SetColor(clBlue);
    EXPECT_EQ(c->Pixels(19, 8), clBlue);

    // Left justified: the circle at the right, the caption from the left edge.
    r->SetAlignment(TAlignment::taLeftJustify);
    c = r->Canvas();
    EXPECT_EQ(c->Pixels(0, 8), clBlue);
    EXPECT_EQ(c->Pixels(113 - 7, cy), Rgb(clGrayText));
    EXPECT_EQ(c->Pixels(113 - 13, cy), Rgb(clBtnShadow));
    for (int x = 113 - 17; x < 113 - 13; ++x) EXPECT_EQ(c->Pixels(x, cy), clYellow) << x;
}

// ---- TTgRadioGroup --------------------------------------------------------------------------------

namespace {

class RadioGroup : public RadioControls {
protected:
    TTgRadioGroup* group = nullptr;
    void SetUp() override {
        RadioControls::SetUp();
        group = new TTgRadioGroup(form);
        group->SetName("group");
        group->SetParent(form);
        group->OnClick = TNotifyEvent::Lambda([this](TObject*) { log.push_back("group click " + std::to_string(group->ItemIndex())); });
    }
    void Lines(const std::vector<std::string>& lines) {
        group->Items()->BeginUpdate();
        group->Items()->Clear();
        for (const std::string& l : lines) group->Items()->Add(l);
        group->Items()->EndUpdate();
    }
    std::string Checked() const {
        std::string s;
        for (int i = 0; i < group->ButtonCount(); ++i) s += group->Buttons(i)->Checked() ? '1' : '0';
        return s;
    }
};

}  // namespace

TEST_F(RadioGroup, ButtonsInColumnsOverTheGroupsSize) {
    group->SetBounds(10, 10, 200, 100);
    group->Font()->SetHeight(-13);
    group->SetColumns(2);
    Lines({"每日", "每周", "每月", "每小时", "一次"});
    ASSERT_EQ(group->ButtonCount(), 5);
    const TRect expected[] = {Rect(8, 14, 95, 27),   Rect(8, 41, 95, 27),   Rect(8, 68, 95, 27),
                              Rect(103, 14, 95, 27), Rect(103, 41, 95, 27)};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(group->Buttons(i)->BoundsRect(), expected[i]) << i;
        EXPECT_TRUE(group->Buttons(i)->Visible()) << i;
        EXPECT_EQ(group->Buttons(i)->Parent(), group);
        EXPECT_EQ(group->Buttons(i)->Caption(), (*group->Items())[i]);
    }
}

TEST_F(RadioGroup, ArrangementByTheFormulaForOtherShapes) {
    struct Case {
        int lines, columns, width, height, fontHeight;
        bool rightToLeft;
    } cases[] = {
        {3, 1, 185, 105, -12, false}, {7, 3, 300, 150, -16, false}, {4, 4, 400, 60, -12, false},
        {1, 1, 120, 40, -12, false},  {6, 4, 250, 90, -15, false},  {5, 2, 200, 100, -13, true},
    };
    for (const Case& c : cases) {
        group->SetBiDiMode(c.rightToLeft ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight);
        group->Font()->SetHeight(c.fontHeight);
        group->SetBounds(0, 0, c.width, c.height);
        group->SetColumns(c.columns);
        std::vector<std::string> lines;
        for (int i = 0; i < c.lines; ++i) lines.push_back("line " + std::to_string(i));
        Lines(lines);
        const int h = TextHeight(*group->Font());
        const int per = (c.lines + c.columns - 1) / c.columns;
        const int bw = (c.width - 10) / c.columns;
        const int s = c.height - h - 5;
        const int bh = s / per;
        const int m = (s % per) / 2 + h + 1;
        for (int i = 0; i < c.lines; ++i) {
            int left = (i / per) * bw + 8;
            if (c.rightToLeft) left = c.width - left - bw;
            EXPECT_EQ(group->Buttons(i)->BoundsRect(), Rect(left, (i % per) * bh + m, bw, bh))
                << c.lines << " lines in " << c.columns << ", button " << i;
        }
    }
}

TEST_F(RadioGroup, ResizingAndANewFontArrangeAgain) {
    group->SetBounds(0, 0, 200, 100);
    group->Font()->SetHeight(-13);
    Lines({"a", "b"});
    EXPECT_EQ(group->Buttons(1)->BoundsRect(), Rect(8, 14 + 41, 190, 41));
    group->SetBounds(0, 0, 300, 120);
    // s = 120 - 13 - 5 = 102: 51 high, margin 14.
    EXPECT_EQ(group->Buttons(1)->BoundsRect(), Rect(8, 65, 290, 51));
    group->Font()->SetHeight(-20);
    // s = 95: 47 high, margin (95 mod 2) div 2 + 21 = 21.
    EXPECT_EQ(group->Buttons(1)->BoundsRect(), Rect(8, 68, 290, 47));
    group->SetAlign(TAlign::alClient);
    EXPECT_EQ(group->Buttons(1)->Width(), form->ClientWidth() - 10);
}

TEST_F(RadioGroup, ItemIndexIsClampedAndChecksItsButton) {
    Lines({"a", "b", "c"});
    struct Case {
        int set, expected;
        const char* checked;
    } cases[] = {{1, 1, "010"}, {7, 2, "001"}, {-5, -1, "000"}, {0, 0, "100"}};
    for (const Case& c : cases) {
        group->SetItemIndex(c.set);
        EXPECT_EQ(group->ItemIndex(), c.expected) << c.set;
        EXPECT_EQ(Checked(), c.checked) << c.set;
    }
    // Each new index clicked the group once; setting it again clicks nothing.
    EXPECT_EQ(log, (std::vector<std::string>{"group click 1", "group click 2", "group click 0"}));
    SetPropText(group, "itemindex", "0");
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(RadioGroup, TheUsersClickOnAButtonChoosesItsLine) {
    Lines({"a", "b", "c"});
    group->Buttons(2)->UserClick();
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(Checked(), "001");
    EXPECT_EQ(log, std::vector<std::string>{"group click 2"});
    group->Buttons(0)->UserClick();
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(Checked(), "100");
}

TEST_F(RadioGroup, ChangingTheLinesKeepsButtonsAndIndexInStep) {
    Lines({"a", "b", "c", "d", "e"});
    group->SetItemIndex(4);
    log.clear();
    Lines({"x", "y", "z"});
    EXPECT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(Checked(), "001");
    EXPECT_EQ(group->Buttons(0)->Caption(), "x");
    // Checking the button of a moved index is the group's own doing: no click.
    EXPECT_TRUE(log.empty());
    group->Items()->Add("w");
    EXPECT_EQ(group->ButtonCount(), 4);
    EXPECT_EQ(group->Buttons(3)->Caption(), "w");
    EXPECT_TRUE(group->Buttons(3)->Visible());
    group->Items()->Clear();
    EXPECT_EQ(group->ButtonCount(), 0);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(group->ControlCount(), 0);
}

TEST_F(RadioGroup, ColumnsStayBetweenOneAndSixteen) {
    const std::pair<int, int> cases[] = {{0, 1}, {20, 16}, {5, 5}, {-3, 1}, {16, 16}};
    for (const auto& [set, expected] : cases) {
        group->SetColumns(set);
        EXPECT_EQ(group->Columns(), expected) << set;
    }
}

TEST_F(RadioGroup, AStoredGroupIsBuiltOnceLoaded) {
    auto* stored = new TTgRadioGroup(form);
    stored->BeginLoading();
    stored->SetParent(form);
    stored->SetBounds(0, 0, 200, 100);
    stored->Items()->SetText("a\nb\nc\n");
    stored->SetItemIndex(5);
    SetPropText(stored, "Columns", "3");
    EXPECT_EQ(stored->ButtonCount(), 0);
    EXPECT_EQ(stored->ItemIndex(), 5);
    stored->EndLoading();
    ASSERT_EQ(stored->ButtonCount(), 3);
    EXPECT_EQ(stored->ItemIndex(), 2);
    EXPECT_TRUE(stored->Buttons(2)->Checked());
    EXPECT_EQ(stored->Buttons(1)->Left(), 8 + 63);
}

TEST_F(RadioGroup, EnabledKeysAndTheButtonsOwnSettings) {
    Lines({"a", "b"});
    group->SetShowHint(true);
    group->Items()->Add("c");
    EXPECT_FALSE(group->Buttons(2)->ParentShowHint());
    group->SetEnabled(false);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(group->Buttons(i)->Enabled());
    group->Items()->Add("d");
    EXPECT_FALSE(group->Buttons(3)->Enabled());
    group->SetEnabled(true);
    EXPECT_TRUE(group->Buttons(3)->Enabled());

    group->OnKeyDown = TKeyEvent::Lambda([this](TObject*, uint16_t& key, TShiftState) { log.push_back("down " + std::to_string(key)); });
    group->OnKeyPress = TKeyPressEvent::Lambda([this](TObject*, char& key) { log.push_back(std::string("press ") + key); });
    log.clear();
    group->Buttons(1)->SetFocus();
    group->Buttons(1)->SendKey('Q', 0, 'q');
    EXPECT_EQ(log, (std::vector<std::string>{"down 81", "press q"}));

    group->SetCtl3D(false);
    EXPECT_FALSE(group->Buttons(0)->Ctl3D());
    group->Buttons(0)->SetCtl3D(true);
    group->SetCtl3D(true);
    group->SetCtl3D(false);
    EXPECT_TRUE(group->Buttons(0)->Ctl3D());
    EXPECT_FALSE(group->Buttons(1)->Ctl3D());
}

TEST_F(RadioGroup, AButtonFreedFromOutsideIsDropped) {
    Lines({"a", "b", "c"});
    group->SetItemIndex(2);
    group->Buttons(2)->Free();
    EXPECT_EQ(group->ButtonCount(), 2);
    group->SetItemIndex(1);
    EXPECT_EQ(Checked(), "01");
    group->Items()->Add("d");
    EXPECT_EQ(group->ButtonCount(), 4);
}
