// Spin edits: the value and its bounds, the text behind it, the keys and buttons, typing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Forms.h"
#include "platform/ui/Spin.h"

using namespace ui;

namespace {
struct Spin {
    TSpinEdit* e = new TSpinEdit(nullptr);
    ~Spin() { e->Free(); }
    TSpinEdit* operator->() const { return e; }
};
}  // namespace

TEST(SpinEdits, DefaultsAndPublishedProperties) {
    Spin s;
    EXPECT_EQ(s->Text(), "0");
    EXPECT_EQ(s->Value(), 0);
    EXPECT_EQ(s->ClassName(), "TSpinEdit");
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"EditorEnabled", "True"}, {"Increment", "1"}, {"MinValue", "0"}, {"MaxValue", "0"}, {"Value", "0"},
             {"Width", "121"}, {"Height", "21"}, {"TabStop", "True"}}) {
        EXPECT_EQ(GetPropText(s.e, name), value) << name;
    }
    SetPropText(s.e, "Value", "17");
    EXPECT_EQ(s->Text(), "17");
    ASSERT_NE(s->Button(), nullptr);
    EXPECT_EQ(s->Button()->Parent(), s.e);
    EXPECT_EQ(s->Button()->FocusControl(), s.e);
}

TEST(SpinEdits, TheValueIsKeptInRangeUnlessTheBoundsAreEqual) {
    struct Case {
        int min, max, set, expected;
    } cases[] = {
        {0, 0, -5, -5},   {0, 0, 1000, 1000}, {1, 10, 0, 1},   {1, 10, 11, 10},
        {1, 10, 5, 5},    {5, 5, 100, 100},   {10, 1, 5, 10},  {-3, -1, 0, -1},
    };
    for (const Case& c : cases) {
        Spin s;
        s->SetMinValue(c.min);
        s->SetMaxValue(c.max);
        s->SetValue(c.set);
        EXPECT_EQ(s->Value(), c.expected) << c.min << ".." << c.max << " <- " << c.set;
        EXPECT_EQ(s->Text(), std::to_string(c.expected));
    }
}

TEST(SpinEdits, TheTextIsTheValue) {
    struct Case {
        const char* text;
        int value;  // with MinValue 3
    } cases[] = {{"42", 42}, {"-7", -7}, {"+8", 8}, {"abc", 3}, {"", 3}, {"1.5", 3}, {"99999999999", 3}};
    for (const Case& c : cases) {
        Spin s;
        s->SetMinValue(3);
        s->SetMaxValue(3);  // equal bounds: the value is not corrected
        s->SetText(c.text);
        EXPECT_EQ(s->Value(), c.value) << c.text;
        EXPECT_EQ(s->Text(), c.text);  // reading never rewrites the text
    }
    // New bounds change nothing at once.
    Spin s;
    s->SetValue(50);
    s->SetMinValue(1);
    s->SetMaxValue(10);
    EXPECT_EQ(s->Value(), 50);
}

TEST(SpinEdits, UpAndDownAddTheIncrement) {
    Spin s;
    s->SetMinValue(0);
    s->SetMaxValue(10);
    s->SetIncrement(4);
    s->SetValue(5);
    std::vector<std::string> changes;
    s->OnChange = TNotifyEvent::Lambda([&](TObject*) { changes.push_back(s->Text()); });
    uint16_t key = VK_UP;
    s->KeyDown(key, 0);
    EXPECT_EQ(s->Value(), 9);
    key = VK_UP;
    s->KeyDown(key, 0);
    EXPECT_EQ(s->Value(), 10);  // kept in range
    s->Button()->ClickDown();
    EXPECT_EQ(s->Value(), 6);
    s->Button()->ClickUp();
    EXPECT_EQ(s->Value(), 10);
    EXPECT_EQ(changes, (std::vector<std::string>{"9", "10", "6", "10"}));
    s->SetReadOnly(true);
    key = VK_DOWN;
    s->KeyDown(key, 0);
    s->Button()->ClickDown();
    EXPECT_EQ(s->Value(), 10);
}

TEST(SpinEdits, AButtonPressFocusesTheEditFirst) {
    TForm* form = CreateForm<TForm>(nullptr);
    auto* other = new TEdit(form);
    other->SetParent(form);
    auto* spin = new TSpinEdit(form);
    spin->SetParent(form);
    std::vector<std::string> log;
    spin->OnEnter = TNotifyEvent::Lambda([&](TObject*) { log.push_back("enter " + spin->Text()); });
    spin->OnChange = TNotifyEvent::Lambda([&](TObject*) { log.push_back("change " + spin->Text()); });
    form->Show();
    ASSERT_EQ(form->ActiveControl(), other);
    spin->Button()->ClickUp();
    EXPECT_EQ(form->ActiveControl(), spin);
    EXPECT_EQ(log, (std::vector<std::string>{"enter 0", "change 1"}));
    form->Free();
}

TEST(SpinEdits, TypingLetsNumbersThrough) {
    struct Case {
        bool editorEnabled;
        const char* typed;
        const char* text;
    } cases[] = {
        {true, "12a+-.3", "12+-.3"},
        {true, "12\b5", "15"},
        {true, "1\r2", "12"},     // Enter is no character of a number
        {false, "12", "0"},       // not editable by typing ...
        {false, "\b", "0"},       // ... not even erasable
    };
    for (const Case& c : cases) {
        Spin s;
        s->SetEditorEnabled(c.editorEnabled);
        s->SetText("");
        if (!c.editorEnabled) s->SetText("0");
        s->SetSelStart(static_cast<int>(s->Text().size()));
        s->TypeText(c.typed);
        EXPECT_EQ(s->Text(), c.text) << c.typed;
    }
}

TEST(SpinEdits, LeavingCorrectsAValueOutOfRangeAfterTheExitEvent) {
    TForm* form = CreateForm<TForm>(nullptr);
    auto* spin = new TSpinEdit(form);
    spin->SetParent(form);
    auto* other = new TEdit(form);
    other->SetParent(form);
    spin->SetMinValue(1);
    spin->SetMaxValue(10);
    std::string seenOnExit;
    spin->OnExit = TNotifyEvent::Lambda([&](TObject*) { seenOnExit = spin->Text(); });
    form->Show();
    ASSERT_EQ(form->ActiveControl(), spin);
    spin->SetText("50");
    other->SetFocus();
    EXPECT_EQ(seenOnExit, "50");
    EXPECT_EQ(spin->Text(), "10");
    spin->SetFocus();
    spin->SetText("x");  // no number: read as MinValue, which is in range; the text stays
    other->SetFocus();
    EXPECT_EQ(spin->Text(), "x");
    form->Free();
}

TEST(SpinEdits, HeightAndButtonPlace) {
    Spin s;
    EXPECT_EQ(s->MinHeight(), 12 + 3 + 2);
    EXPECT_EQ(s->Button()->BoundsRect(), (TRect{121 - 15 - 5, 0, 121 - 5, 21 - 5}));
    s->SetBounds(0, 0, 80, 5);
    EXPECT_EQ(s->Height(), 17);
    EXPECT_EQ(s->Button()->BoundsRect(), (TRect{80 - 20, 0, 80 - 5, 17 - 5}));
    s->Font()->SetHeight(-24);
    EXPECT_EQ(s->MinHeight(), 24 + 4 + 2);
    s->SetHeight(10);
    EXPECT_EQ(s->Height(), 30);
}
