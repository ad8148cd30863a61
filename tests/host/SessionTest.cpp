// A session driving a controller whose form lives in the test program: the command loop, the
// nested loops of modal forms and dialogs, answers, expectations and the errors that stop it.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "Session.h"
#include "TestForm.h"
#include "VariantJson.h"
#include "platform/rtl/CodePages.h"

using hosttest::TTestForm;
using launcher::Json;
using rtl::Variant;

namespace {

// A controller of the test's own form, keeping to the contract: hooks, events, results.
class FakeController : public TDLLBaseController {
public:
    TTestForm* Form = nullptr;
    std::vector<Variant> updates;  // what UpdateParams and ExecCommand handed over

    std::u16string GetVersion() override { return Form ? u"1.2.3" : u""; }
    TWordBool GetVisible() override { return Form && Form->Visible() ? -1 : 0; }
    void SetVisible(TWordBool v) override {
        if (Form) Form->SetVisible(v != 0);
    }
    uintptr_t GetHandle() override { return Form ? Form->Handle() : 0; }
    int32_t CreateForm(const Variant& params) override {
        if (!Form) {
            Form = hosttest::NewTestForm();
            DoFormCreate(nullptr);
            Form->OnShow = ui::TNotifyEvent(this, &FakeController::DoFormShow);
            Form->OnHide = ui::TNotifyEvent(this, &FakeController::DoFormHide);
            Form->OnDestroy = ui::TNotifyEvent(this, &FakeController::DoFormDestroy);
        }
        context = params;
        return params.IsArray() && params.Arr().Length() == 5 ? 0 : -1;
    }
    int32_t UpdateParams(const Variant& params) override {
        if (!Form) return -1;
        updates.push_back(params);
        // A package asking for it makes the form show a dialog during the hand-over.
        if (params.IsArray() && params[1].IsArray() && rtl::VarToStr(params[1][0]) == "ask") Form->btnAsk->Click();
        return 0;
    }
    int32_t ExecCommand(int32_t command, int32_t, const Variant& value) override {
        if (!Form || command != 5) return -1;
        updates.push_back(value);
        return 0;
    }
    Variant ShowModal() override { return Form ? Variant(Form->ShowModal()) : Variant(ui::mrCancel); }
    void FreeForm() override {
        if (Form) Form->Free();
    }
    int32_t GetFormInfo(Variant& info) override {
        if (!Form) return -1;
        info = rtl::VarArrayOf({Variant(u"ADMIN"), Variant(u"C01"), Variant(u"TEST01"), Variant(u"测试")});
        return 0;
    }
    TWordBool FormFreed() override { return Form ? 0 : -1; }
    void DoFormDestroy(ui::TObject* sender) override {
        if (Form) {
            ResultCode = Form->Tag();
            ResultValue = ResultCode ? Variant(u"R-" + rtl::Utf8ToWide(std::to_string(ResultCode))) : Variant();
        }
        Form = nullptr;
        TDLLBaseController::DoFormDestroy(sender);
    }
    ~FakeController() override {
        if (Form) FreeForm();
    }

    Variant context;
};

struct Played {
    int status = -1;
    std::vector<Json> lines;
    std::string err;
    std::string Text() const {
        std::string t;
        for (const Json& l : lines) t += l.Dump() + "\n";
        return t;
    }
    // The lines that carry a member of that name.
    std::vector<Json> With(const std::string& key) const {
        std::vector<Json> r;
        for (const Json& l : lines) {
            if (l.Find(key)) r.push_back(l);
        }
        return r;
    }
};

class SessionTest : public ::testing::Test {
protected:
    FakeController* ctl = nullptr;           // the controller of the script that plays; the session frees it
    std::function<void(int32_t)> onEvent;    // sees each event before the session does
    bool freed = false;                      // the form was destroyed while the controller went

