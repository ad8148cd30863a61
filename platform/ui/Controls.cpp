#include "Controls.h"

#include <algorithm>

#include "Forms.h"
#include "Menus.h"

namespace ui {

const EnumInfo& AlignEnum() {
    static const EnumInfo info{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
    return info;
}

const EnumInfo& AlignmentEnum() {
    static const EnumInfo info{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
    return info;
}

namespace {
void RemoveFocusFrom(TControl* c) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) return;
    if (TCustomForm* form = GetParentForm(w); form && form != w) form->DefocusControl(w, false);
}
}  // namespace

std::string StripAccelChars(std::string_view t) {
    std::string r;
    r.reserve(t.size());
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '&') {
            if (i + 1 < t.size() && t[i + 1] == '&') {
                r.push_back('&');
                ++i;
            }
            continue;
        }
        r.push_back(t[i]);
    }
    return r;
}

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c && c->Parent()) c = c->Parent();
    return c ? dynamic_cast<TCustomForm*>(const_cast<TControl*>(c)) : nullptr;
}

// ---- TControl --------------------------------------------------------------------------------

const ClassInfo& TControl::StaticClassInfo() {
    static const ClassInfo info =
        ClassBuilder<TControl>("TControl", &TComponent::StaticClassInfo())
            .Int("Left", &TControl::Left, &TControl::SetLeft)
            .Int("Top", &TControl::Top, &TControl::SetTop)
            .Int("Width", &TControl::Width, &TControl::SetWidth)
            .Int("Height", &TControl::Height, &TControl::SetHeight)
            .Enum("Align", AlignEnum(), &TControl::Align, &TControl::SetAlign, 0)
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
            .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
            .Str("Hint", &TControl::Hint, &TControl::SetHint)
            .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
            .Object<TFont>("Font", &TControl::Font, &TControl::SetFont)
            .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
            .Int("Color", &TControl::Color, &TControl::SetColor, std::nullopt, &ColorIdents())
            .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Int("Cursor", &TControl::Cursor, &TControl::SetCursor, 0, &CursorIdents())
            .Object<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .Event("OnClick", &TControl::OnClick)
            .Event("OnDblClick", &TControl::OnDblClick)
            .Event("OnMouseDown", &TControl::OnMouseDown)
            .Event("OnMouseUp", &TControl::OnMouseUp)
            .Event("OnResize", &TControl::OnResize)
            .Build();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->OnChange = TNotifyEvent(this, &TControl::OwnFontChanged);
}

TControl::~TControl() = default;

void TControl::Destroy() {
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = nullptr;
    if (parent_) parent_->RemoveControl(this);
    TComponent::Destroy();
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        ParentFontChanged();
        ParentColorChanged();
    }
}

void TControl::SetBoundsDirect(int left, int top, int width, int height) {
    const bool resized = width != width_ || height != height_;
    left_ = left, top_ = top, width_ = width, height_ = height;
    if (resized) {
        if (auto* w = dynamic_cast<TWinControl*>(this)) w->Realign();
        OnResize(this);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    SetBoundsDirect(left, top, width, height);
    RequestAlign();
}

void TControl::SetClientWidth(int v) { SetWidth(v + (width_ - ClientWidth())); }
void TControl::SetClientHeight(int v) { SetHeight(v + (height_ - ClientHeight())); }

void TControl::RequestAlign() {
    if (parent_ && align_ != TAlign::alNone) parent_->AlignControls(this);
}

void TControl::SetAlign(TAlign v) {
    if (v == align_) return;
    const TAlign old = align_;
    align_ = v;
    if (parent_) parent_->AlignControls(old == TAlign::alNone ? this : nullptr);
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    VisibleChanging();
    visible_ = v;
    VisibleChanged();
}

void TControl::VisibleChanged() {
    // A window that disappears gives up the focus.
    if (!visible_ && parent_) RemoveFocusFrom(this);
    Perform(CM_VISIBLECHANGED, visible_ ? 1 : 0);
    if (parent_ && align_ != TAlign::alNone) parent_->AlignControls(nullptr);
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_) {
        if (!c->visible_) return false;
    }
    return true;
}

void TControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    if (!v && parent_) RemoveFocusFrom(this);
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& v) {
    if (v == text_) return;
    text_ = v;
    TextChanged();
    Perform(CM_TEXTCHANGED);
    if (autoSize_) AdjustSize();
}

void TControl::SetFont(TFont* f) {
    if (f) font_->Assign(*f);
}

void TControl::OwnFontChanged(TObject*) {
    if (!updatingFont_) parentFont_ = false;
    FontChanged();
    Perform(CM_FONTCHANGED);
    if (autoSize_) AdjustSize();
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        for (TControl* c : w->ControlList()) c->ParentFontChanged();
    }
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    updatingFont_ = true;
    font_->Assign(*parent_->Font());
    updatingFont_ = false;
}

void TControl::SetParentFont(bool v) {
    if (v == parentFont_) return;
    parentFont_ = v;
    ParentFontChanged();
}

void TControl::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    parentColor_ = false;
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        for (TControl* c : w->ControlList()) c->ParentColorChanged();
    }
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_) return;
    SetColor(parent_->Color());
    parentColor_ = true;
}

void TControl::SetParentColor(bool v) {
    if (v == parentColor_) return;
    parentColor_ = v;
    ParentColorChanged();
}

void TControl::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    if (v) AdjustSize();
}

void TControl::SetPopupMenu(TPopupMenu* m) {
    if (m == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = m;
    if (m) m->FreeNotification(this);
}

void TControl::Click() { OnClick(this); }

intptr_t TControl::Perform(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m) {
    const int x = static_cast<int16_t>(m.LParam & 0xFFFF);
    const int y = static_cast<int16_t>((m.LParam >> 16) & 0xFFFF);
    switch (m.Msg) {
        case WM_LBUTTONDOWN: MouseDown(TMouseButton::mbLeft, static_cast<TShiftState>(m.WParam), x, y); break;
        case WM_LBUTTONUP: MouseUp(TMouseButton::mbLeft, static_cast<TShiftState>(m.WParam), x, y); break;
        default: break;
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) { OnMouseDown(this, button, shift, x, y); }
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) { OnMouseUp(this, button, shift, x, y); }

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
}

void TControl::SendToBack() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
}

const ClassInfo& TGraphicControl::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TGraphicControl>("TGraphicControl", &TControl::StaticClassInfo()).Build();
    return info;
}

// ---- TWinControl -----------------------------------------------------------------------------

const ClassInfo& TWinControl::StaticClassInfo() {
    static const ClassInfo info = ClassBuilder<TWinControl>("TWinControl", &TControl::StaticClassInfo())
                                      .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
                                      .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
                                      .Event("OnEnter", &TWinControl::OnEnter)
                                      .Event("OnExit", &TWinControl::OnExit)
                                      .Event("OnKeyDown", &TWinControl::OnKeyDown)
                                      .Event("OnKeyPress", &TWinControl::OnKeyPress)
                                      .Event("OnKeyUp", &TWinControl::OnKeyUp)
                                      .Build();
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() { DestroyHandle(); }

void TWinControl::Destroy() {
    if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, true);
    DestroyHandle();
    // Child controls go with their parent, last first.
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        c->Free();
    }
    TControl::Destroy();
}

void TWinControl::DestroyHandle() {
    if (handle_) {
        WindowSystem().DestroyWindowHandle(handle_);
        handle_ = 0;
    }
}

TControl* TWinControl::Controls(int i) const {
    if (i < 0 || i >= ControlCount()) throw rtl::EListError(rtl::Format("List index out of bounds (%d)", {i}));
    return controls_[static_cast<size_t>(i)];
}

bool TWinControl::ContainsControl(const TControl* c) const {
    for (; c; c = c->Parent()) {
        if (c == this) return true;
    }
    return false;
}

uintptr_t TWinControl::Handle() {
    if (!handle_) handle_ = WindowSystem().CreateWindowHandle(this);
    return handle_;
}

intptr_t TWinControl::HandleMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) { return Perform(msg, wParam, lParam); }

