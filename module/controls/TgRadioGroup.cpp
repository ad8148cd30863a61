#include "TgRadioGroup.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"

using namespace ui;

// ---- TTgGroupButton -------------------------------------------------------------------------------

const ClassInfo& TTgGroupButton::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TTgGroupButton>("TTgGroupButton", &TTgRadioButton::StaticClassInfo()).Build();
    return info;
}

TTgGroupButton::TTgGroupButton(TTgRadioGroup* group) : TTgRadioButton(group) {
    SetVisible(false);
    SetEnabled(group->Enabled());
    SetParentShowHint(false);
    OnClick = TNotifyEvent(group, &TTgRadioGroup::ButtonClick);
    SetParent(group);
}

bool TTgGroupButton::KeyDown(uint16_t& key, TShiftState shift) {
    TTgRadioButton::KeyDown(key, shift);
    if (auto* group = dynamic_cast<TTgRadioGroup*>(Parent())) group->KeyDown(key, shift);
    return key == 0;
}

bool TTgGroupButton::KeyPress(char& key) {
    TTgRadioButton::KeyPress(key);
    if (auto* group = dynamic_cast<TTgRadioGroup*>(Parent())) group->KeyPress(key);
    return key == 0;
}

// ---- TTgRadioGroup --------------------------------------------------------------------------------

const ClassInfo& TTgRadioGroup::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TTgRadioGroup>("TTgRadioGroup", &TCustomGroupBox::StaticClassInfo())
            .Enum("BiDiMode", BiDiModeEnum(), &TTgRadioGroup::BiDiMode, &TTgRadioGroup::SetBiDiMode, 0)
            .Int("Columns", &TTgRadioGroup::Columns, &TTgRadioGroup::SetColumns, 1)
            .Bool("Ctl3D", &TTgRadioGroup::Ctl3D, &TTgRadioGroup::SetCtl3D, true)
            .Int("ItemIndex", &TTgRadioGroup::ItemIndex, &TTgRadioGroup::SetItemIndex, -1)
            .Object<TStrings>("Items", &TTgRadioGroup::Items, &TTgRadioGroup::SetItems)
            .Bool("ParentBiDiMode", &TTgRadioGroup::ParentBiDiMode, &TTgRadioGroup::SetParentBiDiMode, true)
            .Bool("ParentCtl3D", &TTgRadioGroup::ParentCtl3D, &TTgRadioGroup::SetParentCtl3D, true)
            .Build();
    return info;
}

TTgRadioGroup::TTgRadioGroup(TComponent* owner) : TCustomGroupBox(owner), items_(std::make_unique<TStrings>()) {
    items_->OnChange = TNotifyEvent(this, &TTgRadioGroup::ItemsChanged);
}

TTgRadioGroup::~TTgRadioGroup() = default;

TTgGroupButton* TTgRadioGroup::Buttons(int i) const {
    if (i < 0 || i >= ButtonCount()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {i}));
    return buttons_[static_cast<size_t>(i)];
}

void TTgRadioGroup::Notification(TComponent* component, TOperation operation) {
    TCustomGroupBox::Notification(component, operation);
    if (operation == TOperation::opRemove) {
        buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), component), buttons_.end());
    }
}

void TTgRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    UpdateButtons();
}

void TTgRadioGroup::ItemsChanged(TObject*) {
    if (!IsLoading()) UpdateButtons();
}

void TTgRadioGroup::UpdateButtons() {
    const int count = items_->Count();
    if (itemIndex_ >= count) itemIndex_ = count - 1;
    SetButtonCount(count);
    // A button may have been freed from outside meanwhile: only the ones there get a line.
    for (int i = 0; i < std::min(count, ButtonCount()); ++i) buttons_[static_cast<size_t>(i)]->SetCaption((*items_)[i]);
    if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) {
        updating_ = true;
        try {
            buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(true);
        } catch (...) {
            updating_ = false;
            throw;
        }
        updating_ = false;
    }
    ArrangeButtons();
}

void TTgRadioGroup::SetButtonCount(int n) {
    while (ButtonCount() < n) buttons_.push_back(new TTgGroupButton(this));
    while (ButtonCount() > n) {
        TTgGroupButton* b = buttons_.back();
        buttons_.pop_back();
        b->Free();
    }
}

void TTgRadioGroup::SetItemIndex(int v) {
    if (IsLoading()) {
        itemIndex_ = v;
        return;
    }
    v = std::clamp(v, -1, ButtonCount() - 1);
    if (v == itemIndex_) return;
    if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(false);
    itemIndex_ = v;
    if (v >= 0) buttons_[static_cast<size_t>(v)]->SetChecked(true);
}

