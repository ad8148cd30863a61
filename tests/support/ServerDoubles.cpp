#include "ServerDoubles.h"

#include <stdexcept>

#include "platform/rtl/SysUtils.h"

namespace kpatest {

// ---- CallLog ------------------------------------------------------------------------------

std::vector<CallEntry> CallLog::Calls(std::string_view object, std::string_view member) const {
    std::vector<CallEntry> found;
    for (const CallEntry& e : entries_) {
        if (rtl::SameText(e.object, object) && rtl::SameText(e.member, member)) found.push_back(e);
    }
    return found;
}

CallEntry CallLog::Last(std::string_view object, std::string_view member) const {
    const std::vector<CallEntry> calls = Calls(object, member);
    if (calls.empty()) throw std::out_of_range("no call of " + std::string(object) + "." + std::string(member));
    return calls.back();
}

std::vector<std::string> CallLog::Names() const {
    std::vector<std::string> names;
    for (const CallEntry& e : entries_) names.push_back(e.object + "." + e.member);
    return names;
}

// ---- RecordingObject ----------------------------------------------------------------------

RecordingObject::RecordingObject(std::string name, std::shared_ptr<CallLog> log)
    : name_(std::move(name)), log_(std::move(log)) {}

rtl::Variant RecordingObject::Invoke(std::string_view name, com::InvokeKind kind, std::vector<rtl::Variant>& args) {
    const size_t index = log_->Add(CallEntry{name_, std::string(name), kind, args, {}, {}});
    auto finish = [&](std::string error) {
        CallEntry& e = log_->At(index);
        e.argsOut = args;
        e.error = std::move(error);
    };
    try {
        if (auto f = failures_.find(rtl::UpperCase(name)); f != failures_.end()) throw com::EOleException(f->second);
        rtl::Variant result = com::DispatchObject::Invoke(name, kind, args);
        finish({});
        return result;
    } catch (const std::exception& e) {
        finish(e.what());
        throw;
    }
}

void RecordingObject::FailOn(std::string_view member, std::string message) {
    if (message.empty()) message = name_ + "." + std::string(member) + " failed";
    failures_[rtl::UpperCase(member)] = std::move(message);
}

void RecordingObject::Succeed(std::string_view member) { failures_.erase(rtl::UpperCase(member)); }

void RecordingObject::SetAnswer(std::string_view member, rtl::Variant value) {
    answers_[rtl::UpperCase(member)] = std::move(value);
}

void RecordingObject::SetScript(std::string_view member, Script script) {
    scripts_[rtl::UpperCase(member)] = std::move(script);
}

void RecordingObject::AnsweringMethod(std::string_view member) {
    const std::string key = rtl::UpperCase(member);
    Method(member, [this, key](std::vector<rtl::Variant>& args) -> rtl::Variant {
        if (auto s = scripts_.find(key); s != scripts_.end() && s->second) return s->second(args);
        auto a = answers_.find(key);
        return a == answers_.end() ? rtl::Variant() : a->second;
    });
}

// ---- FakeCounterService -------------------------------------------------------------------

FakeCounterService::FakeCounterService(std::shared_ptr<CallLog> log) : RecordingObject("CounterService", std::move(log)) {
    Method("GetSysInfo", [this](std::vector<rtl::Variant>& args) {
        com::RequireArgs(args, 1);
        const int n = static_cast<int>(sysInfo_.size());
        rtl::Variant info = rtl::VarArrayCreate(0, 1, 0, n - 1);
        for (int i = 0; i < n; ++i) {
            info(0, i) = sysInfo_[i].first;
            info(1, i) = sysInfo_[i].second;
        }
        return info;
    });
    Method("GetCounter", [this](std::vector<rtl::Variant>& args) {
        com::RequireArgs(args, 3);
        auto c = counters_.find(rtl::UpperCase(rtl::VarToStr(args[0])));
        return c == counters_.end() ? rtl::Variant() : c->second;
    });
}

void FakeCounterService::SetCounter(std::string_view name, rtl::Variant value) {
    counters_[rtl::UpperCase(name)] = std::move(value);
}

// ---- FakeValidator ------------------------------------------------------------------------

namespace {
std::string RowKey(std::string_view table, std::string_view query, std::string_view keyText) {
    // The unit separator cannot occur in a table name or query number.
    return rtl::UpperCase(table) + '\x1f' + std::string(query) + '\x1f' + std::string(keyText);
}
}  // namespace

FakeValidator::FakeValidator(std::shared_ptr<CallLog> log) : RecordingObject("Validator", std::move(log)) {
    Property("ProductID", [this] { return productId_; }, [this](const rtl::Variant& v) { productId_ = v; });
    Property("BaseLimited", [this] { return baseLimited_; }, [this](const rtl::Variant& v) { baseLimited_ = v; });
    Method("QueryData", [this](std::vector<rtl::Variant>& args) { return Look(args); });
    Method("CheckValue", [this](std::vector<rtl::Variant>& args) { return Look(args); });
}

std::string FakeValidator::KeyText(const rtl::Variant& keys) {
    if (!keys.IsArray()) return rtl::VarToStr(keys);
    std::string text;
    const auto& items = keys.Arr().Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) text += ';';
        text += rtl::VarToStr(items[i]);
    }
    return text;
}

