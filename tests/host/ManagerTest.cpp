// The manager object "CorvaneWorkCenter.Manager", created by ProgID from KpaManager.so and read
// from a demo company database made for the test.
#include <gtest/gtest.h>
#include <utime.h>

#include <ctime>
#include <functional>
#include <map>
#include <regex>

#include "CompanyDb.h"
#include "platform/com/ComObj.h"
#include "platform/data/SqlDB.h"
#include "platform/os/Files.h"
#include "platform/rtl/CodePages.h"
#include "support/Fixtures.h"
#include "support/HostObjects.h"

using rtl::Variant;

namespace {

constexpr const char* kProgID = "CorvaneWorkCenter.Manager";

// The message of the exception a call raises; "(no exception)" when it raises none.
std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

// A value as comparable text: arrays as [a, b], Empty as (empty).
std::string Show(const Variant& v) {
    if (v.IsEmpty()) return "(empty)";
    if (v.IsNull()) return "(null)";
    if (!v.IsArray()) return v.AsString();
    std::string s = "[";
    const rtl::VarArray& a = v.Arr();
    if (a.DimCount() == 2) {
        for (int i = a.LowBound(1); i <= a.HighBound(1); ++i) {
            s += i == a.LowBound(1) ? "[" : ", [";
            for (int j = a.LowBound(2); j <= a.HighBound(2); ++j) s += (j == a.LowBound(2) ? "" : ", ") + Show(a.At(i, j));
            s += "]";
        }
        return s + "]";
    }
    for (size_t i = 0; i < a.Items().size(); ++i) s += (i ? ", " : "") + Show(a.Items()[i]);
    return s + "]";
}

class ManagerTest : public ::testing::Test {
protected:
    // One demo database for the suite; each test works on its own copy.
    static void SetUpTestSuite() {
        templateDir_ = new kpatest::TempDir;
        companydb::CreateCompanyDatabase(templateDir_->File("company.db"), {kpatest::BinFolder(), "", false});
    }
    static void TearDownTestSuite() {
        delete templateDir_;
        templateDir_ = nullptr;
    }

    kpatest::TempDir root;  // the server folder
    kpatest::TempDir client;
    kpatest::ScopedRegistry reg;
    kpatest::ScopedEnv answers{"KPA_LOOKUP_ANSWERS", std::nullopt};
    std::string dbPath = root.File("data/company.db");
    Variant manager;

