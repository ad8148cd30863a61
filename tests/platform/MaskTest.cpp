// Edit masks: the mask's fields, the shown text and the program's text, typing position by
// position, the blank text of an empty edit, and the check on leaving.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Mask.h"

using namespace ui;

namespace {

// A mask edit that frees itself.
struct Edit {
    TMaskEdit* e = new TMaskEdit(nullptr);
    explicit Edit(const std::string& mask = "") { e->SetEditMask(mask); }
    ~Edit() { e->Free(); }
    TMaskEdit* operator->() const { return e; }
};

// The date separator set for a scope.
struct ScopedDateSeparator {
    char old = rtl::FormatSettings().DateSeparator;
    explicit ScopedDateSeparator(char c) { rtl::FormatSettings().DateSeparator = c; }
    ~ScopedDateSeparator() { rtl::FormatSettings().DateSeparator = old; }
};

// The base form's way of finding what an empty edit shows, through the published properties
// only: switch the mask's ";1" to ";0", clear the text, switch back, read the text, restore it.
std::string BlankTextOf(TObject* edit) {
    const std::string mask = GetStrProp(edit, "EditMask");
    const std::string text = GetStrProp(edit, "Text");
    std::string noSave = mask;
    noSave.replace(noSave.find(";1"), 2, ";0");
    SetStrProp(edit, "EditMask", noSave);
    SetStrProp(edit, "Text", "");
    SetStrProp(edit, "EditMask", mask);
    const std::string blank = GetStrProp(edit, "Text");
    SetStrProp(edit, "Text", text);
    return blank;
}

}  // namespace

TEST(MaskFields, SaveFieldBlankAndPositions) {
    struct Case {
        const char* mask;
        bool save;
        char32_t blank;
        int positions;
    } cases[] = {
        {"9999/99/99;1;_", true, U'_', 10},
        {"9999/99/99;0;_", false, U'_', 10},
        {"9999/99/99;1; ", true, U' ', 10},
        {"!999;0;*", false, U'*', 3},
        {"999;0", false, U'_', 3},       // a save field alone: the default blank
        {"99;1", true, U'_', 2},
        {"(999)", true, U'_', 5},
        {"999", true, U'_', 3},          // too short for fields
        {"\\;99", true, U'_', 3},        // an escaped ";" is a literal
        {">LL<ll", true, U'_', 4},       // directives take no position
        {"9;0;9999", true, U'_', 7},     // fields count only within the last four characters
        {"9999年99月;0;_", false, U'_', 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MaskGetMaskSave(c.mask), c.save) << c.mask;
        EXPECT_EQ(MaskGetMaskBlank(c.mask), c.blank) << c.mask;
        EXPECT_EQ(MaskMaxChars(c.mask), c.positions) << c.mask;
    }
}

