// Menus: items in a tree, and the pop-up menu that controls show on a right click.
#pragma once

#include <string>
#include <vector>

#include "Classes.h"

namespace ui {

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool v) { checked_ = v; }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int i) const;
    TMenuItem* Parent() const noexcept { return parent_; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);

    // Runs the item's action (OnClick) when it is enabled.
    virtual void Click();
    TNotifyEvent OnClick;

protected:
    void Destroy() override;

private:
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    int imageIndex_ = -1;
    std::string hint_;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    TMenuItem* Items() const noexcept { return items_; }
    TComponent* Images() const noexcept { return images_; }
    void SetImages(TComponent* images);

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TMenuItem* items_;
    TComponent* images_ = nullptr;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    bool AutoPopup() const noexcept { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    // Shows the menu: OnPopup runs; a window system would then let the user pick an item.
    virtual void Popup(int x, int y);
    TComponent* PopupComponent() const noexcept { return popupComponent_; }
    void SetPopupComponent(TComponent* c) { popupComponent_ = c; }
    TNotifyEvent OnPopup;

private:
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
};

}  // namespace ui
