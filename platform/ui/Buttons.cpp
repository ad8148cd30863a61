#include "Buttons.h"

#include <algorithm>

#include "Forms.h"

namespace ui {

const EnumInfo& ButtonLayoutEnum() {
    static const EnumInfo info{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
    return info;
}

const EnumInfo& ButtonStyleEnum() {
    static const EnumInfo info{"TButtonStyle", {"bsAutoDetect", "bsWin31", "bsNew"}};
    return info;
}

const EnumInfo& BitBtnKindEnum() {
    static const EnumInfo info{"TBitBtnKind",
                               {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry",
                                "bkIgnore", "bkAll"}};
    return info;
}

namespace {

}  // namespace

void CalcButtonLayout(const TFont& font, const TRect& client, TPoint offset, const std::string& caption,
                      int glyphWidth, int glyphHeight, TButtonLayout layout, int margin, int spacing, TPoint& glyphPos,
                      TRect& textBounds) {
    const TPoint clientSize{client.Width(), client.Height()};
    const TPoint glyphSize{glyphWidth, glyphHeight};
    TPoint textSize;
    if (!caption.empty()) {
        textSize = TPoint{TextWidth(font, StripAccelChars(caption)), TextHeight(font)};
    }
    textBounds = TRect{0, 0, textSize.X, textSize.Y};
    TPoint textPos;
    const bool sideBySide = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    // Side by side both are centred vertically; stacked both are centred horizontally.
    if (sideBySide) {
        glyphPos.Y = (clientSize.Y - glyphSize.Y + 1) / 2;
        textPos.Y = (clientSize.Y - textSize.Y + 1) / 2;
    } else {
        glyphPos.X = (clientSize.X - glyphSize.X + 1) / 2;
        textPos.X = (clientSize.X - textSize.X + 1) / 2;
    }
    if (textSize.X == 0 || glyphSize.X == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            const TPoint total{glyphSize.X + textSize.X, glyphSize.Y + textSize.Y};
            margin = sideBySide ? (clientSize.X - total.X) / 3 : (clientSize.Y - total.Y) / 3;
            spacing = margin;
        } else {
            const TPoint total{glyphSize.X + spacing + textSize.X, glyphSize.Y + spacing + textSize.Y};
            margin = sideBySide ? (clientSize.X - total.X + 1) / 2 : (clientSize.Y - total.Y + 1) / 2;
        }
    } else if (spacing == -1) {
        const TPoint total{clientSize.X - (margin + glyphSize.X), clientSize.Y - (margin + glyphSize.Y)};
        spacing = sideBySide ? (total.X - textSize.X) / 2 : (total.Y - textSize.Y) / 2;
    }
    switch (layout) {
        case TButtonLayout::blGlyphLeft:
            glyphPos.X = margin;
            textPos.X = glyphPos.X + glyphSize.X + spacing;
            break;
        case TButtonLayout::blGlyphRight:
            glyphPos.X = clientSize.X - margin - glyphSize.X;
            textPos.X = glyphPos.X - spacing - textSize.X;
            break;
        case TButtonLayout::blGlyphTop:
            glyphPos.Y = margin;
            textPos.Y = glyphPos.Y + glyphSize.Y + spacing;
            break;
        case TButtonLayout::blGlyphBottom:
            glyphPos.Y = clientSize.Y - margin - glyphSize.Y;
            textPos.Y = glyphPos.Y - spacing - textSize.Y;
            break;
    }
    glyphPos.X += client.Left + offset.X;
    glyphPos.Y += client.Top + offset.Y;
    const int dx = textPos.X + client.Left + offset.X, dy = textPos.Y + client.Top + offset.Y;
    textBounds = TRect{textBounds.Left + dx, textBounds.Top + dy, textBounds.Right + dx, textBounds.Bottom + dy};
}

// ---- TButtonGlyph ------------------------------------------------------------------------------

TButtonGlyph::TButtonGlyph() : glyph_(std::make_unique<TBitmap>()) {}

void TButtonGlyph::SetGlyph(const TBitmap* v) {
    glyph_->Assign(v);
    if (v && v->Height() > 0 && v->Width() % v->Height() == 0) {
        int glyphs = v->Width() / v->Height();
        if (glyphs > 4) glyphs = 1;
        SetNumGlyphs(glyphs);
    }
}

void TButtonGlyph::SetNumGlyphs(int v) {
    if (v < 0) {
        v = 1;
    } else if (v > 4) {
        v = 4;
    }
    if (v == 0) return;
    numGlyphs_ = v;
}

void TButtonGlyph::GetStateBitmap(TButtonState state, TBitmap* out) const {
    if (!out) return;
    const int w = GlyphWidth(), h = GlyphHeight();
    out->SetSize(w, h);
    if (w == 0 || h == 0) return;
    int index = 0;
    switch (state) {
        case TButtonState::bsUp: index = 0; break;
        case TButtonState::bsDisabled: index = numGlyphs_ >= 2 ? 1 : -1; break;
        case TButtonState::bsDown: index = numGlyphs_ >= 3 ? 2 : 0; break;
        case TButtonState::bsExclusive: index = numGlyphs_ >= 4 ? 3 : (numGlyphs_ >= 3 ? 2 : 0); break;
    }
    const int from = std::max(index, 0) * w;
    for (int y = 0; y < h; ++y) std::copy_n(glyph_->ScanLine(y) + from * 3, w * 3, out->ScanLine(y));
    out->SetTransparentColor(glyph_->TransparentColor());
    if (index < 0) {
        // No disabled picture: the first one with every drawn pixel in the shadow colour.
        const TColor clear = glyph_->TransparentColor();
        const auto shadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (out->Pixels(x, y) != clear) out->SetPixels(x, y, shadow);
            }
        }
    }
    out->Changed();
}

