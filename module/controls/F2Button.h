// TF2Button: the lookup button beside an input control. A click asks the control's form to open
// the lookup window for it, the same request the F2 key makes (WM_OPENLOOKUP).
#pragma once

#include <cstdint>

#include "GSpdBtn.h"

class TF2Button : public TGSpeedButton {
public:
    explicit TF2Button(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool AutoAlign() const noexcept { return autoAlign_; }
    void SetAutoAlign(bool v);
    ui::TWinControl* F2Control() const noexcept { return f2Control_; }
    // One lookup button per control: a control that another TF2Button among the components of
    // this button's parent already serves is refused with a dialog.
    void SetF2Control(ui::TWinControl* control);
    uint8_t Gap() const noexcept { return gap_; }
    void SetGap(uint8_t v);

    // Square, just to the right of the control, Gap pixels away; nothing without a control or
    // with AutoAlign off.
    void AlignToControl();
    // The button's own click, then the lookup request for the bound control when it is enabled
    // and has the focus.
    void Click() override;

protected:
    void Destroy() override;
    void Notification(ui::TComponent* component, ui::TOperation operation) override;

private:
    bool autoAlign_ = true;
    ui::TWinControl* f2Control_ = nullptr;
    uint8_t gap_ = 2;
};

// Sends the lookup request for `control` to the window of the component that owns it; nothing
// when the owner has no window. Shared by the lookup buttons of the bound edits.
void SendLookupRequest(ui::TWinControl* control);
