// Controls: TControl (bounds, visibility, text, font, colour, alignment, mouse) and
// TWinControl (children, window handle, focus, tab order, keys). Geometry is in pixels.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"
#include "WindowSystem.h"

namespace ui {

class TWinControl;
class TCustomForm;
class TPopupMenu;

class EInvalidOperation : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EInvalidOperation"; }
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
const EnumInfo& AlignEnum();
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
const EnumInfo& AlignmentEnum();

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, uint16_t&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;

inline constexpr int crDefault = 0;
inline constexpr int crHandPoint = -21;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    TWinControl* Parent() const noexcept { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const noexcept { return left_; }
    int Top() const noexcept { return top_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return TRect{left_, top_, left_ + width_, top_ + height_}; }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    TRect ClientRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }

    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign v);

    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to the form visible too.
    bool Showing() const;
    bool Enabled() const noexcept { return enabled_; }
    virtual void SetEnabled(bool v);

    // Caption and Text are one value, as in the class library.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& v) { SetText(v); }
    std::string Text() const { return GetText(); }
    void SetTextProp(const std::string& v) { SetText(v); }
    virtual std::string GetText() const { return text_; }
    virtual void SetText(const std::string& v);

    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }
    bool ShowHint() const noexcept { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; parentShowHint_ = false; }
    bool ParentShowHint() const noexcept { return parentShowHint_; }
    void SetParentShowHint(bool v) { parentShowHint_ = v; }

    TFont* Font() const noexcept { return font_.get(); }
    void SetFont(TFont* f);
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool v);
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor v);
    bool ParentColor() const noexcept { return parentColor_; }
    void SetParentColor(bool v);
    int Cursor() const noexcept { return cursor_; }
    void SetCursor(int v) { cursor_ = v; }
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool v);
    TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* m);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

    // Runs the click (OnClick); controls with their own click behaviour override it.
    virtual void Click();
    void DblClick() { OnDblClick(this); }

    // Sends a message to the control at once; the answer is the message's result.
    intptr_t Perform(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);
    virtual void WndProc(TMessage& m);

    void BringToFront();
    void SendToBack();
    void Invalidate() {}
    void Refresh() {}
    void Update() {}
    void Repaint() {}

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void VisibleChanging() {}
    virtual void VisibleChanged();
    virtual void TextChanged() {}
    virtual void FontChanged() {}
    // The size the content needs, for AutoSize; the default keeps the current size.
    virtual void AdjustSize() {}
    void RequestAlign();
    void ParentFontChanged();
    void ParentColorChanged();
    void ParentShowHintChanged();
    void SetBoundsDirect(int left, int top, int width, int height);
    // The initial visibility of a kind of control (forms start hidden), without events.
    void InitVisible(bool v) noexcept { visible_ = v; }

    std::string text_;
    bool autoSize_ = false;

private:
    friend class TWinControl;
    void OwnFontChanged(TObject*);
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool updatingFont_ = false;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    int cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
};

class TWinControl : public TControl, public IWindowTarget {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }

    int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
    TControl* Controls(int i) const;
    const std::vector<TControl*>& ControlList() const noexcept { return controls_; }
    bool ContainsControl(const TControl* c) const;

    // The window handle, created on first use.
    uintptr_t Handle();
    bool HandleAllocated() const noexcept { return handle_ != 0; }
    intptr_t HandleMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) override;

    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const noexcept { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    // Child windows in tab order.
    std::vector<TWinControl*> TabOrderList() const;

    virtual bool CanFocus() const;
    bool Focused() const;
    // Raises EInvalidOperation when the control cannot take the focus.
    virtual void SetFocus();
    // The next control in tab order after `current` among this one's descendants.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const;
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Key input as the window system delivers it: key down, the character, key up. The form
    // sees keys first when its KeyPreview is set.
    void SendKey(uint16_t key, TShiftState shift = 0, char ch = 0);

    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();
    void Realign();
    virtual TRect AdjustClientRect() const { return ClientRect(); }

    void DoEnter() { OnEnter(this); }
    void DoExit() { OnExit(this); }

    void WndProc(TMessage& m) override;

    // Key handlers: true when the key was consumed (set to 0 by a handler).
    virtual bool KeyDown(uint16_t& key, TShiftState shift);
    virtual bool KeyPress(char& key);
    virtual bool KeyUp(uint16_t& key, TShiftState shift);
    virtual void AlignControls(TControl* moved);

protected:
    void Destroy() override;
    void DestroyHandle();

private:
    friend class TControl;
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    uintptr_t handle_ = 0;
    bool tabStop_ = false;
    int alignDisabled_ = 0;
    bool aligning_ = false;
};

// A control without a window of its own (labels, speed buttons, images).
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
    static const ClassInfo& StaticClassInfo();
    const ClassInfo& GetClassInfo() const override { return StaticClassInfo(); }
};

// The first element after `current` in the ring of `list`, going forward or backward, that
// `accept` takes; without `current` in the list the walk starts at the end it goes away from.
// nullptr when none is taken.
template <typename T, typename Accept>
T* NextInRing(const std::vector<T*>& list, const void* current, bool goForward, Accept accept) {
    const int count = static_cast<int>(list.size());
    if (count == 0) return nullptr;
    int start = goForward ? count - 1 : 0;
    for (int k = 0; k < count; ++k) {
        if (list[static_cast<size_t>(k)] == current) start = k;
    }
    int i = start;
    do {
        if (goForward) {
            if (++i == count) i = 0;
        } else {
            if (i == 0) i = count;
            --i;
        }
        if (accept(list[static_cast<size_t>(i)])) return list[static_cast<size_t>(i)];
    } while (i != start);
    return nullptr;
}

// A caption as drawn: "&&" shows "&", a single "&" marks the accelerator and is not drawn.
std::string StripAccelChars(std::string_view caption);

// The form that holds a control; nullptr when it sits on none.
TCustomForm* GetParentForm(const TControl* control);

}  // namespace ui
