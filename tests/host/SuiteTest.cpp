// The whole suite as `make run` lays it out: kpa-launcher on the real module, with the real
// manager object and application server (in process, by ProgID) and a freshly seeded company
// database; and the server's own calls on that database.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "Program.h"
#include "CompanyDb.h"
#include "platform/com/ComObj.h"
#include "platform/data/SqlDB.h"
#include "support/Fixtures.h"
#include "support/HostObjects.h"

using hosttest::ProgramRun;
using launcher::Json;
using rtl::Variant;

namespace {

class Suite : public ::testing::Test {
protected:
    kpatest::TempDir run;
    const std::string client = run.File("client/");
    const std::string server = run.File("server/");
    const std::string docs = run.File("docs/");
    const std::string opened = run.File("opened.log");
    std::string registry;

    void SetUp() override {
        std::filesystem::create_directories(client);
        std::filesystem::create_directories(server);
        std::filesystem::create_directories(docs);
        Registry(kpatest::BinFolder() + "KpaAppServer.so");
        run.Write("client/StewardC.ini", "[Server Information]\nComputerName=127.0.0.1\nServerPort=211\n");
        run.Write("server/StewardS.ini", "[DBE Setting]\nMainDBType=SQLITE\nMainDBName=" + server +
                                             "company.db\n[WorkDLLPath]\n1=" + kpatest::BinFolder() + "\n");
        companydb::CreateOptions options;
        options.docsBase = docs;
        options.force = true;
        companydb::CreateCompanyDatabase(server + "company.db", options);
        const std::string handler = run.Write("open.sh", "#!/bin/sh\necho \"$@\" >> '" + opened + "'\n");
        chmod(handler.c_str(), 0755);
    }
    void Registry(const std::string& serverLibrary) {
        registry = run.Write("registry.reg",
                             "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward]\r\n"
                             "\"ClientPath\"=\"" + client + "\"\r\n\"ServerPath\"=\"" + server + "\"\r\n\r\n"
                             "[HKEY_CLASSES_ROOT\\CorvaneWorkCenter.Manager\\InprocServer32]\r\n"
                             "@=\"" + kpatest::BinFolder() + "KpaManager.so\"\r\n\r\n"
                             "[HKEY_CLASSES_ROOT\\RiveviVozodavE.dmReportCounter\\InprocServer32]\r\n"
                             "@=\"" + serverLibrary + "\"\r\n");
    }
    ProgramRun Launch(const std::string& script, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--module", kpatest::BinFolder() + "KPAB02C.so", "--user", "ADMIN", "--company",
                                         "C01", "--database", "KPADB", "--host-data", "suite test"};
        args.insert(args.end(), more.begin(), more.end());
        ProgramRun r = hosttest::RunProgram(kpatest::BinFolder() + "kpa-launcher", args, script,
                                            {{"KPA_REGISTRY", registry}, {"KPA_ACP", "936"}, {"KPA_SHELL_OPEN", run.File("open.sh")}});
        EXPECT_FALSE(r.timedOut) << r.out << r.err;
        return r;
    }
    static std::vector<std::string> DialogTexts(const ProgramRun& r) {
        std::vector<std::string> texts;
        for (const Json& line : r.With("dialog")) texts.push_back(line.Find("dialog")->Find("text")->AsString());
        return texts;
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

TEST_F(Suite, TheFormStartsConnectsAndListsTheDocuments) {
    const ProgramRun r = Launch("create\nshow\ndump\nselect lview02 2\nfree-controller\n");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(DialogTexts(r).empty()) << r.out;
    const std::vector<Json> dumps = r.With("dump");
    ASSERT_EQ(dumps.size(), 1u);
    const Json& form = *dumps[0].Find("dump");
    EXPECT_EQ(form.Find("caption")->AsString(), "薪工决策分析信息[示范科技股份有限公司]");
    const Json* list = FindNode(form, "lview02");
    ASSERT_NE(list, nullptr);
    const Json* rows = list->Find("rows");
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->Items().size(), 17u);
    const std::string first = rows->Items()[0].Items()[1].AsString();
    EXPECT_EQ(first, docs + "C01\\KPA\\KPAH01.htm");
    // The third document was opened, and it exists where its address points.
    std::string log;
    for (int i = 0; i < 100 && log.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        log = kpatest::ReadFile(opened);
    }
    EXPECT_EQ(log, docs + "C01/KPA/KPAH03.htm\n");
    EXPECT_TRUE(std::filesystem::exists(docs + "C01/KPA/KPAH03.htm"));
    // Events and the outcome.
    std::vector<int> events;
    for (const Json& e : r.With("event")) events.push_back(static_cast<int>(e.Find("event")->AsInt()));
    EXPECT_EQ(events, (std::vector<int>{256, 272, 304}));
    const Json last = r.Lines().back();
    EXPECT_EQ(last.Find("ResultCode")->AsInt(), 0);
}

TEST_F(Suite, LookupAnswersGoToTheManagersLookupWindow) {
    // The script's answers are queued, in order, where the manager's lookup window reads them.
    const std::string answers = run.File("answers.jsonl");
    const ProgramRun r = hosttest::RunProgram(
        kpatest::BinFolder() + "kpa-launcher", {"--module", kpatest::BinFolder() + "KPAB02C.so", "--company", "C01"},
        "lookup 3\nlookup \"20240305\"\nlookup null\n",
        {{"KPA_REGISTRY", registry}, {"KPA_ACP", "936"}, {"KPA_LOOKUP_ANSWERS", answers}});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(kpatest::ReadFile(answers), "3\n\"20240305\"\nnull\n");
}

TEST_F(Suite, TheModuleDoesNotStartWithoutItsGlyphLibrary) {
    // The module is bound to the resource library when it is loaded, as the suite's module is.
    const std::string alone = run.File("alone/KPAB02C.so");
    std::filesystem::create_directories(run.File("alone"));
    std::filesystem::copy_file(kpatest::BinFolder() + "KPAB02C.so", alone);
    const ProgramRun r = hosttest::RunProgram(kpatest::BinFolder() + "kpa-launcher", {"--module", alone, "--no-manager"},
                                              "create\n", {{"KPA_REGISTRY", registry}});
    EXPECT_EQ(r.status, 2) << r.out << r.err;
    EXPECT_NE(r.err.find("CvResD5.so"), std::string::npos) << r.err;
    std::filesystem::copy_file(kpatest::BinFolder() + "CvResD5.so", run.File("alone/CvResD5.so"));
    const ProgramRun beside = hosttest::RunProgram(kpatest::BinFolder() + "kpa-launcher", {"--module", alone, "--no-manager"},
                                                   "freed\n", {{"KPA_REGISTRY", registry}});
    EXPECT_EQ(beside.status, 0) << beside.out << beside.err;
}

TEST_F(Suite, FailuresGiveTheModulesMessagesNeverACrash) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::vector<std::string> extra;
        std::string firstDialog;
    } cases[] = {
        {"server library missing", [&] { Registry(run.File("nowhere/KpaAppServer.so")); }, {}, "无法连接应用服务器"},
        {"no client ini", [&] { std::filesystem::remove(client + "StewardC.ini"); }, {}, ""},
        {"database missing", [&] { std::filesystem::remove(server + "company.db"); }, {}, "Can not Get Message"},
        {"no registry file", [&] { std::filesystem::remove(registry); }, {"--no-manager"}, "Can not Get Message"},
    };
    for (const Case& c : cases) {
        SetUp();
        c.arrange();
        // Every dialog is answered; the form is dumped when it still exists.
        const ProgramRun r = Launch("answer OK\nanswer OK\nanswer OK\ncreate\nprocess\nfreed\n", c.extra);
        EXPECT_NE(r.status, -1) << c.what;
        EXPECT_TRUE(r.err.find("Segmentation") == std::string::npos) << c.what << r.err;
        const std::vector<std::string> dialogs = DialogTexts(r);
        if (c.firstDialog.empty()) {
            EXPECT_TRUE(dialogs.empty()) << c.what << r.out;
        } else {
            ASSERT_FALSE(dialogs.empty()) << c.what << r.out << r.err;
            EXPECT_NE(dialogs[0].find(c.firstDialog), std::string::npos) << c.what << ": " << dialogs[0];
        }
        TearDown();
    }
}

