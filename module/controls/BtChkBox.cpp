#include "BtChkBox.h"

#include <algorithm>
#include <cctype>

#include "platform/ui/Forms.h"

using namespace ui;

const EnumInfo& DragModeEnum() {
    static const EnumInfo info{"TDragMode", {"dmManual", "dmAutomatic"}};
    return info;
}

void LoadBitCheckBoxGlyph(TCheckBoxState state, TBitmap* out) {
    if (!out) return;
    constexpr TColor olive = 0x008080, shadow = 0x808080, dark = 0x404040, light = 0xC0C0C0, white = 0xFFFFFF;
    out->SetSize(19, 14);
    TCanvas* c = out->Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(olive);
    c->FillRect(0, 0, 19, 14);
    // The sunken box at (3, 0) - (16, 13): shadow and dark lines top and left, white and
    // light ones bottom and right.
    const bool grayed = state == TCheckBoxState::cbGrayed;
    c->Brush()->SetColor(grayed ? light : white);
    c->FillRect(5, 2, 14, 11);
    auto hline = [&](int x0, int x1, int y, TColor col) {
        for (int x = x0; x <= x1; ++x) c->SetPixels(x, y, col);
    };
    auto vline = [&](int x, int y0, int y1, TColor col) {
        for (int y = y0; y <= y1; ++y) c->SetPixels(x, y, col);
    };
    hline(3, 15, 0, shadow);
    vline(3, 0, 12, shadow);
    hline(3, 15, 12, white);
    vline(15, 0, 12, white);
    hline(4, 14, 1, dark);
    vline(4, 1, 11, dark);
    hline(4, 14, 11, light);
    vline(14, 1, 11, light);
    if (state == TCheckBoxState::cbUnchecked) return;
    // The check mark, three pixels high, inside the 9 x 9 well starting at (5, 2).
    static const int tops[7] = {3, 4, 5, 4, 3, 2, 1};
    const TColor mark = grayed ? shadow : 0x000000;
    for (int i = 0; i < 7; ++i) vline(5 + 1 + i, 2 + tops[i], 2 + tops[i] + 2, mark);
}

namespace {
// Whether the key is the accelerator of the caption ("&x", not "&&").
bool IsAccel(char key, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(caption[i + 1])) == std::toupper(static_cast<unsigned char>(key));
    }
    return false;
}
}  // namespace

const ClassInfo& TBitCheckBox::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TBitCheckBox>("TBitCheckBox", &TWinControl::StaticClassInfo())
            .Enum("Alignment", LeftRightEnum(), &TBitCheckBox::Alignment, &TBitCheckBox::SetAlignment, 1)
            .Bool("AllowGrayed", &TBitCheckBox::AllowGrayed, &TBitCheckBox::SetAllowGrayed, false)
            .Str("Caption", &TBitCheckBox::Caption, &TBitCheckBox::SetCaption)
            .Bool("Checked", &TBitCheckBox::Checked, &TBitCheckBox::SetChecked, false)
            .Object<TBitmap>("CheckedGlyph", &TBitCheckBox::CheckedGlyph, &TBitCheckBox::SetCheckedGlyph)
            .Int("CheckedNumGlyphs", &TBitCheckBox::CheckedNumGlyphs, &TBitCheckBox::SetCheckedNumGlyphs, 1)
            .Bool("Ctl3D", &TBitCheckBox::Ctl3D, &TBitCheckBox::SetCtl3D)
            .Int("DragCursor", &TBitCheckBox::DragCursor, &TBitCheckBox::SetDragCursor, -12, &CursorIdents())
            .Enum("DragMode", DragModeEnum(), &TBitCheckBox::DragMode, &TBitCheckBox::SetDragMode, 0)
            .Object<TBitmap>("GrayedGlyph", &TBitCheckBox::GrayedGlyph, &TBitCheckBox::SetGrayedGlyph)
            .Int("GrayedNumGlyphs", &TBitCheckBox::GrayedNumGlyphs, &TBitCheckBox::SetGrayedNumGlyphs, 1)
            .Bool("ParentCtl3D", &TBitCheckBox::ParentCtl3D, &TBitCheckBox::SetParentCtl3D, true)
            .Enum("State", CheckBoxStateEnum(), &TBitCheckBox::State, &TBitCheckBox::SetState, 0)
            .Bool("TabStop", &TBitCheckBox::TabStop, &TBitCheckBox::SetTabStop, true)
            .Object<TBitmap>("UncheckedGlyph", &TBitCheckBox::UncheckedGlyph, &TBitCheckBox::SetUncheckedGlyph)
            .Int("UncheckedNumGlyphs", &TBitCheckBox::UncheckedNumGlyphs, &TBitCheckBox::SetUncheckedNumGlyphs, 1)
            .Event("OnDragDrop", &TBitCheckBox::OnDragDrop)
            .Event("OnDragOver", &TBitCheckBox::OnDragOver)
            .Event("OnEndDrag", &TBitCheckBox::OnEndDrag)
            .Event("OnMouseMove", &TBitCheckBox::OnMouseMove)
            .Event("OnStartDrag", &TBitCheckBox::OnStartDrag)
            .Build();
    return info;
}

TBitCheckBox::TBitCheckBox(TComponent* owner) : TWinControl(owner) {
    SetBoundsDirect(0, 0, 97, 17);
    SetTabStop(true);
    for (auto& g : glyphs_) g = std::make_unique<TBitmap>();
    SetGlyph(kChecked, nullptr);
    SetGlyph(kGrayed, nullptr);
    SetGlyph(kUnchecked, nullptr);
    numGlyphs_[kChecked] = numGlyphs_[kGrayed] = numGlyphs_[kUnchecked] = 1;
}

