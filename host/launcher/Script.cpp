#include "Script.h"

#include <cctype>
#include <charconv>

#include "platform/ui/Messages.h"

namespace launcher {

namespace {

enum class Shape {
    None,      // the word alone
    Json,      // the word and a JSON value
    Name,      // the word and one name
    OptName,   // the word and an optional name
    NameText,  // the word, a name and a text (possibly empty, or quoted as a JSON string)
    Key,       // the word, an optional control name and a key
    NameIndex, // the word, a name and a row number
};

struct VerbEntry {
    const char* word;
    Verb verb;
    Shape shape;
};

constexpr VerbEntry kVerbs[] = {
    {"create", Verb::Create, Shape::None},
    {"show", Verb::Show, Shape::None},
    {"hide", Verb::Hide, Shape::None},
    {"visible", Verb::Visible, Shape::None},
    {"modal", Verb::Modal, Shape::None},
    {"update", Verb::Update, Shape::Json},
    {"exec", Verb::Exec, Shape::Json},
    {"info", Verb::Info, Shape::None},
    {"version", Verb::Version, Shape::None},
    {"freed", Verb::Freed, Shape::None},
    {"notify", Verb::Notify, Shape::None},
    {"click", Verb::Click, Shape::Name},
    {"set", Verb::Set, Shape::NameText},
    {"type", Verb::Type, Shape::NameText},
    {"key", Verb::Key, Shape::Key},
    {"select", Verb::Select, Shape::NameIndex},
    {"answer", Verb::Answer, Shape::Name},
    {"lookup", Verb::Lookup, Shape::Json},
    {"close", Verb::Close, Shape::None},
    {"dump", Verb::Dump, Shape::OptName},
    {"expect", Verb::Expect, Shape::NameText},
    {"process", Verb::Process, Shape::None},
    {"free-form", Verb::FreeForm, Shape::None},
    {"free-controller", Verb::FreeController, Shape::None},
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Splits off the first word; `rest` keeps what follows, without leading blanks.
std::string_view FirstWord(std::string_view s, std::string_view& rest) {
    size_t i = 0;
    while (i < s.size() && !IsBlank(s[i])) ++i;
    std::string_view word = s.substr(0, i);
    rest = s.substr(i);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    return word;
}

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

}  // namespace

const char* VerbWord(Verb verb) {
    for (const VerbEntry& v : kVerbs) {
        if (v.verb == verb) return v.word;
    }
    return "?";
}

std::optional<Command> ParseCommand(std::string_view rawLine, int lineNumber) {
    const std::string_view line = TrimBlanks(rawLine);
    if (line.empty() || line.front() == '#') return std::nullopt;
    Command cmd;
    cmd.line = lineNumber;
    cmd.text = std::string(line);
    auto fail = [&](const std::string& message) -> ScriptError { return ScriptError(message, lineNumber, cmd.text); };

    std::string_view rest;
    const std::string word = Lower(FirstWord(line, rest));
    const VerbEntry* entry = nullptr;
    for (const VerbEntry& v : kVerbs) {
        if (word == v.word) entry = &v;
    }
    if (!entry) throw fail("unknown command '" + word + "' (kpa-launcher --help lists the commands)");
    cmd.verb = entry->verb;
    const std::string usage = std::string(" (") + entry->word;

    switch (entry->shape) {
        case Shape::None:
            if (!rest.empty()) throw fail(std::string("'") + entry->word + "' takes nothing after it");
            break;
        case Shape::Json:
            if (rest.empty()) throw fail(std::string("'") + entry->word + "' needs a JSON value" + usage + " [0, [true, [[...], [...]]]])");
            try {
                cmd.json = Json::Parse(rest);
            } catch (const JsonError& e) {
                throw fail(e.what());
            }
            break;
        case Shape::Name:
        case Shape::OptName: {
            std::string_view after;
            const std::string_view name = FirstWord(rest, after);
            if (name.empty() && entry->shape == Shape::Name) {
                throw fail(std::string("'") + entry->word + "' needs a name" + usage + (cmd.verb == Verb::Answer ? " OK)" : " btnOk)"));
            }
            if (!after.empty()) throw fail("unexpected text after '" + std::string(name) + "': " + std::string(after));
            cmd.name = std::string(name);
            break;
        }
        case Shape::NameText: {
            std::string_view after;
            const std::string_view name = FirstWord(rest, after);
            if (name.empty()) {
                throw fail(std::string("'") + entry->word + "' needs a name and a value" + usage +
                           (cmd.verb == Verb::Set ? " edPrintDate.Text 2024/03/05)" : " edPrintDate 20240305)"));
            }
            cmd.name = std::string(name);
            if (!after.empty() && after.front() == '"') {
                // A quoted text is a JSON string: blanks at its ends and escapes are kept.
                try {
                    const Json quoted = Json::Parse(after);
                    if (!quoted.IsString()) throw JsonError("JSON: a single string expected", 0);
                    cmd.value = quoted.AsString();
                } catch (const JsonError& e) {
                    throw fail(std::string("bad quoted text: ") + e.what());
                }
            } else {
                cmd.value = std::string(after);
            }
            if (cmd.verb == Verb::Set && cmd.name.find('.') == std::string::npos) {
                throw fail("'set' needs a component and a property: NAME.PROPERTY VALUE");
            }
            break;
        }
        case Shape::Key: {
            std::string_view after;
            const std::string_view first = FirstWord(rest, after);
            std::string_view second = after;
            if (first.empty()) throw fail("'key' needs a key (key edPrintDate F2, or key Enter for the focused control)");
            std::string_view keyText = first;
            if (!second.empty()) {
                std::string_view tail;
                keyText = FirstWord(second, tail);
                if (!tail.empty()) throw fail("unexpected text after the key: " + std::string(tail));
                cmd.name = std::string(first);
            }
            if (!ParseKey(keyText)) {
                throw fail("unknown key '" + std::string(keyText) + "' (F1..F12, Enter, Tab, Escape, Space, Backspace, Delete, " +
                           "Insert, Home, End, PageUp, PageDown, Left, Right, Up, Down, A..Z, 0..9; modifiers Ctrl+, Shift+, Alt+)");
            }
            cmd.value = std::string(keyText);
            break;
        }
        case Shape::NameIndex: {
            std::string_view after;
            const std::string_view name = FirstWord(rest, after);
            std::string_view tail;
            const std::string_view number = FirstWord(after, tail);
            if (name.empty() || number.empty()) throw fail("'select' needs a list and a row number (select lvList 0)");
            if (!tail.empty()) throw fail("unexpected text after the row number: " + std::string(tail));
            int index = -1;
            const auto r = std::from_chars(number.data(), number.data() + number.size(), index);
            if (r.ec != std::errc() || r.ptr != number.data() + number.size() || index < 0) {
                throw fail("row number expected (0 for the first row), not '" + std::string(number) + "'");
            }
            cmd.name = std::string(name);
            cmd.index = index;
            break;
        }
    }
    return cmd;
}

std::optional<Command> ScriptReader::Next() {
    std::string line;
    while (!ended_) {
        if (!std::getline(in_, line)) {
            ended_ = true;
            break;
        }
        ++line_;
        if (line_ == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (auto cmd = ParseCommand(line, line_)) return cmd;
    }
    return std::nullopt;
}

// ---- Keys ------------------------------------------------------------------------------------

std::optional<KeyStroke> ParseKey(std::string_view text) {
    KeyStroke k;
    // Modifiers first, each followed by "+".
    for (;;) {
        const size_t plus = text.find('+');
        if (plus == std::string_view::npos || plus + 1 == text.size()) break;
        const std::string mod = Lower(text.substr(0, plus));
        if (mod == "ctrl" || mod == "control") k.shift |= ui::ssCtrl;
        else if (mod == "shift") k.shift |= ui::ssShift;
        else if (mod == "alt") k.shift |= ui::ssAlt;
        else return std::nullopt;
        text.remove_prefix(plus + 1);
    }
    if (text.empty()) return std::nullopt;
    const std::string name = Lower(text);
    const bool plain = (k.shift & (ui::ssCtrl | ui::ssAlt)) == 0;

    struct Named {
        const char* name;
        uint16_t key;
        char ch;
    };
    static constexpr Named kNamed[] = {
        {"enter", ui::VK_RETURN, '\r'}, {"return", ui::VK_RETURN, '\r'}, {"tab", ui::VK_TAB, '\t'},
        {"escape", ui::VK_ESCAPE, 27},  {"esc", ui::VK_ESCAPE, 27},     {"space", ui::VK_SPACE, ' '},
        {"backspace", ui::VK_BACK, 8},  {"back", ui::VK_BACK, 8},       {"delete", ui::VK_DELETE, 0},
        {"del", ui::VK_DELETE, 0},      {"insert", 0x2D, 0},            {"home", 0x24, 0},
        {"end", 0x23, 0},               {"pageup", 0x21, 0},            {"pagedown", 0x22, 0},
        {"left", ui::VK_LEFT, 0},       {"right", ui::VK_RIGHT, 0},     {"up", ui::VK_UP, 0},
        {"down", ui::VK_DOWN, 0},
    };
    for (const Named& n : kNamed) {
        if (name == n.name) {
            k.key = n.key;
            // With Ctrl or Alt held these keys type nothing.
            k.ch = plain ? n.ch : 0;
            return k;
        }
    }
    if (name.size() >= 2 && name[0] == 'f') {
        int n = 0;
        const auto r = std::from_chars(name.data() + 1, name.data() + name.size(), n);
        if (r.ec == std::errc() && r.ptr == name.data() + name.size() && n >= 1 && n <= 12) {
            k.key = static_cast<uint16_t>(ui::VK_F1 + n - 1);
            return k;
        }
        return std::nullopt;
    }
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z') {
            k.key = static_cast<uint16_t>(c - 'a' + 'A');
            if (k.shift & ui::ssCtrl) k.ch = static_cast<char>(c - 'a' + 1);  // Ctrl+A types ^A
            else if (plain) k.ch = (k.shift & ui::ssShift) ? static_cast<char>(c - 'a' + 'A') : c;
            return k;
        }
        if (c >= '0' && c <= '9') {
            k.key = static_cast<uint16_t>(c);
            k.ch = plain && !(k.shift & ui::ssShift) ? c : 0;
            return k;
        }
    }
    return std::nullopt;
}

}  // namespace launcher
