#include "ObjBrkr.h"

#include "DB.h"

namespace data {

const ui::ClassInfo& TCustomObjectBroker::StaticClassInfo() {
    static const ui::ClassInfo info =
        ui::ClassBuilder<TCustomObjectBroker>("TCustomObjectBroker", &ui::TComponent::StaticClassInfo()).Build();
    return info;
}

const ui::ClassInfo& TServerItem::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TServerItem>("TServerItem", &ui::TObject::StaticClassInfo())
                                          .Str("ComputerName", &TServerItem::ComputerName, &TServerItem::SetComputerName)
                                          .Int("Port", &TServerItem::Port, &TServerItem::SetPort, 211)
                                          .Bool("Enabled", &TServerItem::Enabled, &TServerItem::SetEnabled, true)
                                          .Build();
    return info;
}

const ui::ClassInfo& TServerCollection::StaticClassInfo() {
    static const ui::ClassInfo info = ui::ClassBuilder<TServerCollection>("TServerCollection", &ui::TObject::StaticClassInfo()).Build();
    return info;
}

TServerItem* TServerCollection::Add() {
    items_.push_back(std::make_unique<TServerItem>());
    return items_.back().get();
}

TServerItem* TServerCollection::Add(const std::string& computerName, int port, bool enabled) {
    TServerItem* item = Add();
    item->SetComputerName(computerName);
    item->SetPort(port);
    item->SetEnabled(enabled);
    return item;
}

TServerItem* TServerCollection::Items(int i) const {
    if (i < 0 || i >= Count()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {i}));
    return items_[static_cast<size_t>(i)].get();
}

void TServerCollection::Delete(int i) {
    Items(i);
    items_.erase(items_.begin() + i);
}

TServerItem* TServerCollection::FindServer(std::string_view computerName) const {
    for (const auto& item : items_) {
        if (rtl::SameText(item->ComputerName(), computerName)) return item.get();
    }
    return nullptr;
}

TSimpleObjectBroker::TSimpleObjectBroker(ui::TComponent* owner)
    : TCustomObjectBroker(owner), servers_(std::make_unique<TServerCollection>()), random_(std::random_device{}()) {}

const ui::ClassInfo& TSimpleObjectBroker::StaticClassInfo() {
    static const ui::ClassInfo info =
        ui::ClassBuilder<TSimpleObjectBroker>("TSimpleObjectBroker", &TCustomObjectBroker::StaticClassInfo())
            .Bool("LoadBalanced", &TSimpleObjectBroker::LoadBalanced, &TSimpleObjectBroker::SetLoadBalanced, false)
            .Object<TServerCollection>("Servers", &TSimpleObjectBroker::Servers, nullptr)
            .Build();
    return info;
}

void TSimpleObjectBroker::SetConnectStatus(const std::string& computerName, bool success) {
    if (TServerItem* item = servers_->FindServer(computerName)) item->SetHasFailed(!success);
}

std::string TSimpleObjectBroker::PickComputer() {
    std::vector<TServerItem*> available;
    for (int i = 0; i < servers_->Count(); ++i) {
        TServerItem* item = servers_->Items(i);
        if (item->Enabled() && !item->HasFailed() && !item->ComputerName().empty()) available.push_back(item);
    }
    if (available.empty()) DatabaseError("No servers available");
    if (!loadBalanced_) return available.front()->ComputerName();
    std::uniform_int_distribution<size_t> pick(0, available.size() - 1);
    return available[pick(random_)]->ComputerName();
}

std::string TSimpleObjectBroker::GetComputerForGUID(const std::string&) { return PickComputer(); }
std::string TSimpleObjectBroker::GetComputerForProgID(const std::string&) { return PickComputer(); }

int TSimpleObjectBroker::GetPortForComputer(const std::string& computerName) {
    const TServerItem* item = servers_->FindServer(computerName);
    return item ? item->Port() : 0;
}

}  // namespace data
