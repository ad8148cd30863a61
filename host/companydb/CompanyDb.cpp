#include "CompanyDb.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "platform/os/Environment.h"
#include "platform/os/Files.h"

namespace companydb {

using rtl::Variant;

const std::vector<MessageCode>& RequiredMessages() {
    static const std::vector<MessageCode> codes = {
        {"E", "000001", "s"},   // value not in its master table; + text of I 000008
        {"W", "000002", "sdd"}, // option array of the wrong length: label, expected, actual
        {"W", "000003", "sdd"}, // empty option: label, count, position
        {"I", "000003", ""},    // no options to collect
        {"I", "000004", "s"},   // request accepted: job number
        {"W", "000004", "s"},   // value not in its master table (warning); + text of I 000008
        {"E", "000005", "s"},   // not a valid date; + texts of I 000009 and I 000010
        {"E", "000006", ""},    // no application server connection
        {"I", "000008", ""},    // hint after a failed look-up
        {"I", "000009", ""},    // run date hint
        {"I", "000010", ""},    // run time hint
        {"I", "000011", ""},    // print date hint
        {"E", "000013", "s"},   // request refused: the server's description
        {"W", "000014", ""},    // host condition without a matching component
        {"E", "000015", ""},    // launcher registry key missing
        {"E", "000016", ""},    // no application server address configured
        {"E", "000030", "s"},   // print date not put into the options; + text of I 000011
        {"E", "000036", ""},    // form and program code disagree
        {"E", "000037", ""},    // required field empty
        {"E", "000038", ""},    // context array too short
        {"E", "100082", "ss"},  // end date before start date: the two captions
        {"E", "100252", ""},    // no base address of the documents
        {"E", "100255", ""},    // no documents
        {"R", "200235", ""},    // condition set cannot be applied
    };
    return codes;
}

const std::vector<std::string>& RequiredTables() {
    static const std::vector<std::string> tables = {"COMPANIES", "SYSINFO", "MSGCATALOG", "ADMMB", "ADMMS", "GENES",
                                                    "TGKMA",     "TGKINTMA", "TMCMC",     "TMCMD", "ADMTC", "ADMTD"};
    return tables;
}

std::string DefaultSqlRoot() { return os::GetExecutableFolder(); }

namespace {

std::string RootOf(const std::string& sqlRoot) {
    return os::IncludeTrailingPathDelimiter(sqlRoot.empty() ? DefaultSqlRoot() : sqlRoot);
}

// Runs one script file; the file's name goes into the error, since several scripts run in a row.
void RunScript(data::SqlDatabase& db, const std::string& file) {
    const std::string sql = os::ReadFileBytes(file);
    try {
        db.ExecScript(sql);
    } catch (const data::ESqlError& e) {
        throw data::ESqlError(file + ": " + e.Message(), e.Code());
    }
}

std::string Required(const std::string& root, const char* name) {
    const std::string file = root + name;
    if (!os::FileExists(file)) throw ECompanyDb("The script " + file + " is missing");
    return file;
}

void RemoveQuietly(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

// The files SQLite keeps beside a database: a journal left there would be taken for the new
// file's and rolled back into it.
void RemoveSideFiles(const std::string& path) {
    for (const char* suffix : {"-journal", "-wal", "-shm"}) RemoveQuietly(path + suffix);
}

}  // namespace

std::string NormalizeDocsBase(const std::string& docsBase) {
    if (docsBase.find("://") != std::string::npos) return docsBase;
    std::filesystem::path p = std::filesystem::absolute(docsBase).lexically_normal();
    return os::IncludeTrailingPathDelimiter(p.string());
}

void RunSchemaScripts(data::SqlDatabase& db, const std::string& sqlRoot) {
    const std::string root = RootOf(sqlRoot);
    RunScript(db, Required(root, "companydb/schema.sql"));
    if (os::FileExists(root + "appserver/schema.sql")) RunScript(db, root + "appserver/schema.sql");
}

void SeedDemoCompany(data::SqlDatabase& db, const std::string& sqlRoot, const std::string& docsBase) {
    const std::string root = RootOf(sqlRoot);
    RunScript(db, Required(root, "companydb/seed.sql"));
    // The rights live in the application server's table, made by its script when present.
    const bool serverTables =
        !db.Query("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'USER_RIGHTS'").Rows.empty();
    if (serverTables) RunScript(db, Required(root, "companydb/rights.sql"));
    if (os::FileExists(root + "appserver/seed.sql")) RunScript(db, root + "appserver/seed.sql");
    const std::string base = NormalizeDocsBase(docsBase.empty() ? root + "companydb/docs/" : docsBase);
    db.Execute("UPDATE ADMMS SET MS003 = ? WHERE MS001 = 'KPA'", {Variant(base)});
}

int PublishSampleDocuments(const std::string& sqlRoot, const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path samples = fs::path(RootOf(sqlRoot)) / "companydb" / "docs";
    std::error_code ec;
    if (!fs::is_directory(samples, ec)) throw ECompanyDb("The sample documents " + samples.string() + " are missing");
    int copied = 0;
    for (auto it = fs::recursive_directory_iterator(samples, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const fs::path target = fs::path(folder) / fs::relative(it->path(), samples);
        if (fs::exists(target, ec)) continue;
        fs::create_directories(target.parent_path(), ec);
        if (ec || !fs::copy_file(it->path(), target, ec)) {
            throw ECompanyDb("Cannot copy the sample document " + it->path().string() + " to " + target.string() +
                             (ec ? ": " + ec.message() : std::string()));
        }
        ++copied;
    }
    if (ec) throw ECompanyDb("Cannot read the sample documents " + samples.string() + ": " + ec.message());
    return copied;
}

int CreateCompanyDatabase(const std::string& dbPath, const CreateOptions& options) {
    if (dbPath.empty()) throw ECompanyDb("No database file named");
    const std::string root = RootOf(options.sqlRoot);
    Required(root, "companydb/schema.sql");
    Required(root, "companydb/seed.sql");
    if (os::DirectoryExists(dbPath)) throw ECompanyDb(dbPath + " is a folder");
    if (os::FileExists(dbPath) && !options.force) {
        throw ECompanyDb("The file " + dbPath + " already exists; add --force to replace it");
    }
    // Documents published in a folder of the user's choice: the demo company's are put there.
    int copied = 0;
    if (!options.docsBase.empty()) {
        const std::string base = NormalizeDocsBase(options.docsBase);
        if (base.find("://") == std::string::npos && base != NormalizeDocsBase(root + "companydb/docs/")) {
            copied = PublishSampleDocuments(root, base);
        }
    }
    const std::string temp = dbPath + ".new";
    RemoveQuietly(temp);
    RemoveSideFiles(temp);
    try {
        {
            auto db = data::OpenSqlite(temp, true);
            data::SqlTransaction t(*db);
            RunSchemaScripts(*db, root);
            SeedDemoCompany(*db, root, options.docsBase);
            t.Commit();
        }
        RemoveSideFiles(dbPath);
        if (std::rename(temp.c_str(), dbPath.c_str()) != 0) {
            throw ECompanyDb("Cannot put the new database in place of " + dbPath);
        }
    } catch (...) {
        RemoveQuietly(temp);
        RemoveSideFiles(temp);
        throw;
    }
    return copied;
}

// ---- Checking -------------------------------------------------------------------------------

namespace {

std::string Text(const Variant& v) { return v.IsNull() ? std::string() : v.AsString(); }

std::string Join(const std::vector<std::string>& items) {
    std::string s;
    for (const std::string& i : items) s += (s.empty() ? "" : ", ") + i;
    return s;
}

// A text between "<title>" and "</title>", or empty.
std::string HtmlTitle(const std::string& html) {
    const size_t open = html.find("<title>");
    if (open == std::string::npos) return {};
    const size_t close = html.find("</title>", open);
    return close == std::string::npos ? std::string() : html.substr(open + 7, close - open - 7);
}

bool Formats(const std::string& text, const std::vector<Variant>& args) {
    try {
        rtl::Format(text, args);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

class Checker {
public:
    explicit Checker(data::SqlDatabase& db) : db_(db) {}

    CheckResult Run() {
        Integrity();
        if (!Tables()) return std::move(r_);
        Companies();
        Documents();
        Templates();
        Messages();
        Settings();
        return std::move(r_);
    }

private:
    void Fact(std::string s) { r_.facts.push_back(std::move(s)); }
    void Problem(std::string s) { r_.problems.push_back(std::move(s)); }
    data::SqlRows Q(std::string_view sql, const std::vector<Variant>& p = {}) { return db_.Query(sql, p); }

    void Integrity() {
        const std::string ok = Text(Q("PRAGMA integrity_check").Rows.at(0).at(0));
        if (ok != "ok") Problem("integrity check: " + ok);
        const size_t orphans = Q("PRAGMA foreign_key_check").Rows.size();
        if (orphans) Problem(std::to_string(orphans) + " row(s) refer to rows that do not exist");
    }

    bool Tables() {
        std::set<std::string> present;
        for (const auto& row : Q("SELECT upper(name) FROM sqlite_master WHERE type IN ('table', 'view')").Rows) {
            present.insert(Text(row[0]));
        }
        std::vector<std::string> missing;
        for (const std::string& t : RequiredTables()) {
            if (!present.count(t)) missing.push_back(t);
        }
        if (!missing.empty()) {
            Problem("tables missing: " + Join(missing));
            return false;
        }
        Fact("tables and views: " + std::to_string(present.size()));
        try {
            Fact("condition sets (GENES): " + std::to_string(Q("SELECT COUNT(*) FROM GENES").Rows[0][0].AsInt64()));
        } catch (const data::ESqlError& e) {
            Problem("GENES cannot be read (the application server's tables are missing?): " + e.Message());
        }
        return true;
    }

    void Companies() {
        const data::SqlRows companies = Q("SELECT COMPANY, DBNAME, TITLE FROM COMPANIES ORDER BY COMPANY");
        if (companies.Rows.empty()) Problem("no company");
        for (const auto& c : companies.Rows) {
            const std::string code = Text(c[0]);
            companies_.push_back(code);
            Fact("company " + code + ": database " + Text(c[1]) + ", " + Text(c[2]));
            std::vector<std::string> missing;
            for (const char* item : {"Sys001", "Sys002", "TGK002"}) {
                if (Q("SELECT 1 FROM SYSINFO WHERE COMPANY = ? AND ITEM = ?", {Variant(code), Variant(item)}).Rows.empty()) {
                    missing.push_back(item);
                }
            }
            if (!missing.empty()) Problem("company " + code + " lacks system information " + Join(missing));
        }
    }

    void Documents() {
        if (Q("SELECT 1 FROM ADMMB WHERE MB001 = 'KPAB02'").Rows.empty()) Problem("program KPAB02 is not in ADMMB");
        const data::SqlRows docs = Q("SELECT MB001, MB002 FROM ADMMB WHERE MB001 BETWEEN 'KPAH01' AND 'KPAH17' ORDER BY MB001");
        std::set<std::string> codes;
        for (const auto& d : docs.Rows) codes.insert(Text(d[0]));
        std::vector<std::string> missing;
        for (int i = 1; i <= 17; ++i) {
            char code[8];
            std::snprintf(code, sizeof code, "KPAH%02d", i);
            if (!codes.count(code)) missing.push_back(code);
        }
        if (!missing.empty()) Problem("documents missing in ADMMB: " + Join(missing));
        Fact("documents: " + std::to_string(docs.Rows.size()));

        const data::SqlRows base = Q("SELECT MS003 FROM ADMMS WHERE MS001 = 'KPA'");
        const std::string address = base.Rows.empty() ? std::string() : Text(base.Rows[0][0]);
        if (address.empty()) {
            Problem("no base address of the documents (ADMMS KPA, MS003)");
            return;
        }
        Fact("document base address: " + address);
        if (address.find("://") != std::string::npos) return;  // published on a web server
        std::vector<std::string> absent, mistitled;
        for (const std::string& company : companies_) {
            for (const auto& d : docs.Rows) {
                const std::string file = os::PathJoin(address, company + "/KPA/" + Text(d[0]) + ".htm");
                if (!os::FileExists(file)) {
                    absent.push_back(file);
                } else if (HtmlTitle(os::ReadFileBytes(file)) != Text(d[1])) {
                    mistitled.push_back(file);
                }
            }
        }
        if (!absent.empty()) Problem("document files missing: " + Join(absent));
        if (!mistitled.empty()) Problem("document files titled otherwise than ADMMB names them: " + Join(mistitled));
    }

    void Templates() {
        const data::SqlRows rows = Q(
            "SELECT MD001, MD002, MD003, IFNULL(MD007, '') FROM TMCMD JOIN TMCMC ON MC001 = MD001 AND MC002 = MD002 "
            "WHERE UPPER(MC005) = 'KPAB02' AND MD004 = '6'");
        if (rows.Rows.empty()) Problem("no message template of kind 6 for KPAB02");
        for (const auto& t : rows.Rows) {
            const std::string text = Text(t[3]);
            const size_t first = text.find("||");
            const bool threeFields = first != std::string::npos && text.find("||", first + 2) != std::string::npos;
            if (!threeFields || text.find("<Receiver>") == std::string::npos || text.find("<Title Value=") == std::string::npos) {
                Problem("template " + Text(t[0]) + "/" + Text(t[1]) + "/" + Text(t[2]) +
                        " is not receivers and title as XML || body || further text");
            }
        }
        Fact("message templates of kind 6 for KPAB02: " + std::to_string(rows.Rows.size()));
    }

    void Messages() {
        size_t found = 0;
        for (const MessageCode& m : RequiredMessages()) {
            const data::SqlRows r = Q("SELECT MSGTEXT FROM MSGCATALOG WHERE MSGTYPE = ? AND MSGNO = ?", {Variant(m.type), Variant(m.number)});
            const std::string label = std::string(m.type) + " " + m.number;
            if (r.Rows.empty()) {
                Problem("message " + label + " is not in the catalogue");
                continue;
            }
            ++found;
            const std::string text = Text(r.Rows[0][0]);
            // The module splits a message code at ";", and some texts travel inside codes.
            if (text.find(';') != std::string::npos) Problem("message " + label + " holds a \";\"");
            // Its placeholders take exactly the arguments the module passes: all of them format,
            // one fewer does not.
            std::vector<Variant> args;
            for (const char* a = m.args; *a; ++a) args.push_back(*a == 'd' ? Variant(1) : Variant("x"));
            bool fits = Formats(text, args);
            if (fits && !args.empty()) {
                args.pop_back();
                fits = !Formats(text, args);
            }
            if (!fits) Problem("message " + label + " does not take its arguments (" + (m.args[0] ? m.args : "none") + ")");
        }
        const int64_t all = Q("SELECT COUNT(*) FROM MSGCATALOG").Rows[0][0].AsInt64();
        Fact("messages: " + std::to_string(all) + " (" + std::to_string(found) + " of the " +
             std::to_string(RequiredMessages().size()) + " the module uses)");
    }

    void Settings() {
        for (const char* name : {"StartupPortal", "Portal WS"}) {
            if (Q("SELECT 1 FROM TGKINTMA WHERE MA001 = ?", {Variant(name)}).Rows.empty()) {
                Problem(std::string("setting ") + name + " is not in TGKINTMA");
            }
        }
        const int64_t users = Q("SELECT COUNT(*) FROM TGKMA WHERE MA007 <> 'Y'").Rows[0][0].AsInt64();
        if (users == 0) Problem("no active user in TGKMA");
        Fact("active users: " + std::to_string(users));
    }

    data::SqlDatabase& db_;
    CheckResult r_;
    std::vector<std::string> companies_;
};

}  // namespace

CheckResult CheckCompanyDatabase(const std::string& dbPath) {
    auto db = data::OpenSqlite(dbPath);
    return Checker(*db).Run();
}

}  // namespace companydb