TEST(MaskFormat, FormatMaskTextLaysTheValueOut) {
    struct Case {
        const char* mask;
        const char* value;
        const char* expected;
    } cases[] = {
        {"9999/99/99;1;_", "2024/3/5", "2024/3 /5 "},      // parts padded at their end
        {"9999/99/99;1;_", "", "    /  /  "},
        {"99/99;1;_", "123/45", "12/45"},                    // a long part is cut
        {"!99/99;1;_", "3/5", " 3/5 "},                      // "!" pads parts at their start
        {"!99/99;1;_", "123/45", "23/45"},                   // ... and cuts them there
        {"9999/99/99;0;_", "20240305", "2024/03/05"},        // literals put in between
        {"9999/99/99;0;_", "2024", "2024/  /  "},
        {"!999;0;_", "12", " 12"},
        {"(999)999-9999;0;_", "5551234567", "(555)123-4567"},
        {"(999)999-9999;1;_", "(555)123-4567", "(555)123-4567"},
        {"99:99;0;_", "1230", "12:30"},
        {"9999年99月;0;_", "202403", "2024年03月"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatMaskText(c.mask, c.value), c.expected) << c.mask << " / " << c.value;
}

TEST(MaskFormat, SeparatorsComeFromTheSettings) {
    ScopedDateSeparator dash('-');
    EXPECT_EQ(FormatMaskText("9999/99/99;0;_", "20240305"), "2024-03-05");
    Edit edit("9999/99/99;1;_");
    edit->SetText("2024-3-5");
    EXPECT_EQ(edit->EditText(), "2024-3_-5_");
    EXPECT_EQ(edit->Text(), "2024-3 -5 ");
}

TEST(MaskTexts, EditTextAndTextWithAndWithoutSavedLiterals) {
    struct Case {
        const char* mask;
        const char* set;
        const char* editText;
        const char* text;
    } cases[] = {
        {"9999/99/99;1;_", "2024/03/05", "2024/03/05", "2024/03/05"},
        {"9999/99/99;1;_", "2024/3/5", "2024/3_/5_", "2024/3 /5 "},
        {"9999/99/99;1;_", "", "____/__/__", "    /  /  "},
        {"9999/99/99;1; ", "", "    /  /  ", "    /  /  "},
        {"9999/99/99;0;_", "20240305", "2024/03/05", "20240305"},
        {"9999/99/99;0;_", "2024", "2024/__/__", "2024"},
        {"9999/99/99;0;_", "2024  05", "2024/  /05", "2024  05"},  // inner blanks stay
        {"99-99;0;*", "1", "1*-**", "1"},
        {"!999;0;_", "12", "_12", "12"},                            // "!" drops leading blanks
        {"!99/99;1;_", "3/5", "_3/5_", " 3/5 "},
        {">LLL;0;_", "abc", "abc", "abc"},                          // code is not cased
        {"", "any text", "any text", "any text"},
    };
    for (const Case& c : cases) {
        Edit edit(c.mask);
        edit->SetText(c.set);
        EXPECT_EQ(edit->EditText(), c.editText) << c.mask << " / " << c.set;
        EXPECT_EQ(edit->Text(), c.text) << c.mask << " / " << c.set;
        EXPECT_FALSE(edit->Modified());
    }
}

TEST(MaskTexts, ANewMaskKeepsTheTextAsReadWithTheOldOne) {
    Edit edit;
    edit->SetText("20240305");
    edit->SetEditMask("9999/99/99;0;_");
    EXPECT_EQ(edit->EditText(), "2024/03/05");
    EXPECT_EQ(edit->Text(), "20240305");
    EXPECT_EQ(edit->MaxLength(), 10);
    // Now the literals are saved: the text read without them is laid out part by part.
    edit->SetEditMask("9999/99/99;1;_");
    EXPECT_EQ(edit->EditText(), "2024/__/__");
    edit->SetText("2024/03/05");
    edit->SetEditMask("");
    EXPECT_EQ(edit->EditText(), "2024/03/05");
    EXPECT_EQ(edit->MaxLength(), 0);
}

TEST(MaskTexts, TheEmptinessCheckFindsTheBlankText) {
    struct Case {
        const char* mask;
        const char* blank;
    } cases[] = {
        {"9999/99/99;1; ", "    /  /  "},
        {"9999/99/99;1;_", "    /  /  "},
        {"99/99/9999;1; ", "  /  /    "},
        {"999/99/99;1; ", "   /  /  "},
        {"99/99/99;1; ", "  /  /  "},
        {"(999)999;1;_", "(   )   "},
    };
    for (const Case& c : cases) {
        Edit edit(c.mask);
        // An empty edit and a filled one: both give the same blank text, and both keep their text.
        EXPECT_EQ(BlankTextOf(edit.e), c.blank) << c.mask;
        EXPECT_EQ(rtl::Trim(edit->Text()), rtl::Trim(c.blank)) << c.mask;

        edit->TypeText("2024");
        const std::string shown = edit->EditText();
        const std::string text = edit->Text();
        EXPECT_EQ(BlankTextOf(edit.e), c.blank) << c.mask;
        EXPECT_EQ(edit->EditText(), shown) << c.mask;
        EXPECT_EQ(edit->Text(), text) << c.mask;
        EXPECT_NE(rtl::Trim(edit->Text()), rtl::Trim(c.blank)) << c.mask;
        EXPECT_EQ(edit->EditMask(), c.mask);
    }
}

TEST(MaskTyping, CharactersAreTakenOrRefusedByPosition) {
    struct Case {
        const char* mask;
        const char* typed;
        const char* editText;
        const char* text;
        int changes;
    } cases[] = {
        {"9999/99/99;1;_", "20240305", "2024/03/05", "2024/03/05", 8},   // literals skipped
        {"99/99;1;_", "1/5", "1_/5_", "1 /5 ", 2},                       // the literal moves on
        {"9999/99/99;1;_", "2024/3/5", "2024/__/35", "2024/  /35", 6},   // ... to behind the next one
        {"(999)999;0;_", "555123", "(555)123", "555123", 6},              // a leading literal too
        {"00;0;_", "a1b2", "12", "12", 2},
        {"99;0;_", "1234", "12", "12", 2},                                // no room behind the mask
        {"##;0;_", "x+", "+_", "+", 1},
        {"##;0;_", " -", " -", " -", 2},
        {"LLL;0;_", "a1Bc", "aBc", "aBc", 3},
        {"LL;0;_", "中文", "中文", "中文", 2},
        {"AA;0;_", "-a1", "a1", "a1", 2},
        {"CCC;0;_", "a1#", "a1#", "a1#", 3},
        {">LL<LL;0;_", "abCD", "ABcd", "ABcd", 4},
        {">L<>L;0;_", "ab", "Ab", "Ab", 2},                               // "<>" ends the casing
        {">CC;0;_", "a1", "A1", "A1", 2},
        {"9999/99/99;1;_", "2024\b\b", "20__/__/__", "20  /  /  ", 6},    // backspace blanks
        {"9999/99/99;1;_", "2024\b\b99", "2099/__/__", "2099/  /  ", 8},
        {"99;1;_", "\b", "__", "  ", 0},                                  // nothing before the first
    };
    for (const Case& c : cases) {
        Edit edit(c.mask);
        int changes = 0;
        edit->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
        edit->TypeText(c.typed);
        EXPECT_EQ(edit->EditText(), c.editText) << c.mask << " / " << c.typed;
        EXPECT_EQ(edit->Text(), c.text) << c.mask << " / " << c.typed;
        EXPECT_EQ(changes, c.changes) << c.mask << " / " << c.typed;
        EXPECT_EQ(edit->Modified(), c.changes > 0) << c.mask << " / " << c.typed;
    }
}

TEST(MaskTyping, KeysMoveAndDeleteByPosition) {
    Edit edit("9999/99/99;1;_");
    edit->SetText("2024/03/05");
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 1);  // the caret covers the position it overwrites
    uint16_t key = VK_RIGHT;
    for (int i = 0; i < 4; ++i) {
        key = VK_RIGHT;
        edit->KeyDown(key, 0);
    }
    EXPECT_EQ(edit->SelStart(), 5);   // over the literal
    key = VK_DELETE;
    edit->KeyDown(key, 0);
    EXPECT_EQ(edit->EditText(), "2024/_3/05");
    EXPECT_EQ(edit->SelStart(), 5);
    key = VK_LEFT;
    edit->KeyDown(key, 0);
    EXPECT_EQ(edit->SelStart(), 3);   // back over the literal
    edit->TypeText("5");
    EXPECT_EQ(edit->EditText(), "2025/_3/05");
    // A selection of several positions is blanked by the first character typed into it.
    edit->SetSelStart(0);
    edit->SetSelLength(10);
    edit->TypeText("1");
    EXPECT_EQ(edit->EditText(), "1___/__/__");
}

