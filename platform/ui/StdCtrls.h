// Standard controls: labels, edits, buttons.
#pragma once

#include <string>

#include "Controls.h"

namespace ui {

enum class TTextLayout { tlTop, tlCenter, tlBottom };
const EnumInfo& TextLayoutEnum();

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment v) { alignment_ = v; }
    TTextLayout Layout() const noexcept { return layout_; }
    void SetLayout(TTextLayout v) { layout_ = v; }
    TWinControl* FocusControl() const noexcept { return focusControl_; }
    void SetFocusControl(TWinControl* c);
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool v);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; }
    bool ShowAccelChar() const noexcept { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    // The caption as shown: "&&" is "&", a single "&" marks the accelerator and is not shown.
    std::string DisplayText() const;

protected:
    void AdjustSize() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Destroy() override;

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    TWinControl* focusControl_ = nullptr;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(int v) { maxLength_ = v; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    char PasswordChar() const noexcept { return passwordChar_; }
    void SetPasswordChar(char v) { passwordChar_ = v; }
    bool AutoSelect() const noexcept { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    int SelStart() const noexcept { return selStart_; }
    void SetSelStart(int v);
    int SelLength() const noexcept { return selLength_; }
    void SetSelLength(int v);
    void SelectAll();
    void Clear() { SetText(""); }

    // Typing as a user does: each character goes through the key events and, unless consumed,
    // replaces the selection (MaxLength and ReadOnly respected).
    virtual void TypeText(const std::string& text);

    TNotifyEvent OnChange;

protected:
    void TextChanged() override;
    virtual void Change() { OnChange(this); }
    virtual void InsertChar(char c);

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    bool autoSelect_ = true;
    int selStart_ = 0;
    int selLength_ = 0;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool Default() const noexcept { return default_; }
    void SetDefault(bool v) { default_ = v; }
    bool Cancel() const noexcept { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    // Gives the form the button's modal result, then runs OnClick.
    void Click() override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

}  // namespace ui
