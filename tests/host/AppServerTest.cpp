// The application server "RiveviVozodavE.dmReportCounter" (KpaAppServer.so) and the server
// library of KPAB02 (KPAB02S.so), reached as the module reaches them: created by ProgID from a
// temporary registry, on a SQLite company database named by a temporary StewardS.ini.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "host/appserver/Jobs.h"
#include "host/appserver/ServerConfig.h"
#include "host/appserver/VariantText.h"
#include "platform/com/ComObj.h"
#include "platform/data/DBClient.h"
#include "platform/data/SConnect.h"
#include "platform/data/SqlDB.h"
#include "platform/os/Environment.h"
#include "support/Fixtures.h"

using rtl::Variant;

namespace {

constexpr const char* kProgID = "RiveviVozodavE.dmReportCounter";

std::string BinDir() {
    std::string dir = os::GetEnv("KPA_TEST_BIN_DIR");
    if (dir.empty()) dir = os::GetExecutableFolder();
    if (dir.back() != '/') dir += '/';
    return dir;
}

rtl::TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return rtl::EncodeDate(y, mo, d) + rtl::EncodeTime(h, mi, s, ms);
}

// The message of the exception `call` raises; empty when it raises none.
std::string Raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

// ---- Payloads as the option and batch forms build them ----------------------------------------

Variant Environment(const char16_t* program = u"KPAB02") {
    Variant env = rtl::VarArrayCreate(0, 12);
    env[1] = program;
    env[2] = 12;
    env[3] = 3;
    env[4] = u"C01";
    env[5] = u"U01";
    env[6] = u"KPADB";
    env[7] = Variant::FromDate(At(2024, 3, 15, 10, 20, 30, 123));
    env[8] = std::u16string(program) + u"S.Class1";
    env[9] = u"B";
    env[10] = 0;
    env[11] = Variant::FromDate(At(2024, 3, 15, 10, 20, 30));
    env[12] = u"";
    return env;
}

Variant Payload(const char16_t* program = u"KPAB02") {
    Variant labels = rtl::VarArrayCreate(0, 3);
    labels[1] = rtl::VarArrayOf({u"期间", u"spPeriod"});
    labels[2] = rtl::VarArrayOf({u"生成Log文档", u"chkLog"});
    labels[3] = rtl::VarArrayOf({u"作业日期", u"edPrintDate"});
    Variant values = rtl::VarArrayCreate(0, 3);
    values[1] = rtl::VarArrayOf({Variant::Null(), u"20240101", u"20240131"});
    values[2] = u"Y";
    values[3] = u"20240315";
    return rtl::VarArrayOf({Environment(program), labels, values});
}

Variant PeriodicPayload() {
    Variant p = Payload();
    rtl::VarArrayRedim(p, 4);
    p[0][9] = u"b";
    p[0][10] = 2;
    // Monthly, every month on the last Friday, from 1 March to the end of the year, at 08:30.
    p[3] = rtl::VarArrayOf({u"Y", u"08:30", rtl::VarArrayOf({2, rtl::VarArrayOf({1, u"1", 4, 5})}),
                            rtl::VarArrayOf({u"20240301", 2, u"20241231"})});
    p[4] = rtl::VarArrayOf({1, u"0\x03spPeriod\x03Y\x03-1\x03" u"1\x03" u"1\x03" u"0\x03Y\x03-1\x03" u"1\x03" u"2\x03" u"0\x03" u"D\x03" u"1"});
    return p;
}

// ---- The fixture: a server folder, its StewardS.ini, a company database and the registry ------

class AppServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        dbPath_ = dir_.File("company.db");
        auto db = data::OpenSqlite(dbPath_, true);
        db->ExecScript(appserver::ServerSchemaSql());
        WriteIni("SQLITE", dbPath_);
        registry_.SetRawText("Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\Software\\TGK\\Steward]\r\n\"ServerPath\"=\"" + dir_.Path() + "\"\r\n\r\n"
                             "[HKEY_CLASSES_ROOT\\" + std::string(kProgID) + "\\InprocServer32]\r\n@=\"" +
                             BinDir() + "KpaAppServer.so\"\r\n\r\n");
    }

    // Work libraries: "S_PKG" below the server folder first, then the build's own folder.
    void WriteIni(const std::string& type, const std::string& db) {
        dir_.Write("StewardS.ini", "[DBE Setting]\nMainDBType=" + type + "\nMainDBName=" + db +
                                       "\n[WorkDLLPath]\nPackages=S_PKG\nBuild=" + BinDir() + "\n");
    }

    Variant NewServer() { return com::CreateOleObject(kProgID); }

    Variant Call(const Variant& server, const char* member, std::vector<Variant> args = {}) {
        return com::OleCall(server, member, args);
    }
    std::string Text(const Variant& server, const char* member, std::vector<Variant> args = {}) {
        return rtl::VarToStr(Call(server, member, std::move(args)));
    }

    std::shared_ptr<data::SqlDatabase> Db() { return data::OpenSqlite(dbPath_); }
    data::SqlRows Rows(const std::string& sql, const std::vector<Variant>& params = {}) { return Db()->Query(sql, params); }
    int64_t Count(const std::string& table) { return Rows("SELECT COUNT(*) FROM " + table).Rows[0][0].AsInt64(); }

    static Variant SetArray(const char* name, const char* date, const char* values, bool replace, const char* user = "U01") {
        return rtl::VarArrayOf({name, user, date, "KPAB02", "edA.text;chkB.checked;", values, replace});
    }
    static Variant Key(const char* name, const char* user = "U01", const char* program = "KPAB02") {
        return rtl::VarArrayOf({name, user, program});
    }

    kpatest::TempDir dir_;
    kpatest::ScopedRegistry registry_;
    std::string dbPath_;
};

// ---- Condition sets ---------------------------------------------------------------------------

