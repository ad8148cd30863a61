#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <functional>
#include <thread>

#include "platform/data/SqlDB.h"
#include "support/Fixtures.h"

using data::ESqlError;
using data::SqlRows;
using rtl::Variant;
using rtl::VarType;

namespace {

// The ESqlError a call raises; a default one (code -1) when it raises none.
ESqlError ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const ESqlError& e) {
        return e;
    }
    return ESqlError("(no exception)", -1);
}

class SqlDB : public ::testing::Test {
protected:
    kpatest::TempDir dir;
    std::string path = dir.File("company.db");
    std::shared_ptr<data::SqlDatabase> db = data::OpenSqlite(path, true);
};

TEST_F(SqlDB, OpeningFailuresNameTheFileAndTheReason) {
    const ESqlError missing = ErrorOf([&] { data::OpenSqlite(dir.File("none.db")); });
    EXPECT_EQ(missing.Message(), "The database file " + dir.File("none.db") + " does not exist");
    EXPECT_EQ(missing.Code(), SQLITE_CANTOPEN);

    const std::string junk = dir.Write("junk.db", std::string(2048, 'x'));
    const ESqlError notDb = ErrorOf([&] { data::OpenSqlite(junk); });
    EXPECT_EQ(notDb.Message(), "Cannot open the database " + junk + ": file is not a database; statement: PRAGMA schema_version");
    EXPECT_EQ(notDb.Code() & 0xff, SQLITE_NOTADB);

    const struct {
        const char* text;
        const char* message;
    } strings[] = {
        {"Provider=SQLOLEDB;Data Source=srv", "The database provider SQLOLEDB is not supported (only SQLite)"},
        {"Provider=SQLite", "The connection string names no Data Source"},
        {"Provider=SQLite;Data Source='/tmp/x.db", "Connection string with an unclosed quote"},
        {"Provider=SQLite;junk;Data Source=/tmp/x.db", "Connection string part without a value: junk"},
    };
    for (const auto& c : strings) EXPECT_EQ(ErrorOf([&] { data::OpenConnectionString(c.text); }).Message(), c.message) << c.text;
}

TEST_F(SqlDB, ConnectionStringsOpenTheNamedFile) {
    db->ExecScript("CREATE TABLE T (A TEXT); INSERT INTO T VALUES ('kept');");
    const std::string quoted = dir.Write("semi;colon.db", "");
    data::OpenSqlite(quoted)->ExecScript("CREATE TABLE Q (A TEXT)");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Provider=SQLite;Data Source=" + path, path},
        {" provider = sqlite ; data source = " + path + " ;", path},
        {path, path},
        {"Provider=SQLite;Data Source=\"" + quoted + "\"", quoted},
    };
    for (const auto& [text, file] : cases) EXPECT_EQ(data::OpenConnectionString(text)->Path(), file) << text;
    EXPECT_EQ(data::OpenConnectionString(cases[0].first)->Query("SELECT A FROM T").Rows.at(0).at(0).AsString(), "kept");
}

