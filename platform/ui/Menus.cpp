#include "Menus.h"

#include <algorithm>

namespace ui {

const ClassInfo& TMenuItem::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TMenuItem>("TMenuItem", &TComponent::StaticClassInfo())
                                      .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                                      .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
                                      .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
                                      .Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
                                      .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
                                      .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
                                      .Event("OnClick", &TMenuItem::OnClick)
                                      .Build();
    return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

void TMenuItem::Destroy() {
    if (parent_) parent_->Remove(this);
    while (!items_.empty()) {
        TMenuItem* item = items_.back();
        Remove(item);
        item->Free();
    }
    TComponent::Destroy();
}

TMenuItem* TMenuItem::Items(int i) const {
    if (i < 0 || i >= Count()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {i}));
    return items_[static_cast<size_t>(i)];
}

void TMenuItem::Add(TMenuItem* item) {
    if (!item || item->parent_ == this) return;
    if (item->parent_) item->parent_->Remove(item);
    items_.push_back(item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    if (item && item->parent_ == this) item->parent_ = nullptr;
}

void TMenuItem::Click() {
    if (enabled_) OnClick(this);
}

const ClassInfo& TMenu::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TMenu>("TMenu", &TComponent::StaticClassInfo()).Build();
    return info;
}

// The root item belongs to the menu, not to the form: it has no owner.
TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {}

TMenu::~TMenu() {
    if (items_) items_->Free();
}

void TMenu::Destroy() {
    if (images_) images_->RemoveFreeNotification(this);
    images_ = nullptr;
    TMenuItem* root = items_;
    items_ = nullptr;
    root->Free();
    TComponent::Destroy();
}

void TMenu::SetImages(TComponent* images) {
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images) images->FreeNotification(this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

const ClassInfo& TPopupMenu::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TPopupMenu>("TPopupMenu", &TMenu::StaticClassInfo())
                                      .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
                                      .Event("OnPopup", &TPopupMenu::OnPopup)
                                      .Build();
    return info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::Popup(int, int) { OnPopup(this); }

}  // namespace ui
