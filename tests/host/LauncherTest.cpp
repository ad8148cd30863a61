// kpa-launcher itself, run as a program on the real module: the suite's manager and application
// server come from KpaFakeSuite.so through a temporary registry, as a user's installation
// names its own.
#include <gtest/gtest.h>

#include "Program.h"
#include "Script.h"
#include "support/Fixtures.h"
#include "support/HostObjects.h"

using hosttest::ProgramRun;
using launcher::Json;

namespace {

class Launcher : public ::testing::Test {
protected:
    kpatest::TempDir root;
    kpatest::ScopedRegistry reg;
    const std::string callLog = root.File("calls.log");
    const std::vector<std::string> context = {"--user", "ADMIN", "--company", "C01", "--database", "KPADB",
                                              "--host-window", "4242", "--host-data", "from the host"};

    void SetUp() override {
        root.Write("StewardC.ini", "[Server Information]\nComputerName=127.0.0.1\nServerPort=211\n");
        Register(true);
    }
    void Register(bool withManager) {
        const std::string suite = kpatest::BinFolder() + "KpaFakeSuite.so";
        std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> keys = {
            {"HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward", {{"ClientPath", root.Path()}, {"ServerPath", root.Path()}}},
            {"HKEY_CLASSES_ROOT\\RiveviVozodavE.dmReportCounter\\InprocServer32", {{"", suite}}},
        };
        if (withManager) keys.push_back({"HKEY_CLASSES_ROOT\\CorvaneWorkCenter.Manager\\InprocServer32", {{"", suite}}});
        reg.SetKeys(keys);
    }
    ProgramRun Launch(std::vector<std::string> args, const std::string& script, std::map<std::string, std::string> env = {}) {
        env["KPA_REGISTRY"] = reg.FilePath();
        env["KPA_ACP"] = "936";
        env["KPA_FAKE_SUITE_LOG"] = callLog;
        ProgramRun run = hosttest::RunProgram(kpatest::BinFolder() + "kpa-launcher", args, script, env);
        EXPECT_FALSE(run.timedOut) << run.out << run.err;
        return run;
    }
    ProgramRun LaunchWithContext(const std::string& script, std::vector<std::string> more = {}) {
        std::vector<std::string> args = context;
        args.insert(args.end(), more.begin(), more.end());
        return Launch(args, script);
    }
    static const Json* FindNode(const Json& node, const std::string& name) {
        if (const Json* n = node.Find("name"); n && n->AsString() == name) return &node;
        if (const Json* children = node.Find("children")) {
            for (const Json& c : children->Items()) {
                if (const Json* found = FindNode(c, name)) return found;
            }
        }
        return nullptr;
    }
};

TEST_F(Launcher, HelpDocumentsEveryCommandAndOption) {
    const ProgramRun run = Launch({"--help"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("Usage: kpa-launcher", 0), 0u);
    for (int v = 0; v <= static_cast<int>(launcher::Verb::FreeController); ++v) {
        const std::string word = launcher::VerbWord(static_cast<launcher::Verb>(v));
        EXPECT_NE(run.out.find("\n  " + word), std::string::npos) << word;
    }
    for (const char* option : {"--module", "--user", "--company", "--database", "--host-window", "--host-data",
                               "--context-size", "--manager", "--no-manager", "--script", "--trace", "--help",
                               "KPA_REGISTRY", "KPA_ACP", "Exit status"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
}

TEST_F(Launcher, BadOptionsAreRefusedWithStatus2) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"}, {"--context-size", "6"}, {"--context-size", "2"}, {"--host-window", "x"},
        {"--trace=yes"}, {"stray"}, {"--user"},
    };
    for (const auto& args : cases) {
        const ProgramRun run = Launch(args, "");
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_NE(run.err.find("kpa-launcher: "), std::string::npos) << args[0];
        EXPECT_NE(run.err.find("--help"), std::string::npos) << args[0];
    }
}

TEST_F(Launcher, ASessionOnTheRealModule) {
    const ProgramRun run = LaunchWithContext(
        "# start, look, close\n"
        "create\n"
        "info\n"
        "version\n"
        "show\n"
        "visible\n"
        "dump\n"
        "free-form\n"
        "freed\n");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    const std::vector<Json> lines = run.Lines();
    ASSERT_GE(lines.size(), 9u) << run.out;
    EXPECT_EQ(lines[0].Dump(), R"({"event":256,"name":"FormCreate"})");
    EXPECT_EQ(run.With("create")[0].Dump(), R"({"create":0})");
    EXPECT_EQ(run.With("info")[0].Dump(), R"({"info":["ADMIN","C01","KPAB02","决策分析文件"]})");
    EXPECT_EQ(run.With("version")[0].Dump(), R"({"version":"870401-0.00.00"})");
    EXPECT_EQ(run.With("visible")[0].Dump(), R"({"visible":true})");
    std::vector<int64_t> events;
    for (const Json& e : run.With("event")) events.push_back(e.At("event").AsInt());
    EXPECT_EQ(events, (std::vector<int64_t>{256, 272, 304}));
    const Json dump = run.With("dump")[0].At("dump");
    EXPECT_EQ(dump.At("name").AsString(), "frmKpab02");
    EXPECT_EQ(dump.At("class").AsString(), "TfrmKpab02");
    EXPECT_TRUE(dump.At("visible").AsBool());
    ASSERT_NE(FindNode(dump, "btnCancel"), nullptr) << dump.Dump();
    EXPECT_EQ(run.With("freed")[0].Dump(), R"({"freed":true})");
    EXPECT_EQ(lines.back().Dump(), R"({"ResultCode":0,"ResultValue":null})");
    // The context reached the module: it looked its program up in the company database named.
    EXPECT_NE(kpatest::ReadFile(callLog).find("Validator.CheckValue ADMMB,01,KPADB,KPAB02"), std::string::npos)
        << kpatest::ReadFile(callLog);
}

TEST_F(Launcher, TheUserActsOnTheModulesForm) {
    const ProgramRun run = LaunchWithContext(
        "create\n"
        "show\n"
        "click tsOption2\n"             // the tab of the system page
        "dump pgOption\n"
        "type edPrintDate 20240305\n"
        "expect edPrintDate.Text 20240305\n"
        "dump lstCondition\n"
        "click btnCancel\n"
        "freed\n");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    const std::vector<Json> dumps = run.With("dump");
    ASSERT_EQ(dumps.size(), 2u);
    const Json& pages = dumps[0].At("dump");
    EXPECT_EQ(pages.At("tabIndex").AsInt(), 1);
    EXPECT_EQ(pages.At("tabs").Items().size(), 2u);
    EXPECT_TRUE(FindNode(pages, "tsOption2")->At("visible").AsBool());
    EXPECT_FALSE(FindNode(pages, "tsOption1")->At("visible").AsBool());
    const Json& conditions = dumps[1].At("dump");
    EXPECT_EQ(conditions.At("class").AsString(), "TListView");
    EXPECT_EQ(conditions.At("rows").Dump(), "[]");
    EXPECT_FALSE(conditions.At("columns").Items().empty());
    // Cancel closed the form, which freed itself.
    EXPECT_EQ(run.With("event").back().At("event").AsInt(), 304);
    EXPECT_EQ(run.With("freed")[0].Dump(), R"({"freed":true})");
}

TEST_F(Launcher, AShortContextIsReportedInADialog) {
    // The start-up reports the short array, reports it again as the pending message when it
    // reads the configuration, and gives up on the connection.
    const ProgramRun run = LaunchWithContext("create\nanswer OK\nanswer OK\nanswer OK\nfreed\n", {"--context-size", "4"});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    std::vector<std::string> texts;
    for (const Json& d : run.With("dialog")) texts.push_back(d.At("dialog").At("text").AsString());
    EXPECT_EQ(texts, (std::vector<std::string>{"E;000038", "E;000038", "E;000006"})) << run.out;
    EXPECT_EQ(run.With("dialog")[0].At("dialog").Dump(),
              R"({"type":"mtError","caption":"TGForm","text":"E;000038","buttons":["OK=确定"]})");
    EXPECT_EQ(run.With("create")[0].Dump(), R"({"create":-1})");
    // The posted close request freed the form once the start-up was over.
    EXPECT_EQ(run.With("freed")[0].Dump(), R"({"freed":true})");
    EXPECT_EQ(run.With("event").back().At("event").AsInt(), 304);
}

TEST_F(Launcher, ModalRunEndsWithTheFormsResult) {
    const ProgramRun run = LaunchWithContext("create\nmodal\nclick btnCancel\nprocess\nfreed\n");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.With("modal-form")[0].At("modal-form").At("name").AsString(), "frmKpab02");
    EXPECT_EQ(run.With("modal")[0].Dump(), R"({"modal":2})");
    EXPECT_EQ(run.With("freed")[0].Dump(), R"({"freed":true})");
}

TEST_F(Launcher, PackagesReachTheForm) {
    const ProgramRun run = LaunchWithContext(
        "create\n"
        "update [0, [true, [[[0, \"edPrintDate\"]], [\"2024/03/05\"]]]]\n"
        "exec [1, [true, [[[0, \"nothing\"]], [\"x\"]]]]\n"
        "answer OK\n"
        "exec [\"mode?\"]\n");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.With("update")[0].Dump(), R"({"update":0})");
    const std::vector<Json> execs = run.With("exec");
    ASSERT_EQ(execs.size(), 2u);
    EXPECT_EQ(execs[0].Dump(), R"({"exec":0})");
    EXPECT_EQ(execs[1].Dump(), R"({"exec":-1})");
    ASSERT_EQ(run.With("dialog").size(), 1u);
    EXPECT_EQ(run.With("dialog")[0].At("dialog").At("text").AsString(), "W;000014");
}