// The server's own calls on the seeded database, as the module makes them.
class SuiteServer : public Suite {
protected:
    kpatest::ScopedEnv env{"KPA_REGISTRY", std::nullopt};
    Variant appServer;
    void SetUp() override {
        Suite::SetUp();
        setenv("KPA_REGISTRY", registry.c_str(), 1);
        appServer = com::CreateOleObject("RiveviVozodavE.dmReportCounter");
    }
    Variant Call(const std::string& name, std::vector<Variant> args) { return com::OleCall(appServer, name, args); }
};

TEST_F(SuiteServer, ConditionSetSavedAndReadBack) {
    Variant set = rtl::VarArrayOf({Variant("月报方案"), Variant("ADMIN"), Variant("20240305"), Variant("KPAB02"),
                                   Variant("edPrintDate.Text;"), Variant("20240305\r\n"), Variant(false)});
    EXPECT_EQ(Call("InsertConTable", {set}).AsString(), "");
    Call("LoadTable", {rtl::VarArrayOf({Variant("ADMIN"), Variant("KPAB02")})});
    const Variant packet = Call("AS_GetRecords", {Variant("pvdConSave")});
    ASSERT_TRUE(packet.IsArray());
    const rtl::VarArray& a = packet.Arr();
    ASSERT_EQ(a.HighBound() - a.LowBound() + 1, 3);  // names, types and one row
    const Variant& names = a.At(a.LowBound());
    const Variant& row = a.At(a.LowBound() + 2);
    std::map<std::string, std::string> byName;
    for (int i = names.Arr().LowBound(); i <= names.Arr().HighBound(); ++i) byName[names[i].AsString()] = row[i].AsString();
    EXPECT_EQ(byName["NCONDITION"], "月报方案");
    EXPECT_EQ(byName["SCONDITION"], "edPrintDate.Text;");
    EXPECT_EQ(byName["VCONDITION"], "20240305\r\n");
    EXPECT_EQ(byName["CREATOR"], "ADMIN");
    EXPECT_EQ(byName["PROGRAMME"], "KPAB02");
    // The same name again without the replace flag is refused; with it, replaced.
    EXPECT_NE(Call("InsertConTable", {set}).AsString(), "");
    set[6] = true;
    set[5] = "20240401\r\n";
    EXPECT_EQ(Call("InsertConTable", {set}).AsString(), "");
}

