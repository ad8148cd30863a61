// Spin edits: an edit holding a whole number with a pair of up and down buttons beside it.
#pragma once

#include <cstdint>

#include "Controls.h"
#include "StdCtrls.h"

namespace ui {

// The up and down buttons. A press first gives the focus to FocusControl (or the buttons
// themselves), then tells OnUpClick or OnDownClick.
class TSpinButton : public TWinControl {
public:
    explicit TSpinButton(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TWinControl* FocusControl() const noexcept { return focusControl_; }
    void SetFocusControl(TWinControl* v);
    // A press of the user on the upper or lower button.
    void ClickUp();
    void ClickDown();

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void TakeFocus();
    TWinControl* focusControl_ = nullptr;
};

// The class library's spin edit. Text and Value are one: Value reads the text as a whole
// number (MinValue when it is none) and writes it kept between MinValue and MaxValue, unless
// the two are equal (then any number goes). The bounds themselves change nothing at once; a
// value outside them is corrected when the edit is left. Up and Down (keys or buttons) add or
// take Increment. Typing lets through digits, signs, the decimal separator and control
// characters other than Enter; with EditorEnabled off nothing is typed at all.
class TSpinEdit : public TCustomEdit {
public:
    explicit TSpinEdit(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int32_t Value() const;
    void SetValue(int32_t v);
    int32_t MinValue() const noexcept { return minValue_; }
    void SetMinValue(int32_t v) { minValue_ = v; }
    int32_t MaxValue() const noexcept { return maxValue_; }
    void SetMaxValue(int32_t v) { maxValue_ = v; }
    int32_t Increment() const noexcept { return increment_; }
    void SetIncrement(int32_t v) { increment_ = v; }
    bool EditorEnabled() const noexcept { return editorEnabled_; }
    void SetEditorEnabled(bool v) { editorEnabled_ = v; }
    TSpinButton* Button() const noexcept { return button_; }

    // The value kept in range (see above).
    int32_t CheckValue(int32_t v) const;
    // The least height that shows the text: the font's height, a quarter of the smaller of it and
    // the system font's (16), and 2.
    int MinHeight() const;
    // A spin edit is never lower than MinHeight.
    void SetBounds(int left, int top, int width, int height) override;
    void AlignControls(TControl* moved) override;

    bool KeyDown(uint16_t& key, TShiftState shift) override;
    bool KeyPress(char& key) override;
    void WndProc(TMessage& m) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    virtual bool IsValidChar(char key) const;
    virtual void UpClick(TObject* sender);
    virtual void DownClick(TObject* sender);

private:
    int32_t minValue_ = 0;
    int32_t maxValue_ = 0;
    int32_t increment_ = 1;
    bool editorEnabled_ = true;
    TSpinButton* button_ = nullptr;
};

}  // namespace ui
