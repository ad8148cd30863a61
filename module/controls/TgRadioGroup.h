// TTgRadioGroup: a titled group box of radio buttons (TTgGroupButton), one per line of Items,
// arranged in columns; the chosen line is ItemIndex.
#pragma once

#include <memory>
#include <vector>

#include "TgRadioButton.h"

class TTgRadioGroup;

// A radio button that belongs to a radio group: its click is reported to the group, and the
// keys pressed on it reach the group as well.
class TTgGroupButton : public TTgRadioButton {
public:
    explicit TTgGroupButton(TTgRadioGroup* group);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool KeyDown(uint16_t& key, ui::TShiftState shift) override;
    bool KeyPress(char& key) override;
};

class TTgRadioGroup : public ui::TCustomGroupBox {
public:
    explicit TTgRadioGroup(ui::TComponent* owner);
    ~TTgRadioGroup() override;
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    ui::TStrings* Items() const noexcept { return items_.get(); }
    void SetItems(ui::TStrings* v) { items_->Assign(v); }
    int ItemIndex() const noexcept { return itemIndex_; }
    // Clamped to the buttons; checking the button of the new index clicks the group.
    void SetItemIndex(int v);
    int Columns() const noexcept { return columns_; }
    // 1 to 16.
    void SetColumns(int v);
    int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }
    TTgGroupButton* Buttons(int i) const;

    bool Ctl3D() const noexcept { return TCustomGroupBox::Ctl3D(); }
    void SetCtl3D(bool v);
    bool ParentCtl3D() const noexcept { return parentCtl3D_; }
    void SetParentCtl3D(bool v);
    TBiDiMode BiDiMode() const noexcept { return biDiMode_; }
    void SetBiDiMode(TBiDiMode v);
    bool ParentBiDiMode() const noexcept { return parentBiDiMode_; }
    void SetParentBiDiMode(bool v);
    bool UseRightToLeftReading() const noexcept { return biDiMode_ != TBiDiMode::bdLeftToRight; }

    // Lays the buttons out in columns over the group's size; nothing without buttons or while
    // the group is being loaded.
    void ArrangeButtons();
    // A group button was checked.
    void ButtonClick(ui::TObject* sender);

    void SetEnabled(bool v) override;
    void SetParent(ui::TWinControl* parent) override;
    // Also arranges the buttons: the group was resized, its font changed or a child moved.
    void AlignControls(ui::TControl* moved) override;

protected:
    void Loaded() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;
    void Changed();

private:
    friend class TTgGroupButton;
    void ItemsChanged(ui::TObject*);
    void UpdateButtons();
    void SetButtonCount(int n);
    void TellButtons();
    void TakeParentCtl3D();
    void TakeParentBiDiMode();

    std::unique_ptr<ui::TStrings> items_;
    std::vector<TTgGroupButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
    bool arranging_ = false;
    bool parentCtl3D_ = true;
    TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
    bool parentBiDiMode_ = true;
};
