#include "SConnect.h"

#include <cctype>
#include <exception>
#include <mutex>
#include <set>

#include "platform/com/ComObj.h"
#include "platform/os/Registry.h"

namespace data {

using rtl::Format;
using rtl::Variant;

namespace {
std::mutex& FactoryLock() {
    static std::mutex m;
    return m;
}
SocketTransportFactory& Factory() {
    static SocketTransportFactory f;
    return f;
}

bool IsGuidText(std::string_view s) {
    if (s.size() != 38 || s.front() != '{' || s.back() != '}') return false;
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? s[i] != '-' : !std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
    }
    return true;
}
}  // namespace

SocketTransportFactory SetSocketTransportFactory(SocketTransportFactory factory) {
    std::lock_guard<std::mutex> lock(FactoryLock());
    std::swap(Factory(), factory);
    return factory;
}

bool IsLocalAddress(std::string_view address) {
    const std::string a = rtl::Trim(address);
    return a == "127.0.0.1" || rtl::SameText(a, "localhost");
}

TSocketConnection::TSocketConnection(ui::TComponent* owner) : TCustomRemoteServer(owner) {}

const ui::ClassInfo& TSocketConnection::StaticClassInfo() {
    static const ui::ClassInfo info =
        ui::ClassBuilder<TSocketConnection>("TSocketConnection", &TCustomRemoteServer::StaticClassInfo())
            .Str("Address", &TSocketConnection::Address, &TSocketConnection::SetAddress)
            .Str("Host", &TSocketConnection::Host, &TSocketConnection::SetHost)
            .Object<TCustomObjectBroker>("ObjectBroker", &TSocketConnection::ObjectBroker, &TSocketConnection::SetObjectBroker)
            .Int("Port", &TSocketConnection::Port, &TSocketConnection::SetPort, 211)
            .Str("ServerGUID", &TSocketConnection::ServerGUID, &TSocketConnection::SetServerGUID)
            .Str("ServerName", &TSocketConnection::ServerName, &TSocketConnection::SetServerName)
            .Bool("SupportCallbacks", &TSocketConnection::SupportCallbacks, &TSocketConnection::SetSupportCallbacks, true)
            .Build();
    return info;
}

void TSocketConnection::SetAddress(const std::string& v) {
    if (!v.empty()) host_.clear();
    address_ = v;
}

void TSocketConnection::SetHost(const std::string& v) {
    if (!v.empty()) address_.clear();
    host_ = v;
}

void TSocketConnection::SetServerName(const std::string& v) {
    if (v == serverName_) return;
    if (!IsLoading()) Close();
    serverName_ = v;
}

void TSocketConnection::SetServerGUID(const std::string& v) {
    if (v == serverGUID_) return;
    if (!v.empty() && !IsGuidText(v)) throw rtl::EConvertError(Format("'%s' is not a valid GUID value", {v}));
    if (!IsLoading()) Close();
    serverGUID_ = v;
}

void TSocketConnection::SetObjectBroker(TCustomObjectBroker* v) {
    if (objectBroker_) objectBroker_->RemoveFreeNotification(this);
    objectBroker_ = v;
    if (v) v->FreeNotification(this);
}

void TSocketConnection::Notification(ui::TComponent* component, ui::TOperation operation) {
    TCustomRemoteServer::Notification(component, operation);
    if (operation == ui::TOperation::opRemove && component == objectBroker_) objectBroker_ = nullptr;
}

void TSocketConnection::Destroy() {
    // Quietly: the owner's handlers may already be gone.
    DoDisconnect();
    SetObjectBroker(nullptr);
    TCustomRemoteServer::Destroy();
}

bool TSocketConnection::GetConnected() const { return appServer_.Type() == rtl::VarType::Dispatch; }

void TSocketConnection::SetAppServer(const Variant& server) {
    if (server.IsEmpty() || server.IsNull()) {
        DoDisconnect();
        return;
    }
    if (server.Type() != rtl::VarType::Dispatch) throw com::EOleError("Variant does not reference an automation object");
    DoDisconnect();
    appServer_ = server;
}

void TSocketConnection::DoDisconnect() {
    appServer_ = Variant();
    if (transport_) {
        transport_->Disconnect();
        transport_.reset();
    }
}

void TSocketConnection::DoConnect() {
    if (serverName_.empty() && serverGUID_.empty()) {
        throw ESocketConnectionError(Format("Cannot connect, %s must contain a valid ServerName or ServerGUID", {Name()}));
    }
    if (!objectBroker_) {
        const std::string& target = !address_.empty() ? address_ : host_;
        if (rtl::Trim(target).empty()) throw ESocketConnectionError("No address or host set");
        appServer_ = ConnectTo(target, port_);
        return;
    }
    // Ask the broker until a computer answers; each one that fails is reported and not tried again.
    std::exception_ptr lastFailure;
    std::set<std::string> tried;
    while (true) {
        std::string computer;
        try {
            computer = serverName_.empty() ? objectBroker_->GetComputerForGUID(serverGUID_)
                                           : objectBroker_->GetComputerForProgID(serverName_);
        } catch (const rtl::Exception&) {
            if (lastFailure) std::rethrow_exception(lastFailure);
            throw;
        }
        if (!tried.insert(rtl::UpperCase(computer)).second) {
            if (lastFailure) std::rethrow_exception(lastFailure);
            throw ESocketConnectionError("No servers available");
        }
        int port = objectBroker_->GetPortForComputer(computer);
        if (port <= 0) port = port_;
        try {
            appServer_ = ConnectTo(computer, port);
        } catch (const rtl::Exception&) {
            lastFailure = std::current_exception();
            objectBroker_->SetConnectStatus(computer, false);
            continue;
        }
        objectBroker_->SetConnectStatus(computer, true);
        return;
    }
}

std::string TSocketConnection::LocalProgID() const {
    if (!serverName_.empty()) return serverName_;
    os::TRegistry reg;
    reg.RootKey = os::HKEY_CLASSES_ROOT;
    std::string progId;
    if (reg.OpenKeyReadOnly("CLSID\\" + serverGUID_ + "\\ProgID") && reg.GetDataType("") == os::RegDataType::String) {
        progId = rtl::Trim(reg.ReadString(""));
    }
    if (progId.empty()) throw com::EOleSysError("Class not registered", com::REGDB_E_CLASSNOTREG);
    return progId;
}

Variant TSocketConnection::ConnectTo(const std::string& address, int port) {
    if (IsLocalAddress(address)) return com::CreateOleObject(LocalProgID());
    SocketTransportFactory factory;
    {
        std::lock_guard<std::mutex> lock(FactoryLock());
        factory = Factory();
    }
    const std::string where = Format("%s:%d", {address, port});
    std::unique_ptr<ISocketTransport> transport = factory ? factory() : nullptr;
    if (!transport) throw ESocketConnectionError("Unable to connect to " + where + ": the network transport is not available");
    Variant server = transport->Connect(address, port, serverName_, serverGUID_);
    if (server.Type() != rtl::VarType::Dispatch) {
        transport->Disconnect();
        throw ESocketConnectionError("Unable to connect to " + where + ": the server gave no application server");
    }
    transport_ = std::move(transport);
    return server;
}

}  // namespace data
