#include "SqlDB.h"

#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/os/Files.h"
#include "platform/rtl/CodePages.h"

namespace data {

using rtl::Variant;
using rtl::VarType;

int SqlRows::ColumnIndex(std::string_view name) const {
    for (size_t i = 0; i < Columns.size(); ++i) {
        if (rtl::SameText(Columns[i], name)) return static_cast<int>(i);
    }
    return -1;
}

Variant SqlRows::ToVariantArray() const {
    const int rows = static_cast<int>(Rows.size());
    const int cols = static_cast<int>(Columns.size());
    Variant a = rtl::VarArrayCreate(0, rows - 1, 0, cols - 1);
    for (int r = 0; r < rows; ++r) {
        const std::vector<Variant>& row = Rows[static_cast<size_t>(r)];
        for (int c = 0; c < cols && c < static_cast<int>(row.size()); ++c) a(r, c) = row[static_cast<size_t>(c)];
    }
    return a;
}

namespace {

// Statement texts in messages are cut, so that a whole schema script does not fill a log line.
std::string Shown(std::string_view sql) {
    std::string s = rtl::Trim(sql);
    if (s.size() > 300) s = s.substr(0, 300) + " ...";
    return s;
}

[[noreturn]] void Fail(sqlite3* db, std::string_view what, std::string_view sql) {
    const int code = db ? sqlite3_extended_errcode(db) : SQLITE_ERROR;
    std::string message = db ? sqlite3_errmsg(db) : "out of memory";
    if (!what.empty()) message = std::string(what) + ": " + message;
    if (!sql.empty()) message += "; statement: " + Shown(sql);
    throw ESqlError(message, code);
}

// ---- Dates as texts ------------------------------------------------------------------------
// SQLite has no date type. Dates are stored as "YYYY-MM-DD hh:nn:ss" (".zzz" added when the
// value has milliseconds), the form SQLite's own date functions read and write, and read back
// as dates from columns declared with a date or time type.

std::string DateText(rtl::TDateTime dt) {
    // Rounded to the millisecond first, so that 23:59:59.9996 does not print as 24:00.
    const double ms = std::round(dt * 86400000.0);
    const rtl::TDateTime rounded = ms / 86400000.0;
    const rtl::DateParts d = rtl::DecodeDate(rounded);
    const rtl::TimeParts t = rtl::DecodeTime(rounded);
    char buf[40];
    if (t.msec) {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day, t.hour, t.minute,
                      t.second, t.msec);
    } else {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, t.hour, t.minute,
                      t.second);
    }
    return buf;
}

bool Digits(std::string_view s, size_t at, size_t n, int& out) {
    if (at + n > s.size()) return false;
    out = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
        out = out * 10 + (s[i] - '0');
    }
    return true;
}

// "YYYY-MM-DD", optionally followed by " hh:nn", ":ss" and ".zzz" (or "T" for the blank).
bool ParseDateText(std::string_view s, rtl::TDateTime& out) {
    int y, m, d, h = 0, n = 0, sec = 0, ms = 0;
    if (!Digits(s, 0, 4, y) || s.size() < 10 || s[4] != '-' || !Digits(s, 5, 2, m) || s[7] != '-' ||
        !Digits(s, 8, 2, d)) {
        return false;
    }
    size_t at = 10;
    if (at < s.size()) {
        if ((s[at] != ' ' && s[at] != 'T') || !Digits(s, at + 1, 2, h) || at + 3 >= s.size() || s[at + 3] != ':' ||
            !Digits(s, at + 4, 2, n)) {
            return false;
        }
        at += 6;
        if (at < s.size()) {
            if (s[at] != ':' || !Digits(s, at + 1, 2, sec)) return false;
            at += 3;
            if (at < s.size()) {
                if (s[at] != '.') return false;
                size_t digits = s.size() - at - 1;
                if (digits == 0 || digits > 9) return false;
                int frac = 0;
                if (!Digits(s, at + 1, digits, frac)) return false;
                while (digits > 3) frac /= 10, --digits;
                while (digits < 3) frac *= 10, ++digits;
                ms = frac;
            }
        }
    }
    rtl::TDateTime date, time;
    if (!rtl::TryEncodeDate(y, m, d, date) || !rtl::TryEncodeTime(h, n, sec, ms, time)) return false;
    out = date >= 0 ? date + time : date - time;
    return true;
}

