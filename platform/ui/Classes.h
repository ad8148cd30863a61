// Components: named, owned objects. The owner frees what it owns; a component is freed with
// Free(), which runs its BeforeDestruction step first, as the class library's objects do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "TypInfo.h"

namespace ui {

class EComponentError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EComponentError"; }
};

enum ComponentStateFlags : uint32_t {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
};

enum class TOperation { opInsert, opRemove };

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // Frees the component: BeforeDestruction, then Destroy while the object is still whole (so
    // that virtual operations reach the most derived class, as the class library's destructors
    // do), then the memory. Always free components this way.
    void Free();
    virtual void BeforeDestruction();

    const std::string& Name() const noexcept { return name_; }
    // Raises EComponentError for a name that is no identifier or is taken within the owner.
    void SetName(const std::string& name);
    int Tag() const noexcept { return tag_; }
    void SetTag(int tag) noexcept { tag_ = tag; }

    TComponent* Owner() const noexcept { return owner_; }
    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    TComponent* Components(int i) const;
    const std::vector<TComponent*>& ComponentList() const noexcept { return components_; }
    int ComponentIndex() const;
    // An owned component by name, compared without regard to case; nullptr when none.
    TComponent* FindComponent(std::string_view name) const;
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);

    uint32_t ComponentState() const noexcept { return state_; }
    bool IsLoading() const noexcept { return (state_ & csLoading) != 0; }
    bool IsDestroying() const noexcept { return (state_ & csDestroying) != 0; }
    // Loading as a stored form does: the component and everything it owns are marked loading;
    // EndLoading clears the mark and calls Loaded on each of them, owner last.
    void BeginLoading();
    void EndLoading();

    // Asks to be told (Notification opRemove) when `observer` ... when this component is freed.
    void FreeNotification(TComponent* observer);
    void RemoveFreeNotification(TComponent* observer);

protected:
    // The tear-down: derived classes release what they hold and call the inherited Destroy last.
    // TComponent tells its observers, frees its owned components (last created first) and leaves
    // its owner.
    virtual void Destroy();
    virtual void Loaded();
    // Told of components inserted into or removed from the owner, and of freed components this
    // one asked to watch. The default passes the news on to every owned component.
    virtual void Notification(TComponent* component, TOperation operation);
    virtual void ValidateRename(TComponent* component, const std::string& curName, const std::string& newName);
    void SetState(uint32_t flags) noexcept { state_ |= flags; }
    void ClearState(uint32_t flags) noexcept { state_ &= ~flags; }

private:
    void NotifyOwner(TOperation op);
    std::string name_;
    int tag_ = 0;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    uint32_t state_ = 0;
    bool destroyed_ = false;
};

bool IsValidIdent(std::string_view name);

// Frees a component held in a pointer and clears the pointer first.
template <typename T>
void FreeAndNil(T*& p) {
    T* c = p;
    p = nullptr;
    if (c) c->Free();
}

}  // namespace ui