TEST_F(AppServerTest, InsertConTableHonoursTheReplaceFlag) {
    Variant server = NewServer();
    EXPECT_EQ(Text(server, "InsertConTable", {SetArray("月报", "20240301", "a\r\n1\r\n", false)}), "");
    const char* read = "SELECT CREATE_DATE, SCONDITION, VCONDITION FROM CONDITION_SET WHERE NCONDITION = '月报'";
    ASSERT_EQ(Rows(read).Rows.size(), 1u);
    EXPECT_EQ(Rows(read).Rows[0][2].AsString(), "a\r\n1\r\n");

    // Without the flag an existing set stays as it was.
    const std::string refused = Text(server, "InsertConTable", {SetArray("月报", "20240302", "b\r\n0\r\n", false)});
    EXPECT_EQ(refused, "A condition set named '月报' already exists");
    EXPECT_EQ(Text(server, "ErrorDescript"), refused);
    EXPECT_EQ(Rows(read).Rows[0][0].AsString(), "20240301");

    // With it, the set is replaced.
    EXPECT_EQ(Text(server, "InsertConTable", {SetArray("月报", "20240302", "b\r\n0\r\n", true)}), "");
    const auto after = Rows(read);
    ASSERT_EQ(after.Rows.size(), 1u);
    EXPECT_EQ(after.Rows[0][0].AsString(), "20240302");
    EXPECT_EQ(after.Rows[0][1].AsString(), "edA.text;chkB.checked;");
    EXPECT_EQ(after.Rows[0][2].AsString(), "b\r\n0\r\n");

    // Names are exact: a name differing only by case is another set.
    EXPECT_EQ(Text(server, "InsertConTable", {SetArray("Plan", "20240301", "", false)}), "");
    EXPECT_EQ(Text(server, "InsertConTable", {SetArray("PLAN", "20240301", "", false)}), "");
    EXPECT_EQ(Count("CONDITION_SET"), 3);
}

TEST_F(AppServerTest, InsertConTableRefusesMalformedSets) {
    Variant server = NewServer();
    const struct {
        Variant set;
        const char* answer;
    } cases[] = {
        {rtl::VarArrayOf({"x", "U01", "20240301", "KPAB02", "", ""}),
         "InsertConTable's argument [name, user code, date, program code, properties, values, replace] must be an "
         "array of 7 elements"},
        {SetArray("  ", "20240301", "", false), "The condition set name is empty"},
        {SetArray("x", "20240301", "", false, ""), "The user code is empty"},
        {SetArray("x", "2024-03-01", "", false), "The creation date must be written YYYYMMDD, not '2024-03-01'"},
        {SetArray("x", "20240230", "", false), "The creation date must be written YYYYMMDD, not '20240230'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(server, "InsertConTable", {c.set}), c.answer);
        EXPECT_EQ(Text(server, "ErrorDescript"), c.answer);
    }
    EXPECT_EQ(Count("CONDITION_SET"), 0);
}

TEST_F(AppServerTest, DeleteAndRenameAnswerTextsForWhatTheyCannotDo) {
    Variant server = NewServer();
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("A", "20240301", "1\r\n", false)}), "");
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("B", "20240301", "2\r\n", false)}), "");
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("A", "20240301", "3\r\n", false, "U02")}), "");

    EXPECT_EQ(Text(server, "ChangeConName", {Key("A"), Key("B")}), "A condition set named 'B' already exists");
    EXPECT_EQ(Text(server, "ChangeConName", {Key("Z"), Key("Y")}), "There is no condition set named 'Z'");
    EXPECT_EQ(Text(server, "ChangeConName", {Key("A"), Key("A2", "U02")}),
              "A condition set can be renamed only within its own user and program");
    EXPECT_EQ(Text(server, "ChangeConName", {Key("A"), Key("")}), "The condition set name is empty");
    EXPECT_EQ(Text(server, "ChangeConName", {Key("A"), Key("a")}), "");
    const auto names = Rows("SELECT NCONDITION, CREATOR, VCONDITION FROM CONDITION_SET ORDER BY CREATOR, NCONDITION");
    ASSERT_EQ(names.Rows.size(), 3u);
    EXPECT_EQ(names.Rows[0][0].AsString() + names.Rows[0][2].AsString(), "B2\r\n");
    EXPECT_EQ(names.Rows[1][0].AsString() + names.Rows[1][2].AsString(), "a1\r\n");
    EXPECT_EQ(names.Rows[2][0].AsString() + names.Rows[2][1].AsString(), "AU02");  // another user's set is untouched

    EXPECT_EQ(Text(server, "DeleteConTable", {Key("a")}), "");
    EXPECT_EQ(Text(server, "DeleteConTable", {Key("a")}), "There is no condition set named 'a'");
    EXPECT_EQ(Count("CONDITION_SET"), 2);
}

// The base form's dataset: ClientDataSet1 on provider pvdConSave of the server.
class ConditionDataSet {
public:
    explicit ConditionDataSet(const Variant& server) {
        owner_ = new ui::TComponent(nullptr);
        conn_ = new data::TSocketConnection(owner_);
        conn_->SetName("MainMidas");
        conn_->SetAppServer(server);
        ds_ = new data::TClientDataSet(owner_);
        ds_->SetName("ClientDataSet1");
        ds_->SetProviderName("pvdConSave");
        ds_->SetRemoteServer(conn_);
        ds_->AddIndex("Index1", "NCONDITION;CREATOR;PROGRAMME");
        ds_->SetIndexName("Index1");
    }
    ~ConditionDataSet() { owner_->Free(); }
    data::TClientDataSet* operator->() { return ds_; }
    std::string Column(const char* field) {
        std::string out;
        for (ds_->First(); !ds_->Eof(); ds_->Next()) out += (out.empty() ? "" : ",") + ds_->FieldByName(field)->AsString();
        return out;
    }
    bool Find(const char* name) { return ds_->Locate("NCONDITION;CREATOR;PROGRAMME", rtl::VarArrayOf({name, "U01", "KPAB02"})); }

private:
    ui::TComponent* owner_;
    data::TSocketConnection* conn_;
    data::TClientDataSet* ds_;
};

