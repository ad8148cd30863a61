#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/com/ComObj.h"
#include "platform/data/DB.h"
#include "platform/data/DBClient.h"
#include "platform/data/ObjBrkr.h"
#include "platform/data/SConnect.h"
#include "platform/os/DynLibs.h"
#include "platform/os/Environment.h"
#include "support/Fixtures.h"

using data::TClientDataSet;
using data::TDataSetState;
using data::TField;
using data::TFieldType;
using data::TSocketConnection;
using rtl::Variant;

namespace {

// The message of the rtl::Exception that `call` raises; "(no exception)" when it raises none.
std::string MessageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const rtl::Exception& e) {
        return e.Message();
    }
    return "(no exception)";
}

// A variant written out with its types, so that deltas compare readably.
std::string Show(const Variant& v) {
    switch (v.Type()) {
        case rtl::VarType::Empty: return "Empty";
        case rtl::VarType::Null: return "Null";
        case rtl::VarType::Array: {
            std::string s = "[";
            for (const Variant& item : v.Arr().Items()) s += (s.size() > 1 ? ", " : "") + Show(item);
            return s + "]";
        }
        case rtl::VarType::String:
        case rtl::VarType::OleStr: return "'" + v.AsString() + "'";
        default: return std::string(rtl::VarTypeName(v.Type())) + ":" + v.AsString();
    }
}

Variant Arr(std::initializer_list<Variant> items) { return rtl::VarArrayOf(items); }

// An application server answering the record protocol from a fixed packet, recording what it
// is asked. `refuse` decides which changes of a delta it turns down.
class FakeProvider : public com::DispatchObject {
public:
    explicit FakeProvider(Variant packet) : packet(std::move(packet)) {
        Method("AS_GetRecords", [this](std::vector<Variant>& args) {
            com::RequireArgs(args, 1);
            requests.push_back(rtl::VarToStr(args[0]));
            if (rtl::VarToStr(args[0]) != "pvdConSave") throw com::EOleException("Provider not exported: " + rtl::VarToStr(args[0]));
            return this->packet;
        });
        Method("AS_ApplyUpdates", [this](std::vector<Variant>& args) {
            com::RequireArgs(args, 4);
            deltas.push_back(args[1]);
            maxErrors.push_back(args[2].AsInteger());
            if (silentErrors > 0) return Variant(silentErrors);
            std::vector<Variant> errors;
            const auto& delta = args[1].Arr().Items();
            for (size_t i = 1; i < delta.size(); ++i) {
                if (refuse && refuse(delta[i])) errors.push_back(Arr({static_cast<int>(i), "refused"}));
            }
            const int count = static_cast<int>(errors.size());
            if (count > 0) args[3] = rtl::VarArrayOf(std::move(errors));
            return Variant(count);
        });
    }
    Variant packet;
    std::vector<std::string> requests;
    std::vector<Variant> deltas;
    std::vector<int> maxErrors;
    std::function<bool(const Variant& change)> refuse;
    int silentErrors = 0;  // answer this count without saying which changes failed
};

Variant ConditionPacket() {
    return Arr({Arr({"NCONDITION", "SCONDITION", "VCONDITION", "CREATE_DATE", "CREATOR", "PROGRAMME"}),
                Arr({"ftString", "ftMemo", "ftMemo", "ftString", "ftString", "ftString"}),
                Arr({"月报", "edA.Text;", "1\r\n", "20240301", "U01", "KPAB02"}),
                Arr({"beta", "edA.Text;", "2\r\n", "20240302", "U02", "KPAB02"}),
                Arr({"Alpha", "edA.Text;", "3\r\n", "20240303", "U02", "KPAB02"}),
                Arr({"Alpha", "edA.Text;", "4\r\n", "20240304", "U01", "KPAB02"})});
}

Variant NumberPacket() {
    return Arr({Arr({"ID", "NAME"}), Arr({"ftInteger", "ftString"}), Arr({1, "one"}), Arr({2, "two"}), Arr({3, "three"})});
}

std::string TestBinFolder() {
    std::string dir = os::GetEnv("KPA_TEST_BIN_DIR");
    if (dir.empty()) return os::GetExecutableFolder();
    if (dir.back() != '/') dir += '/';
    return dir;
}

// Puts the test server library's application server into a temporary registry.
class RegisteredTestServer {
public:
    RegisteredTestServer() {
        registry_.SetRawText("Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CLASSES_ROOT\\KpaTest.AppServer\\InprocServer32]\r\n@=\"" +
                             TestBinFolder() + "KpaTestServer.dll\"\r\n\r\n"
                             "[HKEY_CLASSES_ROOT\\CLSID\\{0E2A9C3B-5D41-4C7E-9B8F-1A2B3C4D5E6F}\\ProgID]\r\n"
                             "@=\"KpaTest.AppServer\"\r\n\r\n");
    }

private:
    kpatest::ScopedRegistry registry_;
};

// A network transport for the seam: records where it was sent, refuses the listed computers.
struct TransportLog {
    std::vector<std::string> connects;
    int disconnects = 0;
    std::set<std::string> refused;
};

class RecordingTransport : public data::ISocketTransport {
public:
    explicit RecordingTransport(std::shared_ptr<TransportLog> log) : log_(std::move(log)) {}
    Variant Connect(const std::string& address, int port, const std::string& serverName, const std::string&) override {
        log_->connects.push_back(address + ":" + std::to_string(port) + "/" + serverName);
        if (log_->refused.count(address)) throw data::ESocketConnectionError("refused by " + address);
        return com::DispatchVariant(std::make_shared<FakeProvider>(ConditionPacket()));
    }
    void Disconnect() noexcept override { ++log_->disconnects; }

private:
    std::shared_ptr<TransportLog> log_;
};

class ScopedTransport {
public:
    explicit ScopedTransport(data::SocketTransportFactory f) : old_(data::SetSocketTransportFactory(std::move(f))) {}
    ~ScopedTransport() { data::SetSocketTransportFactory(old_); }

private:
    data::SocketTransportFactory old_;
};