    void SetUp() override {
        root.Write("data/company.db", os::ReadFileBytes(templateDir_->File("company.db")));
        Registry(root.Path(), client.Path());
        // A name relative to the server folder.
        WriteIni("[DBE Setting]\nMainDBType=SQLite\nMainDBName=data/company.db\n");
        manager = com::CreateOleObject(kProgID);
    }
    void Registry(const std::string& serverPath, const std::string& clientPath) {
        std::vector<std::pair<std::string, std::string>> steward;
        if (!serverPath.empty()) steward.emplace_back("ServerPath", serverPath);
        if (!clientPath.empty()) steward.emplace_back("ClientPath", clientPath);
        reg.SetKeys({{"HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward", steward},
                     {std::string("HKEY_CLASSES_ROOT\\") + kProgID + "\\InprocServer32", {{"", kpatest::BinFolder() + "KpaManager.so"}}}});
    }
    void WriteIni(const std::string& text) { root.Write("StewardS.ini", text); }
    std::shared_ptr<data::SqlDatabase> Db() { return data::OpenSqlite(dbPath); }
    Variant Service(const char* name) { return com::OleGet(manager, name); }
    Variant Counter(const std::string& item, const Variant& keys, const std::string& database = "KPADB") {
        std::vector<Variant> args{Variant(item), keys, rtl::VarArrayOf({Variant("C01"), Variant(database)})};
        return com::OleCall(Service("Com_Counter"), "GetCounter", args);
    }

private:
    static kpatest::TempDir* templateDir_;
};

kpatest::TempDir* ManagerTest::templateDir_ = nullptr;

TEST_F(ManagerTest, ServicesAreTheSameObjectsEachTime) {
    for (const char* name : {"Com_Counter", "Com_Validator", "Com_F2Window"}) {
        const Variant a = Service(name), b = com::OleCall(manager, name);
        ASSERT_EQ(a.Type(), rtl::VarType::Dispatch) << name;
        EXPECT_EQ(a.AsDispatch(), b.AsDispatch()) << name;
    }
    EXPECT_NE(Service("Com_Counter").AsDispatch(), Service("Com_Validator").AsDispatch());
}

TEST_F(ManagerTest, MessagesComeFromTheCatalogue) {
    auto db = Db();
    for (const companydb::MessageCode& m : companydb::RequiredMessages()) {
        const std::string stored =
            db->Query("SELECT MSGTEXT FROM MSGCATALOG WHERE MSGTYPE = ? AND MSGNO = ?", {Variant(m.type), Variant(m.number)})
                .Rows.at(0).at(0).AsString();
        EXPECT_EQ(com::OleCall(manager, "GetMessage", {Variant(m.type), Variant(m.number)}).AsString(), stored) << m.type << m.number;
    }
    const struct {
        const char* type;
        const char* number;
        std::string text;
    } cases[] = {
        {"i", "8", "请重新输入, 或按 F2 键开窗选择。"},
        {"I", "-000004", "作业已提交, 作业编号: %s"},
        {" E ", " 000005 ", "日期格式错误, 请输入正确的日期!\r%s"},
        {"Q", "999999", "消息目录中没有此消息: 类别 Q, 编号 999999"},
        {"E", "12a", "消息目录中没有此消息: 类别 E, 编号 12a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(com::OleCall(manager, "GetMessage", {Variant(c.type), Variant(c.number)}).AsString(), c.text) << c.number;
    }
    // A change in the database is seen at once.
    db->Execute("UPDATE MSGCATALOG SET MSGTEXT = '已改' WHERE MSGTYPE = 'E' AND MSGNO = '000037'");
    EXPECT_EQ(com::OleCall(manager, "GetMessage", {Variant("E"), Variant("000037")}).AsString(), "已改");
}

TEST_F(ManagerTest, SystemInformationOfTheCompany) {
    std::vector<Variant> args{Variant("c01")};
    const Variant info = com::OleCall(Service("Com_Counter"), "GetSysInfo", args);
    ASSERT_EQ(rtl::VarArrayDimCount(info), 2);
    EXPECT_EQ(rtl::VarArrayHighBound(info, 1), 1);
    std::map<std::string, std::string> items;
    for (int i = 0; i <= rtl::VarArrayHighBound(info, 2); ++i) items[info(0, i).AsString()] = info(1, i).AsString();
    const std::map<std::string, std::string> expected = {{"Sys001", "1"},       {"Sys002", "/"},       {"TGK002", "示范科技股份有限公司"},
                                                         {"SYS007", "商品大类"}, {"SYS008", "商品中类"}, {"SYS009", "商品小类"},
                                                         {"SYS010", "商品品牌"}};
    EXPECT_EQ(items, expected);

    std::vector<Variant> unknown{Variant("C99")};
    EXPECT_EQ(ErrorOf([&] { com::OleCall(Service("Com_Counter"), "GetSysInfo", unknown); }),
              "The company C99 is not in the company database " + dbPath);
}

TEST_F(ManagerTest, ConnectionStringOpensTheCompanyDatabase) {
    const std::string cs = Counter("RESULTCONNECTSTRING", rtl::VarArrayOf({Variant("")})).AsString();
    EXPECT_EQ(cs, "Provider=SQLite;Data Source=" + dbPath);
    EXPECT_EQ(data::OpenConnectionString(cs)->Query("SELECT COUNT(*) FROM ADMMB").Rows[0][0].AsInteger(), 18);
    EXPECT_EQ(Counter("ResultConnectString", Variant(), "").AsString(), cs);  // no database named: not checked
    EXPECT_EQ(ErrorOf([&] { Counter("RESULTCONNECTSTRING", Variant(), "OTHERDB"); }),
              "The database OTHERDB is not served by the company database " + dbPath);
    EXPECT_EQ(ErrorOf([&] { Counter("NEXTNUMBER", Variant()); }), "The counter service has no item NEXTNUMBER");

    // A path that holds a separator is quoted, and still opens.
    const std::string odd = root.File("a;b.db");
    os::WriteFileBytes(odd, os::ReadFileBytes(dbPath));
    WriteIni("[DBE Setting]\nMainDBType=SQLITE\nMainDBName=" + odd + "\n");
    const std::string quoted = Counter("RESULTCONNECTSTRING", Variant()).AsString();
    EXPECT_EQ(quoted, "Provider=SQLite;Data Source=\"" + odd + "\"");
    EXPECT_EQ(data::OpenConnectionString(quoted)->Path(), odd);
}

TEST_F(ManagerTest, SimpleSqlAnswersRowsOfAReadOnlyQuery) {
    const struct {
        const char* sql;
        const char* columns;
        const char* rows;
    } cases[] = {
        {"SELECT MA003 FROM TGKINTMA WHERE MA001='StartupPortal' ", "MA003", "[[N]]"},
        {"SELECT MA003 FROM TGKINTMA WHERE MA001='Portal WS' ", "MA003", "[[http://127.0.0.1:8080/portal/services/PortalService]]"},
        {"SELECT MA001, MA003 FROM TGKINTMA WHERE MA001 LIKE 'P%' ORDER BY MA001", "", "[[Portal WS, http://127.0.0.1:8080/portal/services/PortalService], [ProductID, 1]]"},
        {"select MA001, MA003 from KPADB..TGKINTMA where MA001 = 'ProductID'", "ma003, MA001", "[[1, ProductID]]"},
        {"SELECT ISNULL(NULL, 'x') X", "X", "[[x]]"},
        {"SELECT MA003 FROM TGKINTMA WHERE MA001='Missing' ", "MA003", "[]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Show(Counter("SIMPLESQL", rtl::VarArrayOf({Variant(c.sql), Variant(c.columns)}))), c.rows) << c.sql;
    }

    const struct {
        const char* sql;
        std::string error;
    } refused[] = {
        {"DELETE FROM TGKINTMA", "SimpleSQL answers a single SELECT query only, not: DELETE FROM TGKINTMA"},
        {"  update TGKINTMA set MA003 = 'Y'", "SimpleSQL answers a single SELECT query only, not: update TGKINTMA set MA003 = 'Y'"},
        {"SELECTX FROM T", "SimpleSQL answers a single SELECT query only, not: SELECTX FROM T"},
        {"SELECT 1; DELETE FROM TGKINTMA",
         "SimpleSQL: Only one statement can be run at a time; statement: SELECT 1; DELETE FROM TGKINTMA"},
        {"WITH x AS (SELECT 1) DELETE FROM TGKINTMA", "SimpleSQL answers a single SELECT query only, not: WITH x AS (SELECT 1) DELETE FROM TGKINTMA"},
        {"SELECT MA001 FROM NOPE", "SimpleSQL: no such table: NOPE; statement: SELECT MA001 FROM NOPE"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(ErrorOf([&] { Counter("SIMPLESQL", rtl::VarArrayOf({Variant(r.sql), Variant("MA003")})); }), r.error) << r.sql;
    }
    EXPECT_EQ(ErrorOf([&] { Counter("SIMPLESQL", rtl::VarArrayOf({Variant("SELECT MA001 FROM TGKINTMA"), Variant("MA003")})); }),
              "SimpleSQL: the query answers no column MA003");
    EXPECT_EQ(ErrorOf([&] { Counter("SIMPLESQL", Variant()); }), "SimpleSQL needs the keys [query text, column names]");
    EXPECT_EQ(Db()->Query("SELECT COUNT(*) FROM TGKINTMA WHERE MA003 <> 'Y'").Rows[0][0].AsInteger(), 3);
}

// ---- Validator ------------------------------------------------------------------------------

struct LookCase {
    const char* name;
    const char* method;  // "CheckValue" or "QueryData"
    const char* table;
    const char* number;
    Variant keys;
    Variant productId;
    Variant baseLimited;
    bool found;
    std::string result;  // Show() of the result argument; empty: not compared
    size_t rows = 0;      // QueryData: the number of rows, when result is not compared
};

std::u16string Limit(const std::string& table, const std::vector<std::string>& codes) {
    std::string s = table + "\x03" + std::to_string(codes.size()) + "\x03";
    for (const std::string& c : codes) s += c + "\x03";
    return rtl::Utf8ToWide(s);
}

TEST_F(ManagerTest, ValidatorQueries) {
    const std::string base = companydb::NormalizeDocsBase(kpatest::BinFolder() + "companydb/docs");
    const Variant none;
    const std::vector<LookCase> cases = {
        {"program row", "CheckValue", "ADMMB", "01", rtl::VarArrayOf({Variant("KPAB02")}), 1, none, true,
         "[薪工决策分析信息, B, KPA, 1, N, 7.1.0, N, Payroll Decision Analysis]"},
        {"program row, key in lower case and as a scalar", "CheckValue", "admmb", "1", Variant("kpab02"), 1, none, true, ""},
        {"unknown program", "CheckValue", "ADMMB", "01", rtl::VarArrayOf({Variant("NOPE")}), 1, none, false, "(empty)"},
        {"program row through QueryData", "QueryData", "ADMMB", "11", rtl::VarArrayOf({Variant("KPAB02")}), 1, none, true,
         "[[KPAB02, 薪工决策分析信息, B, N]]"},
        {"direct processing flag", "CheckValue", "ADMMB", "11", rtl::VarArrayOf({Variant("KPAH03")}), 1, none, true,
         "[KPAH03, 人均薪资对比分析, H, Y]"},
        {"documents", "QueryData", "ADMMB", "07", rtl::VarArrayOf({Variant("KPAH01"), Variant("KPAH17")}), 1, none, true, "", 17},
        {"documents of another product", "QueryData", "ADMMB", "07", rtl::VarArrayOf({Variant("KPAH01"), Variant("KPAH17")}), 5, none,
         true, "", 15},
        {"documents of any product", "QueryData", "ADMMB", "07", rtl::VarArrayOf({Variant("KPAH01"), Variant("KPAH17")}), Variant(),
         none, true, "", 17},
        {"documents limited to the user's", "QueryData", "ADMMB", "07", rtl::VarArrayOf({Variant("KPAH01"), Variant("KPAH17")}), 1,
         Limit("ADMMB", {"KPAH02", "KPAH04"}), true, "[[KPAH02, 部门薪资结构分析], [KPAH04, 薪资等级分布分析]]"},
        {"a limit of another table", "QueryData", "ADMMB", "07", rtl::VarArrayOf({Variant("KPAH01"), Variant("KPAH17")}), 1,
         Limit("TGKMA", {"U001"}), true, "", 17},
        {"an empty limit", "QueryData", "ADMMB", "07", rtl::VarArrayOf({Variant("KPAH01"), Variant("KPAH17")}), 1,
         Limit("ADMMB", {}), true, "", 17},
        {"a narrow range", "QueryData", "ADMMB", "07", rtl::VarArrayOf({Variant("kpah16"), Variant("KPAH99")}), 1, none, true,
         "[[KPAH16, 年度薪资预算执行分析], [KPAH17, 薪资异动明细分析]]"},
        {"base address", "CheckValue", "ADMMS", "01", rtl::VarArrayOf({Variant("")}), 1, none, true, "[" + base + ", KPA, 薪工决策分析]"},
        {"no condition set", "CheckValue", "GENES", "01", rtl::VarArrayOf({Variant("月报"), Variant("ADMIN"), Variant("KPAB02")}), 1,
         none, false, "(empty)"},
        {"users to notify", "QueryData", "TGKMA", "04", Variant(), 1, none, true,
         "[[ADMIN, 系统管理员, 13800000000, admin@example.com], [U001, 张伟, 13900000001, zhangwei@example.com], "
         "[U002, 李娜, 13900000002, lina@example.com], [U003, 王芳, , wangfang@example.com]]"},
        {"users limited", "QueryData", "TGKMA", "04", Variant(), 1, Limit("TGKMA", {"U003", "U004"}), true,
         "[[U003, 王芳, , wangfang@example.com]]"},
        {"a stopped user is not offered", "CheckValue", "TGKMA", "04", Variant("U004"), 1, none, false, "(empty)"},
        {"a user", "CheckValue", "TGKMA", "01", Variant("u004"), 1, none, true, "[刘强, 13900000004, , 1, 生产部, Y]"},
    };
    const Variant validator = Service("Com_Validator");
    for (const LookCase& c : cases) {
        com::OleSet(validator, "ProductID", c.productId);
        com::OleSet(validator, "BaseLimited", c.baseLimited);
        std::vector<Variant> args{Variant(c.table), Variant(c.number), Variant("KPADB"), c.keys, Variant("stale")};
        const bool found = com::OleCall(validator, c.method, args).AsBoolean();
        EXPECT_EQ(found, c.found) << c.name;
        if (!c.result.empty()) {
            EXPECT_EQ(Show(args[4]), c.result) << c.name;
        }
        if (c.rows) {
            ASSERT_TRUE(args[4].IsArray()) << c.name;
            EXPECT_EQ(args[4].Arr().ElementCount(), c.rows) << c.name;
            EXPECT_EQ(Show(args[4][0]), "[KPAH01, 薪资总额趋势分析]") << c.name;
        }
    }
    EXPECT_TRUE(com::OleGet(validator, "BaseLimited").IsEmpty());
}

TEST_F(ManagerTest, ValidatorSeesConditionSetsSavedThroughTheServer) {
    const Variant validator = Service("Com_Validator");
    auto look = [&](const char* name) {
        std::vector<Variant> args{Variant("GENES"), Variant("01"), Variant("KPADB"),
                                  rtl::VarArrayOf({Variant(name), Variant("ADMIN"), Variant("KPAB02")}), Variant()};
        return com::OleCall(validator, "CheckValue", args).AsBoolean() ? Show(args[4]) : std::string("not found");
    };
    EXPECT_EQ(look("月报"), "not found");
    Db()->Execute("INSERT INTO CONDITION_SET (NCONDITION, CREATOR, PROGRAMME, CREATE_DATE) VALUES ('月报', 'ADMIN', 'KPAB02', '20240305')");
    EXPECT_EQ(look("月报"), "[月报, ADMIN, KPAB02, 20240305]");
    EXPECT_EQ(look("月报 "), "not found");  // names compare exactly
}

TEST_F(ManagerTest, ValidatorFailures) {
    const Variant validator = Service("Com_Validator");
    auto look = [&](const char* table, const char* number, const char* database, const Variant& keys) {
        return ErrorOf([&] {
            std::vector<Variant> args{Variant(table), Variant(number), Variant(database), keys, Variant()};
            com::OleCall(validator, "QueryData", args);
        });
    };
    EXPECT_EQ(look("ADMMB", "99", "KPADB", Variant("x")), "The validator has no query ADMMB 99");
    EXPECT_EQ(look("ADMMB", "01", "KPADB", rtl::VarArrayOf({Variant("A"), Variant("B")})), "The query ADMMB 01 takes 1 key(s), 2 given");
    EXPECT_EQ(look("ADMMB", "01", "ELSEWHERE", Variant("A")), "The database ELSEWHERE is not served by the company database " + dbPath);
    com::OleSet(validator, "BaseLimited", Variant(u"ADMMB\x03two\x03"));
    EXPECT_EQ(look("ADMMB", "07", "KPADB", Variant()), "BaseLimited is malformed: it names ADMMB but no readable list of codes");
    com::OleSet(validator, "BaseLimited", Variant(u"ADMMB\x03" u"3\x03KPAH01\x03"));
    EXPECT_EQ(look("ADMMB", "07", "KPADB", Variant()), "BaseLimited is malformed: it names ADMMB but no readable list of codes");
    std::vector<Variant> four{Variant("ADMMB"), Variant("01"), Variant("KPADB"), Variant("A")};
    EXPECT_EQ(ErrorOf([&] { com::OleCall(validator, "CheckValue", four); }), "Invalid number of parameters.");
}

TEST_F(ManagerTest, ProductIDFromTheSettings) {
    EXPECT_TRUE(com::OleGet(manager, "ProductID").Identical(Variant(1)));
    auto db = Db();
    db->Execute("UPDATE TGKINTMA SET MA003 = '5' WHERE MA001 = 'ProductID'");
    EXPECT_TRUE(com::OleGet(manager, "ProductID").Identical(Variant(5)));
    db->Execute("UPDATE TGKINTMA SET MA003 = 'five' WHERE MA001 = 'ProductID'");
    EXPECT_EQ(ErrorOf([&] { com::OleGet(manager, "ProductID"); }), "The setting ProductID in TGKINTMA is not a number: five");
    db->Execute("DELETE FROM TGKINTMA WHERE MA001 = 'ProductID'");
    EXPECT_TRUE(com::OleGet(manager, "ProductID").Identical(Variant(1)));
    EXPECT_EQ(ErrorOf([&] { com::OleSet(manager, "ProductID", Variant(3)); }), "Member not found.");
}

// ---- Lookup window --------------------------------------------------------------------------

// The module's 19-element request for a table and query.
Variant F2Request(const char* table, const char* number, const Variant& keys = Variant()) {
    std::vector<Variant> r = {Variant(table), Variant(number), keys,          Variant(false), Variant(""),
                              Variant("C01"), Variant("KPADB"), Variant(4242), Variant(1),     Variant(false),
                              Variant(1),     Variant(""),      Variant(""),   Variant(""),    Variant(""),
                              Variant(true),  Variant(true),    Variant(),     Variant("ADMIN")};
    return rtl::VarArrayOf(std::move(r));
}

class LookupWindowTest : public ManagerTest {
protected:
    std::string file = root.File("answers.txt");
    kpatest::ScopedEnv named{"KPA_LOOKUP_ANSWERS", file};
    Variant F2(const Variant& request) { return com::OleCall(Service("Com_F2Window"), "F2GetData", {request}); }
    Variant Day(const char* initial) {
        return com::OleCall(Service("Com_F2Window"), "ShowInputDay", {rtl::VarArrayOf({Variant(false), Variant(initial), Variant("KPADB")})});
    }
    Variant Phrase() {
        std::vector<Variant> args{Variant("ADMIN"), Variant("KPADB"), Variant(4242)};
        return com::OleCall(Service("Com_F2Window"), "GetPhrase", args);
    }
};

TEST_F(LookupWindowTest, AnswersAreTakenInOrder) {
    os::WriteFileBytes(file,
                       "# the user's answers\n"
                       "{\"F2GetData\": 1}\n"
                       "\n"
                       "{\"F2GetData\": [0, 2]}\n"
                       "[[\"X01\", \"手填\"]]\n"
                       "null\n"
                       "{\"ShowInputDay\": \"20240315\"}\n"
                       "true\n"
                       "{\"GetPhrase\": \"本月薪资\"}\n"
                       "{\"GetPhrase\": null}\n");
    EXPECT_EQ(Show(F2(F2Request("TGKMA", "04"))), "[[U001, 张伟, 13900000001, zhangwei@example.com]]");
    EXPECT_EQ(Show(F2(F2Request("ADMMB", "07", rtl::VarArrayOf({Variant("KPAH01"), Variant("KPAH17")})))),
              "[[KPAH01, 薪资总额趋势分析], [KPAH03, 人均薪资对比分析]]");
    EXPECT_EQ(Show(F2(F2Request("TGKMA", "04"))), "[[X01, 手填]]");
    EXPECT_EQ(Show(F2(F2Request("TGKMA", "04"))), "(empty)");  // cancelled
    EXPECT_EQ(Day("20240101").AsString(), "20240315");
    EXPECT_EQ(Day("20240101").AsString(), "20240101");  // OK on the date shown
    EXPECT_EQ(Phrase().AsString(), "本月薪资");
    EXPECT_EQ(Phrase().AsString(), "");
    // Nothing left: the user cancels, and only the comment stays in the file.
    EXPECT_EQ(Show(F2(F2Request("TGKMA", "04"))), "(empty)");
    EXPECT_EQ(Day("20240101").AsString(), "");
    EXPECT_EQ(os::ReadFileBytes(file), "# the user's answers\n\n");
}

TEST_F(LookupWindowTest, AnswersThatDoNotFitAreReportedAndKept) {
    os::WriteFileBytes(file, "{\"GetPhrase\": \"短语\"}\n");
    EXPECT_EQ(ErrorOf([&] { F2(F2Request("TGKMA", "04")); }),
              "The next lookup answer (line 1 of " + file + ") is for GetPhrase, not for F2GetData");
    EXPECT_EQ(Phrase().AsString(), "短语");

    const struct {
        const char* line;
        std::function<void()> call;
        std::string error;
    } cases[] = {
        {"7\n", [&] { F2(F2Request("TGKMA", "04")); }, "The lookup answer picks row 7 of TGKMA 04, which has 4 row(s)"},
        {"\"U001\"\n", [&] { F2(F2Request("TGKMA", "04")); },
         "A lookup answer for F2GetData is a row number, a list of row numbers or a list of rows"},
        {"[1, \"x\"]\n", [&] { F2(F2Request("TGKMA", "04")); },
         "A lookup answer for F2GetData is a row number, a list of row numbers or a list of rows"},
        {"0\n", [&] { F2(F2Request("NOPE", "01")); }, "The validator has no query NOPE 01"},
        {"\"2024-03-15\"\n", [&] { Day("20240101"); }, "A lookup answer for ShowInputDay is a date YYYYMMDD, true for the date shown, or null"},
        {"\"20240230\"\n", [&] { Day("20240101"); }, "A lookup answer for ShowInputDay is a date YYYYMMDD, true for the date shown, or null"},
        {"{\"a\": 1, \"b\": 2}\n", [&] { Phrase(); }, "Line 1 of " + file + " must be a value or an object of one member naming the operation"},
        {"{broken\n", [&] { Phrase(); }, "Line 1 of " + file + " is no JSON: "},
    };
    for (const auto& c : cases) {
        os::WriteFileBytes(file, c.line);
        const std::string error = ErrorOf(c.call);
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.line;
    }
}

TEST_F(ManagerTest, WithoutQueuedAnswersTheUserCancels) {
    const Variant window = Service("Com_F2Window");
    EXPECT_TRUE(com::OleCall(window, "F2GetData", {F2Request("TGKMA", "04")}).IsEmpty());
    kpatest::ScopedEnv missing{"KPA_LOOKUP_ANSWERS", root.File("no-such-file")};
    EXPECT_EQ(com::OleCall(window, "ShowInputDay", {rtl::VarArrayOf({Variant(true), Variant("20240101"), Variant("")})}).AsString(), "");
}

// ---- Files and help -------------------------------------------------------------------------

TEST_F(ManagerTest, FileListDescribesTheServersCopy) {
    const std::string copy = root.Write("Update/KPAB02S.so", "library");
    std::tm when{};
    when.tm_year = 2024 - 1900, when.tm_mon = 2, when.tm_mday = 5, when.tm_hour = 14, when.tm_min = 22, when.tm_sec = 1;
    when.tm_isdst = -1;
    const utimbuf times{std::mktime(&when), std::mktime(&when)};
    ASSERT_EQ(utime(copy.c_str(), &times), 0);
    auto list = [&](const char* name) { return com::OleCall(manager, "GetFileList", {rtl::VarArrayOf({Variant(name)})}).AsString(); };
    EXPECT_EQ(list("kpab02s.dll"), "<File><Name>kpab02s.dll</Name><Modify>20240305142201</Modify><Path>" + copy + "</Path></File>");
    EXPECT_EQ(list("/opt/kpa/S_PKG/kpab02s.so"), "<File><Name>kpab02s.so</Name><Modify>20240305142201</Modify><Path>" + copy + "</Path></File>");
    EXPECT_EQ(list("other.dll"), "<File><Name>other.dll</Name><Modify></Modify><Path></Path></File>");

    root.Write("files/other.dll", "x");
    WriteIni("[DBE Setting]\nMainDBType=SQLITE\nMainDBName=data/company.db\n[File Service]\nFolder=files\n");
    EXPECT_NE(list("OTHER.DLL").find("<Path>" + root.File("files/other.dll") + "</Path>"), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { com::OleCall(manager, "GetFileList", {rtl::VarArrayOf({})}); }), "GetFileList needs [file name]");
}

TEST_F(ManagerTest, HelpRequestsAreWrittenToTheAlertLog) {
    EXPECT_TRUE(com::OleCall(manager, "CallHelp", {rtl::VarArrayOf({Variant("KPA"), Variant(12)})}).IsEmpty());
    const std::vector<std::string> logs = kpatest::ListFiles(client.File("Log"));
    ASSERT_EQ(logs.size(), 1u);
    const std::string& name = logs[0];
    EXPECT_TRUE(name.starts_with("Alert_Manager_") && name.ends_with(".log") && name.size() == 14 + 8 + 4) << name;
    const std::string line = kpatest::ReadFile(client.File("Log/" + name));
    // "[YYYY/MM/DD hh:nn:ss:zzz] text"
    ASSERT_EQ(line.size(), 26 + 37u) << line;
    EXPECT_TRUE(std::regex_match(line.substr(0, 26), std::regex(R"(\[\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}:\d{3}\] )"))) << line;
    EXPECT_EQ(line.substr(26), "CallHelp: system KPA, help number 12\n");
}

// ---- Configuration --------------------------------------------------------------------------

TEST_F(ManagerTest, ConfigurationFailuresAreReported) {
    auto message = [&] { return ErrorOf([&] { com::OleCall(manager, "GetMessage", {Variant("E"), Variant("000001")}); }); };
    const struct {
        std::function<void()> arrange;
        std::string error;
    } cases[] = {
        {[&] { WriteIni("[DBE Setting]\nMainDBType=MSSQL\nMainDBName=KPADB\n"); },
         "The company database of " + root.File("StewardS.ini") + " is of type 'MSSQL'; the manager serves SQLITE databases (MainDBType=SQLITE)"},
        {[&] { WriteIni("[DBE Setting]\nMainDBType=SQLITE\n"); }, "MainDBName is missing from [DBE Setting] of " + root.File("StewardS.ini")},
        {[&] { WriteIni("[DBE Setting]\nMainDBType=SQLITE\nMainDBName=gone.db\n"); },
         "The database file " + root.File("gone.db") + " does not exist"},
        {[&] { os::DeleteFile(root.File("StewardS.ini")); }, "The server configuration " + root.File("StewardS.ini") + " does not exist"},
        {[&] { Registry("", client.Path()); },
         "The registry has no ServerPath under HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward: the company database cannot be found"},
    };
    for (const auto& c : cases) {
        c.arrange();
        EXPECT_EQ(message(), c.error);
    }
}

}  // namespace