// ---- TSpeedButton ------------------------------------------------------------------------------

const ClassInfo& TSpeedButton::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TSpeedButton>("TSpeedButton", &TGraphicControl::StaticClassInfo())
                                      .Bool("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp, false)
                                      .Int("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, 0)
                                      .Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown, false)
                                      .Str("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption)
                                      .Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false)
                                      .Object<TBitmap>("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph)
                                      .Enum("Layout", ButtonLayoutEnum(), &TSpeedButton::Layout, &TSpeedButton::SetLayout, 0)
                                      .Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin, -1)
                                      .Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, 1)
                                      .Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, 4)
                                      .Bool("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent, true)
                                      .Build();
    return info;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) { SetBoundsDirect(0, 0, 23, 22); }

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;
    if (v == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = v;
    state_ = v ? TButtonState::bsExclusive : TButtonState::bsUp;
    if (v) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int v) {
    if (v == groupIndex_) return;
    groupIndex_ = v;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
    if (v == allowAllUp_) return;
    allowAllUp_ = v;
    UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
    // Tells the group's other buttons: they go up and take this one's AllowAllUp.
    if (groupIndex_ == 0 || !Parent()) return;
    for (TControl* c : Parent()->ControlList()) {
        if (auto* b = dynamic_cast<TSpeedButton*>(c); b && b != this && b->groupIndex_ == groupIndex_) b->ButtonPressed(this);
    }
}

void TSpeedButton::ButtonPressed(TSpeedButton* sender) {
    if (sender->down_ && down_) {
        down_ = false;
        state_ = TButtonState::bsUp;
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled()) return;
    if (!down_) state_ = TButtonState::bsDown;
    dragging_ = true;
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragging_) return;
    dragging_ = false;
    const bool doClick = x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
    if (groupIndex_ == 0) {
        state_ = TButtonState::bsUp;
    } else if (doClick) {
        SetDown(!down_);
    } else if (down_) {
        state_ = TButtonState::bsExclusive;
    }
    if (doClick) Click();
}

void TSpeedButton::UserClick() {
    MouseDown(TMouseButton::mbLeft, ssLeft, 0, 0);
    MouseUp(TMouseButton::mbLeft, ssLeft, 0, 0);
}

void TSpeedButton::GetLayout(TPoint& glyphPos, TRect& textBounds) const {
    // A raised frame takes two pixels a side, a flat one one; a pressed button moves its face.
    const int frame = flat_ ? 1 : 2;
    const TRect client{frame, frame, Width() - frame, Height() - frame};
    const bool pressed = state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive;
    CalcButtonLayout(*Font(), client, pressed ? TPoint{1, 1} : TPoint{}, Caption(), glyph_.GlyphWidth(),
                     glyph_.GlyphHeight(), layout_, margin_, spacing_, glyphPos, textBounds);
}

// ---- TBitBtn -----------------------------------------------------------------------------------

