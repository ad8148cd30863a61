#include "ExtCtrls.h"

#include <algorithm>

namespace ui {

namespace {
constexpr int crHSplit = -14;
constexpr int crVSplit = -15;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
}  // namespace

const EnumInfo& BevelCutEnum() {
    static const EnumInfo info{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
    return info;
}

// ---- TCustomPanel ------------------------------------------------------------------------------

const ClassInfo& TCustomPanel::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TCustomPanel>("TCustomPanel", &TWinControl::StaticClassInfo())
            .Enum("Alignment", AlignmentEnum(), &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, 2)
            .Enum("BevelInner", BevelCutEnum(), &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, 0)
            .Enum("BevelOuter", BevelCutEnum(), &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, 2)
            .Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1)
            .Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0)
            .Enum("BorderStyle", ControlBorderStyleEnum(), &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, 0)
            .Str("Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption)
            .Bool("Ctl3D", &TCustomPanel::Ctl3D, &TCustomPanel::SetCtl3D, true)
            .Bool("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint, true)
            .Bool("Locked", &TCustomPanel::Locked, &TCustomPanel::SetLocked, false)
            .Build();
    return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TWinControl(owner) { SetBoundsDirect(0, 0, 185, 41); }

int TCustomPanel::BorderSize() const {
    if (borderStyle_ != TBorderStyle::bsSingle) return 0;
    return ctl3D_ ? 2 : 1;
}

int TCustomPanel::ClientWidth() const { return std::max(0, Width() - 2 * BorderSize()); }
int TCustomPanel::ClientHeight() const { return std::max(0, Height() - 2 * BorderSize()); }

TRect TCustomPanel::AdjustClientRect() const {
    TRect r = ClientRect();
    int inset = borderWidth_;
    if (bevelOuter_ != TBevelCut::bvNone) inset += bevelWidth_;
    if (bevelInner_ != TBevelCut::bvNone) inset += bevelWidth_;
    r.Left += inset;
    r.Top += inset;
    r.Right -= inset;
    r.Bottom -= inset;
    return r;
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
    if (v == bevelInner_) return;
    bevelInner_ = v;
    Realign();
}

void TCustomPanel::SetBevelOuter(TBevelCut v) {
    if (v == bevelOuter_) return;
    bevelOuter_ = v;
    Realign();
}

void TCustomPanel::SetBevelWidth(int v) {
    if (v < 1) v = 1;
    if (v == bevelWidth_) return;
    bevelWidth_ = v;
    Realign();
}

void TCustomPanel::SetBorderWidth(int v) {
    if (v < 0) v = 0;
    if (v == borderWidth_) return;
    borderWidth_ = v;
    Realign();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    Realign();
}

void TCustomPanel::SetCtl3D(bool v) {
    if (v == ctl3D_) return;
    ctl3D_ = v;
    Realign();
}

const ClassInfo& TPanel::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TPanel>("TPanel", &TCustomPanel::StaticClassInfo()).Build();
    return info;
}

// ---- TSplitter ---------------------------------------------------------------------------------

const EnumInfo& ResizeStyleEnum() {
    static const EnumInfo info{"TResizeStyle", {"rsNone", "rsLine", "rsUpdate", "rsPattern"}};
    return info;
}

const ClassInfo& TSplitter::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TSplitter>("TSplitter", &TGraphicControl::StaticClassInfo())
            .Enum("Align", AlignEnum(), &TSplitter::Align, &TSplitter::SetAlign, static_cast<int>(TAlign::alLeft))
            .Bool("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap, true)
            .Bool("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled, false)
            .Int("Cursor", &TSplitter::Cursor, &TSplitter::SetCursor, crHSplit, &CursorIdents())
            .Int("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize, 30)
            .Enum("ResizeStyle", ResizeStyleEnum(), &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle,
                  static_cast<int>(TResizeStyle::rsPattern))
            .Event("OnCanResize", &TSplitter::OnCanResize)
            .Event("OnMoved", &TSplitter::OnMoved)
            .Build();
    return info;
}

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetBoundsDirect(0, 0, 3, 100);
    TControl::SetAlign(TAlign::alLeft);
    SetCursor(crHSplit);
}

void TSplitter::SetAlign(TAlign v) {
    TControl::SetAlign(v);
    if (Cursor() != crHSplit && Cursor() != crVSplit) return;
    SetCursor(v == TAlign::alTop || v == TAlign::alBottom ? crVSplit : crHSplit);
}

TControl* TSplitter::FindControl() const {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    int px = Left(), py = Top();
    switch (Align()) {
        case TAlign::alLeft: --px; break;
        case TAlign::alRight: px += Width(); break;
        case TAlign::alTop: --py; break;
        case TAlign::alBottom: py += Height(); break;
        default: return nullptr;
    }
    const bool before = Align() == TAlign::alLeft || Align() == TAlign::alTop;
    for (TControl* c : parent->ControlList()) {
        if (!c->Visible() || !c->Enabled()) continue;
        TRect r = c->BoundsRect();
        // A collapsed control still counts as touching.
        if (r.Width() == 0) (before ? r.Left : r.Right) += before ? -1 : 1;
        if (r.Height() == 0) (before ? r.Top : r.Bottom) += before ? -1 : 1;
        if (px >= r.Left && px < r.Right && py >= r.Top && py < r.Bottom) return c;
    }
    return nullptr;
}

void TSplitter::CalcSplitSize(int x, int y, int& newSize, int& split) const {
    const bool vertical = Align() == TAlign::alLeft || Align() == TAlign::alRight;
    split = vertical ? x - downPos_.X : y - downPos_.Y;
    int s = 0;
    switch (Align()) {
        case TAlign::alLeft: s = control_->Width() + split; break;
        case TAlign::alRight: s = control_->Width() - split; break;
        case TAlign::alTop: s = control_->Height() + split; break;
        case TAlign::alBottom: s = control_->Height() - split; break;
        default: break;
    }
    newSize = s;
    if (s < minSize_) {
        newSize = minSize_;
    } else if (s > maxSize_) {
        newSize = maxSize_;
    }
    if (s != newSize) {
        if (Align() == TAlign::alRight || Align() == TAlign::alBottom) {
            s = s - newSize;
        } else {
            s = newSize - s;
        }
        split += s;
    }
}

bool TSplitter::CanResize(int& newSize) {
    bool accept = true;
    OnCanResize(this, newSize, accept);
    return accept;
}

bool TSplitter::DoCanResize(int& newSize) {
    const bool result = CanResize(newSize);
    if (result && newSize <= minSize_ && autoSnap_) newSize = 0;
    return result;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled() || !Parent()) return;
    control_ = FindControl();
    downPos_ = TPoint{x, y};
    if (!control_) return;
    TWinControl* parent = Parent();
    if (Align() == TAlign::alLeft || Align() == TAlign::alRight) {
        maxSize_ = parent->ClientWidth() - minSize_;
        for (TControl* c : parent->ControlList()) {
            if (c->Visible() && (c->Align() == TAlign::alLeft || c->Align() == TAlign::alRight)) maxSize_ -= c->Width();
        }
        maxSize_ += control_->Width();
    } else {
        maxSize_ = parent->ClientHeight() - minSize_;
        for (TControl* c : parent->ControlList()) {
            if (c->Align() == TAlign::alTop || c->Align() == TAlign::alBottom) maxSize_ -= c->Height();
        }
        maxSize_ += control_->Height();
    }
    CalcSplitSize(x, y, newSize_, split_);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    if (!(shift & ssLeft) || !control_) return;
    int newSize = 0, split = 0;
    CalcSplitSize(x, y, newSize, split);
    if (!DoCanResize(newSize)) return;
    newSize_ = newSize;
    split_ = split;
    if (resizeStyle_ == TResizeStyle::rsUpdate) UpdateControlSize();
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!control_) return;
    UpdateControlSize();
    control_ = nullptr;
}