void TWinControl::InsertControl(TControl* c) {
    controls_.push_back(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) tabList_.push_back(w);
    c->parent_ = this;
    if (c->Align() != TAlign::alNone) AlignControls(c);
}

void TWinControl::RemoveControl(TControl* c) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), c), tabList_.end());
    c->parent_ = nullptr;
    if (c->Align() != TAlign::alNone && !IsDestroying()) AlignControls(nullptr);
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    const int pos = std::clamp(v, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + pos, this);
}

std::vector<TWinControl*> TWinControl::TabOrderList() const { return tabList_; }

bool TWinControl::CanFocus() const {
    const TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (const TControl* c = this; c != form; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
    }
    return true;
}

bool TWinControl::Focused() const {
    const TCustomForm* form = GetParentForm(this);
    return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    form->FocusControl(this);
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const {
    std::vector<TWinControl*> list;
    // Every descendant window, depth first, each level in tab order.
    std::function<void(const TWinControl*)> collect = [&](const TWinControl* w) {
        for (TWinControl* c : w->tabList_) {
            list.push_back(c);
            collect(c);
        }
    };
    collect(this);
    return NextInRing(list, current, goForward, [&](TWinControl* c) {
        return c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this);
    });
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::Realign() { AlignControls(nullptr); }

void TWinControl::AlignControls(TControl* moved) {
    if (alignDisabled_ > 0 || aligning_) return;
    aligning_ = true;
    TRect rect = AdjustClientRect();
    auto pass = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : controls_) {
            if (c->Align() == align && c->Visible()) list.push_back(c);
        }
        // Controls of one alignment keep their order on the side they stick to; the control
        // just moved wins a tie.
        auto key = [&](const TControl* c) {
            switch (align) {
                case TAlign::alTop: return c->Top();
                case TAlign::alBottom: return -(c->Top() + c->Height());
                case TAlign::alLeft: return c->Left();
                case TAlign::alRight: return -(c->Left() + c->Width());
                default: return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(), [&](const TControl* a, const TControl* b) {
            const int ka = key(a), kb = key(b);
            if (ka != kb) return ka < kb;
            return a == moved && b != moved;
        });
        for (TControl* c : list) {
            switch (align) {
                case TAlign::alTop:
                    c->SetBoundsDirect(rect.Left, rect.Top, rect.Width(), c->Height());
                    rect.Top += c->Height();
                    break;
                case TAlign::alBottom:
                    c->SetBoundsDirect(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
                    rect.Bottom -= c->Height();
                    break;
                case TAlign::alLeft:
                    c->SetBoundsDirect(rect.Left, rect.Top, c->Width(), rect.Height());
                    rect.Left += c->Width();
                    break;
                case TAlign::alRight:
                    c->SetBoundsDirect(rect.Right - c->Width(), rect.Top, c->Width(), rect.Height());
                    rect.Right -= c->Width();
                    break;
                case TAlign::alClient:
                    c->SetBoundsDirect(rect.Left, rect.Top, rect.Width(), rect.Height());
                    break;
                default: break;
            }
        }
    };
    for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) pass(a);
    aligning_ = false;
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_ENTER: DoEnter(); return;
        case CM_EXIT: DoExit(); return;
        default: TControl::WndProc(m); return;
    }
}

bool TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
    OnKeyDown(this, key, shift);
    return key == 0;
}

bool TWinControl::KeyPress(char& key) {
    OnKeyPress(this, key);
    return key == 0;
}

bool TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
    OnKeyUp(this, key, shift);
    return key == 0;
}

void TWinControl::SendKey(uint16_t key, TShiftState shift, char ch) {
    TCustomForm* form = GetParentForm(this);
    const bool preview = form && form != this && form->KeyPreview();
    uint16_t k = key;
    bool handled = preview && form->KeyDown(k, shift);
    if (!handled) handled = KeyDown(k, shift);
    if (!handled && form) form->DialogKey(k, shift);
    if (ch) {
        char c = ch;
        bool consumed = preview && form->KeyPress(c);
        if (!consumed) KeyPress(c);
    }
    uint16_t up = key;
    if (!(preview && form->KeyUp(up, shift))) KeyUp(up, shift);
}

}  // namespace ui