TEST_F(AppServerTest, TheProviderServesTheLoadedUsersSetsAndTakesEditsBack) {
    Variant server = NewServer();
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("Beta", "20240302", "2\r\n", false)}), "");
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("Alpha", "20240301", "1\r\n", false)}), "");
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("Other", "20240301", "9\r\n", false, "U02")}), "");
    Db()->Execute("INSERT INTO CONDITION_SET (NCONDITION, CREATOR, PROGRAMME) VALUES ('Elsewhere', 'U01', 'KPAB03')");

    ConditionDataSet ds(server);
    // Before LoadTable the provider names no user: no rows.
    ds->Open();
    EXPECT_EQ(ds->RecordCount(), 0);
    ds->Close();

    std::vector<Variant> load{rtl::VarArrayOf({"U01", "KPAB02"})};
    com::OleCall(server, "LoadTable", load);
    ds->Open();
    EXPECT_EQ(ds.Column("NCONDITION"), "Alpha,Beta");
    EXPECT_EQ(ds.Column("CREATE_DATE"), "20240301,20240302");
    EXPECT_EQ(ds.Column("VCONDITION"), "1\r\n,2\r\n");
    EXPECT_EQ(ds.Column("SCONDITION"), "edA.text;chkB.checked;,edA.text;chkB.checked;");

    // Edits posted back: a value change, an emptied text (the dataset sends Null), a new set,
    // a deleted set.
    ASSERT_TRUE(ds.Find("Alpha"));
    ds->Edit();
    ds->FieldByName("VCONDITION")->SetAsString("7\r\n");
    ds->FieldByName("SCONDITION")->SetAsString("");
    ds->Post();
    ds->Append();
    ds->FieldByName("NCONDITION")->SetAsString("Gamma");
    ds->FieldByName("CREATOR")->SetAsString("U01");
    ds->FieldByName("PROGRAMME")->SetAsString("KPAB02");
    ds->FieldByName("CREATE_DATE")->SetAsString("20240305");
    ds->Post();
    ASSERT_TRUE(ds.Find("Beta"));
    ds->Delete();
    EXPECT_EQ(ds->ApplyUpdates(0), 0);

    const auto rows = Rows("SELECT NCONDITION, SCONDITION, VCONDITION, CREATE_DATE FROM CONDITION_SET "
                           "WHERE CREATOR = 'U01' AND PROGRAMME = 'KPAB02' ORDER BY NCONDITION");
    ASSERT_EQ(rows.Rows.size(), 2u);
    EXPECT_EQ(rows.Rows[0][0].AsString() + "|" + rows.Rows[0][1].AsString() + "|" + rows.Rows[0][2].AsString(), "Alpha||7\r\n");
    EXPECT_EQ(rows.Rows[1][0].AsString() + "|" + rows.Rows[1][3].AsString(), "Gamma|20240305");
    EXPECT_EQ(Count("CONDITION_SET"), 4);  // U02's and KPAB03's sets are still there
}

TEST_F(AppServerTest, TheProviderRefusesStaleAndForeignChanges) {
    Variant server = NewServer();
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("Alpha", "20240301", "1\r\n", false)}), "");
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("Beta", "20240301", "2\r\n", false)}), "");
    std::vector<Variant> load{rtl::VarArrayOf({"U01", "KPAB02"})};
    com::OleCall(server, "LoadTable", load);
    ConditionDataSet ds(server);
    ds->Open();

    // Someone else changed Alpha after it was fetched; a set of another user cannot be made.
    Db()->Execute("UPDATE CONDITION_SET SET VCONDITION = 'theirs' WHERE NCONDITION = 'Alpha'");
    ASSERT_TRUE(ds.Find("Alpha"));
    ds->Edit();
    ds->FieldByName("VCONDITION")->SetAsString("mine");
    ds->Post();
    ds->Append();
    ds->FieldByName("NCONDITION")->SetAsString("Stolen");
    ds->FieldByName("CREATOR")->SetAsString("U02");
    ds->FieldByName("PROGRAMME")->SetAsString("KPAB02");
    ds->Post();
    ASSERT_TRUE(ds.Find("Beta"));
    ds->Edit();
    ds->FieldByName("VCONDITION")->SetAsString("2b\r\n");
    ds->Post();

    // Two refusals within the limit: the good change is applied, the refused ones are listed.
    EXPECT_EQ(ds->ApplyUpdates(2), 2);
    std::vector<std::string> reasons;
    for (const auto& e : ds->ReconcileErrors()) reasons.push_back(e.message);
    EXPECT_EQ(reasons, (std::vector<std::string>{"Record not found or changed by another user",
                                                 "The condition set belongs to another user or program"}));
    EXPECT_EQ(Rows("SELECT VCONDITION FROM CONDITION_SET WHERE NCONDITION = 'Alpha'").Rows[0][0].AsString(), "theirs");
    EXPECT_EQ(Rows("SELECT VCONDITION FROM CONDITION_SET WHERE NCONDITION = 'Beta'").Rows[0][0].AsString(), "2b\r\n");
    EXPECT_EQ(Count("CONDITION_SET"), 2);

    // Over the limit nothing at all is applied.
    ASSERT_TRUE(ds.Find("Beta"));
    ds->Edit();
    ds->FieldByName("VCONDITION")->SetAsString("2c\r\n");
    ds->Post();
    EXPECT_EQ(ds->ApplyUpdates(0), 2);
    EXPECT_EQ(Rows("SELECT VCONDITION FROM CONDITION_SET WHERE NCONDITION = 'Beta'").Rows[0][0].AsString(), "2b\r\n");
}

