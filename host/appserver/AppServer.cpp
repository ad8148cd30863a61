#include "AppServer.h"

#include <algorithm>
#include <utility>

#include "Jobs.h"
#include "ServerConfig.h"
#include "ServerLibrary.h"
#include "VariantText.h"
#include "platform/os/Clock.h"

namespace appserver {

namespace {

using rtl::Variant;

std::string NowText() { return TimestampText(os::Now()); }

bool IsOneDim(const Variant& v) { return v.IsArray() && v.Arr().DimCount() == 1; }

// A text argument; Null and Empty read as the empty text.
std::string TextOf(const Variant& v, const std::string& what) {
    if (v.IsEmpty() || v.IsNull()) return "";
    if (!v.IsStr()) throw com::EOleException(what + " must be a text");
    return rtl::VarToStr(v);
}

// The elements of a one-dimensional array of exactly `count` elements, from its low bound.
std::vector<Variant> ElementsOf(const Variant& v, size_t count, const std::string& what) {
    if (!IsOneDim(v) || v.Arr().ElementCount() != count) {
        throw com::EOleException(what + " must be an array of " + std::to_string(count) + " elements");
    }
    return v.Arr().Items();
}

// ---- Condition sets -------------------------------------------------------------------------

struct SetKey {
    std::string name, user, program;
};

SetKey KeyOf(const Variant& v, const std::string& what) {
    const std::vector<Variant> e = ElementsOf(v, 3, what + " [set name, user code, program code]");
    SetKey k{TextOf(e[0], "The set name"), TextOf(e[1], "The user code"), TextOf(e[2], "The program code")};
    if (rtl::Trim(k.name).empty()) throw com::EOleException("The condition set name is empty");
    if (k.user.empty()) throw com::EOleException("The user code is empty");
    if (k.program.empty()) throw com::EOleException("The program code is empty");
    return k;
}

bool SetExists(data::SqlDatabase& db, const SetKey& k) {
    return !db.Query("SELECT 1 FROM CONDITION_SET WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?",
                     {k.name, k.user, k.program})
                .Rows.empty();
}

// The provider's fields, in packet order, with their packet types.
struct ProviderField {
    const char* name;
    const char* type;
};
constexpr ProviderField kSetFields[] = {
    {"NCONDITION", "ftString"}, {"SCONDITION", "ftMemo"},  {"VCONDITION", "ftMemo"},
    {"CREATE_DATE", "ftString"}, {"CREATOR", "ftString"}, {"PROGRAMME", "ftString"},
};

const char* const kChangedByOther = "Record not found or changed by another user";

}  // namespace

TdmReportCounter::TdmReportCounter() {
    Serve("LoadTable", [this](Args& a) { return LoadTable(a); });
    Serve("AS_GetRecords", [this](Args& a) { return GetRecords(a); });
    Serve("AS_ApplyUpdates", [this](Args& a) { return ApplyUpdates(a); });
    Serve("InsertConTable", [this](Args& a) {
        com::RequireArgs(a, 1);
        return Variant(InsertConTable(a[0]));
    });
    Serve("DeleteConTable", [this](Args& a) {
        com::RequireArgs(a, 1);
        return Variant(DeleteConTable(a[0]));
    });
    Serve("ChangeConName", [this](Args& a) {
        com::RequireArgs(a, 2);
        return Variant(ChangeConName(a[0], a[1]));
    });
    Serve("SQLType", [](Args& a) {
        com::RequireArgs(a, 0);
        return Variant(ReadServerConfig().DBKind);
    });
    Serve("GetPower", [this](Args& a) { return GetPower(a); });
    Serve("Request", [this](Args& a) { return Submit(a, false); });
    Serve("Request1", [this](Args& a) { return Submit(a, true); });
    Serve("ExecSvrDLL", [this](Args& a) { return ExecSvrDLL(a); });
    Serve("UpdateStatus1", [this](Args& a) { return UpdateStatus1(a); });
    Method("ErrorDescript", [this](Args& a) {
        com::RequireArgs(a, 0);
        std::lock_guard<std::mutex> lock(mutex_);
        return Variant(lastError_);
    });
}

void TdmReportCounter::Serve(std::string_view name, std::function<Variant(Args&)> body) {
    Method(name, [this, body = std::move(body)](Args& args) {
        std::lock_guard<std::mutex> lock(mutex_);
        try {
            return body(args);
        } catch (const std::exception& e) {
            lastError_ = e.what();
            throw;
        }
    });
}

data::SqlDatabase& TdmReportCounter::Db() {
    if (!db_) db_ = OpenServerDatabase(ReadServerConfig());
    return *db_;
}

std::string TdmReportCounter::Answer(const std::function<void()>& body) {
    try {
        body();
        return "";
    } catch (const std::exception& e) {
        lastError_ = e.what();
        return lastError_.empty() ? "The condition set operation failed" : lastError_;
    }
}

void TdmReportCounter::CheckProvider(const Variant& name) const {
    const std::string provider = name.IsStr() ? rtl::VarToStr(name) : std::string();
    if (!rtl::SameText(provider, kConditionProvider)) {
        throw com::EOleException("Provider '" + provider + "' is not exported by " + kAppServerProgID);
    }
}

// ---- Condition sets -------------------------------------------------------------------------

Variant TdmReportCounter::LoadTable(Args& args) {
    com::RequireArgs(args, 1);
    const std::vector<Variant> e = ElementsOf(args[0], 2, "LoadTable's argument [user code, program code]");
    const std::string user = TextOf(e[0], "The user code");
    const std::string program = TextOf(e[1], "The program code");
    if (user.empty() || program.empty()) throw com::EOleException("LoadTable needs a user code and a program code");
    Db();  // a configuration fault shows here rather than when the dataset opens
    conUser_ = user;
    conProgram_ = program;
    tableLoaded_ = true;
    return Variant();
}

Variant TdmReportCounter::GetRecords(Args& args) {
    com::RequireArgs(args, 1);
    CheckProvider(args[0]);
    std::vector<Variant> names, types;
    for (const ProviderField& f : kSetFields) {
        names.emplace_back(f.name);
        types.emplace_back(f.type);
    }
    std::vector<Variant> packet{rtl::VarArrayOf(std::move(names)), rtl::VarArrayOf(std::move(types))};
    if (tableLoaded_) {
        const data::SqlRows rows = Db().Query(
            "SELECT NCONDITION, SCONDITION, VCONDITION, CREATE_DATE, CREATOR, PROGRAMME FROM CONDITION_SET "
            "WHERE CREATOR = ? AND PROGRAMME = ? ORDER BY NCONDITION",
            {conUser_, conProgram_});
        for (const auto& row : rows.Rows) packet.push_back(rtl::VarArrayOf(row));
    }
    return rtl::VarArrayOf(std::move(packet));
}

Variant TdmReportCounter::ApplyUpdates(Args& args) {
    com::RequireArgs(args, 4);
    CheckProvider(args[0]);
    const int maxErrors = args[2].AsInteger();
    const Variant& delta = args[1];
    if (!IsOneDim(delta) || delta.Arr().ElementCount() < 1 || !IsOneDim(delta.Arr().Items()[0])) {
        throw com::EOleException("Invalid delta packet");
    }
    const std::vector<Variant>& items = delta.Arr().Items();

    // The delta's fields, as columns; the key fields must be among them.
    std::vector<std::string> columns;
    for (const Variant& n : items[0].Arr().Items()) {
        const std::string name = rtl::UpperCase(n.IsStr() ? rtl::VarToStr(n) : std::string());
        const bool known = std::any_of(std::begin(kSetFields), std::end(kSetFields),
                                       [&](const ProviderField& f) { return name == f.name; });
        if (!known || std::find(columns.begin(), columns.end(), name) != columns.end()) {
            throw com::EOleException("Invalid delta packet: field '" + name + "' is not a field of " + kConditionProvider);
        }
        columns.push_back(name);
    }
    auto indexOf = [&](const char* name) {
        const auto it = std::find(columns.begin(), columns.end(), name);
        if (it == columns.end()) throw com::EOleException(std::string("Invalid delta packet: the key field ") + name + " is missing");
        return static_cast<size_t>(it - columns.begin());
    };
    const size_t nameAt = indexOf("NCONDITION"), userAt = indexOf("CREATOR"), programAt = indexOf("PROGRAMME");

    // A record's values as texts: the dataset turns empty texts into Null.
    auto valuesOf = [&](const Variant& v) {
        if (!IsOneDim(v) || v.Arr().ElementCount() != columns.size()) {
            throw com::EOleException("The change does not hold one value per field");
        }
        std::vector<Variant> out;
        for (const Variant& x : v.Arr().Items()) out.emplace_back(x.IsNull() || x.IsEmpty() ? std::string() : rtl::VarToStr(x));
        return out;
    };
    auto checkOwner = [&](const std::vector<Variant>& row) {
        if (!tableLoaded_ || row[userAt].Bytes() != conUser_ || row[programAt].Bytes() != conProgram_) {
            throw com::EOleException("The condition set belongs to another user or program");
        }
        if (rtl::Trim(row[nameAt].Bytes()).empty()) throw com::EOleException("The condition set name is empty");
    };
    auto keyOf = [&](const std::vector<Variant>& row) {
        return SetKey{row[nameAt].Bytes(), row[userAt].Bytes(), row[programAt].Bytes()};
    };
    std::string whereAll;
    for (const std::string& c : columns) whereAll += (whereAll.empty() ? "" : " AND ") + ("IFNULL(" + c + ", '') = ?");

    data::SqlDatabase& db = Db();
    data::SqlTransaction transaction(db);
    std::vector<Variant> errors;
    for (size_t i = 1; i < items.size(); ++i) {
        try {
            const std::vector<Variant> change = ElementsOf(items[i], 3, "A change");
            const int kind = change[0].AsInteger();
            if (kind == 0) {  // modify
                const std::vector<Variant> original = valuesOf(change[1]);
                const std::vector<Variant> current = valuesOf(change[2]);
                checkOwner(original);
                checkOwner(current);
                const SetKey from = keyOf(original), to = keyOf(current);
                if (db.Query("SELECT 1 FROM CONDITION_SET WHERE " + whereAll, original).Rows.empty()) {
                    // Not there as fetched. Already as wanted is fine: the list renames with
                    // ChangeConName and then posts the same rename.
                    if (db.Query("SELECT 1 FROM CONDITION_SET WHERE " + whereAll, current).Rows.empty()) {
                        throw com::EOleException(kChangedByOther);
                    }
                    continue;
                }
                if ((from.name != to.name || from.user != to.user || from.program != to.program) && SetExists(db, to)) {
                    throw com::EOleException("A condition set named '" + to.name + "' already exists");
                }
                std::string sets;
                for (const std::string& c : columns) sets += (sets.empty() ? "" : ", ") + c + " = ?";
                std::vector<Variant> params = current;
                params.insert(params.end(), original.begin(), original.end());
                db.Execute("UPDATE CONDITION_SET SET " + sets + " WHERE " + whereAll, params);
            } else if (kind == 1) {  // insert
                const std::vector<Variant> current = valuesOf(change[2]);
                checkOwner(current);
                if (SetExists(db, keyOf(current))) {
                    throw com::EOleException("A condition set named '" + current[nameAt].Bytes() + "' already exists");
                }
                std::string names, marks;
                for (const std::string& c : columns) {
                    names += (names.empty() ? "" : ", ") + c;
                    marks += marks.empty() ? "?" : ", ?";
                }
                db.Execute("INSERT INTO CONDITION_SET (" + names + ") VALUES (" + marks + ")", current);
            } else if (kind == 2) {  // delete
                const std::vector<Variant> original = valuesOf(change[1]);
                checkOwner(original);
                if (db.Execute("DELETE FROM CONDITION_SET WHERE " + whereAll, original) == 0) {
                    throw com::EOleException(kChangedByOther);
                }
            } else {
                throw com::EOleException("Unknown kind of change " + std::to_string(kind));
            }
        } catch (const std::exception& e) {
            errors.push_back(rtl::VarArrayOf({Variant(static_cast<int>(i)), Variant(std::string(e.what()))}));
        }
    }
    const int count = static_cast<int>(errors.size());
    if (maxErrors < 0 || count <= maxErrors) transaction.Commit();  // else nothing is applied
    if (count > 0) args[3] = rtl::VarArrayOf(std::move(errors));
    return Variant(count);
}

std::string TdmReportCounter::InsertConTable(const Variant& set) {
    return Answer([&] {
        const std::vector<Variant> e = ElementsOf(
            set, 7, "InsertConTable's argument [name, user code, date, program code, properties, values, replace]");
        const SetKey key = KeyOf(rtl::VarArrayOf({e[0], e[1], e[3]}), "The condition set key");
        const std::string date = TextOf(e[2], "The creation date");
        if (!IsYmdDate(date)) throw com::EOleException("The creation date must be written YYYYMMDD, not '" + date + "'");
        const std::string properties = TextOf(e[4], "The property list");
        const std::string values = TextOf(e[5], "The value text");
        const bool replace = e[6].AsBoolean();

        data::SqlDatabase& db = Db();
        data::SqlTransaction transaction(db);
        if (SetExists(db, key)) {
            if (!replace) throw com::EOleException("A condition set named '" + key.name + "' already exists");
            db.Execute("UPDATE CONDITION_SET SET CREATE_DATE = ?, SCONDITION = ?, VCONDITION = ? "
                       "WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?",
                       {date, properties, values, key.name, key.user, key.program});
        } else {
            db.Execute("INSERT INTO CONDITION_SET (NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, SCONDITION, VCONDITION) "
                       "VALUES (?, ?, ?, ?, ?, ?)",
                       {key.name, key.user, key.program, date, properties, values});
        }
        transaction.Commit();
    });
}

std::string TdmReportCounter::DeleteConTable(const Variant& keyArray) {
    return Answer([&] {
        const SetKey key = KeyOf(keyArray, "DeleteConTable's argument");
        if (Db().Execute("DELETE FROM CONDITION_SET WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?",
                         {key.name, key.user, key.program}) == 0) {
            throw com::EOleException("There is no condition set named '" + key.name + "'");
        }
    });
}

std::string TdmReportCounter::ChangeConName(const Variant& oldKey, const Variant& newKey) {
    return Answer([&] {
        const SetKey from = KeyOf(oldKey, "ChangeConName's old key");
        const SetKey to = KeyOf(newKey, "ChangeConName's new key");
        if (from.user != to.user || from.program != to.program) {
            throw com::EOleException("A condition set can be renamed only within its own user and program");
        }
        if (from.name == to.name) return;
        data::SqlDatabase& db = Db();
        data::SqlTransaction transaction(db);
        if (SetExists(db, to)) throw com::EOleException("A condition set named '" + to.name + "' already exists");
        if (db.Execute("UPDATE CONDITION_SET SET NCONDITION = ? WHERE NCONDITION = ? AND CREATOR = ? AND PROGRAMME = ?",
                       {to.name, from.name, from.user, from.program}) == 0) {
            throw com::EOleException("There is no condition set named '" + from.name + "'");
        }
        transaction.Commit();
    });
}

// ---- Rights ---------------------------------------------------------------------------------

Variant TdmReportCounter::GetPower(Args& args) {
    com::RequireArgs(args, 1);
    if (!IsOneDim(args[0]) || args[0].Arr().ElementCount() < 3) {
        throw com::EOleException("GetPower's argument must be an array [database name, user code, program code, ...]");
    }
    const std::vector<Variant>& e = args[0].Arr().Items();
    const std::string database = TextOf(e[0], "The database name");
    const std::string user = TextOf(e[1], "The user code");
    const std::string program = TextOf(e[2], "The program code");
    const data::SqlRows rows = Db().Query(
        "SELECT RIGHTS, RIGHTS2, RIGHTS3, BASE_LIMIT, LIMIT_ITEMS FROM USER_RIGHTS "
        "WHERE DB_NAME IN (?, '*') AND USER_ID IN (?, '*') AND PROGRAM_ID IN (?, '*') "
        "ORDER BY PROGRAM_ID = '*', USER_ID = '*', DB_NAME = '*' LIMIT 1",
        {database, user, program});
    if (rows.Rows.empty()) {
        return rtl::VarArrayOf({false, ",,,,,", "", "", "", rtl::VarArrayOf({0})});
    }
    const std::vector<Variant>& r = rows.Rows[0];
    std::vector<Variant> limits{Variant(0)};
    const std::string itemsText = rtl::VarToStr(r[4]);
    if (!rtl::Trim(itemsText).empty()) {
        Variant list;
        try {
            list = TextToVariant(itemsText);
        } catch (const EVariantText& ex) {
            throw com::EOleException("USER_RIGHTS.LIMIT_ITEMS of " + user + "/" + program + " is unreadable: " + ex.Message());
        }
        if (!IsOneDim(list)) throw com::EOleException("USER_RIGHTS.LIMIT_ITEMS of " + user + "/" + program + " is not a list");
        for (const Variant& item : list.Arr().Items()) limits.emplace_back(rtl::VarToStr(item));
        limits[0] = Variant(static_cast<int>(limits.size() - 1));
    }
    return rtl::VarArrayOf({true, rtl::VarToStr(r[0]), rtl::VarToStr(r[1]), rtl::VarToStr(r[2]), rtl::VarToStr(r[3]),
                            rtl::VarArrayOf(std::move(limits))});
}

// ---- Job requests ---------------------------------------------------------------------------

Variant TdmReportCounter::Submit(Args& args, bool direct) {
    lastError_.clear();
    try {
        com::RequireArgs(args, direct ? 2 : 1);
        const JobDescription job = CheckPayload(args[0]);
        std::string computer;
        if (direct) {
            if (!args[1].IsStr() || rtl::Trim(rtl::VarToStr(args[1])).empty()) {
                throw EBadPayload("The computer name (second argument) must be a non-empty text");
            }
            computer = rtl::VarToStr(args[1]);
            if (job.Schedule) throw EBadPayload("A periodic job cannot be processed directly");
        }
        std::string payload;
        try {
            payload = VariantToText(args[0]);
        } catch (const EVariantText& e) {
            throw EBadPayload("The job payload cannot be stored: " + e.Message());
        }

        auto timeOrNull = [](const std::optional<rtl::TDateTime>& t) { return t ? Variant(TimestampText(*t)) : Variant::Null(); };
        const JobSchedule* s = job.Schedule ? &*job.Schedule : nullptr;
        const std::string now = NowText();
        data::SqlDatabase& db = Db();
        data::SqlTransaction transaction(db);
        const std::string jobNo = AllocateJobNumber(db);
        db.Execute(
            "INSERT INTO JOB_REQUEST (JOB_NO, KIND, PROGRAM_ID, COMPANY, USER_ID, DB_NAME, COMPUTER_NAME, SERVER_CLASS, "
            "PROGRAM_KIND, REQUEST_TIME, RUN_MODE, RUN_TIME, PAYLOAD, PERIODIC, SCHED_TIME, CYCLE_KIND, CYCLE, RANGE_KIND, "
            "START_DATE, END_DATE, RUN_COUNT, DATE_RULES, CREATE_TIME, STATUS, STATUS_TIME) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {jobNo,
             direct ? "DIRECT" : "REQUEST",
             job.ProgramID,
             job.Company,
             job.UserID,
             job.DBName,
             direct ? Variant(computer) : Variant::Null(),
             job.ServerClass,
             job.ProgramKind,
             timeOrNull(job.RequestTime),
             job.RunMode ? Variant(*job.RunMode) : Variant::Null(),
             timeOrNull(job.RunTime),
             payload,
             s ? 1 : 0,
             s ? Variant(s->RunTime) : Variant::Null(),
             s ? Variant(s->CycleKind) : Variant::Null(),
             s ? Variant(VariantToText(s->Cycle)) : Variant::Null(),
             s ? Variant(s->RangeKind) : Variant::Null(),
             s ? Variant(s->StartDate) : Variant::Null(),
             s && !s->EndDate.empty() ? Variant(s->EndDate) : Variant::Null(),
             s && s->RunCount ? Variant(*s->RunCount) : Variant::Null(),
             s ? Variant(VariantToText(s->DateRules)) : Variant::Null(),
             now,
             direct ? "DIRECT" : "QUEUED",
             now});
        transaction.Commit();
        return Variant(jobNo);
    } catch (const std::exception& e) {
        lastError_ = e.what();
        if (lastError_.empty()) lastError_ = "The job request failed";
        return Variant("ERROR");
    }
}

