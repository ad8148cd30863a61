#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/ServerDoubles.h"

using com::OleCall;
using com::OleGet;
using com::OleSet;
using kpatest::CallLog;
using kpatest::FakeAppServer;
using kpatest::FakeManager;
using rtl::Variant;

namespace {

class ServerDoubles : public ::testing::Test {
protected:
    std::shared_ptr<CallLog> log_ = std::make_shared<CallLog>();
    std::shared_ptr<FakeManager> manager_ = std::make_shared<FakeManager>(log_);
    std::shared_ptr<FakeAppServer> server_ = std::make_shared<FakeAppServer>(log_);
    Variant manager = com::DispatchVariant(manager_);
    Variant appServer = com::DispatchVariant(server_);
};

TEST_F(ServerDoubles, ManagerHandsOutItsServicesAndEveryCallIsLogged) {
    const Variant counter = OleCall(manager, "Com_Counter");
    const Variant validator = OleGet(manager, "com_validator");
    const Variant lookup = OleCall(manager, "Com_F2Window");
    EXPECT_EQ(counter.AsDispatch(), std::static_pointer_cast<com::IDispatch>(manager_->Counter()));
    EXPECT_EQ(validator.AsDispatch(), std::static_pointer_cast<com::IDispatch>(manager_->Validator()));
    EXPECT_EQ(lookup.AsDispatch(), std::static_pointer_cast<com::IDispatch>(manager_->LookupWindow()));
    OleCall(lookup, "GetPhrase", {"U01", "DB1", 77});
    OleCall(appServer, "SQLType");
    EXPECT_EQ(log_->Names(), (std::vector<std::string>{"Manager.Com_Counter", "Manager.com_validator",
                                                       "Manager.Com_F2Window", "LookupWindow.GetPhrase",
                                                       "AppServer.SQLType"}));
    const kpatest::CallEntry phrase = log_->Last("lookupwindow", "GETPHRASE");
    ASSERT_EQ(phrase.args.size(), 3u);
    EXPECT_EQ(phrase.args[0].AsString(), "U01");
    EXPECT_EQ(phrase.args[1].AsString(), "DB1");
    EXPECT_EQ(phrase.args[2].AsInteger(), 77);
    EXPECT_TRUE(phrase.error.empty());
    EXPECT_EQ(log_->Count("Manager", "Com_Counter"), 1u);
    EXPECT_THROW(log_->Last("Manager", "GetMessage"), std::out_of_range);
}

TEST_F(ServerDoubles, ManagerAnswersMessagesAndProductID) {
    EXPECT_EQ(OleCall(manager, "GetMessage", {"E", "000013"}).AsString(), "E;000013");
    manager_->SetMessage("E", "000013", "Request failed: %s");
    EXPECT_EQ(OleCall(manager, "GetMessage", {"E", "000013"}).AsString(), "Request failed: %s");
    EXPECT_EQ(OleCall(manager, "GetMessage", {"W", "000013"}).AsString(), "W;000013");
    manager_->SetProductID(31);
    EXPECT_EQ(OleGet(manager, "ProductID").AsInteger(), 31);
    manager_->SetAnswer("GetFileList", "a.dll\x03" "b.dll");
    EXPECT_EQ(OleCall(manager, "GetFileList", {rtl::VarArrayOf({"kpab02c.dll"})}).AsString(), "a.dll\x03" "b.dll");
    EXPECT_EQ(log_->Last("Manager", "GetFileList").args[0][0].AsString(), "kpab02c.dll");
}

TEST_F(ServerDoubles, CounterServiceAnswersSystemInformationAndCounters) {
    const Variant counter = OleCall(manager, "Com_Counter");
    std::vector<Variant> company{"C01"};
    Variant empty = OleCall(counter, "GetSysInfo", company);
    EXPECT_EQ(rtl::VarArrayDimCount(empty), 2);
    EXPECT_EQ(rtl::VarArrayHighBound(empty, 2), -1);

    manager_->Counter()->SetSysInfo({{"DateFormat", 3}, {"CompanyName", "总公司"}});
    const Variant info = OleCall(counter, "GetSysInfo", company);
    ASSERT_EQ(rtl::VarArrayHighBound(info, 1), 1);
    ASSERT_EQ(rtl::VarArrayHighBound(info, 2), 1);
    EXPECT_EQ(info(0, 0).AsString(), "DateFormat");
    EXPECT_EQ(info(1, 0).AsInteger(), 3);
    EXPECT_EQ(info(0, 1).AsString(), "CompanyName");
    EXPECT_EQ(info(1, 1).AsString(), "总公司");

    manager_->Counter()->SetCounter("ResultConnectString", "Driver=SQLite3;Database=/tmp/x.db");
    std::vector<Variant> args{"RESULTCONNECTSTRING", Variant(), rtl::VarArrayOf({"C01", "DB1"})};
    EXPECT_EQ(OleCall(counter, "GetCounter", args).AsString(), "Driver=SQLite3;Database=/tmp/x.db");
    args[0] = "NOSUCHITEM";
    EXPECT_TRUE(OleCall(counter, "GetCounter", args).IsEmpty());
    EXPECT_EQ(log_->Last("CounterService", "GetCounter").args[2][1].AsString(), "DB1");
}

TEST_F(ServerDoubles, ValidatorAnswersLookUpsThroughTheResultArgument) {
    const Variant validator = OleCall(manager, "Com_Validator");
    OleSet(validator, "ProductID", 31);
    OleSet(validator, "BaseLimited", "N");
    EXPECT_EQ(manager_->Validator()->ProductID().AsInteger(), 31);
    EXPECT_EQ(OleGet(validator, "BaseLimited").AsString(), "N");

    manager_->Validator()->SetRow("ADMMB", "1", "KPAB02", {"KPAB02", "决策分析"});
    manager_->Validator()->SetRow("GENES", "2", "C01;U01", {"U01"});
    struct Case {
        const char* method;
        Variant table, query, keys;
        bool found;
        const char* firstCell;
    };
    const Case cases[] = {
        {"QueryData", "ADMMB", "1", "KPAB02", true, "KPAB02"},
        {"CheckValue", "admmb", "1", "KPAB02", true, "KPAB02"},
        {"QueryData", "ADMMB", "2", "KPAB02", false, nullptr},
        {"QueryData", "ADMMB", "1", "KPAB03", false, nullptr},
        {"QueryData", "GENES", "2", rtl::VarArrayOf({"C01", "U01"}), true, "U01"},
    };
    for (const Case& c : cases) {
        std::vector<Variant> args{c.table, c.query, "DB1", c.keys, Variant()};
        EXPECT_EQ(OleCall(validator, c.method, args).AsBoolean(), c.found) << c.method << " " << rtl::VarToStr(c.table);
        const kpatest::CallEntry e = log_->Last("Validator", c.method);
        EXPECT_TRUE(e.args[4].IsEmpty());  // recorded as passed
        if (c.found) {
            EXPECT_EQ(args[4][0].AsString(), c.firstCell);
            EXPECT_TRUE(e.argsOut[4].Identical(args[4]));
        } else {
            EXPECT_TRUE(args[4].IsEmpty());
        }
    }
    EXPECT_THROW(OleCall(validator, "QueryData", {"ADMMB", "1", "DB1", "KPAB02"}), com::EOleSysError);
}

TEST_F(ServerDoubles, MembersToldToFailRaiseAndAreLoggedAsFailed) {
    const Variant validator = OleCall(manager, "Com_Validator");
    struct Case {
        std::shared_ptr<kpatest::RecordingObject> object;
        const char* member;
        std::function<void()> call;
    };
    const Case cases[] = {
        {manager_, "Com_Counter", [&] { OleCall(manager, "COM_COUNTER"); }},
        {manager_, "Com_Validator", [&] { OleCall(manager, "Com_Validator"); }},
        {manager_, "Com_F2Window", [&] { OleCall(manager, "Com_F2Window"); }},
        {manager_, "ProductID", [&] { OleGet(manager, "ProductID"); }},
        {manager_->Validator(), "ProductID", [&] { OleSet(validator, "ProductID", 1); }},
        {server_, "Request", [&] { OleCall(appServer, "Request", {rtl::VarArrayOf({1, 2})}); }},
        {server_, "ExecSvrDLL", [&] { OleCall(appServer, "ExecSvrDLL"); }},
    };
    for (const Case& c : cases) {
        c.object->FailOn(c.member);
        try {
            c.call();
            ADD_FAILURE() << c.member << " did not fail";
        } catch (const com::EOleException& e) {
            EXPECT_EQ(e.Message(), c.object->ObjectName() + "." + c.member + " failed");
        }
        EXPECT_EQ(log_->Last(c.object->ObjectName(), c.member).error, c.object->ObjectName() + "." + c.member + " failed");
        c.object->Succeed(c.member);
        EXPECT_NO_THROW(c.call()) << c.member;
        EXPECT_TRUE(log_->Last(c.object->ObjectName(), c.member).error.empty());
    }
    server_->FailOn("Request", "socket closed");
    EXPECT_THROW(OleCall(appServer, "Request"), com::EOleException);
    EXPECT_EQ(log_->Last("AppServer", "Request").error, "socket closed");
    // Unknown members are logged too, with the automation error.
    EXPECT_THROW(OleCall(appServer, "Reqest"), com::EOleError);
    EXPECT_EQ(log_->Last("AppServer", "Reqest").error, "Method 'Reqest' not supported by automation object");
}

TEST_F(ServerDoubles, AppServerAnswersAsSetAndScriptsWriteBack) {
    const char* members[] = {"LoadTable", "InsertConTable", "DeleteConTable", "ChangeConName", "SQLType", "GetPower",
                             "Request", "Request1", "ErrorDescript", "ExecSvrDLL", "UpdateStatus1"};
    for (const char* m : members) EXPECT_TRUE(OleCall(appServer, m).IsEmpty()) << m;
    for (const char* m : members) server_->SetAnswer(m, std::string(m) + " answer");
    for (const char* m : members) EXPECT_EQ(OleCall(appServer, m).AsString(), std::string(m) + " answer");

    // ExecSvrDLL takes the job number by reference; a script shows the write-back to the caller.
    server_->SetScript("ExecSvrDLL", [](std::vector<Variant>& args) {
        args[0] = rtl::VarToStr(args[0]) + "-done";
        return Variant();
    });
    std::vector<Variant> args{"2024000100000001", "KPAB02"};
    OleCall(appServer, "ExecSvrDLL", args);
    EXPECT_EQ(args[0].AsString(), "2024000100000001-done");
    const kpatest::CallEntry e = log_->Last("AppServer", "ExecSvrDLL");
    EXPECT_EQ(e.args[0].AsString(), "2024000100000001");
    EXPECT_EQ(e.argsOut[0].AsString(), "2024000100000001-done");
    EXPECT_EQ(e.args[1].AsString(), "KPAB02");
}

TEST_F(ServerDoubles, ArgumentsAreRecordedAsDeepCopies) {
    std::vector<Variant> args{rtl::VarArrayOf({"U01", "KPAB02"})};
    OleCall(appServer, "LoadTable", args);
    args[0][0] = "changed later";
    const kpatest::CallEntry e = log_->Last("AppServer", "LoadTable");
    EXPECT_EQ(e.args[0][0].AsString(), "U01");
    EXPECT_EQ(e.argsOut[0][0].AsString(), "U01");
}

}  // namespace