TEST_F(AppServerTest, ARenameFollowedByTheListsOwnEditIsAccepted) {
    // The list renames with ChangeConName, then edits and posts the record under its new name.
    Variant server = NewServer();
    ASSERT_EQ(Text(server, "InsertConTable", {SetArray("Old", "20240301", "1\r\n", false)}), "");
    std::vector<Variant> load{rtl::VarArrayOf({"U01", "KPAB02"})};
    com::OleCall(server, "LoadTable", load);
    ConditionDataSet ds(server);
    ds->Open();
    std::vector<Variant> keys{Key("Old"), Key("New")};
    EXPECT_EQ(rtl::VarToStr(com::OleCall(server, "ChangeConName", keys)), "");
    ASSERT_TRUE(ds.Find("Old"));
    ds->Edit();
    ds->FieldByName("NCONDITION")->SetAsString("New");
    ds->Post();
    EXPECT_EQ(ds->ApplyUpdates(0), 0);
    const auto rows = Rows("SELECT NCONDITION, VCONDITION FROM CONDITION_SET");
    ASSERT_EQ(rows.Rows.size(), 1u);
    EXPECT_EQ(rows.Rows[0][0].AsString() + rows.Rows[0][1].AsString(), "New1\r\n");
}

// ---- Rights -----------------------------------------------------------------------------------

TEST_F(AppServerTest, GetPowerAnswersTheMostSpecificRightsRow) {
    Db()->ExecScript(
        "INSERT INTO USER_RIGHTS VALUES ('KPADB', 'U01', 'KPAB02', 'Y,Y,N,NNNNNNYY,N,N', 'r2', 'r3', 'LIMIT', '[\"D01\",\"D02\"]');"
        "INSERT INTO USER_RIGHTS VALUES ('*', 'U01', '*', 'N,Y,N,NNNNNNYN,N,N', '', '', '', '[]');"
        "INSERT INTO USER_RIGHTS VALUES ('*', '*', 'KPAB02', 'N,N,Y,NNNNNNNY,N,N', '', '', 'ALL', '[]');");
    Variant server = NewServer();
    const struct {
        const char* database;
        const char* user;
        const char* program;
        const char* rights;
        const char* baseLimit;
        int items;
    } cases[] = {
        {"KPADB", "U01", "KPAB02", "Y,Y,N,NNNNNNYY,N,N", "LIMIT", 2},  // the exact row
        {"OTHER", "U01", "KPAB02", "N,N,Y,NNNNNNNY,N,N", "ALL", 0},    // an exact program beats an exact user
        {"KPADB", "U01", "KPAB05", "N,Y,N,NNNNNNYN,N,N", "", 0},
        {"KPADB", "U09", "KPAB05", ",,,,,", "", 0},  // no row: no rights
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.user) + "/" + c.program);
        const Variant r = Call(server, "GetPower", {rtl::VarArrayOf({c.database, c.user, c.program, ""})});
        ASSERT_TRUE(r.IsArray());
        ASSERT_EQ(r.Arr().HighBound(1), 5);
        EXPECT_EQ(rtl::VarToStr(r[1]), c.rights);
        EXPECT_EQ(rtl::VarToStr(r[4]), c.baseLimit);
        ASSERT_TRUE(r[5].IsArray());
        EXPECT_EQ(r[5][0].AsInteger(), c.items);
        EXPECT_EQ(r[5].Arr().HighBound(1), c.items);
    }
    const Variant exact = Call(server, "GetPower", {rtl::VarArrayOf({"KPADB", "U01", "KPAB02", ""})});
    EXPECT_EQ(rtl::VarToStr(exact[2]) + rtl::VarToStr(exact[3]), "r2r3");
    EXPECT_EQ(rtl::VarToStr(exact[5][1]) + rtl::VarToStr(exact[5][2]), "D01D02");
}

// ---- Job requests -----------------------------------------------------------------------------

TEST_F(AppServerTest, RequestStoresTheWholePayload) {
    Variant server = NewServer();
    Variant payload = Payload();
    payload[2][2] = std::string("Y");  // a byte string among the wide ones
    const std::string jobNo = Text(server, "Request", {payload});
    EXPECT_TRUE(std::regex_match(jobNo, std::regex("[0-9A-Z]{8}0000"))) << jobNo;

    const auto rows = Rows("SELECT PAYLOAD, KIND, PROGRAM_ID, COMPANY, USER_ID, DB_NAME, COMPUTER_NAME, SERVER_CLASS, "
                           "PROGRAM_KIND, REQUEST_TIME, RUN_MODE, RUN_TIME, PERIODIC, STATUS FROM JOB_REQUEST WHERE JOB_NO = ?",
                           {jobNo});
    ASSERT_EQ(rows.Rows.size(), 1u);
    const auto& r = rows.Rows[0];
    const Variant stored = appserver::TextToVariant(r[0].AsString());
    EXPECT_TRUE(stored.Identical(payload)) << r[0].AsString();
    std::string columns;
    for (size_t i = 1; i < r.size(); ++i) columns += (i > 1 ? "|" : "") + rtl::VarToStr(r[i]);
    EXPECT_EQ(columns, "REQUEST|KPAB02|C01|U01|KPADB||KPAB02S.Class1|B|2024-03-15 10:20:30.123|0|2024-03-15 10:20:30.000|0|QUEUED");
}

