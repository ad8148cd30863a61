// The script language: each command's shape, the texts that are refused (with their line),
// and the keys a script can press.
#include <gtest/gtest.h>

#include <sstream>

#include "Script.h"
#include "platform/ui/Messages.h"

using launcher::Command;
using launcher::ParseCommand;
using launcher::ScriptError;
using launcher::Verb;

namespace {

Command Parse(const std::string& line) {
    std::optional<Command> c = ParseCommand(line, 7);
    if (!c) throw std::runtime_error("no command in: " + line);
    return *c;
}

TEST(ScriptParse, EveryCommandWithItsArguments) {
    struct Case {
        std::string line;
        Verb verb;
        std::string name;
        std::string value;
        int index;
    } cases[] = {
        {"create", Verb::Create, "", "", -1},
        {"  SHOW  ", Verb::Show, "", "", -1},
        {"hide", Verb::Hide, "", "", -1},
        {"visible", Verb::Visible, "", "", -1},
        {"modal", Verb::Modal, "", "", -1},
        {"info", Verb::Info, "", "", -1},
        {"version", Verb::Version, "", "", -1},
        {"freed", Verb::Freed, "", "", -1},
        {"notify", Verb::Notify, "", "", -1},
        {"close", Verb::Close, "", "", -1},
        {"process", Verb::Process, "", "", -1},
        {"free-form", Verb::FreeForm, "", "", -1},
        {"free-controller", Verb::FreeController, "", "", -1},
        {"click btnOk", Verb::Click, "btnOk", "", -1},
        {"answer 确定", Verb::Answer, "确定", "", -1},
        {"dump", Verb::Dump, "", "", -1},
        {"dump\tlview02", Verb::Dump, "lview02", "", -1},
        {"set edPrintDate.Text 2024/03/05", Verb::Set, "edPrintDate.Text", "2024/03/05", -1},
        {"set lblToday.Font.Size 12", Verb::Set, "lblToday.Font.Size", "12", -1},
        {"set edName.Text", Verb::Set, "edName.Text", "", -1},                     // empty text
        {"set edName.Text \"  two  blanks \"", Verb::Set, "edName.Text", "  two  blanks ", -1},
        {"type edName 李 雷  ", Verb::Type, "edName", "李 雷", -1},                 // trailing blanks dropped
        {"type edName \"a\\tb\\u00e9#\"", Verb::Type, "edName", "a\tb\xC3\xA9#", -1},
        {"type edName # not a comment", Verb::Type, "edName", "# not a comment", -1},
        {"key F2", Verb::Key, "", "F2", -1},
        {"key edPrintDate Ctrl+Tab", Verb::Key, "edPrintDate", "Ctrl+Tab", -1},
        {"select lview02 0", Verb::Select, "lview02", "", 0},
        {"select lstCondition 12", Verb::Select, "lstCondition", "", 12},
        {"expect create 0", Verb::Expect, "create", "0", -1},
        {"expect version 870401-0.00.00", Verb::Expect, "version", "870401-0.00.00", -1},
        {"expect edPrintDate.Text \"\"", Verb::Expect, "edPrintDate.Text", "", -1},
    };
    for (const Case& c : cases) {
        const Command cmd = Parse(c.line);
        EXPECT_EQ(cmd.verb, c.verb) << c.line;
        EXPECT_EQ(cmd.name, c.name) << c.line;
        EXPECT_EQ(cmd.value, c.value) << c.line;
        EXPECT_EQ(cmd.index, c.index) << c.line;
        EXPECT_EQ(cmd.line, 7) << c.line;
    }
    // Each verb has its word, and the word reads back as the verb.
    for (int v = 0; v <= static_cast<int>(Verb::FreeController); ++v) {
        const std::string word = launcher::VerbWord(static_cast<Verb>(v));
        std::optional<Command> c;
        try {
            c = ParseCommand(word, 1);
        } catch (const ScriptError&) {
            continue;  // needs arguments
        }
        ASSERT_TRUE(c) << word;
        EXPECT_EQ(static_cast<int>(c->verb), v) << word;
    }
}

TEST(ScriptParse, PackagesAreJson) {
    const Command u = Parse(R"(update [2, [true, [[[0, "edPrintDate"]], ["2024/03/05"]]]])");
    EXPECT_EQ(u.verb, Verb::Update);
    ASSERT_TRUE(u.json.IsArray());
    EXPECT_EQ(u.json.Items()[0].AsInt(), 2);
    const Command e = Parse("exec null");
    EXPECT_EQ(e.verb, Verb::Exec);
    EXPECT_TRUE(e.json.IsNull());
    const Command l = Parse(R"(lookup "20240305")");
    EXPECT_EQ(l.verb, Verb::Lookup);
    EXPECT_EQ(l.json.AsString(), "20240305");
}

TEST(ScriptParse, BlankLinesAndCommentsAreNoCommands) {
    for (const char* line : {"", "   ", "\t", "# a comment", "   # indented comment", "\r"}) {
        EXPECT_FALSE(ParseCommand(line, 1)) << line;
    }
}

TEST(ScriptParse, RefusedLinesSayWhy) {
    struct Case {
        const char* line;
        const char* message;  // a part of the message
    } cases[] = {
        {"launch", "unknown command 'launch'"},
        {"create now", "takes nothing after it"},
        {"click", "needs a name"},
        {"click btnOk btnCancel", "unexpected text after 'btnOk'"},
        {"answer", "needs a name"},
        {"update", "needs a JSON value"},
        {"update [1,", "JSON"},
        {"exec {\"a\":", "JSON"},
        {"set edName", "needs a component and a property"},
        {"set", "needs a name and a value"},
        {"type edName \"open", "bad quoted text"},
        {"type edName \"a\" b", "bad quoted text"},
        {"key", "needs a key"},
        {"key edName F13", "unknown key 'F13'"},
        {"key Hyper+A", "unknown key"},
        {"key edName F2 F3", "unexpected text after the key"},
        {"select lview02", "needs a list and a row number"},
        {"select lview02 -1", "row number expected"},
        {"select lview02 x", "row number expected"},
        {"select lview02 1 2", "unexpected text after the row number"},
    };
    for (const Case& c : cases) {
        try {
            ParseCommand(c.line, 12);
            ADD_FAILURE() << "accepted: " << c.line;
        } catch (const ScriptError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.line << ": " << e.what();
            EXPECT_EQ(e.Line(), 12) << c.line;
            EXPECT_EQ(e.Text(), c.line) << c.line;
        }
    }
}

TEST(ScriptReader, CountsEveryLineAndSkipsMarkAndCarriageReturns) {
    std::istringstream in("\xEF\xBB\xBF# session of 2024-03-05\r\n\r\ncreate\r\n  # indented\nshow\nbogus words\n");
    launcher::ScriptReader r(in);
    std::optional<Command> c = r.Next();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->verb, Verb::Create);
    EXPECT_EQ(c->line, 3);
    EXPECT_EQ(c->text, "create");
    c = r.Next();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->verb, Verb::Show);
    EXPECT_EQ(c->line, 5);
    try {
        r.Next();
        ADD_FAILURE() << "bogus accepted";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.Line(), 6);
        EXPECT_EQ(e.Text(), "bogus words");
    }
    EXPECT_FALSE(r.Next());
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.LineNumber(), 6);
}

