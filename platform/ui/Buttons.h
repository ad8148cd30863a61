// Speed buttons and bitmap buttons: buttons with a glyph, a strip of up to four pictures (up,
// disabled, down, held down) of equal width.
#pragma once

#include <memory>
#include <string>

#include "Controls.h"
#include "Graphics.h"
#include "StdCtrls.h"

namespace ui {

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
const EnumInfo& ButtonLayoutEnum();
const EnumInfo& ButtonStyleEnum();

// Where a button draws its glyph and caption inside `client`, as the class library lays them
// out: side by side (blGlyphLeft/Right) or stacked (blGlyphTop/Bottom), centred across; Margin
// is the space from the edge to the glyph (-1: centre the whole), Spacing the space between
// glyph and caption (-1: spread evenly). `offset` moves both (a pressed button). The caption is
// measured with the font model, its accelerator mark left out.
void CalcButtonLayout(const TFont& font, const TRect& client, TPoint offset, const std::string& caption,
                      int glyphWidth, int glyphHeight, TButtonLayout layout, int margin, int spacing, TPoint& glyphPos,
                      TRect& textBounds);

// The glyph of a button and the number of pictures in its strip.
class TButtonGlyph {
public:
    TButtonGlyph();
    TBitmap* Glyph() const noexcept { return glyph_.get(); }
    // A copy of the bitmap; a strip whose width is a whole multiple of its height sets
    // NumGlyphs to that multiple (1 when more than 4).
    void SetGlyph(const TBitmap* v);
    int NumGlyphs() const noexcept { return numGlyphs_; }
    // 1 to 4; a negative number counts as 1, a larger one as 4, 0 changes nothing.
    void SetNumGlyphs(int v);
    int GlyphWidth() const { return glyph_->Empty() ? 0 : glyph_->Width() / numGlyphs_; }
    int GlyphHeight() const { return glyph_->Empty() ? 0 : glyph_->Height(); }
    // The picture for a state (up, disabled, down, held down), the first when the strip holds no
    // picture for it; empty without a glyph.
    void GetStateBitmap(TButtonState state, TBitmap* out) const;

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
};

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    bool AllowAllUp() const noexcept { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int v);
    bool Down() const noexcept { return down_; }
    // Only a grouped button stays down; the last one down in a group without AllowAllUp cannot
    // be set up. Setting one down sets the others of its group (same parent) up.
    void SetDown(bool v);
    bool Flat() const noexcept { return flat_; }
    void SetFlat(bool v) { flat_ = v; }
    TBitmap* Glyph() const noexcept { return glyph_.Glyph(); }
    void SetGlyph(TBitmap* v) { glyph_.SetGlyph(v); }
    int NumGlyphs() const noexcept { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int v) { glyph_.SetNumGlyphs(v); }
    TButtonLayout Layout() const noexcept { return layout_; }
    void SetLayout(TButtonLayout v) { layout_ = v; }
    int Margin() const noexcept { return margin_; }
    void SetMargin(int v) { margin_ = v < -1 ? -1 : v; }
    int Spacing() const noexcept { return spacing_; }
    void SetSpacing(int v) { spacing_ = v; }
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; }
    TButtonState State() const noexcept { return state_; }

    // A click of the user (mouse down and up inside the button): a grouped button toggles Down
    // (within the group rules above), then the click runs.
    void UserClick();
    // Where the glyph and caption are drawn (pressed buttons one pixel down and right).
    void GetLayout(TPoint& glyphPos, TRect& textBounds) const;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void UpdateExclusive();
    void ButtonPressed(TSpeedButton* sender);
    TButtonGlyph glyph_;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    bool flat_ = false;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool transparent_ = true;
    TButtonState state_ = TButtonState::bsUp;
    bool dragging_ = false;
};

enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
const EnumInfo& BitBtnKindEnum();

// A push button with a glyph. A Kind other than bkCustom sets the caption, the modal result,
// Default and Cancel and a built-in two-picture glyph, as the class library does; Kind reads
// bkCustom again once any of these (other than the caption) is changed.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TBitBtnKind Kind() const;
    void SetKind(TBitBtnKind v);
    TBitmap* Glyph() const noexcept { return glyph_.Glyph(); }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const noexcept { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int v) { glyph_.SetNumGlyphs(v); }
    TButtonLayout Layout() const noexcept { return layout_; }
    void SetLayout(TButtonLayout v) { layout_ = v; }
    int Margin() const noexcept { return margin_; }
    void SetMargin(int v) { margin_ = v < -1 ? -1 : v; }
    int Spacing() const noexcept { return spacing_; }
    void SetSpacing(int v) { spacing_ = v; }
    TButtonStyle Style() const noexcept { return style_; }
    void SetStyle(TButtonStyle v) { style_ = v; }

    // bkClose closes the form instead of running OnClick; every other kind clicks as a button.
    void Click() override;
    void GetLayout(TPoint& glyphPos, TRect& textBounds) const;

private:
    TButtonGlyph glyph_;
    mutable TBitBtnKind kind_ = TBitBtnKind::bkCustom;
    bool modifiedGlyph_ = false;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    TButtonStyle style_ = TButtonStyle::bsAutoDetect;
};

// The built-in glyph of a kind (two pictures of 18 x 18: normal and disabled); empty for
// bkCustom.
void GetBitBtnGlyph(TBitBtnKind kind, TBitmap* out);

}  // namespace ui
