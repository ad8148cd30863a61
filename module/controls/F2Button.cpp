#include "F2Button.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Messages.h"
#include "platform/ui/WindowSystem.h"

using namespace ui;

void SendLookupRequest(TWinControl* control) {
    if (!control) return;
    auto* owner = dynamic_cast<TWinControl*>(control->Owner());
    if (!owner) return;
    WindowSystem().SendMessage(owner->Handle(), WM_OPENLOOKUP, 0, reinterpret_cast<intptr_t>(control));
}

const ClassInfo& TF2Button::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TF2Button>("TF2Button", &TGSpeedButton::StaticClassInfo())
                                      .Bool("AutoAlign", &TF2Button::AutoAlign, &TF2Button::SetAutoAlign, true)
                                      .Object<TWinControl>("F2Control", &TF2Button::F2Control, &TF2Button::SetF2Control)
                                      .Int("Gap", &TF2Button::Gap, &TF2Button::SetGap, 2)
                                      .Build();
    return info;
}

TF2Button::TF2Button(TComponent* owner) : TGSpeedButton(owner) {
    SetFlat(true);
    SetGlyphIndex(8);
}

void TF2Button::Destroy() {
    if (f2Control_) f2Control_->RemoveFreeNotification(this);
    f2Control_ = nullptr;
    TGSpeedButton::Destroy();
}

void TF2Button::Notification(TComponent* component, TOperation operation) {
    TGSpeedButton::Notification(component, operation);
    if (operation == TOperation::opRemove && component == f2Control_) f2Control_ = nullptr;
}

void TF2Button::SetF2Control(TWinControl* control) {
    if (control) {
        // The rule looks among the components the parent owns, as the class has always done;
        // without a parent there is nothing to look through.
        if (TWinControl* parent = Parent()) {
            for (TComponent* c : parent->ComponentList()) {
                auto* other = dynamic_cast<TF2Button*>(c);
                if (other && other != this && other->f2Control_ == control) {
                    MessageDlg("不能同时有两个 F2Button 指到同一个 Edit.", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
                    return;
                }
            }
        }
        if (control == f2Control_) return;
    }
    if (f2Control_) f2Control_->RemoveFreeNotification(this);
    f2Control_ = control;
    if (control) control->FreeNotification(this);
    AlignToControl();
}

void TF2Button::SetAutoAlign(bool v) {
    autoAlign_ = v;
    AlignToControl();
}

void TF2Button::SetGap(uint8_t v) {
    if (v == gap_) return;
    gap_ = v;
    AlignToControl();
}

void TF2Button::AlignToControl() {
    if (!f2Control_ || !autoAlign_) return;
    const int h = f2Control_->Height();
    SetBounds(f2Control_->Left() + f2Control_->Width() + gap_, f2Control_->Top(), h, h);
}

void TF2Button::Click() {
    TGSpeedButton::Click();
    // The click handler may have unbound or freed the control: read the binding afresh.
    if (!f2Control_ || !f2Control_->Enabled()) return;
    if (f2Control_->CanFocus()) f2Control_->SetFocus();
    if (f2Control_ && f2Control_->Focused()) SendLookupRequest(f2Control_);
}
