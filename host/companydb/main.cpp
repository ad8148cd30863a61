// kpa-companydb: creates the company database with the demo company, and checks a database
// for what the suite's clients need of it.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "CompanyDb.h"

namespace {

const char* const kUsage = R"(Usage:
  kpa-companydb create --db FILE [--docs-base DIR] [--sql-root DIR] [--force]
  kpa-companydb check --db FILE
  kpa-companydb --help

create   makes FILE a new company database: the company tables (companydb/schema.sql), the
         application server's tables (appserver/schema.sql, when present), and the demo
         company C01 in database KPADB (companydb/seed.sql, then appserver/seed.sql when
         present), all in one transaction. The file appears whole or not at all.
           --docs-base DIR  base address of the published documents: a folder holding
                            <company>/KPA/<document>.htm (the sample documents it lacks are
                            copied there), or a web address
                            (default: the sample documents, <sql root>companydb/docs/)
           --sql-root DIR   folder holding companydb/ and appserver/ with their scripts
                            (default: the folder of this program, where the build puts them)
           --force          replace FILE when it exists (it is refused otherwise)
check    reads FILE and reports what the clients need: tables, the company and its system
         information, the documents KPAH01 to KPAH17 and their files, the message templates
         of kind 6 for KPAB02, the message catalogue, the portal settings and the users.

The launcher and the manager find the database through the server ini StewardS.ini:
  [DBE Setting]
  MainDBType=SQLITE
  MainDBName=<absolute path of FILE>

Exit status: 0 done (check: nothing wrong), 1 failed (check: problems found), 2 bad usage.
)";

int Usage(const std::string& message) {
    std::cerr << "kpa-companydb: " << message << "\n(kpa-companydb --help tells how to call it)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage("no command given");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << kUsage;
        return 0;
    }
    const std::string command = args[0];
    if (command != "create" && command != "check") return Usage("unknown command '" + command + "'");

    std::string db;
    companydb::CreateOptions options;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size() || args[i + 1].empty()) return false;
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (a == "--db") {
            ok = value(db);
        } else if (a == "--docs-base" && command == "create") {
            ok = value(options.docsBase);
        } else if (a == "--sql-root" && command == "create") {
            ok = value(options.sqlRoot);
        } else if (a == "--force" && command == "create") {
            options.force = true;
        } else {
            return Usage("unknown option '" + a + "' for " + command);
        }
        if (!ok) return Usage(a + " needs a value");
    }
    if (db.empty()) return Usage(command + " needs --db FILE");

    try {
        if (command == "create") {
            const int copied = companydb::CreateCompanyDatabase(db, options);
            std::cout << "Created " << db << ": company " << companydb::kDemoCompany << " ("
                      << companydb::kDemoTitle << ") in database " << companydb::kDemoDatabase << "\n";
            if (copied) {
                std::cout << "  sample documents copied to " << companydb::NormalizeDocsBase(options.docsBase) << ": "
                          << copied << "\n";
            }
            const companydb::CheckResult r = companydb::CheckCompanyDatabase(db);
            for (const std::string& f : r.facts) std::cout << "  " << f << "\n";
            // The database is made; what the check misses (a base address without the documents)
            // is for the user to put right.
            for (const std::string& p : r.problems) std::cout << "  warning: " << p << "\n";
            return 0;
        }
        const companydb::CheckResult r = companydb::CheckCompanyDatabase(db);
        for (const std::string& f : r.facts) std::cout << "ok: " << f << "\n";
        for (const std::string& p : r.problems) std::cout << "problem: " << p << "\n";
        std::cout << (r.Ok() ? "The database is complete.\n" : "The database has problems.\n");
        return r.Ok() ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "kpa-companydb: " << e.what() << "\n";
        return 1;
    }
}
