#include "Manager.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "LookupAnswers.h"
#include "ManagerConfig.h"
#include "ValidatorQueries.h"
#include "VariantJson.h"
#include "platform/data/SqlDB.h"

namespace manager {

using rtl::Variant;
using Args = std::vector<Variant>;

namespace {

using DbPtr = std::shared_ptr<data::SqlDatabase>;

DbPtr OpenDatabase() { return OpenCompanyDatabase(ReadServerSettings()); }

std::string Text(const Variant& v) {
    try {
        return rtl::VarToStr(v);
    } catch (const std::exception&) {
        throw com::EOleException(std::string("A text was expected, not a value of type ") + rtl::VarTypeName(v.Type()));
    }
}

// Statements of the manager itself fail with the database's message, as a late-bound failure.
data::SqlRows Query(data::SqlDatabase& db, std::string_view sql, const std::vector<Variant>& params = {}) {
    try {
        return db.Query(sql, params);
    } catch (const data::ESqlError& e) {
        throw com::EOleException(e.Message());
    }
}

// A database name given by a client must be one this company database serves.
void RequireServedDatabase(data::SqlDatabase& db, const std::string& name) {
    if (rtl::Trim(name).empty()) return;
    if (Query(db, "SELECT 1 FROM COMPANIES WHERE UPPER(DBNAME) = UPPER(?)", {Variant(rtl::Trim(name))}).Rows.empty()) {
        throw com::EOleException("The database " + name + " is not served by the company database " + db.Path());
    }
}

// The elements of a one-dimensional array, a scalar as one element, Empty and Null as none.
std::vector<Variant> Items(const Variant& v) {
    if (v.IsEmpty() || v.IsNull()) return {};
    if (!v.IsArray()) return {v};
    if (v.Arr().DimCount() != 1) throw com::EOleException("A one-dimensional array was expected");
    return v.Arr().Items();
}

Variant RowVariant(const std::vector<Variant>& row) { return rtl::VarArrayOf(row); }

Variant RowsVariant(const std::vector<std::vector<Variant>>& rows) {
    std::vector<Variant> items;
    items.reserve(rows.size());
    for (const auto& r : rows) items.push_back(RowVariant(r));
    return rtl::VarArrayOf(std::move(items));
}

// BaseLimited: table #3 count #3 item #3 item #3 ... ; the codes of `table` the user may see.
// Answers ",A,B," when it limits `table`, else the empty text.
std::string LimitFor(const std::string& table, const Variant& baseLimited) {
    const std::string text = baseLimited.IsEmpty() || baseLimited.IsNull() ? std::string() : Text(baseLimited);
    if (rtl::Trim(text).empty()) return {};
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\x03', start);
        fields.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (!rtl::SameText(rtl::Trim(fields[0]), table)) return {};
    int count = 0;
    if (fields.size() < 2 || !rtl::TryStrToIntDecimal(rtl::Trim(fields[1]), count) || count < 0 ||
        fields.size() < static_cast<size_t>(count) + 2) {
        // A limit that cannot be read must not open the table to the user.
        throw com::EOleException("BaseLimited is malformed: it names " + table + " but no readable list of codes");
    }
    if (count == 0) return {};
    std::string list = ",";
    for (int i = 0; i < count; ++i) list += rtl::Trim(fields[static_cast<size_t>(i) + 2]) + ",";
    return list;
}

int64_t ProductOf(const Variant& productId) {
    if (productId.IsEmpty() || productId.IsNull()) return 0;
    if (productId.Type() == rtl::VarType::Integer) return productId.Int();
    int v = 0;
    return rtl::TryStrToIntDecimal(rtl::Trim(Text(productId)), v) ? v : 0;
}

}  // namespace

std::vector<std::vector<Variant>> RunValidatorQuery(const std::string& table, const std::string& number,
                                                    const std::string& database, const Variant& keys,
                                                    const Variant& productId, const Variant& baseLimited) {
    const ValidatorQuery* q = FindValidatorQuery(table, number);
    if (!q) throw com::EOleException("The validator has no query " + table + " " + number);
    const std::vector<Variant> keyItems = Items(keys);
    if (static_cast<int>(keyItems.size()) > q->keys) {
        throw com::EOleException(std::string("The query ") + q->table + " " + q->number + " takes " +
                                 std::to_string(q->keys) + " key(s), " + std::to_string(keyItems.size()) + " given");
    }
    data::SqlParams params;
    for (int i = 0; i < q->keys; ++i) {
        const size_t at = static_cast<size_t>(i);
        params.emplace_back("K" + std::to_string(i + 1), Variant(at < keyItems.size() ? Text(keyItems[at]) : std::string()));
    }
    params.emplace_back("PRODUCT", Variant(ProductOf(productId)));
    params.emplace_back("LIMITED", Variant(LimitFor(q->table, baseLimited)));

    const DbPtr db = OpenDatabase();
    RequireServedDatabase(*db, database);
    try {
        return db->QueryNamed(q->sql, params).Rows;
    } catch (const data::ESqlError& e) {
        throw com::EOleException(std::string("The query ") + q->table + " " + q->number + " failed: " + e.Message());
    }
}

// ---- Counter service ------------------------------------------------------------------------

namespace {

bool StartsWithWord(const std::string& text, std::string_view word) {
    if (text.size() < word.size() || !rtl::SameText(text.substr(0, word.size()), word)) return false;
    if (text.size() == word.size()) return true;
    const unsigned char next = static_cast<unsigned char>(text[word.size()]);
    return !(std::isalnum(next) || next == '_');
}

// keys = [query text, column names (comma list; empty: every column)]. Only one SELECT runs, on
// a connection that refuses any change.
Variant SimpleSql(const Variant& keys, const std::string& database) {
    const std::vector<Variant> k = Items(keys);
    if (k.empty()) throw com::EOleException("SimpleSQL needs the keys [query text, column names]");
    const std::string sql = rtl::Trim(data::AdaptToSqlite(Text(k[0])));
    if (!StartsWithWord(sql, "SELECT")) {
        throw com::EOleException("SimpleSQL answers a single SELECT query only, not: " + sql);
    }
    const DbPtr db = OpenDatabase();
    RequireServedDatabase(*db, database);
    data::SqlRows rows;
    try {
        db->ExecScript("PRAGMA query_only = ON");
        rows = db->Query(sql);
    } catch (const data::ESqlError& e) {
        throw com::EOleException("SimpleSQL: " + e.Message());
    }
    std::vector<int> columns;
    const std::string wanted = k.size() > 1 ? Text(k[1]) : std::string();
    size_t start = 0;
    while (start <= wanted.size()) {
        size_t end = wanted.find(',', start);
        if (end == std::string::npos) end = wanted.size();
        const std::string name = rtl::Trim(wanted.substr(start, end - start));
        if (!name.empty()) {
            const int at = rows.ColumnIndex(name);
            if (at < 0) throw com::EOleException("SimpleSQL: the query answers no column " + name);
            columns.push_back(at);
        }
        start = end + 1;
    }
    if (columns.empty()) {
        for (size_t i = 0; i < rows.Columns.size(); ++i) columns.push_back(static_cast<int>(i));
    }
    std::vector<std::vector<Variant>> out;
    for (const auto& r : rows.Rows) {
        std::vector<Variant> row;
        for (int c : columns) row.push_back(r[static_cast<size_t>(c)]);
        out.push_back(std::move(row));
    }
    return RowsVariant(out);
}

}  // namespace

CounterService::CounterService() {
    Method("GetSysInfo", [](Args& args) -> Variant {
        com::RequireArgs(args, 1);
        const std::string company = rtl::Trim(Text(args[0]));
        const DbPtr db = OpenDatabase();
        if (Query(*db, "SELECT 1 FROM COMPANIES WHERE UPPER(COMPANY) = UPPER(?)", {Variant(company)}).Rows.empty()) {
            throw com::EOleException("The company " + company + " is not in the company database " + db->Path());
        }
        const data::SqlRows rows = Query(
            *db, "SELECT ITEM, VALUE FROM SYSINFO WHERE UPPER(COMPANY) = UPPER(?) ORDER BY ITEM", {Variant(company)});
        const int n = static_cast<int>(rows.Rows.size());
        Variant info = rtl::VarArrayCreate(0, 1, 0, n - 1);
        for (int i = 0; i < n; ++i) {
            info(0, i) = rows.Rows[static_cast<size_t>(i)][0];
            info(1, i) = rows.Rows[static_cast<size_t>(i)][1];
        }
        return info;
    });
    Method("GetCounter", [](Args& args) -> Variant {
        if (args.size() < 2 || args.size() > 3) com::RequireArgs(args, 3);
        const std::string item = rtl::Trim(Text(args[0]));
        std::string database;
        if (args.size() == 3) {
            const std::vector<Variant> context = Items(args[2]);
            if (context.size() > 1) database = Text(context[1]);
        }
        if (rtl::SameText(item, "ResultConnectString")) {
            const ServerSettings s = ReadServerSettings();
            const DbPtr db = OpenCompanyDatabase(s);
            RequireServedDatabase(*db, database);
            return Variant(ConnectionString(s.dbPath));
        }
        if (rtl::SameText(item, "SimpleSQL")) return SimpleSql(args[1], database);
        throw com::EOleException("The counter service has no item " + item);
    });
}

// ---- Validator ------------------------------------------------------------------------------

Validator::Validator() {
    Property("ProductID", [this] { return productId_; }, [this](const Variant& v) { productId_ = v; });
    Property("BaseLimited", [this] { return baseLimited_; }, [this](const Variant& v) { baseLimited_ = v; });
    Method("QueryData", [this](Args& args) { return Look(args, true); });
    Method("CheckValue", [this](Args& args) { return Look(args, false); });
}

// QueryData answers every row of the query (an array of rows), CheckValue the first row (an
// array of columns); the result stays Empty when nothing is found.
Variant Validator::Look(Args& args, bool wholeAnswer) {
    com::RequireArgs(args, 5);
    const auto rows =
        RunValidatorQuery(rtl::Trim(Text(args[0])), rtl::Trim(Text(args[1])), Text(args[2]), args[3], productId_, baseLimited_);
    if (rows.empty()) {
        args[4] = Variant();
        return Variant(false);
    }
    args[4] = wholeAnswer ? RowsVariant(rows) : RowVariant(rows.front());
    return Variant(true);
}

// ---- Lookup window --------------------------------------------------------------------------

namespace {

// The F2 request: [0] table, [1] query number, [2] keys, [6] database, [10] product, [14] limit.
Variant F2GetData(const Variant& request) {
    const std::vector<Variant> r = Items(request);
    if (r.size() < 2) throw com::EOleException("F2GetData needs the request array (table, query number, ...)");
    const std::optional<launcher::Json> answer = TakeLookupAnswer("F2GetData");
    if (!answer || answer->IsNull()) return Variant();

    std::vector<int64_t> picks;
    if (answer->GetKind() == launcher::Json::Kind::Int) {
        picks.push_back(answer->AsInt());
    } else if (answer->IsArray()) {
        const auto& items = answer->Items();
        if (items.empty()) return Variant();
        const bool allRows = std::all_of(items.begin(), items.end(), [](const launcher::Json& j) { return j.IsArray(); });
        if (allRows) return launcher::JsonToVariant(*answer);
        for (const launcher::Json& j : items) {
            if (j.GetKind() != launcher::Json::Kind::Int) {
                throw com::EOleException("A lookup answer for F2GetData is a row number, a list of row numbers or a list of rows");
            }
            picks.push_back(j.AsInt());
        }
    } else {
        throw com::EOleException("A lookup answer for F2GetData is a row number, a list of row numbers or a list of rows");
    }

    auto at = [&](size_t i) { return i < r.size() ? r[i] : Variant(); };
    const std::string table = rtl::Trim(Text(r[0])), number = rtl::Trim(Text(r[1]));
    const auto rows = RunValidatorQuery(table, number, Text(at(6)), at(2), at(10), at(14));
    std::vector<std::vector<Variant>> chosen;
    for (int64_t p : picks) {
        if (p < 0 || p >= static_cast<int64_t>(rows.size())) {
            throw com::EOleException("The lookup answer picks row " + std::to_string(p) + " of " + table + " " + number +
                                     ", which has " + std::to_string(rows.size()) + " row(s)");
        }
        chosen.push_back(rows[static_cast<size_t>(p)]);
    }
    return RowsVariant(chosen);
}

bool IsDateText(const std::string& s) {
    if (s.size() != 8 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    rtl::TDateTime d;
    return rtl::TryEncodeDate(std::stoi(s.substr(0, 4)), std::stoi(s.substr(4, 2)), std::stoi(s.substr(6, 2)), d);
}

// [calendar flag, initial date, database]: a "YYYYMMDD" answer, true for the date shown, or cancel.
Variant ShowInputDay(const Variant& request) {
    const std::vector<Variant> r = Items(request);
    const std::optional<launcher::Json> answer = TakeLookupAnswer("ShowInputDay");
    if (!answer || answer->IsNull()) return Variant(std::string());
    if (answer->GetKind() == launcher::Json::Kind::Bool) {
        return Variant(answer->AsBool() && r.size() > 1 ? rtl::Trim(Text(r[1])) : std::string());
    }
    if (!answer->IsString() || !IsDateText(answer->AsString())) {
        throw com::EOleException("A lookup answer for ShowInputDay is a date YYYYMMDD, true for the date shown, or null");
    }
    return Variant(answer->AsString());
}

Variant GetPhrase() {
    const std::optional<launcher::Json> answer = TakeLookupAnswer("GetPhrase");
    if (!answer || answer->IsNull()) return Variant(std::string());
    if (!answer->IsString()) throw com::EOleException("A lookup answer for GetPhrase is a text or null");
    return Variant(answer->AsString());
}

}  // namespace

LookupWindow::LookupWindow() {
    Method("F2GetData", [](Args& args) {
        com::RequireArgs(args, 1);
        return F2GetData(args[0]);
    });
    Method("ShowInputDay", [](Args& args) {
        com::RequireArgs(args, 1);
        return ShowInputDay(args[0]);
    });
    Method("GetPhrase", [](Args& args) {
        com::RequireArgs(args, 3);
        return GetPhrase();
    });
}

// ---- Manager --------------------------------------------------------------------------------

namespace {

// The number as the catalogue keeps it: six digits ("4" and "-000004" name message 000004).
std::string MessageNumber(std::string number) {
    number = rtl::Trim(number);
    if (number.starts_with("-")) number.erase(0, 1);
    const bool digits = !number.empty() && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits && number.size() < 6) number.insert(0, 6 - number.size(), '0');
    return number;
}

Variant GetMessage(const Variant& typeArg, const Variant& numberArg) {
    const std::string type = rtl::UpperCase(rtl::Trim(Text(typeArg)));
    const std::string number = MessageNumber(Text(numberArg));
    const DbPtr db = OpenDatabase();
    const data::SqlRows r =
        Query(*db, "SELECT MSGTEXT FROM MSGCATALOG WHERE MSGTYPE = ? AND MSGNO = ?", {Variant(type), Variant(number)});
    if (!r.Rows.empty()) return Variant(Text(r.Rows[0][0]));
    return Variant("消息目录中没有此消息: 类别 " + type + ", 编号 " + number);
}

Variant ProductID() {
    const DbPtr db = OpenDatabase();
    const data::SqlRows r = Query(*db, "SELECT MA003 FROM TGKINTMA WHERE MA001 = 'ProductID'");
    int id = 1;
    if (!r.Rows.empty() && !rtl::TryStrToIntDecimal(rtl::Trim(Text(r.Rows[0][0])), id)) {
        throw com::EOleException("The setting ProductID in TGKINTMA is not a number: " + Text(r.Rows[0][0]));
    }
    return Variant(id);
}

std::string FileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

// The description of the newer copy the server keeps of a work library, in the tag notation of
// the new-file check: <File><Name/><Modify/><Path/></File>; Modify and Path stay empty when the
// server keeps no copy.
Variant GetFileList(const Variant& arg) {
    const std::vector<Variant> items = Items(arg);
    if (items.empty()) throw com::EOleException("GetFileList needs [file name]");
    std::string name = rtl::Trim(Text(items[0]));
    const size_t cut = name.find_last_of("/\\");
    if (cut != std::string::npos) name.erase(0, cut + 1);
    if (name.empty()) throw com::EOleException("GetFileList needs a file name");

    // A library the suite names NAME.dll is the file NAME.so here.
    std::vector<std::string> candidates{name};
    const std::string lower = rtl::LowerCase(name);
    if (lower.size() > 4 && lower.ends_with(".dll")) candidates.push_back(name.substr(0, name.size() - 4) + ".so");

    const ServerSettings s = ReadServerSettings();
    std::string found;
    std::error_code ec;
    for (const std::string& c : candidates) {
        for (auto it = std::filesystem::directory_iterator(s.fileFolder, ec); !ec && it != std::filesystem::directory_iterator();
             it.increment(ec)) {
            if (it->is_regular_file(ec) && rtl::SameText(it->path().filename().string(), c)) {
                found = it->path().string();
                break;
            }
        }
        if (!found.empty()) break;
    }
    const std::string stamp = found.empty() ? std::string() : FileStamp(found);
    return Variant("<File><Name>" + name + "</Name><Modify>" + stamp + "</Modify><Path>" + found + "</Path></File>");
}

Variant CallHelp(const Variant& arg) {
    const std::vector<Variant> items = Items(arg);
    std::string text = "CallHelp:";
    if (items.size() >= 2) {
        text += " system " + Text(items[0]) + ", help number " + Text(items[1]);
    } else {
        for (const Variant& v : items) text += " " + Text(v);
    }
    WriteManagerLog(text);
    return Variant();
}

}  // namespace

Manager::Manager()
    : counter_(std::make_shared<CounterService>()),
      validator_(std::make_shared<Validator>()),
      lookup_(std::make_shared<LookupWindow>()) {
    Method("Com_Counter", [this](Args&) { return com::DispatchVariant(counter_); });
    Method("Com_Validator", [this](Args&) { return com::DispatchVariant(validator_); });
    Method("Com_F2Window", [this](Args&) { return com::DispatchVariant(lookup_); });
    Property("ProductID", [] { return ProductID(); });
    Method("GetMessage", [](Args& args) {
        com::RequireArgs(args, 2);
        return GetMessage(args[0], args[1]);
    });
    Method("CallHelp", [](Args& args) {
        com::RequireArgs(args, 1);
        return CallHelp(args[0]);
    });
    Method("GetFileList", [](Args& args) {
        com::RequireArgs(args, 1);
        return GetFileList(args[0]);
    });
}

}  // namespace manager
