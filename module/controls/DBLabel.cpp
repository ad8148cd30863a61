#include "DBLabel.h"

#include "platform/data/DB.h"
#include "platform/ui/Dialogs.h"

using namespace ui;

const EnumInfo& PosEnum() {
    static const EnumInfo info{"TPos", {"psTop", "psLeft", "psRight", "psBottom"}};
    return info;
}

const ClassInfo& TDBLabel::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TDBLabel>("TDBLabel", &TLabel::StaticClassInfo())
                                      .Bool("AutoAlign", &TDBLabel::AutoAlign, &TDBLabel::SetAutoAlign, true)
                                      .Bool("AutoCaption", &TDBLabel::AutoCaption, &TDBLabel::SetAutoCaption, true)
                                      .Object<TWinControl>("FocusControl", &TDBLabel::FocusControl, &TDBLabel::SetFocusControl)
                                      .Int("Gap", &TDBLabel::Gap, &TDBLabel::SetGap, 4)
                                      .Enum("Pos", PosEnum(), &TDBLabel::Pos, &TDBLabel::SetPos, 1)
                                      .Build();
    return info;
}

TDBLabel::TDBLabel(TComponent* owner) : TLabel(owner) { SetCaption("挂靠标签"); }

void TDBLabel::SetAutoAlign(bool v) {
    autoAlign_ = v;
    RefreshCaption();
    AlignLabel();
}

void TDBLabel::SetAutoCaption(bool v) {
    autoCaption_ = v;
    RefreshCaption();
    AlignLabel();
}

void TDBLabel::SetGap(uint8_t v) {
    if (v == gap_) return;
    gap_ = v;
    RefreshCaption();
    AlignLabel();
}

void TDBLabel::SetPos(TPos v) {
    if (v == pos_) return;
    pos_ = v;
    RefreshCaption();
    AlignLabel();
}

void TDBLabel::SetFocusControl(TWinControl* c) {
    if (c && Parent()) {
        for (TComponent* other : Parent()->ComponentList()) {
            auto* label = dynamic_cast<TDBLabel*>(other);
            if (label && label != this && label->FocusControl() == c) {
                MessageDlg("不能同时有两个 DBLabel 指到同一个 Control.", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
                return;
            }
        }
    }
    if (c && c == FocusControl()) return;
    TLabel::SetFocusControl(c);
    RefreshCaption();
    AlignLabel();
}

void TDBLabel::RefreshCaption() {
    TWinControl* control = FocusControl();
    if (!autoCaption_ || !control) return;
    const PropInfo* sourceProp = GetPropInfo(control, "DataSource");
    if (!sourceProp || sourceProp->Kind != TypeKind::Class || !sourceProp->GetObject) return;
    auto* source = dynamic_cast<data::TDataSource*>(sourceProp->GetObject(*control));
    if (!source || !source->DataSet()) return;
    const PropInfo* fieldProp = GetPropInfo(control, "DataField");
    if (!fieldProp || fieldProp->Kind != TypeKind::String || !fieldProp->GetStr) return;
    if (data::TField* field = source->DataSet()->FindField(fieldProp->GetStr(*control))) SetCaption(field->DisplayLabel());
}

void TDBLabel::AlignLabel() {
    TWinControl* c = FocusControl();
    if (!autoAlign_ || !c) return;
    const int w = Width(), h = Height(), g = gap_;
    const int centred = c->Height() == h ? c->Top() : c->Top() + c->Height() / 2 - h / 2;
    int left = 0, top = 0;
    switch (pos_) {
        case TPos::psTop:
            left = c->Left();
            top = c->Top() - h - g;
            break;
        case TPos::psLeft:
            left = c->Left() - w - g;
            top = centred;
            break;
        case TPos::psRight:
            left = c->Left() + c->Width() + g;
            top = centred;
            break;
        case TPos::psBottom:
            left = c->Left();
            top = c->Top() + c->Height() + g;
            break;
    }
    if (top < 0) top = 0;
    if ((pos_ == TPos::psLeft || pos_ == TPos::psRight) && left < 0) left = 0;
    SetBounds(left, top, w, h);
}

void TDBLabel::Loaded() {
    TLabel::Loaded();
    RefreshCaption();
    AlignLabel();
}