void TTgRadioGroup::ButtonClick(TObject* sender) {
    if (updating_) return;
    const auto it = std::find(buttons_.begin(), buttons_.end(), sender);
    itemIndex_ = it == buttons_.end() ? -1 : static_cast<int>(it - buttons_.begin());
    Changed();
    Click();
}

void TTgRadioGroup::Changed() { Perform(TTgRadioButton::CM_CHANGED, 0, reinterpret_cast<intptr_t>(this)); }

void TTgRadioGroup::SetColumns(int v) {
    v = std::clamp(v, 1, 16);
    if (v == columns_) return;
    columns_ = v;
    ArrangeButtons();
}

void TTgRadioGroup::ArrangeButtons() {
    if (buttons_.empty() || IsLoading() || arranging_) return;
    arranging_ = true;
    const int n = ButtonCount();
    const int textHeight = TextHeight(*Font());
    const int perColumn = (n + columns_ - 1) / columns_;
    const int buttonWidth = (Width() - 10) / columns_;
    const int space = Height() - textHeight - 5;
    const int buttonHeight = space / perColumn;
    const int margin = (space % perColumn) / 2 + textHeight + 1;
    // A copy: showing a button runs its handlers.
    const std::vector<TTgGroupButton*> buttons = buttons_;
    for (int i = 0; i < n; ++i) {
        int left = (i / perColumn) * buttonWidth + 8;
        if (UseRightToLeftReading()) left = ClientWidth() - left - buttonWidth;
        const int top = (i % perColumn) * buttonHeight + margin;
        TTgGroupButton* b = buttons[static_cast<size_t>(i)];
        b->SetBounds(left, top, buttonWidth, buttonHeight);
        b->SetVisible(true);
    }
    arranging_ = false;
}

void TTgRadioGroup::AlignControls(TControl* moved) {
    TCustomGroupBox::AlignControls(moved);
    ArrangeButtons();
}

void TTgRadioGroup::SetEnabled(bool v) {
    TCustomGroupBox::SetEnabled(v);
    const std::vector<TTgGroupButton*> buttons = buttons_;
    for (TTgGroupButton* b : buttons) b->SetEnabled(Enabled());
}

void TTgRadioGroup::SetParent(TWinControl* parent) {
    TCustomGroupBox::SetParent(parent);
    TakeParentCtl3D();
    TakeParentBiDiMode();
}

void TTgRadioGroup::TellButtons() {
    for (TControl* c : ControlList()) {
        if (auto* r = dynamic_cast<TTgRadioButton*>(c)) {
            r->ParentCtl3DChanged();
            r->ParentBiDiModeChanged();
        }
    }
}

void TTgRadioGroup::SetCtl3D(bool v) {
    if (v == Ctl3D()) return;
    TCustomGroupBox::SetCtl3D(v);
    parentCtl3D_ = false;
    TellButtons();
}

void TTgRadioGroup::SetParentCtl3D(bool v) {
    if (v == parentCtl3D_) return;
    parentCtl3D_ = v;
    TakeParentCtl3D();
}

void TTgRadioGroup::TakeParentCtl3D() {
    if (!parentCtl3D_) return;
    const std::optional<int64_t> v = ParentPublishedOrd(this, "Ctl3D");
    if (!v || (*v != 0) == Ctl3D()) return;
    TCustomGroupBox::SetCtl3D(*v != 0);
    TellButtons();
}

void TTgRadioGroup::SetBiDiMode(TBiDiMode v) {
    if (v == biDiMode_) return;
    biDiMode_ = v;
    parentBiDiMode_ = false;
    TellButtons();
    ArrangeButtons();
}

void TTgRadioGroup::SetParentBiDiMode(bool v) {
    if (v == parentBiDiMode_) return;
    parentBiDiMode_ = v;
    TakeParentBiDiMode();
}

void TTgRadioGroup::TakeParentBiDiMode() {
    if (!parentBiDiMode_) return;
    const std::optional<int64_t> v = ParentPublishedOrd(this, "BiDiMode");
    if (!v || *v < 0 || *v > static_cast<int64_t>(TBiDiMode::bdRightToLeftReadingOnly)) return;
    if (static_cast<TBiDiMode>(*v) == biDiMode_) return;
    biDiMode_ = static_cast<TBiDiMode>(*v);
    TellButtons();
    ArrangeButtons();
}
