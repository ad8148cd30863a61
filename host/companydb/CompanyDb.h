// The company database: creating it from the schema scripts, seeding the demo company, and
// checking a database for what the suite's clients need of it. Used by kpa-companydb and by
// the tests.
//
// The scripts are looked up below one folder, the "SQL root", laid out as the source tree's
// host/ folder is and as the build copies it beside the programs:
//   companydb/schema.sql   the company tables            (required)
//   companydb/seed.sql     the demo company              (required)
//   companydb/rights.sql   the demo users' rights        (run when the server's tables exist)
//   companydb/docs/        the sample documents          (default base address)
//   appserver/schema.sql   the application server's tables (run when present)
//   appserver/seed.sql     its demo rows                    (run when present)
#pragma once

#include <string>
#include <vector>

#include "platform/data/SqlDB.h"
#include "platform/rtl/SysUtils.h"

namespace companydb {

class ECompanyDb : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "ECompanyDb"; }
};

// The demo company.
inline constexpr const char* kDemoCompany = "C01";
inline constexpr const char* kDemoDatabase = "KPADB";
inline constexpr const char* kDemoTitle = "示范科技股份有限公司";

// A message the module raises or resolves. `args` has one letter per format argument the module
// passes with it: "s" a text, "d" an integer.
struct MessageCode {
    const char* type;
    const char* number;
    const char* args;
};
const std::vector<MessageCode>& RequiredMessages();

// The tables (and views) the schema scripts must create.
const std::vector<std::string>& RequiredTables();

// The folder of the running program, where the build puts the scripts.
std::string DefaultSqlRoot();

struct CreateOptions {
    std::string sqlRoot;   // empty: DefaultSqlRoot()
    std::string docsBase;  // base address of the published documents; empty: <sqlRoot>companydb/docs/
    bool force = false;    // replace an existing file
};

// Creates the database file with every table and the demo company. The file appears complete or
// not at all: it is built beside the target and renamed over it once committed. A base address
// that is a folder other than the sample documents' gets the sample documents it lacks (files
// already there are kept). Answers the number of documents copied. Raises ECompanyDb (file
// exists without force, scripts missing, documents not copied) or data::ESqlError.
int CreateCompanyDatabase(const std::string& dbPath, const CreateOptions& options);

// Copies the sample documents (<sqlRoot>companydb/docs/<company>/KPA/*.htm) that a folder lacks;
// answers how many were copied.
int PublishSampleDocuments(const std::string& sqlRoot, const std::string& folder);

// The steps of CreateCompanyDatabase on an open database; the caller holds the transaction.
void RunSchemaScripts(data::SqlDatabase& db, const std::string& sqlRoot);
void SeedDemoCompany(data::SqlDatabase& db, const std::string& sqlRoot, const std::string& docsBase);

// The base address as stored: a web address unchanged, a folder made absolute with a final "/".
std::string NormalizeDocsBase(const std::string& docsBase);

struct CheckResult {
    std::vector<std::string> facts;     // what was found, one line each
    std::vector<std::string> problems;  // what is missing or wrong
    bool Ok() const { return problems.empty(); }
};
// Reads a database and reports; raises data::ESqlError only when the file cannot be opened.
CheckResult CheckCompanyDatabase(const std::string& dbPath);

}  // namespace companydb