TEST_F(AppServerTest, APeriodicRequestStoresItsSchedule) {
    Variant server = NewServer();
    const Variant payload = PeriodicPayload();
    const std::string jobNo = Text(server, "Request", {payload});
    ASSERT_NE(jobNo, "ERROR") << Text(server, "ErrorDescript");
    const auto rows = Rows("SELECT PAYLOAD, PERIODIC, SCHED_TIME, CYCLE_KIND, RANGE_KIND, START_DATE, END_DATE, RUN_COUNT, "
                           "CYCLE, DATE_RULES, PROGRAM_KIND, RUN_MODE FROM JOB_REQUEST WHERE JOB_NO = ?",
                           {jobNo});
    ASSERT_EQ(rows.Rows.size(), 1u);
    const auto& r = rows.Rows[0];
    EXPECT_TRUE(appserver::TextToVariant(r[0].AsString()).Identical(payload));
    std::string columns;
    for (size_t i = 1; i <= 7; ++i) columns += (i > 1 ? "|" : "") + rtl::VarToStr(r[i]);
    EXPECT_EQ(columns, "1|08:30|2|2|20240301|20241231|");
    EXPECT_TRUE(appserver::TextToVariant(r[8].AsString()).Identical(payload[3][2]));
    EXPECT_TRUE(appserver::TextToVariant(r[9].AsString()).Identical(payload[4]));
    EXPECT_EQ(rtl::VarToStr(r[10]) + rtl::VarToStr(r[11]), "b2");
}

TEST_F(AppServerTest, MalformedPayloadsAnswerErrorWithTheReason) {
    using Change = std::function<void(Variant&)>;
    const struct {
        const char* what;
        bool periodic;
        Change change;
        const char* reason;
    } cases[] = {
        {"not an array", false, [](Variant& p) { p = u"job"; },
         "The job payload must be an array with bounds 0..2 (0..4 for a periodic job); found the text \"job\""},
        {"four elements", false, [](Variant& p) { rtl::VarArrayRedim(p, 3); },
         "The job payload must be an array with bounds 0..2 (0..4 for a periodic job); found an array with bounds 0..3"},
        {"no environment", false, [](Variant& p) { p[0] = Variant::Null(); },
         "The environment (payload element 0) must be an array with elements 1 to 9 at least; found Null"},
        {"short environment", false, [](Variant& p) { rtl::VarArrayRedim(p[0], 8); },
         "The environment (payload element 0) must be an array with elements 1 to 9 at least; found an array with "
         "bounds 0..8"},
        {"no program", false, [](Variant& p) { p[0][1] = u" "; },
         "Environment element 1 (program code) must be a non-empty text; found the text \" \""},
        {"wrong element count", false, [](Variant& p) { p[0][2] = 9; },
         "Environment element 2 (number of environment elements) must be the environment's high bound 12; found the "
         "integer 9"},
        {"option count off", false, [](Variant& p) { p[0][3] = 5; },
         "The option labels (payload element 1) must be an array with bounds 0..5 or 1..5 (environment element 3); "
         "found an array with bounds 0..3"},
        {"no user", false, [](Variant& p) { p[0][5] = Variant(); },
         "Environment element 5 (user code) must be a non-empty text; found nothing"},
        {"time as text", false, [](Variant& p) { p[0][7] = u"2024-03-15"; },
         "Environment element 7 (date and time of the request) must be a date and time; found the text \"2024-03-15\""},
        {"long program kind", false, [](Variant& p) { p[0][9] = u"BB"; },
         "Environment element 9 (program kind) must be one letter; found the text \"BB\""},
        {"run mode", false, [](Variant& p) { p[0][10] = 3; },
         "Environment element 10 (run mode) must be an integer from 0 to 2; found the integer 3"},
        {"values shorter", false, [](Variant& p) { rtl::VarArrayRedim(p[2], 2); },
         "The option values (payload element 2) must be an array with the bounds of the option labels, 0..3; found an "
         "array with bounds 0..2"},
        {"values lost", false, [](Variant& p) { p[2] = u""; },
         "The option values (payload element 2) must be an array with the bounds of the option labels, 0..3; found an "
         "empty text"},
        {"bare label", false, [](Variant& p) { p[1][2] = u"chkLog"; },
         "Option label 2 must be an array [caption, component name]; found the text \"chkLog\""},
        {"schedule flag", true, [](Variant& p) { p[3][0] = u"N"; },
         "Schedule element 0 must be the text \"Y\"; found the text \"N\""},
        {"run time", true, [](Variant& p) { p[3][1] = u"24:00"; },
         "Schedule element 1 (run time) must be a time written HH:MM; found the text \"24:00\""},
        {"cycle kind", true, [](Variant& p) { p[3][2][0] = 7; },
         "The cycle kind (period definition element 0) must be an integer from 0 to 3; found the integer 7"},
        {"month day", true, [](Variant& p) { p[3][2] = rtl::VarArrayOf({2, rtl::VarArrayOf({0, u"1", u"32"})}); },
         "The monthly cycle's day must be an integer from 1 to 31; found the text \"32\""},
        {"weeks", true, [](Variant& p) { p[3][2] = rtl::VarArrayOf({1, rtl::VarArrayOf({u"0", 5})}); },
         "The weekly cycle's N weeks must be an integer of at least 1; found the text \"0\""},
        {"hours", true, [](Variant& p) { p[3][2] = rtl::VarArrayOf({3, 0.0}); },
         "The cycle parameters (period definition element 1), every H hours, must be a positive number; found the "
         "number 0"},
        {"start date", true, [](Variant& p) { p[3][3][0] = u"2024-03-01"; },
         "The range's start date must be a date written YYYYMMDD; found the text \"2024-03-01\""},
        {"end before start", true, [](Variant& p) { p[3][3][2] = u"20240229"; },
         "The range's end date must be on or after the start date 20240301; found the text \"20240229\""},
        {"rule count", true, [](Variant& p) { p[4][0] = 2; },
         "Date rule list element 0 must be the number of rules, 1; found the integer 2"},
        {"short rule", true, [](Variant& p) { p[4][1] = u"0\x03spPeriod\x03N"; },
         "Date rule 1 must be a range rule of 13 fields at least; found the text \"0\x03spPeriod\x03N\""},
    };
    Variant server = NewServer();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Variant payload = c.periodic ? PeriodicPayload() : Payload();
        c.change(payload);
        EXPECT_EQ(Text(server, "Request", {payload}), "ERROR");
        EXPECT_EQ(Text(server, "ErrorDescript"), c.reason);
    }
    EXPECT_EQ(Count("JOB_REQUEST"), 0);

    // An object cannot be stored; a good request afterwards clears the description.
    Variant withObject = Payload();
    withObject[2][2] = server;
    EXPECT_EQ(Text(server, "Request", {withObject}), "ERROR");
    EXPECT_EQ(Text(server, "ErrorDescript"), "The job payload cannot be stored: An automation object cannot be stored");
    EXPECT_NE(Text(server, "Request", {Payload()}), "ERROR");
    EXPECT_EQ(Text(server, "ErrorDescript"), "");
}

