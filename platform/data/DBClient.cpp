#include "DBClient.h"

#include <algorithm>

#include "DBFilter.h"
#include "platform/com/ComObj.h"

namespace data {

using rtl::Variant;

const ui::ClassInfo& TCustomRemoteServer::StaticClassInfo() {
    static const ui::ClassInfo info =
        ui::ClassBuilder<TCustomRemoteServer>("TCustomRemoteServer", &TCustomConnection::StaticClassInfo()).Build();
    return info;
}

Variant TCustomRemoteServer::GetServer() {
    if (!Connected()) Open();
    return AppServer();
}

TClientDataSet::TClientDataSet(ui::TComponent* owner) : TDataSet(owner) {}

const ui::ClassInfo& TClientDataSet::StaticClassInfo() {
    static const ui::ClassInfo info =
        ui::ClassBuilder<TClientDataSet>("TClientDataSet", &TDataSet::StaticClassInfo())
            .Object<TIndexDefs>("IndexDefs", &TClientDataSet::IndexDefs, nullptr)
            .Str("IndexFieldNames", &TClientDataSet::IndexFieldNames, &TClientDataSet::SetIndexFieldNames)
            .Str("IndexName", &TClientDataSet::IndexName, &TClientDataSet::SetIndexName)
            .Str("ProviderName", &TClientDataSet::ProviderName, &TClientDataSet::SetProviderName)
            .Bool("ReadOnly", &TClientDataSet::ReadOnly, &TClientDataSet::SetReadOnly, false)
            .Object<TCustomRemoteServer>("RemoteServer", &TClientDataSet::RemoteServer, &TClientDataSet::SetRemoteServer)
            .Build();
    return info;
}

void TClientDataSet::SetProviderName(const std::string& v) { providerName_ = v; }

void TClientDataSet::SetRemoteServer(TCustomRemoteServer* v) {
    if (remoteServer_) remoteServer_->RemoveFreeNotification(this);
    remoteServer_ = v;
    if (v) v->FreeNotification(this);
}

void TClientDataSet::Destroy() {
    SetRemoteServer(nullptr);
    TDataSet::Destroy();
}

void TClientDataSet::Notification(ui::TComponent* component, ui::TOperation operation) {
    TDataSet::Notification(component, operation);
    if (operation == ui::TOperation::opRemove && component == remoteServer_) remoteServer_ = nullptr;
}

void TClientDataSet::CreateDataSet() {
    CheckInactive();
    creating_ = true;
    try {
        Open();
    } catch (...) {
        creating_ = false;
        throw;
    }
    creating_ = false;
}

void TClientDataSet::AddIndex(const std::string& name, const std::string& fields, TIndexOptions options) {
    if (Active()) {
        CheckBrowseMode();
        size_t start = 0;
        while (start <= fields.size()) {
            const size_t end = fields.find(';', start);
            const std::string field = rtl::Trim(std::string_view(fields).substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (!field.empty()) FieldByName(field);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    IndexDefs()->Add(name, fields, options);
}

Variant TClientDataSet::Server() {
    if (providerName_.empty() || !remoteServer_) DatabaseError("Missing data provider or data packet", this);
    return remoteServer_->GetServer();
}

void TClientDataSet::InternalOpen() {
    if (creating_) {
        if (FieldDefs()->Count() == 0) DatabaseError("Cannot create a dataset without field definitions", this);
        BindFields();
        return;
    }
    LoadPacket(com::OleCall(Server(), "AS_GetRecords", {providerName_}));
}

void TClientDataSet::LoadPacket(const Variant& packet) {
    auto invalid = [this] { DatabaseError("Invalid data packet", this); };
    auto vector = [](const Variant& v) -> const std::vector<Variant>* {
        if (!v.IsArray() || v.Arr().DimCount() != 1) return nullptr;
        return &v.Arr().Items();
    };
    const std::vector<Variant>* parts = vector(packet);
    if (!parts || parts->size() < 2) invalid();
    const std::vector<Variant>* names = vector((*parts)[0]);
    const std::vector<Variant>* types = vector((*parts)[1]);
    if (!names || !types || names->empty() || names->size() != types->size()) invalid();
    FieldDefs()->Clear();
    for (size_t i = 0; i < names->size(); ++i) {
        const std::string name = rtl::Trim((*names)[i].AsString());
        const int type = (*types)[i].IsStr() ? FieldTypeEnum().ValueOf((*types)[i].AsString()) : -1;
        if (name.empty() || type < 0 || detail::KindOf(static_cast<TFieldType>(type)) == detail::ValueKind::None) invalid();
        FieldDefs()->Add(name, static_cast<TFieldType>(type));
    }
    BindFields();
    for (size_t r = 2; r < parts->size(); ++r) {
        const std::vector<Variant>* row = vector((*parts)[r]);
        if (!row || row->size() != names->size()) invalid();
        LoadRecord(*row);
    }
}

int TClientDataSet::ApplyUpdates(int maxErrors) {
    CheckActive();
    CheckBrowseMode();
    reconcileErrors_.clear();
    const std::vector<Change> changes = Changes();
    if (changes.empty()) return 0;
    const Variant server = Server();

    std::vector<Variant> names;
    for (int i = 0; i < FieldCount(); ++i) names.push_back(Fields(i)->FieldName());
    std::vector<Variant> delta{rtl::VarArrayOf(std::move(names))};
    for (const Change& c : changes) {
        delta.push_back(rtl::VarArrayOf({static_cast<int>(c.kind), c.original ? rtl::VarArrayOf(*c.original) : Variant::Null(),
                                         c.current ? rtl::VarArrayOf(*c.current) : Variant::Null()}));
    }
    std::vector<Variant> args{providerName_, rtl::VarArrayOf(std::move(delta)), maxErrors, Variant()};
    const int errorCount = com::OleCall(server, "AS_ApplyUpdates", args).AsInteger();
    if (errorCount < 0) DatabaseError("Invalid data packet", this);

    std::vector<const Record*> refused;
    if (args[3].IsArray() && args[3].Arr().DimCount() == 1) {
        for (const Variant& e : args[3].Arr().Items()) {
            if (!e.IsArray() || e.Arr().DimCount() != 1 || e.Arr().Length() < 2) continue;
            const Variant& index = e.Arr().At(e.Arr().LowBound());
            if (!index.IsNumeric()) continue;
            const int64_t i = index.AsInt64();
            if (i < 1 || i > static_cast<int64_t>(changes.size())) continue;
            const Change& c = changes[static_cast<size_t>(i - 1)];
            reconcileErrors_.push_back({static_cast<int>(i), c.kind, rtl::VarToStr(e.Arr().At(e.Arr().LowBound() + 1))});
            refused.push_back(c.record);
        }
    }
    if (errorCount == 0) {
        MergeChanges(nullptr);
    } else if ((maxErrors < 0 || errorCount <= maxErrors) && !refused.empty()) {
        // The provider kept what it could apply; only the refused changes stay in the log.
        std::vector<const Record*> applied;
        for (const Change& c : changes) {
            if (std::find(refused.begin(), refused.end(), c.record) == refused.end()) applied.push_back(c.record);
        }
        MergeChanges(&applied);
    }
    // Otherwise the provider applied nothing, or did not say what it refused: the log stays whole.
    return errorCount;
}

void TClientDataSet::MergeChangeLog() {
    CheckBrowseMode();
    MergeChanges(nullptr);
}

void TClientDataSet::CancelUpdates() {
    CheckActive();
    Cancel();
    CancelChanges();
}

}  // namespace data
