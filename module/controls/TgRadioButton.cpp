#include "TgRadioButton.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/ui/Forms.h"

using namespace ui;

const EnumInfo& BiDiModeEnum() {
    static const EnumInfo info{"TBiDiMode",
                               {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}};
    return info;
}

std::optional<int64_t> ParentPublishedOrd(const TControl* control, std::string_view name) {
    const TWinControl* parent = control ? control->Parent() : nullptr;
    if (!parent) return std::nullopt;
    const PropInfo* p = GetPropInfo(parent, name);
    if (!p || !p->IsOrdinal() || !p->GetOrd) return std::nullopt;
    return p->GetOrd(*parent);
}

namespace {

// The character a caption marks as its accelerator ("&x"); 0 when none.
char AccelChar(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return caption[i + 1];
        ++i;
    }
    return 0;
}

}  // namespace

const ClassInfo& TTgRadioButton::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TTgRadioButton>("TTgRadioButton", &TButtonControl::StaticClassInfo())
            .Enum("Alignment", LeftRightEnum(), &TTgRadioButton::Alignment, &TTgRadioButton::SetAlignment,
                  static_cast<int>(TAlignment::taRightJustify))
            .Enum("BiDiMode", BiDiModeEnum(), &TTgRadioButton::BiDiMode, &TTgRadioButton::SetBiDiMode, 0)
            .Str("Caption", &TTgRadioButton::Caption, &TTgRadioButton::SetCaption)
            .Bool("Checked", &TTgRadioButton::Checked, &TTgRadioButton::SetChecked, false)
            .Bool("Ctl3D", &TTgRadioButton::Ctl3D, &TTgRadioButton::SetCtl3D, true)
            .Bool("ParentBiDiMode", &TTgRadioButton::ParentBiDiMode, &TTgRadioButton::SetParentBiDiMode, true)
            .Bool("ParentCtl3D", &TTgRadioButton::ParentCtl3D, &TTgRadioButton::SetParentCtl3D, true)
            .Bool("TabStop", &TTgRadioButton::TabStop, &TTgRadioButton::SetTabStop, false)
            .Build();
    return info;
}

TTgRadioButton::TTgRadioButton(TComponent* owner) : TButtonControl(owner) {
    SetBoundsDirect(0, 0, 113, 17);
    // The checked button of a group holds the group's tab stop.
    SetTabStop(false);
}

TTgRadioButton::~TTgRadioButton() = default;

void TTgRadioButton::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    SetTabStop(v);
    Repaint();
    if (!v) return;
    if (TWinControl* p = Parent()) {
        // A copy: a sibling's handlers may change the parent's children.
        const std::vector<TControl*> siblings = p->ControlList();
        for (TControl* c : siblings) {
            if (auto* r = dynamic_cast<TTgRadioButton*>(c); r && r != this) r->SetChecked(false);
        }
    }
    Changed();
    if (!clicksDisabled_) Click();
}

void TTgRadioButton::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<intptr_t>(this)); }

void TTgRadioButton::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    RecreateWnd();
}

void TTgRadioButton::SetCtl3D(bool v) {
    if (v == ctl3D_) return;
    ctl3D_ = v;
    parentCtl3D_ = false;
    RecreateWnd();
}

void TTgRadioButton::SetParentCtl3D(bool v) {
    if (v == parentCtl3D_) return;
    parentCtl3D_ = v;
    ParentCtl3DChanged();
}

void TTgRadioButton::ParentCtl3DChanged() {
    if (!parentCtl3D_) return;
    const std::optional<int64_t> v = ParentPublishedOrd(this, "Ctl3D");
    if (!v || (*v != 0) == ctl3D_) return;
    ctl3D_ = *v != 0;
    RecreateWnd();
}

void TTgRadioButton::SetBiDiMode(TBiDiMode v) {
    if (v == biDiMode_) return;
    biDiMode_ = v;
    parentBiDiMode_ = false;
    Repaint();
}

void TTgRadioButton::SetParentBiDiMode(bool v) {
    if (v == parentBiDiMode_) return;
    parentBiDiMode_ = v;
    ParentBiDiModeChanged();
}

void TTgRadioButton::ParentBiDiModeChanged() {
    if (!parentBiDiMode_) return;
    const std::optional<int64_t> v = ParentPublishedOrd(this, "BiDiMode");
    if (!v || *v < 0 || *v > static_cast<int64_t>(TBiDiMode::bdRightToLeftReadingOnly)) return;
    biDiMode_ = static_cast<TBiDiMode>(*v);
    Repaint();
}

void TTgRadioButton::SetParent(TWinControl* parent) {
    TButtonControl::SetParent(parent);
    ParentCtl3DChanged();
    ParentBiDiModeChanged();
}