TEST_F(SqlDB, VariantsRoundTripThroughColumns) {
    db->ExecScript("CREATE TABLE V (I INTEGER, R REAL, T TEXT, D DATETIME, B BLOB)");
    const rtl::TDateTime when = rtl::EncodeDate(2024, 3, 5) + rtl::EncodeTime(14, 22, 1, 123);
    db->Execute("INSERT INTO V VALUES (?, ?, ?, ?, ?)",
                {Variant(42), Variant(2.5), Variant("薪资总额"), Variant::FromDate(when), Variant(std::string("\x01\x02", 2))});
    db->ExecuteNamed("INSERT INTO V VALUES (:I, :R, :T, :D, :B)",
                     {{"I", Variant(true)}, {"R", Variant::Null()}, {"T", Variant(u"宽字符")}, {"D", Variant()},
                      {"B", Variant::Null()}});
    db->Execute("INSERT INTO V (T, D) VALUES (?, ?)", {Variant::FromDate(when), Variant("not a date")});

    const SqlRows rows = db->Query("SELECT I, R, T, D, B FROM V ORDER BY rowid");
    ASSERT_EQ(rows.Rows.size(), 3u);
    const auto& a = rows.Rows[0];
    EXPECT_TRUE(a[0].Identical(Variant(42)));
    EXPECT_TRUE(a[1].Identical(Variant(2.5)));
    EXPECT_TRUE(a[2].Identical(Variant("薪资总额")));
    ASSERT_EQ(a[3].Type(), VarType::Date);
    EXPECT_NEAR(a[3].DateValue(), when, 1e-9);
    EXPECT_TRUE(a[4].Identical(Variant(std::string("\x01\x02", 2))));
    const auto& b = rows.Rows[1];
    EXPECT_TRUE(b[0].Identical(Variant(1)));
    EXPECT_TRUE(b[1].IsNull());
    EXPECT_TRUE(b[2].Identical(Variant("宽字符")));
    EXPECT_TRUE(b[3].IsNull());
    // A date stored in a text column stays the text SQLite's date functions read; a text that is
    // no date in a date column stays text.
    EXPECT_TRUE(rows.Rows[2][2].Identical(Variant("2024-03-05 14:22:01.123")));
    EXPECT_TRUE(rows.Rows[2][3].Identical(Variant("not a date")));
    EXPECT_EQ(db->Query("SELECT date(T) FROM V WHERE I IS NULL").Rows.at(0).at(0).AsString(), "2024-03-05");

    const ESqlError array = ErrorOf([&] { db->Execute("INSERT INTO V (I) VALUES (?)", {rtl::VarArrayOf({Variant(1)})}); });
    EXPECT_EQ(array.Message(), "Parameter 1 cannot take a value of type Array; statement: INSERT INTO V (I) VALUES (?)");
}

TEST_F(SqlDB, DateTextsAreWholeSecondsUnlessTheValueHasMilliseconds) {
    db->ExecScript("CREATE TABLE D (T TEXT)");
    const struct {
        rtl::TDateTime value;
        const char* text;
    } cases[] = {
        {rtl::EncodeDate(2024, 2, 29), "2024-02-29 00:00:00"},
        {rtl::EncodeDate(1999, 12, 31) + rtl::EncodeTime(23, 59, 59, 999), "1999-12-31 23:59:59.999"},
        {rtl::EncodeDate(2024, 1, 1) - 0.0000000001, "2024-01-01 00:00:00"},
    };
    for (const auto& c : cases) {
        db->Execute("DELETE FROM D");
        db->Execute("INSERT INTO D VALUES (?)", {Variant::FromDate(c.value)});
        EXPECT_EQ(db->Query("SELECT T FROM D").Rows.at(0).at(0).AsString(), c.text);
    }
}

TEST_F(SqlDB, ParametersAreCheckedByCountAndName) {
    db->ExecScript("CREATE TABLE P (A TEXT, B TEXT)");
    const struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[&] { db->Execute("INSERT INTO P VALUES (?, ?)", {Variant("x")}); },
         "The statement takes 2 parameter(s), 1 given; statement: INSERT INTO P VALUES (?, ?)"},
        {[&] { db->ExecuteNamed("INSERT INTO P VALUES (:A, :B)", {{"A", Variant("x")}}); },
         "Parameter :B has no value; statement: INSERT INTO P VALUES (:A, :B)"},
        {[&] { db->QueryNamed("SELECT * FROM P WHERE A = ?", {{"A", Variant("x")}}); },
         "Positional parameter 1 in a statement run with named parameters; statement: SELECT * FROM P WHERE A = ?"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.call).Message(), c.message);

    // Names without regard to case, any of the three prefixes, values the statement does not use ignored.
    EXPECT_EQ(db->ExecuteNamed("INSERT INTO P VALUES (:mc005, @Md004)", {{"MC005", Variant("KPAB02")}, {"md004", Variant("6")}, {"unused", Variant(1)}}), 1);
    const SqlRows r = db->QueryNamed("SELECT B FROM P WHERE A = $A", {{"a", Variant("KPAB02")}});
    ASSERT_EQ(r.Rows.size(), 1u);
    EXPECT_EQ(r.Rows[0][0].AsString(), "6");
}