TEST_F(Launcher, ScriptErrorsNameTheLineAndStopWithStatus2) {
    struct Case {
        std::string script;
        int line;
        std::string command;
        std::string message;
    } cases[] = {
        {"create\nshow\n\nclick btnNowhere\nfreed\n", 4, "click btnNowhere", "has no component 'btnNowhere'"},
        {"create\nlaunch now\n", 2, "launch now", "unknown command 'launch'"},
        {"create\nupdate [0, [true\n", 2, "update [0, [true", "JSON: "},
        {"create\nversion\nexpect version 1.0\n", 3, "expect version 1.0", "expected version 1.0, got \"870401-0.00.00\""},
    };
    for (const Case& c : cases) {
        const ProgramRun run = LaunchWithContext(c.script);
        EXPECT_EQ(run.status, 2) << c.script;
        const std::vector<Json> lines = run.Lines();
        ASSERT_FALSE(lines.empty()) << c.script;
        const Json& last = lines.back();
        ASSERT_NE(last.Find("error"), nullptr) << c.script << run.out;
        EXPECT_EQ(last.At("line").AsInt(), c.line) << c.script;
        EXPECT_EQ(last.At("command").AsString(), c.command) << c.script;
        EXPECT_NE(last.At("error").AsString().find(c.message), std::string::npos) << last.Dump();
        EXPECT_NE(run.err.find("line " + std::to_string(c.line) + ": "), std::string::npos) << run.err;
        EXPECT_TRUE(run.With("ResultCode").empty()) << c.script;
    }
    // The same from a script file.
    const std::string file = root.Write("session.kpa", "create\nshow\n\nclick btnNowhere\n");
    const ProgramRun run = Launch({"--script", file}, "");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.Lines().back().At("line").AsInt(), 4);
}

