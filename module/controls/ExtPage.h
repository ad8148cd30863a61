// A page control whose tabs the control draws itself: the active tab in the active caption's
// colours and bold, the others in the inactive caption's.
#pragma once

#include "platform/ui/ComCtrls.h"

class TExtPageControl : public ui::TPageControl {
public:
    explicit TExtPageControl(ui::TComponent* owner);
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // OnDrawTab when assigned; else the tab's rectangle filled (the active one 2 pixels smaller
    // on every side) and the caption of its page centred on one line.
    void DrawTab(int tabIndex, const ui::TRect& rect, bool active) override;
};
