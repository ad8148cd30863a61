// The company database: the schema, the demo company, the check and the tool kpa-companydb.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "CompanyDb.h"
#include "Program.h"
#include "platform/data/SqlDB.h"
#include "platform/os/Files.h"
#include "platform/rtl/CodePages.h"
#include "platform/xml/XmlDom.h"
#include "support/Fixtures.h"
#include "support/HostObjects.h"

using rtl::Variant;

namespace {

std::string Str(const Variant& v) { return v.IsNull() ? std::string("(null)") : v.AsString(); }

// The scripts as the build lays them out beside the programs.
std::string SqlRoot() { return kpatest::BinFolder(); }

class CompanyDb : public ::testing::Test {
protected:
    kpatest::TempDir dir;
    std::string path = dir.File("company.db");

    std::shared_ptr<data::SqlDatabase> Create() {
        companydb::CreateCompanyDatabase(path, {SqlRoot(), "", false});
        return data::OpenSqlite(path);
    }
    std::vector<std::vector<std::string>> Rows(data::SqlDatabase& db, const std::string& sql) {
        std::vector<std::vector<std::string>> out;
        for (const auto& r : db.Query(sql).Rows) {
            std::vector<std::string> row;
            for (const Variant& v : r) row.push_back(Str(v));
            out.push_back(row);
        }
        return out;
    }
};

TEST_F(CompanyDb, CreatesEveryTableAndTheDemoCompany) {
    auto db = Create();
    std::set<std::string> present;
    for (const auto& r : Rows(*db, "SELECT name FROM sqlite_master WHERE type IN ('table', 'view')")) present.insert(r[0]);
    for (const std::string& t : companydb::RequiredTables()) EXPECT_TRUE(present.count(t)) << t;
    // The application server's tables come from its own script, in the same file.
    for (const char* t : {"CONDITION_SET", "USER_RIGHTS"}) EXPECT_TRUE(present.count(t)) << t;

    EXPECT_EQ(Rows(*db, "SELECT COMPANY, DBNAME, TITLE FROM COMPANIES"),
              (std::vector<std::vector<std::string>>{{"C01", "KPADB", "示范科技股份有限公司"}}));
    const auto info = Rows(*db, "SELECT ITEM, VALUE FROM SYSINFO WHERE COMPANY = 'C01' ORDER BY ITEM");
    const std::vector<std::vector<std::string>> expected = {{"SYS007", "商品大类"}, {"SYS008", "商品中类"},
                                                            {"SYS009", "商品小类"}, {"SYS010", "商品品牌"},
                                                            {"Sys001", "1"},       {"Sys002", "/"},
                                                            {"TGK002", "示范科技股份有限公司"}};
    EXPECT_EQ(info, expected);

    const companydb::CheckResult check = companydb::CheckCompanyDatabase(path);
    EXPECT_TRUE(check.Ok()) << (check.problems.empty() ? "" : check.problems.front());
    EXPECT_FALSE(os::FileExists(path + ".new"));
}

TEST_F(CompanyDb, SeventeenDocumentsWithTheirSampleFiles) {
    auto db = Create();
    const auto docs = Rows(*db, "SELECT MB001, MB002 FROM ADMMB WHERE MB003 = 'H' ORDER BY MB001");
    ASSERT_EQ(docs.size(), 17u);
    const std::string base = Rows(*db, "SELECT MS003 FROM ADMMS WHERE MS001 = 'KPA'").at(0).at(0);
    EXPECT_EQ(base, companydb::NormalizeDocsBase(SqlRoot() + "companydb/docs"));
    EXPECT_EQ(base.back(), '/');
    std::set<std::string> names;
    for (size_t i = 0; i < docs.size(); ++i) {
        const std::string code = (i < 9 ? "KPAH0" : "KPAH") + std::to_string(i + 1);
        EXPECT_EQ(docs[i][0], code);
        names.insert(docs[i][1]);
        EXPECT_GE(rtl::Utf8ToWide(docs[i][1]).size(), 6u) << code;  // a real Chinese name, not a code
        const std::string file = base + "C01/KPA/" + code + ".htm";
        ASSERT_TRUE(os::FileExists(file)) << file;
        const std::string html = os::ReadFileBytes(file);
        EXPECT_TRUE(rtl::IsValidUtf8(html)) << file;
        EXPECT_NE(html.find("<title>" + docs[i][1] + "</title>"), std::string::npos) << file;
        EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos) << file;
    }
    EXPECT_EQ(names.size(), 17u);
    // The program itself, as its form reads it.
    EXPECT_EQ(Rows(*db, "SELECT MB002, MB005, MB009 FROM ADMMB WHERE MB001 = 'KPAB02'"),
              (std::vector<std::vector<std::string>>{{"薪工决策分析信息", "N", "N"}}));
}

