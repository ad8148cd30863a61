// The system's spin edit: a sign typed after the first character is taken back, and a blank
// text tells no change.
#pragma once

#include "platform/ui/Spin.h"

class TTgSpinEdit : public ui::TSpinEdit {
public:
    explicit TTgSpinEdit(ui::TComponent* owner) : ui::TSpinEdit(owner) {}
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

protected:
    void Change() override;
};
