// The launcher's script: one command a line, read as it comes (a file, a pipe or a terminal),
// so that a session can be typed as well as replayed.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "Json.h"

namespace launcher {

// Every command the launcher knows, in the order --help lists them.
enum class Verb {
    Create, Show, Hide, Visible, Modal, Update, Exec, Info, Version, Freed, Notify,
    Click, Set, Type, Key, Select, Answer, Lookup, Close, Dump, Expect, Process, FreeForm, FreeController,
};

struct Command {
    int line = 0;          // 1 for the first line of the script
    std::string text;      // the line as written, without blanks around it
    Verb verb = Verb::Create;
    std::string name;      // the component, button, property path or expected item
    std::string value;     // the text of set, type and expect; the key of key
    int index = -1;        // the row of select
    Json json;             // the package of update and exec
};

// A line that is no command. The message says what is wrong, without the line number.
class ScriptError : public std::runtime_error {
public:
    ScriptError(const std::string& message, int line, std::string text)
        : std::runtime_error(message), line_(line), text_(std::move(text)) {}
    int Line() const noexcept { return line_; }
    const std::string& Text() const noexcept { return text_; }

private:
    int line_;
    std::string text_;
};

// Reads one line as a command; std::nullopt for a blank line or a comment ("#" first).
// Raises ScriptError for anything else that is no command.
std::optional<Command> ParseCommand(std::string_view line, int lineNumber);

// The command word of a verb, as written in scripts.
const char* VerbWord(Verb verb);

// Reads commands from a stream, skipping blank lines and comments; a UTF-8 byte-order mark
// and carriage returns at line ends are ignored.
class ScriptReader {
public:
    explicit ScriptReader(std::istream& in) : in_(in) {}
    // The next command, or std::nullopt at the end. Raises ScriptError.
    std::optional<Command> Next();
    // The number of the last line read.
    int LineNumber() const noexcept { return line_; }
    bool AtEnd() const noexcept { return ended_; }

private:
    std::istream& in_;
    int line_ = 0;
    bool ended_ = false;
};

// A key as a script names it: "F2", "Enter", "Tab", "Escape", "A", "5", with modifiers in front
// ("Ctrl+Tab", "Shift+Alt+F4"); names compare without regard to case.
struct KeyStroke {
    uint16_t key = 0;  // the virtual key code
    uint8_t shift = 0; // ssShift, ssAlt, ssCtrl
    char ch = 0;       // the character the key types, 0 for none
};
std::optional<KeyStroke> ParseKey(std::string_view text);

}  // namespace launcher