// A form-like owner with the connection, the broker and the dataset, named as the base form names them.
class DataTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = new ui::TComponent(nullptr);
        conn_ = new TSocketConnection(owner_);
        conn_->SetName("MainMidas");
        broker_ = new data::TSimpleObjectBroker(owner_);
        broker_->SetName("ObjBroker");
        ds_ = new TClientDataSet(owner_);
        ds_->SetName("ClientDataSet1");
    }
    void TearDown() override { owner_->Free(); }

    // An in-memory condition table: NCONDITION, CREATOR, PROGRAMME, SEQ.
    void CreateConditions() {
        ds_->FieldDefs()->Add("NCONDITION", TFieldType::ftString, 40);
        ds_->FieldDefs()->Add("CREATOR", TFieldType::ftString, 10);
        ds_->FieldDefs()->Add("PROGRAMME", TFieldType::ftString, 10);
        ds_->FieldDefs()->Add("SEQ", TFieldType::ftInteger);
        ds_->CreateDataSet();
        Fill({{"Alpha", "U01", "KPAB02", 1},
              {"beta", "U02", "KPAB02", 2},
              {"Alpha", "U02", "KPAB02", 3},
              {"月报", "U01", "KPAB02", 4},
              {Variant::Null(), "U03", "KPAB02", 5}});
        ds_->First();
    }
    void Fill(const std::vector<std::vector<Variant>>& rows) {
        for (const auto& row : rows) {
            ds_->Append();
            for (size_t i = 0; i < row.size(); ++i) ds_->Fields(static_cast<int>(i))->SetAsVariant(row[i]);
            ds_->Post();
        }
    }
    // The field's texts from first to last record, comma-separated.
    std::string Column(const char* field) {
        std::string out;
        for (ds_->First(); !ds_->Eof(); ds_->Next()) out += (out.empty() ? "" : ",") + ds_->FieldByName(field)->AsString();
        return out;
    }
    std::shared_ptr<FakeProvider> OpenFromProvider(Variant packet) {
        auto provider = std::make_shared<FakeProvider>(std::move(packet));
        conn_->SetAppServer(com::DispatchVariant(provider));
        ds_->SetRemoteServer(conn_);
        ds_->SetProviderName("pvdConSave");
        ds_->Open();
        return provider;
    }

    ui::TComponent* owner_ = nullptr;
    TSocketConnection* conn_ = nullptr;
    data::TSimpleObjectBroker* broker_ = nullptr;
    TClientDataSet* ds_ = nullptr;
};

// ---- Connection ----------------------------------------------------------------------------------

TEST_F(DataTest, ConnectionPublishesTheClassLibrarysProperties) {
    struct Case {
        ui::TObject* object;
        const char* property;
        const char* text;
    };
    const Case cases[] = {
        {conn_, "Port", "211"},          {conn_, "SupportCallbacks", "True"}, {conn_, "Connected", "False"},
        {conn_, "Address", ""},          {conn_, "ObjectBroker", ""},         {broker_, "LoadBalanced", "False"},
        {ds_, "Active", "False"},        {ds_, "ProviderName", ""},           {ds_, "Filtered", "False"},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::GetPropText(c.object, c.property), c.text) << c.property;
    for (const char* name : {"AfterConnect", "AfterDisconnect", "BeforeConnect", "BeforeDisconnect", "Host", "ServerGUID", "ServerName"}) {
        EXPECT_TRUE(ui::IsPublishedProp(conn_, name)) << name;
    }
    EXPECT_TRUE(conn_->InheritsFrom("TCustomRemoteServer"));

    // Address and Host are one setting written two ways.
    conn_->SetHost("appsrv");
    conn_->SetAddress("10.0.0.5");
    EXPECT_EQ(conn_->Host(), "");
    conn_->SetHost("appsrv");
    EXPECT_EQ(conn_->Address(), "");

    ui::SetObjectProp(conn_, "ObjectBroker", broker_);
    EXPECT_EQ(conn_->ObjectBroker(), broker_);
    ui::SetObjectProp(ds_, "RemoteServer", conn_);
    EXPECT_EQ(ds_->RemoteServer(), conn_);
    EXPECT_EQ(MessageOf([&] { conn_->SetServerGUID("not-a-guid"); }), "'not-a-guid' is not a valid GUID value");

    // Freed partners are forgotten.
    broker_->Free();
    EXPECT_EQ(conn_->ObjectBroker(), nullptr);
    conn_->Free();
    EXPECT_EQ(ds_->RemoteServer(), nullptr);
}

TEST_F(DataTest, LocalAddressCreatesTheServerInProcess) {
    RegisteredTestServer server;
    std::vector<std::string> events;
    conn_->BeforeConnect = ui::TNotifyEvent::Lambda([&](ui::TObject*) { events.push_back("BeforeConnect"); });
    conn_->AfterConnect = ui::TNotifyEvent::Lambda([&](ui::TObject*) { events.push_back("AfterConnect"); });
    conn_->AfterDisconnect = ui::TNotifyEvent::Lambda([&](ui::TObject*) { events.push_back("AfterDisconnect"); });
    struct Case {
        const char* address;
        const char* serverName;
        const char* serverGUID;
    };
    const Case cases[] = {
        {"127.0.0.1", "KpaTest.AppServer", ""},
        {"LocalHost", "kpatest.appserver", ""},
        {"127.0.0.1", "", "{0E2A9C3B-5D41-4C7E-9B8F-1A2B3C4D5E6F}"},  // the ProgID registered for the GUID
    };
    for (const Case& c : cases) {
        events.clear();
        conn_->SetServerName(c.serverName);
        conn_->SetServerGUID(c.serverGUID);
        conn_->SetAddress(c.address);
        conn_->Open();
        ASSERT_TRUE(conn_->Connected()) << c.address;
        EXPECT_EQ(rtl::VarArrayHighBound(com::OleCall(conn_->AppServer(), "AS_GetRecords", {"pvdTest"}), 1), 3);
        conn_->Close();
        EXPECT_FALSE(conn_->Connected());
        EXPECT_TRUE(conn_->AppServer().IsEmpty());
        EXPECT_EQ(events, (std::vector<std::string>{"BeforeConnect", "AfterConnect", "AfterDisconnect"}));
    }

    // Connected set while the form loads takes effect when loading ends.
    conn_->BeginLoading();
    ui::SetPropText(conn_, "Connected", "True");
    EXPECT_FALSE(conn_->Connected());
    conn_->EndLoading();
    EXPECT_TRUE(conn_->Connected());
}