bool DeclaredAsDate(const char* decl) {
    if (!decl) return false;
    const std::string t = rtl::UpperCase(decl);
    return t.find("DATE") != std::string::npos || t.find("TIME") != std::string::npos;
}

// ---- Statements ----------------------------------------------------------------------------

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql) : db_(db), sql_(sql) {
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, &tail) != SQLITE_OK) {
            Fail(db, "", sql);
        }
        if (!stmt_) throw ESqlError("No statement to run in: " + Shown(sql), SQLITE_MISUSE);
        // What follows the first statement must be blanks, semicolons or comments: a second
        // statement would otherwise be dropped without a word (or slipped in behind a query).
        const size_t used = static_cast<size_t>(tail - sql.data());
        if (used < sql.size()) {
            sqlite3_stmt* next = nullptr;
            const int rc = sqlite3_prepare_v2(db, tail, static_cast<int>(sql.size() - used), &next, nullptr);
            const bool more = rc != SQLITE_OK || next != nullptr;
            sqlite3_finalize(next);
            if (more) {
                sqlite3_finalize(stmt_);
                throw ESqlError("Only one statement can be run at a time; statement: " + Shown(sql), SQLITE_MISUSE);
            }
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int ParamCount() const { return sqlite3_bind_parameter_count(stmt_); }

    void Bind(int index, const Variant& v) {
        int rc = SQLITE_OK;
        switch (v.Type()) {
            case VarType::Empty:
            case VarType::Null: rc = sqlite3_bind_null(stmt_, index); break;
            case VarType::Boolean: rc = sqlite3_bind_int64(stmt_, index, v.Bool() ? 1 : 0); break;
            case VarType::Integer: rc = sqlite3_bind_int64(stmt_, index, v.Int()); break;
            case VarType::Double: rc = sqlite3_bind_double(stmt_, index, v.Dbl()); break;
            case VarType::Date: {
                const std::string t = DateText(v.DateValue());
                rc = sqlite3_bind_text(stmt_, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
                break;
            }
            case VarType::String:
                rc = sqlite3_bind_text(stmt_, index, v.Bytes().data(), static_cast<int>(v.Bytes().size()),
                                       SQLITE_TRANSIENT);
                break;
            case VarType::OleStr: {
                const std::string t = rtl::WideToUtf8Lenient(v.Wide());
                rc = sqlite3_bind_text(stmt_, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
                break;
            }
            default:
                throw ESqlError("Parameter " + ParamLabel(index) + " cannot take a value of type " +
                                    rtl::VarTypeName(v.Type()) + "; statement: " + Shown(sql_),
                                SQLITE_MISMATCH);
        }
        if (rc != SQLITE_OK) Fail(db_, "Parameter " + ParamLabel(index), sql_);
    }

    void BindPositional(const std::vector<Variant>& params) {
        const int count = ParamCount();
        if (static_cast<int>(params.size()) != count) {
            throw ESqlError("The statement takes " + std::to_string(count) + " parameter(s), " +
                                std::to_string(params.size()) + " given; statement: " + Shown(sql_),
                            SQLITE_RANGE);
        }
        for (int i = 1; i <= count; ++i) Bind(i, params[static_cast<size_t>(i - 1)]);
    }

    // Every parameter of the statement must have a value; values the statement does not use are
    // left alone. Names compare without regard to case, as the suite's query components do.
    void BindNamed(const SqlParams& params) {
        const int count = ParamCount();
        for (int i = 1; i <= count; ++i) {
            const char* raw = sqlite3_bind_parameter_name(stmt_, i);
            if (!raw || !raw[0] || raw[0] == '?') {
                throw ESqlError("Positional parameter " + std::to_string(i) +
                                    " in a statement run with named parameters; statement: " + Shown(sql_),
                                SQLITE_RANGE);
            }
            const std::string_view name(raw + 1);
            const Variant* value = nullptr;
            for (const auto& [n, v] : params) {
                if (rtl::SameText(n, name)) {
                    value = &v;
                    break;
                }
            }
            if (!value) {
                throw ESqlError("Parameter " + std::string(raw) + " has no value; statement: " + Shown(sql_),
                                SQLITE_RANGE);
            }
            Bind(i, *value);
        }
    }

    // One step: true while a row is there.
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        Fail(db_, "", sql_);
    }

    std::vector<std::string> ColumnNames() const {
        std::vector<std::string> names;
        const int n = sqlite3_column_count(stmt_);
        for (int i = 0; i < n; ++i) {
            const char* name = sqlite3_column_name(stmt_, i);
            names.emplace_back(name ? name : "");
        }
        return names;
    }

    Variant Column(int i) const {
        switch (sqlite3_column_type(stmt_, i)) {
            case SQLITE_INTEGER: return Variant(static_cast<int64_t>(sqlite3_column_int64(stmt_, i)));
            case SQLITE_FLOAT: return Variant(sqlite3_column_double(stmt_, i));
            case SQLITE_TEXT: {
                const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
                std::string text(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt_, i)));
                rtl::TDateTime dt;
                if (DeclaredAsDate(sqlite3_column_decltype(stmt_, i)) && ParseDateText(text, dt)) {
                    return Variant::FromDate(dt);
                }
                return Variant(std::move(text));
            }
            case SQLITE_BLOB: {
                const char* p = static_cast<const char*>(sqlite3_column_blob(stmt_, i));
                return Variant(std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt_, i))));
            }
            default: return Variant::Null();
        }
    }

    SqlRows ReadAll() {
        SqlRows rows;
        rows.Columns = ColumnNames();
        const int n = static_cast<int>(rows.Columns.size());
        while (Step()) {
            std::vector<Variant> row;
            row.reserve(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) row.push_back(Column(i));
            rows.Rows.push_back(std::move(row));
        }
        return rows;
    }

