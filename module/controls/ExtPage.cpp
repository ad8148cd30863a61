#include "ExtPage.h"

using namespace ui;

const ClassInfo& TExtPageControl::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TExtPageControl>("TExtPageControl", &TPageControl::StaticClassInfo())
                                      .Bool("OwnerDraw", &TExtPageControl::OwnerDraw, &TExtPageControl::SetOwnerDraw, true)
                                      .Build();
    return info;
}

TExtPageControl::TExtPageControl(TComponent* owner) : TPageControl(owner) { SetOwnerDraw(true); }

void TExtPageControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
    if (OnDrawTab) {
        OnDrawTab(this, tabIndex, rect, active);
        return;
    }
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    TRect r = rect;
    if (active) {
        r.Left += 2;
        r.Top += 2;
        r.Right -= 2;
        r.Bottom -= 2;
        canvas->Font()->SetColor(clCaptionText);
        canvas->Font()->SetStyle(canvas->Font()->Style() | (1u << fsBold));
        canvas->Brush()->SetColor(clActiveCaption);
    } else {
        canvas->Font()->SetColor(clInactiveCaptionText);
        canvas->Font()->SetStyle(canvas->Font()->Style() & ~(1u << fsBold));
        canvas->Brush()->SetColor(clInactiveCaption);
    }
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->FillRect(r);
    if (!active) r.Top += 2;
    canvas->DrawText(TabCaption(tabIndex), r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}