TEST_F(DataTest, OpenFailuresLeaveTheConnectionClosed) {
    RegisteredTestServer server;
    int afterConnect = 0;
    conn_->AfterConnect = ui::TNotifyEvent::Lambda([&](ui::TObject*) { ++afterConnect; });
    struct Case {
        const char* address;
        int port;
        const char* serverName;
        const char* message;
    };
    const Case cases[] = {
        {"10.1.2.3", 211, "KpaTest.AppServer", "Unable to connect to 10.1.2.3:211: the network transport is not available"},
        {"appsrv", 4000, "KpaTest.AppServer", "Unable to connect to appsrv:4000: the network transport is not available"},
        {"127.0.0.1", 211, "", "Cannot connect, MainMidas must contain a valid ServerName or ServerGUID"},
        {"", 211, "KpaTest.AppServer", "No address or host set"},
        {"127.0.0.1", 211, "KpaTest.Nobody", "Invalid class string"},
    };
    for (const Case& c : cases) {
        conn_->SetAddress(c.address);
        conn_->SetPort(c.port);
        conn_->SetServerName(c.serverName);
        EXPECT_EQ(MessageOf([&] { conn_->Open(); }), c.message);
        EXPECT_FALSE(conn_->Connected()) << c.message;
    }
    EXPECT_EQ(afterConnect, 0);
    // The remote failure has its own class, so that callers can tell it apart.
    conn_->SetAddress("10.1.2.3");
    conn_->SetServerName("KpaTest.AppServer");
    EXPECT_THROW(conn_->Open(), data::ESocketConnectionError);
}

TEST_F(DataTest, AHandedServerMakesTheConnectionConnected) {
    int events = 0;
    conn_->AfterConnect = ui::TNotifyEvent::Lambda([&](ui::TObject*) { ++events; });
    auto provider = std::make_shared<FakeProvider>(ConditionPacket());
    conn_->SetAddress("127.0.0.1");
    conn_->SetAppServer(com::DispatchVariant(provider));
    EXPECT_TRUE(conn_->Connected());
    EXPECT_EQ(events, 0);
    EXPECT_EQ(conn_->GetServer().AsDispatch().get(), provider.get());
    conn_->Close();
    EXPECT_TRUE(conn_->AppServer().IsEmpty());
    EXPECT_EQ(provider.use_count(), 1);
    EXPECT_EQ(MessageOf([&] { conn_->SetAppServer(Variant("server")); }), "Variant does not reference an automation object");
    EXPECT_FALSE(conn_->Connected());
}

TEST_F(DataTest, TheNetworkTransportSlotsInBehindTheConnection) {
    auto log = std::make_shared<TransportLog>();
    ScopedTransport transport([log] { return std::make_unique<RecordingTransport>(log); });
    conn_->SetHost("appsrv");
    conn_->SetPort(3000);
    conn_->SetServerName("Suite.Server");
    conn_->Open();
    EXPECT_EQ(log->connects, (std::vector<std::string>{"appsrv:3000/Suite.Server"}));
    ASSERT_TRUE(conn_->Connected());
    // A dataset reaches the provider through it as through the in-process server.
    ds_->SetRemoteServer(conn_);
    ds_->SetProviderName("pvdConSave");
    ds_->Open();
    EXPECT_EQ(ds_->RecordCount(), 4);
    conn_->Close();
    EXPECT_EQ(log->disconnects, 1);

    // With a broker, computers that refuse are marked and the next one is tried on its own port.
    broker_->Servers()->Add("a", 4000);
    broker_->Servers()->Add("b", 4001);
    conn_->SetObjectBroker(broker_);
    log->connects.clear();
    log->refused = {"a"};
    conn_->Open();
    EXPECT_EQ(log->connects, (std::vector<std::string>{"a:4000/Suite.Server", "b:4001/Suite.Server"}));
    EXPECT_TRUE(broker_->Servers()->FindServer("A")->HasFailed());
    conn_->Close();

    // When every computer refuses, the last refusal is reported; then the broker has none left.
    log->refused = {"a", "b"};
    broker_->Servers()->FindServer("a")->SetHasFailed(false);
    EXPECT_EQ(MessageOf([&] { conn_->Open(); }), "refused by b");
    EXPECT_EQ(MessageOf([&] { conn_->Open(); }), "No servers available");
    EXPECT_FALSE(conn_->Connected());
}

TEST_F(DataTest, TheSimpleBrokerOffersAvailableComputers) {
    data::TServerCollection* servers = broker_->Servers();
    EXPECT_EQ(MessageOf([&] { broker_->GetComputerForProgID("X"); }), "No servers available");
    servers->Add("off", 211, false);
    servers->Add("down");
    servers->Add("up1", 5000);
    servers->Add("up2");
    broker_->SetConnectStatus("DOWN", false);
    EXPECT_EQ(broker_->GetComputerForProgID("X"), "up1");
    EXPECT_EQ(broker_->GetComputerForGUID("{0E2A9C3B-5D41-4C7E-9B8F-1A2B3C4D5E6F}"), "up1");
    EXPECT_EQ(broker_->GetPortForComputer("up1"), 5000);
    EXPECT_EQ(broker_->GetPortForComputer("nowhere"), 0);

    broker_->SetLoadBalanced(true);
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) seen.insert(broker_->GetComputerForProgID("X"));
    EXPECT_EQ(seen, (std::set<std::string>{"up1", "up2"}));

    broker_->SetConnectStatus("down", true);
    servers->Delete(2);
    servers->Delete(2);
    EXPECT_EQ(broker_->GetComputerForProgID("X"), "down");
}

// ---- Dataset: navigation, fields, editing --------------------------------------------------------