private:
    std::string ParamLabel(int index) const {
        const char* name = sqlite3_bind_parameter_name(stmt_, index);
        return name ? std::string(name) : std::to_string(index);
    }

    sqlite3* db_;
    std::string_view sql_;
    sqlite3_stmt* stmt_ = nullptr;
};

// ---- The connection ------------------------------------------------------------------------

constexpr int kBusyTimeoutMs = 10000;

class SqliteDatabase : public SqlDatabase {
public:
    SqliteDatabase(const std::string& path, bool create) : path_(path) {
        if (!create && !os::FileExists(path)) {
            throw ESqlError("The database file " + path + " does not exist", SQLITE_CANTOPEN);
        }
        const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            const std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
            const int code = db_ ? sqlite3_extended_errcode(db_) : SQLITE_NOMEM;
            sqlite3_close(db_);
            throw ESqlError("Cannot open the database " + path + ": " + reason, code);
        }
        try {
            sqlite3_extended_result_codes(db_, 1);
            sqlite3_busy_timeout(db_, kBusyTimeoutMs);
            ExecScript("PRAGMA foreign_keys = ON");
            // Reading the schema now reports a file that is no database at once, not at first use.
            Query("PRAGMA schema_version", {});
        } catch (const ESqlError& e) {
            sqlite3_close(db_);
            throw ESqlError("Cannot open the database " + path + ": " + e.Message(), e.Code());
        }
    }
    ~SqliteDatabase() override {
        // A transaction left open is rolled back by the close: nothing half-done is kept.
        sqlite3_close_v2(db_);
    }

    void ExecScript(std::string_view sql) override {
        const char* at = sql.data();
        const char* end = sql.data() + sql.size();
        while (at < end) {
            sqlite3_stmt* stmt = nullptr;
            const char* tail = nullptr;
            if (sqlite3_prepare_v2(db_, at, static_cast<int>(end - at), &stmt, &tail) != SQLITE_OK) {
                Fail(db_, "", std::string_view(at, static_cast<size_t>(end - at)));
            }
            if (!stmt) break;  // only blanks or comments remain
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE) {
                const std::string text = sqlite3_sql(stmt) ? sqlite3_sql(stmt) : "";
                sqlite3_finalize(stmt);
                Fail(db_, "", text);
            }
            sqlite3_finalize(stmt);
            at = tail;
        }
    }

    int Execute(std::string_view sql, const std::vector<Variant>& params) override {
        Statement st(db_, sql);
        st.BindPositional(params);
        while (st.Step()) {
        }
        return sqlite3_changes(db_);
    }

    int ExecuteNamed(std::string_view sql, const SqlParams& params) override {
        Statement st(db_, sql);
        st.BindNamed(params);
        while (st.Step()) {
        }
        return sqlite3_changes(db_);
    }

    SqlRows Query(std::string_view sql, const std::vector<Variant>& params) override {
        Statement st(db_, sql);
        st.BindPositional(params);
        return st.ReadAll();
    }

    SqlRows QueryNamed(std::string_view sql, const SqlParams& params) override {
        Statement st(db_, sql);
        st.BindNamed(params);
        return st.ReadAll();
    }

    int64_t LastInsertId() override { return sqlite3_last_insert_rowid(db_); }

    // IMMEDIATE takes the write lock at once, so that two writers wait for each other instead of
    // failing when the first of them tries to write.
    void Begin() override { ExecScript("BEGIN IMMEDIATE"); }
    void Commit() override { ExecScript("COMMIT"); }
    void Rollback() override {
        if (!sqlite3_get_autocommit(db_)) ExecScript("ROLLBACK");
    }

    const std::string& Path() const override { return path_; }

