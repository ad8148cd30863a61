// TTgRadioButton: a radio button that paints its own caption, in its own font, over the caption
// the platform drew (the font may have been changed for the interface's code page).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/Graphics.h"
#include "platform/ui/StdCtrls.h"

enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
const ui::EnumInfo& BiDiModeEnum();

// An ordinal property of the control's parent, when the parent publishes one of that name.
std::optional<int64_t> ParentPublishedOrd(const ui::TControl* control, std::string_view name);

class TTgRadioButton : public ui::TButtonControl {
public:
    explicit TTgRadioButton(ui::TComponent* owner);
    ~TTgRadioButton() override;
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // Right justified: the caption stands to the right of the circle.
    ui::TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(ui::TAlignment v);
    bool Checked() const noexcept { return checked_; }
    // Checking takes the tab stop, unchecks every other TTgRadioButton of the same parent,
    // signals the change and clicks, unless clicks are suppressed at that moment.
    void SetChecked(bool v);
    bool Ctl3D() const noexcept { return ctl3D_; }
    void SetCtl3D(bool v);
    bool ParentCtl3D() const noexcept { return parentCtl3D_; }
    void SetParentCtl3D(bool v);
    TBiDiMode BiDiMode() const noexcept { return biDiMode_; }
    void SetBiDiMode(TBiDiMode v);
    bool ParentBiDiMode() const noexcept { return parentBiDiMode_; }
    void SetParentBiDiMode(bool v);
    // Takes the parent's 3D look and reading order where this button follows its parent.
    void ParentCtl3DChanged();
    void ParentBiDiModeChanged();

    // The window's notifications: a click checks the button (after it took the focus), a double
    // click raises OnDblClick, the Space key checks it as a click does.
    void UserClick();
    void UserDblClick();
    bool KeyUp(uint16_t& key, ui::TShiftState shift) override;
    // The caption's accelerator focuses the button when it can take the focus; true when the
    // character was the accelerator.
    bool DialogChar(char c);
    void WndProc(ui::TMessage& m) override;

    void SetParent(ui::TWinControl* parent) override;

    // The button's own drawing surface (its window's picture, Width x Height) and its painting:
    // the circle as the platform draws it, then the caption in the button's font, starting the
    // offset for the font's size from the edge the circle stands at.
    ui::TCanvas* Canvas();
    void Paint();
    static int CaptionOffset(int fontSize);

    // Control messages of the class library the radio controls take or send.
    static constexpr uint32_t CM_DIALOGCHAR = ui::CM_BASE + 6;
    static constexpr uint32_t CM_CHANGED = ui::CM_BASE + 37;

protected:
    bool ClicksDisabled() const noexcept { return clicksDisabled_; }
    void SetClicksDisabled(bool v) noexcept { clicksDisabled_ = v; }
    void Changed();

private:
    void RecreateWnd();
    void Repaint();
    void PaintCircle(ui::TCanvas& c);
    void PaintCaption(ui::TCanvas& c);
    ui::TAlignment alignment_ = ui::TAlignment::taRightJustify;
    bool checked_ = false;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
    bool parentBiDiMode_ = true;
    bool clicksDisabled_ = false;
    std::unique_ptr<ui::TBitmap> surface_;
};