void FakeValidator::SetRow(std::string_view table, std::string_view query, std::string_view keyText,
                           std::vector<rtl::Variant> row) {
    rows_[RowKey(table, query, keyText)] = rtl::VarArrayOf(std::move(row));
}

rtl::Variant FakeValidator::Look(std::vector<rtl::Variant>& args) {
    com::RequireArgs(args, 5);
    auto r = rows_.find(RowKey(rtl::VarToStr(args[0]), rtl::VarToStr(args[1]), KeyText(args[3])));
    if (r == rows_.end()) return false;  // the result argument is left as it came
    args[4] = r->second;
    return true;
}

// ---- FakeLookupWindow ---------------------------------------------------------------------

FakeLookupWindow::FakeLookupWindow(std::shared_ptr<CallLog> log) : RecordingObject("LookupWindow", std::move(log)) {
    for (const char* member : {"F2GetData", "ShowInputDay", "GetPhrase"}) AnsweringMethod(member);
}

// ---- FakeManager --------------------------------------------------------------------------

FakeManager::FakeManager(std::shared_ptr<CallLog> log)
    : RecordingObject("Manager", log),
      counter_(std::make_shared<FakeCounterService>(log)),
      validator_(std::make_shared<FakeValidator>(log)),
      lookup_(std::make_shared<FakeLookupWindow>(log)) {
    Method("Com_Counter", [this](std::vector<rtl::Variant>&) { return com::DispatchVariant(counter_); });
    Method("Com_Validator", [this](std::vector<rtl::Variant>&) { return com::DispatchVariant(validator_); });
    Method("Com_F2Window", [this](std::vector<rtl::Variant>&) { return com::DispatchVariant(lookup_); });
    Property("ProductID", [this] { return productId_; });
    Method("GetMessage", [this](std::vector<rtl::Variant>& args) {
        com::RequireArgs(args, 2);
        const std::string type = rtl::VarToStr(args[0]);
        const std::string number = rtl::VarToStr(args[1]);
        auto m = messages_.find({type, number});
        return rtl::Variant(m == messages_.end() ? type + ";" + number : m->second);
    });
    AnsweringMethod("CallHelp");
    AnsweringMethod("GetFileList");
}

void FakeManager::SetMessage(std::string_view type, std::string_view number, std::string text) {
    messages_[{std::string(type), std::string(number)}] = std::move(text);
}

// ---- FakeAppServer ------------------------------------------------------------------------

FakeAppServer::FakeAppServer(std::shared_ptr<CallLog> log) : RecordingObject("AppServer", std::move(log)) {
    for (const char* member : {"LoadTable", "InsertConTable", "DeleteConTable", "ChangeConName", "SQLType", "GetPower",
                               "Request", "Request1", "ErrorDescript", "ExecSvrDLL", "UpdateStatus1"}) {
        AnsweringMethod(member);
    }
}

}  // namespace kpatest