private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

// ---- Connection strings --------------------------------------------------------------------

// "Key=Value;Key=Value": keys without regard to case and blanks; a value may be quoted with
// double or single quotes (then it may hold ";"; a doubled quote stands for one).
std::vector<std::pair<std::string, std::string>> ParseConnectionString(std::string_view s) {
    std::vector<std::pair<std::string, std::string>> parts;
    size_t i = 0;
    while (i < s.size()) {
        const size_t eq = s.find('=', i);
        const size_t semi = s.find(';', i);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            const std::string rest = rtl::Trim(s.substr(i, semi == std::string_view::npos ? s.size() - i : semi - i));
            if (!rest.empty()) throw ESqlError("Connection string part without a value: " + rest, SQLITE_MISUSE);
            if (semi == std::string_view::npos) break;
            i = semi + 1;
            continue;
        }
        const std::string key = rtl::UpperCase(rtl::Trim(s.substr(i, eq - i)));
        size_t j = eq + 1;
        while (j < s.size() && s[j] == ' ') ++j;
        std::string value;
        if (j < s.size() && (s[j] == '"' || s[j] == '\'')) {
            const char q = s[j++];
            bool closed = false;
            while (j < s.size()) {
                if (s[j] == q) {
                    if (j + 1 < s.size() && s[j + 1] == q) {
                        value += q;
                        j += 2;
                        continue;
                    }
                    ++j;
                    closed = true;
                    break;
                }
                value += s[j++];
            }
            if (!closed) throw ESqlError("Connection string with an unclosed quote", SQLITE_MISUSE);
            const size_t next = s.find(';', j);
            if (!rtl::Trim(s.substr(j, next == std::string_view::npos ? s.size() - j : next - j)).empty()) {
                throw ESqlError("Connection string with text after a quoted value", SQLITE_MISUSE);
            }
            i = next == std::string_view::npos ? s.size() : next + 1;
        } else {
            const size_t next = s.find(';', j);
            value = rtl::Trim(s.substr(j, next == std::string_view::npos ? s.size() - j : next - j));
            i = next == std::string_view::npos ? s.size() : next + 1;
        }
        parts.emplace_back(key, value);
    }
    return parts;
}

}  // namespace

