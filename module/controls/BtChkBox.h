// A check box drawn entirely by the control from glyph bitmaps, with an optional third
// (grayed) state.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/Controls.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/StdCtrls.h"

enum class TDragMode { dmManual, dmAutomatic };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
const ui::EnumInfo& DragModeEnum();

// (sender, source, x, y)
using TDragDropEvent = ui::TEvent<ui::TObject*, ui::TObject*, int, int>;
// (sender, source, x, y, state, accept)
using TDragOverEvent = ui::TEvent<ui::TObject*, ui::TObject*, int, int, TDragState, bool&>;
// (sender, target, x, y)
using TEndDragEvent = ui::TEvent<ui::TObject*, ui::TObject*, int, int>;
// (sender, drag object)
using TStartDragEvent = ui::TEvent<ui::TObject*, ui::TObject*&>;
// (sender, shift, x, y)
using TMouseMoveEvent = ui::TEvent<ui::TObject*, ui::TShiftState, int, int>;

// The built-in pictures "CHECKED", "GRAYED" and "UNCHECKED": single images of 19 x 14, a sunken
// 13 x 13 box (white inside, button face when grayed) with a check mark (black, grey when
// grayed), on olive, which the bottom-left pixel makes the transparent colour.
void LoadBitCheckBoxGlyph(ui::TCheckBoxState state, ui::TBitmap* out);

class TBitCheckBox : public ui::TWinControl {
public:
    explicit TBitCheckBox(ui::TComponent* owner);
    ~TBitCheckBox() override;
    static const ui::ClassInfo& StaticClassInfo();
    const ui::ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    ui::TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(ui::TAlignment v);
    bool AllowGrayed() const noexcept { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    ui::TCheckBoxState State() const noexcept { return state_; }
    void SetState(ui::TCheckBoxState v);
    bool Checked() const noexcept { return state_ == ui::TCheckBoxState::cbChecked; }
    void SetChecked(bool v) { SetState(v ? ui::TCheckBoxState::cbChecked : ui::TCheckBoxState::cbUnchecked); }

    // Setting a glyph copies the bitmap (nullptr loads the built-in picture); a strip whose width
    // is a whole multiple of its height sets the image count to that multiple, clamped to 1 ... 2.
    ui::TBitmap* CheckedGlyph() const noexcept { return glyphs_[kChecked].get(); }
    void SetCheckedGlyph(const ui::TBitmap* v) { SetGlyph(kChecked, v); }
    ui::TBitmap* GrayedGlyph() const noexcept { return glyphs_[kGrayed].get(); }
    void SetGrayedGlyph(const ui::TBitmap* v) { SetGlyph(kGrayed, v); }
    ui::TBitmap* UncheckedGlyph() const noexcept { return glyphs_[kUnchecked].get(); }
    void SetUncheckedGlyph(const ui::TBitmap* v) { SetGlyph(kUnchecked, v); }
    // Images in a strip: the normal one, then the disabled one; clamped to 1 ... 2.
    int CheckedNumGlyphs() const noexcept { return numGlyphs_[kChecked]; }
    void SetCheckedNumGlyphs(int v) { SetNumGlyphs(kChecked, v); }
    int GrayedNumGlyphs() const noexcept { return numGlyphs_[kGrayed]; }
    void SetGrayedNumGlyphs(int v) { SetNumGlyphs(kGrayed, v); }
    int UncheckedNumGlyphs() const noexcept { return numGlyphs_[kUnchecked]; }
    void SetUncheckedNumGlyphs(int v) { SetNumGlyphs(kUnchecked, v); }

    // The 3D look: the parent's while ParentCtl3D is on (when the parent has one).
    bool Ctl3D() const;
    void SetCtl3D(bool v);
    bool ParentCtl3D() const noexcept { return parentCtl3D_; }
    void SetParentCtl3D(bool v) { parentCtl3D_ = v; }
    int DragCursor() const noexcept { return dragCursor_; }
    void SetDragCursor(int v) { dragCursor_ = v; }
    TDragMode DragMode() const noexcept { return dragMode_; }
    void SetDragMode(TDragMode v) { dragMode_ = v; }

    // The next state: unchecked becomes grayed when allowed, else checked; checked becomes
    // unchecked; grayed becomes checked. No event.
    void Toggle();
    // Toggles, runs OnClick, then takes the focus when it can.
    void Click() override;
    // The caption's accelerator: focuses the box and, when it then has the focus, toggles it
    // without OnClick. Answers whether the key was the accelerator.
    bool DialogChar(char key);
    bool KeyPress(char& key) override;

    // The surface the box paints on, as large as its client area.
    ui::TCanvas* Canvas();
    // Paints the whole box on Canvas().
    void Paint();
    // The caption's rectangle as painted (before the focus rectangle widens it).
    ui::TRect CaptionRect();

    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDrag;
    TMouseMoveEvent OnMouseMove;
    TStartDragEvent OnStartDrag;

protected:
    void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;

private:
    static constexpr int kChecked = 0, kGrayed = 1, kUnchecked = 2;
    void SetGlyph(int which, const ui::TBitmap* v);
    void SetNumGlyphs(int which, int v);
    int GlyphIndex() const;

    std::unique_ptr<ui::TBitmap> glyphs_[3];
    int numGlyphs_[3] = {1, 1, 1};
    ui::TAlignment alignment_ = ui::TAlignment::taRightJustify;
    bool allowGrayed_ = false;
    ui::TCheckBoxState state_ = ui::TCheckBoxState::cbUnchecked;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    int dragCursor_ = -12;  // crDrag
    TDragMode dragMode_ = TDragMode::dmManual;
    bool pressed_ = false;
    std::unique_ptr<ui::TBitmap> surface_;
};