Variant TdmReportCounter::ExecSvrDLL(Args& args) {
    com::RequireArgs(args, 12);
    const std::string jobNo = TextOf(args[0], "The job number");
    const std::string program = rtl::UpperCase(TextOf(args[1], "The program code"));
    const std::string company = TextOf(args[3], "The company code");
    const std::string user = TextOf(args[4], "The user code");
    const std::string kind = rtl::UpperCase(TextOf(args[6], "The program kind"));
    const std::string subJob = TextOf(args[10], "The sub-job number");

    data::SqlDatabase& db = Db();
    const data::SqlRows rows = db.Query("SELECT KIND, PROGRAM_ID, COMPANY, USER_ID FROM JOB_REQUEST WHERE JOB_NO = ?", {jobNo});
    if (rows.Rows.empty()) throw com::EOleException("Job " + jobNo + " was never requested");
    const std::vector<Variant>& job = rows.Rows[0];
    if (rtl::VarToStr(job[0]) != "DIRECT") throw com::EOleException("Job " + jobNo + " was not requested for direct processing");
    if (!rtl::SameText(rtl::VarToStr(job[1]), program)) {
        throw com::EOleException("Job " + jobNo + " belongs to program " + rtl::VarToStr(job[1]) + ", not " + program);
    }
    if (rtl::VarToStr(job[2]) != company || rtl::VarToStr(job[3]) != user) {
        throw com::EOleException("Job " + jobNo + " was requested by another company or user");
    }
    if (jobNo.size() < 8 || subJob.size() <= 8 || subJob.compare(0, 8, jobNo, 0, 8) != 0) {
        throw com::EOleException("Sub-job " + subJob + " is not a sub-job of job " + jobNo);
    }

    auto record = [&](const char* status, const std::string& message) {
        data::SqlTransaction transaction(db);
        const std::string now = NowText();
        db.Execute("UPDATE JOB_REQUEST SET STATUS = ?, STATUS_TIME = ? WHERE JOB_NO = ?", {status, now, jobNo});
        db.Execute("INSERT INTO JOB_STATUS (JOB_NO, SUB_JOB_NO, STATUS, MESSAGE, SOURCE, CREATE_TIME) VALUES (?, ?, ?, ?, ?, ?)",
                   {jobNo, subJob, status, message, "ExecSvrDLL", now});
        transaction.Commit();
    };
    // Nothing of this server's stays open while the library runs: it writes through its own
    // connection.
    record("RUNNING", "");
    ServerLibraryOutcome outcome;
    try {
        const ServerConfig config = ReadServerConfig();
        const std::string library = FindServerLibrary(config.WorkDLLPaths, program);
        Variant params;
        if (kind == "B") {
            params = rtl::VarArrayOf({args[0], args[3], args[4], args[8], args[7], args[10], args[11]});
        } else {
            params = rtl::VarArrayOf({args[0], args[2], args[3], args[4], args[7], args[8], args[9], kind, args[10],
                                      args[11], true, config.UICodePage});
        }
        outcome = RunServerLibrary(library, params);
    } catch (const std::exception& e) {
        outcome.failed = true;
        outcome.message = e.what();
    }
    record(outcome.failed ? "FAILED" : "DONE", outcome.message);
    if (outcome.failed) throw com::EOleException(outcome.message.empty() ? "The server library failed" : outcome.message);
    return Variant();
}

Variant TdmReportCounter::UpdateStatus1(Args& args) {
    com::RequireArgs(args, 3);
    const std::string jobNo = TextOf(args[0], "The job number");
    if (jobNo.empty()) throw com::EOleException("The job number is empty");
    const std::string messages = TextOf(args[1], "The message texts");
    Variant reported = Variant::Null();
    if (args[2].Type() == rtl::VarType::Date) {
        reported = TimestampText(args[2].DateValue());
    } else if (args[2].IsStr()) {
        reported = rtl::VarToStr(args[2]);
    }
    data::SqlDatabase& db = Db();
    data::SqlTransaction transaction(db);
    const std::string now = NowText();
    db.Execute("INSERT INTO JOB_STATUS (JOB_NO, SUB_JOB_NO, STATUS, MESSAGE, REPORT_TIME, SOURCE, CREATE_TIME) "
               "VALUES (?, NULL, 'REPORTED', ?, ?, 'UpdateStatus1', ?)",
               {jobNo, messages, reported, now});
    db.Execute("UPDATE JOB_REQUEST SET STATUS = 'REPORTED', STATUS_TIME = ? WHERE JOB_NO = ?", {now, jobNo});
    transaction.Commit();
    return Variant();
}

}  // namespace appserver