std::shared_ptr<SqlDatabase> OpenSqlite(const std::string& path, bool create) {
    if (path.empty()) throw ESqlError("No database file named", SQLITE_CANTOPEN);
    return std::make_shared<SqliteDatabase>(path, create);
}

std::shared_ptr<SqlDatabase> OpenConnectionString(const std::string& connectionString) {
    const std::string trimmed = rtl::Trim(connectionString);
    if (trimmed.find('=') == std::string::npos) return OpenSqlite(trimmed);
    std::string provider, source;
    for (const auto& [key, value] : ParseConnectionString(trimmed)) {
        if (key == "PROVIDER") {
            provider = value;
        } else if (key == "DATA SOURCE" || key == "DATASOURCE" || key == "DATABASE") {
            source = value;
        }
    }
    if (!provider.empty() && !rtl::SameText(provider, "SQLite")) {
        throw ESqlError("The database provider " + provider + " is not supported (only SQLite)", SQLITE_MISUSE);
    }
    if (source.empty()) throw ESqlError("The connection string names no Data Source", SQLITE_MISUSE);
    return OpenSqlite(source);
}

// ---- The dialect ---------------------------------------------------------------------------

namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '#'; }
bool IsIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#' || c == '$' || c == '@';
}

size_t SkipBlanks(std::string_view s, size_t i) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    return i;
}

// The end (one past) of a quoted piece starting at i: '...' with '' inside, "...", [...].
size_t QuotedEnd(std::string_view s, size_t i) {
    const char open = s[i];
    const char close = open == '[' ? ']' : open;
    size_t j = i + 1;
    while (j < s.size()) {
        if (s[j] == close) {
            if (close != ']' && j + 1 < s.size() && s[j + 1] == close) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return s.size();
}

// The end of a comment starting at i, or i when none starts there.
size_t CommentEnd(std::string_view s, size_t i) {
    if (s.compare(i, 2, "--") == 0) {
        const size_t nl = s.find('\n', i);
        return nl == std::string_view::npos ? s.size() : nl;
    }
    if (s.compare(i, 2, "/*") == 0) {
        const size_t close = s.find("*/", i + 2);
        return close == std::string_view::npos ? s.size() : close + 2;
    }
    return i;
}

// Given the index of "(", the arguments split at top-level commas and the index after ")";
// false when the parenthesis is not closed.
bool SplitArguments(std::string_view s, size_t open, std::vector<std::string_view>& args, size_t& after) {
    int depth = 0;
    size_t start = open + 1;
    for (size_t i = open; i < s.size();) {
        const char c = s[i];
        if (c == '\'' || c == '"' || c == '[') {
            i = QuotedEnd(s, i);
            continue;
        }
        if (const size_t ce = CommentEnd(s, i); ce != i) {
            i = ce;
            continue;
        }
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0) {
                args.push_back(s.substr(start, i - start));
                after = i + 1;
                return true;
            }
        } else if (c == ',' && depth == 1) {
            args.push_back(s.substr(start, i - start));
            start = i + 1;
        }
        ++i;
    }
    return false;
}

// A SQL Server type name as the SQLite type of the same meaning; empty when there is none.
std::string SqliteType(std::string_view type) {
    std::string t = rtl::UpperCase(rtl::Trim(type));
    const size_t paren = t.find('(');
    const std::string base = rtl::Trim(t.substr(0, paren));
    if (base == "CHAR" || base == "VARCHAR" || base == "NCHAR" || base == "NVARCHAR" || base == "TEXT" ||
        base == "NTEXT") {
        return "TEXT";
    }
    if (base == "BIGINT" || base == "INT" || base == "INTEGER" || base == "SMALLINT" || base == "TINYINT" ||
        base == "BIT") {
        return "INTEGER";
    }
    if (base == "FLOAT" || base == "REAL") return "REAL";
    if (base == "DECIMAL" || base == "NUMERIC" || base == "MONEY" || base == "SMALLMONEY") return "NUMERIC";
    return {};
}