TEST(MaskTyping, ReadOnlyAndTheKeyEventsCome) {
    Edit edit("9999;0;_");
    edit->SetReadOnly(true);
    edit->TypeText("12");
    EXPECT_EQ(edit->EditText(), "____");
    edit->SetReadOnly(false);
    edit->OnKeyPress = TKeyPressEvent::Lambda([](TObject*, char& key) {
        if (key == '1') key = 0;  // swallowed by the handler
        if (key == '2') key = '7';
    });
    edit->TypeText("123");
    EXPECT_EQ(edit->EditText(), "73__");
}

TEST(MaskTyping, EscapeTakesBackWhatWasTyped) {
    Edit edit("9999/99/99;1;_");
    edit->SetText("2024/03/05");
    edit->TypeText("19");
    EXPECT_EQ(edit->EditText(), "1924/03/05");
    edit->TypeText("\x1b");
    EXPECT_EQ(edit->EditText(), "2024/03/05");
    EXPECT_FALSE(edit->Modified());
    // As a key: a changed edit keeps Escape from the form.
    edit->TypeText("1");
    uint16_t key = VK_ESCAPE;
    EXPECT_TRUE(edit->KeyDown(key, 0));
    EXPECT_EQ(edit->EditText(), "2024/03/05");
    key = VK_ESCAPE;
    EXPECT_FALSE(edit->KeyDown(key, 0));  // unchanged: the form's cancel button may have it
}

