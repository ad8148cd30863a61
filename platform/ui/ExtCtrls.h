// Panels, splitters, bevels and images.
#pragma once

#include <memory>
#include <string>

#include "Controls.h"
#include "Graphics.h"
#include "StdCtrls.h"

namespace ui {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
const EnumInfo& BevelCutEnum();

// ---- Panels ------------------------------------------------------------------------------------

// A panel. Its client area is the control less its border (bsSingle: two pixels a side with
// Ctl3D, one without); children are aligned inside that, further shrunk by BorderWidth and by
// BevelWidth for each of the outer and inner bevels that is not bvNone.
class TCustomPanel : public TWinControl {
public:
    explicit TCustomPanel(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment v) { alignment_ = v; }
    TBevelCut BevelInner() const noexcept { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const noexcept { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const noexcept { return bevelWidth_; }
    void SetBevelWidth(int v);
    int BorderWidth() const noexcept { return borderWidth_; }
    void SetBorderWidth(int v);
    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    bool Ctl3D() const noexcept { return ctl3D_; }
    void SetCtl3D(bool v);
    bool FullRepaint() const noexcept { return fullRepaint_; }
    void SetFullRepaint(bool v) { fullRepaint_ = v; }
    bool Locked() const noexcept { return locked_; }
    void SetLocked(bool v) { locked_ = v; }

    int ClientWidth() const override;
    int ClientHeight() const override;
    TRect AdjustClientRect() const override;

private:
    int BorderSize() const;
    TAlignment alignment_ = TAlignment::taCenter;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    TBevelCut bevelOuter_ = TBevelCut::bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::bsNone;
    bool ctl3D_ = true;
    bool fullRepaint_ = true;
    bool locked_ = false;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// ---- Splitters ---------------------------------------------------------------------------------

enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
const EnumInfo& ResizeStyleEnum();
using TCanResizeEvent = TEvent<TObject*, int&, bool&>;

// A bar that the user drags to resize the control it is aligned against (the visible, enabled
// control that touches its left side for alLeft, its right side for alRight, and so on). The
// drag works as the class library's: the new size is kept between MinSize and what leaves
// MinSize to the rest of the parent, OnCanResize may change or refuse it, with AutoSnap a size
// at or below MinSize collapses the control to 0, and OnMoved follows a resize.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    // Also switches the cursor between crHSplit and crVSplit when it is one of them.
    void SetAlign(TAlign v);
    int MinSize() const noexcept { return minSize_; }
    void SetMinSize(int v) { minSize_ = v < 1 ? 1 : v; }
    bool AutoSnap() const noexcept { return autoSnap_; }
    void SetAutoSnap(bool v) { autoSnap_ = v; }
    bool Beveled() const noexcept { return beveled_; }
    void SetBeveled(bool v) { beveled_ = v; }
    TResizeStyle ResizeStyle() const noexcept { return resizeStyle_; }
    void SetResizeStyle(TResizeStyle v) { resizeStyle_ = v; }

    // A drag of the user: the splitter is taken at its current place and dropped so that its
    // left (alLeft, alRight) or top (alTop, alBottom) edge lands at `position` in the parent's
    // client coordinates. Answers whether a neighbour was found to resize.
    bool MoveTo(int position);
    // The mouse path of a drag, in the splitter's own coordinates.
    void MouseMove(TShiftState shift, int x, int y);
    void WndProc(TMessage& m) override;

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    virtual bool CanResize(int& newSize);

private:
    TControl* FindControl() const;
    void CalcSplitSize(int x, int y, int& newSize, int& split) const;
    bool DoCanResize(int& newSize);
    void UpdateControlSize();
    int minSize_ = 30;
    bool autoSnap_ = true;
    bool beveled_ = false;
    TResizeStyle resizeStyle_ = TResizeStyle::rsPattern;
    TControl* control_ = nullptr;  // the neighbour during a drag
    TPoint downPos_;
    int maxSize_ = 0;
    int newSize_ = 0;
    int oldSize_ = -1;
    int split_ = 0;
};

// ---- Bevels ------------------------------------------------------------------------------------

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };
const EnumInfo& BevelShapeEnum();
const EnumInfo& BevelStyleEnum();

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner);
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
    TBevelShape Shape() const noexcept { return shape_; }
    void SetShape(TBevelShape v) { shape_ = v; }
    TBevelStyle Style() const noexcept { return style_; }
    void SetStyle(TBevelStyle v) { style_ = v; }

private:
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

// ---- Images ------------------------------------------------------------------------------------

// A picture on the form. Its Picture is a bitmap; AutoSize sizes the control to the picture,
// Transparent is passed on to the picture, and DestRect is where the picture is drawn.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TBitmap* Picture() const noexcept { return picture_.get(); }
    void SetPicture(TBitmap* v) { picture_->Assign(v); }
    TCanvas* Canvas() const { return picture_->Canvas(); }
    bool Stretch() const noexcept { return stretch_; }
    void SetStretch(bool v) { stretch_ = v; }
    bool Center() const noexcept { return center_; }
    void SetCenter(bool v) { center_ = v; }
    bool Proportional() const noexcept { return proportional_; }
    void SetProportional(bool v) { proportional_ = v; }
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool v);
    bool IncrementalDisplay() const noexcept { return incrementalDisplay_; }
    void SetIncrementalDisplay(bool v) { incrementalDisplay_ = v; }
    TRect DestRect() const;

protected:
    void AdjustSize() override;

private:
    void PictureChanged(TObject*);
    std::unique_ptr<TBitmap> picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool proportional_ = false;
    bool transparent_ = false;
    bool incrementalDisplay_ = false;
    bool inChange_ = false;
};

}  // namespace ui