// The position of the last top-level keyword AS in a CAST's argument, or npos.
size_t LastTopLevelAs(std::string_view s) {
    size_t found = std::string_view::npos;
    int depth = 0;
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == '\'' || c == '"' || c == '[') {
            i = QuotedEnd(s, i);
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (depth == 0 && IsIdentStart(c)) {
            size_t j = i;
            while (j < s.size() && IsIdentChar(s[j])) ++j;
            if (j - i == 2 && rtl::SameText(s.substr(i, 2), "AS")) found = i;
            i = j;
            continue;
        }
        ++i;
    }
    return found;
}

}  // namespace

// The rewriting walks the text once: literals, quoted names and comments are copied as they
// are; only keywords outside them are rewritten.
std::string AdaptToSqlite(std::string_view sql) {
    std::string out;
    out.reserve(sql.size());
    size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '[') {
            const size_t end = QuotedEnd(sql, i);
            if (c != '\'' && sql.compare(end, 2, "..") == 0) {
                i = end + 2;  // a quoted database name: "[KPADB]..TMCMD"
                continue;
            }
            out.append(sql.substr(i, end - i));
            i = end;
            continue;
        }
        if (const size_t ce = CommentEnd(sql, i); ce != i) {
            out.append(sql.substr(i, ce - i));
            i = ce;
            continue;
        }
        if (!IsIdentStart(c) || (i > 0 && (IsIdentChar(sql[i - 1]) || sql[i - 1] == ':' || sql[i - 1] == '.'))) {
            // Not the start of a word (a parameter name, a number's tail, a qualified name's part).
            out += c;
            ++i;
            continue;
        }
        size_t j = i;
        while (j < sql.size() && IsIdentChar(sql[j])) ++j;
        const std::string_view word = sql.substr(i, j - i);
        const std::string upper = rtl::UpperCase(word);

        // "db..TABLE" and "db.dbo.TABLE": the company database is the connection itself.
        if (sql.compare(j, 2, "..") == 0) {
            i = j + 2;
            continue;
        }
        if (j < sql.size() && sql[j] == '.') {
            size_t k = j + 1;
            while (k < sql.size() && IsIdentChar(sql[k])) ++k;
            if (k < sql.size() && sql[k] == '.' && rtl::SameText(sql.substr(j + 1, k - j - 1), "dbo")) {
                i = k + 1;
                continue;
            }
        }

        const size_t open = SkipBlanks(sql, j);
        const bool call = open < sql.size() && sql[open] == '(';
        if (call && upper == "ISNULL") {
            out += "IFNULL";
            i = j;
            continue;
        }
        if (call && upper == "GETDATE") {
            std::vector<std::string_view> args;
            size_t after = 0;
            if (SplitArguments(sql, open, args, after) && args.size() == 1 && rtl::Trim(args[0]).empty()) {
                // The local time as a date-time number (days since 1899-12-30), as the server's
                // date-time value reads.
                out += "(julianday('now', 'localtime') - 2415018.5)";
                i = after;
                continue;
            }
        }
        if (call && upper == "CONVERT") {
            std::vector<std::string_view> args;
            size_t after = 0;
            // A style argument (date formats) has no SQLite form: left as written, SQLite reports it.
            if (SplitArguments(sql, open, args, after) && args.size() == 2) {
                const std::string type = SqliteType(args[0]);
                if (!type.empty()) {
                    out += "CAST(" + rtl::Trim(AdaptToSqlite(args[1])) + " AS " + type + ")";
                    i = after;
                    continue;
                }
            }
        }
        if (call && upper == "CAST") {
            std::vector<std::string_view> args;
            size_t after = 0;
            if (SplitArguments(sql, open, args, after) && args.size() == 1) {
                const size_t as = LastTopLevelAs(args[0]);
                if (as != std::string_view::npos) {
                    const std::string type = SqliteType(args[0].substr(as + 2));
                    if (!type.empty()) {
                        out += "CAST(" + rtl::Trim(AdaptToSqlite(args[0].substr(0, as))) + " AS " + type + ")";
                        i = after;
                        continue;
                    }
                }
            }
        }
        out.append(word);
        i = j;
    }
    return out;
}

}  // namespace data