TEST_F(CompanyDb, AWebBaseAddressIsKeptAndAFolderIsMadeAbsolute) {
    EXPECT_EQ(companydb::NormalizeDocsBase("relative/pub"), (std::filesystem::current_path() / "relative/pub/").string());
    const struct {
        std::string given, stored;
        int copied;
    } cases[] = {
        {"http://intranet/kpa/", "http://intranet/kpa/", 0},
        {SqlRoot() + "companydb/docs", companydb::NormalizeDocsBase(SqlRoot() + "companydb/docs"), 0},
        {dir.Path() + "docs/../pub", dir.Path() + "pub/", 17},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(companydb::CreateCompanyDatabase(path, {SqlRoot(), c.given, true}), c.copied) << c.given;
        EXPECT_EQ(Rows(*data::OpenSqlite(path), "SELECT MS003 FROM ADMMS").at(0).at(0), c.stored) << c.given;
    }
    // The folder of the user's choice got the sample documents, and the check finds them there.
    const companydb::CheckResult check = companydb::CheckCompanyDatabase(path);
    EXPECT_TRUE(check.Ok()) << (check.problems.empty() ? "" : check.problems.front());
    EXPECT_EQ(os::ReadFileBytes(dir.File("pub/C01/KPA/KPAH09.htm")),
              os::ReadFileBytes(SqlRoot() + "companydb/docs/C01/KPA/KPAH09.htm"));

    // Documents already published are kept.
    dir.Write("pub2/C01/KPA/KPAH02.htm", "<title>本公司的版本</title>");
    EXPECT_EQ(companydb::CreateCompanyDatabase(path, {SqlRoot(), dir.Path() + "pub2", true}), 16);
    EXPECT_EQ(os::ReadFileBytes(dir.File("pub2/C01/KPA/KPAH02.htm")), "<title>本公司的版本</title>");
}

// The templates as the batch form reads them: field 1 XML with MD007/Receiver and MD007/Title
// carrying Value, field 2 the body, field 3 a further text.
TEST_F(CompanyDb, KindSixTemplatesFollowTheTemplateFormat) {
    auto db = Create();
    std::string sql =
        " SELECT MD001, MD002, MD003, MD006, ISNULL(MD007, '') MD007  FROM $$TMCMD  LEFT JOIN $$TMCMC ON MC001 = MD001 AND "
        "MC002 = MD002  WHERE UPPER(MC005) = :MC005  AND MD004 = :MD004 ";
    sql = rtl::StringReplaceAll(sql, "$$", "KPADB..");
    const data::SqlRows rows = db->QueryNamed(data::AdaptToSqlite(sql), {{"MC005", Variant("KPAB02")}, {"MD004", Variant("6")}});
    ASSERT_EQ(rows.Rows.size(), 2u);
    for (const auto& r : rows.Rows) {
        const std::string text = Str(r[static_cast<size_t>(rows.ColumnIndex("MD007"))]);
        const size_t a = text.find("||"), b = text.find("||", a + 2);
        ASSERT_NE(b, std::string::npos) << text;
        EXPECT_EQ(text.find("||", b + 2), std::string::npos) << text;
        xml::Document doc;
        ASSERT_TRUE(doc.LoadXML(text.substr(0, a))) << text;
        EXPECT_TRUE(doc.SelectSingleNode("//MD007/Receiver/R1")) << text;
        const xml::Node title = doc.SelectSingleNode("//MD007/Title/@Value");
        ASSERT_TRUE(title) << text;
        EXPECT_FALSE(title.Text().empty());
        EXPECT_NE(text.substr(a + 2, b - a - 2).find("[**********]"), std::string::npos);
        EXPECT_FALSE(text.substr(b + 2).empty());
    }
}