TEST_F(DataTest, NavigationFollowsTheClassLibrarysCursor) {
    CreateConditions();
    int scrolls = 0;
    ds_->AfterScroll = data::TDataSetNotifyEvent::Lambda([&](data::TDataSet*) { ++scrolls; });
    struct Step {
        std::function<void()> move;
        int recNo;
        bool bof, eof;
    };
    const Step steps[] = {
        {[&] { ds_->First(); }, 1, true, false},   {[&] { ds_->Next(); }, 2, false, false},
        {[&] { ds_->Last(); }, 5, false, true},    {[&] { ds_->Next(); }, 5, false, true},
        {[&] { ds_->Prior(); }, 4, false, false},  {[&] { EXPECT_EQ(ds_->MoveBy(-9), -3); }, 1, true, false},
        {[&] { ds_->SetRecNo(3); }, 3, false, false}, {[&] { ds_->SetRecNo(9); }, 3, false, false},
    };
    for (const Step& s : steps) {
        s.move();
        EXPECT_EQ(ds_->RecNo(), s.recNo);
        EXPECT_EQ(ds_->Bof(), s.bof) << s.recNo;
        EXPECT_EQ(ds_->Eof(), s.eof) << s.recNo;
    }
    EXPECT_EQ(scrolls, 7);  // every move but the refused SetRecNo
    EXPECT_EQ(Column("SEQ"), "1,2,3,4,5");
    EXPECT_EQ(ds_->RecordCount(), 5);

    ds_->Close();
    for (const auto& op : std::vector<std::function<void()>>{
             [&] { ds_->First(); }, [&] { ds_->Next(); }, [&] { ds_->Edit(); }, [&] { ds_->Append(); },
             [&] { ds_->Post(); }, [&] { ds_->Delete(); }, [&] { ds_->RecordCount(); },
             [&] { ds_->Locate("SEQ", 1); }, [&] { ds_->ApplyUpdates(0); }}) {
        EXPECT_EQ(MessageOf(op), "ClientDataSet1: Cannot perform this operation on a closed dataset");
    }
    // A closed in-memory dataset has lost its records; its fields read as null.
    EXPECT_EQ(ds_->FieldByName("SEQ")->AsString(), "");
    EXPECT_EQ(MessageOf([&] { ds_->Open(); }), "ClientDataSet1: Missing data provider or data packet");
    ds_->CreateDataSet();
    EXPECT_TRUE(ds_->Bof() && ds_->Eof() && ds_->IsEmpty());
    EXPECT_EQ(ds_->RecNo(), -1);
    EXPECT_EQ(MessageOf([&] { ds_->CreateDataSet(); }), "ClientDataSet1: Cannot perform this operation on an open dataset");
}

TEST_F(DataTest, FieldsConvertAsTheClassLibrarysFieldsDo) {
    const std::pair<const char*, TFieldType> defs[] = {
        {"S", TFieldType::ftString}, {"I", TFieldType::ftInteger}, {"F", TFieldType::ftFloat},
        {"T", TFieldType::ftDateTime}, {"D", TFieldType::ftDate}, {"B", TFieldType::ftBoolean}, {"M", TFieldType::ftMemo}};
    for (const auto& [name, type] : defs) ds_->FieldDefs()->Add(name, type);
    ds_->CreateDataSet();
    auto null = [](TField* f) { return f->IsNull() ? std::string("null") : "not null: " + f->AsString(); };
    struct Case {
        const char* field;
        std::function<void(TField*)> set;
        std::function<std::string(TField*)> get;
        const char* expected;  // "!" + message when it raises
    };
    const Case cases[] = {
        {"I", [](TField* f) { f->SetAsString("42"); }, [](TField* f) { return std::to_string(f->AsInteger()); }, "42"},
        {"I", [](TField* f) { f->SetAsString("4x"); }, nullptr, "!'4x' is not a valid integer value"},
        {"I", [](TField* f) { f->SetAsFloat(2.5); }, [](TField* f) { return f->AsString(); }, "2"},
        {"I", [](TField* f) { f->SetAsFloat(3.5); }, [](TField* f) { return f->AsString(); }, "4"},
        {"I", [](TField* f) { f->SetAsVariant("17"); }, [](TField* f) { return Show(f->AsVariant()); }, "Integer:17"},
        {"I", [](TField* f) { f->SetAsVariant(Variant::Null()); }, null, "null"},
        {"I", [](TField* f) { f->AsDateTime(); }, nullptr, "!Cannot access field 'I' as type TDateTime"},
        {"S", [](TField* f) { f->SetAsInteger(7); }, [](TField* f) { return f->AsString(); }, "7"},
        {"S", [](TField* f) { f->SetAsString(""); }, null, "null"},
        {"S", [](TField* f) { f->SetAsString("12"); }, [](TField* f) { return std::to_string(f->AsInteger() + 1); }, "13"},
        {"S", [](TField* f) { f->SetAsBoolean(true); }, [](TField* f) { return f->AsString(); }, "T"},
        {"F", [](TField* f) { f->SetAsString("2.25"); }, [](TField* f) { return rtl::FloatToStr(f->AsFloat() * 2); }, "4.5"},
        {"F", [](TField* f) { f->SetAsString("abc"); }, nullptr, "!'abc' is not a valid floating point value"},
        {"T", [](TField* f) { f->SetAsString("2024/3/9 14:05:00"); }, [](TField* f) { return f->AsString(); }, "2024/3/9 14:05:00"},
        {"T", [](TField* f) { f->SetAsString("2024/2/30"); }, nullptr, "!'2024/2/30' is not a valid date and time"},
        {"D", [](TField* f) { f->SetAsDateTime(rtl::EncodeDate(2024, 3, 9)); }, [](TField* f) { return f->AsString(); }, "2024/3/9"},
        {"B", [](TField* f) { f->SetAsString("true"); }, [](TField* f) { return f->AsString(); }, "True"},
        {"B", [](TField* f) { f->SetAsInteger(1); }, nullptr, "!Cannot access field 'B' as type Integer"},
        {"M", [](TField* f) { f->SetAsString("a\r\nb"); }, [](TField* f) { return f->AsString(); }, "a\r\nb"},
    };
    for (const Case& c : cases) {
        ds_->Append();
        std::string got;
        try {
            TField* f = ds_->FieldByName(c.field);
            c.set(f);
            got = c.get ? c.get(f) : "(no exception)";
        } catch (const rtl::Exception& e) {
            got = "!" + e.Message();
        }
        EXPECT_EQ(got, c.expected) << c.field;
        ds_->Cancel();
    }

    // Errors of the dataset carry its name; errors of a field its own.
    ds_->Append();
    ds_->FieldByName("S")->SetAsString("x");
    ds_->Post();
    ds_->FieldByName("I")->SetReadOnly(true);
    ds_->FieldByName("F")->SetRequired(true);
    const std::pair<std::function<void()>, const char*> errors[] = {
        {[&] { ds_->FieldByName("NOPE"); }, "ClientDataSet1: Field 'NOPE' not found"},
        {[&] { ds_->FieldByName("S")->SetAsString("y"); }, "ClientDataSet1: Dataset not in edit or insert mode"},
        {[&] { ds_->Post(); }, "ClientDataSet1: Dataset not in edit or insert mode"},
        {[&] { ds_->Edit(); ds_->FieldByName("I")->SetAsInteger(1); }, "Field 'I' cannot be modified"},
        {[&] { ds_->Edit(); ds_->Post(); }, "Field 'F' must have a value"},
    };
    for (const auto& [call, message] : errors) {
        EXPECT_EQ(MessageOf(call), message);
        ds_->Cancel();
    }
    EXPECT_EQ(ds_->FieldByName("s")->AsString(), "x");
}

