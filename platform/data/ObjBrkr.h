// Object brokers: tell a connection which computer serves an application server. The simple
// broker keeps a list of computers; a connection marks a computer as failed when it cannot be
// reached and asks again.
#pragma once

#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Classes.h"

namespace data {

class TCustomObjectBroker : public ui::TComponent {
public:
    explicit TCustomObjectBroker(ui::TComponent* owner) : ui::TComponent(owner) {}
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // The connection reports whether it reached the computer.
    virtual void SetConnectStatus(const std::string& computerName, bool success) = 0;
    // A computer to connect to; raises when none is available.
    virtual std::string GetComputerForGUID(const std::string& guid) = 0;
    virtual std::string GetComputerForProgID(const std::string& progId) = 0;
    // 0 when the broker does not know the computer (the connection's own port is used).
    virtual int GetPortForComputer(const std::string& computerName) = 0;
};

class TServerItem : public ui::TObject {
public:
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& ComputerName() const noexcept { return computerName_; }
    void SetComputerName(const std::string& v) { computerName_ = v; }
    int Port() const noexcept { return port_; }
    void SetPort(int v) { port_ = v; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    // Set when a connection failed to reach the computer; such a computer is not offered again.
    bool HasFailed() const noexcept { return hasFailed_; }
    void SetHasFailed(bool v) { hasFailed_ = v; }

private:
    std::string computerName_;
    int port_ = 211;
    bool enabled_ = true;
    bool hasFailed_ = false;
};

class TServerCollection : public ui::TObject {
public:
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TServerItem* Add();
    TServerItem* Add(const std::string& computerName, int port = 211, bool enabled = true);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TServerItem* Items(int i) const;
    void Delete(int i);
    void Clear() { items_.clear(); }
    // The entry of a computer (compared without regard to case); nullptr when none.
    TServerItem* FindServer(std::string_view computerName) const;

private:
    std::vector<std::unique_ptr<TServerItem>> items_;
};

class TSimpleObjectBroker : public TCustomObjectBroker {
public:
    explicit TSimpleObjectBroker(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TServerCollection* Servers() const noexcept { return servers_.get(); }
    // Off: the first available computer in list order. On: any available one, at random.
    bool LoadBalanced() const noexcept { return loadBalanced_; }
    void SetLoadBalanced(bool v) { loadBalanced_ = v; }

    void SetConnectStatus(const std::string& computerName, bool success) override;
    // Every server serves every object here: both answer an enabled computer that has not
    // failed, or raise "No servers available".
    std::string GetComputerForGUID(const std::string& guid) override;
    std::string GetComputerForProgID(const std::string& progId) override;
    int GetPortForComputer(const std::string& computerName) override;

private:
    std::string PickComputer();
    std::unique_ptr<TServerCollection> servers_;
    bool loadBalanced_ = false;
    std::minstd_rand random_;
};

}  // namespace data