TEST(ScriptKeys, NamesModifiersAndTheCharacterTyped) {
    struct Case {
        const char* text;
        uint16_t key;
        uint8_t shift;
        char ch;
    } cases[] = {
        {"F2", ui::VK_F2, 0, 0},
        {"f12", 0x7B, 0, 0},
        {"Enter", ui::VK_RETURN, 0, '\r'},
        {"return", ui::VK_RETURN, 0, '\r'},
        {"Tab", ui::VK_TAB, 0, '\t'},
        {"Shift+Tab", ui::VK_TAB, ui::ssShift, '\t'},
        {"Ctrl+Tab", ui::VK_TAB, ui::ssCtrl, 0},
        {"Escape", ui::VK_ESCAPE, 0, 27},
        {"Esc", ui::VK_ESCAPE, 0, 27},
        {"Space", ui::VK_SPACE, 0, ' '},
        {"Backspace", ui::VK_BACK, 0, 8},
        {"Delete", ui::VK_DELETE, 0, 0},
        {"Down", ui::VK_DOWN, 0, 0},
        {"PageDown", 0x22, 0, 0},
        {"a", 'A', 0, 'a'},
        {"Shift+a", 'A', ui::ssShift, 'A'},
        {"Ctrl+C", 'C', ui::ssCtrl, 3},
        {"Alt+F4", ui::VK_F4, ui::ssAlt, 0},
        {"ctrl+shift+alt+x", 'X', ui::ssCtrl | ui::ssShift | ui::ssAlt, 24},
        {"7", '7', 0, '7'},
    };
    for (const Case& c : cases) {
        const std::optional<launcher::KeyStroke> k = launcher::ParseKey(c.text);
        ASSERT_TRUE(k) << c.text;
        EXPECT_EQ(k->key, c.key) << c.text;
        EXPECT_EQ(k->shift, c.shift) << c.text;
        EXPECT_EQ(k->ch, c.ch) << c.text;
    }
    for (const char* bad : {"", "F0", "F13", "Fx", "Ctrl+", "+", "Meta+A", "AB", "Ctrl+Shift", "é"}) {
        EXPECT_FALSE(launcher::ParseKey(bad)) << bad;
    }
}

}  // namespace