TEST_F(AppServerTest, Request1KeepsTheComputerName) {
    Variant server = NewServer();
    const std::string jobNo = Text(server, "Request1", {Payload(), u"WS-07"});
    ASSERT_NE(jobNo, "ERROR") << Text(server, "ErrorDescript");
    const auto rows = Rows("SELECT KIND, COMPUTER_NAME, STATUS FROM JOB_REQUEST WHERE JOB_NO = ?", {jobNo});
    ASSERT_EQ(rows.Rows.size(), 1u);
    EXPECT_EQ(rows.Rows[0][0].AsString() + "|" + rows.Rows[0][1].AsString() + "|" + rows.Rows[0][2].AsString(),
              "DIRECT|WS-07|DIRECT");

    EXPECT_EQ(Text(server, "Request1", {Payload(), u""}), "ERROR");
    EXPECT_EQ(Text(server, "ErrorDescript"), "The computer name (second argument) must be a non-empty text");
    EXPECT_EQ(Text(server, "Request1", {PeriodicPayload(), u"WS-07"}), "ERROR");
    EXPECT_EQ(Text(server, "ErrorDescript"), "A periodic job cannot be processed directly");
    EXPECT_EQ(Count("JOB_REQUEST"), 1);
}

TEST_F(AppServerTest, TwoServersOnOneFileNeverShareAJobNumber) {
    Variant first = NewServer();
    Variant second = NewServer();
    for (const Variant& s : {first, second}) Call(s, "LoadTable", {rtl::VarArrayOf({"U01", "KPAB02"})});  // opens each one's connection
    constexpr int kEach = 25;
    std::vector<std::string> numbers[2];
    auto run = [&](Variant server, std::vector<std::string>* out) {
        for (int i = 0; i < kEach; ++i) {
            std::vector<Variant> args{Payload()};
            out->push_back(rtl::VarToStr(com::OleCall(server, "Request", args)));
        }
    };
    std::thread a(run, first, &numbers[0]);
    std::thread b(run, second, &numbers[1]);
    a.join();
    b.join();
    std::set<std::string> jobs;
    for (const auto& list : numbers) {
        for (const std::string& n : list) {
            ASSERT_NE(n, "ERROR");
            jobs.insert(n.substr(0, 8));  // the part that names the job's sub-jobs
        }
    }
    EXPECT_EQ(jobs.size(), 2u * kEach);
    EXPECT_EQ(Count("JOB_REQUEST"), 2 * kEach);
    EXPECT_EQ(Rows("SELECT VALUE FROM JOB_COUNTER WHERE NAME = 'JOB'").Rows[0][0].AsInt64(), 2 * kEach);
    // One server's numbers rise in the order it handed them out.
    for (const auto& list : numbers) EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
}

// ---- Direct processing on the server ----------------------------------------------------------

std::vector<Variant> ExecArgs(const std::string& jobNo, const char* program, const char* kind = "B") {
    return {jobNo, program, "", "C01", "U01", std::string(program) + "S.Class1", kind, "KPADB",
            rtl::VarArrayOf({Variant(), "Y", "20240315"}), 1, appserver::FirstSubJobNumber(jobNo), 3};
}

TEST_F(AppServerTest, ExecSvrDLLRunsTheProgramsServerLibrary) {
    Variant server = NewServer();
    for (const char* kind : {"B", "R"}) {  // the 7-element and the 12-element parameter arrays
        SCOPED_TRACE(kind);
        const std::string jobNo = Text(server, "Request1", {Payload(), u"WS-07"});
        std::vector<Variant> args = ExecArgs(jobNo, "KPAB02", kind);
        EXPECT_EQ(Raised([&] { com::OleCall(server, "ExecSvrDLL", args); }), "");
        const auto status = Rows("SELECT STATUS, SOURCE, SUB_JOB_NO, MESSAGE FROM JOB_STATUS WHERE JOB_NO = ? ORDER BY ID", {jobNo});
        ASSERT_EQ(status.Rows.size(), 3u);
        EXPECT_EQ(status.Rows[0][0].AsString() + "," + status.Rows[1][0].AsString() + "," + status.Rows[2][0].AsString(),
                  "RUNNING,RAN,DONE");
        EXPECT_EQ(status.Rows[1][1].AsString(), "KPAB02S");
        EXPECT_EQ(status.Rows[1][2].AsString(), jobNo.substr(0, 8) + "0001");
        EXPECT_EQ(status.Rows[1][3].AsString(), "KPAB02 ran for company C01, user U01, database KPADB with 3 option values");
        EXPECT_EQ(Rows("SELECT STATUS FROM JOB_REQUEST WHERE JOB_NO = ?", {jobNo}).Rows[0][0].AsString(), "DONE");
    }
}