TEST_F(SqlDB, ErrorsCarryTheStatementAndTheEngineCode) {
    db->ExecScript("CREATE TABLE M (ID INTEGER PRIMARY KEY); CREATE TABLE C (M INTEGER REFERENCES M(ID));");
    const ESqlError noTable = ErrorOf([&] { db->Query("SELECT * FROM NOPE"); });
    EXPECT_EQ(noTable.Message(), "no such table: NOPE; statement: SELECT * FROM NOPE");
    EXPECT_EQ(noTable.Code(), SQLITE_ERROR);

    // Foreign keys are enforced on every connection.
    const ESqlError orphan = ErrorOf([&] { db->Execute("INSERT INTO C VALUES (7)"); });
    EXPECT_EQ(orphan.Code(), SQLITE_CONSTRAINT_FOREIGNKEY);
    EXPECT_EQ(orphan.Message(), "FOREIGN KEY constraint failed; statement: INSERT INTO C VALUES (7)");

    const ESqlError script = ErrorOf([&] { db->ExecScript("INSERT INTO M VALUES (1);\nINSERT INTO M VALUES (1);\nINSERT INTO M VALUES (2);"); });
    EXPECT_EQ(script.Message(), "UNIQUE constraint failed: M.ID; statement: INSERT INTO M VALUES (1);");
    EXPECT_EQ(db->Query("SELECT COUNT(*) FROM M").Rows[0][0].AsInteger(), 1);  // the script stopped there
}

TEST_F(SqlDB, OneStatementPerCall) {
    db->ExecScript("CREATE TABLE T (A INTEGER); INSERT INTO T VALUES (1);");
    const ESqlError e = ErrorOf([&] { db->Query("SELECT A FROM T; DELETE FROM T"); });
    EXPECT_EQ(e.Message(), "Only one statement can be run at a time; statement: SELECT A FROM T; DELETE FROM T");
    EXPECT_EQ(db->Query("SELECT COUNT(*) FROM T").Rows[0][0].AsInteger(), 1);
    EXPECT_EQ(ErrorOf([&] { db->Execute("DELETE FROM T; garbage"); }).Message(),
              "Only one statement can be run at a time; statement: DELETE FROM T; garbage");
    EXPECT_EQ(ErrorOf([&] { db->Query("  -- nothing\n"); }).Message(), "No statement to run in: -- nothing");
    // A closing semicolon and comments after the statement are no second statement.
    EXPECT_EQ(db->Query("SELECT A FROM T; -- the one row\n /* done */ ;").Rows.size(), 1u);
}

TEST_F(SqlDB, WritesAreCommittedAtOnceAndTransactionsAllOrNothing) {
    db->ExecScript("CREATE TABLE T (A INTEGER)");
    db->Execute("INSERT INTO T VALUES (1)");
    EXPECT_EQ(db->LastInsertId(), 1);
    auto other = data::OpenSqlite(path);
    EXPECT_EQ(other->Query("SELECT COUNT(*) FROM T").Rows[0][0].AsInteger(), 1);
    {
        data::SqlTransaction t(*db);
        db->Execute("INSERT INTO T VALUES (2)");
    }  // left without Commit
    {
        data::SqlTransaction t(*db);
        db->Execute("INSERT INTO T VALUES (3)");
        t.Commit();
    }
    {
        // A connection closed in the middle of a transaction keeps nothing of it.
        auto dropped = data::OpenSqlite(path);
        dropped->Begin();
        dropped->Execute("INSERT INTO T VALUES (4)");
    }
    const SqlRows r = other->Query("SELECT A FROM T ORDER BY A");
    ASSERT_EQ(r.Rows.size(), 2u);
    EXPECT_EQ(r.Rows[1][0].AsInteger(), 3);
}

