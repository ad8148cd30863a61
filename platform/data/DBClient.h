// The client dataset: records held in memory, fetched from a provider of the application server
// and sent back as a delta (protocol in docs/data.md), or created from FieldDefs when it has
// no provider.
#pragma once

#include <string>
#include <vector>

#include "DB.h"

namespace data {

// A connection that hands out an application server object.
class TCustomRemoteServer : public TCustomConnection {
public:
    explicit TCustomRemoteServer(ui::TComponent* owner) : TCustomConnection(owner) {}
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // The application server object; Empty when not connected.
    virtual rtl::Variant AppServer() const = 0;
    // Connects when needed and answers the application server.
    virtual rtl::Variant GetServer();
};

// A change the provider refused, as the last ApplyUpdates reported it.
struct TReconcileError {
    int changeIndex;   // position of the change in the delta (1 = first change)
    TUpdateKind kind;
    std::string message;
};

class TClientDataSet : public TDataSet {
public:
    explicit TClientDataSet(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& ProviderName() const noexcept { return providerName_; }
    void SetProviderName(const std::string& v);
    TCustomRemoteServer* RemoteServer() const noexcept { return remoteServer_; }
    void SetRemoteServer(TCustomRemoteServer* v);

    // Opens an empty dataset with the structure of FieldDefs. Raises when the dataset is open.
    void CreateDataSet();
    // Adds an index definition; on an open dataset its fields must exist.
    void AddIndex(const std::string& name, const std::string& fields, TIndexOptions options = 0);

    // Sends the change log to the provider; answers the number of changes it refused. Changes
    // it accepted leave the log; refused ones stay (see ReconcileErrors). When more than
    // maxErrors were refused (maxErrors -1: no limit) the provider applied nothing and the
    // whole log stays.
    int ApplyUpdates(int maxErrors);
    const std::vector<TReconcileError>& ReconcileErrors() const noexcept { return reconcileErrors_; }

    int ChangeCount() const { return TDataSet::ChangeCount(); }
    void MergeChangeLog();
    // Undoes every change since the data was fetched or last merged.
    void CancelUpdates();
    TUpdateStatus UpdateStatus() const { return CurrentUpdateStatus(); }

protected:
    void InternalOpen() override;
    void Destroy() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    rtl::Variant Server();
    void LoadPacket(const rtl::Variant& packet);

    std::string providerName_;
    TCustomRemoteServer* remoteServer_ = nullptr;
    bool creating_ = false;
    std::vector<TReconcileError> reconcileErrors_;
};

}  // namespace data