TEST_F(SuiteServer, JobRequestsAreStoredAndMalformedOnesRefused) {
    Variant env = rtl::VarArrayCreate(0, 12);
    const Variant when = Variant::FromDate(rtl::EncodeDate(2024, 3, 5));
    const Variant fields[] = {Variant("KPAB02"), Variant(12), Variant(1), Variant("C01"), Variant("ADMIN"), Variant("KPADB"),
                              when, Variant("KPAB02S.Class1"), Variant("B"), Variant(0), when, Variant("")};
    for (int i = 0; i < 12; ++i) env[i + 1] = fields[i];
    const Variant labels = rtl::VarArrayOf({Variant(), rtl::VarArrayOf({Variant("制表日期"), Variant("edPrintDate")})});
    const Variant values = rtl::VarArrayOf({Variant(), Variant("20240305")});
    const std::string number = Call("Request", {rtl::VarArrayOf({env, labels, values})}).AsString();
    ASSERT_NE(number, "ERROR") << Call("ErrorDescript", {}).AsString();
    EXPECT_EQ(number.size(), 12u);
    const auto db = data::OpenSqlite(server + "company.db");
    const data::SqlRows stored = db->Query("SELECT * FROM JOB_REQUEST WHERE JOB_NO = ?", {Variant(number)});
    ASSERT_EQ(stored.Rows.size(), 1u);
    // A malformed payload: the answer is ERROR and the description says why.
    EXPECT_EQ(Call("Request", {rtl::VarArrayOf({env, labels})}).AsString(), "ERROR");
    EXPECT_FALSE(Call("ErrorDescript", {}).AsString().empty());
}

}  // namespace
