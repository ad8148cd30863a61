// The socket connection to the application server. The address "127.0.0.1" (or "localhost")
// means the server runs in this process: it is created by its ProgID. Any other address is
// reached through the network transport that a network client installs with
// SetSocketTransportFactory; until one is installed such an address cannot be reached.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "DBClient.h"
#include "ObjBrkr.h"

namespace data {

class ESocketConnectionError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "ESocketConnectionError"; }
};

// What a network client implements. A connection makes one transport per open and keeps it
// until it closes.
class ISocketTransport {
public:
    virtual ~ISocketTransport() = default;
    // Reaches the server program at address:port and answers the application server object it
    // serves under serverName (a ProgID), or under serverGUID when the name is empty. Raises
    // ESocketConnectionError when the server cannot be reached.
    virtual rtl::Variant Connect(const std::string& address, int port, const std::string& serverName,
                                 const std::string& serverGUID) = 0;
    // Ends the session after the connection released the application server. Never raises.
    virtual void Disconnect() noexcept = 0;
};

using SocketTransportFactory = std::function<std::unique_ptr<ISocketTransport>()>;
// Installs the process-wide transport factory and answers the one it replaces. An empty
// factory means there is no network transport.
SocketTransportFactory SetSocketTransportFactory(SocketTransportFactory factory);

// "127.0.0.1" or "localhost" (any case): the server is created in this process.
bool IsLocalAddress(std::string_view address);

class TSocketConnection : public TCustomRemoteServer {
public:
    explicit TSocketConnection(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // Address and Host name the same thing two ways: setting one to a non-empty value clears
    // the other. Address wins when both are set.
    const std::string& Address() const noexcept { return address_; }
    void SetAddress(const std::string& v);
    const std::string& Host() const noexcept { return host_; }
    void SetHost(const std::string& v);
    int Port() const noexcept { return port_; }
    void SetPort(int v) { port_ = v; }
    // Changing the server closes an open connection: it no longer reaches the named server.
    const std::string& ServerName() const noexcept { return serverName_; }
    void SetServerName(const std::string& v);
    // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" or empty; raises EConvertError otherwise.
    const std::string& ServerGUID() const noexcept { return serverGUID_; }
    void SetServerGUID(const std::string& v);
    // Stored for the network transport; the in-process server needs no callbacks.
    bool SupportCallbacks() const noexcept { return supportCallbacks_; }
    void SetSupportCallbacks(bool v) { supportCallbacks_ = v; }
    // With a broker, the broker names the computer (and port) instead of Address and Host.
    TCustomObjectBroker* ObjectBroker() const noexcept { return objectBroker_; }
    void SetObjectBroker(TCustomObjectBroker* v);

    rtl::Variant AppServer() const override { return appServer_; }
    // Takes an application server created elsewhere (the in-process server made by the form);
    // the connection then counts as connected, and Close releases it. Empty or Null releases
    // the one held; anything else but an object raises EOleError.
    void SetAppServer(const rtl::Variant& server);

protected:
    // Open raises:
    //   "Cannot connect, <Name> must contain a valid ServerName or ServerGUID"  no server named
    //   "No address or host set"                                       nowhere to go
    //   "Unable to connect to <address>:<port>: the network transport is not available"
    //   the EOleSysError of CreateOleObject                                  in-process failure
    // and stays closed.
    bool GetConnected() const override;
    void DoConnect() override;
    void DoDisconnect() override;
    void Destroy() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    rtl::Variant ConnectTo(const std::string& address, int port);
    std::string LocalProgID() const;

    std::string address_;
    std::string host_;
    int port_ = 211;
    std::string serverName_;
    std::string serverGUID_;
    bool supportCallbacks_ = true;
    TCustomObjectBroker* objectBroker_ = nullptr;
    rtl::Variant appServer_;
    std::unique_ptr<ISocketTransport> transport_;
};

}  // namespace data
