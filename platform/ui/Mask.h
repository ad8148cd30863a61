// Mask edits: edits with an edit mask. The mask is stored, published and reported (IsMasked);
// the text is handled as a plain edit's. The rules of the mask (literals, blanks, validation)
// belong in the overridable steps below: EditText is the text as shown, Text the text as the
// program reads it (without the mask's literals when the mask says so), ValidateEdit the check
// on leaving.
#pragma once

#include <string>

#include "StdCtrls.h"

namespace ui {

class EDBEditError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EDBEditError"; }
};

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    const std::string& EditMask() const noexcept { return editMask_; }
    virtual void SetEditMask(const std::string& v);
    bool IsMasked() const noexcept { return !editMask_.empty(); }

    // The text as shown in the box; without mask rules, the stored text.
    virtual std::string GetEditText() const { return TCustomEdit::GetText(); }
    virtual void SetEditText(const std::string& v) { TCustomEdit::SetText(v); }
    std::string EditText() const { return GetEditText(); }
    // The text as read by the program; without mask rules, the edit text.
    std::string GetText() const override { return GetEditText(); }
    void SetText(const std::string& v) override { SetEditText(v); }
    // Checks the text against the mask; raises EDBEditError when it does not fit.
    virtual void ValidateEdit() {}

    TImeMode ImeMode() const noexcept { return imeMode_; }
    void SetImeMode(TImeMode v) { imeMode_ = v; }
    const std::string& ImeName() const noexcept { return imeName_; }
    void SetImeName(const std::string& v) { imeName_ = v; }

private:
    std::string editMask_;
    TImeMode imeMode_ = TImeMode::imDontCare;
    std::string imeName_;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

}  // namespace ui
