// A label that belongs to one input control: it keeps itself beside the control and can take
// its caption from the display label of the control's data field.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/StdCtrls.h"

enum class TPos { psTop, psLeft, psRight, psBottom };
const ui::EnumInfo& PosEnum();

class TDBLabel : public ui::TLabel {
public:
    explicit TDBLabel(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool AutoAlign() const noexcept { return autoAlign_; }
    void SetAutoAlign(bool v);
    bool AutoCaption() const noexcept { return autoCaption_; }
    void SetAutoCaption(bool v);
    // Refuses, with a dialog, a control that another label of the same parent already has.
    void SetFocusControl(ui::TWinControl* c);
    uint8_t Gap() const noexcept { return gap_; }
    void SetGap(uint8_t v);
    TPos Pos() const noexcept { return pos_; }
    void SetPos(TPos v);

    // With AutoCaption: the caption becomes the display label of the control's data field
    // (its published DataSource and DataField); it stays when any of them is missing.
    void RefreshCaption();
    // With AutoAlign: the label moves beside the control, Gap pixels away, as Pos says.
    void AlignLabel();

protected:
    // A stored form sets the control before its bounds: align once everything is read.
    void Loaded() override;

private:
    bool autoAlign_ = true;
    bool autoCaption_ = true;
    uint8_t gap_ = 4;
    TPos pos_ = TPos::psLeft;
};