// Every code the module raises or resolves has a text that takes exactly the arguments the module
// passes with it.
TEST_F(CompanyDb, CatalogueCoversEveryMessageTheModuleUses) {
    auto db = Create();
    for (const companydb::MessageCode& m : companydb::RequiredMessages()) {
        const std::string label = std::string(m.type) + " " + m.number;
        const data::SqlRows r =
            db->Query("SELECT MSGTEXT FROM MSGCATALOG WHERE MSGTYPE = ? AND MSGNO = ?", {Variant(m.type), Variant(m.number)});
        ASSERT_EQ(r.Rows.size(), 1u) << label;
        const std::string text = Str(r.Rows[0][0]);
        EXPECT_GE(rtl::Utf8ToWide(text).size(), 4u) << label;
        EXPECT_EQ(text.find(';'), std::string::npos) << label;
        std::vector<Variant> args;
        for (const char* a = m.args; *a; ++a) args.push_back(*a == 'd' ? Variant(7) : Variant("«arg»"));
        std::string shown;
        ASSERT_NO_THROW(shown = rtl::Format(text, args)) << label;
        for (const Variant& a : args) EXPECT_NE(shown.find(a.AsString()), std::string::npos) << label;
        if (!args.empty()) {
            args.pop_back();
            EXPECT_ANY_THROW(rtl::Format(text, args)) << label << ": takes fewer arguments than the module passes";
        } else {
            EXPECT_EQ(text.find('%'), std::string::npos) << label;
        }
    }
}

TEST_F(CompanyDb, SettingsUsersAndRights) {
    auto db = Create();
    // The option form's own queries.
    EXPECT_EQ(Rows(*db, "SELECT MA003 FROM TGKINTMA WHERE MA001='StartupPortal' "), (std::vector<std::vector<std::string>>{{"N"}}));
    EXPECT_EQ(Rows(*db, "SELECT MA003 FROM TGKINTMA WHERE MA001='Portal WS' ").size(), 1u);
    EXPECT_EQ(Rows(*db, "SELECT MA001 FROM TGKMA WHERE MA007 <> 'Y' ORDER BY MA001"),
              (std::vector<std::vector<std::string>>{{"ADMIN"}, {"U001"}, {"U002"}, {"U003"}}));
    EXPECT_EQ(Rows(*db, "SELECT RIGHTS, BASE_LIMIT FROM USER_RIGHTS WHERE USER_ID = 'ADMIN' AND PROGRAM_ID = 'KPAB02'"),
              (std::vector<std::vector<std::string>>{{"Y,Y,Y,YYYYYYYY,Y,Y", ""}}));
    EXPECT_EQ(Rows(*db, "SELECT BASE_LIMIT FROM USER_RIGHTS WHERE USER_ID = 'U002'"), (std::vector<std::vector<std::string>>{{"ADMMB"}}));
}