TEST_F(SqlDB, AWriterWaitsForAnotherWritersTransaction) {
    db->ExecScript("CREATE TABLE T (A INTEGER)");
    auto other = data::OpenSqlite(path);
    db->Begin();
    db->Execute("INSERT INTO T VALUES (1)");
    std::thread finisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        db->Commit();
    });
    // Without the busy wait this would fail at once with "database is locked".
    EXPECT_NO_THROW(other->Execute("INSERT INTO T VALUES (2)"));
    finisher.join();
    EXPECT_EQ(other->Query("SELECT COUNT(*) FROM T").Rows[0][0].AsInteger(), 2);
}

TEST_F(SqlDB, RowsAsAVariantArray) {
    db->ExecScript("CREATE TABLE T (Code TEXT, Name TEXT); INSERT INTO T VALUES ('KPAH01', '甲'), ('KPAH02', '乙');");
    const SqlRows r = db->Query("SELECT Code, Name FROM T ORDER BY Code");
    EXPECT_EQ(r.ColumnIndex("NAME"), 1);
    EXPECT_EQ(r.ColumnIndex("none"), -1);
    const Variant a = r.ToVariantArray();
    ASSERT_EQ(rtl::VarArrayDimCount(a), 2);
    EXPECT_EQ(rtl::VarArrayHighBound(a, 1), 1);
    EXPECT_EQ(rtl::VarArrayHighBound(a, 2), 1);
    EXPECT_EQ(a(1, 0).AsString(), "KPAH02");
    EXPECT_EQ(a(0, 1).AsString(), "甲");
    const Variant none = db->Query("SELECT Code, Name FROM T WHERE 0").ToVariantArray();
    EXPECT_EQ(rtl::VarArrayHighBound(none, 1), -1);
    EXPECT_EQ(rtl::VarArrayHighBound(none, 2), 1);
}

// ---- The dialect ----------------------------------------------------------------------------

TEST(AdaptToSqlite, RewritesWhatSqliteReadsDifferently) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"SELECT * FROM KPADB..TMCMD LEFT JOIN KPADB..TMCMC ON MC001 = MD001", "SELECT * FROM TMCMD LEFT JOIN TMCMC ON MC001 = MD001"},
        {"SELECT * FROM KPADB.dbo.ADMTC, [KPA DB]..ADMTD", "SELECT * FROM ADMTC, ADMTD"},
        {"SELECT T.A, S.B FROM T, S", "SELECT T.A, S.B FROM T, S"},
        {"SELECT ISNULL(MD007, '') MD007, isnull (x, 1)", "SELECT IFNULL(MD007, '') MD007, IFNULL (x, 1)"},
        {"SELECT GETDATE() DATEX", "SELECT (julianday('now', 'localtime') - 2415018.5) DATEX"},
        {"CONVERT(CHAR(14), CAST(MAX(TC001) AS BIGINT) + 1)", "CAST(CAST(MAX(TC001) AS INTEGER) + 1 AS TEXT)"},
        {"CONVERT(varchar(10), ISNULL(a, b))", "CAST(IFNULL(a, b) AS TEXT)"},
        {"CAST(x AS NUMERIC(12, 2))", "CAST(x AS NUMERIC)"},
        {"CONVERT(CHAR(8), d, 112)", "CONVERT(CHAR(8), d, 112)"},
        {"CAST(x AS SQL_VARIANT)", "CAST(x AS SQL_VARIANT)"},
        // Literals, quoted names, comments and parameter names are not touched.
        {"SELECT 'ISNULL(a..b)', \"GETDATE()\", [X..Y] -- ISNULL(\n WHERE A = :ISNULL",
         "SELECT 'ISNULL(a..b)', \"GETDATE()\", [X..Y] -- ISNULL(\n WHERE A = :ISNULL"},
        {"SELECT 'it''s ISNULL(' + ISNULL(a, '')", "SELECT 'it''s ISNULL(' + IFNULL(a, '')"},
        {"SELECT MYISNULL(a), ISNULLX", "SELECT MYISNULL(a), ISNULLX"},
    };
    for (const auto& c : cases) EXPECT_EQ(data::AdaptToSqlite(c.in), c.out) << c.in;
}