TEST_F(DataTest, EditInsertPostAndCancel) {
    CreateConditions();
    std::vector<std::string> events;
    auto log = [&](const char* name) { return data::TDataSetNotifyEvent::Lambda([&events, name](data::TDataSet*) { events.push_back(name); }); };
    ds_->BeforeEdit = log("BeforeEdit");
    ds_->BeforePost = log("BeforePost");
    ds_->AfterPost = log("AfterPost");
    ds_->AfterCancel = log("AfterCancel");
    TField* name = ds_->FieldByName("NCONDITION");

    ds_->SetRecNo(2);
    ds_->Edit();
    name->SetAsString("bb");
    EXPECT_EQ(ds_->State(), TDataSetState::dsEdit);
    EXPECT_TRUE(ds_->Modified());
    ds_->Cancel();
    EXPECT_EQ(name->AsString(), "beta");
    ds_->Edit();
    name->SetAsString("bb");
    ds_->Post();
    EXPECT_EQ(name->AsString(), "bb");
    EXPECT_EQ(ds_->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeEdit", "AfterCancel", "BeforeEdit", "BeforePost", "AfterPost"}));

    // Insert puts the record before the current one and stays on it; Append adds it at the end.
    ds_->Insert();
    name->SetAsString("new");
    ds_->Post();
    EXPECT_EQ(ds_->RecNo(), 2);
    ds_->Append();
    name->SetAsString("last");
    ds_->Post();
    EXPECT_EQ(Column("NCONDITION"), "Alpha,new,bb,Alpha,月报,,last");

    // Moving away posts a modified record and drops an untouched one, defaults included.
    ds_->OnNewRecord = data::TDataSetNotifyEvent::Lambda([&](data::TDataSet*) { ds_->FieldByName("SEQ")->SetAsInteger(99); });
    ds_->First();
    ds_->Edit();
    name->SetAsString("moved");
    ds_->Next();
    ds_->Insert();
    ds_->Last();
    EXPECT_EQ(ds_->RecordCount(), 7);
    EXPECT_EQ(Column("NCONDITION"), "moved,new,bb,Alpha,月报,,last");
    ds_->Append();
    EXPECT_EQ(ds_->FieldByName("SEQ")->AsInteger(), 99);
    name->SetAsString("kept");
    ds_->First();
    EXPECT_EQ(ds_->RecordCount(), 8);

    // A refusing BeforePost keeps the edit open with its values.
    ds_->BeforePost = data::TDataSetNotifyEvent::Lambda([](data::TDataSet*) { throw data::EDatabaseError("not now"); });
    ds_->Edit();
    name->SetAsString("refused");
    EXPECT_EQ(MessageOf([&] { ds_->Post(); }), "not now");
    EXPECT_EQ(ds_->State(), TDataSetState::dsEdit);
    EXPECT_EQ(name->AsString(), "refused");
    ds_->Cancel();
    EXPECT_EQ(name->AsString(), "moved");
}

TEST_F(DataTest, DeleteMovesToTheNextRecord) {
    CreateConditions();
    int afterDelete = 0;
    ds_->AfterDelete = data::TDataSetNotifyEvent::Lambda([&](data::TDataSet*) { ++afterDelete; });
    TField* seq = ds_->FieldByName("SEQ");
    ds_->SetRecNo(2);
    ds_->Delete();
    EXPECT_EQ(seq->AsInteger(), 3);
    ds_->Last();
    ds_->Delete();
    EXPECT_EQ(seq->AsInteger(), 4);
    // Delete while inserting only abandons the new record.
    ds_->Insert();
    ds_->Delete();
    EXPECT_EQ(ds_->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Column("SEQ"), "1,3,4");
    while (!ds_->IsEmpty()) ds_->Delete();
    EXPECT_EQ(afterDelete, 5);
    EXPECT_EQ(MessageOf([&] { ds_->Delete(); }), "ClientDataSet1: Cannot perform this operation on an empty dataset");
    // Edit on an empty dataset inserts.
    ds_->Edit();
    EXPECT_EQ(ds_->State(), TDataSetState::dsInsert);
}

// ---- Dataset: searching, order, filter -----------------------------------------------------------

TEST_F(DataTest, LocateFindsByOneOrSeveralFields) {
    CreateConditions();
    struct Case {
        const char* fields;
        Variant keys;
        data::TLocateOptions options;
        int seq;  // 0: not found
    };
    const data::TLocateOptions ci = 1u << data::loCaseInsensitive, partial = 1u << data::loPartialKey;
    const Case cases[] = {
        {"NCONDITION;CREATOR;PROGRAMME", Arr({"Alpha", "U02", "KPAB02"}), 0, 3},
        {"NCONDITION", "ALPHA", 0, 0},
        {"NCONDITION", "ALPHA", ci, 1},
        {"NCONDITION", "Al", partial, 1},
        {"NCONDITION", "Al", 0, 0},
        {"NCONDITION", "BE", static_cast<data::TLocateOptions>(ci | partial), 2},
        {"NCONDITION;CREATOR", Arr({"月报", "U01"}), 0, 4},
        {"SEQ", "2", 0, 2},
        {"NCONDITION", Variant::Null(), 0, 5},
        {"creator ; seq", Arr({"U02", 3}), 0, 3},
        {"NCONDITION", Arr({"beta"}), 0, 2},
        {"NCONDITION", "Gamma", 0, 0},
    };
    for (const Case& c : cases) {
        ds_->SetRecNo(2);
        EXPECT_EQ(ds_->Locate(c.fields, c.keys, c.options), c.seq != 0) << c.fields << " " << Show(c.keys);
        EXPECT_EQ(ds_->FieldByName("SEQ")->AsInteger(), c.seq ? c.seq : 2) << c.fields << " " << Show(c.keys);
    }
    EXPECT_EQ(Show(ds_->Lookup("SEQ", 4, "NCONDITION;CREATOR")), "['月报', 'U01']");
    EXPECT_EQ(Show(ds_->Lookup("SEQ", 9, "NCONDITION")), "Null");
    EXPECT_EQ(MessageOf([&] { ds_->Locate("NOPE", 1); }), "ClientDataSet1: Field 'NOPE' not found");
    EXPECT_EQ(MessageOf([&] { ds_->Locate("NCONDITION;CREATOR", "Alpha"); }), "ClientDataSet1: The key values do not match the key fields");
}

TEST_F(DataTest, AnIndexKeepsTheRecordsInOrder) {
    ds_->IndexDefs()->Add("Index1", "NCONDITION;CREATOR;PROGRAMME");
    ds_->IndexDefs()->Add("BySeqDesc", "SEQ", 1u << data::ixDescending);
    CreateConditions();
    ds_->SetRecNo(2);  // SEQ 2
    ds_->SetIndexName("Index1");
    EXPECT_EQ(ds_->FieldByName("SEQ")->AsInteger(), 2);  // the cursor stays on its record
    EXPECT_EQ(ds_->RecNo(), 4);
    EXPECT_EQ(Column("SEQ"), "5,1,3,2,4");  // null first, then by bytes: "Alpha" < "beta" < "月报"

    // A posted change moves the record to its place, and the cursor with it.
    ASSERT_TRUE(ds_->Locate("SEQ", 1));
    ds_->Edit();
    ds_->FieldByName("NCONDITION")->SetAsString("zeta");
    ds_->Post();
    EXPECT_EQ(ds_->RecNo(), 4);
    ds_->Append();
    ds_->FieldByName("NCONDITION")->SetAsString("Alpha");
    ds_->FieldByName("CREATOR")->SetAsString("U00");
    ds_->FieldByName("SEQ")->SetAsInteger(6);
    ds_->Post();
    EXPECT_EQ(ds_->RecNo(), 2);
    EXPECT_EQ(Column("SEQ"), "5,6,3,2,1,4");

    EXPECT_TRUE(ds_->FindKey({"beta"}));
    EXPECT_EQ(ds_->FieldByName("SEQ")->AsInteger(), 2);
    EXPECT_TRUE(ds_->FindKey({"Alpha", "U02"}));
    EXPECT_EQ(ds_->FieldByName("SEQ")->AsInteger(), 3);
    EXPECT_FALSE(ds_->FindKey({"alpha"}));

    struct Case {
        const char* indexName;
        const char* indexFieldNames;
        const char* order;
    };
    const Case cases[] = {
        {"BySeqDesc", "", "6,5,4,3,2,1"},
        {"", "CREATOR;SEQ", "6,1,4,2,3,5"},
        {"", "", "1,2,3,4,5,6"},  // the order of addition
    };
    for (const Case& c : cases) {
        ds_->SetIndexName(c.indexName);
        if (*c.indexFieldNames || !*c.indexName) ds_->SetIndexFieldNames(c.indexFieldNames);
        EXPECT_EQ(Column("SEQ"), c.order) << c.indexName << c.indexFieldNames;
    }
    EXPECT_EQ(MessageOf([&] { ds_->SetIndexName("Nope"); }), "ClientDataSet1: Index 'Nope' not found");
    EXPECT_EQ(ds_->IndexName(), "");
    EXPECT_EQ(MessageOf([&] { ds_->FindKey({1}); }), "ClientDataSet1: No index currently active");

    // A unique index refuses a second record with the same key.
    EXPECT_EQ(MessageOf([&] { ds_->AddIndex("Bad", "NCONDITION;NOPE"); }), "ClientDataSet1: Field 'NOPE' not found");
    ds_->AddIndex("Unique", "NCONDITION;CREATOR", 1u << data::ixUnique);
    ds_->Append();
    ds_->FieldByName("NCONDITION")->SetAsString("beta");
    ds_->FieldByName("CREATOR")->SetAsString("U02");
    EXPECT_EQ(MessageOf([&] { ds_->Post(); }), "Key violation.");
    EXPECT_EQ(ds_->State(), TDataSetState::dsInsert);
}

TEST_F(DataTest, FiltersSelectRecords) {
    CreateConditions();
    const data::TFilterOptions ci = 1u << data::foCaseInsensitive, noPartial = 1u << data::foNoPartialCompare;
    struct Case {
        const char* filter;
        data::TFilterOptions options;
        const char* seqs;
    };
    const Case cases[] = {
        {"CREATOR = 'U01'", 0, "1,4"},
        {"CREATOR = 'U01' and SEQ > 1", 0, "4"},
        {"creator = 'U03' OR (NCONDITION = 'beta')", 0, "2,5"},
        {"NCONDITION = 'al*'", ci, "1,3"},
        {"NCONDITION = 'al*'", 0, ""},
        {"NCONDITION = 'Al*'", noPartial, ""},
        {"NCONDITION <> 'Alpha'", 0, "2,4"},
        {"NCONDITION is null", 0, "5"},
        {"NCONDITION = NULL", 0, "5"},
        {"not NCONDITION is null and SEQ <= 2", 0, "1,2"},
        {"[NCONDITION] = '月报'", 0, "4"},
        {"SEQ >= '3'", 0, "3,4,5"},
        {"PROGRAMME = 'O''Neil'", 0, ""},
        {"", 0, "1,2,3,4,5"},
    };
    ds_->SetFiltered(true);
    for (const Case& c : cases) {
        ds_->SetFilterOptions(c.options);
        ds_->SetFilter(c.filter);
        EXPECT_EQ(Column("SEQ"), c.seqs) << c.filter;
    }
    const std::pair<const char*, const char*> errors[] = {
        {"CREATOR = 'U01", "Unterminated string constant"},
        {"NOPE = 1", "Field 'NOPE' not found"},
        {"SEQ = 'x'", "Type mismatch in expression"},
        {"(SEQ = 1", "')' expected but end of expression found"},
        {"SEQ 1", "Operator expected but '1' found"},
        {"SEQ = 1 SEQ", "Filter expression incorrectly terminated"},
        {"SEQ = 1 # 2", "Invalid filter expression character: '#'"},
    };
    ds_->SetFilterOptions(0);
    ds_->SetFilter("CREATOR = 'U02'");
    for (const auto& [filter, message] : errors) {
        EXPECT_EQ(MessageOf([&] { ds_->SetFilter(filter); }), std::string("ClientDataSet1: ") + message);
        EXPECT_EQ(ds_->Filter(), "CREATOR = 'U02'");
        EXPECT_EQ(ds_->RecordCount(), 2);
    }
    // The handler reads the record it is asked about.
    ds_->SetFilter("");
    ds_->OnFilterRecord = data::TFilterRecordEvent::Lambda([&](data::TDataSet*, bool& accept) {
        accept = ds_->FieldByName("SEQ")->AsInteger() % 2 == 1;
    });
    ds_->SetFiltered(false);
    ds_->SetFiltered(true);
    EXPECT_EQ(Column("SEQ"), "1,3,5");
    ds_->SetFiltered(false);
    EXPECT_EQ(ds_->RecordCount(), 5);
}

// ---- Provider and change log ---------------------------------------------------------------------

TEST_F(DataTest, OpenFetchesTheProvidersRecords) {
    ds_->AddIndex("Index1", "NCONDITION;CREATOR;PROGRAMME");
    ds_->SetIndexName("Index1");
    auto provider = OpenFromProvider(ConditionPacket());
    ASSERT_EQ(ds_->FieldCount(), 6);
    EXPECT_EQ(ds_->FieldByName("NCONDITION")->DataType(), TFieldType::ftString);
    EXPECT_EQ(ds_->FieldByName("VCONDITION")->DataType(), TFieldType::ftMemo);
    EXPECT_EQ(ds_->RecordCount(), 4);
    EXPECT_EQ(Column("VCONDITION"), "4\r\n,3\r\n,2\r\n,1\r\n");
    ASSERT_TRUE(ds_->Locate("NCONDITION;CREATOR;PROGRAMME", Arr({"Alpha", "U02", "KPAB02"})));
    EXPECT_EQ(ds_->FieldByName("CREATE_DATE")->AsString(), "20240303");

    // Fields keep their handlers across a reopen, as the form's hooks rely on.
    TField* name = ds_->FieldByName("NCONDITION");
    name->SetDisplayLabel("方案");
    name->OnGetText = data::TFieldGetTextEvent::Lambda([](TField* f, std::string& text, bool) { text = "<" + f->AsString() + ">"; });
    ds_->Close();
    ds_->Open();
    EXPECT_EQ(provider->requests, (std::vector<std::string>{"pvdConSave", "pvdConSave"}));
    EXPECT_EQ(ds_->FieldByName("ncondition"), name);
    EXPECT_EQ(name->DisplayLabel(), "方案");
    EXPECT_EQ(ds_->FieldByName("CREATOR")->DisplayLabel(), "CREATOR");
    ds_->First();
    EXPECT_EQ(name->DisplayText(), "<Alpha>");

    // An unknown provider or a missing server leaves the dataset closed.
    ds_->Close();
    ds_->SetProviderName("pvdOther");
    EXPECT_EQ(MessageOf([&] { ds_->Open(); }), "Provider not exported: pvdOther");
    EXPECT_FALSE(ds_->Active());
    ds_->SetProviderName("pvdConSave");
    ds_->SetRemoteServer(nullptr);
    EXPECT_EQ(MessageOf([&] { ds_->Open(); }), "ClientDataSet1: Missing data provider or data packet");
}

TEST_F(DataTest, MalformedPacketsAreRefused) {
    const Variant names = Arr({"ID", "NAME"}), types = Arr({"ftInteger", "ftString"});
    const std::pair<Variant, const char*> cases[] = {
        {Variant(5), "ClientDataSet1: Invalid data packet"},
        {Arr({names}), "ClientDataSet1: Invalid data packet"},
        {Arr({names, Arr({"ftInteger"})}), "ClientDataSet1: Invalid data packet"},
        {Arr({names, Arr({"ftInteger", "ftBlob"})}), "ClientDataSet1: Invalid data packet"},
        {Arr({names, Arr({"ftInteger", "text"})}), "ClientDataSet1: Invalid data packet"},
        {Arr({names, types, Arr({1})}), "ClientDataSet1: Invalid data packet"},
        {Arr({names, types, Arr({1, "a"}), "row"}), "ClientDataSet1: Invalid data packet"},
        {Arr({names, types, Arr({"x", "a"})}), "'x' is not a valid integer value"},
        {Arr({Arr({"ID", "id"}), types}), "Duplicate field name 'id'"},
    };
    for (const auto& [packet, message] : cases) {
        EXPECT_EQ(MessageOf([&] { OpenFromProvider(packet); }), message) << Show(packet);
        EXPECT_FALSE(ds_->Active());
    }
}

TEST_F(DataTest, ApplyUpdatesSendsTheChangeLogAsADelta) {
    auto provider = OpenFromProvider(NumberPacket());
    auto edit = [&](int id, const char* name) {
        ASSERT_TRUE(ds_->Locate("ID", id));
        ds_->Edit();
        ds_->FieldByName("NAME")->SetAsString(name);
        ds_->Post();
    };
    auto append = [&](int id, const char* name) {
        ds_->Append();
        ds_->FieldByName("ID")->SetAsInteger(id);
        ds_->FieldByName("NAME")->SetAsString(name);
        ds_->Post();
    };
    auto remove = [&](int id) {
        ASSERT_TRUE(ds_->Locate("ID", id));
        ds_->Delete();
    };
    edit(1, "uno");
    remove(2);
    append(4, "four");
    append(5, "five");
    remove(5);           // never reached the provider: no change at all
    edit(4, "cuatro");   // still an insert, with its latest values
    edit(3, "tres");
    remove(3);           // deleted with the values it was fetched with
    EXPECT_EQ(ds_->ChangeCount(), 4);
    ASSERT_TRUE(ds_->Locate("ID", 1));
    EXPECT_EQ(ds_->UpdateStatus(), data::TUpdateStatus::usModified);

    EXPECT_EQ(ds_->ApplyUpdates(-1), 0);
    ASSERT_EQ(provider->deltas.size(), 1u);
    EXPECT_EQ(Show(provider->deltas[0]),
              "[['ID', 'NAME'], "
              "[Integer:0, [Integer:1, 'one'], [Integer:1, 'uno']], "
              "[Integer:2, [Integer:2, 'two'], Null], "
              "[Integer:1, Null, [Integer:4, 'cuatro']], "
              "[Integer:2, [Integer:3, 'three'], Null]]");
    EXPECT_EQ(provider->maxErrors, (std::vector<int>{-1}));
    EXPECT_EQ(ds_->ChangeCount(), 0);
    EXPECT_EQ(ds_->UpdateStatus(), data::TUpdateStatus::usUnmodified);
    EXPECT_EQ(Column("NAME"), "uno,cuatro");
    // Nothing to send: the provider is not asked.
    EXPECT_EQ(ds_->ApplyUpdates(0), 0);
    EXPECT_EQ(provider->deltas.size(), 1u);

    // A merged change travels with its new original values next time.
    edit(1, "eins");
    ds_->ApplyUpdates(0);
    EXPECT_EQ(Show(provider->deltas.back()), "[['ID', 'NAME'], [Integer:0, [Integer:1, 'uno'], [Integer:1, 'eins']]]");
}

TEST_F(DataTest, RefusedChangesStayInTheLog) {
    struct Case {
        int maxErrors;
        bool saysWhich;
        int remaining;  // changes left in the log after one delete of two changes is refused
    };
    const Case cases[] = {
        {-1, true, 1},   // the accepted modify is merged, the refused delete stays
        {1, true, 1},
        {0, true, 2},    // more errors than allowed: the provider applied nothing
        {-1, false, 2},  // the provider did not say which: nothing is taken as applied
    };
    for (const Case& c : cases) {
        ds_->Close();
        auto provider = OpenFromProvider(NumberPacket());
        provider->refuse = [](const Variant& change) { return change[0].AsInteger() == static_cast<int>(data::TUpdateKind::ukDelete); };
        if (!c.saysWhich) provider->silentErrors = 1;
        ASSERT_TRUE(ds_->Locate("ID", 1));
        ds_->Edit();
        ds_->FieldByName("NAME")->SetAsString("uno");
        ds_->Post();
        ASSERT_TRUE(ds_->Locate("ID", 2));
        ds_->Delete();
        EXPECT_EQ(ds_->ApplyUpdates(c.maxErrors), 1);
        EXPECT_EQ(ds_->ChangeCount(), c.remaining) << c.maxErrors;
        if (c.saysWhich) {
            ASSERT_EQ(ds_->ReconcileErrors().size(), 1u);
            EXPECT_EQ(ds_->ReconcileErrors()[0].changeIndex, 2);
            EXPECT_EQ(ds_->ReconcileErrors()[0].kind, data::TUpdateKind::ukDelete);
            EXPECT_EQ(ds_->ReconcileErrors()[0].message, "refused");
        }
    }
    // CancelUpdates puts back what was fetched.
    ds_->Append();
    ds_->FieldByName("ID")->SetAsInteger(9);
    ds_->Post();
    ds_->CancelUpdates();
    EXPECT_EQ(ds_->ChangeCount(), 0);
    EXPECT_EQ(Column("ID"), "1,2,3");
    EXPECT_EQ(Column("NAME"), "one,two,three");
}

TEST_F(DataTest, ADatasetOnTheInProcessServerRoundTrips) {
    RegisteredTestServer server;
    conn_->SetAddress("127.0.0.1");
    conn_->SetServerName("KpaTest.AppServer");
    ds_->SetRemoteServer(conn_);
    ds_->SetProviderName("pvdTest");
    // Active set while loading opens when loading ends; the connection opens on demand.
    ds_->BeginLoading();
    ui::SetPropText(ds_, "Active", "True");
    EXPECT_FALSE(ds_->Active());
    ds_->EndLoading();
    ASSERT_TRUE(ds_->Active());
    EXPECT_TRUE(conn_->Connected());
    EXPECT_EQ(Column("NAME"), "one,two");

    ASSERT_TRUE(ds_->Locate("ID", 2));
    ds_->Edit();
    ds_->FieldByName("NAME")->SetAsString("dos");
    ds_->Post();
    ds_->Append();
    ds_->FieldByName("ID")->SetAsInteger(3);
    ds_->FieldByName("NAME")->SetAsString("tres");
    ds_->Post();
    EXPECT_EQ(ds_->ApplyUpdates(0), 0);
    ds_->Close();
    ds_->Open();
    EXPECT_EQ(Column("NAME"), "one,dos,tres");
}

TEST_F(DataTest, ADataSourceFollowsItsDataset) {
    auto* source = new data::TDataSource(owner_);
    ui::SetObjectProp(source, "DataSet", ds_);
    EXPECT_EQ(source->State(), TDataSetState::dsInactive);
    CreateConditions();
    EXPECT_EQ(source->State(), TDataSetState::dsBrowse);
    source->SetEnabled(false);
    EXPECT_EQ(source->State(), TDataSetState::dsInactive);
    ds_->Free();
    ds_ = nullptr;
    EXPECT_EQ(source->DataSet(), nullptr);
}

}  // namespace
