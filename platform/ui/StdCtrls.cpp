#include "StdCtrls.h"

#include <algorithm>

#include "Forms.h"

namespace ui {

const EnumInfo& TextLayoutEnum() {
    static const EnumInfo info{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
    return info;
}

// ---- Labels ----------------------------------------------------------------------------------

const ClassInfo& TCustomLabel::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomLabel>("TCustomLabel", &TGraphicControl::StaticClassInfo())
            .Str("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption)
            .Enum("Alignment", AlignmentEnum(), &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, 0)
            .Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true)
            .Object<TWinControl>("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl)
            .Enum("Layout", TextLayoutEnum(), &TCustomLabel::Layout, &TCustomLabel::SetLayout, 0)
            .Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true)
            .Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false)
            .Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false)
            .Build();
    return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBoundsDirect(0, 0, 65, 17);
    autoSize_ = true;
}

void TCustomLabel::Destroy() {
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = nullptr;
    TGraphicControl::Destroy();
}

void TCustomLabel::SetFocusControl(TWinControl* c) {
    if (c == focusControl_) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = c;
    if (c) c->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::SetWordWrap(bool v) {
    wordWrap_ = v;
    if (autoSize_) AdjustSize();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    showAccelChar_ = v;
    if (autoSize_) AdjustSize();
}

std::string TCustomLabel::DisplayText() const {
    const std::string t = GetText();
    if (!showAccelChar_) return t;
    std::string r;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '&') {
            if (i + 1 < t.size() && t[i + 1] == '&') {
                r.push_back('&');
                ++i;
            }
            continue;
        }
        r.push_back(t[i]);
    }
    return r;
}

void TCustomLabel::AdjustSize() {
    if (!autoSize_ || IsLoading()) return;
    const std::string text = DisplayText();
    const int h = TextHeight(*Font());
    if (wordWrap_) {
        SetBounds(Left(), Top(), Width(), h);
    } else {
        SetBounds(Left(), Top(), TextWidth(*Font(), text), h);
    }
}

const ClassInfo& TLabel::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TLabel>("TLabel", &TCustomLabel::StaticClassInfo()).Build();
    return info;
}

// ---- Edits -----------------------------------------------------------------------------------

const ClassInfo& TCustomEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TCustomEdit>("TCustomEdit", &TWinControl::StaticClassInfo())
                                      .Str("Text", &TCustomEdit::Text, &TCustomEdit::SetTextProp)
                                      .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true)
                                      .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0)
                                      .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false)
                                      .Event("OnChange", &TCustomEdit::OnChange)
                                      .Build();
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetBoundsDirect(0, 0, 121, 21);
    SetColor(clWindow);
    SetTabStop(true);
}

void TCustomEdit::TextChanged() {
    const int len = static_cast<int>(text_.size());
    selStart_ = std::min(selStart_, len);
    selLength_ = std::min(selLength_, len - selStart_);
    Change();
}

void TCustomEdit::SetSelStart(int v) {
    selStart_ = std::clamp(v, 0, static_cast<int>(text_.size()));
    selLength_ = 0;
}

void TCustomEdit::SetSelLength(int v) { selLength_ = std::clamp(v, 0, static_cast<int>(text_.size()) - selStart_); }

void TCustomEdit::SelectAll() {
    selStart_ = 0;
    selLength_ = static_cast<int>(text_.size());
}

void TCustomEdit::InsertChar(char c) {
    if (readOnly_) return;
    std::string t = text_;
    const size_t start = static_cast<size_t>(std::min(selStart_, static_cast<int>(t.size())));
    if (c == '\b') {
        if (selLength_ > 0) {
            t.erase(start, static_cast<size_t>(selLength_));
            selLength_ = 0;
            selStart_ = static_cast<int>(start);
        } else if (start > 0) {
            // Back over one whole character, however many bytes it takes.
            size_t p = start - 1;
            while (p > 0 && (static_cast<unsigned char>(t[p]) & 0xC0) == 0x80) --p;
            t.erase(p, start - p);
            selStart_ = static_cast<int>(p);
        }
    } else {
        t.erase(start, static_cast<size_t>(selLength_));
        if (maxLength_ > 0 && static_cast<int>(t.size()) >= maxLength_) return;
        t.insert(start, 1, c);
        selStart_ = static_cast<int>(start) + 1;
        selLength_ = 0;
    }
    const int caret = selStart_;
    SetText(t);
    selStart_ = std::min(caret, static_cast<int>(text_.size()));
}

void TCustomEdit::TypeText(const std::string& text) {
    for (char c : text) {
        char ch = c;
        const bool consumed = [&] {
            TCustomForm* form = GetParentForm(this);
            if (form && form->KeyPreview() && form->KeyPress(ch)) return true;
            return KeyPress(ch);
        }();
        if (!consumed) InsertChar(ch);
    }
}

const ClassInfo& TEdit::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TEdit>("TEdit", &TCustomEdit::StaticClassInfo()).Build();
    return info;
}

// ---- Buttons ---------------------------------------------------------------------------------

const ClassInfo& TButtonControl::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TButtonControl>("TButtonControl", &TWinControl::StaticClassInfo()).Build();
    return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

const ClassInfo& TButton::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TButton>("TButton", &TButtonControl::StaticClassInfo())
                                      .Str("Caption", &TButton::Caption, &TButton::SetCaption)
                                      .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
                                      .Bool("Default", &TButton::Default, &TButton::SetDefault, false)
                                      .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0)
                                      .Build();
    return info;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBoundsDirect(0, 0, 75, 25); }

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

}  // namespace ui
