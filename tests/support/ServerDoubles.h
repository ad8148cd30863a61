// Recording test doubles of the manager object, its three services and the application server,
// so that module tests run without a host. Every double writes every call into one shared
// CallLog; answers and failures are set by the test.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/ComObj.h"

namespace kpatest {

struct CallEntry {
    std::string object;                 // "Manager", "CounterService", "Validator", "LookupWindow", "AppServer"
    std::string member;                 // as the caller spelled it
    com::InvokeKind kind = com::InvokeKind::Method;
    std::vector<rtl::Variant> args;     // as passed, deep copies
    std::vector<rtl::Variant> argsOut;  // as the callee left them: the by-reference write-backs
    std::string error;                  // the message raised; empty when the call succeeded
};

class CallLog {
public:
    // Answers the entry's index; a call is entered before it runs, so that calls it makes follow it.
    size_t Add(CallEntry entry) {
        entries_.push_back(std::move(entry));
        return entries_.size() - 1;
    }
    CallEntry& At(size_t index) { return entries_.at(index); }
    void Clear() { entries_.clear(); }
    const std::vector<CallEntry>& Entries() const { return entries_; }
    // The calls of one member (names compare without regard to case), in call order.
    std::vector<CallEntry> Calls(std::string_view object, std::string_view member) const;
    size_t Count(std::string_view object, std::string_view member) const { return Calls(object, member).size(); }
    // The last call of a member; raises std::out_of_range when there was none.
    CallEntry Last(std::string_view object, std::string_view member) const;
    // "Object.Member" of every call, in call order.
    std::vector<std::string> Names() const;

private:
    std::vector<CallEntry> entries_;
};

// The base of the doubles. Members registered with AnsweringMethod answer a settable value, or
// run a script set by the test (for by-reference write-backs); any member can be told to fail.
class RecordingObject : public com::DispatchObject {
public:
    using Script = std::function<rtl::Variant(std::vector<rtl::Variant>& args)>;

    rtl::Variant Invoke(std::string_view name, com::InvokeKind kind, std::vector<rtl::Variant>& args) override;

    const std::string& ObjectName() const { return name_; }
    const std::shared_ptr<CallLog>& Log() const { return log_; }

    // The member raises com::EOleException(message) until Succeed is called.
    void FailOn(std::string_view member, std::string message = "");
    void Succeed(std::string_view member);
    void SetAnswer(std::string_view member, rtl::Variant value);
    void SetScript(std::string_view member, Script script);

protected:
    RecordingObject(std::string name, std::shared_ptr<CallLog> log);
    void AnsweringMethod(std::string_view member);

private:
    std::string name_;
    std::shared_ptr<CallLog> log_;
    std::map<std::string, std::string> failures_;  // keyed by the upper-case member name
    std::map<std::string, rtl::Variant> answers_;
    std::map<std::string, Script> scripts_;
};

// Counter service: GetSysInfo(company by ref), GetCounter(name, keys by ref, [company, database]).
class FakeCounterService : public RecordingObject {
public:
    explicit FakeCounterService(std::shared_ptr<CallLog> log);
    // The (name, value) pairs GetSysInfo answers as the array [0..1, 0..n-1].
    void SetSysInfo(std::vector<std::pair<std::string, rtl::Variant>> items) { sysInfo_ = std::move(items); }
    // GetCounter answers by item name (without regard to case); an unknown item answers empty.
    void SetCounter(std::string_view name, rtl::Variant value);

private:
    std::vector<std::pair<std::string, rtl::Variant>> sysInfo_;
    std::map<std::string, rtl::Variant> counters_;
};

// Validator: properties ProductID and BaseLimited; QueryData and CheckValue with the by-reference
// arguments (table, query, database, keys, result) answering from one settable table.
class FakeValidator : public RecordingObject {
public:
    explicit FakeValidator(std::shared_ptr<CallLog> log);
    // The row answered for (table, query, key text); tables compare without regard to case.
    void SetRow(std::string_view table, std::string_view query, std::string_view keyText, std::vector<rtl::Variant> row);
    // The key text of a keys argument: a scalar's text, an array's element texts joined by ";".
    static std::string KeyText(const rtl::Variant& keys);
    const rtl::Variant& ProductID() const { return productId_; }
    const rtl::Variant& BaseLimited() const { return baseLimited_; }

private:
    rtl::Variant Look(std::vector<rtl::Variant>& args);
    rtl::Variant productId_;
    rtl::Variant baseLimited_;
    std::map<std::string, rtl::Variant> rows_;  // keyed by upper-case table, query and key text
};

// Lookup window: F2GetData, ShowInputDay, GetPhrase answering settable values (empty at first).
class FakeLookupWindow : public RecordingObject {
public:
    explicit FakeLookupWindow(std::shared_ptr<CallLog> log);
};

// The manager: its three services, ProductID, the message catalogue, CallHelp and GetFileList.
class FakeManager : public RecordingObject {
public:
    explicit FakeManager(std::shared_ptr<CallLog> log = std::make_shared<CallLog>());

    const std::shared_ptr<FakeCounterService>& Counter() const { return counter_; }
    const std::shared_ptr<FakeValidator>& Validator() const { return validator_; }
    const std::shared_ptr<FakeLookupWindow>& LookupWindow() const { return lookup_; }

    void SetProductID(rtl::Variant id) { productId_ = std::move(id); }
    // GetMessage(type, number) answers this text; unset messages answer "<type>;<number>".
    void SetMessage(std::string_view type, std::string_view number, std::string text);

private:
    std::shared_ptr<FakeCounterService> counter_;
    std::shared_ptr<FakeValidator> validator_;
    std::shared_ptr<FakeLookupWindow> lookup_;
    rtl::Variant productId_ = 1;
    std::map<std::pair<std::string, std::string>, std::string> messages_;
};

// The application server: LoadTable, InsertConTable, DeleteConTable, ChangeConName, SQLType,
// GetPower, Request, Request1, ErrorDescript, ExecSvrDLL, UpdateStatus1, each answering a
// settable value (empty at first).
class FakeAppServer : public RecordingObject {
public:
    explicit FakeAppServer(std::shared_ptr<CallLog> log = std::make_shared<CallLog>());
};

}  // namespace kpatest