TEST(MaskClear, AClearedEditShowsNothingAndReadsAsTheBlankLayout) {
    struct Case {
        const char* mask;
        const char* text;
    } cases[] = {
        {"9999/99/99;1;_", "    /  /  "},
        {"9999/99/99;0;_", ""},
    };
    for (const Case& c : cases) {
        Edit edit(c.mask);
        edit->SetText("20240305");
        int changes = 0;
        edit->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
        edit->Clear();
        EXPECT_EQ(edit->EditText(), "") << c.mask;
        EXPECT_EQ(edit->Text(), c.text) << c.mask;
        EXPECT_EQ(changes, 1);
        // A refused character leaves it empty; the first one taken brings the layout back.
        edit->TypeText("x");
        EXPECT_EQ(edit->EditText(), "") << c.mask;
        edit->TypeText("2");
        EXPECT_EQ(edit->EditText(), "2___/__/__") << c.mask;
        EXPECT_EQ(changes, 2) << c.mask;
    }
}

TEST(MaskValidation, ARequiredBlankPositionIsRefused) {
    struct Case {
        const char* mask;
        const char* editText;
        int badPos;  // -1: valid
    } cases[] = {
        {"0000;1;_", "12__", 2},
        {"0000;1;_", "1234", -1},
        {"9999;1;_", "12__", -1},           // optional positions may stay blank
        {"0000;1;_", "12 4", 2},            // a space is no digit either
        {"LL;0;_", "a ", 1},
        {"CC;0;_", "a ", -1},               // but a space is a character
        {"CC;0;_", "a_", 1},
        {"99/00;1;_", "__/1_", 4},
        {"(000)999;0;_", "(12_)___", 3},
        {"0000;1;_", "", -1},               // an emptied edit passes
    };
    for (const Case& c : cases) {
        Edit edit(c.mask);
        edit->SetEditText(c.editText);
        EXPECT_NO_THROW(edit->ValidateEdit()) << c.mask << " / " << c.editText << ": set in code, not checked";
        edit->SetModified(true);
        if (c.badPos < 0) {
            EXPECT_NO_THROW(edit->ValidateEdit()) << c.mask << " / " << c.editText;
            continue;
        }
        try {
            edit->ValidateEdit();
            ADD_FAILURE() << c.mask << " / " << c.editText << ": no error";
        } catch (const EDBEditError& e) {
            EXPECT_EQ(e.Message(), "Invalid input value.  Use escape key to abandon changes");
            EXPECT_EQ(edit->SelStart(), c.badPos) << c.mask << " / " << c.editText;
        }
    }
}

TEST(MaskValidation, LeavingWithAnIncompleteTextKeepsTheFocus) {
    TForm* form = CreateForm<TForm>(nullptr);
    auto* date = new TMaskEdit(form);
    date->SetParent(form);
    date->SetEditMask("0000/00/00;1;_");
    auto* other = new TEdit(form);
    other->SetParent(form);
    std::vector<std::string> log;
    date->OnEnter = TNotifyEvent::Lambda([&](TObject*) { log.push_back("enter"); });
    date->OnExit = TNotifyEvent::Lambda([&](TObject*) { log.push_back("exit"); });
    form->Show();
    ASSERT_EQ(form->ActiveControl(), date);
    log.clear();

    date->TypeText("2024");
    EXPECT_THROW(other->SetFocus(), EDBEditError);
    EXPECT_EQ(form->ActiveControl(), date);
    EXPECT_EQ(date->SelStart(), 5);   // on the first blank required position
    EXPECT_TRUE(log.empty());         // neither the exit nor a second enter ran

    date->TypeText("0305");
    other->SetFocus();
    EXPECT_EQ(form->ActiveControl(), other);
    EXPECT_EQ(log, (std::vector<std::string>{"exit"}));

    // Entering again remembers the text for Escape; leaving unchanged is not checked.
    date->SetFocus();
    date->TypeText("1\x1b");
    EXPECT_EQ(date->EditText(), "2024/03/05");
    date->SetEditText("2024/__/__");
    EXPECT_NO_THROW(other->SetFocus());
    form->Free();
}