TEST_F(AppServerTest, ExecSvrDLLRaisesWhatWentWrong) {
    // KPAB09's library is a copy of KPAB02's in the first work folder: it refuses a job of
    // another program, and that refusal is what the caller gets.
    std::filesystem::create_directories(dir_.File("S_PKG"));
    std::filesystem::copy_file(BinDir() + "KPAB02S.so", dir_.File("S_PKG/KPAB09S.so"));
    Variant server = NewServer();
    const std::string kpab09 = Text(server, "Request1", {Payload(u"KPAB09"), u"WS-07"});
    const std::string kpab03 = Text(server, "Request1", {Payload(u"KPAB03"), u"WS-07"});
    const std::string queued = Text(server, "Request", {Payload()});
    const std::string direct = Text(server, "Request1", {Payload(), u"WS-07"});

    const struct {
        std::vector<Variant> args;
        std::string message;
        const char* status;  // of the job afterwards
    } cases[] = {
        {ExecArgs(kpab09, "KPAB09"), "KPAB02S: job " + kpab09 + " belongs to program KPAB09", "FAILED"},
        {ExecArgs(kpab03, "KPAB03"),
         "The server library KPAB03S.DLL is in none of the work-library folders (" + dir_.Path() + "S_PKG/, " + BinDir() + ")",
         "FAILED"},
        {ExecArgs("ZZZZZZZZ0000", "KPAB02"), "Job ZZZZZZZZ0000 was never requested", nullptr},
        {ExecArgs(queued, "KPAB02"), "Job " + queued + " was not requested for direct processing", "QUEUED"},
        {ExecArgs(direct, "KPAB09"), "Job " + direct + " belongs to program KPAB02, not KPAB09", "DIRECT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<Variant> args = c.args;
        EXPECT_EQ(Raised([&] { com::OleCall(server, "ExecSvrDLL", args); }), c.message);
        EXPECT_EQ(Text(server, "ErrorDescript"), c.message);
        if (c.status) {
            EXPECT_EQ(Rows("SELECT STATUS FROM JOB_REQUEST WHERE JOB_NO = ?", {c.args[0]}).Rows[0][0].AsString(), c.status);
        }
    }
    const auto failed = Rows("SELECT MESSAGE FROM JOB_STATUS WHERE JOB_NO = ? AND STATUS = 'FAILED'", {kpab09});
    ASSERT_EQ(failed.Rows.size(), 1u);
    EXPECT_EQ(failed.Rows[0][0].AsString(), "KPAB02S: job " + kpab09 + " belongs to program KPAB09");
}

TEST_F(AppServerTest, UpdateStatus1StoresTheReport) {
    Variant server = NewServer();
    const std::string jobNo = Text(server, "Request1", {Payload(), u"WS-07"});
    Call(server, "UpdateStatus1", {jobNo, u"处理完毕", Variant::FromDate(At(2024, 3, 15, 11, 0, 5))});
    // A refused request is reported with the reply "ERROR": kept as well.
    Call(server, "UpdateStatus1", {"ERROR", u"E;000013;bad", Variant::FromDate(At(2024, 3, 15, 11, 1))});
    const auto rows = Rows("SELECT JOB_NO, STATUS, MESSAGE, REPORT_TIME, SOURCE FROM JOB_STATUS ORDER BY ID");
    ASSERT_EQ(rows.Rows.size(), 2u);
    std::string first;
    for (const Variant& v : rows.Rows[0]) first += rtl::VarToStr(v) + "|";
    EXPECT_EQ(first, jobNo + "|REPORTED|处理完毕|2024-03-15 11:00:05.000|UpdateStatus1|");
    EXPECT_EQ(rows.Rows[1][0].AsString() + "|" + rows.Rows[1][2].AsString(), "ERROR|E;000013;bad");
    EXPECT_EQ(Rows("SELECT STATUS FROM JOB_REQUEST WHERE JOB_NO = ?", {jobNo}).Rows[0][0].AsString(), "REPORTED");
}

// ---- Configuration ----------------------------------------------------------------------------

TEST_F(AppServerTest, SQLTypeFollowsTheDatabaseType) {
    const struct {
        const char* type;
        int kind;
    } cases[] = {{"SQLITE", 0}, {"MSSQL", 0}, {"oracle", 1}, {"DB2", 2}};
    for (const auto& c : cases) {
        WriteIni(c.type, dbPath_);
        EXPECT_EQ(Call(NewServer(), "SQLType").AsInteger(), c.kind) << c.type;
    }
}

TEST_F(AppServerTest, ConfigurationFaultsAreReported) {
    WriteIni("MSSQL", dbPath_);
    Variant server = NewServer();
    const std::string wrongType = "The company database of " + dir_.Path() +
                                  "StewardS.ini is of type 'MSSQL'; the application server reads SQLITE databases";
    EXPECT_EQ(Raised([&] { Call(server, "LoadTable", {rtl::VarArrayOf({"U01", "KPAB02"})}); }), wrongType);
    EXPECT_EQ(Text(server, "Request", {Payload()}), "ERROR");
    EXPECT_EQ(Text(server, "ErrorDescript"), wrongType);

    WriteIni("SQLITE", dir_.File("missing.db"));
    EXPECT_EQ(Text(NewServer(), "InsertConTable", {SetArray("A", "20240301", "", false)}),
              "The company database " + dir_.File("missing.db") + " does not exist");
}

TEST_F(AppServerTest, TheServerAddsItsTablesToACompanyDatabaseWithoutThem) {
    const std::string bare = dir_.File("bare.db");
    data::OpenSqlite(bare, true)->ExecScript("CREATE TABLE ADMMB (MB001 TEXT PRIMARY KEY, MB002 TEXT);");
    WriteIni("SQLITE", bare);
    Variant server = NewServer();
    EXPECT_EQ(Text(server, "InsertConTable", {SetArray("A", "20240301", "", false)}), "");
    const std::string jobNo = Text(server, "Request", {Payload()});
    EXPECT_EQ(jobNo, "000000010000");
    EXPECT_EQ(data::OpenSqlite(bare)->Query("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'").Rows[0][0].AsInt64(),
              7);  // ADMMB, the five tables and SQLite's sequence table
}

// ---- Job numbers --------------------------------------------------------------------------------

TEST(AppServerJobNumber, EightBase36DigitsThenZeros) {
    EXPECT_EQ(appserver::FormatJobNumber(1), "000000010000");
    EXPECT_EQ(appserver::FormatJobNumber(35), "0000000Z0000");
    EXPECT_EQ(appserver::FormatJobNumber(36), "000000100000");
    EXPECT_EQ(appserver::FormatJobNumber(appserver::kMaxJobSequence), "ZZZZZZZZ0000");
    EXPECT_THROW(appserver::FormatJobNumber(0), rtl::ERangeError);
    EXPECT_THROW(appserver::FormatJobNumber(appserver::kMaxJobSequence + 1), rtl::ERangeError);
    EXPECT_EQ(appserver::FirstSubJobNumber("00000A7Z0000"), "00000A7Z0001");
}

// ---- The stored form of variants ------------------------------------------------------------

TEST(AppServerVariantText, WritesTheDocumentedForms) {
    Variant oneBased = rtl::VarArrayCreate(1, 2);
    oneBased[1] = 1;
    oneBased[2] = u"a";
    Variant grid = rtl::VarArrayCreate(0, 1, 0, 1);
    grid(0, 0) = 1;
    grid(0, 1) = 2;
    grid(1, 0) = 3;
    grid(1, 1) = 4;
    const struct {
        Variant value;
        const char* text;
    } cases[] = {
        {Variant(), "{\"empty\":true}"},
        {Variant::Null(), "null"},
        {Variant(true), "true"},
        {Variant(-7), "-7"},
        {Variant(2.0), "2.0"},
        {Variant(0.1), "0.1"},
        {Variant(std::numeric_limits<double>::infinity()), "{\"real\":\"inf\"}"},
        {Variant("月\"报\"\n"), "\"月\\\"报\\\"\\n\""},
        {Variant(std::string("\xC4\xE3")), "{\"bytes\":\"c4e3\"}"},  // not UTF-8 (GBK bytes)
        {Variant(u"作业"), "{\"wide\":\"作业\"}"},
        {Variant(std::u16string(u"a") + char16_t(0xD800)), "{\"wide\":\"a\\uD800\"}"},
        {Variant::FromDate(At(2024, 3, 15, 10, 20, 30, 123)),
         "{\"date\":\"2024-03-15 10:20:30.123\",\"serial\":45366.43090420139}"},
        {rtl::VarArrayOf({1, "x", Variant::Null()}), "[1,\"x\",null]"},
        {oneBased, "{\"bounds\":[1,2],\"items\":[1,{\"wide\":\"a\"}]}"},
        {grid, "{\"bounds\":[0,1,0,1],\"items\":[1,2,3,4]}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(appserver::VariantToText(c.value), c.text);
        EXPECT_TRUE(appserver::TextToVariant(c.text).Identical(c.value)) << c.text;
    }
}

TEST(AppServerVariantText, RoundTripsWithoutLoss) {
    Variant nested = rtl::VarArrayCreate(-1, 1);
    nested[-1] = rtl::VarArrayCreate(0, -1);  // empty
    nested[0] = rtl::VarArrayCreate(5, 4);    // empty with another low bound
    nested[1] = rtl::VarArrayOf({rtl::VarArrayCreate(2, 3, 1, 1), u"\U0001F600", std::string("\x01\x7F")});
    const Variant values[] = {
        Variant(static_cast<long long>(std::numeric_limits<int64_t>::min())),
        Variant(static_cast<long long>(std::numeric_limits<int64_t>::max())),
        Variant(-0.0), Variant(1e300), Variant(5e-324), Variant(1.0 / 3.0),
        Variant(-std::numeric_limits<double>::infinity()),
        Variant(std::string("\xFF\xFE\x00z", 4)),
        Variant(std::u16string(u"x\0y", 3)),
        Variant(std::u16string(1, char16_t(0xDC00)) + u"z"),
        Variant::FromDate(-700000.75),  // before the calendar's start: carried by the serial
        nested,
    };
    for (const Variant& v : values) {
        const std::string text = appserver::VariantToText(v);
        const Variant back = appserver::TextToVariant(text);
        EXPECT_TRUE(back.Identical(v)) << text;
        if (v.Type() == rtl::VarType::Double) {
            EXPECT_EQ(std::signbit(back.Dbl()), std::signbit(v.Dbl())) << text;
        }
    }
    EXPECT_TRUE(std::isnan(appserver::TextToVariant(appserver::VariantToText(Variant(std::nan("")))).Dbl()));
    // A person may write a list plainly.
    EXPECT_TRUE(appserver::TextToVariant(" [ \"D01\" , 2 ] ").Identical(rtl::VarArrayOf({"D01", 2})));
}

TEST(AppServerVariantText, RefusesWhatItCannotRead) {
    const char* bad[] = {
        "",
        "[1,",
        "[1 2]",
        "{\"wide\":1}",
        "{\"bounds\":[0,1],\"items\":[1]}",
        "{\"bounds\":[2,0],\"items\":[]}",
        "{\"bytes\":\"abc\"}",
        "{\"colour\":\"red\"}",
        "\"\\uD800\"",  // a lone surrogate cannot be a byte string
        "\"a\x01\"",
        "01",
        "99999999999999999999",
        "\"\xC0\xAF\"",
        "true false",
    };
    for (const char* text : bad) {
        EXPECT_THROW(appserver::TextToVariant(text), appserver::EVariantText) << text;
    }
    EXPECT_THROW(appserver::VariantToText(rtl::VarArrayOf({com::DispatchVariant(nullptr)})), appserver::EVariantText);
}

}  // namespace
