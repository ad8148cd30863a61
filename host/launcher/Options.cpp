#include "Options.h"

#include <charconv>
#include <string_view>

namespace launcher {

namespace {

bool ParseInt64(std::string_view s, int64_t& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (name.rfind("--", 0) == 0) {
            if (const size_t eq = name.find('='); eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
                hasValue = true;
            }
        } else if (name != "-h") {
            throw UsageError("unexpected argument '" + name + "' (options begin with --)");
        }
        auto flag = [&]() {
            if (hasValue) throw UsageError(name + " takes no value");
        };
        auto take = [&]() -> std::string {
            if (hasValue) return value;
            if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
            return args[++i];
        };
        if (name == "--help" || name == "-h") {
            flag();
            o.help = true;
        } else if (name == "--module") {
            o.module = take();
        } else if (name == "--user") {
            o.user = take();
        } else if (name == "--company") {
            o.company = take();
        } else if (name == "--database") {
            o.database = take();
        } else if (name == "--host-window") {
            const std::string v = take();
            if (!ParseInt64(v, o.hostWindow)) throw UsageError("--host-window needs a whole number, not '" + v + "'");
        } else if (name == "--host-data") {
            o.hostData = take();
        } else if (name == "--context-size") {
            const std::string v = take();
            int64_t n = 0;
            if (!ParseInt64(v, n) || n < 3 || n > 5) throw UsageError("--context-size needs 3, 4 or 5, not '" + v + "'");
            o.contextSize = static_cast<int>(n);
        } else if (name == "--manager") {
            o.manager = take();
            if (o.manager.empty()) throw UsageError("--manager needs a ProgID (or use --no-manager)");
        } else if (name == "--no-manager") {
            flag();
            o.noManager = true;
        } else if (name == "--script") {
            o.script = take();
        } else if (name == "--trace") {
            flag();
            o.trace = true;
        } else {
            throw UsageError("unknown option '" + name + "'");
        }
    }
    return o;
}

rtl::Variant ContextArray(const Options& o) {
    std::vector<rtl::Variant> items = {rtl::Variant(o.user), rtl::Variant(o.company), rtl::Variant(o.database),
                                       rtl::Variant(static_cast<long long>(o.hostWindow)), rtl::Variant(o.hostData)};
    items.resize(static_cast<size_t>(o.contextSize));
    return rtl::VarArrayOf(std::move(items));
}

std::string HelpText() {
    return R"HELP(Usage: kpa-launcher [options] [--script FILE]

Loads a module of the suite, asks it for its controller and drives the controller with a
script, as the suite's launcher does, with no window system. Every event, dialog and result
is written to standard output as one JSON line; errors also go to standard error.

Options:
  --module PATH        the module library (default: KPAB02C.so beside this program)
  --user CODE          context element 0, the user code (default: your login name)
  --company CODE       context element 1, the company code (default: empty)
  --database NAME      context element 2, the company database (default: empty)
  --host-window N      context element 3, the host window handle (default: 0)
  --host-data TEXT     context element 4, the host data (default: empty)
  --context-size N     hand over only the first N elements (3, 4 or 5; default 5), to
                       reproduce a launcher that sends a short context array
  --manager PROGID     the manager object, created by ProgID through the registry
                       (default: CorvaneWorkCenter.Manager)
  --no-manager         leave the controller's Manager empty
  --script FILE        read the script from FILE (default, or "-": standard input; at a
                       terminal, errors are reported and the session goes on)
  --trace              also write each command as {"line":N,"command":"..."}
  -h, --help           show this text

The script: one command a line; blank lines and lines starting with # are skipped. NAME is
a component of the current form: the innermost modal form or dialog while one runs, else
the controller's form. TEXT is the rest of the line, or a JSON string ("a\tb", "  x ")
when it starts with a double quote.

  create               CreateForm with the context array        -> {"create":0}
  show                 SetVisible(true)
  hide                 SetVisible(false)
  visible              GetVisible                               -> {"visible":true}
  modal                ShowModal: the lines that follow act on the modal form until it
                       has its result                          -> {"modal":2}
  update JSON          UpdateParams([false, JSON])              -> {"update":0}
  exec JSON            ExecCommand(5, 0, JSON)                  -> {"exec":0}
                       JSON is the update record, e.g. [2,[true,[[[0,"edPrintDate"]],["2024/03/05"]]]]:
                       arrays are variant arrays, null is Null, strings, numbers and
                       true/false keep their kind
  info                 GetFormInfo                              -> {"info":["ADMIN","C01","KPAB02","..."]}
                                                                   ({"info":null} without a form)
  version              GetVersion                               -> {"version":"870401-0.00.00"}
  freed                FormFreed                                -> {"freed":false}
  notify               DoFormNotify (event 320)
  click NAME           click a control or menu item as the user does (the focus moves
                       to it first; check boxes and radio buttons toggle; a tab sheet's
                       tab is clicked to show the sheet)
  set NAME.PROP TEXT   set a published property from text (NAME.Font.Size 12 reaches into
                       object properties)
  type NAME TEXT       type into an edit or combo box key by key; other controls get TEXT
                       as their text
  key [NAME] KEY       press a key on NAME, or on the focused control: F1..F12, Enter, Tab,
                       Escape, Space, Backspace, Delete, Insert, Home, End, PageUp,
                       PageDown, Left, Right, Up, Down, A..Z, 0..9, with Ctrl+, Shift+, Alt+
                       (keys go through the key events; use type to enter text)
  select NAME ROW      select row ROW (0 first) of a list box, combo box or list view, as
                       the user's click does, or tab ROW of a page control
  answer BUTTON        press BUTTON (its name, e.g. OK, Yes, Cancel, or its caption) on the
                       dialog that is showing; given when none is showing, it answers the
                       next dialog as soon as it appears
  lookup JSON          queue the user's next answer to the manager's lookup window (F2
                       lookup, date picker, phrase): a row number, rows, a "YYYYMMDD" date,
                       a text, or null to cancel; see docs/manager.md
  close                close the current form as the user does
  dump [NAME]          the component tree of the current form or of NAME -> {"dump":{...}}
  expect NAME.PROP TEXT
                       stop with an error unless the property's text is TEXT
  expect WHAT VALUE    stop with an error unless the last WHAT written equals VALUE (JSON,
                       or a bare text): create, update, exec, modal, visible, info,
                       version, freed, event (its code), dialog (its text), ResultCode and
                       ResultValue (the controller's values now)
  process              deliver posted messages; done after every command too, except while
                       a dialog (or a form other than the controller's) runs modally: the
                       module is then in the middle of an operation
  free-form            FreeForm (not while a modal form runs)
  free-controller      free the controller (not while a modal form runs)

When a dialog or modal form appears, the launcher writes it and reads the lines that follow
for it; when the script ends first, it is closed with Cancel. At the end of the script the
controller is freed (an open form reports 304) and the last line is
{"ResultCode":N,"ResultValue":...}.

Output lines:
  {"event":272,"name":"FormShow"}    events 256 FormCreate, 272 FormShow, 288 FormHide,
                                     304 FormDestroy (with ResultCode and ResultValue),
                                     320 FormNotify
  {"dialog":{"type":"mtError","caption":"...","text":"...","buttons":["OK=确定"]}}
  {"modal-form":{"name":"...","class":"...","caption":"..."}}   a form (no dialog) runs modally
  {"dump":{"name":..,"class":..,"caption" or "text":..,"visible":..,"enabled":..,"left":..,
           "top":..,"width":..,"height":.., where they apply "checked", "itemIndex",
           "rows" (list view rows: caption then sub-items), "columns", "tabIndex", "tabs",
           "focused", then "children":[...] and, for the root, "components":[...]}}
  {"error":"...","line":N,"command":"..."}   the session stops here

Exit status: 0 when the script ran to its end; 2 after an error in the script (unknown
command, missing component, bad JSON, failing operation, unmet expect), a bad option, or a
module, manager or script that cannot be opened.

Environment: the registry is the file named by KPA_REGISTRY (default /etc/kpa/registry.reg);
it names the manager's and the application server's libraries and the launcher's folders
(HKEY_LOCAL_MACHINE\Software\TGK\Steward, where StewardC.ini is read). KPA_ACP sets the
system code page (else LC_ALL, LC_CTYPE or LANG: zh_CN 936, zh_TW 950); TMPDIR the
temporary folder.

Example:
  kpa-launcher --user ADMIN --company C01 --database KPADB <<'EOF'
  create
  show
  dump
  select lview02 0
  click btnCancel
  EOF

See docs/launcher.md for more.
)HELP";
}

}  // namespace launcher