void TSplitter::UpdateControlSize() {
    const bool horizontal = Align() == TAlign::alTop || Align() == TAlign::alBottom;
    const int current = horizontal ? control_->Height() : control_->Width();
    // The last size given is remembered as the class library does; a neighbour resized by other
    // means since then is still brought to the new size.
    if (newSize_ == oldSize_ && current == newSize_) return;
    TWinControl* parent = Parent();
    switch (Align()) {
        case TAlign::alLeft: control_->SetWidth(newSize_); break;
        case TAlign::alTop: control_->SetHeight(newSize_); break;
        case TAlign::alRight:
            parent->DisableAlign();
            control_->SetBounds(control_->Left() + (control_->Width() - newSize_), control_->Top(), newSize_,
                                control_->Height());
            parent->EnableAlign();
            break;
        case TAlign::alBottom:
            parent->DisableAlign();
            control_->SetBounds(control_->Left(), control_->Top() + (control_->Height() - newSize_), control_->Width(),
                                newSize_);
            parent->EnableAlign();
            break;
        default: break;
    }
    OnMoved(this);
    oldSize_ = newSize_;
}

bool TSplitter::MoveTo(int position) {
    const bool vertical = Align() == TAlign::alLeft || Align() == TAlign::alRight;
    const int dx = vertical ? position - Left() : 0;
    const int dy = vertical ? 0 : position - Top();
    MouseDown(TMouseButton::mbLeft, ssLeft, 0, 0);
    if (!control_) return false;
    MouseMove(ssLeft, dx, dy);
    MouseUp(TMouseButton::mbLeft, ssLeft, dx, dy);
    return true;
}