// The batch form's three statements, as it writes them, run on SQLite.
class BatchStatements : public SqlDB {
protected:
    void SetUp() override {
        db->ExecScript(R"(
            CREATE TABLE TMCMC (MC001 TEXT, MC002 TEXT, MC005 TEXT, PRIMARY KEY (MC001, MC002));
            CREATE TABLE TMCMD (MD001 TEXT, MD002 TEXT, MD003 TEXT, MD004 TEXT, MD006 TEXT, MD007 TEXT);
            CREATE TABLE ADMTC (TC001 TEXT PRIMARY KEY, TC004 TEXT);
            CREATE TABLE ADMTD (TD001 TEXT PRIMARY KEY, TD004 TEXT);
            INSERT INTO TMCMC VALUES ('M1', '01', 'kpab02'), ('M1', '02', 'KPAB03');
            INSERT INTO TMCMD VALUES ('M1', '01', '1', '6', 'S', NULL), ('M1', '01', '2', '6', 'S', 'text'),
                                     ('M1', '01', '3', '1', 'S', 'mail'), ('M1', '02', '1', '6', 'S', 'other');
        )");
    }
    std::string NextNumber(const std::string& d) {
        const std::string sql = std::string(" SELECT (SELECT CASE WHEN MAX(TC001) IS NULL THEN '") + d + "000001" + "' " +
                                " ELSE CONVERT(CHAR(14), CAST(MAX(TC001) AS BIGINT) + 1) END " + " FROM " +
                                " (SELECT MAX(TC001) TC001 FROM ADMTC WHERE TC004 LIKE '" + d + "%' " + " UNION " +
                                " SELECT MAX(TD001) TD001 FROM ADMTD WHERE TD004 LIKE '" + d + "%') B) SEQX ";
        const SqlRows r = db->Query(data::AdaptToSqlite(sql));
        EXPECT_EQ(r.Columns.at(0), "SEQX");
        return r.Rows.at(0).at(0).AsString();
    }
};

TEST_F(BatchStatements, TemplatesOfTheProgramAndKind) {
    std::string sql = " SELECT MD001, MD002, MD003, MD006, ISNULL(MD007, '') MD007  FROM $$TMCMD  LEFT JOIN $$TMCMC ON MC001 = MD001 AND MC002 = MD002  WHERE UPPER(MC005) = :MC005  AND MD004 = :MD004 ";
    sql = rtl::StringReplaceAll(sql, "$$", "KPADB..");
    const SqlRows r = db->QueryNamed(data::AdaptToSqlite(sql) + " ORDER BY MD003", {{"MC005", Variant("KPAB02")}, {"MD004", Variant("6")}});
    ASSERT_EQ(r.Rows.size(), 2u);
    EXPECT_TRUE(r.Rows[0][r.ColumnIndex("MD007")].Identical(Variant("")));
    EXPECT_TRUE(r.Rows[1][r.ColumnIndex("MD007")].Identical(Variant("text")));
}

TEST_F(BatchStatements, RowNumbersCountOnAcrossBothQueues) {
    EXPECT_EQ(NextNumber("20240305"), "20240305000001");
    db->Execute("INSERT INTO ADMTC VALUES ('20240305000001', '20240305101010000')");
    EXPECT_EQ(NextNumber("20240305"), "20240305000002");
    // The day's highest number may be in the processed queue.
    db->Execute("INSERT INTO ADMTD VALUES ('20240305000009', '20240305111111000')");
    EXPECT_EQ(NextNumber("20240305"), "20240305000010");
    db->Execute("INSERT INTO ADMTC VALUES ('20240304000077', '20240304235959000')");
    EXPECT_EQ(NextNumber("20240306"), "20240306000001");
}

TEST_F(BatchStatements, ServerTimeIsADateTimeNumberInLocalTime) {
    const SqlRows r = db->Query(data::AdaptToSqlite(" SELECT GETDATE() DATEX "));
    ASSERT_EQ(r.Columns.at(0), "DATEX");
    const Variant v = r.Rows.at(0).at(0);
    ASSERT_EQ(v.Type(), VarType::Double);
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const rtl::TDateTime now = rtl::EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
                               rtl::EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0);
    EXPECT_LT(std::fabs(v.AsDate() - now), 1.0 / 1440);  // the same minute, in local time
}

}  // namespace