TBitCheckBox::~TBitCheckBox() = default;

void TBitCheckBox::SetAlignment(TAlignment v) {
    // A check box knows left and right only.
    alignment_ = v == TAlignment::taLeftJustify ? TAlignment::taLeftJustify : TAlignment::taRightJustify;
    Invalidate();
}

void TBitCheckBox::SetState(TCheckBoxState v) {
    if (v == state_) return;
    state_ = v;
    Invalidate();
}

void TBitCheckBox::SetGlyph(int which, const TBitmap* v) {
    TBitmap* g = glyphs_[which].get();
    if (v) {
        g->Assign(v);
    } else {
        static const TCheckBoxState states[3] = {TCheckBoxState::cbChecked, TCheckBoxState::cbGrayed, TCheckBoxState::cbUnchecked};
        LoadBitCheckBoxGlyph(states[which], g);
    }
    // Painting always leaves out the glyph's transparent colour.
    g->SetTransparent(true);
    // An empty picture has no images to count.
    if (g->Height() > 0 && g->Width() > 0 && g->Width() % g->Height() == 0) SetNumGlyphs(which, g->Width() / g->Height());
    Invalidate();
}

void TBitCheckBox::SetNumGlyphs(int which, int v) {
    numGlyphs_[which] = std::clamp(v, 1, 2);
    Invalidate();
}

bool TBitCheckBox::Ctl3D() const {
    if (parentCtl3D_ && Parent()) {
        const PropInfo* p = GetPropInfo(Parent(), "Ctl3D");
        if (p && p->GetOrd && p->Enum == &BooleanEnum()) return p->GetOrd(*Parent()) != 0;
    }
    return ctl3D_;
}

void TBitCheckBox::SetCtl3D(bool v) {
    ctl3D_ = v;
    parentCtl3D_ = false;
    Invalidate();
}

void TBitCheckBox::Toggle() {
    switch (state_) {
        case TCheckBoxState::cbUnchecked: SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked); break;
        case TCheckBoxState::cbChecked: SetState(TCheckBoxState::cbUnchecked); break;
        case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbChecked); break;
    }
}

void TBitCheckBox::Click() {
    Toggle();
    TWinControl::Click();
    if (CanFocus()) SetFocus();
}

bool TBitCheckBox::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    if (Focused()) Toggle();
    return true;
}

bool TBitCheckBox::KeyPress(char& key) {
    if (TWinControl::KeyPress(key)) return true;
    if (key == ' ' && Enabled()) Click();
    return false;
}

void TBitCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) pressed_ = true;
    TWinControl::MouseDown(button, shift, x, y);
}

void TBitCheckBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && pressed_) {
        pressed_ = false;
        if (Enabled() && x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight()) Click();
    }
    TWinControl::MouseUp(button, shift, x, y);
}

int TBitCheckBox::GlyphIndex() const {
    switch (state_) {
        case TCheckBoxState::cbChecked: return kChecked;
        case TCheckBoxState::cbGrayed: return kGrayed;
        default: return kUnchecked;
    }
}

TCanvas* TBitCheckBox::Canvas() {
    if (!surface_) surface_ = std::make_unique<TBitmap>();
    surface_->SetSize(ClientWidth(), ClientHeight());
    return surface_->Canvas();
}

TRect TBitCheckBox::CaptionRect() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    const int which = GlyphIndex();
    const int iw = glyphs_[which]->Width() / numGlyphs_[which];
    const std::string caption = Caption();
    int tw = c->TextWidth(caption);
    if (caption.find('&') != std::string::npos) tw -= c->TextWidth("&");
    const int th = c->TextHeight(caption);
    TRect r;
    r.Left = alignment_ == TAlignment::taRightJustify ? iw + 4 : 1;
    r.Right = r.Left + tw;
    r.Top = (ClientHeight() - th) / 2 - 2;
    r.Bottom = r.Top + th + 3;
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::clamp(r.Right, r.Left, ClientWidth());
    r.Bottom = std::clamp(r.Bottom, r.Top, ClientHeight());
    return r;
}

void TBitCheckBox::Paint() {
    TCanvas* c = Canvas();
    const int cw = ClientWidth(), ch = ClientHeight();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(0, 0, cw, ch);

    TRect r = CaptionRect();
    const std::string caption = Caption();
    constexpr uint32_t format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    if (Enabled()) {
        c->Font()->SetColor(Font()->Color());
        c->DrawText(caption, r, format);
    } else {
        if (Ctl3D()) {
            TRect shifted{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
            c->Font()->SetColor(clBtnHighlight);
            c->DrawText(caption, shifted, format);
        }
        c->Font()->SetColor(clGrayText);
        c->DrawText(caption, r, format);
    }
    if (Focused()) {
        c->DrawFocusRect(std::max(r.Left - 1, 0), std::max(r.Top - 1, 0), std::min(r.Right + 1, cw), std::min(r.Bottom + 1, ch));
    }

    const int which = GlyphIndex();
    const TBitmap* glyph = glyphs_[which].get();
    const int count = numGlyphs_[which];
    const int iw = glyph->Width() / count;
    const int x = alignment_ == TAlignment::taRightJustify ? 0 : cw - iw;
    const int y = (ch - glyph->Height()) / 2;
    const int image = !Enabled() && count == 2 ? 1 : 0;
    c->Draw(x, y, glyph, image * iw, 0, iw, glyph->Height());
}