namespace {

struct KindInfo {
    const char* caption;  // nullptr: the caption stays
    TModalResult result;
    TColor color;         // of the built-in glyph's mark
};

const KindInfo& InfoOf(TBitBtnKind k) {
    static const KindInfo table[] = {
        {nullptr, mrNone, clBlack},   {"OK", mrOk, clGreen},        {"Cancel", mrCancel, clRed},
        {"&Help", mrNone, clBlue},    {"&Yes", mrYes, clGreen},     {"&No", mrNo, clRed},
        {"&Close", mrNone, clNavy},   {"Abort", mrAbort, clMaroon}, {"&Retry", mrRetry, clBlue},
        {"&Ignore", mrIgnore, clPurple}, {"&All", mrAll, clGreen},
    };
    return table[static_cast<int>(k)];
}

}  // namespace

void GetBitBtnGlyph(TBitBtnKind kind, TBitmap* out) {
    if (!out) return;
    if (kind == TBitBtnKind::bkCustom) {
        out->Assign(nullptr);
        return;
    }
    // Two pictures on an olive ground (the corner colour, so it is the transparent one): the
    // kind's mark in its colour, framed black, and the same mark grey for the disabled state.
    constexpr int kSide = 18;
    TBitmap strip(2 * kSide, kSide);
    TCanvas* c = strip.Canvas();
    c->Brush()->SetColor(0x008080);
    c->FillRect(0, 0, 2 * kSide, kSide);
    for (int n = 0; n < 2; ++n) {
        c->Brush()->SetColor(n == 0 ? InfoOf(kind).color : clGray);
        c->Pen()->SetColor(n == 0 ? clBlack : clBtnShadow);
        c->Rectangle(n * kSide + 4, 4, n * kSide + 14, 14);
    }
    out->Assign(&strip);
}

const ClassInfo& TBitBtn::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TBitBtn>("TBitBtn", &TButton::StaticClassInfo())
                                      .Object<TBitmap>("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph)
                                      .Enum("Kind", BitBtnKindEnum(), &TBitBtn::Kind, &TBitBtn::SetKind, 0)
                                      .Enum("Layout", ButtonLayoutEnum(), &TBitBtn::Layout, &TBitBtn::SetLayout, 0)
                                      .Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin, -1)
                                      .Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, 1)
                                      .Enum("Style", ButtonStyleEnum(), &TBitBtn::Style, &TBitBtn::SetStyle, 0)
                                      .Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing, 4)
                                      .Build();
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

TBitBtn::~TBitBtn() = default;

TBitBtnKind TBitBtn::Kind() const {
    if (kind_ != TBitBtnKind::bkCustom) {
        const bool defaultKind = kind_ == TBitBtnKind::bkOK || kind_ == TBitBtnKind::bkYes;
        const bool cancelKind = kind_ == TBitBtnKind::bkCancel || kind_ == TBitBtnKind::bkNo;
        if (defaultKind != Default() || cancelKind != Cancel() || ModalResult() != InfoOf(kind_).result || modifiedGlyph_) {
            kind_ = TBitBtnKind::bkCustom;
        }
    }
    return kind_;
}

void TBitBtn::SetKind(TBitBtnKind v) {
    if (v == kind_) return;
    if (v != TBitBtnKind::bkCustom) {
        SetDefault(v == TBitBtnKind::bkOK || v == TBitBtnKind::bkYes);
        SetCancel(v == TBitBtnKind::bkCancel || v == TBitBtnKind::bkNo);
        // A stored form keeps its own caption.
        if ((!IsLoading() || Caption().empty()) && InfoOf(v).caption) SetCaption(InfoOf(v).caption);
        SetModalResult(InfoOf(v).result);
        TBitmap glyph;
        GetBitBtnGlyph(v, &glyph);
        glyph_.SetGlyph(&glyph);
        glyph_.SetNumGlyphs(2);
        modifiedGlyph_ = false;
    }
    kind_ = v;
}

void TBitBtn::SetGlyph(TBitmap* v) {
    glyph_.SetGlyph(v);
    modifiedGlyph_ = true;
}

void TBitBtn::Click() {
    if (Kind() == TBitBtnKind::bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
            form->Close();
            return;
        }
    }
    TButton::Click();
}

void TBitBtn::GetLayout(TPoint& glyphPos, TRect& textBounds) const {
    const TRect client{2, 2, Width() - 2, Height() - 2};
    CalcButtonLayout(*Font(), client, TPoint{}, Caption(), glyph_.GlyphWidth(), glyph_.GlyphHeight(), layout_, margin_,
                     spacing_, glyphPos, textBounds);
}

}  // namespace ui