TEST_F(Launcher, WhatCannotStartIsReported) {
    struct Case {
        std::vector<std::string> args;
        bool registerManager;
        std::string message;
    } cases[] = {
        {{"--module", "/nonexistent/KPAB02C.so"}, true, "cannot load the module /nonexistent/KPAB02C.so"},
        {{"--script", "/nonexistent/session.kpa"}, true, "cannot open the script /nonexistent/session.kpa"},
        {{}, false, "cannot create the manager CorvaneWorkCenter.Manager"},
        {{"--manager", "Nobody.Manager"}, true, "cannot create the manager Nobody.Manager"},
    };
    for (const Case& c : cases) {
        Register(c.registerManager);
        const ProgramRun run = Launch(c.args, "create\n");
        EXPECT_EQ(run.status, 2) << c.message;
        const std::vector<Json> lines = run.Lines();
        ASSERT_EQ(lines.size(), 1u) << run.out;
        EXPECT_EQ(lines[0].At("error").AsString().rfind(c.message, 0), 0u) << lines[0].Dump();
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    // Without a manager the module still starts: its look-ups answer nothing.
    Register(false);
    const ProgramRun run = LaunchWithContext("create\nversion\n", {"--no-manager"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.With("version")[0].Dump(), R"({"version":"870401-0.00.00"})");
}

TEST_F(Launcher, TraceEchoesTheCommands) {
    const ProgramRun run = LaunchWithContext("create\nfreed\n", {"--trace"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<Json> lines = run.Lines();
    EXPECT_EQ(lines[0].Dump(), R"({"line":1,"command":"create"})");
    EXPECT_EQ(run.With("command")[1].Dump(), R"({"line":2,"command":"freed"})");
}

}  // namespace
