#include "Spin.h"

#include <algorithm>
#include <climits>

#include "Forms.h"

namespace ui {

// ---- TSpinButton ---------------------------------------------------------------------------------

const ClassInfo& TSpinButton::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TSpinButton>("TSpinButton", &TWinControl::StaticClassInfo())
                                      .Object<TWinControl>("FocusControl", &TSpinButton::FocusControl, &TSpinButton::SetFocusControl)
                                      .Event("OnDownClick", &TSpinButton::OnDownClick)
                                      .Event("OnUpClick", &TSpinButton::OnUpClick)
                                      .Build();
    return info;
}

TSpinButton::TSpinButton(TComponent* owner) : TWinControl(owner) { SetBoundsDirect(0, 0, 20, 18); }

void TSpinButton::Destroy() {
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = nullptr;
    TWinControl::Destroy();
}

void TSpinButton::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TSpinButton::SetFocusControl(TWinControl* v) {
    if (v == focusControl_) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = v;
    if (v) v->FreeNotification(this);
}

void TSpinButton::TakeFocus() {
    if (!GetParentForm(this)) return;
    if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() && !focusControl_->Focused()) {
        focusControl_->SetFocus();
    } else if (TabStop() && !Focused() && CanFocus()) {
        SetFocus();
    }
}

void TSpinButton::ClickUp() {
    if (!Enabled()) return;
    TakeFocus();
    OnUpClick(this);
}

void TSpinButton::ClickDown() {
    if (!Enabled()) return;
    TakeFocus();
    OnDownClick(this);
}

// ---- TSpinEdit -------------------------------------------------------------------------------------

const ClassInfo& TSpinEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TSpinEdit>("TSpinEdit", &TCustomEdit::StaticClassInfo())
                                      .Bool("EditorEnabled", &TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled, true)
                                      .Int("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement, 1)
                                      .Int("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue)
                                      .Int("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue)
                                      .Int("Value", &TSpinEdit::Value, &TSpinEdit::SetValue)
                                      .Build();
    return info;
}

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) {
    button_ = new TSpinButton(this);
    button_->SetBounds(0, 0, 15, 17);
    button_->SetParent(this);
    button_->SetFocusControl(this);
    button_->OnUpClick = TNotifyEvent(this, &TSpinEdit::UpClick);
    button_->OnDownClick = TNotifyEvent(this, &TSpinEdit::DownClick);
    SetText("0");
    AlignControls(nullptr);
}

void TSpinEdit::Notification(TComponent* component, TOperation operation) {
    TCustomEdit::Notification(component, operation);
    if (operation == TOperation::opRemove && component == button_) button_ = nullptr;
}

int32_t TSpinEdit::CheckValue(int32_t v) const {
    if (maxValue_ != minValue_) {
        if (v < minValue_) return minValue_;
        if (v > maxValue_) return maxValue_;
    }
    return v;
}

int32_t TSpinEdit::Value() const {
    int v = 0;
    return rtl::TryStrToInt(Text(), v) ? v : minValue_;
}

void TSpinEdit::SetValue(int32_t v) { SetText(rtl::IntToStr(CheckValue(v))); }

int TSpinEdit::MinHeight() const {
    constexpr int systemFontHeight = 16;
    const int h = TextHeight(*Font());
    return h + std::min(h, systemFontHeight) / 4 + 2;
}

void TSpinEdit::SetBounds(int left, int top, int width, int height) {
    TCustomEdit::SetBounds(left, top, width, std::max(height, MinHeight()));
}

void TSpinEdit::AlignControls(TControl* moved) {
    TCustomEdit::AlignControls(moved);
    // The buttons stand at the right, inside the sunken border.
    if (button_) button_->SetBounds(Width() - button_->Width() - 5, 0, button_->Width(), Height() - 5);
}

bool TSpinEdit::IsValidChar(char key) const {
    const auto k = static_cast<unsigned char>(key);
    bool ok = key == rtl::FormatSettings().DecimalSeparator || key == '+' || key == '-' || (key >= '0' && key <= '9') ||
              (k < 0x20 && key != '\r');
    if (!editorEnabled_ && ok && (k >= 0x20 || key == '\b' || k == VK_DELETE)) ok = false;
    return ok;
}

bool TSpinEdit::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == VK_UP) {
        UpClick(this);
    } else if (key == VK_DOWN) {
        DownClick(this);
    }
    return TCustomEdit::KeyDown(key, shift);
}

bool TSpinEdit::KeyPress(char& key) {
    if (!IsValidChar(key)) {
        key = 0;
        return true;
    }
    return TCustomEdit::KeyPress(key);
}

void TSpinEdit::UpClick(TObject*) {
    if (ReadOnly()) return;
    SetValue(static_cast<int32_t>(std::clamp<int64_t>(int64_t{Value()} + increment_, INT32_MIN, INT32_MAX)));
}

void TSpinEdit::DownClick(TObject*) {
    if (ReadOnly()) return;
    SetValue(static_cast<int32_t>(std::clamp<int64_t>(int64_t{Value()} - increment_, INT32_MIN, INT32_MAX)));
}

void TSpinEdit::WndProc(TMessage& m) {
    if (m.Msg == CM_ENTER && AutoSelect()) SelectAll();
    TCustomEdit::WndProc(m);
    // Leaving corrects a value outside the bounds (after the exit event).
    if (m.Msg == CM_EXIT && CheckValue(Value()) != Value()) SetValue(Value());
}

}  // namespace ui