void TSplitter::WndProc(TMessage& m) {
    if (m.Msg == WM_MOUSEMOVE) {
        MouseMove(static_cast<TShiftState>(m.WParam), static_cast<int16_t>(m.LParam & 0xFFFF),
                  static_cast<int16_t>((m.LParam >> 16) & 0xFFFF));
        return;
    }
    TGraphicControl::WndProc(m);
}

// ---- TBevel ------------------------------------------------------------------------------------

const EnumInfo& BevelShapeEnum() {
    static const EnumInfo info{"TBevelShape",
                               {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}};
    return info;
}

const EnumInfo& BevelStyleEnum() {
    static const EnumInfo info{"TBevelStyle", {"bsLowered", "bsRaised"}};
    return info;
}

const ClassInfo& TBevel::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TBevel>("TBevel", &TGraphicControl::StaticClassInfo())
                                      .Enum("Shape", BevelShapeEnum(), &TBevel::Shape, &TBevel::SetShape, 0)
                                      .Enum("Style", BevelStyleEnum(), &TBevel::Style, &TBevel::SetStyle, 0)
                                      .Build();
    return info;
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBoundsDirect(0, 0, 50, 50); }

// ---- TImage ------------------------------------------------------------------------------------

const ClassInfo& TImage::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TImage>("TImage", &TGraphicControl::StaticClassInfo())
            .Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false)
            .Bool("Center", &TImage::Center, &TImage::SetCenter, false)
            .Bool("IncrementalDisplay", &TImage::IncrementalDisplay, &TImage::SetIncrementalDisplay, false)
            .Object<TBitmap>("Picture", &TImage::Picture, &TImage::SetPicture)
            .Bool("Proportional", &TImage::Proportional, &TImage::SetProportional, false)
            .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
            .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent, false)
            .Build();
    return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TBitmap>()) {
    SetBoundsDirect(0, 0, 105, 105);
    picture_->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
}

TImage::~TImage() = default;

void TImage::PictureChanged(TObject*) {
    if (inChange_) return;
    inChange_ = true;
    if (autoSize_) AdjustSize();
    picture_->SetTransparent(transparent_);
    inChange_ = false;
}

void TImage::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    PictureChanged(picture_.get());
}

void TImage::AdjustSize() {
    if (!autoSize_ || picture_->Empty()) return;
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
}

TRect TImage::DestRect() const {
    int w = picture_->Width(), h = picture_->Height();
    const int cw = ClientWidth(), ch = ClientHeight();
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_ && w > 0 && h > 0) {
            const double aspect = static_cast<double>(w) / h;
            if (w > h) {
                w = cw;
                h = static_cast<int>(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = static_cast<int>(ch * aspect);
                }
            } else {
                h = ch;
                w = static_cast<int>(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = static_cast<int>(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r{0, 0, w, h};
    if (center_) {
        const int dx = (cw - w) / 2, dy = (ch - h) / 2;
        r.Left += dx;
        r.Right += dx;
        r.Top += dy;
        r.Bottom += dy;
    }
    return r;
}

}  // namespace ui
