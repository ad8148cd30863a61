#include "Classes.h"

#include <algorithm>

namespace ui {

bool IsValidIdent(std::string_view name) {
    if (name.empty()) return false;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!alpha(name[0])) return false;
    return std::all_of(name.begin(), name.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

const ClassInfo& TComponent::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TComponent>("TComponent", &TObject::StaticClassInfo())
                                      .Str("Name", &TComponent::Name, &TComponent::SetName)
                                      .Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0)
                                      .Build();
    return info;
}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    if (!destroyed_) {
        state_ |= csDestroying;
        TComponent::Destroy();
    }
}

void TComponent::Free() {
    if (state_ & csDestroying) return;
    state_ |= csDestroying;
    BeforeDestruction();
    Destroy();
    delete this;
}

void TComponent::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    std::vector<TComponent*> observers;
    observers.swap(freeNotifies_);
    for (TComponent* o : observers) {
        auto& theirs = o->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        o->Notification(this, TOperation::opRemove);
    }
    while (!components_.empty()) {
        TComponent* c = components_.back();
        components_.pop_back();
        c->owner_ = nullptr;
        c->Free();
    }
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && !IsValidIdent(name)) throw EComponentError("'" + name + "' is not a valid component name");
    if (owner_) {
        owner_->ValidateRename(this, name_, name);
    } else {
        ValidateRename(nullptr, name_, name);
    }
    name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName, const std::string& newName) {
    if (!component || newName.empty() || rtl::SameText(curName, newName)) return;
    TComponent* other = FindComponent(newName);
    if (other && other != component) throw EComponentError("A component named " + newName + " already exists");
}

TComponent* TComponent::Components(int i) const {
    if (i < 0 || i >= ComponentCount()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {i}));
    return components_[static_cast<size_t>(i)];
}

int TComponent::ComponentIndex() const {
    if (!owner_) return -1;
    const auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_) {
        if (rtl::SameText(c->name_, name)) return c;
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
    if (!c || c->owner_ == this) return;
    if (!c->name_.empty()) ValidateRename(c, std::string(), c->name_);
    if (c->owner_) c->owner_->RemoveComponent(c);
    components_.push_back(c);
    c->owner_ = this;
    if (state_ & csLoading) c->state_ |= csLoading;
    Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    auto it = std::find(components_.begin(), components_.end(), c);
    if (it == components_.end()) return;
    Notification(c, TOperation::opRemove);
    // The notification may have changed the list; look again.
    it = std::find(components_.begin(), components_.end(), c);
    if (it != components_.end()) components_.erase(it);
    c->owner_ = nullptr;
}

void TComponent::BeginLoading() {
    state_ |= csLoading;
    for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::EndLoading() {
    // A copy: Loaded may create components.
    const std::vector<TComponent*> owned = components_;
    for (TComponent* c : owned) c->EndLoading();
    state_ &= ~csLoading;
    Loaded();
}

void TComponent::Loaded() { state_ &= ~csLoading; }

void TComponent::FreeNotification(TComponent* observer) {
    if (!observer || observer == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), observer) == freeNotifies_.end()) {
        freeNotifies_.push_back(observer);
    }
    // Both sides know of each other, so that whichever goes first unhooks the other.
    auto& theirs = observer->freeNotifies_;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* observer) {
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), observer), freeNotifies_.end());
    if (observer) {
        auto& theirs = observer->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
    // Pass on to the owned components; the list may shrink meanwhile.
    for (size_t i = components_.size(); i-- > 0;) {
        if (i < components_.size()) components_[i]->Notification(component, operation);
    }
}

}  // namespace ui