    Played Play(const std::string& script, bool trace = false, bool keepGoing = false) {
        launcher::SessionSettings s;
        s.context = rtl::VarArrayOf({Variant("ADMIN"), Variant("C01"), Variant("DB"), Variant(0), Variant("")});
        s.trace = trace;
        s.keepGoing = keepGoing;
        std::ostringstream out, err;
        Played r;
        ctl = new FakeController();
        freed = false;
        {
            launcher::Session session(ctl, s, [this](uintptr_t h) -> ui::TCustomForm* {
                return ctl && ctl->Form && ctl->Form->Handle() == h ? ctl->Form : nullptr;
            }, out, err);
            const TDLLEvent inner = ctl->OnEvent;
            ctl->OnEvent = TDLLEvent::Lambda([this, inner](int32_t code, TDLLBaseController* c) {
                if (onEvent) onEvent(code);
                if (code == kEventFormDestroy) freed = true;
                inner(code, c);
            });
            std::istringstream in(script);
            launcher::ScriptReader reader(in);
            r.status = session.Run(reader);
        }
        ctl = nullptr;
        std::istringstream lines(out.str());
        std::string line;
        while (std::getline(lines, line)) r.lines.push_back(Json::Parse(line));
        r.err = err.str();
        return r;
    }
};

TEST_F(SessionTest, DrivesTheControllerAndWritesWhatHappens) {
    const Played r = Play(
        "# a whole session\n"
        "create\n"
        "info\n"
        "version\n"
        "show\n"
        "visible\n"
        "type edName 李雷\n"
        "expect edName.Text 李雷\n"
        "set frmTest.Tag 1\n"
        "free-form\n"
        "freed\n"
        "info\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.Text(),
              "{\"event\":256,\"name\":\"FormCreate\"}\n"
              "{\"create\":0}\n"
              "{\"info\":[\"ADMIN\",\"C01\",\"TEST01\",\"测试\"]}\n"
              "{\"version\":\"1.2.3\"}\n"
              "{\"event\":272,\"name\":\"FormShow\"}\n"
              "{\"visible\":true}\n"
              "{\"event\":304,\"name\":\"FormDestroy\",\"ResultCode\":1,\"ResultValue\":\"R-1\"}\n"
              "{\"freed\":true}\n"
              "{\"info\":null}\n"
              "{\"ResultCode\":1,\"ResultValue\":\"R-1\"}\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(SessionTest, PackagesAreHandedOverAsTheContractSays) {
    // The controller is freed at the end: look at what it was given while it runs.
    std::vector<std::string> seen;
    onEvent = [&](int32_t code) {
        if (code != kEventFormDestroy) return;
        for (const Variant& u : ctl->updates) seen.push_back(launcher::VariantToJson(u).Dump());
        seen.push_back(launcher::VariantToJson(ctl->context).Dump());
    };
    const Played r = Play("create\nupdate [0, [true]]\nexec [2, null]\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(seen, (std::vector<std::string>{R"([false,[0,[true]]])", R"([2,null])", R"(["ADMIN","C01","DB",0,""])"}));
}

TEST_F(SessionTest, ADialogReadsTheLinesThatFollow) {
    const Played r = Play(
        "create\n"
        "show\n"
        "click btnAsk\n"
        "dump\n"
        "answer No\n"
        "expect lblAnswer.Caption 7\n"
        "expect dialog Sure?\n");
    ASSERT_EQ(r.status, 0) << r.err << r.Text();
    const std::vector<Json> dialogs = r.With("dialog");
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].Dump(),
              R"({"dialog":{"type":"mtConfirmation","caption":"Confirm","text":"Sure?","buttons":["Yes=&Yes","No=&No"]}})");
    // The dump while the dialog showed was the dialog's.
    EXPECT_EQ(r.With("dump")[0].At("dump").At("class").AsString(), "TMessageForm");
}

TEST_F(SessionTest, AnAnswerGivenBeforeItsDialogWaitsForIt) {
    const Played r = Play(
        "create\n"
        "show\n"
        "answer yes\n"      // names compare without regard to case
        "click btnAsk\n"
        "expect lblAnswer.Caption 6\n"
        "answer &No\n"      // or the caption
        "click btnAsk\n"
        "expect lblAnswer.Caption 7\n");
    EXPECT_EQ(r.status, 0) << r.err << r.Text();
    EXPECT_EQ(r.With("dialog").size(), 2u);
}

TEST_F(SessionTest, ADialogDuringAHandOverIsAnsweredToo) {
    const Played r = Play("create\nshow\nupdate [\"ask\"]\nanswer Yes\nexpect update 0\nexpect lblAnswer.Caption 6\n");
    EXPECT_EQ(r.status, 0) << r.err << r.Text();
}

TEST_F(SessionTest, ModalRunsUntilTheFormHasItsResult) {
    const Played r = Play(
        "create\n"
        "modal\n"
        "type edName abc\n"
        "click btnAsk\n"    // a dialog inside the modal run
        "answer Yes\n"
        "click btnOk\n"     // the modal result ends the run
        "expect modal 1\n"
        "visible\n");
    ASSERT_EQ(r.status, 0) << r.err << r.Text();
    std::vector<std::string> order;
    for (const Json& l : r.lines) order.push_back(l.Members().front().first);
    // Closing frees the form once the run is over.
    EXPECT_EQ(order, (std::vector<std::string>{"event", "create", "event", "modal-form", "dialog", "event", "modal", "event",
                                               "visible", "ResultCode"}));
    EXPECT_EQ(r.With("modal-form")[0].Dump(), R"({"modal-form":{"name":"frmTest","class":"TTestForm","caption":"测试窗体"}})");
    EXPECT_EQ(r.With("modal")[0].Dump(), R"({"modal":1})");
    EXPECT_EQ(r.With("visible")[0].Dump(), R"({"visible":false})");
}

TEST_F(SessionTest, CloseAndKeysActAsTheUser) {
    Played r = Play(
        "create\n"
        "modal\n"
        "expect frmTest.ActiveControl edName\n"
        "key Tab\n"              // the focused control passes the focus on
        "expect frmTest.ActiveControl btnAsk\n"
        "key Escape\n"           // no cancel button: nothing happens
        "set btnOk.Default True\n"
        "key edName Enter\n"     // the default button
        "expect modal 1\n");
    EXPECT_EQ(r.status, 0) << r.err << r.Text();
    r = Play("create\nmodal\nclose\nexpect modal 2\n");
    EXPECT_EQ(r.status, 0) << r.err << r.Text();
}

TEST_F(SessionTest, ErrorsNameTheLineAndStopEverything) {
    struct Case {
        std::string script;
        int line;
        std::string message;  // the start of it
    } cases[] = {
        {"create\nbogus\nshow\n", 2, "unknown command 'bogus'"},
        {"click btnOk\n", 1, "there is no form (create it first)"},
        {"create\nshow\n\nclick btnMissing\n", 4, "the form frmTest (TTestForm) has no component 'btnMissing'"},
        {"create\nclick btnOk\n", 2, "the form frmTest (TTestForm) is not shown"},
        {"create\nshow\nclick btnOff\n", 3, "btnOff (TButton) is disabled"},
        {"create\nupdate [1,\n", 2, "JSON: "},
        {"create\nupdate [{\"a\":1}]\n", 2, "JSON: an object has no variant form"},
        {"create\nexpect create -1\n", 2, "expected create -1, got 0"},
        {"create\nexpect edName.Text x\n", 2, "expected edName.Text to be \"x\", it is \"\""},
        {"expect version 1\n", 1, "nothing to compare: no version has been written yet"},
        {"expect colour red\n", 1, "expect knows NAME.PROPERTY and create"},
        {"answer OK\ncreate\n", 1, "no dialog came for this answer"},
        {"create\nshow\nanswer Maybe\nclick btnAsk\nshow\n", 3, "the dialog has no button 'Maybe' (it has Yes, No)"},
        {"create\nmodal\nfree-form\n", 3, "cannot free the form while frmTest (TTestForm) runs modally"},
        {"create\nshow\nclick btnAsk\nfree-controller\n", 4, "cannot free the controller while"},
        {"create\nfree-controller\ninfo\n", 3, "the controller has been freed"},
        {"create\nset edName.Colour red\n", 2, "edName (TEdit) has no published property Colour"},
        {"create\nshow\nselect lstItems 9\n", 3, "lstItems (TListBox) has no row 9 (it has 3 rows)"},
        {"create\nshow\nkey btnAsk F13\n", 3, "unknown key 'F13'"},
        {"create\nshow\nkey lblAnswer F2\n", 3, "lblAnswer (TLabel) takes no keys"},
        {"create\nshow\nmodal\n", 3, "EInvalidOperation: Cannot make a visible window modal"},
    };
    for (const Case& c : cases) {
        const Played r = Play(c.script);
        EXPECT_EQ(r.status, 2) << c.script;
        ASSERT_FALSE(r.lines.empty()) << c.script;
        // The error is the last line: nothing is written after it, not even the result.
        const Json& last = r.lines.back();
        ASSERT_NE(last.Find("error"), nullptr) << c.script << r.Text();
        EXPECT_EQ(last.At("error").AsString().rfind(c.message, 0), 0u) << c.script << last.Dump();
        EXPECT_EQ(last.At("line").AsInt(), c.line) << c.script;
        EXPECT_EQ(r.With("error").size(), 1u) << c.script;
        EXPECT_NE(r.err.find("kpa-launcher: line " + std::to_string(c.line) + ": " + c.message), std::string::npos)
            << c.script << r.err;
    }
}

TEST_F(SessionTest, PostedMessagesWaitUntilTheModuleIsDoneWithItsDialog) {
    // The click posts a close request and shows a dialog: the form must outlive the dialog.
    Played r = Play("create\nshow\nclick btnQuit\ndump\nanswer OK\nfreed\n");
    ASSERT_EQ(r.status, 0) << r.err << r.Text();
    std::vector<std::string> order;
    for (const Json& l : r.lines) order.push_back(l.Members().front().first + (l.Find("event") ? l.At("event").Dump() : ""));
    EXPECT_EQ(order, (std::vector<std::string>{"event256", "create", "event272", "dialog", "dump", "event304", "freed", "ResultCode"}));
    EXPECT_EQ(r.With("freed")[0].Dump(), R"({"freed":true})");
    // Asked for while the dialog waits, delivery is refused.
    r = Play("create\nshow\nclick btnQuit\nprocess\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.lines.back().At("error").AsString(),
              "cannot deliver posted messages while the dialog \"Bye\" waits: the module is in the middle of an operation "
              "(answer or close it first)");
    // In the modal run of the controller's own form, they are delivered: the close request
    // ends the run.
    r = Play("create\nmodal\nclick btnQuit\nanswer OK\nexpect modal 2\n");
    EXPECT_EQ(r.status, 0) << r.err << r.Text();
}

TEST_F(SessionTest, AtATerminalErrorsAreReportedAndTheSessionGoesOn) {
    const Played r = Play("create\nbogus\nclick nothing\nshow\nvisible\n", false, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.With("error").size(), 2u);
    EXPECT_EQ(r.With("visible")[0].Dump(), R"({"visible":true})");
    EXPECT_NE(r.lines.back().Find("ResultCode"), nullptr);
}

TEST_F(SessionTest, AScriptThatEndsInADialogCancelsIt) {
    const Played r = Play("create\nshow\nclick btnAsk\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.With("dialog").size(), 1u);
    EXPECT_NE(r.err.find("the script ended while a dialog waited; it is closed with Cancel"), std::string::npos) << r.err;
}

TEST_F(SessionTest, TraceEchoesEachCommand) {
    const Played r = Play("create\n\n  show  \n", true);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.With("command").size(), 2u);
    EXPECT_EQ(r.lines[0].Dump(), R"({"line":1,"command":"create"})");
    EXPECT_EQ(r.With("command")[1].Dump(), R"({"line":3,"command":"show"})");
}

TEST_F(SessionTest, TheControllerIsFreedAtTheEndAndItsOutcomeWritten) {
    const Played r = Play("create\nshow\nset frmTest.Tag 2\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(freed);
    EXPECT_EQ(r.lines[r.lines.size() - 2].Dump(), R"({"event":304,"name":"FormDestroy","ResultCode":2,"ResultValue":"R-2"})");
    EXPECT_EQ(r.lines.back().Dump(), R"({"ResultCode":2,"ResultValue":"R-2"})");
}

}  // namespace