void TTgRadioButton::RecreateWnd() {
    if (HandleAllocated()) {
        DestroyHandle();
        Handle();
    }
    Repaint();
}

// ---- Notifications ------------------------------------------------------------------------------

void TTgRadioButton::UserClick() {
    if (!Enabled()) return;
    if (!Focused() && GetParentForm(this) && CanFocus()) {
        // Taking the focus is no click of its own.
        clicksDisabled_ = true;
        try {
            SetFocus();
        } catch (...) {
            clicksDisabled_ = false;
            throw;
        }
        clicksDisabled_ = false;
        if (!Focused()) return;
    }
    SetChecked(true);
}

void TTgRadioButton::UserDblClick() {
    if (Enabled()) DblClick();
}

bool TTgRadioButton::KeyUp(uint16_t& key, TShiftState shift) {
    if (TButtonControl::KeyUp(key, shift)) return true;
    if (key == VK_SPACE && Enabled()) SetChecked(true);
    return false;
}

bool TTgRadioButton::DialogChar(char c) {
    const char accel = AccelChar(Caption());
    if (!accel || std::toupper(static_cast<unsigned char>(accel)) != std::toupper(static_cast<unsigned char>(c))) {
        return false;
    }
    if (!CanFocus()) return false;
    SetFocus();
    return true;
}

void TTgRadioButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGCHAR: m.Result = DialogChar(static_cast<char>(m.WParam)) ? 1 : 0; return;
        case CM_ENABLEDCHANGED:
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED: Repaint(); break;
        default: break;
    }
    TButtonControl::WndProc(m);
}

// ---- Painting -----------------------------------------------------------------------------------

int TTgRadioButton::CaptionOffset(int size) {
    struct Step {
        int upTo, offset;
    };
    static constexpr Step kSteps[] = {{8, 17},  {15, 19}, {17, 20}, {23, 21}, {29, 23},
                                      {35, 25}, {41, 27}, {43, 29}, {60, 31}, {80, 39}};
    if (size < 1) return 44;
    for (const Step& s : kSteps) {
        if (size <= s.upTo) return s.offset;
    }
    return 44;
}

TCanvas* TTgRadioButton::Canvas() {
    if (!surface_ || surface_->Width() != std::max(Width(), 0) || surface_->Height() != std::max(Height(), 0)) Paint();
    return surface_->Canvas();
}

void TTgRadioButton::Repaint() {
    if (surface_) Paint();
}

void TTgRadioButton::Paint() {
    if (!surface_) surface_ = std::make_unique<TBitmap>();
    surface_->SetSize(std::max(Width(), 0), std::max(Height(), 0));
    TCanvas& c = *surface_->Canvas();
    c.Brush()->SetStyle(TBrushStyle::bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(0, 0, surface_->Width(), surface_->Height());
    PaintCircle(c);
    PaintCaption(c);
}

void TTgRadioButton::PaintCircle(TCanvas& c) {
    // The platform's part: a 13-pixel circle at the side the alignment gives it, centred
    // vertically, with the dot when checked.
    constexpr int kRadius = 6;
    const int cx = alignment_ == TAlignment::taRightJustify ? kRadius : Width() - 1 - kRadius;
    const int cy = (Height() - 1) / 2;
    const TColor face = Enabled() ? clWindow : clBtnFace;
    const TColor mark = Enabled() ? clWindowText : clGrayText;
    for (int dy = -kRadius; dy <= kRadius; ++dy) {
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
            const int d2 = dx * dx + dy * dy;
            if (d2 > kRadius * kRadius + kRadius / 2) continue;
            TColor colour = d2 > (kRadius - 1) * (kRadius - 1) ? clBtnShadow : face;
            if (checked_ && d2 <= 5) colour = mark;
            c.SetPixels(cx + dx, cy + dy, colour);
        }
    }
}

void TTgRadioButton::PaintCaption(TCanvas& c) {
    TRect r = ClientRect();
    const int offset = CaptionOffset(Font()->Size());
    // The caption's side of the circle: to its right as the class draws it; a left-justified
    // button has its circle at the right, so the caption's area ends the offset before it.
    if (alignment_ == TAlignment::taRightJustify) {
        r.Left += offset;
    } else {
        r.Right -= offset;
    }
    c.Pen()->SetStyle(TPenStyle::psSolid);
    c.Pen()->SetColor(Color());
    c.Brush()->SetStyle(TBrushStyle::bsSolid);
    c.Brush()->SetColor(Color());
    c.Rectangle(r.Left - 4, r.Top - 4, r.Right + 4, r.Bottom + 4);
    c.Font()->Assign(*Font());
    const std::string text = StripAccelChars(Caption());
    c.TextOut(r.Left, r.Top + (r.Height() - c.TextHeight(text)) / 2, text);
}
