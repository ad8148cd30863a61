// Database access for the company database: SQLite by default (one file), behind a small
// interface that an ODBC source can implement too. Statements take positional ("?") or named
// (":NAME") parameters as variants; rows come back as variants (Null for SQL NULL).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/rtl/Variants.h"

namespace data {

class ESqlError : public rtl::Exception {
public:
    ESqlError(std::string message, int code) : rtl::Exception(std::move(message)), code_(code) {}
    int Code() const noexcept { return code_; }
    const char* ClassName() const noexcept override { return "ESqlError"; }

private:
    int code_;
};

struct SqlRows {
    std::vector<std::string> Columns;             // as the statement names them
    std::vector<std::vector<rtl::Variant>> Rows;  // one variant per column
    int ColumnIndex(std::string_view name) const;  // without regard to case; -1 when missing
    // A two-dimensional variant array [row][column] (bounds 0..rows-1, 0..columns-1).
    rtl::Variant ToVariantArray() const;
};

// Named parameters: (":NAME" without the colon, value).
using SqlParams = std::vector<std::pair<std::string, rtl::Variant>>;

class SqlDatabase {
public:
    virtual ~SqlDatabase() = default;
    // Runs one or more statements without results (schema scripts); raises ESqlError.
    virtual void ExecScript(std::string_view sql) = 0;
    // One statement; answers the number of rows changed.
    virtual int Execute(std::string_view sql, const std::vector<rtl::Variant>& params = {}) = 0;
    virtual int ExecuteNamed(std::string_view sql, const SqlParams& params) = 0;
    virtual SqlRows Query(std::string_view sql, const std::vector<rtl::Variant>& params = {}) = 0;
    virtual SqlRows QueryNamed(std::string_view sql, const SqlParams& params) = 0;
    virtual int64_t LastInsertId() = 0;
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual const std::string& Path() const = 0;
};

// Opens (or, with create, creates) a SQLite database file; raises ESqlError with the reason.
// The connection waits for a busy database instead of failing at once, and enforces foreign keys.
std::shared_ptr<SqlDatabase> OpenSqlite(const std::string& path, bool create = false);

// Opens by connection string: "Provider=SQLite;Data Source=<file>" (what the manager answers
// for "ResultConnectString"), or a bare file path.
std::shared_ptr<SqlDatabase> OpenConnectionString(const std::string& connectionString);

// Commits on Commit(), rolls back when left without it.
class SqlTransaction {
public:
    explicit SqlTransaction(SqlDatabase& db) : db_(db) { db_.Begin(); }
    ~SqlTransaction() {
        if (!done_) {
            try {
                db_.Rollback();
            } catch (...) {
            }
        }
    }
    void Commit() {
        db_.Commit();
        done_ = true;
    }
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

private:
    SqlDatabase& db_;
    bool done_ = false;
};

// The system's statements are written in SQL Server's dialect; this rewrites what SQLite reads
// differently: "db.." table prefixes, ISNULL, CONVERT(CHAR(n), x), CAST(x AS BIGINT), GETDATE(),
// "+" string concatenation is left alone (callers use it only on numbers).
std::string AdaptToSqlite(std::string_view sql);

}  // namespace data