TEST_F(CompanyDb, CheckReportsWhatIsMissing) {
    {
        auto db = Create();
        db->ExecScript(
            "DELETE FROM ADMMB WHERE MB001 = 'KPAH05'; DELETE FROM MSGCATALOG WHERE MSGTYPE = 'R';"
            "UPDATE MSGCATALOG SET MSGTEXT = '没有参数' WHERE MSGTYPE = 'E' AND MSGNO = '000013';"
            "DELETE FROM TGKINTMA WHERE MA001 = 'Portal WS';");
        db->Execute("UPDATE ADMMS SET MS003 = ?", {Variant(dir.Path())});
    }
    const companydb::CheckResult r = companydb::CheckCompanyDatabase(path);
    const std::vector<std::string> expected = {
        "documents missing in ADMMB: KPAH05",
        "document files missing: " + dir.Path() + "C01/KPA/KPAH01.htm",  // the first of them
        "message E 000013 does not take its arguments (s)",
        "message R 200235 is not in the catalogue",
        "setting Portal WS is not in TGKINTMA",
    };
    ASSERT_EQ(r.problems.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(r.problems[i].substr(0, expected[i].size()), expected[i]);
}

TEST_F(CompanyDb, CreationIsAllOrNothing) {
    auto db = Create();
    db->Execute("INSERT INTO TGKMA (MA001, MA002) VALUES ('KEPT', '保留')");
    db.reset();
    // A root whose seed fails half-way.
    kpatest::TempDir root;
    root.Write("companydb/schema.sql", os::ReadFileBytes(SqlRoot() + "companydb/schema.sql"));
    root.Write("companydb/seed.sql", os::ReadFileBytes(SqlRoot() + "companydb/seed.sql") + "\nINSERT INTO NOWHERE VALUES (1);\n");
    try {
        companydb::CreateCompanyDatabase(path, {root.Path(), "", true});
        FAIL() << "no error";
    } catch (const data::ESqlError& e) {
        EXPECT_TRUE(e.Message().starts_with(root.Path() + "companydb/seed.sql: no such table: NOWHERE")) << e.Message();
    }
    EXPECT_EQ(Rows(*data::OpenSqlite(path), "SELECT MA002 FROM TGKMA WHERE MA001 = 'KEPT'").size(), 1u);
    EXPECT_FALSE(os::FileExists(path + ".new"));

    os::DeleteFile(root.File("companydb/seed.sql"));
    try {
        companydb::CreateCompanyDatabase(dir.File("other.db"), {root.Path(), "", false});
        FAIL() << "no error";
    } catch (const companydb::ECompanyDb& e) {
        EXPECT_EQ(e.Message(), "The script " + root.Path() + "companydb/seed.sql is missing");
    }
    EXPECT_FALSE(os::FileExists(dir.File("other.db")));
}

// ---- The tool -------------------------------------------------------------------------------

std::string Tool() { return kpatest::BinFolder() + "kpa-companydb"; }

TEST_F(CompanyDb, ToolRefusesToReplaceAnExistingFileWithoutForce) {
    hosttest::ProgramRun first = hosttest::RunProgram(Tool(), {"create", "--db", path}, "", {});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out.substr(0, 8 + path.size()), "Created " + path);
    EXPECT_EQ(first.out.find("warning"), std::string::npos) << first.out;
    data::OpenSqlite(path)->Execute("INSERT INTO TGKMA (MA001) VALUES ('MINE')");

    const hosttest::ProgramRun again = hosttest::RunProgram(Tool(), {"create", "--db", path}, "", {});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "kpa-companydb: The file " + path + " already exists; add --force to replace it\n");
    EXPECT_EQ(Rows(*data::OpenSqlite(path), "SELECT 1 FROM TGKMA WHERE MA001 = 'MINE'").size(), 1u);

    const hosttest::ProgramRun forced = hosttest::RunProgram(Tool(), {"create", "--db", path, "--force"}, "", {});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_TRUE(Rows(*data::OpenSqlite(path), "SELECT 1 FROM TGKMA WHERE MA001 = 'MINE'").empty());

    const hosttest::ProgramRun check = hosttest::RunProgram(Tool(), {"check", "--db", path}, "", {});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("ok: documents: 17\n"), std::string::npos) << check.out;
    data::OpenSqlite(path)->Execute("DELETE FROM MSGCATALOG WHERE MSGNO = '100252'");
    const hosttest::ProgramRun bad = hosttest::RunProgram(Tool(), {"check", "--db", path}, "", {});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("problem: message E 100252 is not in the catalogue\n"), std::string::npos) << bad.out;
}

TEST_F(CompanyDb, ToolUsage) {
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;  // the first line
    } cases[] = {
        {{}, 2, "kpa-companydb: no command given"},
        {{"drop", "--db", "x"}, 2, "kpa-companydb: unknown command 'drop'"},
        {{"create"}, 2, "kpa-companydb: create needs --db FILE"},
        {{"create", "--db"}, 2, "kpa-companydb: --db needs a value"},
        {{"check", "--db", "x", "--force"}, 2, "kpa-companydb: unknown option '--force' for check"},
        {{"check", "--db", "/nonexistent/x.db"}, 1, "kpa-companydb: The database file /nonexistent/x.db does not exist"},
        {{"create", "--db", "y.db", "--sql-root", "/nonexistent"}, 1, "kpa-companydb: The script /nonexistent/companydb/schema.sql is missing"},
    };
    for (const auto& c : cases) {
        const hosttest::ProgramRun r = hosttest::RunProgram(Tool(), c.args, "", {});
        EXPECT_EQ(r.status, c.status) << c.err;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.err);
    }
    const hosttest::ProgramRun help = hosttest::RunProgram(Tool(), {"--help"}, "", {});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.substr(0, 6), "Usage:");
    EXPECT_NE(help.out.find("MainDBType=SQLITE"), std::string::npos);
}

}  // namespace
